#pragma once
// The program as a script runs it: a copy of the built program in a runnable
// folder of its own (its templates and list files beside it, its settings file
// naming two copies of the sample organisation, one of them with a password), run
// as a separate process without a terminal.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include "db/Connection.h"
#include "tests/support/TempFolder.h"

struct CliResult {
    int code = -1;
    QString out;
    QString err;
};

class CliFixture : public ::testing::Test {
  protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static const QString kSample;    // ○○○○自治会, no password
    static const QString kLocked;    // 鍵付き会, password "hana"
    static QString Folder();         // the scratch root
    static QString ProgramFolder();  // the runnable folder
    static QString DatabaseOf(const QString& dantai);
    static QString Out(const QString& name);  // a file in the output folder

    // Runs the program with `args`, waiting for it to end.
    static CliResult Run(const QStringList& args);
    // Runs `program` with `args` in exactly the environment `env` (as `env -i`).
    static CliResult RunWith(const QString& program, const QStringList& args, const QProcessEnvironment& env);
    // Starts it with `args` as Run does, with `env` added to its environment.
    static void Start(QProcess& program, const QStringList& args, const QProcessEnvironment& env = {});
    // A connection to an organisation's database for the test's own reading.
    static db::Connection::DatabaseStringProvider Provider(const QString& dantai);

  private:
    // Waits for a started program and collects its exit code and output.
    static CliResult Finish(QProcess& program, const QStringList& args);
    static TempFolder* folder_;
};
