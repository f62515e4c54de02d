#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <functional>

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "platform/Folders.h"
#include "tests/support/TempFolder.h"

namespace {

QString Q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString MessageOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const EAppError& e) {
        return e.Message();
    }
    return QStringLiteral("(no error)");
}

QStringList Sorted(QStringList list) {
    list.sort();
    return list;
}

// Points the program folder and the all-users folder into a scratch folder.
class KyotsuUnitTest : public ::testing::Test {
  protected:
    TempFolder temp;
    QString app = temp.File(QStringLiteral("app"));
    QString iniPath = app + QStringLiteral("/Tsubaki.ini");
    QString commonIni = temp.File(QStringLiteral("xdg/PLN/Tsubaki/Tsubaki.ini"));
    QString root = temp.File(QStringLiteral("TsubakiDB"));

    void SetUp() override {
        QDir().mkpath(app);
        platform::OverrideProgramFolder(app);
        hadXdg_ = qEnvironmentVariableIsSet("XDG_CONFIG_DIRS");
        oldXdg_ = qgetenv("XDG_CONFIG_DIRS");
        setenv("XDG_CONFIG_DIRS",
               (temp.File(QStringLiteral("xdg")) + QStringLiteral(":/etc/xdg")).toUtf8().constData(), 1);
        ClearLoginState();
    }
    void TearDown() override {
        platform::OverrideProgramFolder(QString());
        if (hadXdg_) {
            setenv("XDG_CONFIG_DIRS", oldXdg_.constData(), 1);
        } else {
            unsetenv("XDG_CONFIG_DIRS");
        }
        ClearLoginState();
    }
    void MakeOrganisation(const QString& name) const {
        WriteFile(root + u'/' + name + QStringLiteral("/TSUBAKI.FDB"), "db");
    }
    QString DbFile(const QString& name) const { return root + u'/' + name + QStringLiteral("/TSUBAKI.FDB"); }

  private:
    bool hadXdg_ = false;
    QByteArray oldXdg_;
};

