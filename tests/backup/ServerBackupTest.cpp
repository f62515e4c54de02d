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
    const int nendo = static_cast<int>(
        connection.Select(QStringLiteral("select NENDO from KANRI where (KY = 1)")).rows.at(0).at(0).AsInteger());
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
    EXPECT_TRUE(fixture.dialogs.Last().text.startsWith(QStringLiteral("バックアップデータの復元を終了しました。")));
    // A new connection to the server sees the restored database, not the one the
    // server held before; the replaced one is kept beside the backup.
    EXPECT_EQ(NendoOf(otherComputer), 2021);
    const QStringList kept = QDir(folder).entryList({QStringLiteral("東町会_復元前_*.FDB")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    db::Connection safetyCopy([&] { return server.DatabaseString(folder + u'/' + kept.front()); });
    EXPECT_EQ(NendoOf(safetyCopy), 2022);
    EXPECT_EQ(BackupFixture::Entries(ExtractFileDir(fixture.fdbPath)), QStringList{QStringLiteral("TSUBAKI.FDB")});
}

}  // namespace
