#include "core/IniFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <algorithm>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include <sys/stat.h>

#include "core/Errors.h"

namespace {

// Trims what the format ignores around names and values: spaces and control characters.
QString TrimIni(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

char16_t FoldAscii(char16_t c) {
    return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
}

// The form two names that address the same entry share.
QString FoldedName(const QString& name) {
    QString folded = name;
    for (QChar& c : folded)
        c = QChar(FoldAscii(c.unicode()));
    return folded;
}

bool SameName(const QString& a, const QString& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (FoldAscii(a.at(i).unicode()) != FoldAscii(b.at(i).unicode()))
            return false;
    }
    return true;
}

struct Line {
    enum class Kind { Other, Section, Entry };
    QByteArray text;  // the raw bytes without the line ending
    QByteArray eol;   // "\n", "\r\n", or empty for a last line without one
    Kind kind = Kind::Other;
    QString name;  // section name or key
    QString value;
};

Line ParseLine(QByteArray text, QByteArray eol, bool firstLine) {
    Line line{std::move(text), std::move(eol), Line::Kind::Other, {}, {}};
    QString decoded = QString::fromUtf8(line.text);
    if (firstLine && decoded.startsWith(QChar(0xFEFF)))
        decoded.remove(0, 1);
    const QString trimmed = TrimIni(decoded);
    if (trimmed.startsWith(u';'))
        return line;
    if (trimmed.startsWith(u'[')) {
        const qsizetype close = trimmed.indexOf(u']');
        if (close > 0) {
            line.kind = Line::Kind::Section;
            line.name = TrimIni(trimmed.mid(1, close - 1));
        }
        return line;
    }
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals > 0) {
        line.name = TrimIni(trimmed.left(equals));
        if (!line.name.isEmpty()) {
            line.kind = Line::Kind::Entry;
            line.value = TrimIni(trimmed.mid(equals + 1));
        }
    }
    return line;
}

struct Document {
    std::vector<Line> lines;
    QByteArray newline = "\n";

    // [header, end) of the first section called `section`; nullopt when there is none.
    struct Range {
        size_t header;
        size_t end;
    };
    std::optional<Range> FindSection(const QString& section) const {
        for (size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].kind != Line::Kind::Section || !SameName(lines[i].name, section))
                continue;
            size_t end = i + 1;
            while (end < lines.size() && lines[end].kind != Line::Kind::Section)
                ++end;
            return Range{i, end};
        }
        return std::nullopt;
    }

    const Line* FindEntry(const QString& section, const QString& key) const {
        const auto range = FindSection(section);
        if (!range)
            return nullptr;
        for (size_t i = range->header + 1; i < range->end; ++i) {
            if (lines[i].kind == Line::Kind::Entry && SameName(lines[i].name, key))
                return &lines[i];
        }
        return nullptr;
    }

    QByteArray Bytes() const {
        QByteArray bytes;
        for (size_t i = 0; i < lines.size(); ++i) {
            bytes += lines[i].text;
            // A last line without an ending gets one once something follows it.
            bytes += (lines[i].eol.isEmpty() && i + 1 < lines.size()) ? newline : lines[i].eol;
        }
        return bytes;
    }
};

Document Parse(const QByteArray& bytes) {
    Document doc;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        QByteArray eol;
        if (end < 0) {
            end = bytes.size();
        } else {
            eol = "\n";
        }
        QByteArray text = bytes.mid(start, end - start);
        if (!eol.isEmpty() && text.endsWith('\r')) {
            text.chop(1);
            eol = "\r\n";
        }
        if (doc.lines.empty() && !eol.isEmpty())
            doc.newline = eol;
        doc.lines.push_back(ParseLine(std::move(text), std::move(eol), doc.lines.empty()));
        start = end + 1;
    }
    return doc;
}

// What tells one version of the file from another without reading it: a write
// through Save renames a new file over the old one (a new inode), an edit in place
// changes the modification and status-change times (nanoseconds).
struct Signature {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};
    bool operator==(const Signature& other) const {
        return device == other.device && inode == other.inode && size == other.size &&
               modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
               changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
    }
};

std::optional<Signature> SignatureOf(const QString& fileName) {
    struct stat info {};
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return Signature{info.st_dev, info.st_ino, info.st_size, info.st_mtim, info.st_ctim};
}

// The last file parsed. A registry of thousands of organisations is read by every
// lookup; parsing it once per version keeps a listing linear. Every read still
// looks at the file, so a change by another program is seen at once.
struct ParsedFile {
    QString fileName;
    Signature signature;
    std::shared_ptr<const Document> document;
};

std::mutex& CacheMutex() {
    static std::mutex mutex;
    return mutex;
}

ParsedFile& Cache() {
    static ParsedFile cache;
    return cache;
}

enum class LoadResult { Read, Missing, Unreadable };

// The file's current contents. A missing file (or a folder in its place) is
// Missing; a file that exists and cannot be read is Unreadable.
std::pair<LoadResult, std::shared_ptr<const Document>> LoadFile(const QString& fileName) {
    const std::optional<Signature> before = SignatureOf(fileName);
    if (!before)
        return {QFileInfo::exists(fileName) && !QFileInfo(fileName).isDir() ? LoadResult::Unreadable
                                                                             : LoadResult::Missing,
                nullptr};
    {
        const std::lock_guard lock(CacheMutex());
        const ParsedFile& cached = Cache();
        if (cached.document && cached.fileName == fileName && cached.signature == *before)
            return {LoadResult::Read, cached.document};
    }
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {LoadResult::Unreadable, nullptr};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {LoadResult::Unreadable, nullptr};
    auto document = std::make_shared<const Document>(Parse(bytes));
    // Kept only when the file did not change while it was read.
    if (SignatureOf(fileName) == before) {
        const std::lock_guard lock(CacheMutex());
        Cache() = ParsedFile{fileName, *before, document};
    }
    return {LoadResult::Read, document};
}