TEST_F(KyotsuUnitTest, FirstRunCopiesTheAllUsersFileAndLaterWritesGoToTheCopy) {
    const QByteArray installed =
        "[DbFolder]\nFdbRootPath=/srv/TsubakiDB\n[DBList]\nA=/srv/TsubakiDB/A/TSUBAKI.FDB\n";
    WriteFile(commonIni, installed);
    QFile::setPermissions(commonIni,
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);

    EXPECT_EQ(ReadFdbRootPath(), QStringLiteral("/srv/TsubakiDB"));
    EXPECT_EQ(GetIniFileName(), iniPath);
    EXPECT_EQ(ReadFile(iniPath), installed);
    EXPECT_TRUE(QFile::permissions(iniPath) & QFileDevice::WriteOwner);

    WriteDBListEntry(QStringLiteral("B"), QStringLiteral("/srv/TsubakiDB/B/TSUBAKI.FDB"));
    EXPECT_EQ(GetDantaiList(), QStringList({QStringLiteral("A"), QStringLiteral("B")}));
    EXPECT_EQ(ReadFile(commonIni), installed);

    // Once a file is beside the program, the all-users file is no longer looked at.
    QFile::setPermissions(commonIni, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    WriteFile(commonIni, "[DbFolder]\nFdbRootPath=/changed\n");
    EXPECT_EQ(ReadFdbRootPath(), QStringLiteral("/srv/TsubakiDB"));
}

TEST_F(KyotsuUnitTest, FirstStartWithoutAnySettingsFile) {
    EXPECT_EQ(ReadFdbRootPath(), QString());
    EXPECT_EQ(ReadBkupPath(), QString());
    EXPECT_EQ(GetIniFileName(), iniPath);
    EXPECT_FALSE(QFileInfo::exists(iniPath));

    WriteFdbRootPath(root);
    EXPECT_EQ(ReadFile(iniPath), QStringLiteral("[DbFolder]\nFdbRootPath=%1\n").arg(root).toUtf8());
    DbRootFolder = ReadFdbRootPath();
    EXPECT_TRUE(GetDantaiList().isEmpty());  // the root folder does not exist yet: no error
}

TEST_F(KyotsuUnitTest, RootAndBackupPathsAreWrittenBesideTheProgramWithoutTheFirstRunCopy) {
    WriteFile(commonIni, "[DBList]\nA=/srv/A/TSUBAKI.FDB\n");
    WriteBkupPath(Q("/media/usb/バックアップ"));
    EXPECT_EQ(ReadFile(iniPath), Q("[BkupData]\nBkupPath=/media/usb/バックアップ\n").toUtf8());
    WriteFdbRootPath(root);
    EXPECT_EQ(ReadBkupPath(), Q("/media/usb/バックアップ"));
    EXPECT_EQ(ReadFdbRootPath(), root);
}

TEST_F(KyotsuUnitTest, DBListIsBuiltFromTheFoldersOnlyWhileItHoldsNoKey) {
    MakeOrganisation(QStringLiteral("A"));
    MakeOrganisation(Q("東町会"));
    MakeOrganisation(QStringLiteral("a=b"));  // no key can hold this name
    MakeOrganisation(QStringLiteral("[x]"));  // nor this one
    QDir().mkpath(root + QStringLiteral("/NoDatabase"));
    WriteFile(root + QStringLiteral("/NotAFolder"), "x");
    WriteFile(iniPath, "[DBList]\n; emptied by hand\n");
    DbRootFolder = root;

    EXPECT_EQ(Sorted(FindDantaiFolders(root)),
              QStringList({QStringLiteral("A"), QStringLiteral("[x]"), QStringLiteral("a=b"), Q("東町会")}));
    EXPECT_EQ(Sorted(GetDantaiList()), QStringList({QStringLiteral("A"), Q("東町会")}));
    EXPECT_EQ(GetDbPath(QStringLiteral("a")), DbFile(QStringLiteral("A")));  // ASCII case does not matter
    EXPECT_EQ(GetDbPath(Q("東町会")), DbFile(Q("東町会")));

    // Keys present: a folder added by hand is not picked up.
    MakeOrganisation(QStringLiteral("Later"));
    EXPECT_EQ(GetDantaiList().size(), 2);

    // The last organisation gone: the next listing scans again.
    DeleteIniKey(QStringLiteral("DBList"), QStringLiteral("A"));
    DeleteIniKey(QStringLiteral("dblist"), Q("東町会"));
    EXPECT_EQ(Sorted(GetDantaiList()),
              QStringList({QStringLiteral("A"), QStringLiteral("Later"), Q("東町会")}));
}

TEST_F(KyotsuUnitTest, ServerPrefixInTheRootIsKeptInTheRegistry) {
    MakeOrganisation(QStringLiteral("A"));
    DbRootFolder = QStringLiteral("LocalHost:") + root;
    EXPECT_EQ(GetDantaiList(), QStringList{QStringLiteral("A")});
    EXPECT_EQ(GetDbPath(QStringLiteral("A")), QStringLiteral("LocalHost:") + DbFile(QStringLiteral("A")));
    EXPECT_EQ(GetLocalDbPath(QStringLiteral("A")), DbFile(QStringLiteral("A")));
}

TEST_F(KyotsuUnitTest, EmptyRootIsAnErrorOnlyWhenTheListMustBeBuilt) {
    EXPECT_EQ(MessageOf([] { GetDantaiList(); }), Q("データベース保存フォルダを指定してください。"));
    WriteDBListEntry(QStringLiteral("A"), QStringLiteral("/x/A/TSUBAKI.FDB"));
    EXPECT_EQ(GetDantaiList(), QStringList{QStringLiteral("A")});
}

TEST_F(KyotsuUnitTest, LocalDbPathDropsLocalServerPrefixesAndNeedsTheFile) {
    MakeOrganisation(QStringLiteral("A"));
    const QString file = DbFile(QStringLiteral("A"));
    struct Case {
        const char* name;
        QString value;
        QString local;
    };
    const Case cases[] = {
        {"plain path", file, file},
        {"localhost:", QStringLiteral("localhost:") + file, file},
        {"localhost/3051:", QStringLiteral("localhost/3051:") + file, file},
        {"upper-case LOCALHOST:", QStringLiteral("LOCALHOST:") + file, file},
        {"another computer", QStringLiteral("server:") + file, QString()},
        {"file missing here", root + QStringLiteral("/Gone/TSUBAKI.FDB"), QString()},
        {"localhost with a missing file", QStringLiteral("localhost/3051:/nowhere/TSUBAKI.FDB"), QString()},
        {"a folder, not a file", QStringLiteral("localhost:") + root + QStringLiteral("/A"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteDBListEntry(Q("団体"), c.value);
        EXPECT_EQ(GetDbPath(Q("団体")), c.value);
        EXPECT_EQ(GetLocalDbPath(Q("団体")), c.local);
    }
}

TEST_F(KyotsuUnitTest, RegistryEntriesAddReplaceAndRemove) {
    WriteFile(iniPath, "[DbFolder]\nFdbRootPath=/r\n[DBList]\nA=/r/A/TSUBAKI.FDB\nB=/r/B/TSUBAKI.FDB\n");
    EXPECT_EQ(MessageOf([] { GetDbPath(Q("西町会")); }), Q("西町会 のデータベースが見つかりません。"));
    EXPECT_EQ(MessageOf([] { GetLocalDbPath(Q("西町会")); }), Q("西町会 のデータベースが見つかりません。"));

    // A rename: the old key goes, the new one comes last.
    WriteDBListEntry(Q("西町会"), QStringLiteral("/r/West/TSUBAKI.FDB"));
    DeleteIniKey(QStringLiteral("DBList"), QStringLiteral("A"));
    EXPECT_EQ(GetDantaiList(), QStringList({QStringLiteral("B"), Q("西町会")}));
    WriteDBListEntry(QStringLiteral("b"), QStringLiteral("/r/b2/TSUBAKI.FDB"));
    EXPECT_EQ(GetDbPath(QStringLiteral("B")), QStringLiteral("/r/b2/TSUBAKI.FDB"));
    EXPECT_EQ(GetDantaiList().size(), 2);

    const QByteArray before = ReadFile(iniPath);
    EXPECT_THROW(WriteDBListEntry(QStringLiteral("x=y"), QStringLiteral("/r/x/TSUBAKI.FDB")), EAppError);
    EXPECT_THROW(WriteDBListEntry(QStringLiteral("[Evil]"), QStringLiteral("/r/x/TSUBAKI.FDB")), EAppError);
    EXPECT_EQ(ReadFile(iniPath), before);
}

TEST_F(KyotsuUnitTest, ReportSettingsDefaults) {
    EXPECT_EQ(ReadReportOutputFolder(), platform::HomeFolder() + Q("/TsubakiDB/帳票"));
    EXPECT_EQ(ReadReportViewer(), QStringLiteral("xdg-open"));

    WriteFile(iniPath, "[Report]\nOutputFolder=\nViewer=\n");
    EXPECT_EQ(ReadReportOutputFolder(), platform::HomeFolder() + Q("/TsubakiDB/帳票"));
    EXPECT_EQ(ReadReportViewer(), QString());  // set but empty: save only

    WriteFile(iniPath, "[report]\noutputfolder=/tmp/out\nviewer=libreoffice --calc\n");
    EXPECT_EQ(ReadReportOutputFolder(), QStringLiteral("/tmp/out"));
    EXPECT_EQ(ReadReportViewer(), QStringLiteral("libreoffice --calc"));
}

TEST_F(KyotsuUnitTest, ConnectTimeoutIsFiveSecondsUnlessSetToAPositiveNumber) {
    EXPECT_EQ(ReadConnectTimeout(), 5);
    const struct {
        const char* ini;
        int seconds;
    } cases[] = {
        {"[DbServer]\nConnectTimeout=12\n", 12},
        {"[dbserver]\nconnecttimeout= 2 \n", 2},
        {"[DbServer]\nConnectTimeout=0\n", 5},
        {"[DbServer]\nConnectTimeout=-3\n", 5},
        {"[DbServer]\nConnectTimeout=abc\n", 5},
        {"[DbServer]\nConnectTimeout=\n", 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini);
        WriteFile(iniPath, c.ini);
        EXPECT_EQ(ReadConnectTimeout(), c.seconds);
    }
}

}  // namespace
