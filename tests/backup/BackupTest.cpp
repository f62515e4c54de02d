#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>

#include "backup/BackupUnit.h"
#include "backup/ControlRow.h"
#include "backup/RestoreUnit.h"
#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "tests/backup/BackupFixture.h"

namespace {

using BackupWindow = ShownWindow<TBackupForm>;

const QString kFinished = QStringLiteral("データのバックアップを終了しました。");

void RunBackup(BackupWindow& window, const QString& folder, const QString& name) {
    window.form.Edit1->setText(folder);
    window.form.Edit2->setText(name);
    QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
}

}  // namespace

TEST(BackupForm, MakesTheFolderAfterAskingAndRemembersIt) {
    BackupFixture fixture;
    fixture.dataModule.SQLConnection1.Open();  // the window lets go of the database
    const QString folder = fixture.Scratch(QStringLiteral("バックアップ/2022"));
    {
        BackupWindow window;
        EXPECT_FALSE(fixture.dataModule.SQLConnection1.Connected());
        EXPECT_EQ(window.form.Panel1->text(), BackupFixture::Dantai());
        EXPECT_TRUE(window.form.Edit1->text().isEmpty());

        fixture.dialogs.QueueAnswer(ModalResult::No);
        RunBackup(window, folder + QStringLiteral("/ "), QStringLiteral("会計.FDB"));
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);  // いいえ ends the run without a word
        EXPECT_EQ(fixture.dialogs.Last().type, MsgDlgType::Confirmation);
        EXPECT_EQ(fixture.dialogs.Last().buttons, mbYes | mbNo);
        EXPECT_EQ(
            fixture.dialogs.Last().text,
            QStringLiteral("バックアップ先フォルダが見つかりません。\r\nフォルダを新しく作成しますか？"));
        EXPECT_FALSE(QDir(folder).exists());
        EXPECT_TRUE(window.form.isVisible());

        fixture.dialogs.Clear();
        fixture.dialogs.QueueAnswer(ModalResult::Yes);
        QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(fixture.dialogs.Last().text, kFinished);
        EXPECT_FALSE(window.form.isVisible());
        EXPECT_EQ(window.form.result(), QDialog::Accepted);
    }
    // A name typed with the extension gets it once more; nothing else is left there.
    EXPECT_EQ(BackupFixture::Entries(folder), QStringList{QStringLiteral("会計.FDB.FDB")});
    const QString backup = folder + QStringLiteral("/会計.FDB.FDB");
    EXPECT_EQ(ReadControlRow(backup).dantaimei, BackupFixture::Dantai());
    EXPECT_EQ(ReadFile(backup).size(), ReadFile(fixture.fdbPath).size());
    EXPECT_EQ(ReadBkupPath(), folder);  // without the trailing "/"

    BackupWindow next;
    EXPECT_EQ(next.form.Edit1->text(), folder);
}

TEST(BackupForm, ReplacesAnExistingFileAndNamesABlankOneAfterTheOrganisation) {
    BackupFixture fixture;
    const QString folder = fixture.Scratch(QStringLiteral("bk"));
    WriteFile(folder + QStringLiteral("/年度末.FDB"), "an older backup");
    {
        BackupWindow window;
        RunBackup(window, folder, QStringLiteral(" 年度末 "));
        EXPECT_EQ(fixture.dialogs.Last().text, kFinished);  // no question before replacing
        EXPECT_EQ(BackupFixture::Nendo(folder + QStringLiteral("/年度末.FDB")), 2022);
    }
    {
        BackupWindow window;
        EXPECT_EQ(window.form.Edit1->text(), folder);
        RunBackup(window, folder, QStringLiteral("  "));
        const QString name = window.form.Edit2->text();  // the user sees the name used
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^東町会20\\d{12}$")).match(name).hasMatch())
            << name.toStdString();
        EXPECT_TRUE(QFile::exists(folder + u'/' + name + QStringLiteral(".FDB")));
    }
}

