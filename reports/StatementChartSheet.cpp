#include "reports/StatementChartSheet.h"

#include "reports/TsubakiExcelBaseModuleUnit.h"
#include "sheet/Chart.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Range.h"
#include "sheet/Styles.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

#include <algorithm>
#include <tuple>

namespace statementcharts {
namespace {

using sheet::Area;

constexpr int kLastCol = 8;     // H: the charts' right edge
constexpr int kChartRows = 16;  // a chart's height in rows
// Rows that fit an A4 portrait page at the sheet's row height and margins
// (the columns are as wide as the page, so nothing is scaled down), with a
// little room to spare for a printer's larger margins.
constexpr int kPageRows = 52;

const QString kAmountFormat = QStringLiteral("#,##0\"円\";△#,##0\"円\"");

class Writer {
  public:
    Writer(sheet::Workbook& book, sheet::Worksheet& sheet, QString statementSheet)
        : sheet_(sheet), statementSheet_(std::move(statementSheet)) {
        sheet::Styles& styles = book.StyleSheet();
        headingXf_ = styles.WithBold(0);
        headerXf_ = styles.WithHorizontalAlignment(styles.WithBold(0), "center");
        amountXf_ = styles.WithNumberFormat(0, kAmountFormat);
        const double widths[kLastCol] = {16, 13, 13, 6, 6, 6, 6, 6};
        for (int col = 1; col <= kLastCol; ++col)
            sheet_.SetColumnWidth(col, widths[col - 1]);
    }

    int LastRow() const { return row_ - 1; }

    // Each division starts a page of its own.
    void StartDivision(const QString& name) {
        if (row_ > 1)
            BreakBefore(row_);
        Put(row_, 1, name, headingXf_);
        row_ += 2;
    }

    // A table of `columns` ("分類", "予算額", …) with a row per label and its
    // figures, kept on one page with the chart that follows it; returns the
    // labels' area (the figures stand in the columns to its right).
    Area Table(const QStringList& columns, const QStringList& labels,
               const std::vector<std::vector<QVariant>>& figures) {
        KeepTogether(1 + int(labels.size()) + 1 + kChartRows);
        for (int c = 0; c < columns.size(); ++c)
            Put(row_, c + 1, columns[c], headerXf_);
        const int first = row_ + 1;
        for (qsizetype i = 0; i < labels.size(); ++i) {
            Put(first + int(i), 1, labels[i], -1);
            for (std::size_t c = 0; c < figures[std::size_t(i)].size(); ++c)
                PutFigure(first + int(i), 2 + int(c), figures[std::size_t(i)][c]);
        }
        const int last = first + int(labels.size()) - 1;
        row_ = last + 2;
        return {first, 1, last, 1};
    }

    void Chart(sheet::ChartKind kind, const QString& title, std::vector<sheet::ChartSeries> series) {
        // A chart at the very top of a page gets its frame's top edge printed
        // at the foot of the page before too: it starts a row lower.
        if (KeepTogether(kChartRows))
            ++row_;
        sheet::ChartDefinition def;
        def.kind = kind;
        def.title = title;
        def.series = std::move(series);
        def.place = {row_, 1, row_ + kChartRows - 1, kLastCol};
        sheet::AddChart(sheet_, def);
        row_ += kChartRows + 1;
    }

    const QString& StatementSheet() const { return statementSheet_; }

  private:
    void Put(int row, int col, const QString& text, int xf) {
        sheet_.Cells(row, col).SetValue(LiteralText(text));
        if (xf >= 0)
            Style(row, col, xf);
    }
    void PutFigure(int row, int col, const QVariant& value) {
        sheet_.Cells(row, col).SetValue(value);
        Style(row, col, amountXf_);
    }
    void Style(int row, int col, int xf) {
        sheet_.Restyle({row, col, row, col}, false, [xf](int, bool, bool) { return xf; });
    }
    // A page break above what follows when its `rows` would run over the page.
    bool KeepTogether(int rows) {
        if (row_ <= pageStart_ || row_ + rows - 1 < pageStart_ + kPageRows)
            return false;
        BreakBefore(row_);
        return true;
    }
    void BreakBefore(int row) {
        sheet_.AddPageBreakBefore(row);
        pageStart_ = row;
    }

