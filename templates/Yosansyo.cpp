// The budget statements (予算書): one division block with receipts, payments
// and the carry-over, and the footer for comment, date and signatures. Every
// layout is laid out from its row of YosansyoLayouts.h; what differs by family
// is the list of columns below.

#include "templates/LayoutStyles.h"
#include "templates/KessansyoLayouts.h"
#include "templates/Layouts.h"
#include "templates/YosansyoLayouts.h"

#include <stdexcept>
#include <vector>

namespace templates {
namespace {

using namespace styles;
using namespace yosansyo;

// What a column holds in the rows of totals.
enum class TotalRole { Label, Blank, Sum, Diff };

struct Column {
    double width;
    CellStyle detail;  // look of the detail rows
    std::string heading;
    TotalRole total;
    bool spanned;  // part of a description running over several columns (one heading for them)
};

constexpr CellStyle kName{.border = Border::Box, .shrink = true};
constexpr CellStyle kSpanFirst{.border = Border::SpanFirst};
constexpr CellStyle kSpanMiddle{.border = Border::SpanMiddle};
constexpr CellStyle kSpanLast{.border = Border::SpanLast};
constexpr CellStyle kDiff{.kind = Kind::Difference, .border = Border::Box};
constexpr CellStyle kTotalDiff{.kind = Kind::Difference, .border = Border::BoxDoubleTop, .bold = true};
constexpr CellStyle kTotalBlank{.border = Border::BoxDoubleTop};
constexpr CellStyle kTotalText{.border = Border::BoxDoubleTop, .bold = true, .shrink = true};
constexpr CellStyle kHeader{.align = LXW_ALIGN_RIGHT, .size = 10};
constexpr CellStyle kBlockTitle{.size = 11, .bold = true};

// Wide enough for a total of 13 characters in bold (2,147,483,647).
Column Amount(std::string heading) {
    return {14, kAmount, std::move(heading), TotalRole::Sum, false};
}

// The columns of a layout, A first. Widths fit the longest names the columns
// take (classification 10 characters, item 15) and, across the spanned
// columns, a description; the footer's title and name columns are wide enough
// for a title and a name.
std::vector<Column> ColumnsOf(const yosansyo::Layout& layout) {
    const std::string h1(AmountHeading(layout.kingakuField1, layout.settlement));
    const std::string h2(AmountHeading(layout.kingakuField2, layout.settlement));
    // The item's own figure: its budget, or in a settlement its settlement.
    const std::string own = layout.settlement ? "決算額" : "予算額";
    switch (layout.family) {
        case Family::Kani:
            // A settlement's signers and auditors stand in D and E.
            if (layout.settlement)
                return {
                    {26, kName, "収入の部", TotalRole::Label, false},
                    Amount(own),
                    {16, kSpanFirst, "摘　　要", TotalRole::Blank, true},
                    {12, kSpanMiddle, "", TotalRole::Blank, true},
                    {14, kSpanMiddle, "", TotalRole::Blank, true},
                    {6, kSpanMiddle, "", TotalRole::Blank, true},
                    {10, kSpanLast, "", TotalRole::Blank, true},
                };
            return {
                {26, kName, "収入の部", TotalRole::Label, false},
                Amount(own),
                {22, kSpanFirst, "摘　　要", TotalRole::Blank, true},
                {6, kSpanMiddle, "", TotalRole::Blank, true},
                {6, kSpanMiddle, "", TotalRole::Blank, true},
                {11, kSpanMiddle, "", TotalRole::Blank, true},
                {13, kSpanLast, "", TotalRole::Blank, true},
            };
        case Family::Bunrui:
            return {
                {19, kName, "収入の部", TotalRole::Label, false},
                Amount(h1),
                Amount(h2),
                {14, kDiff, "増　減", TotalRole::Diff, false},
                {22, kSpanFirst, "科目・摘要", TotalRole::Blank, true},
                {11, kSpanMiddle, "", TotalRole::Blank, true},
                {12, kSpanLast, "", TotalRole::Blank, true},
                Amount(own),
            };
        case Family::Kamoku:
            return {
                {19, kName, "収入の部", TotalRole::Label, false},
                {26, kName, "科　　目", TotalRole::Blank, false},
                Amount(own),
                {16, kSpanFirst, "摘　　要", TotalRole::Blank, true},
                {11, kSpanMiddle, "", TotalRole::Blank, true},
                {13, kSpanMiddle, "", TotalRole::Blank, true},
                {4, kSpanLast, "", TotalRole::Blank, true},
            };
        case Family::Hikaku:
            return {
                {17, kName, "収入の部", TotalRole::Label, false},
                {24, kName, "科　　目", TotalRole::Blank, false},
                Amount(h1),
                Amount(h2),
                {14, kDiff, "増　減", TotalRole::Diff, false},
                {12, kSpanFirst, "摘　　要", TotalRole::Blank, true},
                {11, kSpanMiddle, "", TotalRole::Blank, true},
                {13, kSpanMiddle, "", TotalRole::Blank, true},
                {4, kSpanLast, "", TotalRole::Blank, true},
            };
        case Family::Hosei: {
            // The original budget, the amendments and the amended budget; a
            // settlement compares its figure with the amended budget.
            std::vector<Column> columns{
                {15, kName, "収入の部", TotalRole::Label, false},
                {21, kName, "科　　目", TotalRole::Blank, false},
                Amount(layout.settlement ? "予算額" : "当初予算額"),
                Amount("補正額"),
                Amount("補正後予算額"),
            };
            if (layout.settlement) {
                columns.push_back(Amount("決算額"));
                columns.push_back({14, kDiff, "増　減", TotalRole::Diff, false});
                columns.push_back({10, kSpanFirst, "摘　　要", TotalRole::Blank, true});
                columns.push_back({10, kSpanMiddle, "", TotalRole::Blank, true});
                columns.push_back({4, kSpanLast, "", TotalRole::Blank, true});
            } else {
                columns.push_back({16, kSpanFirst, "摘　　要", TotalRole::Blank, true});
                columns.push_back({12, kSpanMiddle, "", TotalRole::Blank, true});
                columns.push_back({13, kSpanMiddle, "", TotalRole::Blank, true});
                columns.push_back({4, kSpanLast, "", TotalRole::Blank, true});
            }
            return columns;
        }
    }
    throw std::logic_error("unknown layout family");
}

std::string Row(int row) {
    return std::to_string(row);
}

std::string Cell(char col, int row) {
    return std::string(1, col) + Row(row);
}

std::string Diff(const yosansyo::Layout& layout, int row) {
    return "=" + Cell(layout.hikaku1, row) + "-" + Cell(layout.hikaku2, row);
}

// The column letter of the statement's own figure (the budget, or the
// settlement) among the two compared ones (B and C).
char OwnColumn(const yosansyo::Layout& layout) {
    return layout.kingakuField1 == (layout.settlement ? "KESSAN" : "YOSAN") ? 'B' : 'C';
}

class BlockWriter {
  public:
    BlockWriter(SheetWriter& s, const yosansyo::Layout& layout) : s_(s), layout_(layout), columns_(ColumnsOf(layout)) {}

