#pragma once
// The 「グラフ」 sheet of the budget and settlement statement workbooks: for each
// division a small table per chart and the chart drawn from it, for the members
// of a general meeting. The tables read the statement sheet's cells where the
// statement prints the figure (a formula, so a figure corrected by hand in the
// statement redraws the chart) and hold the figure itself where it prints none
// (a layout without a budget column, an amended budget the statement does not show).
//
//   settlement: 収入の部 and 支出の部, budget against settlement per classification
//               (bars); 支出の内訳 (pie); the balance at each month's end (line)
//   budget:     支出の内訳 of the budget (pie)

#include "sheet/CellRef.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace sheet {
class Workbook;
class Worksheet;
}  // namespace sheet

namespace statementcharts {

inline const QString kSheetName = QStringLiteral("グラフ");

// One figure of a chart table: `value`, or, when `cells` is not empty, the sum
// of those cells of the statement sheet (which hold `value` as written).
struct Figure {
    qint64 value = 0;
    std::vector<sheet::CellPos> cells;
};

struct Classification {
    int code = 0;
    QString name;
    Figure budget;
    Figure actual;
};

struct Division {
    QString name;
    std::vector<Classification> receipts;
    std::vector<Classification> payments;
    // The balance at the end of each month, under its label ("４月"); empty
    // for a budget.
    QStringList monthLabels;
    std::vector<qint64> monthEnd;
};

enum class Kind { Budget, Settlement };

// What a table cell holds for `figure`: "='Sheet1'!C12", "=SUM('Sheet1'!C12:C14)",
// or the figure as a number.
QVariant FigureCell(const QString& statementSheet, const Figure& figure);

// Adds the sheet after the book's last one, printed on A4 portrait one page
// wide with each table kept on a page with its chart. Divisions without
// figures for a chart go without that chart.
sheet::Worksheet& AddChartSheet(sheet::Workbook& book, const QString& statementSheet, Kind kind,
                                const std::vector<Division>& divisions);

}  // namespace statementcharts