    sheet::Worksheet& sheet_;
    QString statementSheet_;
    int row_ = 1;
    int pageStart_ = 1;
    int headingXf_ = 0;
    int headerXf_ = 0;
    int amountXf_ = 0;
};

QStringList Names(const std::vector<Classification>& list) {
    QStringList names;
    for (const Classification& c : list)
        names << c.name;
    return names;
}

Area Column(const Area& labels, int offset) {
    return {labels.row1, labels.col1 + offset, labels.row2, labels.col1 + offset};
}

// Budget against settlement of one side, then the bars drawn from it.
Area BudgetAgainstActual(Writer& w, const QString& side, const std::vector<Classification>& list) {
    std::vector<std::vector<QVariant>> figures;
    for (const Classification& c : list)
        figures.push_back(
            {FigureCell(w.StatementSheet(), c.budget), FigureCell(w.StatementSheet(), c.actual)});
    const Area labels =
        w.Table({side, QStringLiteral("予算額"), QStringLiteral("決算額")}, Names(list), figures);
    w.Chart(sheet::ChartKind::Bar, side + QStringLiteral("　予算額と決算額"),
            {{QStringLiteral("予算額"), {}, labels, Column(labels, 1)},
             {QStringLiteral("決算額"), {}, labels, Column(labels, 2)}});
    return labels;
}

void SettlementBlock(Writer& w, const Division& division) {
    if (!division.receipts.empty())
        BudgetAgainstActual(w, QStringLiteral("収入の部"), division.receipts);
    if (!division.payments.empty()) {
        const Area labels = BudgetAgainstActual(w, QStringLiteral("支出の部"), division.payments);
        w.Chart(sheet::ChartKind::Pie, QStringLiteral("支出の内訳（決算額）"),
                {{QStringLiteral("決算額"), {}, labels, Column(labels, 2)}});
    }
    if (!division.monthEnd.empty() && division.monthLabels.size() == qsizetype(division.monthEnd.size())) {
        std::vector<std::vector<QVariant>> figures;
        for (const qint64 balance : division.monthEnd)
            figures.push_back({QVariant(balance)});
        const Area labels =
            w.Table({QStringLiteral("月"), QStringLiteral("月末残高")}, division.monthLabels, figures);
        w.Chart(sheet::ChartKind::Line, QStringLiteral("月末残高の推移"),
                {{QStringLiteral("月末残高"), {}, labels, Column(labels, 1)}});
    }
}

void BudgetBlock(Writer& w, const Division& division) {
    if (division.payments.empty())
        return;
    std::vector<std::vector<QVariant>> figures;
    for (const Classification& c : division.payments)
        figures.push_back({FigureCell(w.StatementSheet(), c.budget)});
    const Area labels =
        w.Table({QStringLiteral("支出の部"), QStringLiteral("予算額")}, Names(division.payments), figures);
    w.Chart(sheet::ChartKind::Pie, QStringLiteral("支出の内訳（予算額）"),
            {{QStringLiteral("予算額"), {}, labels, Column(labels, 1)}});
}

}  // namespace

QVariant FigureCell(const QString& statementSheet, const Figure& figure) {
    if (figure.cells.empty())
        return QVariant(figure.value);
    std::vector<sheet::CellPos> cells = figure.cells;
    std::sort(cells.begin(), cells.end(), [](const sheet::CellPos& a, const sheet::CellPos& b) {
        return std::tie(a.col, a.row) < std::tie(b.col, b.row);
    });
    cells.erase(std::unique(cells.begin(), cells.end(),
                            [](const sheet::CellPos& a, const sheet::CellPos& b) {
                                return a.col == b.col && a.row == b.row;
                            }),
                cells.end());
    // Runs of cells one below the other become one area each.
    const QString prefix = sheet::QuoteSheetName(statementSheet) + u'!';
    QStringList parts;
    for (std::size_t i = 0; i < cells.size();) {
        std::size_t j = i;
        while (j + 1 < cells.size() && cells[j + 1].col == cells[i].col &&
               cells[j + 1].row == cells[j].row + 1)
            ++j;
        parts << prefix + sheet::AreaAddress({cells[i].row, cells[i].col, cells[j].row, cells[j].col});
        i = j + 1;
    }
    if (parts.size() == 1 && cells.size() == 1)
        return QString(u'=' + parts.front());
    return QString(QStringLiteral("=SUM(") + parts.join(u',') + u')');
}

sheet::Worksheet& AddChartSheet(sheet::Workbook& book, const QString& statementSheet, Kind kind,
                                const std::vector<Division>& divisions) {
    sheet::Worksheet& sheet = book.AddSheet(kSheetName);
    Writer w(book, sheet, statementSheet);
    for (const Division& division : divisions) {
        w.StartDivision(division.name);
        if (kind == Kind::Settlement)
            SettlementBlock(w, division);
        else
            BudgetBlock(w, division);
    }
    book.SetPrintArea(sheet, {1, 1, std::max(1, w.LastRow()), kLastCol});
    return sheet;
}

}  // namespace statementcharts
