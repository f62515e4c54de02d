#include "tests/support/KilledChild.h"

#include "tests/support/QueryRows.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTest>

namespace {

const char kDbVariable[] = "TSUBAKI_CHILD_DB";
const char kMarkVariable[] = "TSUBAKI_CHILD_MARK";

}  // namespace

void RunChildUntilReadyThenKill(const QString& childTest, const QString& databaseString) {
    const TempFolder folder;
    const QString mark = folder.File(QStringLiteral("ready"));
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kDbVariable), databaseString);
    env.insert(QString::fromLatin1(kMarkVariable), mark);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + childTest,
                                                          QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(child.waitForStarted());
    for (int waited = 0; !QFile::exists(mark) && child.state() == QProcess::Running && waited < 120000;
         waited += 50)
        QTest::qWait(50);
    const bool ready = QFile::exists(mark);
    child.kill();  // SIGKILL: no clean-up runs
    child.waitForFinished();
    ASSERT_TRUE(ready) << "the child never got ready";
}

QString ChildDatabaseString() {
    return QString::fromLocal8Bit(qgetenv(kDbVariable));
}

void ReadyToBeKilled() {
    WriteFile(QString::fromLocal8Bit(qgetenv(kMarkVariable)), "ready");
    for (;;)
        QTest::qWait(1000);
}

void WaitForUserAttachments(db::Connection& connection, int count) {
    const QStringList expected{QString::number(count)};
    for (int waited = 0; waited < 10000; waited += 100) {
        if (RowsOf(connection,
                   QStringLiteral("select count(*) from MON$ATTACHMENTS where MON$SYSTEM_FLAG = 0")) ==
            expected)
            return;
        QTest::qWait(100);
    }
}
