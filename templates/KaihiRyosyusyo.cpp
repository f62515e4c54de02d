// 領収書: one slip to be cut out, which the report repeats for each payment (see
// RyosyusyoLayout.h). Every text of the slip is written by the report; the
// template gives the slip its shape: merged cells, row heights, lines and fonts.

#include "templates/LayoutStyles.h"
#include "templates/Layouts.h"
#include "templates/RyosyusyoLayout.h"

#include <string>

namespace templates {

using namespace styles;
namespace slip = ryosyusyo;

void WriteKaihiRyosyusyo(TemplateBook& book) {
    constexpr CellStyle kTitleStyle{.align = LXW_ALIGN_CENTER, .size = 18, .bold = true};
    constexpr CellStyle kReissueStyle{.size = 10, .bold = true};
    constexpr CellStyle kNumberStyle{.align = LXW_ALIGN_RIGHT, .size = 10};
    constexpr CellStyle kAtenaStyle{.border = Border::Under, .size = 14};
    constexpr CellStyle kFiguresStyle{
        .border = Border::Box, .align = LXW_ALIGN_CENTER, .size = 20, .bold = true};
    constexpr CellStyle kWordsStyle{.align = LXW_ALIGN_CENTER, .size = 11};
    constexpr CellStyle kLineStyle{.size = 11};
    constexpr CellStyle kIssuerStyle{.align = LXW_ALIGN_RIGHT, .size = 11};
    constexpr CellStyle kCutStyle{.border = Border::CutLine};
    // Three slips with their spaces fit an A4 page with room to spare, so that a
    // page break only ever falls where the report puts one.
    constexpr double kHeights[slip::kSlipRows] = {34, 18, 28, 10, 36, 22, 20, 20, 20, 20, 12};

    SheetWriter s(book, slip::kName);
    s.Columns("A:A", 6, kPlain);
    s.Columns("B:E", 15, kPlain);
    s.Columns("F:F", 12, kPlain);
    const auto row = [](int slipRow) { return std::to_string(slipRow + 1); };
    const auto range = [&](const char* from, const char* to, int slipRow) {
        return std::string(from) + row(slipRow) + ":" + to + row(slipRow);
    };
    s.Merge(range("A", "F", slip::kTitle).c_str(), "", kTitleStyle);
    s.Merge(range("A", "C", slip::kNumber).c_str(), "", kReissueStyle);
    s.Merge(range("E", "F", slip::kNumber).c_str(), "", kNumberStyle);
    s.Merge(range("A", "D", slip::kAtena).c_str(), "", kAtenaStyle);
    s.Merge(range("B", "E", slip::kKingaku).c_str(), "", kFiguresStyle);
    s.Merge(range("B", "E", slip::kDaiji).c_str(), "", kWordsStyle);
    s.Merge(range("A", "F", slip::kTadashi).c_str(), "", kLineStyle);
    s.Merge(range("A", "F", slip::kStatement).c_str(), "", kLineStyle);
    s.Merge(range("A", "C", slip::kHizuke).c_str(), "", kLineStyle);
    s.Merge(range("D", "F", slip::kHizuke).c_str(), "", kIssuerStyle);
    s.Merge(range("D", "F", slip::kUketori).c_str(), "", kIssuerStyle);
    s.Merge(range("A", "F", slip::kSlipRows - 1).c_str(), "", kCutStyle);
    for (int r = 0; r < slip::kSlipRows; ++r)
        s.RowHeight(r + 1, kHeights[r]);
    s.RowHeight(slip::kSlipRows + 1, 4);
    const std::string area = "A1:F" + std::to_string(slip::kSlipRows + 1);
    s.Print({.area = area.c_str(), .repeatRows = nullptr, .landscape = false, .pageNumbers = false});
}

}  // namespace templates
