// The journal window against the bare statements it runs, on the generated year
// across three divisions, saved into MEISAI:
// - 入力(表示) until the grid shows the general account, and 保存 of the whole year,
//   at 100,000 and 300,000 lines,
// - posting one line with a mirrored half, and typing a new line and starting the
//   next, at 10,000, 100,000 and 300,000 lines, and at 300,000 lines all in the
//   general account (every line shown).
// Each window benchmark has its bare counterpart: the same statements, in the
// same order, through the same connection, which the bare one holds attached (its
// prepared statements kept) as the window does while a year is open.
// Run them with --benchmark_repetitions and --benchmark_enable_random_interleaving
// so that window and bare runs alternate in one process (bench/README.md).
//
// `journal_bench make <db> [all-general] [lines]` writes the benchmark organisation
// and `journal_bench year <db>` loads, shows and saves it once in the window (for
// /usr/bin/time -v); `journal_bench memory <db>` and `journal_bench memory-bare <db>`
// print the resident memory once the general account is shown in the window, and
// once a bare connection holds the same rows; without arguments the benchmarks run.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

#include "bench/BenchYear.h"
#include "bench/WindowBench.h"
#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "data/DataSet.h"
#include "db/DataModule.h"
#include "db/WorkKeys.h"
#include "db/YearQueries.h"
#include "journal/JournalYear.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "platform/Folders.h"
#include "ui/DBGrid.h"

namespace {

using Params = db::Connection::Params;

// The window's steps, run as the buttons would run them.
class BenchForm : public TMeisaiNyuryokuForm {
  public:
    using TMeisaiNyuryokuForm::LoadData;
    using TMeisaiNyuryokuForm::PostEdit;
    using TMeisaiNyuryokuForm::SaveData;
    using TMeisaiNyuryokuForm::ShowBrowseState;
    using TMeisaiNyuryokuForm::ShowEditState;
};

// A payments item that transfers to division 1, beside the generated items.
void AddTransferItem(db::Connection& c) {
    c.Execute(
        QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                       "values (6001, '祭礼会計へ繰出', 60, 1, 0, 1)"));
}

// The generated year saved into MEISAI, with the transfer item.
void MakeOrganisation(const QString& path, bool allGeneral, int lines = 100000) {
    bench::GenerateSavedYear(QStringLiteral(TSUBAKI_EMPTY_ORGDB), path, {.nendo = 2021, .lines = lines},
                             allGeneral);
    db::Connection c([path] { return path; });
    AddTransferItem(c);
    c.Close();
}

// The organisation of `lines` lines, made the one the window works on while this
// lives.
class Org {
  public:
    explicit Org(std::int64_t lines = 100000, bool allGeneral = false)
        : org_(Get(int(lines), allGeneral)), installation_(org_.module()) {}
    db::Connection& connection() { return org_.connection(); }

  private:
    // One generated organisation per size of year, made on first use (untimed).
    static bench::BenchOrganisation& Get(int lines, bool allGeneral) {
        static std::map<std::pair<int, bool>, std::unique_ptr<bench::BenchOrganisation>> made;
        auto& org = made[{lines, allGeneral}];
        if (!org)
            org = std::make_unique<bench::BenchOrganisation>(
                QStringLiteral(TSUBAKI_EMPTY_ORGDB),
                bench::BenchYear{.nendo = 2021, .lines = lines, .allGeneral = allGeneral}, AddTransferItem);
        return *org;
    }
    bench::BenchOrganisation& org_;
    DataModuleInstallation installation_;
};

// The repetitions' fastest run, beside Google Benchmark's mean and median.
double Min(const std::vector<double>& v) {
    return v.empty() ? 0.0 : *std::min_element(v.begin(), v.end());
}

const QString kJikoku = QStringLiteral("20990101000000");

Params Key(int division = -1) {
    Params p{{QStringLiteral("CPU_NAME"), GetComputerNameStr()}, {QStringLiteral("JIKOKU"), kJikoku}};
    if (division >= 0)
        p.emplace_back(QStringLiteral("KAIKEI_KUBUN"), division);
    return p;
}

void DeleteWorkRows(db::Connection& c) {
    c.Execute(QStringLiteral("delete from W_MEISAI"));
}

