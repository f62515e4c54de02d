// 科目分類／科目登録用紙: the blank form on which a treasurer plans the
// classifications and the account items on paper before typing them in. The
// program only opens it; the grey rows show how a line is filled in.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"

#include <array>
#include <string>

namespace templates {
namespace {

using namespace styles;

constexpr CellStyle kCell{.border = Border::Box, .size = 11};
constexpr CellStyle kExample{.border = Border::Box, .size = 11, .grey = true};
constexpr CellStyle kBandTitle{.size = 12, .bold = true};

constexpr int kBunruiRows = 14;
constexpr int kKamokuRows = 30;

// One table: the band title, the headings (A..H, an empty heading joins the
// cell to its left), the example rows in grey and the blank rows to fill in.
int Table(SheetWriter& s, int row, const std::string& title, const std::array<std::string, 8>& headings,
          const std::vector<std::array<std::string, 8>>& examples, int blanks) {
    s.Text(At(1, row).c_str(), title, kBandTitle);
    s.RowHeight(row, 20);
    ++row;
    const auto span = [&](int r, const std::array<std::string, 8>& texts, const CellStyle& style) {
        for (int c = 0; c < 8;) {
            int last = c;
            while (last + 1 < 8 && headings[std::size_t(last + 1)].empty())
                ++last;
            const std::string range = At(c + 1, r) + ":" + At(last + 1, r);
            if (last > c)
                s.Merge(range.c_str(), texts[std::size_t(c)], style);
            else if (texts[std::size_t(c)].empty())
                s.Blank(At(c + 1, r).c_str(), style);
            else
                s.Text(At(c + 1, r).c_str(), texts[std::size_t(c)], style);
            c = last + 1;
        }
        s.RowHeight(r, 21);
    };
    span(row++, headings, kHeading);
    for (const auto& example : examples)
        span(row++, example, kExample);
    const std::array<std::string, 8> empty{};
    for (int i = 0; i < blanks; ++i)
        span(row++, empty, kCell);
    return row;
}

}  // namespace

void WriteTorokuYousi(TemplateBook& book) {
    SheetWriter s(book, "Sheet1");
    const std::array<double, 8> widths{8, 22, 10, 15, 15, 9, 9, 12};
    for (std::size_t i = 0; i < widths.size(); ++i) {
        const std::string col = ColumnName(int(i) + 1);
        s.Columns((col + ":" + col).c_str(), widths[i], kPlain);
    }
    s.Merge("A1:H1", "科目分類・科目（集計項目）登録用紙", kTitle);
    s.RowHeight(1, 26);
    s.Merge("A2:H2", "灰色の行は記入例です。登録する科目分類と科目を書き出してから入力してください。", kNote);

    int row = Table(s, 4, "科目分類",
                    {"コード", "科目分類名", "収支区分", "決算書に出力", "表示順", "備考", "", ""},
                    {{"11", "会費収入", "収入", "する", "1", "", "", ""},
                     {"21", "事業費", "支出", "する", "3", "", "", ""}},
                    kBunruiRows - 2);
    row = Table(s, row + 1, "科目（集計項目）",
                {"コード", "科目名", "収支区分", "科目分類", "会計区分", "開始年度", "終了年度", "備考"},
                {{"1101", "一般会費", "収入", "会費収入", "一般会計", "2024", "", ""},
                 {"2101", "祭礼費", "支出", "事業費", "祭礼特別会計", "2024", "", ""},
                 {"2102", "記念行事費", "支出", "事業費", "一般会計", "2024", "2025", "２年間のみ"}},
                kKamokuRows - 3);
    const std::string area = "A1:H" + std::to_string(row - 1);
    s.Print({.area = area.c_str(), .repeatRows = nullptr, .landscape = false});
}

}  // namespace templates
