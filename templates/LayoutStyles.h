#pragma once
// The cell styles the layouts share, and helpers for cell addresses.

#include "templates/TemplateBook.h"

#include <string>

namespace templates::styles {

using Border = CellStyle::Border;
using Kind = CellStyle::Kind;

inline constexpr CellStyle kPlain{};
inline constexpr CellStyle kTitle{.align = LXW_ALIGN_CENTER, .size = 14, .bold = true};
inline constexpr CellStyle kBold{.size = 11, .bold = true};
inline constexpr CellStyle kNote{.size = 9};
inline constexpr CellStyle kRight{.align = LXW_ALIGN_RIGHT};
inline constexpr CellStyle kHeading{
    .border = Border::Box, .align = LXW_ALIGN_CENTER, .bold = true, .heading = true};
inline constexpr CellStyle kBand{.border = Border::Box, .bold = true, .heading = true};
inline constexpr CellStyle kText{.border = Border::Box, .shrink = true};
inline constexpr CellStyle kDate{.kind = Kind::Date, .border = Border::Box, .align = LXW_ALIGN_CENTER};
inline constexpr CellStyle kAmount{.kind = Kind::Amount, .border = Border::Box};
inline constexpr CellStyle kTotalLabel{
    .border = Border::BoxDoubleTop, .align = LXW_ALIGN_CENTER, .bold = true, .shrink = true};
inline constexpr CellStyle kTotalAmount{.kind = Kind::Amount, .border = Border::BoxDoubleTop, .bold = true};
inline constexpr CellStyle kHidden{.kind = Kind::Hidden};

// "C12" from 1-based column and row.
inline std::string At(int col, int row) {
    return ColumnName(col) + std::to_string(row);
}

}  // namespace templates::styles
