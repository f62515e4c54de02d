// 収支明細書: one row per journal line under an opening row, with the running
// balance and the totals in the template's own formulas.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"

namespace templates {
namespace {

using namespace styles;

constexpr int kOpeningRow = 5;
constexpr int kFirstDetailRow = 6;  // the report writes columns A-F from here
constexpr int kDetailRows = 3;      // and inserts more below the second one
constexpr int kTotalRow = kFirstDetailRow + kDetailRows;

constexpr int kBalanceCol = 7;  // G: what the sheet shows
constexpr int kCarryCol = 8;    // H, hidden: the running balance every row passes on

// The balance after the row's line, kept in H for every row. B1 holds the sign: 1,
// or -1 when the list shows one payments item, so that the column then adds up
// that item's payments. Rows add to the row above, so the copies the report pastes
// below the second row keep working; the last template row ends up below those
// copies and would skip them, so it sums every line from the top instead.
std::string RunningBalance(int row) {
    const std::string r = std::to_string(row);
    if (row == kTotalRow - 1) {
        const std::string first = std::to_string(kFirstDetailRow);
        return "=N($G$" + std::to_string(kOpeningRow) + ")+(SUM($E$" + first + ":E" + r + ")-SUM($F$" + first +
               ":F" + r + "))*$B$1";
    }
    return "=N(H" + std::to_string(row - 1) + ")+(N(E" + r + ")-N(F" + r + "))*$B$1";
}

// G shows H, except on a row without any entry, which stays empty (the balance
// still passes through it in H).
std::string ShownBalance(int row) {
    const std::string r = std::to_string(row);
    return "=IF(COUNTA(A" + r + ":F" + r + ")=0,\"\",H" + r + ")";
}

}  // namespace

void WriteSyusiMeisaisyo(TemplateBook& book) {
    SheetWriter s(book, "収支明細書");
    s.Columns("A:A", 11, kPlain);
    s.Columns("B:B", 16, kPlain);
    s.Columns("C:C", 30, kPlain);
    s.Columns("D:D", 16, kPlain);
    s.Columns("E:F", 12, kPlain);
    s.Columns("G:G", 13, kPlain);
    s.HiddenColumns("H:H");

    s.Number("B1", 1, kHidden);
    s.Merge("A2:G2", "収支明細書", kTitle);
    s.RowHeight(2, 24);
    s.Blank("A3", kBold);   // the listed item
    s.Blank("G3", kRight);  // the listed period

    const char* const headings[] = {"日付", "相手先", "摘要", "科目", "収入金額", "支出金額", "残高"};
    for (int col = 1; col <= 7; ++col)
        s.Text(At(col, 4).c_str(), headings[col - 1], kHeading);

    // Opening row: date, label and carry-over, written by the report.
    s.Blank(At(1, kOpeningRow).c_str(), kDate);
    for (int col = 2; col <= 4; ++col)
        s.Blank(At(col, kOpeningRow).c_str(), kText);
    for (int col = 5; col <= 7; ++col)
        s.Blank(At(col, kOpeningRow).c_str(), kAmount);
    s.Formula(At(kCarryCol, kOpeningRow).c_str(), "=N(G" + std::to_string(kOpeningRow) + ")", kAmount);

    for (int row = kFirstDetailRow; row < kTotalRow; ++row) {
        s.Blank(At(1, row).c_str(), kDate);
        for (int col = 2; col <= 4; ++col)
            s.Blank(At(col, row).c_str(), kText);
        s.Blank(At(5, row).c_str(), kAmount);
        s.Blank(At(6, row).c_str(), kAmount);
        s.Formula(At(kBalanceCol, row).c_str(), ShownBalance(row), kAmount);
        s.Formula(At(kCarryCol, row).c_str(), RunningBalance(row), kAmount);
    }

    const std::string first = std::to_string(kFirstDetailRow), last = std::to_string(kTotalRow - 1);
    const std::string total = std::to_string(kTotalRow);
    s.Merge(("A" + total + ":D" + total).c_str(), "合計", kTotalLabel);
    s.Formula(("E" + total).c_str(), "=SUM(E" + first + ":E" + last + ")", kTotalAmount);
    s.Formula(("F" + total).c_str(), "=SUM(F" + first + ":F" + last + ")", kTotalAmount);
    s.Formula(("G" + total).c_str(),
              "=N(G" + std::to_string(kOpeningRow) + ")+(E" + total + "-F" + total + ")*$B$1", kTotalAmount);

    const std::string area = "A1:G" + total;
    s.Print({.area = area.c_str(), .repeatRows = "4:4", .landscape = false});
    s.FreezeAt("A5");
}

}  // namespace templates
