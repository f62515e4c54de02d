// A termination signal ends every event loop of the program, and one a message
// box starts while the program is on its way out does not wait for an answer.

#include "platform/TerminationSignals.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <pthread.h>
#include <signal.h>

namespace {

// Runs a nested event loop until something ends it; false when the guard timer
// had to (nothing else did within five seconds).
bool LoopEndsByItself() {
    QEventLoop loop;
    bool guardFired = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, [&] {
        guardFired = true;
        loop.exit(1);
    });
    guard.start(5000);
    loop.exec();
    return !guardFired;
}

TEST(TerminationSignals, EndTheRunningLoopAndEveryLoopStartedAfter) {
    platform::BlockTerminationSignals();  // this thread's signal waits for the descriptor
    int calls = 0;
    const platform::TerminationSignals termination([&calls] {
        ++calls;
        QCoreApplication::exit(0);
    });

    // Sent to this thread alone: the test's other threads do not block the signal.
    QTimer::singleShot(50, [] { pthread_kill(pthread_self(), SIGTERM); });
    EXPECT_TRUE(LoopEndsByItself()) << "the window's loop kept running";
    EXPECT_EQ(calls, 1);
    // A message box opened on the way out does not hold the program up: once the
    // application is told to exit, a loop started later returns at once.
    EXPECT_TRUE(LoopEndsByItself()) << "a loop started after the signal kept running";
    EXPECT_EQ(calls, 1);
}

}  // namespace
