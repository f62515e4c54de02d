#pragma once
// A scratch organisation database reached through the program's connection module,
// with scripted dialogs: the setting of the master-data window tests.

#include <QString>
#include <QStringList>

#include <ostream>

#include "db/DataModule.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/ScriptedDialogs.h"

class MasterDbFixture {
  public:
    MasterDbFixture();
    ~MasterDbFixture();
    MasterDbFixture(const MasterDbFixture&) = delete;
    MasterDbFixture& operator=(const MasterDbFixture&) = delete;

    // Runs statements on the database through a connection of their own.
    void Execute(const QStringList& statements) const;
    // The rows of a query, each row's values joined by "|" (NULL shows as "<null>").
    QStringList Rows(const QString& sql) const;

    ScriptedDialogs dialogs;
    ScratchDatabase scratch;
    TDataModule1 dataModule;

  private:
    DataModuleInstallation installation_;
};

// Shows texts in test failures as text.
void PrintTo(const QString& text, std::ostream* os);
