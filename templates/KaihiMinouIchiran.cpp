// 未納一覧 and 班別世帯数: who still owes dues (班, household, kind, the months, the
// amount), and the households of each 班 on a day, each with its total as the
// template's formula.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"

namespace templates {

using namespace styles;

void WriteKaihiMinouIchiran(TemplateBook& book) {
    // Detail rows 5-7, the middle one repeated, the total on row 8.
    SheetWriter s(book, "未納一覧");
    s.Columns("A:A", 10, kPlain);
    s.Columns("B:B", 18, kPlain);
    s.Columns("C:C", 14, kPlain);
    s.Columns("D:D", 30, kPlain);
    s.Columns("E:E", 12, kPlain);
    s.Merge("A1:E1", "未納一覧", kTitle);
    s.RowHeight(1, 24);
    s.Blank("A2", kBold);   // the year and the day
    s.Blank("A3", kPlain);  // the organisation
    s.Blank("E3", kRight);  // 作成日：
    const char* const headings[] = {"班", "世帯名", "会費の種別", "未納の月", "未納額"};
    for (int col = 1; col <= 5; ++col)
        s.Text(At(col, 4).c_str(), headings[col - 1], kHeading);
    for (int row = 5; row <= 7; ++row) {
        for (int col = 1; col <= 4; ++col)
            s.Blank(At(col, row).c_str(), kText);
        s.Blank(At(5, row).c_str(), kAmount);
    }
    s.Merge("A8:D8", "合計", kTotalLabel);
    s.Formula("E8", "=SUM(E5:E7)", kTotalAmount);
    s.Print({.area = "A1:E8", .repeatRows = "4:4", .landscape = false});
    s.FreezeAt("A5");
}

void WriteHanbetsuSetaisu(TemplateBook& book) {
    SheetWriter s(book, "班別世帯数");
    s.Columns("A:A", 14, kPlain);
    s.Columns("B:B", 16, kPlain);
    s.Columns("C:C", 12, kPlain);
    s.Merge("A1:C1", "班別世帯数", kTitle);
    s.RowHeight(1, 24);
    s.Blank("A2", kBold);   // the day counted
    s.Blank("A3", kPlain);  // the organisation
    s.Text("A4", "班", kHeading);
    s.Text("B4", "班長", kHeading);
    s.Text("C4", "世帯数", kHeading);
    for (int row = 5; row <= 7; ++row) {
        s.Blank(At(1, row).c_str(), kText);
        s.Blank(At(2, row).c_str(), kText);
        s.Blank(At(3, row).c_str(), kAmount);
    }
    s.Merge("A8:B8", "合計", kTotalLabel);
    s.Formula("C8", "=SUM(C5:C7)", kTotalAmount);
    s.Print({.area = "A1:C8", .repeatRows = "4:4", .landscape = false});
}

}  // namespace templates
