// generate_year <empty TSUBAKI.FDB> <new database> [<ledger journal> | - [<lines> [saved]]]
// Builds the benchmark organisation: one year of journal work rows (100,000
// unless given) in three divisions, and the same lines in ledger/hledger
// journal format ("-": none); with `saved`, the same lines saved into MEISAI as
// well (what the command line's reports read).

#include "bench/BenchYear.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr,
                     "usage: generate_year <empty TSUBAKI.FDB> <new database> [<ledger journal> | - [<lines> "
                     "[saved]]]\n");
        return 2;
    }
    try {
        const QString ledger = args.value(3) == u"-" ? QString() : args.value(3);
        bench::BenchYear year;
        if (args.size() > 4)
            year.lines = args[4].toInt();
        bench::GenerateYear(args[1], args[2], ledger, year);
        if (args.value(5) == u"saved") {
            db::Connection c([path = args[2]] { return path; });
            c.Execute(
                QStringLiteral("insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, "
                               "KAMOKU, SYUNYU, SISYUTSU) "
                               "select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, "
                               "SISYUTSU from W_MEISAI"));
            c.Close();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "generate_year: %s\n", e.what());
        return 1;
    }
    return 0;
}
