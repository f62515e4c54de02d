#include <gtest/gtest.h>

#include <QFile>

#include <functional>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/Errors.h"
#include "core/IniFile.h"
#include "tests/support/TempFolder.h"

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

class IniFileTest : public ::testing::Test {
  protected:
    TempFolder temp;
    QString path = temp.File(QStringLiteral("Tsubaki.ini"));
    IniFile ini{path};
};

TEST_F(IniFileTest, ReadsKeysInFileOrderWithoutRegardToAsciiCase) {
    WriteFile(path,
              "; registry\n"
              "[DbFolder]\n"
              "FdbRootPath = /home/u/TsubakiDB \n"
              "[DBList]\n"
              "\xE6\x9D\xB1\xE7\x94\xBA\xE4\xBC\x9A=/r/\xE6\x9D\xB1\xE7\x94\xBA\xE4\xBC\x9A/TSUBAKI.FDB\n"
              "ABC=/r/ABC/TSUBAKI.FDB\n"
              "Empty=\n"
              "zzz=/r/zzz/TSUBAKI.FDB\n");

    EXPECT_EQ(
        ini.ReadSectionKeys(QStringLiteral("dblist")),
        QStringList({Q("東町会"), QStringLiteral("ABC"), QStringLiteral("Empty"), QStringLiteral("zzz")}));
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBLIST"), QStringLiteral("abc"), QStringLiteral("-")),
              QStringLiteral("/r/ABC/TSUBAKI.FDB"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("dbfolder"), QStringLiteral("FDBROOTPATH"), {}),
              QStringLiteral("/home/u/TsubakiDB"));
    // Present but empty is not missing; missing gives the default.
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), QStringLiteral("Empty"), QStringLiteral("-")),
              QString());
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), QStringLiteral("none"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("Nowhere"), QStringLiteral("abc"), QStringLiteral("-")),
              QStringLiteral("-"));
    // Only ASCII letters fold: full-width letters are different keys.
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), Q("ＡＢＣ"), QStringLiteral("-")),
              QStringLiteral("-"));
    EXPECT_TRUE(ini.SectionHasKeys(QStringLiteral("dbList")));

    // Nothing is cached: a change made behind its back shows at the next read.
    WriteFile(path, "[DBList]\n[DbFolder]\nFdbRootPath=/elsewhere\n");
    EXPECT_EQ(ini.ReadString(QStringLiteral("DbFolder"), QStringLiteral("FdbRootPath"), {}),
              QStringLiteral("/elsewhere"));
    EXPECT_FALSE(ini.SectionHasKeys(QStringLiteral("DBList")));  // present but without keys
}

TEST_F(IniFileTest, MissingFileReadsAsDefaultsAndDeleteDoesNotCreateIt) {
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_TRUE(ini.ReadSectionKeys(QStringLiteral("S")).isEmpty());
    ini.DeleteKey(QStringLiteral("S"), QStringLiteral("k"));
    EXPECT_FALSE(QFileInfo::exists(path));
}