    char LastColumn() const { return char('A' + columns_.size() - 1); }

    void SetWidths() {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const std::string col = ColumnName(int(i) + 1);
            s_.Columns((col + ":" + col).c_str(), columns_[i].width, kPlain);
        }
    }

    void Headings(int row, const std::string& section) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const Column& c = columns_[i];
            const std::string at = At(int(i) + 1, row);
            if (c.spanned && !c.heading.empty()) {
                std::size_t last = i;
                while (last + 1 < columns_.size() && columns_[last + 1].spanned && columns_[last + 1].heading.empty())
                    ++last;
                s_.Merge((at + ":" + At(int(last) + 1, row)).c_str(), c.heading, kHeading);
            } else if (!c.spanned) {
                s_.Text(at.c_str(), i == 0 ? section : c.heading, kHeading);
            }
        }
    }

    void Details(int first, int count) {
        for (int row = first; row < first + count; ++row) {
            for (std::size_t i = 0; i < columns_.size(); ++i)
                s_.Blank(At(int(i) + 1, row).c_str(), columns_[i].detail);
        }
    }

    // A totals row: the label, and per amount column `sum` of that column.
    template <typename Sum>
    void Totals(int row, const std::string& label, Sum sum) {
        for (std::size_t i = 0; i < columns_.size(); ++i) {
            const char col = char('A' + i);
            const std::string at = At(int(i) + 1, row);
            switch (columns_[i].total) {
                case TotalRole::Label:
                    s_.Text(at.c_str(), label, kTotalText);
                    break;
                case TotalRole::Blank:
                    if (columns_[i].spanned) {
                        CellStyle span = columns_[i].detail;
                        span.doubleTop = true;
                        s_.Blank(at.c_str(), span);
                    } else {
                        s_.Blank(at.c_str(), kTotalBlank);
                    }
                    break;
                case TotalRole::Sum:
                    s_.Formula(at.c_str(), sum(col), kTotalAmount);
                    break;
                case TotalRole::Diff:
                    s_.Formula(at.c_str(), Diff(layout_, row), kTotalDiff);
                    break;
            }
        }
    }

    // The carry-over row: a detail row the report fills; in the layouts with
    // an item-amount column that column repeats the budget of the carry-over.
    void CarryOver(int row) {
        Details(row, 1);
        if (layout_.family == Family::Bunrui)
            s_.Formula(Cell(LastColumn(), row).c_str(), "=" + Cell(OwnColumn(layout_), row), kAmount);
    }

  private:
    SheetWriter& s_;
    const yosansyo::Layout& layout_;
    std::vector<Column> columns_;
};

