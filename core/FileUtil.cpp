#include "core/FileUtil.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <optional>

#include "core/Errors.h"
#include "core/JapaneseText.h"

namespace {

QByteArray Native(const QString& path) {
    return QFile::encodeName(path);
}

std::optional<struct stat> LStat(const QString& path) {
    struct stat st {};
    if (::lstat(Native(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

// Owns a file descriptor.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    // Closes now and reports close's own failure (a late write error shows up here).
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

// Removes the temporary copy unless it was renamed into place.
class TempFileGuard {
  public:
    explicit TempFileGuard(QByteArray path) : path_(std::move(path)) {}
    ~TempFileGuard() {
        if (!path_.isEmpty())
            ::unlink(path_.constData());
    }
    TempFileGuard(const TempFileGuard&) = delete;
    TempFileGuard& operator=(const TempFileGuard&) = delete;
    void Release() { path_.clear(); }

  private:
    QByteArray path_;
};

int WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return 0;
}

// Copies source over target through a temporary file in the target's folder.
// Returns 0 or the errno of the step that failed.
int CopyReplacing(const QString& source, const QString& target) {
    Fd in(::open(Native(source).constData(), O_RDONLY | O_CLOEXEC));
    if (in.Get() < 0)
        return errno;
    struct stat st {};
    if (::fstat(in.Get(), &st) != 0)
        return errno;
    if (S_ISDIR(st.st_mode))
        return EISDIR;

    const QFileInfo targetInfo(target);
    QByteArray tempPath =
        Native(targetInfo.path() + QStringLiteral("/.") + targetInfo.fileName() + QStringLiteral(".XXXXXX"));
    Fd out(::mkostemp(tempPath.data(), O_CLOEXEC));
    if (out.Get() < 0)
        return errno;
    TempFileGuard temp(tempPath);

    static constexpr size_t kChunk = 1 << 20;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    for (;;) {
        const ssize_t got = ::read(in.Get(), buffer.data(), kChunk);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (got == 0)
            break;
        if (const int err = WriteAll(out.Get(), buffer.constData(), static_cast<size_t>(got)))
            return err;
    }
    if (::fchmod(out.Get(), st.st_mode & 0777) != 0)
        return errno;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    if (::futimens(out.Get(), times) != 0)
        return errno;
    if (::fsync(out.Get()) != 0)
        return errno;
    if (const int err = out.Close())
        return err;
    if (::rename(tempPath.constData(), Native(target).constData()) != 0)
        return errno;
    temp.Release();
    return 0;
}

void CollectEntries(const QString& folder, EntryMask mask, bool recursive, QStringList& list) {
    const QString base = AddBackslash(folder);
    const QFileInfo baseInfo(base);
    if (!baseInfo.isDir())
        return;
    const QFileInfoList entries = QDir(base).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Unsorted);
    QStringList subFolders;
    for (const QFileInfo& entry : entries) {
        const QString path = base + entry.fileName();
        const bool isFolder = entry.isDir();
        if (mask == EntryMask::All || (mask == EntryMask::Folders) == isFolder)
            list.append(path);
        if (isFolder && !entry.isSymLink())
            subFolders.append(path);
    }
    if (!recursive)
        return;
    for (const QString& sub : subFolders)
        CollectEntries(sub, mask, true, list);
}

// Gives every real folder of the tree owner read, write and search permission, top
// down, so that their entries can be listed and removed.
void OpenUpFolders(const QString& folder) {
    const auto st = LStat(folder);
    if (!st || !S_ISDIR(st->st_mode))
        return;
    ::chmod(Native(folder).constData(), (st->st_mode & 07777) | S_IRWXU);
    for (const QString& sub : ListFolderEntries(folder, EntryMask::Folders, false))
        OpenUpFolders(sub);
}

}  // namespace

QString AddBackslash(const QString& path) {
    QString result = Trim(path);
    if (!result.isEmpty() && !result.endsWith(u'/'))
        result += u'/';
    return result;
}

QString FolderOfPath(const QString& path) {
    QString result = AddBackslash(path);
    while (result.size() > 1 && result.endsWith(u'/'))
        result.chop(1);
    return result;
}

void FileCopy(const QString& source, const QString& target, bool mayOverwrite, bool clearReadOnly) {
    if (!mayOverwrite && LStat(target)) {
        throw EAppError(QStringLiteral("コピー先フォルダーに［") + QFileInfo(target).fileName() +
                        QStringLiteral("］が存在します。") +
                        QStringLiteral("ファイルコピーを中止しました。"));
    }
    if (const int err = CopyReplacing(source, target)) {
        throw EAppError(QStringLiteral("ファイル［") + QFileInfo(source).fileName() +
                        QStringLiteral("］のコピー中にエラー(") + QString::number(err) +
                        QStringLiteral(")が発生しました。"));
    }
    if (!clearReadOnly)
        return;
    const auto st = LStat(target);
    if (st && !S_ISDIR(st->st_mode) && !(st->st_mode & S_IWUSR)) {
        ::chmod(Native(target).constData(), (st->st_mode & 07777) | S_IWUSR);
    }
}

QStringList ListFolderEntries(const QString& folder, EntryMask mask, bool recursive) {
    QStringList list;
    CollectEntries(folder, mask, recursive, list);
    return list;
}

void DeleteFolderTree(const QString& folder) {
    const QString root = FolderOfPath(folder);
    if (root.isEmpty() || root == QStringLiteral("/"))
        return;
    const auto st = LStat(root);
    if (!st || !S_ISDIR(st->st_mode))
        return;
    OpenUpFolders(root);
    QStringList list{root};
    list += ListFolderEntries(root, EntryMask::All, true);
    for (auto it = list.crbegin(); it != list.crend(); ++it) {
        const auto entry = LStat(*it);
        if (!entry)
            continue;
        const QByteArray path = Native(*it);
        if (S_ISDIR(entry->st_mode)) {
            ::rmdir(path.constData());
        } else {
            ::unlink(path.constData());
        }
    }
}

QString ExtractFileDir(const QString& path) {
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return {};
    return slash == 0 ? QStringLiteral("/") : path.left(slash);
}
