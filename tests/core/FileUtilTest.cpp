#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <functional>

#include "core/Errors.h"
#include "core/FileUtil.h"
#include "tests/support/TempFolder.h"

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

bool OwnerCanWrite(const QString& path) {
    return QFile::permissions(path) & QFileDevice::WriteOwner;
}

QString MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EAppError& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

TEST(PathHelpers, AddBackslashAndFolderOfPath) {
    struct Case {
        const char* path;
        const char* withSeparator;
        const char* folder;
    };
    const Case cases[] = {
        {"", "", ""},
        {"   ", "", ""},
        {"  /home/u/Data  ", "/home/u/Data/", "/home/u/Data"},
        {"/home/u/Data/", "/home/u/Data/", "/home/u/Data"},
        {"\t/a b\r\n", "/a b/", "/a b"},
        {"/", "/", "/"},
        {"//", "//", "/"},
        {"/a//", "/a//", "/a"},
        {"relative", "relative/", "relative"},
        {"/r/東町会", "/r/東町会/", "/r/東町会"},
        {"\xE3\x80\x80/a", "\xE3\x80\x80/a/", "\xE3\x80\x80/a"},  // a full-width space is not trimmed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(AddBackslash(Q(c.path)), Q(c.withSeparator));
        EXPECT_EQ(FolderOfPath(Q(c.path)), Q(c.folder));
    }
}

TEST(PathHelpers, ExtractFileDirNamesTheFolderHoldingAFile) {
    const std::pair<const char*, const char*> cases[] = {
        {"/r/東町会/TSUBAKI.FDB", "/r/東町会"},
        {"/TSUBAKI.FDB", "/"},
        {"TSUBAKI.FDB", ""},
        {"/r/東町会/", "/r/東町会"},
    };
    for (const auto& [path, folder] : cases) {
        SCOPED_TRACE(path);
        EXPECT_EQ(ExtractFileDir(Q(path)), Q(folder));
    }
}

class FileCopyTest : public ::testing::Test {
  protected:
    TempFolder temp;
    QString source = temp.File(QStringLiteral("src/TSUBAKI.FDB"));
    QString target = temp.File(QStringLiteral("dst/東町会.FDB"));
    void SetUp() override {
        WriteFile(source, "new contents");
        QDir().mkpath(temp.File(QStringLiteral("dst")));
    }
};

TEST_F(FileCopyTest, RefusedOverwriteLeavesBothFiles) {
    WriteFile(target, "old contents");
    EXPECT_EQ(MessageOf([&] { FileCopy(source, target, false, true); }),
              Q("コピー先フォルダーに［東町会.FDB］が存在します。ファイルコピーを中止しました。"));
    EXPECT_EQ(ReadFile(source), QByteArray("new contents"));
    EXPECT_EQ(ReadFile(target), QByteArray("old contents"));

    FileCopy(source, target, true, false);
    EXPECT_EQ(ReadFile(target), QByteArray("new contents"));
    EXPECT_EQ(QDir(temp.File(QStringLiteral("dst")))
                  .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList{Q("東町会.FDB")});  // no temporary file left behind
}

