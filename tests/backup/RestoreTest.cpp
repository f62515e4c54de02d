#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <cerrno>
#include <csignal>

#include "backup/RestoreUnit.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "login/MenuUnit.h"
#include "tests/backup/BackupFixture.h"

namespace {

const QString kFinished = QStringLiteral("バックアップデータの復元を終了しました。");
const QString kNewer = QStringLiteral(
    "復元したデータベースのバージョンレベルが現在のプログラムより新しいです。\r\n"
    "プログラムを最新バージョンにアップデートしてください。");

// The restore window with its end-of-program hook counted.
struct RestoreWindow : ShownWindow<TRestoreForm> {
    RestoreWindow() {
        form.SetOnEndProgram([this] { ++endProgramCalls; });
    }
    void Run(const QString& backup) {
        form.Edit1->setText(backup);
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    }
    int endProgramCalls = 0;
};

class RestoreTest : public ::testing::Test {
  protected:
    // A backup of the organisation taken while its year was 2021.
    QString MonthOldBackup(const QString& name = QStringLiteral("東町会20220301.FDB")) {
        BackupFixture::SetNendo(fixture.fdbPath, 2021);
        const QString backup = fixture.Scratch(name);
        FileCopy(fixture.fdbPath, backup, false, true);
        BackupFixture::SetNendo(fixture.fdbPath, 2022);
        return backup;
    }
    QString Folder() const { return ExtractFileDir(fixture.fdbPath); }
    // What the next window reads through the program's connection.
    int NendoSeenByTheProgram() {
        const auto rows = fixture.dataModule.SQLConnection1.Select(
            QStringLiteral("select NENDO from KANRI where (KY = 1)"));
        fixture.dataModule.SQLConnection1.Close();
        return static_cast<int>(rows.rows.at(0).at(0).AsInteger());
    }

    BackupFixture fixture;
};

// Lowers the largest file size this process may write, so that a copy fails
// with EFBIG once it has written that much.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int);
};

}  // namespace

TEST_F(RestoreTest, AMonthOldBackupReplacesTheDatabase) {
    const QString backup = MonthOldBackup();
    fixture.dataModule.SQLConnection1.Open();
    RestoreWindow window;
    EXPECT_FALSE(fixture.dataModule.SQLConnection1.Connected());
    EXPECT_EQ(window.form.Panel1->text(), BackupFixture::Dantai());

    window.Run(QStringLiteral("  ") + backup + QStringLiteral(" "));
    EXPECT_EQ(fixture.dialogs.Shown().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Last().text, kFinished);
    EXPECT_EQ(window.form.result(), QDialog::Accepted);
    EXPECT_FALSE(window.form.isVisible());
    EXPECT_EQ(window.endProgramCalls, 0);
    EXPECT_EQ(NendoSeenByTheProgram(), 2021);
    EXPECT_EQ(BackupFixture::Entries(Folder()), QStringList{QStringLiteral("TSUBAKI.FDB")});
    EXPECT_TRUE(QFile::exists(backup));
}

TEST_F(RestoreTest, FilesThatAreNotThisOrganisationsBackupAreRefusedWithNothingReplaced) {
    const QString other = fixture.AddOrganisation(QStringLiteral("西町会"));
    const QString noRow = MonthOldBackup(QStringLiteral("no-row.FDB"));
    BackupFixture::Execute(noRow, QStringLiteral("delete from KANRI"));
    const QString renamed = fixture.Scratch(QStringLiteral("東町会.FDB"));
    FileCopy(other, renamed, false, true);
    const QString text = fixture.Scratch(QStringLiteral("memo.FDB"));
    WriteFile(text, QByteArray(40000, 'm'));
    const QString samePrefix = MonthOldBackup(QStringLiteral("prefix.FDB"));
    BackupFixture::Execute(samePrefix,
                           QStringLiteral("update KANRI set DANTAIMEI = '東町会 ' where (KY = 1)"));

    const QString otherOrganisation = QStringLiteral("指定したファイルは別の団体のものです。");
    struct Case {
        QString backup;
        QString message;  // empty: the database driver's own text
    };
    const Case cases[] = {
        {other, otherOrganisation},
        {renamed, otherOrganisation},
        {noRow, otherOrganisation},
        {samePrefix, otherOrganisation},
        {text, {}},
    };
    const QByteArray before = ReadFile(fixture.fdbPath);
    RestoreWindow window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backup.toStdString());
        fixture.dialogs.Clear();
        window.Run(c.backup);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().kind, RecordedDialog::Kind::Error);
        if (c.message.isEmpty())
            EXPECT_FALSE(fixture.dialogs.Last().text.isEmpty());
        else
            EXPECT_EQ(fixture.dialogs.Last().text, c.message);
        EXPECT_EQ(ReadFile(fixture.fdbPath), before);
        EXPECT_EQ(BackupFixture::Entries(Folder()), QStringList{QStringLiteral("TSUBAKI.FDB")});
        EXPECT_TRUE(window.form.isVisible());
    }
    EXPECT_EQ(window.endProgramCalls, 0);
}

