// The 「グラフ」 sheet of the statement workbooks, read back from the saved
// package: every chart's series name cells of the book, and those cells hold
// (or, by their formulas, add up to) the figures this test sums from the work
// rows and the journal itself. Then LibreOffice computes the same books and
// prints one to PDF, when it is installed.

#include "core/ComputerName.h"
#include "data/DataSetOperation.h"
#include "db/WorkKeys.h"
#include "platform/Folders.h"
#include "reports/ExlKessansyoUnit.h"
#include "reports/ExlYosansyoUnit.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Package.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "statements/StatementLoads.h"
#include "templates/KessansyoLayouts.h"
#include "tests/reports/StatementCalcFixture.h"
#include "tests/support/LibreOffice.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <map>

namespace {

namespace kl = templates::kessansyo;

// One series of a chart part: its kind, its labels and the cells of its figures.
struct Series {
    QString plot;  // "barChart", "pieChart", "lineChart"
    QString categories;
    QString values;
};

std::vector<Series> ChartSeries(sheet::Package& package) {
    std::vector<Series> all;
    for (int n = 1; package.Has(u"xl/charts/chart%1.xml"_qs.arg(n)); ++n) {
        pugi::xml_node plotArea = package.Xml(u"xl/charts/chart%1.xml"_qs.arg(n))
                                      .child("c:chartSpace")
                                      .child("c:chart")
                                      .child("c:plotArea");
        for (pugi::xml_node plot : plotArea.children()) {
            for (pugi::xml_node ser : plot.children("c:ser"))
                all.push_back({sheet::Text(plot.name()).mid(2),
                               sheet::Text(ser.child("c:cat").child("c:strRef").child_value("c:f")),
                               sheet::Text(ser.child("c:val").child("c:numRef").child_value("c:f"))});
        }
    }
    return all;
}

struct Ref {
    QString sheet;
    sheet::Area area;
};

// "'グラフ'!$A$3:$A$7" or "Sheet1!C12"; the test fails on anything else.
Ref ParseRef(const QString& text) {
    const qsizetype bang = text.lastIndexOf(u'!');
    QString name = text.left(bang);
    if (name.startsWith(u'\''))
        name = name.mid(1).chopped(1).replace(u"''"_qs, u"'"_qs);
    const std::optional<sheet::Area> area = sheet::ParseArea(text.mid(bang + 1).remove(u'$'));
    EXPECT_TRUE(bang > 0 && area) << text.toStdString();
    return {name, area.value_or(sheet::Area{1, 1, 1, 1})};
}

// A table cell's figure as the saved book defines it: a number, or a formula
// that names statement cells (one, or a SUM of areas), worked out from them.
qint64 Figure(sheet::Workbook& book, sheet::Worksheet& sheet, int row, int col) {
    const QString formula = sheet.CellFormula(row, col);
    if (!formula.startsWith(u'='))
        return qint64(sheet.CellValue(row, col).toDouble());
    static const QRegularExpression shape(u"^=(SUM\\((.*)\\)|(.*))$"_qs);
    const QRegularExpressionMatch m = shape.match(formula);
    EXPECT_TRUE(m.hasMatch()) << formula.toStdString();
    const QString list = m.captured(2).isEmpty() ? m.captured(3) : m.captured(2);
    qint64 sum = 0;
    for (const QString& part : list.split(u',')) {
        const Ref ref = ParseRef(part);
        sheet::Worksheet* target = book.FindSheet(ref.sheet);
        EXPECT_NE(target, nullptr) << part.toStdString();
        if (!target)
            continue;
        for (int r = ref.area.row1; r <= ref.area.row2; ++r) {
            for (int c = ref.area.col1; c <= ref.area.col2; ++c) {
                // The formula reads figures only (an empty cell where the statement prints none).
                const QVariant value = target->CellValue(r, c);
                EXPECT_TRUE(!value.isValid() || value.typeId() == QMetaType::Double)
                    << part.toStdString() << " " << r << "," << c;
                sum += qint64(value.toDouble());
            }
        }
    }
    return sum;
}

// Label -> figure of a series, from the saved book.
std::map<QString, qint64> SeriesFigures(sheet::Workbook& book, const Series& series) {
    const Ref labels = ParseRef(series.categories);
    const Ref values = ParseRef(series.values);
    EXPECT_EQ(labels.area.Rows(), values.area.Rows()) << series.values.toStdString();
    std::map<QString, qint64> figures;
    sheet::Worksheet* sheet = book.FindSheet(values.sheet);
    EXPECT_NE(sheet, nullptr);
    if (!sheet)
        return figures;
    for (int i = 0; i < values.area.Rows(); ++i) {
        const QString label = sheet->CellValue(labels.area.row1 + i, labels.area.col1).toString();
        EXPECT_FALSE(label.isEmpty()) << series.categories.toStdString();
        figures[label] = Figure(book, *sheet, values.area.row1 + i, values.area.col1);
    }
    return figures;
}

using Figures = std::map<QString, qint64>;

class StatementChartsTest : public StatementCalcFixture {
  protected:
    // The package checks run without LibreOffice; only its part is skipped.
    void SetUp() override {
        soffice_ = FindSoffice();
        ReportFixture::SetUp();
    }

