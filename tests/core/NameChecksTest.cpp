#include <gtest/gtest.h>

#include "core/Errors.h"
#include "core/NameChecks.h"

namespace {
QString Q(const char16_t* text) {
    return QString::fromUtf16(text);
}
}  // namespace

TEST(NameChecks, IsValidFileName) {
    struct Case {
        const char16_t* path;
        bool wildcards;
        bool dots;
        bool valid;
    } const cases[] = {
        {u"/A/B.FDB", false, false, true},
        {u"/home/u/TsubakiDB/東町会/TSUBAKI.FDB", false, false, true},
        {u"  /A/B.FDB \t", false, false, true},  // blanks around are trimmed
        {u"B.FDB", false, false, true},
        {u"/A/B C", false, false, true},
        {u"/A/.FDB", false, false, true},  // a name that is only an extension
        {u"", false, false, false},
        {u" \t ", false, false, false},
        {u"/A/B.", false, false, false},
        {u"/A/B/", false, false, false},
        {u"/", false, false, false},
        {u"/A;B/C.FDB", false, false, false},
        {u"/A,B/C.FDB", false, false, false},
        {u"/A/B\"C", false, false, false},
        {u"/A/B<C>", false, false, false},
        {u"/A/B|C", false, false, false},
        {u"AB:C", false, false, false},  // no drives, and "host:path" names a server
        {u"C:/A/B.FDB", false, false, false},
        {u"C:\\A\\B.FDB", false, false, false},  // a Windows path is not one odd file name
        {u"/A//B/C", false, false, false},
        {u"//SERVER/SHARE/B.FDB", false, false, false},
        {u"/A/B\tC.FDB", false, false, false},
        {u"/A.B/C.FDB", false, false, false},
        {u"/A.B/C.FDB", false, true, true},
        {u"/A/../C.FDB", false, false, false},
        {u"/A/../C.FDB", false, true, true},
        {u"/A/..FDB", false, true, false},  // a base name beginning with "."
        {u"/A/B*.FDB", false, false, false},
        {u"/A/B*.FDB", true, false, true},
        {u"/A/B**.FDB", true, false, false},
        {u"/A/B.F**", true, false, false},
        {u"/A/*.*", true, false, true},
        {u"/A/B?.F?B", true, false, true},
        {u"/A/B?.FDB", false, false, false},
        {u"/A/B.F?B", false, false, false},
        {u"/A*/B.FDB", true, false, false},  // never a wildcard in the folder part
        {u"/A?/B.FDB", true, true, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << Q(c.path).toStdString() << " wildcards=" << c.wildcards << " dots=" << c.dots);
        EXPECT_EQ(IsValidFileName(Q(c.path), c.wildcards, c.dots), c.valid);
    }
}

TEST(NameChecks, IsValidFolderNameAndHasDriveOrUNC) {
    struct Case {
        const char16_t* folder;
        bool dots;
        bool validName;
        bool absolute;
    } const cases[] = {
        {u"/home/u/TsubakiDB", false, true, true},
        {u"/home/u/TsubakiDB/", false, true, true},
        {u" /home/u/バックアップ ", false, true, true},
        {u"/", false, true, true},
        {u"/home/u/.backup", false, false, true},
        {u"/home/u/.backup", true, true, true},
        {u"/home/taro.yamada/bk", true, true, true},
        {u"/home/u;v", false, false, true},
        {u"/home/u*", false, false, true},
        {u"/home//u", false, false, true},
        {u"backup/2024", false, true, false},
        {u"C:\\TsubakiDB", false, false, false},
        {u"\\\\SERVER\\SHARE", false, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << Q(c.folder).toStdString() << " dots=" << c.dots);
        EXPECT_EQ(IsValidFolderName(Q(c.folder), c.dots), c.validName);
        EXPECT_EQ(HasDriveOrUNC(Q(c.folder)), c.absolute);
    }
    EXPECT_FALSE(HasDriveOrUNC(QString()));
}

TEST(NameChecks, IsPlainFileName) {
    const struct {
        const char16_t* name;
        bool plain;
    } cases[] = {
        {u"東町会20240401", true}, {u"会計.FDB", true}, {u"...x", true},  {u"", false},
        {u".", false},            {u"..", false},     {u"a/b", false},   {u"../x", false},
        {u"a\\b", false},       {u"a:b", false},    {u" a", false},    {u"a\tb", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.name).toStdString());
        EXPECT_EQ(IsPlainFileName(Q(c.name)), c.plain);
    }
    EXPECT_FALSE(IsPlainFileName(QString(100, u'会')));  // 300 bytes
}

TEST(NameChecks, NoDriveLetterIsEverReady) {
    for (QChar letter : {QChar(u'C'), QChar(u'c'), QChar(u'Z')}) {
        SCOPED_TRACE(QString(letter).toStdString());
        EXPECT_FALSE(IsDriveReady(letter));
        try {
            CheckDrive(letter);
            ADD_FAILURE() << "CheckDrive returned";
        } catch (const EDriveNotReady& e) {
            EXPECT_EQ(e.Message(), letter.toUpper() + Q(u"ﾄﾞﾗｲﾌﾞの準備ができていません"));
        }
    }
}

TEST(NameChecks, AnythingButALetterIsNoDrive) {
    for (QChar c : {QChar(u'1'), QChar(u':'), QChar(u'Ａ')}) {
        SCOPED_TRACE(QString(c).toStdString());
        const QString expected = u'[' + QString(c) + Q(u"]は無効なドライブです");
        for (const bool ready : {false, true}) {
            try {
                if (ready) {
                    IsDriveReady(c);
                } else {
                    CheckDrive(c);
                }
                ADD_FAILURE() << "no error";
            } catch (const EDriveNotReady&) {
                ADD_FAILURE() << "reported as a drive not ready";
            } catch (const EAppError& e) {
                EXPECT_EQ(e.Message(), expected);
            }
        }
    }
}

TEST(NameChecks, IsValidDantaiName) {
    const QString loneSurrogate = QString(QChar(u'東')) + QChar(char16_t(0xD842));
    struct Case {
        QString name;
        bool valid;
    } const cases[] = {
        {Q(u"東町会"), true},        {Q(u"○○○○自治会"), true},   {Q(u"A.B"), true},
        {Q(u"町会 2024"), true},     {Q(u"＝［］／"), true},      // full-width forms are ordinary characters
        {Q(u"𠮷野町会"), true},      {QString(85, u'あ'), true},  // 255 bytes
        {QString(255, u'a'), true},  {QString(), false},         {Q(u"."), false},
        {Q(u".."), false},           {Q(u".hidden"), false},     {Q(u"東/西"), false},
        {Q(u"東\\西"), false},       {Q(u"東:西"), false},       {Q(u"東=西"), false},
        {Q(u"[東]"), false},         {Q(u"東]"), false},         {Q(u"東\t西"), false},
        {Q(u"東\x7f"), false},       {Q(u";東"), false},         {Q(u"#東"), true},
        {QString(86, u'あ'), false},  // 258 bytes
        {QString(256, u'a'), false}, {loneSurrogate, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        EXPECT_EQ(IsValidDantaiName(c.name), c.valid);
    }
}
