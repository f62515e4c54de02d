// The journal listing and the monthly summary of a generated year (10,000,
// 100,000 and 300,000 journal lines in three divisions), each beside its floor
// in the same run: the same lines read on one held attachment and the same
// cells and formulas written by libxlsxwriter in constant-memory mode.
//
//   BM_SyusiMeisai/N            TExlSyusiMeisaiModule::Execute (read, fill the template, save .xlsx)
//   BM_SyusiMeisai_Floor/N      one bare statement per division + libxlsxwriter
//   BM_TsukibetsuSyukei/N       TExlTsukibetsuSyukeiModule::Execute
//   BM_TsukibetsuSyukei_Floor/N one grouped bare statement + libxlsxwriter
//
// Peak memory is a whole process's: `reports_bench run WHAT DB` runs one of the
// four once (WHAT = listing, listing-floor, monthly, monthly-floor) on a database
// made by `generate_year`, for /usr/bin/time -v; listing-saved and monthly-saved
// make the report from the saved year, as the command line does (a database made
// by `generate_year ... saved`).

#include "bench/BenchYear.h"
#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "platform/Folders.h"
#include "reports/ExlSyusiMeisaiUnit.h"
#include "reports/ExlTsukibetsuSyukeiUnit.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>
#include <zip.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

// An organisation installed as the program's connection, with a program folder
// whose settings only save the books. Made from `db`, or generated with `lines`.
class Organisation {
  public:
    Organisation(const QString& db, int lines) {
        const QString app = dir_.filePath(QStringLiteral("app"));
        QDir().mkpath(app + QStringLiteral("/Template"));
        for (const QString& name : {QStringLiteral("収支明細書.xltx"), QStringLiteral("月別集計表.xltx")}) {
            if (!QFile::copy(QStringLiteral(TSUBAKI_TEMPLATE_DIR "/") + name,
                             app + QStringLiteral("/Template/") + name))
                throw std::runtime_error("template missing");
        }
        QFile ini(app + QStringLiteral("/Tsubaki.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write Tsubaki.ini");
        ini.write(("[Report]\nOutputFolder=" + out().toUtf8() + "\nViewer=\n"));
        ini.close();
        platform::OverrideProgramFolder(app);
        CurrentDantai = QStringLiteral("ベンチ町会");
        CurrentNendo = 2021;
        db_ = db;
        if (db_.isEmpty()) {
            db_ = dir_.filePath(QStringLiteral("TSUBAKI.FDB"));
            bench::GenerateYear(QStringLiteral(TSUBAKI_EMPTY_ORGDB), db_, QString(), {2021, lines});
        }
        module_ = std::make_unique<TDataModule1>([path = db_] { return path; });
        installation_ = std::make_unique<DataModuleInstallation>(*module_);
    }
    QString out() const { return dir_.filePath(QStringLiteral("out")); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    db::Connection& connection() { return module_->SQLConnection1; }
    void ClearOutput() const { QDir(out()).removeRecursively(); }

  private:
    QTemporaryDir dir_;
    QString db_;
    std::unique_ptr<TDataModule1> module_;
    std::unique_ptr<DataModuleInstallation> installation_;
};

// One organisation per size, made once (untimed), the last one kept.
Organisation& Org(int lines) {
    static std::unique_ptr<Organisation> org;
    static int made = 0;
    if (!org || made != lines) {
        org.reset();
        org = std::make_unique<Organisation>(QString(), lines);
        made = lines;
    }
    return *org;
}

db::Connection::Params Key() {
    return {{QStringLiteral("CPU_NAME"), GetComputerNameStr()},
            {QStringLiteral("JIKOKU"), QString::fromLatin1(bench::kBenchJikoku)}};
}

const char* const kDivisions[] = {"一般会計", "祭礼会計", "施設会計"};

std::string Utf8(const db::Value& v) {
    return v.AsString().toStdString();
}

// From the work rows of the window's load, or (`saved`) from the saved year as the
// command line makes it.
void RunListing(bool saved = false) {
    TExlSyusiMeisaiModule report;
    report.SetNendo(2021);
    report.SetJikoku(QString::fromLatin1(bench::kBenchJikoku));
    report.SetSavedYear(saved);
    report.Execute();
}

void RunMonthly(bool saved = false) {
    TExlTsukibetsuSyukeiModule report;
    report.SetNendo(2021);
    report.SetJikoku(QString::fromLatin1(bench::kBenchJikoku));
    report.SetSavedYear(saved);
    report.Execute();
}

// The listing's cells written by libxlsxwriter: the heading cells, the opening
// row, per line the six values and the two formulas of columns G and H, and
// the totals row, one sheet per division; the lines read as the report reads
// them, on one held attachment.
void ListingFloor(db::Connection& c, const std::string& path) {
    const auto attachment = c.UseDataset();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    const db::Connection::Rows items = c.Select(QStringLiteral("select CD, MEISYO from KAMOKU"));
    std::map<qint64, std::string> names;
    for (const auto& item : items.rows)
        names[item[0].AsInteger()] = Utf8(item[1]);
    for (int division = 0; division < 3; ++division) {
        db::Connection::Params params = Key();
        params.push_back({QStringLiteral("KAIKEI_KUBUN"), division});
        params.push_back({QStringLiteral("Kaisibi"), QStringLiteral("20210401")});
        params.push_back({QStringLiteral("Syuryobi"), QStringLiteral("20220331")});
        lxw_worksheet* sheet = workbook_add_worksheet(book, kDivisions[division]);
        worksheet_write_number(sheet, 0, 1, 1, nullptr);
        worksheet_write_string(sheet, 1, 0, "2021年度 ベンチ町会 収支明細書", nullptr);
        worksheet_write_string(sheet, 4, 0, "2021/ 3/31", nullptr);
        worksheet_write_string(sheet, 4, 2, "前年度繰越金", nullptr);
        worksheet_write_number(sheet, 4, 6, 500000 * (division + 1), nullptr);
        worksheet_write_formula(sheet, 4, 7, "=N(G5)", nullptr);
        lxw_row_t row = 5;
        std::string previous;
        c.SelectEach(
            QStringLiteral("select HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI"
                           " where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and"
                           " (KAIKEI_KUBUN = :KAIKEI_KUBUN) and (HIZUKE >= :Kaisibi) and"
                           " (HIZUKE <= :Syuryobi) order by HIZUKE, SEQ_NO"),
            params, [&](const std::vector<db::Value>& line) {
                const std::string date = Utf8(line[0]);
                if (date != previous) {
                    const std::string text =
                        date.substr(0, 4) + '/' + date.substr(4, 2) + '/' + date.substr(6, 2);
                    worksheet_write_string(sheet, row, 0, text.c_str(), nullptr);
                }
                previous = date;
                worksheet_write_string(sheet, row, 1, Utf8(line[1]).c_str(), nullptr);
                worksheet_write_string(sheet, row, 2, Utf8(line[2]).c_str(), nullptr);
                worksheet_write_string(sheet, row, 3, names[line[3].AsInteger()].c_str(), nullptr);
                for (lxw_col_t col = 4; col <= 5; ++col) {
                    if (!line[col].IsNull())
                        worksheet_write_number(sheet, row, col, double(line[col].AsInteger()), nullptr);
                }
                const std::string r = std::to_string(row + 1), above = std::to_string(row);
                worksheet_write_formula(
                    sheet, row, 6, ("=IF(COUNTA(A" + r + ":F" + r + ")=0,\"\",H" + r + ")").c_str(), nullptr);
                worksheet_write_formula(sheet, row, 7,
                                        ("=N(H" + above + ")+(N(E" + r + ")-N(F" + r + "))*$B$1").c_str(),
                                        nullptr);
                ++row;
            });
        const std::string last = std::to_string(row), total = std::to_string(row + 1);
        worksheet_write_string(sheet, row, 0, "合計", nullptr);
        worksheet_write_formula(sheet, row, 4, ("=SUM(E6:E" + last + ")").c_str(), nullptr);
        worksheet_write_formula(sheet, row, 5, ("=SUM(F6:F" + last + ")").c_str(), nullptr);
        worksheet_write_formula(sheet, row, 6, ("=N(G5)+(E" + total + "-F" + total + ")*$B$1").c_str(),
                                nullptr);
        worksheet_print_area(sheet, 0, 0, row, 6);
        worksheet_repeat_rows(sheet, 3, 3);
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        throw std::runtime_error("libxlsxwriter failed");
}

// The monthly summary's cells by libxlsxwriter: the report's grouped statement
// over the load (division, item, day), the days put in their calendar months
// (the generated year starts on 1 April), then per division the item rows with
// twelve months and a row total formula, and the column totals.
void MonthlyFloor(db::Connection& c, const std::string& path) {
    const auto attachment = c.UseDataset();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
    std::map<qint64, std::string> names;
    for (const auto& item : c.Select(QStringLiteral("select CD, MEISYO from KAMOKU")).rows)
        names[item[0].AsInteger()] = Utf8(item[1]);
    std::map<int, std::map<std::string, std::array<double, 12>>> table;
    c.SelectEach(
        QStringLiteral("select KAIKEI_KUBUN, KAMOKU, HIZUKE, sum(coalesce(SYUNYU, 0) - coalesce(SISYUTSU, 0))"
                       " from W_MEISAI where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)"
                       " group by KAIKEI_KUBUN, KAMOKU, HIZUKE"),
        Key(), [&](const std::vector<db::Value>& sum) {
            const int month = sum[2].AsString().mid(4, 2).toInt();
            table[int(sum[0].AsInteger())][names[sum[1].AsInteger()]][std::size_t((month + 8) % 12)] +=
                double(sum[3].AsInteger());
        });
    for (int division = 0; division < 3; ++division) {
        lxw_worksheet* sheet = workbook_add_worksheet(book, kDivisions[division]);
        worksheet_write_string(sheet, 0, 0, "２０２１年度 ベンチ町会 月別集計表", nullptr);
        worksheet_write_string(sheet, 2, 0, "ベンチ町会", nullptr);
        for (lxw_col_t m = 0; m < 12; ++m)
            worksheet_write_string(sheet, 3, lxw_col_t(2 + m), "４月", nullptr);
        worksheet_write_number(sheet, 5, 2, 500000 * (division + 1), nullptr);
        lxw_row_t row = 6;
        for (const auto& [name, months] : table[division]) {
            worksheet_write_string(sheet, row, 1, name.c_str(), nullptr);
            for (lxw_col_t m = 0; m < 12; ++m)
                worksheet_write_number(sheet, row, lxw_col_t(2 + m), months[m], nullptr);
            const std::string r = std::to_string(row + 1);
            worksheet_write_formula(sheet, row, 14, ("=SUM(C" + r + ":N" + r + ")").c_str(), nullptr);
            ++row;
        }
        for (lxw_col_t col = 2; col <= 14; ++col) {
            const std::string letter(1, char('A' + col));
            worksheet_write_formula(sheet, row, col,
                                    ("=SUM(" + letter + "7:" + letter + std::to_string(row) + ")").c_str(),
                                    nullptr);
        }
    }
    if (workbook_close(book) != LXW_NO_ERROR)
        throw std::runtime_error("libxlsxwriter failed");
}

constexpr int kSizes[] = {10000, 100000, 300000};

void BM_SyusiMeisai(benchmark::State& state) {
    Organisation& org = Org(int(state.range(0)));
    for (auto _ : state) {
        RunListing();
        state.PauseTiming();
        org.ClearOutput();
        state.ResumeTiming();
    }
}

void BM_SyusiMeisai_Floor(benchmark::State& state) {
    Organisation& org = Org(int(state.range(0)));
    const std::string path = org.file(QStringLiteral("floor_meisai.xlsx")).toStdString();
    for (auto _ : state)
        ListingFloor(org.connection(), path);
}

void BM_TsukibetsuSyukei(benchmark::State& state) {
    Organisation& org = Org(int(state.range(0)));
    for (auto _ : state) {
        RunMonthly();
        state.PauseTiming();
        org.ClearOutput();
        state.ResumeTiming();
    }
}

void BM_TsukibetsuSyukei_Floor(benchmark::State& state) {
    Organisation& org = Org(int(state.range(0)));
    const std::string path = org.file(QStringLiteral("floor_tsukibetsu.xlsx")).toStdString();
    for (auto _ : state)
        MonthlyFloor(org.connection(), path);
}

// The compression level of the saved parts: the three sheets of a 100,000-line
// listing (the detail rows are nearly all of a book) deflated at each level.
void BM_DeflateLevel(benchmark::State& state) {
    static std::string xml;
    if (xml.empty()) {
        Organisation& org = Org(100000);
        TExlSyusiMeisaiModule report;
        report.SetNendo(2021);
        report.SetJikoku(QString::fromLatin1(bench::kBenchJikoku));
        report.Execute();
        int error = 0;
        zip_t* archive =
            zip_open(QFile::encodeName(report.SavedFiles().front()).constData(), ZIP_RDONLY, &error);
        for (const char* part :
             {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml", "xl/worksheets/sheet3.xml"}) {
            zip_stat_t stat;
            if (!archive || zip_stat(archive, part, 0, &stat) != 0)
                throw std::runtime_error("sheet part missing");
            std::string bytes(stat.size, '\0');
            zip_file_t* file = zip_fopen(archive, part, 0);
            zip_fread(file, bytes.data(), stat.size);
            zip_fclose(file);
            xml += bytes;
        }
        zip_discard(archive);
        org.ClearOutput();
    }
    std::vector<unsigned char> out(compressBound(uLong(xml.size())));
    uLongf size = 0;
    for (auto _ : state) {
        z_stream z{};
        deflateInit2(&z, int(state.range(0)), Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
        z.next_in = reinterpret_cast<Bytef*>(xml.data());
        z.avail_in = uInt(xml.size());
        z.next_out = out.data();
        z.avail_out = uInt(out.size());
        deflate(&z, Z_FINISH);
        size = z.total_out;
        deflateEnd(&z);
    }
    state.counters["raw_MB"] = double(xml.size()) / 1e6;
    state.counters["deflated_MB"] = double(size) / 1e6;
}

// Per size, the program and its floor interleaved, so a ratio compares one moment.
void Register() {
    for (const int level : {1, 3, 6, 9}) {
        benchmark::RegisterBenchmark("BM_DeflateLevel", BM_DeflateLevel)
            ->Arg(level)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(3);
    }
    for (const int lines : kSizes) {
        const int iterations = lines >= 300000 ? 2 : 3;
        for (int round = 0; round < 2; ++round) {
            benchmark::RegisterBenchmark("BM_SyusiMeisai", BM_SyusiMeisai)
                ->Arg(lines)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations);
            benchmark::RegisterBenchmark("BM_SyusiMeisai_Floor", BM_SyusiMeisai_Floor)
                ->Arg(lines)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations);
        }
        for (int round = 0; round < 2; ++round) {
            benchmark::RegisterBenchmark("BM_TsukibetsuSyukei", BM_TsukibetsuSyukei)
                ->Arg(lines)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations);
            benchmark::RegisterBenchmark("BM_TsukibetsuSyukei_Floor", BM_TsukibetsuSyukei_Floor)
                ->Arg(lines)
                ->Unit(benchmark::kMillisecond)
                ->Iterations(iterations);
        }
    }
}

// `run WHAT DB`: one report in this process, for the peak memory of a whole run.
int RunOnce(const QString& what, const QString& db) {
    Organisation org(db, 0);
    const std::string floor = org.file(QStringLiteral("floor.xlsx")).toStdString();
    if (what == u"listing")
        RunListing();
    else if (what == u"listing-floor")
        ListingFloor(org.connection(), floor);
    else if (what == u"monthly")
        RunMonthly();
    else if (what == u"monthly-floor")
        MonthlyFloor(org.connection(), floor);
    else if (what == u"listing-saved")
        RunListing(true);
    else if (what == u"monthly-saved")
        RunMonthly(true);
    else
        return 2;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() >= 4 && args[1] == u"run") {
        try {
            return RunOnce(args[2], args[3]);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "reports_bench: %s\n", e.what());
            return 1;
        }
    }
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
