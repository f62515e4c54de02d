#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTimer>
#include <cerrno>
#include <csignal>

#include "backup/BackupUnit.h"
#include "backup/RestoreUnit.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "tests/backup/BackupFixture.h"

namespace {

const QString kFinished = QStringLiteral("バックアップデータの復元を終了しました。");

struct RestoreWindow : ShownWindow<TRestoreForm> {
    void Run(const QString& backup) {
        form.Edit1->setText(backup);
        QTest::mouseClick(form.BitBtn1, Qt::LeftButton);
    }
};

// The one safety copy in `folder`, empty when there is none.
QString SafetyCopyIn(const QString& folder) {
    const QStringList copies = QDir(folder).entryList({QStringLiteral("*_復元前_*.FDB")}, QDir::Files);
    return copies.size() == 1 ? folder + u'/' + copies.front() : QString();
}

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

TEST_F(RestoreTest, AMonthOldBackupReplacesTheDatabaseAfterAskingAndKeepsTheReplacedOne) {
    const QString backup = MonthOldBackup();
    fixture.dataModule.SQLConnection1.Open();
    RestoreWindow window;
    EXPECT_FALSE(fixture.dataModule.SQLConnection1.Connected());
    EXPECT_EQ(window.form.Panel1->text(), BackupFixture::Dantai());

    // いいえ: nothing changes.
    fixture.dialogs.QueueAnswer(ModalResult::No);
    window.Run(backup);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
    const RecordedDialog question = fixture.dialogs.Last();
    EXPECT_EQ(question.kind, RecordedDialog::Kind::Question);
    EXPECT_EQ(question.focused, std::optional<MsgDlgBtn>(mbNo));
    EXPECT_TRUE(question.text.contains(QStringLiteral("ファイル：東町会20220301.FDB")))
        << question.text.toStdString();
    EXPECT_TRUE(question.text.contains(QStringLiteral("団体名：東町会")));
    EXPECT_TRUE(question.text.contains(QStringLiteral("日付：") + QFileInfo(backup).lastModified().toString(
                                                                      QStringLiteral("yyyy/MM/dd hh:mm"))));
    EXPECT_EQ(BackupFixture::Nendo(fixture.fdbPath), 2022);
    EXPECT_TRUE(window.form.isVisible());
    EXPECT_EQ(SafetyCopyIn(ExtractFileDir(backup)), QString());

    fixture.dialogs.Clear();
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    window.Run(QStringLiteral("  ") + backup + QStringLiteral(" "));
    ASSERT_EQ(fixture.dialogs.Shown().size(), 2u);
    const QString safetyCopy = SafetyCopyIn(ExtractFileDir(backup));
    ASSERT_FALSE(safetyCopy.isEmpty());
    EXPECT_EQ(
        fixture.dialogs.Last().text,
        kFinished + QStringLiteral("\r\n\r\n復元前のデータは次のファイルに保存しました。\r\n") + safetyCopy);
    EXPECT_EQ(BackupFixture::Nendo(safetyCopy), 2022) << "the replaced database, as it was";
    EXPECT_EQ(window.form.result(), QDialog::Accepted);
    EXPECT_FALSE(window.form.isVisible());
    EXPECT_EQ(NendoSeenByTheProgram(), 2021);
    EXPECT_EQ(BackupFixture::Entries(Folder()), QStringList{QStringLiteral("TSUBAKI.FDB")});
    EXPECT_TRUE(QFile::exists(backup));
}

// Whatever is wrong with the chosen file, it is refused before anything is asked
// or replaced: the live database stays byte for byte as it was.
TEST_F(RestoreTest, DamagedAndForeignFilesAreRefusedWithNothingReplaced) {
    const QString good = MonthOldBackup(QStringLiteral("good.FDB"));
    const QByteArray whole = ReadFile(good);
    const qsizetype half = whole.size() / 2;
    const auto damaged = [&](const QString& name, QByteArray bytes) {
        const QString path = fixture.Scratch(name);
        WriteFile(path, bytes);
        return path;
    };
    QByteArray randomAfterHeader = whole.left(8192);
    QRandomGenerator random(20220301);
    while (randomAfterHeader.size() < whole.size())
        randomAfterHeader.append(static_cast<char>(random.bounded(256)));
    QByteArray overwritten = whole;
    for (qsizetype i = half; i < half + 65536; ++i)
        overwritten[i] = static_cast<char>(random.bounded(256));
    QByteArray zeroedSecondHalf = whole;
    zeroedSecondHalf.replace(half, whole.size() - half, QByteArray(whole.size() - half, '\0'));

    const QString other = fixture.AddOrganisation(QStringLiteral("西町会"));
    const QString renamed = fixture.Scratch(QStringLiteral("東町会.FDB"));
    FileCopy(other, renamed, false, true);
    const QString noRow = MonthOldBackup(QStringLiteral("no-row.FDB"));
    BackupFixture::Execute(noRow, QStringLiteral("delete from KANRI"));
    const QString samePrefix = MonthOldBackup(QStringLiteral("prefix.FDB"));
    BackupFixture::Execute(samePrefix,
                           QStringLiteral("update KANRI set DANTAIMEI = '東町会 ' where (KY = 1)"));
    const QString newer = MonthOldBackup(QStringLiteral("newer.FDB"));
    BackupFixture::Execute(newer, QStringLiteral("update KANRI set DB_VERSION = '1.0.9.1' where (KY = 1)"));

    const auto broken = [](const char* name) {
        return QStringLiteral("バックアップファイル［") + QString::fromUtf8(name) +
               QStringLiteral("］はデータベースとして正しくないため、復元できません。");
    };
    const QString otherOrganisation = QStringLiteral("指定したファイルは別の団体のものです。");
    struct Case {
        QString backup;
        QString message;  // the message, or what it begins with
    };
    const Case cases[] = {
        {damaged(QStringLiteral("empty.FDB"), {}), broken("empty.FDB")},
        {damaged(QStringLiteral("8KB.FDB"), whole.left(8192)), broken("8KB.FDB")},
        {damaged(QStringLiteral("half.FDB"), whole.left(half)), broken("half.FDB")},
        {damaged(QStringLiteral("random.FDB"), randomAfterHeader), broken("random.FDB")},
        {damaged(QStringLiteral("64KB.FDB"), overwritten), broken("64KB.FDB")},
        {damaged(QStringLiteral("zeroed.FDB"), zeroedSecondHalf), broken("zeroed.FDB")},
        {damaged(QStringLiteral("memo.FDB"), QByteArray(40000, 'm')), broken("memo.FDB")},
        {other, otherOrganisation},
        {renamed, otherOrganisation},
        {noRow, otherOrganisation},
        {samePrefix, otherOrganisation},
        {newer, QStringLiteral(
                    "バックアップファイル［newer.FDB］のバージョンレベルが現在のプログラムより新しいため、"
                    "復元できません。")},
    };
    const QByteArray before = ReadFile(fixture.fdbPath);
    RestoreWindow window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.backup.toStdString());
        fixture.dialogs.Clear();
        window.Run(c.backup);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u) << "refused before asking";
        EXPECT_EQ(fixture.dialogs.Last().kind, RecordedDialog::Kind::Error);
        EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(c.message))
            << fixture.dialogs.Last().text.toStdString();
        EXPECT_EQ(ReadFile(fixture.fdbPath), before);
        EXPECT_EQ(BackupFixture::Entries(Folder()), QStringList{QStringLiteral("TSUBAKI.FDB")});
        EXPECT_EQ(SafetyCopyIn(ExtractFileDir(c.backup)), QString());
        EXPECT_TRUE(window.form.isVisible());
    }
}

