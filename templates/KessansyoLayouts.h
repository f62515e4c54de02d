#pragma once
// The nine settlement statement layouts (決算書): one row of facts per template,
// in the shape of the budget statements' rows (YosansyoLayouts.h), whose
// modules and generator they reuse. Header only.
//
// The division block is the budget's (rows 4-18) and three rows more:
//
//   1      A1 fiscal year, B1 organisation, C1 period, and the report year and
//          "中間" of an interim statement in D1/E1 (F1/G1 in 決算書５-８)
//   19     収支差額: receipts total minus payments without the carry-over
//   20     a narrow gap
//   21     end of the block
//   22     settlement comment
//   23     date, organisation, the signers' title and name (one row per signer)
//   25     auditors' comment
//   26     date, the auditors' title, one row per auditor
//   28     remarks

#include "templates/YosansyoLayouts.h"

#include <array>
#include <string_view>

namespace templates::kessansyo {

using yosansyo::Family;
using yosansyo::Layout;

inline constexpr int kBalanceRow = 19;
inline constexpr int kGapRow = 20;
inline constexpr int kCopySyuryogyo = 21;
inline constexpr int kCommentRow = 22;
inline constexpr int kKaikeiSyomeigyo = 23;
inline constexpr int kKansaCommentRow = 25;
inline constexpr int kKansaSyomeigyo = 26;
inline constexpr int kBikouRow = 28;

// In the order of KessansyoList.txt: line 1 簡易決算書, 2-3 決算書１-２,
// 4-5 決算書３-４, 6-9 決算書５-８, 11-12 決算書９-１０ (the amended budget, its
// original and amendments beside the settlement; line 10, 残高照合表, is a
// layout of its own). The two column letters before
// `true` are those of the signers' and auditors' titles and names.
inline constexpr std::array<Layout, 11> kLayouts{{
    {"簡易決算書", Family::Kani, "KESSAN", "KESSAN", "", "", 0, 0, false, 6, 'D', 'E', true},
    {"決算書１", Family::Bunrui, "YOSAN", "KESSAN", "", "YOSAN", 'C', 'B', false, 8, 'F', 'G', true},
    {"決算書２", Family::Bunrui, "KESSAN", "YOSAN", "", "YOSAN", 'B', 'C', false, 8, 'F', 'G', true},
    {"決算書３", Family::Kamoku, "KESSAN", "KESSAN", "", "", 0, 0, false, 7, 'E', 'F', true},
    {"決算書４", Family::Kamoku, "KESSAN", "KESSAN", "", "", 0, 0, true, 7, 'E', 'F', true},
    {"決算書５", Family::Hikaku, "YOSAN", "KESSAN", "", "YOSAN", 'D', 'C', false, 9, 'G', 'H', true},
    {"決算書６", Family::Hikaku, "YOSAN", "KESSAN", "", "YOSAN", 'D', 'C', true, 9, 'G', 'H', true},
    {"決算書７", Family::Hikaku, "KESSAN", "YOSAN", "", "YOSAN", 'C', 'D', false, 9, 'G', 'H', true},
    {"決算書８", Family::Hikaku, "KESSAN", "YOSAN", "", "YOSAN", 'C', 'D', true, 9, 'G', 'H', true},
    {"決算書９", Family::Hosei, "TOUSYO_YOSAN", "HOSEI", "", "YOSAN", 'F', 'E', false, 10, 'H', 'I', true},
    {"決算書１０", Family::Hosei, "TOUSYO_YOSAN", "HOSEI", "", "YOSAN", 'F', 'E', true, 10, 'H', 'I', true},
}};

constexpr const Layout* FindLayout(std::string_view name) {
    for (const Layout& layout : kLayouts) {
        if (layout.name == name)
            return &layout;
    }
    return nullptr;
}

// The header cells of the report year and of "中間".
constexpr char ReportYearColumn(const Layout& layout) {
    return layout.family == Family::Hikaku || layout.family == Family::Hosei ? 'F' : 'D';
}
constexpr char CyukanColumn(const Layout& layout) {
    return char(ReportYearColumn(layout) + 1);
}

}  // namespace templates::kessansyo