// The load's copy of the saved year into the work rows under the bench key.
void CopyYearToWorkRows(db::Connection& c) {
    Params copy = Key();
    copy.emplace_back(QStringLiteral("Nendo"), 2021);
    c.Execute(
        QStringLiteral("insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, "
                       "AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) select :CPU_NAME, :JIKOKU, SEQ_NO, "
                       "KAIKEI_KUBUN, NENDO, HIZUKE, substring(HIZUKE from 5 for 4), AITE, TEKIYO, KAMOKU, "
                       "SYUNYU, SISYUTSU from MEISAI where (NENDO = :Nendo)"),
        copy);
}

// ---------------------------------------------------------------- 入力(表示)

// The load and save benchmarks at 100,000 and 300,000 lines (a third shown).
void YearSizes(benchmark::internal::Benchmark* b) {
    b->Arg(100000)->Arg(300000)->ArgName("lines");
    b->Unit(benchmark::kMillisecond)->Iterations(3)->ComputeStatistics("min", Min);
}

void BM_Load_Window(benchmark::State& state) {
    Org org(state.range(0));
    BenchForm form;
    form.show();
    Settle();
    for (auto _ : state) {
        form.LoadData();
        form.ShowEditState();
        Settle();  // the grid lays out and paints the general account
        state.PauseTiming();
        if (form.DBGrid1->model()->rowCount() < 33000)
            state.SkipWithError("the general account is not shown");
        form.ShowBrowseState();
        DeleteWorkRows(org.connection());
        form.Jikoku.clear();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Load_Window)->Apply(YearSizes);

// What the window's load runs, statement for statement (its statements traced
// through the connection), without the window: the year's row, the claim of a
// key, the divisions, the stamp and copy of the saved year, the abandoned loads,
// the general account's rows, the new line's number and the two balances. The
// claim and the abandoned loads go through the same functions the window calls.
void BM_Load_Bare(benchmark::State& state) {
    Org org(state.range(0));
    db::Connection& c = org.connection();
    const auto attached = c.UseDataset();  // as the window's open lists hold it
    const Params nendo{{QStringLiteral("Nendo"), 2021}};
    for (auto _ : state) {
        c.Select(QStringLiteral("select * from NENDO where (NENDO = :Nendo)"), nendo);
        std::optional<db::WorkKeyClaim> claim;
        claim.emplace(c, QStringLiteral("W_MEISAI"), 2021, platform::FullHostName(),
                      QDateTime::currentDateTime());
        const auto key = [&](int division) {
            Params p{{QStringLiteral("CPU_NAME"), claim->Key().cpuName},
                     {QStringLiteral("JIKOKU"), claim->Key().jikoku},
                     {QStringLiteral("KAIKEI_KUBUN"), division}};
            return p;
        };
        c.Select(db::DivisionsOfYearSql(QStringLiteral("TOKUBETSU_CD")),
                 {{QStringLiteral("KAISI_NENDO"), 2021}, {QStringLiteral("SYURYO_NENDO"), 2021}});
        benchmark::DoNotOptimize(SavedYearStamp(c, 2021).lines);
        ::CopyYearToWorkRows(c, 2021, claim->Key());
        for (const db::AbandonedLoad& load : db::AbandonedLoads(c, QStringLiteral("W_MEISAI")))
            c.Select(QStringLiteral("select count(distinct SEQ_NO) from W_MEISAI where (CPU_NAME = :C) and "
                                    "(JIKOKU = :J) and (KOUSIN_FLAG is not null)"),
                     {{QStringLiteral("C"), load.key.cpuName}, {QStringLiteral("J"), load.key.jikoku}});
        const auto rows = c.Select(QStringLiteral("select * from W_MEISAI where (CPU_NAME = :CPU_NAME) and "
                                                  "(JIKOKU = :JIKOKU) and (KAIKEI_KUBUN = :KAIKEI_KUBUN) "
                                                  "order by HIZUKE, SEQ_NO"),
                                   key(0));
        benchmark::DoNotOptimize(rows.rows.size());
        benchmark::DoNotOptimize(db::NextLineNumber(c));
        Params kurikosi = key(0);
        kurikosi.emplace_back(QStringLiteral("Nendo"), 2021);
        c.Select(db::OpeningBalanceSql(), kurikosi);
        c.Select(QStringLiteral(
                     "select sum(SYUNYU) as SYUNYU, sum(SISYUTSU) as SISYUTSU from W_MEISAI where "
                     "(CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KAIKEI_KUBUN = :KAIKEI_KUBUN)"),
                 key(0));
        state.PauseTiming();
        claim.reset();  // its work rows go with it, as when the window loads again
        state.ResumeTiming();
    }
}
BENCHMARK(BM_Load_Bare)->Apply(YearSizes);

// ---------------------------------------------------------------- 保存

void BM_Save_Window(benchmark::State& state) {
    Org org(state.range(0));
    BenchForm form;
    ShowLoaded(form);
    for (auto _ : state) {
        form.PostEdit();
        form.SaveData();
    }
    form.ShowBrowseState();
    DeleteWorkRows(org.connection());
    form.Jikoku.clear();
}
BENCHMARK(BM_Save_Window)->Apply(YearSizes);

// What the window's save runs, without the window: the check of the lines changed
// in the other divisions, then in one transaction the year's lock, the claim
// confirmed, the probe for a save made elsewhere, the delete and the copy (the
// journal's own SaveYear, which the window calls).
void BM_Save_Bare(benchmark::State& state) {
    Org org(state.range(0));
    db::Connection& c = org.connection();
    // The window keeps its attachment while the year is open; so does the baseline,
    // or each commit would close the database and leave its old record versions
    // for the next open.
    const auto attached = c.UseDataset();
    db::WorkKeyClaim claim(c, QStringLiteral("W_MEISAI"), 2021, platform::FullHostName(),
                           QDateTime::currentDateTime());
    YearStamp loaded = SavedYearStamp(c, 2021);
    ::CopyYearToWorkRows(c, 2021, claim.Key());
    const Params others{{QStringLiteral("CPU_NAME"), claim.Key().cpuName},
                        {QStringLiteral("JIKOKU"), claim.Key().jikoku},
                        {QStringLiteral("KAIKEI_KUBUN"), 0}};
    for (auto _ : state) {
        c.Select(QStringLiteral(
                     "select SEQ_NO, KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI "
                     "where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KAIKEI_KUBUN <> "
                     ":KAIKEI_KUBUN) and (KOUSIN_FLAG is not null) order by KAIKEI_KUBUN, HIZUKE, SEQ_NO"),
                 others);
        c.StartTransaction();
        loaded = SaveYear(c, 2021, claim, loaded, [] { return true; });
        c.Commit();
    }
}
BENCHMARK(BM_Save_Bare)->Apply(YearSizes);

// ---------------------------------------------------------------- posting a line

// The posting benchmarks at three sizes of year over three divisions (a third of
// the lines shown), and the largest with every line in the general account (all
// shown); each run posts 20 lines.
void PostingSizes(benchmark::internal::Benchmark* b) {
    for (const int lines : {10000, 100000, 300000})
        b->Args({lines, 0});
    b->Args({300000, 1});
    b->ArgNames({"lines", "all_general"})
        ->Unit(benchmark::kMillisecond)
        ->Iterations(20)
        ->ComputeStatistics("min", Min);
}

void CloseYear(BenchForm& form, db::Connection& c) {
    form.ShowBrowseState();
    DeleteWorkRows(c);
    form.Jikoku.clear();
}

const QString kLineSumSql = QStringLiteral(
    "select sum(SYUNYU) as SYUNYU, sum(SISYUTSU) as SISYUTSU from W_MEISAI where (CPU_NAME = :CPU_NAME) and "
    "(JIKOKU = :JIKOKU) and (SEQ_NO = :SEQ_NO) and (KAIKEI_KUBUN = :KAIKEI_KUBUN)");
const QString kDeleteHalvesSql = QStringLiteral(
    "delete from W_MEISAI where (CPU_NAME= :CPU_NAME) and (JIKOKU = :JIKOKU) and (SEQ_NO = :SEQ_NO)");
const QString kInsertSql = QStringLiteral(
    "insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, "
    "KAMOKU, "
    "SYUNYU, SISYUTSU, KOUSIN_FLAG) values (:CPU_NAME, :JIKOKU, :SEQ_NO, :KAIKEI_KUBUN, :NENDO, :HIZUKE, "
    ":MMDD, :AITE, :TEKIYO, :KAMOKU, :SYUNYU, :SISYUTSU, :KOUSIN_FLAG)");

// One work row of the general account's line `seqNo` (or of its mirrored half).
Params WorkRow(int seqNo, int division, int kamoku, const db::Value& syunyu, const db::Value& sisyutsu) {
    Params row = Key();
    row.insert(row.end(), {{QStringLiteral("SEQ_NO"), seqNo},
                           {QStringLiteral("KAIKEI_KUBUN"), division},
                           {QStringLiteral("NENDO"), 2021},
                           {QStringLiteral("HIZUKE"), QStringLiteral("20210401")},
                           {QStringLiteral("MMDD"), QStringLiteral("0401")},
                           {QStringLiteral("AITE"), QStringLiteral("銀行")},
                           {QStringLiteral("TEKIYO"), QStringLiteral("利息")},
                           {QStringLiteral("KAMOKU"), kamoku},
                           {QStringLiteral("SYUNYU"), syunyu},
                           {QStringLiteral("SISYUTSU"), sisyutsu},
                           {QStringLiteral("KOUSIN_FLAG"), 2}});
    return row;
}

// What posting a line runs: its rows' sum before and after they are rewritten
// (the change of the balance), the rewrite, the commit.
void PostBare(db::Connection& c, int seqNo, const std::vector<Params>& rows) {
    Params line = Key(0);
    line.emplace_back(QStringLiteral("SEQ_NO"), seqNo);
    c.StartTransaction();
    c.Select(kLineSumSql, line);
    c.Execute(kDeleteHalvesSql, line);
    for (const Params& row : rows)
        c.Execute(kInsertSql, row);
    const auto after = c.Select(kLineSumSql, line);
    c.Commit();
    benchmark::DoNotOptimize(after.rows.size());
}

// An existing line of the general account retyped as a payment to division 1:
// its halves deleted, the line and its mirrored half inserted, commit, the balance,
// and the grid repainted.
void BM_PostMirrored_Window(benchmark::State& state) {
    Org org(state.range(0), state.range(1) != 0);
    BenchForm form;
    ShowLoaded(form);
    data::DataSet& lines = form.ClientDataSet1;
    lines.Cancel();  // off the new line, onto the first line of the year
    lines.First();
    int amount = 1000;
    for (auto _ : state) {
        lines.Edit();
        lines.FieldByName(QStringLiteral("KAMOKU")).SetValue(6001);
        lines.FieldByName(QStringLiteral("SYUNYU")).Clear();
        lines.FieldByName(QStringLiteral("SISYUTSU")).SetValue(++amount);
        lines.Post();
        Settle();
    }
    if (form.ZandakaEdit->text().isEmpty())
        state.SkipWithError("no balance shown");
    CloseYear(form, org.connection());
}
BENCHMARK(BM_PostMirrored_Window)->Apply(PostingSizes);

void BM_PostMirrored_Bare(benchmark::State& state) {
    Org org(state.range(0), state.range(1) != 0);
    db::Connection& c = org.connection();
    const auto attached = c.UseDataset();
    CopyYearToWorkRows(c);
    const int first = 3;  // the general account's first line, as the window's benchmark edits
    int amount = 1000;
    for (auto _ : state) {
        ++amount;
        PostBare(
            c, first,
            {WorkRow(first, 0, 6001, db::Value(), amount), WorkRow(first, 1, 3000, amount, db::Value())});
    }
    DeleteWorkRows(c);
}
BENCHMARK(BM_PostMirrored_Bare)->Apply(PostingSizes);

// A new line typed at the end of the general account and posted, and the next
// new line started (its number: the next value of the line-number sequence).
void BM_PostNewLine_Window(benchmark::State& state) {
    Org org(state.range(0), state.range(1) != 0);
    BenchForm form;
    ShowLoaded(form);
    data::DataSet& lines = form.ClientDataSet1;
    int amount = 1000;
    for (auto _ : state) {
        lines.FieldByName(QStringLiteral("MMDD")).SetText(QStringLiteral("0401"));
        lines.FieldByName(QStringLiteral("TEKIYO")).SetValue(QStringLiteral("利息"));
        lines.FieldByName(QStringLiteral("KAMOKU")).SetValue(1001);
        lines.FieldByName(QStringLiteral("SYUNYU")).SetValue(++amount);
        lines.Post();
        lines.Append();
        Settle();
    }
    if (form.ZandakaEdit->text().isEmpty())
        state.SkipWithError("no balance shown");
    CloseYear(form, org.connection());
}
BENCHMARK(BM_PostNewLine_Window)->Apply(PostingSizes);

void BM_PostNewLine_Bare(benchmark::State& state) {
    Org org(state.range(0), state.range(1) != 0);
    db::Connection& c = org.connection();
    const auto attached = c.UseDataset();
    CopyYearToWorkRows(c);
    // The program's way: the next value of the line-number sequence.
    const auto nextSeqNo = [&c] {
        return int(c.Select(QStringLiteral("select gen_id(SEQ_MEISAI, 1) as SEQ_NO from RDB$DATABASE"))
                       .rows.front()
                       .front()
                       .AsInteger());
    };
    int seqNo = nextSeqNo();
    int amount = 1000;
    for (auto _ : state) {
        ++amount;
        PostBare(c, seqNo, {WorkRow(seqNo, 0, 1001, amount, db::Value())});
        seqNo = nextSeqNo();
    }
    DeleteWorkRows(c);
}
BENCHMARK(BM_PostNewLine_Bare)->Apply(PostingSizes);

// ---------------------------------------------------------------- one year, once

double Seconds(QElapsedTimer& timer) {
    return double(timer.restart()) / 1000.0;
}

int RunYear(const QString& path) {
    const bench::BenchSession session(path);
    QElapsedTimer timer;
    timer.start();
    BenchForm form;
    form.show();
    Settle();
    const double open = Seconds(timer);
    form.LoadData();
    form.ShowEditState();
    Settle();
    const double load = Seconds(timer);
    const int shown = form.DBGrid1->model()->rowCount();
    form.PostEdit();
    form.SaveData();
    form.ShowBrowseState();
    const double save = Seconds(timer);
    form.close();
    std::printf("open %.2f s, load %.2f s (%d lines shown), save %.2f s\n", open, load, shown, save);
    return 0;
}

// ---------------------------------------------------------------- memory

// The process's resident memory now and at its peak, in MB (from /proc).
void PrintMemory(const char* what, std::size_t rows) {
    QFile status(QStringLiteral("/proc/self/status"));
    long rss = 0, hwm = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmRSS:"))
                rss = line.mid(6).trimmed().split(' ').front().toLong();
            else if (line.startsWith("VmHWM:"))
                hwm = line.mid(6).trimmed().split(' ').front().toLong();
        }
    }
    std::printf("%s: %zu rows held, resident %.1f MB, peak %.1f MB\n", what, rows, double(rss) / 1024.0,
                double(hwm) / 1024.0);
}