TEST_F(FileCopyTest, ReadOnlySourceGivesWritableCopyOnlyWhenAsked) {
    QFile::setPermissions(source, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
    FileCopy(source, target, false, true);
    EXPECT_EQ(ReadFile(target), QByteArray("new contents"));
    EXPECT_TRUE(OwnerCanWrite(target));
    EXPECT_FALSE(OwnerCanWrite(source));
    EXPECT_TRUE(QFile::permissions(target) &
                QFileDevice::ReadGroup);  // the rest of the permissions carry over

    const QString second = temp.File(QStringLiteral("dst/second.FDB"));
    FileCopy(source, second, false, false);
    EXPECT_FALSE(OwnerCanWrite(second));
}

TEST_F(FileCopyTest, FailuresNameTheSourceAndTheErrorNumber) {
    WriteFile(target, "old contents");
    QDir().mkpath(temp.File(QStringLiteral("dst/folder")));
    struct Case {
        const char* name;
        QString from;
        QString to;
        int error;
    };
    const Case cases[] = {
        {"missing source", temp.File(QStringLiteral("src/none.FDB")), target, ENOENT},
        {"source is a folder", temp.File(QStringLiteral("src")), target, EISDIR},
        {"target folder missing", source, temp.File(QStringLiteral("nowhere/x.FDB")), ENOENT},
        {"target is a folder", source, temp.File(QStringLiteral("dst/folder")), EISDIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MessageOf([&] { FileCopy(c.from, c.to, true, true); }),
                  Q("ファイル［") + QFileInfo(c.from).fileName() + Q("］のコピー中にエラー(") +
                      QString::number(c.error) + Q(")が発生しました。"));
        EXPECT_EQ(ReadFile(target), QByteArray("old contents"));
        EXPECT_TRUE(QFileInfo(temp.File(QStringLiteral("dst/folder"))).isDir());
    }
}

class FolderTreeTest : public ::testing::Test {
  protected:
    TempFolder temp;
    QString root = temp.File(QStringLiteral("root"));
    // root/a.txt, root/.hidden, root/sub/b.txt, root/sub/deeper/c.txt, root/empty/
    void SetUp() override {
        WriteFile(root + QStringLiteral("/a.txt"), "a");
        WriteFile(root + QStringLiteral("/.hidden"), "h");
        WriteFile(root + QStringLiteral("/sub/b.txt"), "b");
        WriteFile(root + QStringLiteral("/sub/deeper/c.txt"), "c");
        QDir().mkpath(root + QStringLiteral("/empty"));
    }
    QStringList Rel(const QStringList& paths) const {
        QStringList rel;
        for (const QString& p : paths)
            rel.append(p.mid(root.size() + 1));
        return rel;
    }
    static QStringList Sorted(QStringList list) {
        list.sort();
        return list;
    }
};

TEST_F(FolderTreeTest, ListFolderEntriesByMask) {
    EXPECT_EQ(Sorted(Rel(ListFolderEntries(root, EntryMask::Folders, false))),
              QStringList({QStringLiteral("empty"), QStringLiteral("sub")}));
    EXPECT_EQ(Sorted(Rel(ListFolderEntries(root + u'/', EntryMask::Files, false))),
              QStringList({QStringLiteral(".hidden"), QStringLiteral("a.txt")}));
    EXPECT_EQ(Sorted(Rel(ListFolderEntries(root, EntryMask::Files, true))),
              QStringList({QStringLiteral(".hidden"), QStringLiteral("a.txt"), QStringLiteral("sub/b.txt"),
                           QStringLiteral("sub/deeper/c.txt")}));
    EXPECT_TRUE(ListFolderEntries(temp.File(QStringLiteral("missing")), EntryMask::All, true).isEmpty());

    // Recursive: the folder's own entries first, then each sub-folder's, parents before children.
    const QStringList all = Rel(ListFolderEntries(root, EntryMask::All, true));
    ASSERT_EQ(all.size(), 7);
    EXPECT_EQ(Sorted(all.mid(0, 4)), QStringList({QStringLiteral(".hidden"), QStringLiteral("a.txt"),
                                                  QStringLiteral("empty"), QStringLiteral("sub")}));
    EXPECT_LT(all.indexOf(QStringLiteral("sub/deeper")), all.indexOf(QStringLiteral("sub/deeper/c.txt")));
}

TEST_F(FolderTreeTest, DeleteFolderTreeRemovesReadOnlyEntries) {
    QFile::setPermissions(root + QStringLiteral("/sub/deeper/c.txt"), QFileDevice::ReadOwner);
    QFile::setPermissions(root + QStringLiteral("/sub/deeper"),
                          QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    DeleteFolderTree(QStringLiteral(" ") + root + QStringLiteral("/ "));
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_TRUE(QFileInfo(temp.Path()).isDir());

    DeleteFolderTree(root);  // missing: nothing happens
    DeleteFolderTree(QString());
    EXPECT_TRUE(QFileInfo(temp.Path()).isDir());
}

TEST_F(FolderTreeTest, DeleteFolderTreeRemovesLinksButNotWhatTheyPointAt) {
    const QString outside = temp.File(QStringLiteral("outside"));
    WriteFile(outside + QStringLiteral("/keep.txt"), "k");
    ASSERT_TRUE(QFile::link(outside, root + QStringLiteral("/sub/link")));
    EXPECT_TRUE(ListFolderEntries(root + QStringLiteral("/sub"), EntryMask::Folders, false)
                    .contains(root + QStringLiteral("/sub/link")));  // a linked folder lists as a folder

    DeleteFolderTree(root);
    EXPECT_FALSE(QFileInfo::exists(root));
    EXPECT_EQ(ReadFile(outside + QStringLiteral("/keep.txt")), QByteArray("k"));
}

}  // namespace
