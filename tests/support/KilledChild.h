#pragma once
// A window killed between editing and saving: this test program started again in a
// child process that runs one disabled test (the child's part) on the same database,
// through a Firebird server, and is killed with SIGKILL (no clean-up runs) once it
// says its part is done.

#include "db/Connection.h"

#include <QString>

// The parent's side: runs the child's test (a gtest filter such as
// "JournalCrashChild.*") on `databaseString`, waits until the child is ready and
// kills it. Fails the test when the child never gets ready.
void RunChildUntilReadyThenKill(const QString& childTest, const QString& databaseString);

// The child's side: the database string the parent passed (empty when the test runs
// on its own), and the word that its part is done, after which it waits to be killed.
QString ChildDatabaseString();
[[noreturn]] void ReadyToBeKilled();

// Waits, up to ten seconds, until the server lists `count` user attachments: a killed
// program's attachment goes a moment after the program.
void WaitForUserAttachments(db::Connection& connection, int count);