// The end of a settlement block and its footer: the year's balance, then
// comment, signers, auditors and remarks (one row each; the report repeats the
// signer and auditor rows as needed).
void WriteKessansyoEnd(SheetWriter& s, BlockWriter& block, const yosansyo::Layout& layout) {
    namespace k = kessansyo;
    const std::string last(1, block.LastColumn());
    block.Totals(k::kBalanceRow, "収支差額", [](char col) {
        return "=" + Cell(col, kSyunyuTotalRow) + "-" + Cell(col, kSisyutsuTotalRow);
    });
    s.RowHeight(k::kGapRow, 10);
    s.RowHeight(k::kCopySyuryogyo, 18);

    s.Blank(Cell('A', k::kCommentRow).c_str(), kPlain);
    for (const int row : {k::kKaikeiSyomeigyo, k::kKansaSyomeigyo}) {
        // The date stands right-aligned so that a long one runs into column A.
        s.Blank(Cell('B', row).c_str(), kRight);
        for (const char col : {layout.yakusyokuColumn, layout.daihyosyaColumn})
            s.Blank(Cell(col, row).c_str(), kPlain);
        s.RowHeight(row, 22);
    }
    s.Blank(Cell('C', k::kKaikeiSyomeigyo).c_str(), kPlain);
    s.Blank(Cell('A', k::kKansaCommentRow).c_str(), kPlain);
    s.Blank(Cell('A', k::kBikouRow).c_str(), kPlain);
    const std::string area = "A1:" + last + std::to_string(k::kBikouRow);
    s.Print({.area = area.c_str(), .repeatRows = "1:3", .landscape = false});
}

}  // namespace

