// 月別集計表: the items' amounts per fiscal month, receipts above payments,
// then the items kept outside the statements with their carry-over. Monthly
// totals, the running balance and the row totals are the template's formulas.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"

namespace templates {
namespace {

using namespace styles;

constexpr int kFirstMonthCol = 3;  // C: fiscal month 1
constexpr int kLastMonthCol = 14;  // N: fiscal month 12
constexpr int kTotalCol = 15;      // O

// Rows the report writes or hides.
constexpr int kCarryOverRow = 6;  // C6
constexpr int kReceiptsRow = 7;   // 7-9
constexpr int kPaymentsRow = 14;  // 14-16
constexpr int kDetailRows = 3;
constexpr int kOutsideReceiptsRow = 23;  // 23-24
constexpr int kOutsidePaymentsRow = 25;  // 25-26
constexpr int kOutsideRows = 2;
// The whole outside part, hidden when there is nothing outside the statements.
constexpr int kOutsideFirstRow = 19;
constexpr int kOutsideLastRow = 27;

constexpr int kReceiptsTotalRow = kReceiptsRow + kDetailRows;  // 10
constexpr int kReceiptsWithCarryOverRow = kReceiptsTotalRow + 1;
constexpr int kPaymentsBandRow = kPaymentsRow - 1;
constexpr int kPaymentsTotalRow = kPaymentsRow + kDetailRows;  // 17
constexpr int kBalanceRow = kPaymentsTotalRow + 1;
constexpr int kOutsideHeadingRow = kOutsideReceiptsRow - 1;
constexpr int kOutsideBalanceRow = kOutsidePaymentsRow + kOutsideRows;  // 27
static_assert(kBalanceRow < kOutsideFirstRow && kOutsideBalanceRow == kOutsideLastRow);

// Labels of a year beginning in April; the report writes the year's own.
const char* const kMonthLabels[] = {"４月",   "５月",   "６月",   "７月", "８月", "９月",
                                    "１０月", "１１月", "１２月", "１月", "２月", "３月"};

std::string Row(int row) {
    return std::to_string(row);
}

std::string Sum(int col, int firstRow, int lastRow) {
    return "SUM(" + At(col, firstRow) + ":" + At(col, lastRow) + ")";
}

// A band across the sheet naming the section below it.
void Band(SheetWriter& s, int row, const char* text) {
    s.Text(At(1, row).c_str(), text, kBand);
    for (int col = 2; col <= kTotalCol; ++col)
        s.Blank(At(col, row).c_str(), kBand);
}

// One item row: its names (or name and carry-over) and twelve months, with
// the row total summing from `firstAmountCol`; relative, so copies of the row
// keep adding up their own row. A row no item took stays blank, total included.
void ItemRow(SheetWriter& s, int row, int firstAmountCol) {
    for (int col = 1; col < firstAmountCol; ++col)
        s.Blank(At(col, row).c_str(), kText);
    for (int col = firstAmountCol; col <= kLastMonthCol; ++col)
        s.Blank(At(col, row).c_str(), kAmount);
    const std::string amounts = At(firstAmountCol, row) + ":" + At(kLastMonthCol, row);
    s.Formula(At(kTotalCol, row).c_str(), "=IF(COUNT(" + amounts + ")=0,\"\",SUM(" + amounts + "))", kAmount);
}

// A totals row: its label over A:B (or A alone) and one formula per column.
template <typename ColumnFormula>
void TotalRow(SheetWriter& s, int row, const char* label, bool labelOverTwoColumns, int firstCol,
              ColumnFormula formula) {
    if (labelOverTwoColumns) {
        s.Merge(("A" + Row(row) + ":B" + Row(row)).c_str(), label, kTotalLabel);
    } else {
        s.Text(At(1, row).c_str(), label, kTotalLabel);
    }
    for (int col = firstCol; col <= kTotalCol; ++col)
        s.Formula(At(col, row).c_str(), "=" + formula(col), kTotalAmount);
}

}  // namespace

void WriteTsukibetsuSyukeihyo(TemplateBook& book) {
    SheetWriter s(book, "月別集計表");
    s.Columns("A:A", 14, kPlain);
    s.Columns("B:B", 18, kPlain);
    s.Columns("C:N", 10, kPlain);
    s.Columns("O:O", 12, kPlain);

    s.Merge("A1:O1", "月別集計表", kTitle);
    s.RowHeight(1, 24);
    s.Blank("A3", kBold);   // the organisation
    s.Blank("O3", kRight);  // 作成日：

    s.Text("A4", "分類", kHeading);
    s.Text("B4", "科目", kHeading);
    for (int col = kFirstMonthCol; col <= kLastMonthCol; ++col)
        s.Text(At(col, 4).c_str(), kMonthLabels[col - kFirstMonthCol], kHeading);
    s.Text(At(kTotalCol, 4).c_str(), "合計", kHeading);

    // Receipts, after the carry-over from the previous year.
    Band(s, kCarryOverRow - 1, "収入の部");
    ItemRow(s, kCarryOverRow, kFirstMonthCol);
    s.Text(At(2, kCarryOverRow).c_str(), "前年度繰越金", kText);
    s.Number(At(kFirstMonthCol, kCarryOverRow).c_str(), 0, kAmount);
    for (int row = kReceiptsRow; row < kReceiptsTotalRow; ++row)
        ItemRow(s, row, kFirstMonthCol);
    TotalRow(s, kReceiptsTotalRow, "収入計", true, kFirstMonthCol,
             [](int col) { return Sum(col, kReceiptsRow, kReceiptsTotalRow - 1); });
    TotalRow(s, kReceiptsWithCarryOverRow, "収入合計（繰越金を含む）", true, kFirstMonthCol,
             [](int col) { return At(col, kCarryOverRow) + "+" + At(col, kReceiptsTotalRow); });

    // Payments, then the balance at the end of each month.
    Band(s, kPaymentsBandRow, "支出の部");
    for (int row = kPaymentsRow; row < kPaymentsTotalRow; ++row)
        ItemRow(s, row, kFirstMonthCol);
    TotalRow(s, kPaymentsTotalRow, "支出計", true, kFirstMonthCol,
             [](int col) { return Sum(col, kPaymentsRow, kPaymentsTotalRow - 1); });
    TotalRow(s, kBalanceRow, "差引残高", true, kFirstMonthCol, [](int col) {
        if (col == kTotalCol)
            return At(col, kReceiptsWithCarryOverRow) + "-" + At(col, kPaymentsTotalRow);
        const std::string first = "$" + ColumnName(kFirstMonthCol) + "$";
        return "SUM(" + first + Row(kReceiptsWithCarryOverRow) + ":" + At(col, kReceiptsWithCarryOverRow) +
               ")-SUM(" + first + Row(kPaymentsTotalRow) + ":" + At(col, kPaymentsTotalRow) + ")";
    });

    // Items outside the statements: receipts above payments, each with its
    // carry-over in column B.
    s.Text(At(1, kOutsideHeadingRow - 2).c_str(), "決算書に記載しない科目（預り金など）", kBold);
    s.Text(At(1, kOutsideHeadingRow - 1).c_str(),
           "前年度繰越と月ごとの動きです。上段は受入、下段は払出の科目です。", kNote);
    s.Text(At(1, kOutsideHeadingRow).c_str(), "科目", kHeading);
    s.Text(At(2, kOutsideHeadingRow).c_str(), "前年度繰越", kHeading);
    for (int col = kFirstMonthCol; col <= kLastMonthCol; ++col)
        s.Formula(At(col, kOutsideHeadingRow).c_str(), "=" + ColumnName(col) + "$4", kHeading);
    s.Text(At(kTotalCol, kOutsideHeadingRow).c_str(), "計", kHeading);
    for (int row = kOutsideReceiptsRow; row < kOutsideBalanceRow; ++row)
        ItemRow(s, row, 2);
    TotalRow(s, kOutsideBalanceRow, "受入－払出", false, 2, [](int col) {
        return Sum(col, kOutsideReceiptsRow, kOutsidePaymentsRow - 1) + "-" +
               Sum(col, kOutsidePaymentsRow, kOutsideBalanceRow - 1);
    });

    const std::string area = "A1:" + At(kTotalCol, kOutsideLastRow);
    s.Print({.area = area.c_str(), .repeatRows = "4:4", .landscape = true});
    s.FreezeAt("C5");
}

}  // namespace templates
