// The settlement window against the bare statement it cannot do without, on the
// generated year of 100,000 journal lines across three divisions, saved into MEISAI:
// - 入力(表示) of the settlement until the general account is shown: the saved
//   lines, the budget, the journal summed per division and item, the work rows
//   written, the first division read with its totals;
// - the bare baseline: the journal's grouped sum alone, every row fetched, through
//   one held attachment.
//
// `kessan_bench year <db>` loads the settlement of an organisation made by
// `journal_bench make <db>` once (for /usr/bin/time -v); without arguments the
// benchmarks run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

#include "bench/BenchYear.h"
#include "bench/WindowBench.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "statements/KessanNyuryokuUnit.h"

namespace {

class BenchForm : public TKessanNyuryokuForm {
  public:
    using TKessanNyuryokuForm::LoadData;
    using TKessanNyuryokuForm::ShowBrowseState;
    using TKessanNyuryokuForm::ShowEditState;
};

// The organisation the window works on, made on first use (untimed).
bench::BenchOrganisation& Org() {
    static bench::BenchOrganisation org(QStringLiteral(TSUBAKI_EMPTY_ORGDB));
    static DataModuleInstallation installation(org.module());
    return org;
}

void BM_KessanLoad_Window(benchmark::State& state) {
    bench::BenchOrganisation& org = Org();
    BenchForm form;
    form.show();
    Settle();
    for (auto _ : state) {
        form.LoadData();
        form.ShowEditState();
        Settle();
        state.PauseTiming();
        if (form.SyunyuClone.IsEmpty() || form.JikiKurikosiClone.IsEmpty())
            state.SkipWithError("the general account is not shown");
        form.ShowBrowseState();
        org.connection().Execute(QStringLiteral("delete from W_KESSAN"));
        form.Jikoku.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_KessanLoad_Window)->Unit(benchmark::kMillisecond)->Iterations(10);

void BM_KessanLoad_Bare(benchmark::State& state) {
    db::Connection& c = Org().connection();
    const auto attached = c.UseDataset();
    const db::Connection::Params nendo{{QStringLiteral("Nendo"), 2021}};
    for (auto _ : state) {
        const auto rows =
            c.Select(QStringLiteral(
                         "select M.KAIKEI_KUBUN, M.KAMOKU, cast(sum(M.SYUNYU) as bigint) as SYUNYU, "
                         "cast(sum(M.SISYUTSU) as bigint) as SISYUTSU from MEISAI M left join KAMOKU K on "
                         "(K.CD = M.KAMOKU) left join BUNRUI B on (B.CD = K.BUNRUI) where (M.NENDO = :Nendo) "
                         "and (B.KESSANSYO_KUBUN = 1) group by M.KAIKEI_KUBUN, M.KAMOKU "
                         "order by M.KAIKEI_KUBUN, M.KAMOKU"),
                     nendo);
        benchmark::DoNotOptimize(rows.rows.size());
    }
}
BENCHMARK(BM_KessanLoad_Bare)->Unit(benchmark::kMillisecond)->Iterations(10);

int RunYear(const QString& path) {
    const bench::BenchSession session(path);
    QElapsedTimer timer;
    timer.start();
    BenchForm form;
    ShowLoaded(form);
    std::printf("load %.3f s\n", double(timer.elapsed()) / 1000.0);
    form.ShowBrowseState();
    form.close();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return WindowBenchMain(argc, argv, [](int count, char** args) -> std::optional<int> {
        if (count >= 3 && QByteArrayView(args[1]) == "year")
            return RunYear(QString::fromLocal8Bit(args[2]));
        return std::nullopt;
    });
}