TEST_F(RestoreTest, ABackupWithoutAVersionColumnIsAccepted) {
    const QString backup = MonthOldBackup();
    BackupFixture::Execute(backup, QStringLiteral("alter table KANRI drop DB_VERSION"));
    RestoreWindow window;
    window.Run(backup);
    EXPECT_EQ(fixture.dialogs.Shown().size(), 1u);
    EXPECT_EQ(fixture.dialogs.Last().text, kFinished);
    EXPECT_EQ(window.endProgramCalls, 0);
    EXPECT_EQ(BackupFixture::Nendo(fixture.fdbPath), 2021);
}

TEST_F(RestoreTest, ABackupNewerThanTheProgramIsPutInPlaceAndEndsTheProgram) {
    const QString backup = MonthOldBackup();
    BackupFixture::Execute(backup, QStringLiteral("update KANRI set DB_VERSION = '1.0.3.1' where (KY = 1)"));
    RestoreWindow window;
    window.Run(backup);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 2u);
    EXPECT_EQ(fixture.dialogs.Shown()[0].text, kFinished);
    EXPECT_EQ(fixture.dialogs.Shown()[1].text, kNewer);
    EXPECT_EQ(fixture.dialogs.Beeps(), 1);
    EXPECT_FALSE(window.form.isVisible());
    EXPECT_EQ(window.endProgramCalls, 1);
    EXPECT_EQ(BackupFixture::Query(fixture.fdbPath, QStringLiteral("select DB_VERSION from KANRI")),
              QStringLiteral("1.0.3.1"));
}

