#pragma once
// The fifteen budget statement layouts (予算書): one row of facts per template.
// The template generator lays each sheet out from its row, and the statement
// modules take the same row for the cells they fill, so that a layout is data
// shared by both sides rather than a class of its own. Header only: the report
// library reads it without linking the generator.
//
// Every layout has one division block (rows 4-19) and a footer below it:
//
//   1      A1 year, B1 organisation, C1 period (helper row, hidden; row 2 shows the title)
//   4      block title: the division's name in column A
//   5      column headings of the receipts
//   6-8    receipts detail rows (the report grows them below row 7)
//   9      receipts total
//   12     column headings of the payments
//   13-15  payments detail rows
//   16     payments total without the carry-over
//   17     carry-over to the next year (次期繰越金)
//   18     payments total with the carry-over (hidden with row 17)
//   19     end of the block
//   20-23  comment, date and signatures, remarks

#include <array>
#include <string_view>

namespace templates::yosansyo {

// What a detail line shows; each kind is served by one statement module.
enum class Family {
    Kani,    // 簡易予算書: item, amount, description
    Bunrui,  // 予算書１-４: classification totals and difference, item with description, item amount
    Kamoku,  // 予算書５, ６: classification, item, amount, description
    Hikaku,  // 予算書７-１４: classification, item, two amounts, difference, description
    // An amended budget: classification, item, the original budget, the amendments'
    // sum and the amended budget (a settlement adds its figure and the difference),
    // description.
    Hosei,
};

inline constexpr int kSyunyuTitlegyo = 4;
inline constexpr int kSyunyuKaisigyo = 6;
inline constexpr int kSisyutsuKaisigyo = 13;
inline constexpr int kJikiKurikosigyo = 17;
inline constexpr int kSisyutsuSyuryogyo = 18;
inline constexpr int kCopySyuryogyo = 19;
inline constexpr int kMeisaiGyosu = 3;
inline constexpr int kKaisiRetsu = 1;
inline constexpr int kRecGyo = 1;

inline constexpr int kSyunyuHeadingRow = 5;
inline constexpr int kSyunyuTotalRow = 9;
inline constexpr int kSisyutsuHeadingRow = 12;
inline constexpr int kSisyutsuTotalRow = 16;
inline constexpr int kCommentRow = 20;
inline constexpr int kSignatureRow = 21;
inline constexpr int kBikouRow = 23;

struct Layout {
    std::string_view name;  // Templatemei; the file is Template/<name>.xltx
    Family family;
    // Columns of the work rows: printed first and second amount, the comparison
    // figure's column in the statement's queries (empty when there is none).
    std::string_view kingakuField1;
    std::string_view kingakuField2;
    std::string_view zennenField;
    std::string_view hikakuField;
    // Difference = column hikaku1 - column hikaku2 (0 when the layout has none).
    char hikaku1;
    char hikaku2;
    bool subtotals;   // "（小    計）" rows below classifications with several items
    int syuryoretsu;  // last detail column written
    // Columns of the budget representative's title and name in the signature
    // row; in a settlement statement those of every signer and auditor.
    char yakusyokuColumn;
    char daihyosyaColumn;
    // A settlement statement (決算書, templates/KessansyoLayouts.h): the figure it
    // is about is the settlement, its block is longer and its footer carries the
    // signatures and the auditors' confirmation.
    bool settlement = false;
};

// In the order of YosansyoList.txt: line 1 簡易予算書, 2-5 予算書１-４, 6-7 予算書５-６, 8-15 予算書７-１４,
// 16 補正予算書. The amendment statements read the columns their queries name
// TOUSYO_YOSAN (the original budget), HOSEI and HOSEIGO (ExlYosansyoUnit.h).
inline constexpr std::array<Layout, 16> kLayouts{{
    {"簡易予算書", Family::Kani, "YOSAN", "YOSAN", "", "", 0, 0, false, 6, 'F', 'G'},
    {"予算書１", Family::Bunrui, "YOSAN", "KESSAN", "KESSAN", "ZENNEN_KESSAN", 'B', 'C', false, 8, 'F', 'G'},
    {"予算書２", Family::Bunrui, "YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", 'B', 'C', false, 8,
     'F', 'G'},
    {"予算書３", Family::Bunrui, "KESSAN", "YOSAN", "KESSAN", "ZENNEN_KESSAN", 'C', 'B', false, 8, 'F', 'G'},
    {"予算書４", Family::Bunrui, "ZENNEN_YOSAN", "YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", 'C', 'B', false, 8,
     'F', 'G'},
    {"予算書５", Family::Kamoku, "YOSAN", "YOSAN", "", "", 0, 0, false, 7, 'E', 'F'},
    {"予算書６", Family::Kamoku, "YOSAN", "YOSAN", "", "", 0, 0, true, 7, 'E', 'F'},
    {"予算書７", Family::Hikaku, "YOSAN", "KESSAN", "KESSAN", "ZENNEN_KESSAN", 'C', 'D', false, 9, 'G', 'H'},
    {"予算書８", Family::Hikaku, "YOSAN", "KESSAN", "KESSAN", "ZENNEN_KESSAN", 'C', 'D', true, 9, 'G', 'H'},
    {"予算書９", Family::Hikaku, "YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", 'C', 'D', false, 9,
     'G', 'H'},
    {"予算書１０", Family::Hikaku, "YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", 'C', 'D', true, 9,
     'G', 'H'},
    {"予算書１１", Family::Hikaku, "KESSAN", "YOSAN", "KESSAN", "ZENNEN_KESSAN", 'D', 'C', false, 9, 'G',
     'H'},
    {"予算書１２", Family::Hikaku, "KESSAN", "YOSAN", "KESSAN", "ZENNEN_KESSAN", 'D', 'C', true, 9, 'G', 'H'},
    {"予算書１３", Family::Hikaku, "ZENNEN_YOSAN", "YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", 'D', 'C', false,
     9, 'G', 'H'},
    {"予算書１４", Family::Hikaku, "ZENNEN_YOSAN", "YOSAN", "ZENNEN_YOSAN", "ZENNEN_YOSAN", 'D', 'C', true, 9,
     'G', 'H'},
    {"補正予算書", Family::Hosei, "TOUSYO_YOSAN", "HOSEI", "", "HOSEI", 0, 0, false, 9, 'G', 'H'},
}};

// The layout named `name`, or nullptr.
constexpr const Layout* FindLayout(std::string_view name) {
    for (const Layout& layout : kLayouts) {
        if (layout.name == name)
            return &layout;
    }
    return nullptr;
}

// The column of 増減 in the detail and total rows (0 when the layout has none).
constexpr char DiffColumn(const Layout& layout) {
    switch (layout.family) {
        case Family::Bunrui:
            return 'D';
        case Family::Hikaku:
            return 'E';
        case Family::Hosei:
            return layout.settlement ? 'G' : 0;
        default:
            return 0;
    }
}

// The hidden cell of row 1 that holds the statement's title; row 2 prints it
// after the year and the organisation. A settlement's stands past its report
// year and "中間" (templates/KessansyoLayouts.h).
constexpr char TitleColumn(const Layout& layout) {
    if (!layout.settlement)
        return 'D';
    return layout.family == Family::Hikaku || layout.family == Family::Hosei ? 'H' : 'F';
}

// The title the template carries, printed unless the organisation set its own.
constexpr std::string_view DefaultTitle(const Layout& layout) {
    if (layout.settlement)
        return "収支決算書";
    return layout.family == Family::Hosei ? "収支補正予算書" : "収支予算書";
}

// The column headings of an amount column by the work-row column it prints.
constexpr std::string_view AmountHeading(std::string_view field, bool settlement = false) {
    if (settlement)
        return field == "KESSAN" ? "決算額" : "予算額";
    if (field == "KESSAN")
        return "前年度決算額";
    if (field == "ZENNEN_YOSAN")
        return "前年度予算額";
    return "本年度予算額";
}

}  // namespace templates::yosansyo
