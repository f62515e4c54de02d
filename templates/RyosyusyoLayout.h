#pragma once
// 領収書: receipts to be cut apart, one slip per payment, three to an A4 page. The
// template holds one slip (rows 1-11, columns A-F) that the report repeats per
// payment, and a page break after every third slip keeps each slip whole on its
// page. The template generator lays the slip out from these rows and the report
// module fills the same cells. Header only.
//
//   1   title 領　収　書 (A-F)
//   2   再発行 on a reprint (A-C), the receipt number (E-F)
//   3   the household, 様 (A-D, underlined)
//   4   space
//   5   the amount in figures, boxed (B-E)
//   6   the amount in words (B-E)
//   7   what it is for: 但し　… として (A-F)
//   8   上記の金額を正に領収いたしました。 (A-F)
//   9   the day it was paid (A-C), the organisation (D-F)
//   10  who received it (D-F)
//   11  space, with the dashed cut line under it
//   12  below the slips (inside the print area, so that it grows with them)

namespace templates::ryosyusyo {

inline constexpr const char* kName = "領収書";

inline constexpr int kSlipRows = 11;
inline constexpr int kSlipsPerPage = 3;
inline constexpr int kLastCol = 6;  // F

// Rows within a slip, 0-based.
inline constexpr int kTitle = 0;
inline constexpr int kNumber = 1;
inline constexpr int kAtena = 2;
inline constexpr int kKingaku = 4;
inline constexpr int kDaiji = 5;
inline constexpr int kTadashi = 6;
inline constexpr int kStatement = 7;
inline constexpr int kHizuke = 8;
inline constexpr int kUketori = 9;

}  // namespace templates::ryosyusyo
