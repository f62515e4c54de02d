// Backup and restore of an organisation whose database a Firebird server holds
// (the registry entry "localhost/port:path"): both go through the server's own
// services, and a restore waits until no other program is attached.

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>

#include "backup/BackupUnit.h"
#include "backup/ControlRow.h"
#include "backup/RestoreUnit.h"
#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "db/Connection.h"
#include "tests/backup/BackupFixture.h"
#include "tests/support/FirebirdServer.h"

namespace {

int NendoOf(db::Connection& connection) {
    const int nendo =
        static_cast<int>(connection.Select(QStringLiteral("select NENDO from KANRI where (KY = 1)"))
                             .rows.at(0)
                             .at(0)
                             .AsInteger());
    connection.Close();
    return nendo;
}

TEST(ServerBackup, BackupAndRestoreGoThroughTheServerThatHoldsTheDatabase) {
    const FirebirdServer server;
    if (!server.Available())
        GTEST_SKIP() << server.Reason().toStdString();
    BackupFixture fixture;
    const QString viaServer = server.DatabaseString(fixture.fdbPath);
    WriteDBListEntry(BackupFixture::Dantai(), viaServer);
    BackupFixture::SetNendo(fixture.fdbPath, 2021);
    // Another computer's program, attached through the server from here on.
    db::Connection otherComputer([viaServer] { return viaServer; });
    EXPECT_EQ(NendoOf(otherComputer), 2021);

    const QString folder = fixture.Scratch(QStringLiteral("バックアップ"));
    QDir().mkpath(folder);
    {
        ShownWindow<TBackupForm> window;
        ASSERT_TRUE(window.form.BitBtn1->isEnabled());
        window.form.Edit1->setText(folder);
        window.form.Edit2->setText(QStringLiteral("2021年度"));
        QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("データのバックアップを終了しました。"));
    }
    const QString backup = folder + QStringLiteral("/2021年度.FDB");
    EXPECT_EQ(BackupFixture::Entries(folder), QStringList{QStringLiteral("2021年度.FDB")});
    EXPECT_EQ(ReadControlRow(server.DatabaseString(backup)).dantaimei, BackupFixture::Dantai());

    // Work goes on after the backup, on the other computer.
    otherComputer.Execute(QStringLiteral("update KANRI set NENDO = 2022 where (KY = 1)"));
    otherComputer.Open();

    ShownWindow<TRestoreForm> window;
    window.form.Edit1->setText(backup);
    fixture.dialogs.Clear();
    QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(QStringLiteral("他のコンピュータ（1件の接続：")))
        << fixture.dialogs.Last().text.toStdString();
    EXPECT_EQ(NendoOf(otherComputer), 2022) << "nothing restored while another program is attached";

    fixture.dialogs.Clear();
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
    ASSERT_EQ(fixture.dialogs.Shown().size(), 2u) << fixture.dialogs.Last().text.toStdString();
    EXPECT_TRUE(
        fixture.dialogs.Last().text.startsWith(QStringLiteral("バックアップデータの復元を終了しました。")));
    // A new connection to the server sees the restored database, not the one the
    // server held before; the replaced one is kept beside the backup.
    EXPECT_EQ(NendoOf(otherComputer), 2021);
    const QStringList kept = QDir(folder).entryList({QStringLiteral("東町会_復元前_*.FDB")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    db::Connection safetyCopy([&] { return server.DatabaseString(folder + u'/' + kept.front()); });
    EXPECT_EQ(NendoOf(safetyCopy), 2022);
    EXPECT_EQ(BackupFixture::Entries(ExtractFileDir(fixture.fdbPath)),
              QStringList{QStringLiteral("TSUBAKI.FDB")});
}

// A damaged backup chosen for a database on a server is refused without the server
// ever opening it, so that the server goes on backing up and restoring.
TEST(ServerBackup, AfterADamagedBackupIsRefusedTheServerBacksUpAndRestores) {
    const FirebirdServer server;
    if (!server.Available())
        GTEST_SKIP() << server.Reason().toStdString();
    BackupFixture fixture;
    const QString viaServer = server.DatabaseString(fixture.fdbPath);
    WriteDBListEntry(BackupFixture::Dantai(), viaServer);
    db::Connection program([viaServer] { return viaServer; });
    const QString folder = fixture.Scratch(QStringLiteral("bk"));
    QDir().mkpath(folder);
    const auto backUp = [&](const QString& name) {
        ShownWindow<TBackupForm> window;
        window.form.Edit1->setText(folder);
        window.form.Edit2->setText(name);
        fixture.dialogs.Clear();
        QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("データのバックアップを終了しました。"));
    };
    backUp(QStringLiteral("2022年度"));
    const QString good = folder + QStringLiteral("/2022年度.FDB");
    program.Execute(QStringLiteral("update KANRI set NENDO = 2023 where (KY = 1)"));

    ShownWindow<TRestoreForm> window;
    const QByteArray whole = ReadFile(good);
    for (const auto damage :
         {BackupFixture::PageDamage::OfASystemTable, BackupFixture::PageDamage::OfTheBooksOwnTable}) {
        const QString damaged = fixture.Scratch(QStringLiteral("damaged.FDB"));
        WriteFile(damaged, BackupFixture::Damaged(whole, damage));
        window.form.Edit1->setText(damaged);
        fixture.dialogs.Clear();
        QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u) << "refused before asking";
        EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(QStringLiteral(
            "バックアップファイル［damaged.FDB］はデータベースとして正しくないため、復元できません。")))
            << fixture.dialogs.Last().text.toStdString();
        EXPECT_EQ(NendoOf(program), 2023);
    }

    backUp(QStringLiteral("2023年度"));
    db::Connection newBackup([&] { return server.DatabaseString(folder + QStringLiteral("/2023年度.FDB")); });
    EXPECT_EQ(NendoOf(newBackup), 2023);

    window.form.Edit1->setText(good);
    fixture.dialogs.Clear();
    fixture.dialogs.QueueAnswer(ModalResult::Yes);
    QTest::mouseClick(window.form.BitBtn1, Qt::LeftButton);
    EXPECT_TRUE(
        fixture.dialogs.Last().text.startsWith(QStringLiteral("バックアップデータの復元を終了しました。")))
        << fixture.dialogs.Last().text.toStdString();
    EXPECT_EQ(NendoOf(program), 2022);
}

}  // namespace
