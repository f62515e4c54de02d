#pragma once
// The settlement's rules that need no window: the amounts of a year's settlement
// lines from its budget and journal, the carry-over to the next year, the closing
// date of an interim settlement, and the default texts of the signature tab.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// One work row of the settlement (one division and item).
struct KessanWorkRow {
    int kaikeiKubun = 0;
    int kamoku = 0;
    int syusiKubun = 0;  // 0 when the item is no longer known
    std::optional<qint64> yosan, kessan;
    bool added = false;  // made by the load (not a saved line)
    bool operator==(const KessanWorkRow&) const = default;
};
struct KessanYosanRow {  // a saved budget line of the year
    int kaikeiKubun = 0;
    int kamoku = 0;
    std::optional<qint64> yosan;
};
struct KessanMeisaiSum {  // the journal, summed per division and item
    int kaikeiKubun = 0;
    int kamoku = 0;
    std::optional<qint64> syunyu, sisyutsu;
};
struct KessanAmounts {
    std::vector<KessanWorkRow> rows;  // as they become, added rows last
    QString error;                    // not empty: the load fails with it
};

// Fills the settlement amounts into `rows` (the saved lines): every budget line's
// amount as 予算額 (item 100, the carry-over from the previous year, is settled at
// its budget), every journal sum as 決算額 (receipts minus payments on a receipts
// item, payments minus receipts otherwise), then per division the carry-over to
// the next year (item 8000): the receipts less the payments of every other line.
// A division and item without a row gets one; `kindOfItem` gives the kind of an
// item of the account list (nullopt: not listed, and the load fails).
KessanAmounts SettleYear(std::vector<KessanWorkRow> rows, const std::vector<KessanYosanRow>& yosan,
                         const std::vector<KessanMeisaiSum>& meisai,
                         const std::function<std::optional<int>(int kamoku)>& kindOfItem);

// A line may be deleted only while it has no amount (a saved description of an
// item that no longer has a budget or journal amount).
bool KessanLineDeletable(const std::optional<qint64>& yosan, const std::optional<qint64>& kessan);

// The closing date (yyyymmdd) of an interim settlement from the month and day
// typed ("mmdd", blanks where nothing was typed) and the year's first day
// (yyyymmdd): the first date on or after the first day with that month and day.
// Empty when nothing was typed.
QString SimebiOf(const QString& monthDay, const QString& kisyubi);

// Why a closing date cannot be loaded (the message), or nullopt.
std::optional<QString> SimebiError(const QString& simebi, const QString& kimatsubi);

// The default texts of the settlement's signature tab.
struct KessanTexts {
    QString comment;      // KESSAN_COMMENT
    QString hizuke;       // KESSAN_HIZUKE
    QString kansaHizuke;  // KANSA_HIZUKE
};
inline const QString kKansaComment = QStringLiteral("会計監査の結果、上記の通り相違ないことを報告します。");

// The year-end settlement of `year`, first day `kisyubi`, last day `kimatsubi`
// (yyyymmdd; a last day that is not a number counts 0).
KessanTexts KessanDefaultTexts(int year, const QString& kisyubi, const QString& kimatsubi, int nengoKubun);
// The interim settlement up to `simebi` (yyyymmdd); the audit date is left blank.
KessanTexts CyukanKessanDefaultTexts(const QString& simebi, int nengoKubun);
