#pragma once
// The schema upgrade run at login: reads the database's level and, when it is
// older than this program's, takes a safety copy of the database file into the
// settings folder (beside the program in a runnable folder) and runs the upgrade
// blocks, each statement committed by itself. A failing statement puts the copy
// back and leaves a log file in the same folder.

#include "db/Connection.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <functional>

namespace db {

// KANRI.DB_VERSION of the control row read by the login ("select * from KANRI ..."):
// empty when the query has no such column, no row, or a NULL value.
QString DbVersionOf(const Connection::Rows& kanri);

class SchemaUpgrade {
  public:
    // What the login window does for the upgrade: it owns the dataset holding the
    // control row and the window whose closing ends the program.
    struct LoginHooks {
        std::function<void()> closeLoginDataSet;  // closes SQLDataSet1
        std::function<void()> closeLoginWindow;   // a database newer than the program ends it
    };
    // Gives the local time that names the safety copy and the log file.
    using Clock = std::function<QDateTime()>;

    SchemaUpgrade(Connection& connection, LoginHooks hooks, Clock clock = &QDateTime::currentDateTime);

    // Brings the database of CurrentDantai to the current level. `dbVersion` is
    // DbVersionOf the control row the login holds open.
    // - Current level: returns at once.
    // - Newer level: beeps, shows the information box, closes the login window and
    //   raises EAbort.
    // - Older level: closes the login's dataset and the connection, takes the safety
    //   copy (its failure raises before any statement), runs the blocks. A failing
    //   statement writes LogList to "DbUpdateError<yyyymmddhhmmss>.log" in the
    //   settings folder, closes the connection, puts the safety copy back and raises
    //   EAppError("データベースのアップデートを失敗しました (<step>)" CR LF <message>).
    void UpgradeDatabase(const QString& dbVersion);

    void AddLog(const QString& line) { LogList.append(line); }

    // The upgrade log; written to a file only when a statement fails.
    QStringList LogList;
    // The database file on this computer (empty when it lies elsewhere) and its copy.
    QString SourceFileName;
    QString BkupFileName;

  private:
    bool HasKurikosiTable();
    void RefuseNewerDatabase();
    void BackupDatabaseFile();
    void RestoreDatabaseFile();
    void RunBlocks(const QString& level);
    void EnsureWorkTableIndex() noexcept;
    [[noreturn]] void FailUpgrade(const QString& errorMessage);
    void SaveLog() const;
    QString TimeStamp() const;

    Connection& connection_;
    LoginHooks hooks_;
    Clock clock_;
    QString currentStep_;
};

}  // namespace db