void WriteYosansyo(TemplateBook& book, const yosansyo::Layout& layout) {
    SheetWriter s(book, "Sheet1");
    BlockWriter block(s, layout);
    block.SetWidths();
    const char last = block.LastColumn();
    const std::string lastCol(1, last);

    // Row 1 holds what the report writes; the title and the period show it.
    s.Blank("A1", kPlain);
    s.Blank("B1", kPlain);
    s.Blank("C1", kPlain);
    // The title, which the report replaces by the organisation's own when it has one.
    const std::string title = Cell(TitleColumn(layout), 1);
    s.Text(title.c_str(), std::string(DefaultTitle(layout)), kPlain);
    s.HiddenRow(1);
    s.Merge(("A2:" + lastCol + "2").c_str(), "", kTitle);
    s.RowHeight(2, 26);
    s.Merge(("A3:" + lastCol + "3").c_str(), "", kHeader);
    if (layout.settlement) {
        // The report year, and "中間" for an interim statement.
        const std::string year = Cell(kessansyo::ReportYearColumn(layout), 1);
        const std::string cyukan = Cell(kessansyo::CyukanColumn(layout), 1);
        s.Blank(year.c_str(), kPlain);
        s.Blank(cyukan.c_str(), kPlain);
        s.Formula("A2", "=A1&\"度　\"&B1&\"　\"&" + cyukan + "&" + title, kTitle);
        s.Formula("A3", "=" + year + "&\"報告　会計期間　\"&C1&\"　（単位：円）\"", kHeader);
    } else {
        s.Formula("A2", "=A1&\"度　\"&B1&\"　\"&" + title, kTitle);
        s.Formula("A3", "=\"会計期間　\"&C1&\"　（単位：円）\"", kHeader);
    }

    s.Blank(Cell('A', kSyunyuTitlegyo).c_str(), kBlockTitle);
    s.RowHeight(kSyunyuTitlegyo, 20);
    block.Headings(kSyunyuHeadingRow, "収入の部");
    block.Details(kSyunyuKaisigyo, kMeisaiGyosu);
    // SUBTOTAL leaves the classifications' subtotal rows out of the section totals.
    const auto sectionSum = [](int first, int lastRow) {
        return [first, lastRow](char col) {
            return "=SUBTOTAL(9," + Cell(col, first) + ":" + Cell(col, lastRow) + ")";
        };
    };
    block.Totals(kSyunyuTotalRow, "収入合計", sectionSum(kSyunyuKaisigyo, kSyunyuTotalRow - 1));
    s.RowHeight(kSyunyuTotalRow + 1, 10);
    block.Headings(kSisyutsuHeadingRow, "支出の部");
    block.Details(kSisyutsuKaisigyo, kMeisaiGyosu);
    block.Totals(kSisyutsuTotalRow, "支出計", sectionSum(kSisyutsuKaisigyo, kSisyutsuTotalRow - 1));
    block.CarryOver(kJikiKurikosigyo);
    block.Totals(kSisyutsuSyuryogyo, "支出合計", [](char col) {
        return "=" + Cell(col, kSisyutsuTotalRow) + "+N(" + Cell(col, kJikiKurikosigyo) + ")";
    });
    if (layout.settlement) {
        WriteKessansyoEnd(s, block, layout);
        return;
    }
    s.RowHeight(kCopySyuryogyo, 18);

    // Footer: filled by the report when the budget prints its signature block.
    s.Blank(Cell('A', kCommentRow).c_str(), kPlain);
    // The date stands right-aligned so that a long one runs into the empty
    // column A instead of under the signature's organisation name.
    s.Blank(Cell('B', kSignatureRow).c_str(), kRight);
    for (const char col : {'C', layout.yakusyokuColumn, layout.daihyosyaColumn})
        s.Blank(Cell(col, kSignatureRow).c_str(), kPlain);
    s.RowHeight(kSignatureRow, 22);
    s.Blank(Cell('A', kBikouRow).c_str(), kPlain);

    const std::string area = "A1:" + Cell(last, kBikouRow);
    // Every page (one per division) repeats the title and the period.
    s.Print({.area = area.c_str(), .repeatRows = "1:3", .landscape = false});
}

}  // namespace templates
