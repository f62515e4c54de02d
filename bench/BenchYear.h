#pragma once
// A year of journal lines for the benchmarks: an organisation database with three
// divisions, a chart of accounts and `lines` work rows of the journal window's load
// under one key, and the same lines as a ledger/hledger journal, so the same monthly
// totals can be made by those programs; and the same year saved, in an organisation
// of its own, for the entry windows' benchmarks.

#include <QString>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "db/Connection.h"
#include "db/DataModule.h"

namespace bench {

// The work-table key the generated rows carry (this computer, this stamp).
inline const char kBenchJikoku[] = "20240401120000";

struct BenchYear {
    int nendo = 2021;
    int lines = 100000;
    bool allGeneral = false;  // a saved year's lines all in the general account
};

// Copies `emptyDb` to `dbPath` and fills it; writes the journal to `ledgerPath`
// when it is not empty. Throws std::runtime_error on failure.
void GenerateYear(const QString& emptyDb, const QString& dbPath, const QString& ledgerPath,
                  const BenchYear& year = {});

// The generated year saved: copies `emptyDb` to `dbPath`, fills it, and moves the
// lines from the work rows into MEISAI as the journal's 保存 would (every line into
// the general account with `allGeneral`). Throws std::runtime_error on failure.
void GenerateSavedYear(const QString& emptyDb, const QString& dbPath, const BenchYear& year = {},
                       bool allGeneral = false);

// The login state of the benchmark organisation: "ベンチ町会" with the year `nendo`.
void LogInBenchOrganisation(int nendo = 2021);

// The benchmark organisation at `path` logged in, with a connection module on it
// installed while the object lives: what a window needs to run on it.
class BenchSession {
  public:
    explicit BenchSession(const QString& path, int nendo = 2021);

  private:
    TDataModule1 module_;
    DataModuleInstallation installation_{module_};
};

// A generated saved year in a temporary folder of its own, with the login state of
// the benchmark organisation ("ベンチ町会", the year's 年度) and a connection
// module on it (installed by whoever runs a window on it). `prepare` runs on the
// database before the module opens it.
class BenchOrganisation {
  public:
    explicit BenchOrganisation(const QString& emptyDb, const BenchYear& year = {},
                               const std::function<void(db::Connection&)>& prepare = {});
    ~BenchOrganisation();
    TDataModule1& module() { return *module_; }
    db::Connection& connection();

  private:
    QTemporaryDir dir_;
    std::unique_ptr<TDataModule1> module_;
};

}  // namespace bench