TEST(BackupForm, RefusesFoldersItCannotUse) {
    BackupFixture fixture;
    WriteFile(fixture.Scratch(QStringLiteral("plainfile")), "not a folder");
    struct Case {
        QString folder;
        bool asksToCreate;
        QString message;
    };
    const QString malformed = QStringLiteral("バックアップ先フォルダが正しくありません。");
    const Case cases[] = {
        {QStringLiteral("   "), false, QStringLiteral("バックアップ先フォルダを入力してください。")},
        {QStringLiteral("backup"), false, malformed},  // not an absolute path
        {QStringLiteral("C:\\Backup"), false, malformed},
        {fixture.Scratch(QStringLiteral("plainfile/sub")), true,
         QStringLiteral("バックアップ先フォルダの作成を失敗しました.")},
    };
    BackupWindow window;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder.toStdString());
        fixture.dialogs.Clear();
        if (c.asksToCreate)
            fixture.dialogs.QueueAnswer(ModalResult::Yes);
        window.form.Edit2->setFocus();
        RunBackup(window, c.folder, QStringLiteral("x"));
        EXPECT_EQ(fixture.dialogs.Shown().size(), c.asksToCreate ? 2u : 1u);
        EXPECT_EQ(fixture.dialogs.Last().kind, RecordedDialog::Kind::Error);
        EXPECT_EQ(fixture.dialogs.Last().text, c.message);
        EXPECT_TRUE(window.form.Edit1->hasFocus());
        EXPECT_TRUE(window.form.isVisible());
    }
    EXPECT_TRUE(ReadBkupPath().isEmpty());
    EXPECT_EQ(BackupFixture::Entries(fixture.Scratch({})), QStringList{QStringLiteral("plainfile")});
}

// A dot in a folder name is ordinary (/home/taro.yamada); the file name must stay
// one file in the chosen folder.
TEST(BackupForm, AcceptsDottedFoldersAndRefusesFileNamesThatAreNotPlainNames) {
    BackupFixture fixture;
    const QString dotted = fixture.Scratch(QStringLiteral("taro.yamada/bk.2024"));
    {
        BackupWindow window;
        fixture.dialogs.QueueAnswer(ModalResult::Yes);  // the folder is made
        RunBackup(window, dotted, QStringLiteral("年度末"));
        EXPECT_EQ(fixture.dialogs.Last().text, kFinished);
        EXPECT_TRUE(QFile::exists(dotted + QStringLiteral("/年度末.FDB")));
    }
    const QString folder = fixture.Scratch(QStringLiteral("bk"));
    QDir().mkpath(folder);
    BackupWindow window;
    for (const char* name : {"../escape", "sub/name", "..", ".", "a\\b", "a:b"}) {
        SCOPED_TRACE(name);
        fixture.dialogs.Clear();
        RunBackup(window, folder, QString::fromUtf8(name));
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().text,
                  QStringLiteral("バックアップ先ファイル名が正しくありません。"));
        EXPECT_TRUE(window.form.Edit2->hasFocus());
        EXPECT_TRUE(window.form.isVisible());
    }
    EXPECT_TRUE(BackupFixture::Entries(folder).isEmpty());
    EXPECT_EQ(BackupFixture::Entries(fixture.Scratch({})),
              (QStringList{QStringLiteral("bk"), QStringLiteral("taro.yamada")}));
}

TEST(BackupForm, ACopyThatDoesNotOpenAsADatabaseIsNotReportedAsABackup) {
    BackupFixture fixture;
    const QString folder = fixture.Scratch(QStringLiteral("bk"));
    const QString target = folder + QStringLiteral("/東町会.FDB");
    WriteFile(target, "the previous backup");
    WriteFile(fixture.fdbPath, QByteArray(64 * 1024, 'x'));  // the organisation's file is damaged

    BackupWindow window;
    RunBackup(window, folder, QStringLiteral("東町会"));
    EXPECT_EQ(fixture.dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(
        QStringLiteral("バックアップファイル［東町会.FDB］をデータベースとして開くことができません。\r\n"
                       "バックアップを中止しました。")))
        << fixture.dialogs.Last().text.toStdString();
    EXPECT_EQ(ReadFile(target), QByteArray("the previous backup"));
    EXPECT_EQ(BackupFixture::Entries(folder), QStringList{QStringLiteral("東町会.FDB")});
    EXPECT_TRUE(ReadBkupPath().isEmpty());
    EXPECT_TRUE(window.form.isVisible());
}

