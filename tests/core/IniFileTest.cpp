#include <gtest/gtest.h>

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

}  // namespace
