// 残高照合表: per division, the book balance, the places the money is held with
// their amounts and total, the difference, and the auditors' date and signatures.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"
#include "templates/ZandakaSyogohyoLayout.h"

namespace templates {
namespace {

using namespace styles;
using namespace zandaka;

constexpr CellStyle kSpanFirst{.border = Border::SpanFirst};
constexpr CellStyle kSpanLast{.border = Border::SpanLast};
constexpr CellStyle kLabel{.border = Border::Box, .bold = true};
constexpr CellStyle kCheck{.kind = Kind::Check, .border = Border::BoxDoubleTop, .bold = true};
constexpr CellStyle kBlockTitle{.size = 12, .bold = true};
constexpr CellStyle kSubTitle{.align = LXW_ALIGN_CENTER, .size = 11};
constexpr CellStyle kSignTitle{.align = LXW_ALIGN_RIGHT, .size = 11};
constexpr CellStyle kSignLine{.border = Border::SpanFirst, .size = 11};
constexpr CellStyle kSeal{.border = Border::SpanLast, .align = LXW_ALIGN_CENTER, .size = 11};

std::string Cell(char col, int row) {
    return std::string(1, col) + std::to_string(row);
}

std::string Span(int row) {
    return "A" + std::to_string(row) + ":B" + std::to_string(row);
}

}  // namespace

void WriteZandakaSyogohyo(TemplateBook& book) {
    SheetWriter s(book, "Sheet1");
    // A wide enough for a title and a place of 20 characters with B, C for an amount.
    s.Columns("A:A", 30, kPlain);
    s.Columns("B:B", 26, kPlain);
    s.Columns("C:C", 18, kPlain);

    s.Blank("A1", kPlain);
    s.Blank("B1", kPlain);
    s.Blank("C1", kPlain);
    s.HiddenRow(1);
    s.Merge("A2:C2", "", kTitle);
    s.Formula("A2", "=A1&\"度　\"&B1&\"　残高照合表\"", kTitle);
    s.RowHeight(2, 26);
    s.Merge("A3:C3", "", kSubTitle);
    s.Formula("A3", "=\"基準日　\"&C1&\"　（単位：円）\"", kSubTitle);

    s.Blank(Cell('A', kBlockFirst).c_str(), kBlockTitle);
    s.RowHeight(kBlockFirst, 24);
    s.Merge(Span(kBookRow).c_str(), "帳簿残高（収支明細表の最終残高）", kLabel);
    s.Blank(Cell('C', kBookRow).c_str(), kTotalAmount);
    s.RowHeight(kBookRow, 22);

    s.Merge(Span(kHeadingRow).c_str(), "保管場所（現金・預金口座・定期預金など）", kHeading);
    s.Text(Cell('C', kHeadingRow).c_str(), "金　額", kHeading);
    for (int row = kPlaceFirst; row < kPlaceFirst + kPlaceRows; ++row) {
        s.Blank(Cell('A', row).c_str(), kSpanFirst);
        s.Blank(Cell('B', row).c_str(), kSpanLast);
        s.Blank(Cell('C', row).c_str(), kAmount);
        s.RowHeight(row, 20);
    }
    // Over the template's place rows, so that the rows the report adds count too.
    s.Merge(Span(kTotalRow).c_str(), "内訳合計", kTotalLabel);
    s.Formula(Cell('C', kTotalRow).c_str(),
              "=SUM(" + Cell('C', kPlaceFirst) + ":" + Cell('C', kTotalRow - 1) + ")", kTotalAmount);
    s.RowHeight(kTotalRow, 20);

    s.Merge(Span(kDifferenceRow).c_str(), "差額（帳簿残高－内訳合計）", kTotalLabel);
    s.Formula(Cell('C', kDifferenceRow).c_str(), "=" + Cell('C', kBookRow) + "-" + Cell('C', kTotalRow),
              kCheck);
    s.RowHeight(kDifferenceRow, 22);

    s.Merge(("A" + std::to_string(kStatementRow) + ":C" + std::to_string(kStatementRow)).c_str(),
            "上記のとおり、帳簿残高と現金・預金等の残高を照合しました。", kPlain);
    s.RowHeight(kStatementRow, 30);
    s.Text(Cell('A', kDateRow).c_str(), "監査日　", kSignTitle);
    s.Blank(Cell('B', kDateRow).c_str(), kSignLine);
    s.RowHeight(kDateRow, 28);
    for (int row = kAuditorRow; row < kAuditorRow + kAuditorRows; ++row) {
        s.Blank(Cell('A', row).c_str(), kSignTitle);
        s.Blank(Cell('B', row).c_str(), kSignLine);
        s.Text(Cell('C', row).c_str(), "印", kSeal);
        s.RowHeight(row, 34);
    }
    s.RowHeight(kBlockLast, 18);

    const std::string area = "A1:C" + std::to_string(kBlockLast);
    // Every page (one per division) repeats the title and the closing date.
    s.Print({.area = area.c_str(), .repeatRows = "1:3", .landscape = false});
}

}  // namespace templates
