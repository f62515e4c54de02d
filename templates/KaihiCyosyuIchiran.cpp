// 会費徴収一覧: one 班's households by month for one kind of dues, the paid amounts
// and 未 where a month is owed and not paid; the households' totals and the 班's
// totals are the template's formulas. The report copies the sheet once per 班.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"

namespace templates {

using namespace styles;

void WriteKaihiCyosyuIchiran(TemplateBook& book) {
    constexpr int kFirstMonthCol = 2;  // B
    constexpr int kLastMonthCol = 13;  // M
    constexpr int kTotalCol = 14;      // N
    // Detail rows 5-7, the middle one repeated: the rows a report inserts land inside
    // the totals' ranges.
    constexpr int kFirstRow = 5;
    constexpr int kTotalRow = 8;
    const char* const months[] = {"4月",  "5月",  "6月",  "7月", "8月", "9月",
                                  "10月", "11月", "12月", "1月", "2月", "3月"};

    SheetWriter s(book, "会費徴収一覧");
    s.Columns("A:A", 18, kPlain);
    s.Columns("B:M", 8, kPlain);
    s.Columns("N:N", 11, kPlain);
    s.Merge("A1:N1", "会費徴収一覧", kTitle);
    s.RowHeight(1, 24);
    s.Blank("A2", kBold);   // year, kind, 班 and 班長
    s.Blank("A3", kPlain);  // the organisation
    s.Blank("N3", kRight);  // 作成日：
    s.Text("A4", "世帯名", kHeading);
    for (int col = kFirstMonthCol; col <= kLastMonthCol; ++col)
        s.Text(At(col, 4).c_str(), months[col - kFirstMonthCol], kHeading);
    s.Text(At(kTotalCol, 4).c_str(), "計", kHeading);
    for (int row = kFirstRow; row < kTotalRow; ++row) {
        s.Blank(At(1, row).c_str(), kText);
        for (int col = kFirstMonthCol; col <= kLastMonthCol; ++col)
            s.Blank(At(col, row).c_str(), kAmount);
        const std::string amounts = At(kFirstMonthCol, row) + ":" + At(kLastMonthCol, row);
        s.Formula(At(kTotalCol, row).c_str(), "=IF(COUNT(" + amounts + ")=0,\"\",SUM(" + amounts + "))",
                  kAmount);
    }
    s.Text(At(1, kTotalRow).c_str(), "班計", kTotalLabel);
    for (int col = kFirstMonthCol; col <= kTotalCol; ++col)
        s.Formula(At(col, kTotalRow).c_str(),
                  "=SUM(" + At(col, kFirstRow) + ":" + At(col, kTotalRow - 1) + ")", kTotalAmount);
    s.Text("A10", "「未」は納付のない月です。空欄は会費のかからない月(入会前・退会後・免除・他の班)です。",
           kNote);
    s.Print({.area = "A1:N10", .repeatRows = "4:4", .landscape = true});
    s.FreezeAt("B5");
}

}  // namespace templates