// Each write leaves the rest of the file byte for byte as it was.
TEST_F(IniFileTest, WriteStringPlacesKeysAndKeepsEverythingElse) {
    struct Case {
        const char* name;
        QByteArray before;
        const char* section;
        const char* key;
        const char* value;
        QByteArray after;
    };
    const Case cases[] = {
        {"new file", {}, "S", "k", "v", "[S]\nk=v\n"},
        {"new key after the last key of its section, before other lines",
         "; top\n[S]\na=1\nno equals sign here\n\n[T]\nb=2\n", "S", "k", "v",
         "; top\n[S]\na=1\nk=v\nno equals sign here\n\n[T]\nb=2\n"},
        {"section without keys gets the key right under its header", "[S]\n; note\n[T]\nb=2\n", "s", "k", "v",
         "[S]\nk=v\n; note\n[T]\nb=2\n"},
        {"new section at the end", "x=1\n[T]\nb=2", "U", "k", "v", "x=1\n[T]\nb=2\n\n[U]\nk=v\n"},
        {"existing key replaced in place, in any case", "[s]\nK = 1\nz=2\n", "S", "k", "2",
         "[s]\nk=2\nz=2\n"},
        {"the first of duplicate keys is replaced", "[S]\nk=1\nk=2\n", "S", "k", "3", "[S]\nk=3\nk=2\n"},
        {"only the first of duplicate sections is used", "[S]\na=1\n[S]\nk=9\n", "S", "k", "3",
         "[S]\na=1\nk=3\n[S]\nk=9\n"},
        {"CR LF endings carry on", "[S]\r\na=1\r\n", "S", "k", "v", "[S]\r\na=1\r\nk=v\r\n"},
        {"last line without an ending", "[S]\na=1", "S", "k", "v", "[S]\na=1\nk=v\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[S]\na=1\n", "S", "k", "v", "\xEF\xBB\xBF[S]\na=1\nk=v\n"},
        {"Japanese key and value", "[DBList]\n", "DBList", "東町会", "/r/東町会/TSUBAKI.FDB",
         "[DBList]\n\xE6\x9D\xB1\xE7\x94\xBA\xE4\xBC\x9A=/r/\xE6\x9D\xB1\xE7\x94\xBA\xE4\xBC\x9A/"
         "TSUBAKI.FDB\n"},
        {"invalid UTF-8 elsewhere survives", "[S]\nbad=\xFF\xFE\n; \xC3\n", "S", "k", "v",
         "[S]\nbad=\xFF\xFE\nk=v\n; \xC3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path);
        if (!c.before.isEmpty())
            WriteFile(path, c.before);
        ini.WriteString(Q(c.section), Q(c.key), Q(c.value));
        EXPECT_EQ(ReadFile(path), c.after);
        EXPECT_EQ(ini.ReadString(Q(c.section), Q(c.key), {}), Q(c.value));
    }
}

TEST_F(IniFileTest, BadFilesAreReadWithoutTrouble) {
    WriteFile(path,
              "garbage without sign\n"
              "orphan=before any section\n"
              "[S\n"
              "[S]\n"
              "\xFF\xFE=\xC3\x28\n"
              "=no key\n"
              "just words\n"
              ";k=commented out\n"
              "k=first\n"
              "K=second\n"
              "val=a=b\n");
    EXPECT_EQ(ini.ReadSectionKeys(QStringLiteral("S")),
              QStringList({Q("\uFFFD\uFFFD"), QStringLiteral("k"), QStringLiteral("val")}));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), {}), QStringLiteral("first"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("val"), {}), QStringLiteral("a=b"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("orphan"), QStringLiteral("-")),
              QStringLiteral("-"));
}

TEST_F(IniFileTest, DeleteKeyRemovesEveryOccurrenceAndNothingElse) {
    const QByteArray before = "[S]\nk=1\n; keep\nK=2\nm=3\n[T]\nk=4\n";
    WriteFile(path, before);
    ini.DeleteKey(QStringLiteral("s"), QStringLiteral("K"));
    EXPECT_EQ(ReadFile(path), QByteArray("[S]\n; keep\nm=3\n[T]\nk=4\n"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("-")),
              QStringLiteral("-"));

    const QByteArray unchanged = ReadFile(path);
    ini.DeleteKey(QStringLiteral("S"), QStringLiteral("none"));
    ini.DeleteKey(QStringLiteral("None"), QStringLiteral("m"));
    EXPECT_EQ(ReadFile(path), unchanged);
}

TEST_F(IniFileTest, NamesTheFormatCannotHoldAreRefusedAndTheFileStaysAsItWas) {
    const QByteArray before = "[DBList]\nA=/r/A/TSUBAKI.FDB\n";
    WriteFile(path, before);
    const QString refused[] = {QStringLiteral("a=b"),  QStringLiteral("[a"),   QStringLiteral("a]"),
                               QStringLiteral("a\nb"), QStringLiteral("a\rb"), QStringLiteral(" a"),
                               QStringLiteral("a\t"),  QStringLiteral(";a"),   QString()};
    for (const QString& name : refused) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(IniFile::IsValidName(name));
        try {
            ini.WriteString(QStringLiteral("DBList"), name, QStringLiteral("/x"));
            ADD_FAILURE() << "written";
        } catch (const EAppError& e) {
            EXPECT_EQ(e.Message(), u'［' + name + QStringLiteral("］は名前に使用できません。"));
        }
        EXPECT_THROW(ini.WriteString(name, QStringLiteral("k"), QStringLiteral("/x")), EAppError);
        EXPECT_EQ(ReadFile(path), before);
    }
    EXPECT_THROW(ini.WriteString(QStringLiteral("DBList"), QStringLiteral("A"), QStringLiteral("/x\n[Evil]")),
                 EAppError);
    EXPECT_EQ(ReadFile(path), before);
    EXPECT_TRUE(IniFile::IsValidName(Q("東町会 第２班")));
}

