#pragma once
// An installation in a temporary folder: the program folder with its settings file
// and the built organisation databases, a root folder for the organisations, the
// connection module, and scripted dialogs.

#include <QString>
#include <memory>

#include "db/DataModule.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempFolder.h"

class LoginFixture {
  public:
    LoginFixture();
    ~LoginFixture();

    QString ProgramFolder() const { return program_.Path(); }
    QString Root() const { return root_; }
    // Registers an organisation with a copy of the empty database, its name and password.
    QString AddOrganisation(const QString& name, const QString& password = {});
    // Runs one statement on an organisation's database and returns the first value.
    static QString Query(const QString& databasePath, const QString& sql);
    static void Execute(const QString& databasePath, const QString& sql);

    ScriptedDialogs dialogs;
    TDataModule1 dataModule;

  private:
    TempFolder program_;
    QString root_;
    std::unique_ptr<DataModuleInstallation> installation_;
};

// Runs `check` on the modal window that opens next, then closes it.
void OnNextModal(std::function<void(QWidget*)> check);
