#pragma once
// A year of journal lines for the report benchmarks: an organisation database
// with three divisions, a chart of accounts and `lines` work rows of the
// journal window's load under one key, and the same lines as a ledger/hledger
// journal, so the same monthly totals can be made by those programs.

#include <QString>

namespace bench {

// The work-table key the generated rows carry (this computer, this stamp).
inline const char kBenchJikoku[] = "20240401120000";

struct BenchYear {
    int nendo = 2021;
    int lines = 100000;
};

// Copies `emptyDb` to `dbPath` and fills it; writes the journal to `ledgerPath`
// when it is not empty. Throws std::runtime_error on failure.
void GenerateYear(const QString& emptyDb, const QString& dbPath, const QString& ledgerPath,
                  const BenchYear& year = {});

}  // namespace bench
