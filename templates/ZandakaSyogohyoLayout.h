#pragma once
// 残高照合表: the audit's check of the books against where the money is, one block
// (one printed page) per accounting division. The template generator lays the block
// out from these rows and the report module fills the same cells. Header only.
//
//   1      A1 year ("2025年"), B1 organisation, C1 the closing date (helper row, hidden)
//   2      title, 3 the closing date
//   4      block title: the division's name
//   5      帳簿残高: the book balance in C
//   7      headings of the places
//   8-10   the places: name in A (running over B), amount in C (grown below row 9;
//          rows no place takes stay blank, to be written in by hand)
//   11     内訳合計
//   13     差額 = 帳簿残高 - 内訳合計 (red when not 0)
//   15     the auditors' statement
//   16     監査日: the date in B
//   17-18  the auditors: title in A, name in B, 印 in C
//   19     end of the block

namespace templates::zandaka {

inline constexpr const char* kName = "残高照合表";

inline constexpr int kBlockFirst = 4;
inline constexpr int kBookRow = 5;
inline constexpr int kHeadingRow = 7;
inline constexpr int kPlaceFirst = 8;
inline constexpr int kPlaceRows = 3;
inline constexpr int kTotalRow = 11;
inline constexpr int kDifferenceRow = 13;
inline constexpr int kStatementRow = 15;
inline constexpr int kDateRow = 16;
inline constexpr int kAuditorRow = 17;
inline constexpr int kAuditorRows = 2;
inline constexpr int kBlockLast = 19;
inline constexpr int kBlockRows = kBlockLast - kBlockFirst + 1;

inline constexpr int kNameCol = 1;    // A
inline constexpr int kAmountCol = 3;  // C

static_assert(kPlaceFirst + kPlaceRows == kTotalRow && kAuditorRow + kAuditorRows <= kBlockLast);

}  // namespace templates::zandaka
