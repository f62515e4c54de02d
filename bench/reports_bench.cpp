// The journal listing and the monthly summary of a generated year (100,000
// journal lines in three divisions), each beside the floor: the same lines read
// with one bare statement and the same cells written by libxlsxwriter in
// constant-memory mode.
//   BM_SyusiMeisai              TExlSyusiMeisaiModule::Execute (read, fill the template, save .xlsx)
//   BM_SyusiMeisai_Floor        bare select of the lines + libxlsxwriter, one sheet per division
//   BM_TsukibetsuSyukei         TExlTsukibetsuSyukeiModule::Execute
//   BM_TsukibetsuSyukei_Floor   the monthly sums by one bare statement + libxlsxwriter

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

#include <memory>
#include <stdexcept>

namespace {

// The generated organisation, installed as the program's connection, with a
// program folder whose settings only save the books.
class Organisation {
  public:
    Organisation() {
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
        db_ = dir_.filePath(QStringLiteral("TSUBAKI.FDB"));
        bench::GenerateYear(QStringLiteral(TSUBAKI_EMPTY_ORGDB), db_, QString());
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

Organisation& Org() {
    static Organisation org;
    return org;
}

db::Connection::Params Key(int division) {
    return {{QStringLiteral("CPU_NAME"), GetComputerNameStr()},
            {QStringLiteral("JIKOKU"), QString::fromLatin1(bench::kBenchJikoku)},
            {QStringLiteral("KAIKEI_KUBUN"), division}};
}

void BM_SyusiMeisai(benchmark::State& state) {
    Organisation& org = Org();
    for (auto _ : state) {
        TExlSyusiMeisaiModule report;
        report.SetNendo(2021);
        report.SetJikoku(QString::fromLatin1(bench::kBenchJikoku));
        report.Execute();
        state.PauseTiming();
        org.ClearOutput();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SyusiMeisai)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SyusiMeisai_Floor(benchmark::State& state) {
    Organisation& org = Org();
    const std::string path = org.file(QStringLiteral("floor_meisai.xlsx")).toStdString();
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
        for (int division = 0; division < 3; ++division) {
            const db::Connection::Rows lines = org.connection().Select(
                QStringLiteral(
                    "select M.HIZUKE, M.AITE, M.TEKIYO, K.MEISYO, M.SYUNYU, M.SISYUTSU from W_MEISAI M "
                    "left join KAMOKU K on (K.CD = M.KAMOKU) where (M.CPU_NAME = :CPU_NAME) and "
                    "(M.JIKOKU = :JIKOKU) and (M.KAIKEI_KUBUN = :KAIKEI_KUBUN) order by M.HIZUKE, M.SEQ_NO"),
                Key(division));
            lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
            lxw_row_t row = 5;
            for (const auto& line : lines.rows) {
                worksheet_write_string(sheet, row, 0, line[0].AsString().toUtf8().constData(), nullptr);
                for (lxw_col_t col = 1; col <= 3; ++col)
                    worksheet_write_string(sheet, row, col, line[col].AsString().toUtf8().constData(),
                                           nullptr);
                for (lxw_col_t col = 4; col <= 5; ++col) {
                    if (!line[col].IsNull())
                        worksheet_write_number(sheet, row, col, double(line[col].AsInteger()), nullptr);
                }
                ++row;
            }
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("libxlsxwriter failed");
    }
}
BENCHMARK(BM_SyusiMeisai_Floor)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TsukibetsuSyukei(benchmark::State& state) {
    Organisation& org = Org();
    for (auto _ : state) {
        TExlTsukibetsuSyukeiModule report;
        report.SetNendo(2021);
        report.SetJikoku(QString::fromLatin1(bench::kBenchJikoku));
        report.Execute();
        state.PauseTiming();
        org.ClearOutput();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_TsukibetsuSyukei)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_TsukibetsuSyukei_Floor(benchmark::State& state) {
    Organisation& org = Org();
    const std::string path = org.file(QStringLiteral("floor_tsukibetsu.xlsx")).toStdString();
    for (auto _ : state) {
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
        for (int division = 0; division < 3; ++division) {
            // Calendar months suffice here: the generated year starts on 1 April.
            const db::Connection::Rows sums = org.connection().Select(
                QStringLiteral(
                    "select K.MEISYO, substring(M.HIZUKE from 5 for 2) as MM, "
                    "sum(coalesce(M.SYUNYU, 0) + coalesce(M.SISYUTSU, 0)) from W_MEISAI M "
                    "inner join KAMOKU K on (K.CD = M.KAMOKU) where (M.CPU_NAME = :CPU_NAME) and "
                    "(M.JIKOKU = :JIKOKU) and (M.KAIKEI_KUBUN = :KAIKEI_KUBUN) group by K.MEISYO, 2 "
                    "order by 1, 2"),
                Key(division));
            lxw_worksheet* sheet = workbook_add_worksheet(book, nullptr);
            lxw_row_t row = 5;
            QString previous;
            for (const auto& sum : sums.rows) {
                if (sum[0].AsString() != previous) {
                    previous = sum[0].AsString();
                    ++row;
                    worksheet_write_string(sheet, row, 1, previous.toUtf8().constData(), nullptr);
                }
                const int month = int(sum[1].AsInteger());
                worksheet_write_number(sheet, row, lxw_col_t(2 + (month + 8) % 12),
                                       double(sum[2].AsInteger()), nullptr);
            }
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("libxlsxwriter failed");
    }
}
BENCHMARK(BM_TsukibetsuSyukei_Floor)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