// A damaged backup is refused without harming what comes after it: neither an
// engine that crashes on it nor one that stays attached to the file it failed to
// read may stop the next backup or restore.
TEST_F(RestoreTest, AfterDamagedBackupsAreRefusedTheDatabaseBacksUpAndAGoodBackupRestores) {
    const QString good = MonthOldBackup();
    const QByteArray whole = ReadFile(good);
    const QByteArray before = ReadFile(fixture.fdbPath);
    RestoreWindow window;
    for (const auto damage :
         {BackupFixture::PageDamage::OfASystemTable, BackupFixture::PageDamage::OfTheBooksOwnTable}) {
        const QString damaged = fixture.Scratch(QStringLiteral("damaged.FDB"));
        WriteFile(damaged, BackupFixture::Damaged(whole, damage));
        fixture.dialogs.Clear();
        window.Run(damaged);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u) << "refused before asking";
        EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(QStringLiteral(
            "バックアップファイル［damaged.FDB］はデータベースとして正しくないため、復元できません。")))
            << fixture.dialogs.Last().text.toStdString();
        EXPECT_EQ(ReadFile(fixture.fdbPath), before);
        EXPECT_EQ(BackupFixture::Entries(Folder()), QStringList{QStringLiteral("TSUBAKI.FDB")});
    }

    const QString folder = fixture.Scratch(QStringLiteral("bk"));
    {
        ShownWindow<TBackupForm> backup;
        backup.form.Edit1->setText(folder);
        backup.form.Edit2->setText(QStringLiteral("after"));
        fixture.dialogs.Clear();
        fixture.dialogs.QueueAnswer(ModalResult::Yes);  // the new folder
        QTest::mouseClick(backup.form.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("データのバックアップを終了しました。"));
    }
    EXPECT_EQ(BackupFixture::Nendo(folder + QStringLiteral("/after.FDB")), 2022);

    fixture.dialogs.Clear();
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    window.Run(good);
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(kFinished))
        << fixture.dialogs.Last().text.toStdString();
    EXPECT_EQ(NendoSeenByTheProgram(), 2021);
}

