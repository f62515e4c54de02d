#pragma once
// The connection module: owns the program's one connection, SQLConnection1, which
// looks up the database of the organisation logged in before every connect.

#include "db/Connection.h"

class TDataModule1 {
  public:
    // Before every connect the database string is looked up afresh: the registry
    // entry of the organisation logged in (GetDbPath(CurrentDantai)).
    TDataModule1();
    explicit TDataModule1(db::Connection::DatabaseStringProvider provider);
    // Closes the connection when it is still open.
    ~TDataModule1();
    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    db::Connection SQLConnection1;
};

// The message of a connect to the database server of organisation `dantai` that
// failed on the network (no answer within the connect timeout, refused, unknown
// host); `detail` is the client library's text.
QString ServerNotAnsweringMessage(const QString& dantai, const QString& server, const QString& detail);

// The program's module, installed by the entry point (tests install their own).
// Fails when none is installed.
TDataModule1& DataModule1();

// Makes `module` the one DataModule1() returns while this object lives; the
// previous one comes back afterwards.
class DataModuleInstallation {
  public:
    explicit DataModuleInstallation(TDataModule1& module);
    ~DataModuleInstallation();
    DataModuleInstallation(const DataModuleInstallation&) = delete;
    DataModuleInstallation& operator=(const DataModuleInstallation&) = delete;

  private:
    TDataModule1* previous_;
};
