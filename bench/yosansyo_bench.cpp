// The longest budget statement (予算書１４: two amounts, difference and subtotal
// rows) for a year of 10 divisions × 200 items, beside the floor: the same rows
// read by bare statements and the same cells written by libxlsxwriter in
// constant-memory mode.
//   BM_Yosansyo14        TExlYosansyoModule7::Execute (read, copy the blocks, fill, save .xlsx)
//   BM_Yosansyo14_Floor  bare selects per division + libxlsxwriter

#include "core/ComputerName.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "platform/Folders.h"
#include "reports/ExlYosansyoUnit7.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>
#include <xlsxwriter.h>

#include <map>
#include <memory>
#include <stdexcept>

namespace {

constexpr int kDivisions = 10;
constexpr int kClasses = 20;  // 10 receipts, 10 payments
constexpr int kItemsPerClass = 10;
const char* const kJikoku = "20240401120000";

class Organisation {
  public:
    Organisation() {
        const QString app = dir_.filePath(QStringLiteral("app"));
        QDir().mkpath(app + QStringLiteral("/Template"));
        if (!QFile::copy(QStringLiteral(TSUBAKI_TEMPLATE_DIR "/予算書１４.xltx"),
                         app + QStringLiteral("/Template/予算書１４.xltx")))
            throw std::runtime_error("template missing");
        QFile ini(app + QStringLiteral("/Tsubaki.ini"));
        if (!ini.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write Tsubaki.ini");
        ini.write(("[Report]\nOutputFolder=" + out().toUtf8() + "\nViewer=\n"));
        ini.close();
        platform::OverrideProgramFolder(app);
        CurrentDantai = QStringLiteral("ベンチ町会");
        CurrentNendo = 2021;
        db_ = dir_.filePath(QStringLiteral("TSUBAKI.FDB"));
        if (!QFile::copy(QStringLiteral(TSUBAKI_EMPTY_ORGDB), db_))
            throw std::runtime_error("empty database missing");
        QFile::setPermissions(db_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        module_ = std::make_unique<TDataModule1>([path = db_] { return path; });
        installation_ = std::make_unique<DataModuleInstallation>(*module_);
        Generate();
    }
    QString out() const { return dir_.filePath(QStringLiteral("out")); }
    QString file(const QString& name) const { return dir_.filePath(name); }
    db::Connection& connection() { return module_->SQLConnection1; }
    void ClearOutput() const { QDir(out()).removeRecursively(); }

  private:
    // 2021 with 10 divisions; in each, 200 items in 20 classifications, a reserve
    // fund and a carry-over, in the budget window's work rows.
    void Generate() {
        db::Connection& c = connection();
        c.Execute(
            QStringLiteral("insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN, YOSAN_COMMENT_KUBUN,"
                           " YOSAN_COMMENT) values (2021, '20210401', '20220331', 1, 1, '上記のとおり')"));
        for (int d = 1; d < kDivisions; ++d)
            c.Execute(
                QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (%1, '特別会計%1')").arg(d));
        for (int b = 1; b <= kClasses; ++b) {
            const int syusi = b <= kClasses / 2 ? 1 : 2;
            c.Execute(
                QStringLiteral("insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO,"
                               " SAKUJYO_FUKA, TOKUBETSU_KAIKEI) values (%1, '分類%1', %2, 1, %1, 0, 0)")
                    .arg(100 + b)
                    .arg(syusi));
            for (int i = 1; i <= kItemsPerClass; ++i) {
                c.Execute(QStringLiteral(
                              "insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)"
                              " values (%1, '科目%1', %2, %3, 0, 0)")
                              .arg(10000 + b * 100 + i)
                              .arg(100 + b)
                              .arg(i));
            }
        }
        const QString insert = QStringLiteral(
            "insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN,"
            " ZENNEN_KESSAN, TEKIYO, SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, "
            "2021, :D,"
            " :K, 99, :Y, :ZY, :ZK, :T, :S, :B, :B, :K)");
        c.StartTransaction();
        for (int d = 0; d < kDivisions; ++d) {
            for (int b = 1; b <= kClasses; ++b) {
                for (int i = 1; i <= kItemsPerClass; ++i) {
                    const int k = 10000 + b * 100 + i;
                    c.Execute(insert, {{QStringLiteral("C"), GetComputerNameStr()},
                                       {QStringLiteral("J"), QString::fromLatin1(kJikoku)},
                                       {QStringLiteral("D"), d},
                                       {QStringLiteral("K"), k},
                                       {QStringLiteral("Y"), 1000 * ((k * 7 + d) % 97)},
                                       {QStringLiteral("ZY"), 1000 * ((k * 5 + d) % 89)},
                                       {QStringLiteral("ZK"), 1000 * ((k * 3 + d) % 83)},
                                       {QStringLiteral("T"), QStringLiteral("摘要%1").arg(k)},
                                       {QStringLiteral("S"), b <= kClasses / 2 ? 1 : 2},
                                       {QStringLiteral("B"), 100 + b}});
                }
            }
            for (const auto& [k, b] : {std::pair{7000, 70}, std::pair{8000, 80}}) {
                c.Execute(insert, {{QStringLiteral("C"), GetComputerNameStr()},
                                   {QStringLiteral("J"), QString::fromLatin1(kJikoku)},
                                   {QStringLiteral("D"), d},
                                   {QStringLiteral("K"), k},
                                   {QStringLiteral("Y"), 50000},
                                   {QStringLiteral("ZY"), 40000},
                                   {QStringLiteral("ZK"), 30000},
                                   {QStringLiteral("S"), 2},
                                   {QStringLiteral("B"), b}});
            }
        }
        c.Commit();
    }

    QTemporaryDir dir_;
    QString db_;
    std::unique_ptr<TDataModule1> module_;
    std::unique_ptr<DataModuleInstallation> installation_;
};

Organisation& Org() {
    static Organisation org;
    return org;
}

void BM_Yosansyo14(benchmark::State& state) {
    Organisation& org = Org();
    for (auto _ : state) {
        TExlYosansyoModule7 report;
        report.SetNendo(2021);
        report.SetJikoku(QString::fromLatin1(kJikoku));
        report.SetTemplatemei(QStringLiteral("予算書１４"));
        report.Execute();
        if (report.SavedFiles().size() != 1)
            state.SkipWithError("no book saved");
        state.PauseTiming();
        org.ClearOutput();
        state.ResumeTiming();
    }
}

// The same cells: per division the item lines (classification on its first
// line, item, two amounts, difference formula, description), a subtotal row
// below every classification, the totals and the carry-over.
void BM_Yosansyo14_Floor(benchmark::State& state) {
    Organisation& org = Org();
    const std::string path = org.file(QStringLiteral("floor_yosansyo.xlsx")).toStdString();
    for (auto _ : state) {
        // One attachment for the whole run, as the statement holds its own.
        const db::Connection::DatasetUse attachment = org.connection().UseDataset();
        lxw_workbook_options options{};
        options.constant_memory = LXW_TRUE;
        lxw_workbook* book = workbook_new_opt(path.c_str(), &options);
        lxw_worksheet* sheet = workbook_add_worksheet(book, "Sheet1");
        const auto names = org.connection().Select(QStringLiteral("select CD, MEISYO from KAMOKU"));
        std::map<qint64, std::string> kamoku;
        for (const auto& r : names.rows)
            kamoku[r[0].AsInteger()] = r[1].AsString().toStdString();
        lxw_row_t row = 3;
        for (int d = 0; d < kDivisions; ++d) {
            const db::Connection::Params key = {{QStringLiteral("CPU_NAME"), GetComputerNameStr()},
                                                {QStringLiteral("JIKOKU"), QString::fromLatin1(kJikoku)},
                                                {QStringLiteral("KAIKEI_KUBUN"), d}};
            const auto totals = org.connection().Select(
                QStringLiteral(
                    "select BUNRUI, count(*) from W_YOSAN where CPU_NAME = :CPU_NAME and JIKOKU = :JIKOKU"
                    " and KAIKEI_KUBUN = :KAIKEI_KUBUN group by BUNRUI"),
                key);
            std::map<qint64, qint64> kensu;
            for (const auto& r : totals.rows)
                kensu[r[0].AsInteger()] = r[1].AsInteger();
            const auto rows = org.connection().Select(
                QStringLiteral(
                    "select B.MEISYO, W.KAMOKU, W.YOSAN, W.ZENNEN_YOSAN, W.TEKIYO, W.BUNRUI, W.SYUSI_KUBUN"
                    " from W_YOSAN W left join BUNRUI B on (B.CD = W.BUNRUI) where W.CPU_NAME = :CPU_NAME"
                    " and W.JIKOKU = :JIKOKU and W.KAIKEI_KUBUN = :KAIKEI_KUBUN order by W.SYUSI_KUBUN,"
                    " W.JUNJYO, W.BUNRUI_JUNJYO, W.BUNRUI, W.KAMOKU_JUNJYO, W.KAMOKU"),
                key);
            worksheet_write_string(sheet, row++, 0, ("特別会計" + std::to_string(d)).c_str(), nullptr);
            qint64 previous = 0;
            lxw_row_t groupStart = row;
            const auto subtotal = [&] {
                if (previous == 0 || kensu[previous] < 2)
                    return;
                const std::string r1 = std::to_string(groupStart + 1), r2 = std::to_string(row);
                worksheet_write_string(sheet, row, 1, "（小    計）", nullptr);
                worksheet_write_formula(sheet, row, 2, ("=SUBTOTAL(9,C" + r1 + ":C" + r2 + ")").c_str(),
                                        nullptr);
                worksheet_write_formula(sheet, row, 3, ("=SUBTOTAL(9,D" + r1 + ":D" + r2 + ")").c_str(),
                                        nullptr);
                const std::string r = std::to_string(row + 1);
                worksheet_write_formula(sheet, row, 4, ("=D" + r + "-C" + r).c_str(), nullptr);
                ++row;
            };
            for (const auto& r : rows.rows) {
                if (r[1].AsInteger() == 8000)
                    continue;
                if (r[5].AsInteger() != previous) {
                    subtotal();
                    previous = r[5].AsInteger();
                    groupStart = row;
                    worksheet_write_string(sheet, row, 0, r[0].AsString().toUtf8().constData(), nullptr);
                }
                worksheet_write_string(sheet, row, 1, kamoku[r[1].AsInteger()].c_str(), nullptr);
                worksheet_write_number(sheet, row, 2, double(r[3].AsInteger()), nullptr);
                worksheet_write_number(sheet, row, 3, double(r[2].AsInteger()), nullptr);
                const std::string rr = std::to_string(row + 1);
                worksheet_write_formula(sheet, row, 4, ("=D" + rr + "-C" + rr).c_str(), nullptr);
                worksheet_write_string(sheet, row, 5, r[4].AsString().toUtf8().constData(), nullptr);
                ++row;
            }
            subtotal();
            row += 6;  // totals and carry-over
        }
        if (workbook_close(book) != LXW_NO_ERROR)
            state.SkipWithError("libxlsxwriter failed");
    }
}

BENCHMARK(BM_Yosansyo14)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_Yosansyo14_Floor)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

BENCHMARK_MAIN();
