#pragma once
// The organisation a command works on, opened as the login window opens it: the
// name looked up in the registry, the database connected (an embedded database
// open in the window program is told at once, without waiting), the schema level
// and the password checked, and the fiscal year's NENDO row found. It holds the
// program's connection for the command and closes it at the end.

#include "cli/CommandLine.h"
#include "db/DataModule.h"

#include <QString>

#include <functional>
#include <optional>

namespace cli {

class OpenedDantai {
  public:
    // Asks for the password when the organisation has one and no file gives it:
    // nullopt when it cannot be asked (no terminal).
    using PasswordPrompt = std::function<std::optional<QString>()>;

    // CliError with the exit status of each failure.
    OpenedDantai(const Options& options, const PasswordPrompt& prompt);
    ~OpenedDantai();
    OpenedDantai(const OpenedDantai&) = delete;
    OpenedDantai& operator=(const OpenedDantai&) = delete;

    db::Connection& Connection() { return module_.SQLConnection1; }
    const QString& Name() const { return name_; }
    int Nendo() const { return nendo_; }
    const QString& Kisyubi() const { return kisyubi_; }
    const QString& Kimatsubi() const { return kimatsubi_; }

  private:
    void Connect();
    void CheckLevelAndPassword(const Options& options, const PasswordPrompt& prompt);
    void FindYear();

    QString name_;
    TDataModule1 module_;
    DataModuleInstallation installation_{module_};
    int nendo_ = 0;
    QString kisyubi_, kimatsubi_;
};

}  // namespace cli