TEST_F(IniFileTest, FailedWriteRaisesTheMessage) {
    const IniFile nowhere(temp.File(QStringLiteral("missing/Tsubaki.ini")));
    try {
        nowhere.WriteString(QStringLiteral("S"), QStringLiteral("a"), QStringLiteral("2"));
        ADD_FAILURE() << "written";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("設定ファイル［") + nowhere.FileName() +
                                   QStringLiteral("］に書き込めませんでした。"));
    }
}

// Runs `body` in a child process that cannot read files it has no permission for
// (root reads everything, so a root test drops to the user "nobody" there).
// Returns the child's exit code; 77 when it could not drop its rights.
int RunUnprivileged(const std::function<int()>& body) {
    const pid_t child = fork();
    if (child == 0) {
        if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
            _exit(77);
        _exit(body());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A settings file that exists but cannot be read is never replaced by the one key
// written: the write, and a deletion, are refused with the file's error.
TEST_F(IniFileTest, AFileThatCannotBeReadIsNeitherReplacedNorChanged) {
    const QByteArray before = "[DbFolder]\nFdbRootPath=/home/u/TsubakiDB\n[DBList]\nA=/r/A/TSUBAKI.FDB\n";
    WriteFile(path, before);
    const QByteArray folder = QFile::encodeName(temp.Path());
    const QByteArray file = QFile::encodeName(path);
    ASSERT_EQ(chmod(folder.constData(), 0777), 0);
    ASSERT_EQ(chmod(file.constData(), 0200), 0);  // writable, not readable
    if (geteuid() == 0) {
        ASSERT_EQ(chown(file.constData(), 65534, 65534), 0);
    }
    const QString expected = QStringLiteral("設定ファイル［") + path + QStringLiteral("］を読み込めませんでした。");
    const int code = RunUnprivileged([&] {
        int refused = 0;
        for (const auto& change : std::vector<std::function<void()>>{
                 [&] { ini.WriteString(QStringLiteral("BkupData"), QStringLiteral("BkupPath"), QStringLiteral("/b")); },
                 [&] { ini.DeleteKey(QStringLiteral("DBList"), QStringLiteral("A")); }}) {
            try {
                change();
            } catch (const EAppError& e) {
                refused += e.Message() == expected ? 1 : 0;
            }
        }
        // Reading gives the defaults, as for a missing file.
        const bool defaults = ini.ReadString(QStringLiteral("DBList"), QStringLiteral("A"), QStringLiteral("-")) ==
                              QStringLiteral("-");
        return refused == 2 && defaults ? 0 : 1;
    });
    if (code == 77)
        GTEST_SKIP() << "cannot drop root rights here";
    EXPECT_EQ(code, 0);
    ASSERT_EQ(chmod(file.constData(), 0600), 0);
    EXPECT_EQ(ReadFile(path), before);
}

// The parsed file is kept between reads, but never past a change: a write by the
// program itself and an edit in place by another program (same size, same second)
// are both seen by the next read.
TEST_F(IniFileTest, EveryReadSeesTheLatestChange) {
    WriteFile(path, "[DBList]\nA=/r/1\n");
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), QStringLiteral("A"), {}), QStringLiteral("/r/1"));
    WriteFile(path, "[DBList]\nA=/r/2\n");
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), QStringLiteral("A"), {}), QStringLiteral("/r/2"));
    ini.WriteString(QStringLiteral("DBList"), QStringLiteral("B"), QStringLiteral("/r/3"));
    EXPECT_EQ(ini.ReadSectionKeys(QStringLiteral("DBList")), (QStringList{QStringLiteral("A"), QStringLiteral("B")}));
    const IniFile other(temp.File(QStringLiteral("Other.ini")));
    WriteFile(other.FileName(), "[DBList]\nA=/o/1\n");
    EXPECT_EQ(other.ReadString(QStringLiteral("DBList"), QStringLiteral("A"), {}), QStringLiteral("/o/1"));
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), QStringLiteral("A"), {}), QStringLiteral("/r/2"));
    QFile::remove(path);
    EXPECT_EQ(ini.ReadString(QStringLiteral("DBList"), QStringLiteral("A"), QStringLiteral("-")), QStringLiteral("-"));
}

}  // namespace
