// The program as the desktop session sees it: started, then told to end by a
// signal (logout, shutdown, kill, Ctrl+C). It must close the way its own close
// button closes it, not die by the signal nor keep running.

#include "platform/InstanceLock.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <signal.h>

namespace {

const QString kInstanceName = QStringLiteral("Tsubaki1");

TEST(AppTermination, TerminationSignalsCloseTheProgramNormally) {
    TempFolder temp;
    const QString runtime = temp.File(QStringLiteral("run"));
    ASSERT_TRUE(QDir().mkpath(runtime));
    qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());  // where the program's instance lock lives
    // A copy of the program in a folder of its own: it writes its settings file
    // beside itself.
    const QString program = temp.File(QStringLiteral("app/tsubaki"));
    ASSERT_TRUE(QDir().mkpath(temp.File(QStringLiteral("app"))));
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("TSUBAKI_APP_DIR") + QStringLiteral("/tsubaki"), program));

    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QProcess app;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), temp.File(QStringLiteral("home")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime);
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        app.setProcessEnvironment(env);
        app.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        app.start(program, {});
        ASSERT_TRUE(app.waitForStarted(30000));

        // Up once it holds its instance lock (taken after the signals are set up).
        QElapsedTimer waited;
        waited.start();
        while (!platform::InstanceLock::IsHeldElsewhere(kInstanceName) && app.state() == QProcess::Running &&
               waited.elapsed() < 60000)
            QThread::msleep(50);
        ASSERT_EQ(app.state(), QProcess::Running) << "the program ended by itself";
        ASSERT_TRUE(platform::InstanceLock::IsHeldElsewhere(kInstanceName)) << "the program did not come up";

        ::kill(static_cast<pid_t>(app.processId()), signal);
        ASSERT_TRUE(app.waitForFinished(60000)) << "the program kept running";
        EXPECT_EQ(app.exitStatus(), QProcess::NormalExit) << "the program died by the signal";
        EXPECT_EQ(app.exitCode(), 0);
        EXPECT_FALSE(platform::InstanceLock::IsHeldElsewhere(kInstanceName));
    }
}

}  // namespace