// The copy is refused while the organisation's file is damaged, and once mended
// the same backup goes through: the failed validation left nothing behind.
TEST(BackupForm, ADamagedDatabaseIsRefusedAndOnceMendedBacksUpUnderTheSameName) {
    BackupFixture fixture;
    const QString folder = fixture.Scratch(QStringLiteral("bk"));
    QDir().mkpath(folder);
    const QByteArray whole = ReadFile(fixture.fdbPath);
    BackupWindow window;
    for (const auto damage :
         {BackupFixture::PageDamage::OfASystemTable, BackupFixture::PageDamage::OfTheBooksOwnTable}) {
        WriteFile(fixture.fdbPath, BackupFixture::Damaged(whole, damage));
        fixture.dialogs.Clear();
        RunBackup(window, folder, QStringLiteral("東町会"));
        EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(
            QStringLiteral("バックアップファイル［東町会.FDB］をデータベースとして開くことができません。")))
            << fixture.dialogs.Last().text.toStdString();
        EXPECT_EQ(BackupFixture::Entries(folder), QStringList());
    }
    WriteFile(fixture.fdbPath, whole);
    fixture.dialogs.Clear();
    RunBackup(window, folder, QStringLiteral("東町会"));
    EXPECT_EQ(fixture.dialogs.Last().text, kFinished);
    EXPECT_EQ(BackupFixture::Nendo(folder + QStringLiteral("/東町会.FDB")), 2022);
}

TEST(BackupForm, BrowsingPutsTheChosenFolderInTheField) {
    BackupFixture fixture;
    BackupWindow window;
    window.form.Edit1->setText(QStringLiteral("/kept"));
    fixture.dialogs.QueueFolder(std::nullopt);
    fixture.dialogs.QueueFolder(QStringLiteral(" /chosen/folder "));
    QTest::mouseClick(window.form.SansyoBtn, Qt::LeftButton);
    EXPECT_EQ(window.form.Edit1->text(), QStringLiteral("/kept"));
    QTest::mouseClick(window.form.SansyoBtn, Qt::LeftButton);
    EXPECT_EQ(window.form.Edit1->text(), QStringLiteral("/chosen/folder"));
    EXPECT_EQ(fixture.dialogs.Last().title, QStringLiteral("バックアップフォルダの選択"));
    EXPECT_TRUE(window.form.Edit1->hasFocus());
}

// Both windows refuse to work on a database this computer only reaches through a server.
TEST(BackupAndRestoreForms, ADatabaseOnAnotherComputerOnlyLetsTheWindowBeClosed) {
    BackupFixture fixture;
    WriteDBListEntry(BackupFixture::Dantai(), QStringLiteral("localhost/3051:/elsewhere/TSUBAKI.FDB"));
    {
        BackupWindow window;
        EXPECT_EQ(
            fixture.dialogs.Last().text,
            QStringLiteral("他のコンピュータのデータベースは\r\nこのコンピュータでバックアップできません。"));
        EXPECT_FALSE(window.form.BitBtn1->isEnabled());
        EXPECT_TRUE(window.form.isVisible());
    }
    {
        ShownWindow<TRestoreForm> window;
        EXPECT_EQ(
            fixture.dialogs.Last().text,
            QStringLiteral(
                "他のコンピュータのデータベースへは\r\nこのコンピュータでリストアすることはできません。"));
        EXPECT_FALSE(window.form.BitBtn1->isEnabled());
        EXPECT_TRUE(window.form.isVisible());
    }
    EXPECT_EQ(fixture.dialogs.Beeps(), 2);
}
