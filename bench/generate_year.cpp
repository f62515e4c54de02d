// generate_year <empty TSUBAKI.FDB> <new database> [<ledger journal>]
// Builds the benchmark organisation: one year of 100,000 journal work rows in
// three divisions, and the same lines in ledger/hledger journal format.

#include "bench/BenchYear.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: generate_year <empty TSUBAKI.FDB> <new database> [<ledger journal>]\n");
        return 2;
    }
    try {
        bench::GenerateYear(args[1], args[2], args.value(3));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "generate_year: %s\n", e.what());
        return 1;
    }
    return 0;
}