// 入力(表示) in the window, the general account shown; the memory it holds then.
int RunMemory(const QString& path) {
    const bench::BenchSession session(path);
    BenchForm form;
    ShowLoaded(form);
    PrintMemory("window", std::size_t(form.DBGrid1->model()->rowCount()));
    form.ShowBrowseState();
    form.close();
    return 0;
}

// The baseline: the same rows (the saved year copied into work rows, the general
// account's rows read) held by a bare connection as the rows of one Select.
int RunMemoryBare(const QString& path) {
    db::Connection c([path] { return path; });
    const auto attached = c.UseDataset();
    db::WorkKeyClaim claim(c, QStringLiteral("W_MEISAI"), 2021, platform::FullHostName(),
                           QDateTime::currentDateTime());
    ::CopyYearToWorkRows(c, 2021, claim.Key());
    const auto rows = c.Select(QStringLiteral("select * from W_MEISAI where (CPU_NAME = :CPU_NAME) and "
                                              "(JIKOKU = :JIKOKU) and (KAIKEI_KUBUN = :KAIKEI_KUBUN) "
                                              "order by HIZUKE, SEQ_NO"),
                               {{QStringLiteral("CPU_NAME"), claim.Key().cpuName},
                                {QStringLiteral("JIKOKU"), claim.Key().jikoku},
                                {QStringLiteral("KAIKEI_KUBUN"), 0}});
    PrintMemory("bare", rows.rows.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    return WindowBenchMain(argc, argv, [](int count, char** args) -> std::optional<int> {
        if (count >= 3 && QByteArrayView(args[1]) == "make") {
            bool allGeneral = false;
            int lines = 100000;
            for (int i = 3; i < count; ++i) {
                if (QByteArrayView(args[i]) == "all-general")
                    allGeneral = true;
                else if (const int n = QByteArray(args[i]).toInt(); n > 0)
                    lines = n;
            }
            MakeOrganisation(QString::fromLocal8Bit(args[2]), allGeneral, lines);
            return 0;
        }
        if (count >= 3 && QByteArrayView(args[1]) == "year")
            return RunYear(QString::fromLocal8Bit(args[2]));
        if (count >= 3 && QByteArrayView(args[1]) == "memory")
            return RunMemory(QString::fromLocal8Bit(args[2]));
        if (count >= 3 && QByteArrayView(args[1]) == "memory-bare")
            return RunMemoryBare(QString::fromLocal8Bit(args[2]));
        return std::nullopt;
    });
}