    QString Layout(std::size_t i) const {
        return QString::fromUtf8(kl::kLayouts[i].name.data(), qsizetype(kl::kLayouts[i].name.size()));
    }

    // Division -> classification name -> the work rows' sum of `column`, for the
    // classifications the statement prints: those with a line whose settlement,
    // or whose budget where the layout compares it, is not NULL.
    std::map<int, Figures> Sums(const QString& column, int syusi, bool comparesBudget) {
        const QString printed = comparesBudget ? u"(W.KESSAN is not null or W.YOSAN is not null)"_qs
                                               : u"(W.KESSAN is not null)"_qs;
        std::map<int, Figures> sums;
        for (const auto& r :
             module_->SQLConnection1
                 .Select(u"select W.KAIKEI_KUBUN, B.MEISYO, cast(sum(coalesce(%1, 0)) as bigint)"
                         " from W_KESSAN W join BUNRUI B on (B.CD = W.BUNRUI) where (W.JIKOKU = :J)"
                         " and (W.SYUSI_KUBUN = :S) and (W.KAMOKU <> 8000)"
                         " group by W.KAIKEI_KUBUN, B.MEISYO"
                         " having count(case when %2 then 1 end) > 0"_qs.arg(column, printed),
                         {{u"J"_qs, jikoku_}, {u"S"_qs, syusi}})
                 .rows)
            sums[int(r[0].AsInteger())][r[1].AsString()] = r[2].AsInteger();
        return sums;
    }

    // The journal's balance of a division up to `last` (yyyymmdd): the carry-over
    // from the previous year, plus receipts, minus payments of the statements' items.
    qint64 Balance(int division, const QString& last) {
        const auto carry = module_->SQLConnection1.Select(
            u"select coalesce(sum(YOSAN), 0) from YOSAN where NENDO = :N and KAMOKU = 100 and KAIKEI_KUBUN = :D"_qs,
            {{u"N"_qs, nendo_}, {u"D"_qs, division}});
        const auto moved = module_->SQLConnection1.Select(
            u"select cast(coalesce(sum(M.SYUNYU), 0) - coalesce(sum(M.SISYUTSU), 0) as bigint) from MEISAI M"
            " join KAMOKU K on (K.CD = M.KAMOKU) join BUNRUI B on (B.CD = K.BUNRUI)"
            " where M.NENDO = :N and M.KAIKEI_KUBUN = :D and M.HIZUKE <= :L and B.KESSANSYO_KUBUN = 1"_qs,
            {{u"N"_qs, nendo_}, {u"D"_qs, division}, {u"L"_qs, last}});
        return carry.rows[0][0].AsInteger() + moved.rows[0][0].AsInteger();
    }

    // The settlement window's load of the saved year into W_KESSAN.
    void Settle() {
        data::SqlCommand command(u"KamokuSQL"_qs, &module_->SQLConnection1);
        command.SetCommandText(statements::StatementKamokuSql());
        data::DataSet kamoku(u"KamokuClientDS"_qs);
        kamoku.SetCommand(&command);
        data::DsOpen(kamoku);
        claim_ = std::make_unique<db::WorkKeyClaim>(module_->SQLConnection1, u"W_KESSAN"_qs, nendo_,
                                                    platform::FullHostName(), QDateTime::currentDateTime());
        ASSERT_TRUE(
            statements::SettleToWorkRows(module_->SQLConnection1, nendo_, QString(), claim_->Key(), kamoku));
        jikoku_ = claim_->Key().jikoku;
        kamoku.Close();
    }

    QString RunStatement(std::unique_ptr<TExlYosansyoModule> report, const QString& name) {
        const QString out = temp_.File(name + u".xlsx"_qs);
        report->SetNendo(nendo_);
        report->SetJikoku(jikoku_);
        report->SetNendoDS(&nendoRow_);
        report->SetTemplatemei(name);
        report->SetZeroPrint(true);  // every work row printed, as the sums below count them
        report->SetCharts(true);
        report->SetOutputFile(out);
        report->Execute();
        // For looking at the books: TSUBAKI_KEEP_REPORTS=<folder> keeps a copy.
        if (const QString keep = qEnvironmentVariable("TSUBAKI_KEEP_REPORTS"); !keep.isEmpty()) {
            QDir().mkpath(keep);
            QFile::copy(out, keep + u'/' + QFileInfo(out).fileName());
        }
        return out;
    }