// A backup made before the version column, or before the program shared keys and
// line numbers through the database: restored, and readied as the login would.
TEST_F(RestoreTest, AnOlderBackupIsAcceptedAndReadiedForSharing) {
    const QString backup = MonthOldBackup();
    BackupFixture::Execute(backup, QStringLiteral("alter table KANRI drop DB_VERSION"));
    BackupFixture::Execute(backup, QStringLiteral("drop table W_KEY"));
    BackupFixture::Execute(backup, QStringLiteral("drop sequence SEQ_MEISAI"));
    BackupFixture::Execute(
        backup, QStringLiteral("insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO) values (41, 0, 2021)"));
    RestoreWindow window;
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    window.Run(backup);
    EXPECT_EQ(fixture.dialogs.Shown().size(), 2u);
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(kFinished));
    EXPECT_EQ(BackupFixture::Nendo(fixture.fdbPath), 2021);
    EXPECT_EQ(BackupFixture::Query(fixture.fdbPath, QStringLiteral("select count(*) from W_KEY")),
              QStringLiteral("0"));
    EXPECT_EQ(BackupFixture::Query(fixture.fdbPath,
                                   QStringLiteral("select gen_id(SEQ_MEISAI, 1) from RDB$DATABASE")),
              QStringLiteral("42"));
}

TEST_F(RestoreTest, ABackupNamedLikeTheWorkFileIsKept) {
    const QString backup = MonthOldBackup();
    const QString besideTheDatabase = Folder() + QStringLiteral("/w_TSUBAKI.FDB");
    FileCopy(backup, besideTheDatabase, false, true);
    RestoreWindow window;
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    window.Run(besideTheDatabase);
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(kFinished));
    EXPECT_EQ(BackupFixture::Nendo(fixture.fdbPath), 2021);
    EXPECT_EQ(BackupFixture::Nendo(besideTheDatabase), 2021);
}

TEST_F(RestoreTest, AFinalCopyThatFailsHalfwayLeavesTheDatabaseAsItWas) {
    const QString backup = MonthOldBackup();
    const QString workPath = RestoreWorkPath(fixture.fdbPath);
    ASSERT_EQ(CheckBackupOwner(backup, workPath, workPath, BackupFixture::Dantai()),
              QStringLiteral("1.0.4.0"));
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