// For reading: a file that cannot be read reads as missing (every key its default).
std::shared_ptr<const Document> Load(const QString& fileName) {
    return LoadFile(fileName).second;
}

EAppError UnreadableError(const QString& fileName) {
    return EAppError(QStringLiteral("設定ファイル［") + fileName + QStringLiteral("］を読み込めませんでした。"));
}

// For changing: a missing file starts empty; a file that exists but cannot be read
// is an error, since writing would replace everything in it by the one key.
Document LoadForWriting(const QString& fileName) {
    const auto [result, document] = LoadFile(fileName);
    if (result == LoadResult::Unreadable)
        throw UnreadableError(fileName);
    return document ? *document : Document{};
}

void Save(const QString& fileName, const Document& doc) {
    QSaveFile file(fileName);
    const QByteArray bytes = doc.Bytes();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw EAppError(QStringLiteral("設定ファイル［") + fileName +
                        QStringLiteral("］に書き込めませんでした。"));
    }
}

void CheckName(const QString& name) {
    if (!IniFile::IsValidName(name)) {
        throw EAppError(QStringLiteral("［") + name + QStringLiteral("］は名前に使用できません。"));
    }
}

Line EntryLine(const QString& key, const QString& value, const QByteArray& eol) {
    Line line{(key + u'=' + value).toUtf8(), eol, Line::Kind::Entry, key, TrimIni(value)};
    return line;
}

}  // namespace

bool IniFile::SameName(const QString& a, const QString& b) {
    return ::SameName(a, b);
}

bool IniFile::IsValidName(const QString& name) {
    if (name.isEmpty() || !name.isValidUtf16() || TrimIni(name) != name || name.startsWith(u';'))
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || c == u'=' || c == u'[' || c == u']')
            return false;
    }
    return true;
}

QString IniFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const {
    const auto doc = Load(fileName_);
    if (!doc)
        return defaultValue;
    const Line* entry = doc->FindEntry(section, key);
    return entry ? entry->value : defaultValue;
}

void IniFile::WriteString(const QString& section, const QString& key, const QString& value) const {
    CheckName(section);
    CheckName(key);
    if (value.contains(u'\n') || value.contains(u'\r') || value.contains(QChar(0))) {
        throw EAppError(QStringLiteral("改行を含む値は設定ファイルに書き込めません。"));
    }
    Document doc = LoadForWriting(fileName_);
    const auto range = doc.FindSection(section);
    if (!range) {
        if (!doc.lines.empty() && !doc.lines.back().text.trimmed().isEmpty()) {
            doc.lines.push_back(Line{{}, doc.newline, Line::Kind::Other, {}, {}});
        }
        doc.lines.push_back(
            Line{(u'[' + section + u']').toUtf8(), doc.newline, Line::Kind::Section, section, {}});
        doc.lines.push_back(EntryLine(key, value, doc.newline));
        Save(fileName_, doc);
        return;
    }
    size_t insertAt = range->header + 1;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        Line& line = doc.lines[i];
        if (line.kind != Line::Kind::Entry)
            continue;
        if (SameName(line.name, key)) {
            Line replacement = EntryLine(key, value, line.eol);
            if (replacement.text == line.text)
                return;
            line = std::move(replacement);
            Save(fileName_, doc);
            return;
        }
        insertAt = i + 1;
    }
    doc.lines.insert(doc.lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                     EntryLine(key, value, doc.newline));
    Save(fileName_, doc);
}

void IniFile::DeleteKey(const QString& section, const QString& key) const {
    const auto [result, loaded] = LoadFile(fileName_);
    if (result == LoadResult::Unreadable)
        throw UnreadableError(fileName_);
    if (!loaded)
        return;
    const auto range = loaded->FindSection(section);
    if (!range)
        return;
    Document copy = *loaded;
    Document* doc = &copy;
    const auto first = doc->lines.begin() + static_cast<std::ptrdiff_t>(range->header + 1);
    const auto last = doc->lines.begin() + static_cast<std::ptrdiff_t>(range->end);
    const auto kept = std::remove_if(first, last, [&](const Line& line) {
        return line.kind == Line::Kind::Entry && SameName(line.name, key);
    });
    if (kept == last)
        return;
    doc->lines.erase(kept, last);
    Save(fileName_, *doc);
}

QStringList IniFile::ReadSectionKeys(const QString& section) const {
    QStringList keys;
    const auto doc = Load(fileName_);
    if (!doc)
        return keys;
    QSet<QString> seen;
    const auto range = doc->FindSection(section);
    if (!range)
        return keys;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        const Line& line = doc->lines[i];
        if (line.kind != Line::Kind::Entry)
            continue;
        const qsizetype before = seen.size();
        seen.insert(FoldedName(line.name));
        if (seen.size() > before)
            keys.append(line.name);
    }
    return keys;
}

bool IniFile::SectionHasKeys(const QString& section) const {
    const auto doc = Load(fileName_);
    if (!doc)
        return false;
    const auto range = doc->FindSection(section);
    if (!range)
        return false;
    for (size_t i = range->header + 1; i < range->end; ++i) {
        if (doc->lines[i].kind == Line::Kind::Entry)
            return true;
    }
    return false;
}