    void TearDown() override {
        claim_.reset();
        StatementCalcFixture::TearDown();
    }

    QString jikoku_ = kJikoku;
    std::unique_ptr<db::WorkKeyClaim> claim_;  // the settlement's work rows live as long as it
};

// The sample organisation's year, settled from its journal, in every layout:
// per division the budget and settlement bars of both sides, the payments pie
// and the month-end balances, each series on cells that hold the work rows'
// classification totals. LibreOffice then computes the same figures in every
// book and prints the charts of the first.
TEST_F(StatementChartsTest, SettlementChartsOfTheSampleOrganisationInEveryLayout) {
    UseSampleOrganisation();
    nendo_ = 2025;
    EditNendoRow();
    Settle();
    const std::vector<int> divisions = Divisions();
    ASSERT_EQ(divisions.size(), 2U);
    // Per layout comparing the budget or not: receipts and payments.
    std::map<int, Figures> budget[2][2], actual[2][2];
    for (int compares = 0; compares < 2; ++compares) {
        for (int side = 0; side < 2; ++side) {
            budget[compares][side] = Sums(u"W.YOSAN"_qs, side + 1, compares == 1);
            actual[compares][side] = Sums(u"W.KESSAN"_qs, side + 1, compares == 1);
        }
    }
    ASSERT_EQ(actual[0][1].size(), 2U);
    // The balance after each month: the first of the sample year's months (April)
    // and the last, which is the carry-over into the next year.
    std::map<int, std::pair<qint64, qint64>> balances;
    for (const int d : divisions)
        balances[d] = {Balance(d, u"20250430"_qs), Balance(d, u"20260331"_qs)};

    QStringList books;
    for (std::size_t i = 0; i < kl::kLayouts.size(); ++i) {
        const QString name = Layout(i);
        SCOPED_TRACE(name.toStdString());
        const bool compares = !kl::kLayouts[i].hikakuField.empty();
        const auto& b = budget[compares ? 1 : 0];
        const auto& a = actual[compares ? 1 : 0];
        books << RunStatement(NewKessansyoModule(int(i) + 1), name);
        sheet::Package package = sheet::Package::Load(books.back());
        sheet::Workbook& book = reader_.Workbooks().Open(books.back());
        ASSERT_NE(book.FindSheet(u"グラフ"_qs), nullptr);
        const std::vector<Series> series = ChartSeries(package);
        // Receipts (2 bars), payments (2 bars), pie, line: six series per division.
        ASSERT_EQ(series.size(), 6 * divisions.size());
        for (std::size_t k = 0; k < divisions.size(); ++k) {
            const int d = divisions[k];
            SCOPED_TRACE(d);
            const Series* s = &series[6 * k];
            const QString expectedPlots[] = {u"barChart"_qs, u"barChart"_qs, u"barChart"_qs,
                                             u"barChart"_qs, u"pieChart"_qs, u"lineChart"_qs};
            for (int j = 0; j < 6; ++j)
                EXPECT_EQ(s[j].plot, expectedPlots[j]);
            EXPECT_EQ(SeriesFigures(book, s[0]), b[0].at(d));
            EXPECT_EQ(SeriesFigures(book, s[1]), a[0].at(d));
            EXPECT_EQ(SeriesFigures(book, s[2]), b[1].at(d));
            EXPECT_EQ(SeriesFigures(book, s[3]), a[1].at(d));
            EXPECT_EQ(SeriesFigures(book, s[4]), a[1].at(d));
            const Figures months = SeriesFigures(book, s[5]);
            ASSERT_EQ(months.size(), 12U);
            EXPECT_EQ(months.at(u"４月"_qs), balances[d].first);
            EXPECT_EQ(months.at(u"３月"_qs), balances[d].second);
        }
        // Where the layout prints a settlement column, the table reads it.
        const Ref firstActual = ParseRef(series[1].values);
        EXPECT_TRUE(book.Sheets()
                        .Item(u"グラフ"_qs)
                        .CellFormula(firstActual.area.row1, firstActual.area.col1)
                        .startsWith(u"=Sheet1!"_qs));
    }

    if (soffice_.isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    // What LibreOffice computes in the chart tables is what the statement prints.
    const auto computed = ComputeSheetsWithLibreOffice(soffice_, books, temp_.File(u"lo"_qs));
    ASSERT_EQ(computed.size(), std::size_t(books.size()));
    for (qsizetype b = 0; b < books.size(); ++b) {
        SCOPED_TRACE(books[b].toStdString());
        sheet::Package package = sheet::Package::Load(books[b]);
        const auto& charts = computed[std::size_t(b)].at(u"グラフ"_qs);
        const std::vector<Series> series = ChartSeries(package);
        for (std::size_t k = 0; k < divisions.size(); ++k) {
            const Series& payments = series[6 * k + 3];
            const Ref labels = ParseRef(payments.categories);
            const Ref values = ParseRef(payments.values);
            Figures shown;
            for (int r = labels.area.row1; r <= labels.area.row2; ++r) {
                const QStringList& row = charts.at(std::size_t(r - 1));
                shown[row.value(labels.area.col1 - 1)] =
                    PrintedAmount(row.value(values.area.col1 - 1).remove(u'円'));
            }
            const bool compares = !kl::kLayouts[std::size_t(b)].hikakuField.empty();
            EXPECT_EQ(shown, actual[compares ? 1 : 0][1].at(divisions[k]));
        }
    }
    const QStringList pdf = ConvertBooksToPdf(soffice_, {books.value(1)}, temp_.File(u"pdf"_qs));
    const QString text = PdfText(pdf.value(0));
    if (!text.isEmpty()) {
        for (const char16_t* title : {u"予算額と決算額", u"支出の内訳（決算額）", u"月末残高の推移"})
            EXPECT_TRUE(text.contains(QString::fromUtf16(title))) << text.toStdString();
    }
}

// A budget statement charts the amended budget: an amended classification's
// figure stands in the table as a number (the statement prints the original),
// the others read the statement's cells.
TEST_F(StatementChartsTest, BudgetPieChartsTheAmendedBudget) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddBunrui(11, u"会費"_qs, 1, 1, 1);
    AddBunrui(21, u"事業費"_qs, 2, 1, 2);
    AddBunrui(22, u"管理費"_qs, 2, 1, 3);
    AddKamoku(1101, u"会費"_qs, 11);
    AddKamoku(2101, u"祭礼費"_qs, 21, 1);
    AddKamoku(2102, u"防犯費"_qs, 21, 2);
    AddKamoku(2201, u"通信費"_qs, 22);
    struct Row {
        int kamoku, syusi, bunrui, yosan;
        std::optional<int> hoseigo;
    };
    const Row rows[] = {{1101, 1, 11, 300000, std::nullopt},
                        {2101, 2, 21, 120000, 150000},
                        {2102, 2, 21, 30000, std::nullopt},
                        {2201, 2, 22, 20000, std::nullopt},
                        {8000, 2, 80, 130000, std::nullopt}};
    for (const Row& r : rows)
        Exec(
            u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, HOSEIGO,"
            " SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, 2021, 0, :K, 1, :Y, :H, :S, "
            ":B,"
            " :B, :K)"_qs,
            {{u"C"_qs, GetComputerNameStr()},
             {u"J"_qs, kJikoku},
             {u"K"_qs, r.kamoku},
             {u"Y"_qs, r.yosan},
             {u"H"_qs, r.hoseigo ? db::Value(*r.hoseigo) : db::Value()},
             {u"S"_qs, r.syusi},
             {u"B"_qs, r.bunrui}});
    nendo_ = 2021;
    EditNendoRow();
    const QString out = RunStatement(std::make_unique<TExlYosansyoModule>(), u"予算書１"_qs);

    sheet::Package package = sheet::Package::Load(out);
    sheet::Workbook& book = reader_.Workbooks().Open(out);
    const std::vector<Series> series = ChartSeries(package);
    ASSERT_EQ(series.size(), 1U);
    EXPECT_EQ(series[0].plot, u"pieChart"_qs);
    EXPECT_EQ(SeriesFigures(book, series[0]), (Figures{{u"事業費"_qs, 180000}, {u"管理費"_qs, 20000}}));
    const Ref values = ParseRef(series[0].values);
    sheet::Worksheet& charts = book.Sheets().Item(u"グラフ"_qs);
    QStringList formulas;
    for (int r = values.area.row1; r <= values.area.row2; ++r)
        formulas << charts.CellFormula(r, values.area.col1);
    EXPECT_EQ(formulas.filter(u"=Sheet1!"_qs).size(), 1) << formulas.join(u' ').toStdString();
    EXPECT_TRUE(formulas.contains(u"180000"_qs)) << formulas.join(u' ').toStdString();
}

}  // namespace
