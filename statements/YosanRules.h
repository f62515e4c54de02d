#pragma once
// The budget's rules that need no window: the computed lines (reserve fund and
// carry-over to the next year), which items a division starts with, the checks a
// budget line passes when it is posted, the signature tab's default texts, and the
// arithmetic of the import from the previous year.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "db/Value.h"

// The three amounts of a total line (empty sums count 0).
struct YosanSums {
    qint64 yosan = 0;
    qint64 zennenYosan = 0;
    qint64 zennenKessan = 0;
};

// The reserve fund (item 7000) takes up what the receipts leave after the ordinary
// payments and the carry-over to the next year: I - S - C, for this year's budget
// and the previous year's. May be negative.
struct Yobihi {
    qint64 yosan = 0;
    qint64 zennenYosan = 0;
    bool operator==(const Yobihi&) const = default;
};
Yobihi YobihiOf(const YosanSums& syunyuGokei, const YosanSums& syokei, const YosanSums& jikiKurikosi);

// The previous year's carry-over to the next year (item 8000): its receipts less
// its payments other than item 8000 (支出小計).
qint64 JikiKurikosiZennenKessan(const YosanSums& syunyuGokei, const YosanSums& sisyutsuSyokei);

// Whether a division's default rows include `kamoku`: the carry-overs and the
// reserve fund always, in the general account every other item but the transfers
// 3000/6000, in a special division only those two; and always only an item valid
// in `year` (an empty start reads 0, an empty or 0 end 9999).
bool TakesDefaultRow(int kamoku, int division, int year, const db::Value& kaisiNendo,
                     const db::Value& syuryoNendo);

// A new line nobody filled in: no item, no amounts, no description, order still 99.
struct YosanLine {
    db::Value kamoku, yosan, zennenYosan, zennenKessan, tekiyo, junjyo;
};
bool IsBlankNewLine(const YosanLine& line);

// The checks of a posted budget line, in order; the first failure's message.
struct YosanLineCheck {
    int kamoku = 0;                  // 0 when none
    std::optional<int> tokubetsuCd;  // the item's, nullopt when not in the account list
    int division = 0;                // the division shown
    bool kamokuUnchanged = false;    // an edited line whose item stayed
    bool kamokuElsewhereInDivision = false;
};
std::optional<QString> CheckYosanLine(const YosanLineCheck& line);

// The default texts of the budget's signature block for `year`, whose first day is
// `kisyubi` (yyyymmdd as a number; only its month and day are used).
struct YosanTexts {
    QString comment;  // YOSAN_COMMENT
    QString hizuke;   // YOSAN_HIZUKE
};
YosanTexts YosanDefaultTexts(int year, int kisyubi, int nengoKubun);

// --- The import from the previous year, on the window's work rows of every division.

struct YosanWorkRow {
    int kaikeiKubun = 0;
    int kamoku = 0;
    int syusiKubun = 0;  // 0 when unknown
    std::optional<qint64> yosan, zennenYosan, zennenKessan;
    bool added = false;  // made by the import
    bool operator==(const YosanWorkRow&) const = default;
};
struct ZennenYosanRow {  // the previous year's saved budget
    int kaikeiKubun = 0;
    int kamoku = 0;
    std::optional<qint64> yosan;
};
struct ZennenMeisaiSum {  // the previous year's journal, summed per division and item
    int kaikeiKubun = 0;
    int kamoku = 0;
    std::optional<qint64> syunyu, sisyutsu;
};
struct ZennenImport {
    std::vector<YosanWorkRow> rows;  // the work rows as they become, added ones last
    QString error;                   // not empty: the import fails with it
};
// `kindOfItem` gives the receipts/payments kind of an item of the account list,
// nullopt for an item that is not in it (a row for it cannot be added).
ZennenImport ImportZennen(std::vector<YosanWorkRow> rows, const std::vector<ZennenYosanRow>& zennenYosan,
                          const std::vector<ZennenMeisaiSum>& zennenMeisai,
                          const std::function<std::optional<int>(int kamoku)>& kindOfItem);

// The carry-over into this year of an item outside the statements: its carry-over
// into the previous year plus its net in the previous year's journal.
qint64 ZennenKurikosiOf(int syusiKubun, const db::Value& kurikosi, const db::Value& syunyu,
                        const db::Value& sisyutsu);