// The menu ends the program by closing itself (the login window closes with it),
// only after a newer database was restored.
TEST_F(RestoreTest, TheMenuClosesAfterANewerDatabaseWasRestored) {
    const QString current = MonthOldBackup(QStringLiteral("current.FDB"));
    const QString newer = MonthOldBackup(QStringLiteral("newer.FDB"));
    BackupFixture::Execute(newer, QStringLiteral("update KANRI set DB_VERSION = '2.0' where (KY = 1)"));
    for (const auto& [backup, menuCloses] : {std::pair{current, false}, std::pair{newer, true}}) {
        SCOPED_TRACE(backup.toStdString());
        ShownWindow<TMenuForm> menu;
        bool restoreShown = false;
        OnNextModal([&, file = backup](QWidget* modal) {
            auto* restore = qobject_cast<TRestoreForm*>(modal);
            ASSERT_NE(restore, nullptr);
            restoreShown = true;
            restore->Edit1->setText(file);
            QTest::mouseClick(restore->BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(menu.form.ButtonByTag(52), Qt::LeftButton);
        QApplication::processEvents();
        EXPECT_TRUE(restoreShown);
        EXPECT_EQ(menu.form.isVisible(), !menuCloses);
    }
}

TEST_F(RestoreTest, ABackupNamedLikeTheWorkFileIsKept) {
    const QString backup = MonthOldBackup();
    const QString besideTheDatabase = Folder() + QStringLiteral("/w_TSUBAKI.FDB");
    FileCopy(backup, besideTheDatabase, false, true);
    RestoreWindow window;
    window.Run(besideTheDatabase);
    EXPECT_EQ(fixture.dialogs.Last().text, kFinished);
    EXPECT_EQ(BackupFixture::Nendo(fixture.fdbPath), 2021);
    EXPECT_EQ(BackupFixture::Nendo(besideTheDatabase), 2021);
}

TEST_F(RestoreTest, AFinalCopyThatFailsHalfwayLeavesTheDatabaseAsItWas) {
    const QString backup = MonthOldBackup();
    const QString workPath = RestoreWorkPath(fixture.fdbPath);
    ASSERT_EQ(CheckBackupOwner(backup, workPath, workPath, BackupFixture::Dantai()),
              QStringLiteral("1.0.3.0"));
    const QByteArray before = ReadFile(fixture.fdbPath);
    const qint64 size = QFileInfo(backup).size();
    ASSERT_GT(size, 1 << 21);  // more than one buffer: the copy stops in the middle
    try {
        FileSizeLimit limit(static_cast<rlim_t>(size / 2));
        ReplaceDatabase(backup, fixture.fdbPath);
        ADD_FAILURE() << "the copy did not fail";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(),
                  QStringLiteral("ファイル［東町会20220301.FDB］のコピー中にエラー(%1)が発生しました。")
                      .arg(EFBIG));
    }
    EXPECT_EQ(ReadFile(fixture.fdbPath), before);
    EXPECT_EQ(BackupFixture::Nendo(fixture.fdbPath), 2022);
    EXPECT_EQ(BackupFixture::Entries(Folder()), QStringList{QStringLiteral("TSUBAKI.FDB")});
}

TEST_F(RestoreTest, RefusesAFieldThatNamesNoFile) {
    const struct {
        QString field;
        QString message;
    } cases[] = {
        {QStringLiteral("  "), QStringLiteral("バックアップファイルを入力してください。")},
        {QStringLiteral("C:\\Backup\\東町会.FDB"), QStringLiteral("Cﾄﾞﾗｲﾌﾞの準備ができていません.")},
        {fixture.Scratch(QStringLiteral("none.FDB")),
         QStringLiteral("バックアップファイルが見つかりません。")},
        {fixture.Scratch({}), QStringLiteral("バックアップファイルが見つかりません。")},
    };
    const QByteArray before = ReadFile(fixture.fdbPath);
    RestoreWindow window;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field.toStdString());
        fixture.dialogs.Clear();
        window.form.BitBtn1->setFocus();
        window.Run(c.field);
        EXPECT_EQ(fixture.dialogs.Last().text, c.message);
        EXPECT_TRUE(window.form.Edit1->hasFocus());
        EXPECT_TRUE(window.form.isVisible());
    }
    EXPECT_EQ(ReadFile(fixture.fdbPath), before);
}

TEST_F(RestoreTest, BrowsingPutsTheChosenFileInTheField) {
    RestoreWindow window;
    window.form.Edit1->setText(QStringLiteral("/kept.FDB"));
    fixture.dialogs.QueueFile(std::nullopt);
    fixture.dialogs.QueueFile(QStringLiteral(" /chosen/東町会.FDB "));
    QTest::mouseClick(window.form.SansyoBtn, Qt::LeftButton);
    EXPECT_EQ(window.form.Edit1->text(), QStringLiteral("/kept.FDB"));
    EXPECT_TRUE(window.form.Edit1->hasFocus());
    QTest::mouseClick(window.form.SansyoBtn, Qt::LeftButton);
    EXPECT_EQ(window.form.Edit1->text(), QStringLiteral("/chosen/東町会.FDB"));
    EXPECT_EQ(fixture.dialogs.Last().title, QStringLiteral("バックアップファイルの検索"));
}

TEST(WorkDatabaseString, OpensTheWorkFileTheWayTheRegistryOpensTheDatabase) {
    const QString work = QStringLiteral("/r/東町会/w_TSUBAKI.FDB");
    const struct {
        const char* registry;
        const char* expected;
    } cases[] = {
        {"/r/東町会/TSUBAKI.FDB", "/r/東町会/w_TSUBAKI.FDB"},
        {"localhost:/r/東町会/TSUBAKI.FDB", "localhost:/r/東町会/w_TSUBAKI.FDB"},
        {"LocalHost/3051:/r/東町会/TSUBAKI.FDB", "LocalHost/3051:/r/東町会/w_TSUBAKI.FDB"},
        {"server:/r/東町会/TSUBAKI.FDB", "/r/東町会/w_TSUBAKI.FDB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.registry);
        EXPECT_EQ(WorkDatabaseString(QString::fromUtf8(c.registry), work), QString::fromUtf8(c.expected));
    }
}
