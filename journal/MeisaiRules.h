#pragma once
// The rules of one journal line that need no window: where a typed month-day falls
// in the fiscal year, the display filter's text, the checks a line passes before the
// year is saved, and the mirrored half a transfer line gets in another division.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "db/Value.h"

// The widths of a line's texts in characters (those of their MEISAI columns) and
// the range of an amount typed into the grid.
inline constexpr int kAiteLength = 10;
inline constexpr int kTekiyoLength = 50;
inline constexpr qint64 kAmountMin = -999999999;
inline constexpr qint64 kAmountMax = 999999999;

// The date of a typed month-day ("0315") in the fiscal year beginning on
// `kisyubi` (yyyymmdd): blanks inside read as 0; a month-day before the first
// day's belongs to the next calendar year. Empty for an empty month-day. The
// result is not checked: "0400" gives a date that does not exist.
QString MmddToHizuke(const QString& mmdd, const QString& kisyubi);

// The filter of the grid's lines: dates from and to (yyyymmdd, empty when not
// given; both ignored when the date to is not later than the date from) and an
// item (0: every item).
QString DisplayFilterText(const QString& hizukeFrom, const QString& hizukeTo, int kamoku);

// Whether `typed` names the item listed as `listed`: the whole listed name, or the
// item's own name after the receipts/payments word of an aggregated item
// ("会費" for "収入 会費").
bool IsListedNameOf(const QString& listed, const QString& typed);

// The facts of an account item that the journal uses.
struct KamokuFacts {
    int cd = 0;
    int syusiKubun = 0;   // 1 receipts, 2 payments (0 for the blank entry)
    int tokubetsuCd = 0;  // the division the item transfers with; 0 none
};

// Where the other half of a transfer goes.
struct MirrorHalf {
    int kaikeiKubun = 0;
    int kamoku = 0;
    bool operator==(const MirrorHalf&) const = default;
};

// The mirrored half of a line with `item` entered in `division`; `items` is the
// item list in its order (the second half's item is looked up there). nullopt
// when the line is written once.
std::optional<MirrorHalf> MirroredHalf(int division, const KamokuFacts& item,
                                       const std::vector<KamokuFacts>& items);

// Whether a line of `division` may take item `kamoku` (its TOKUBETSU_CD given):
// the general account (0) never takes the transfer items 3000 and 6000, a special
// account never an item that transfers with that account itself.
bool IsItemAllowedIn(int division, int kamoku, int tokubetsuCd);
// The same rule as a filter of the item list (fields CD and TOKUBETSU_CD).
QString AllowedItemsFilter(int division);

// The column a refused line is shown at.
enum class LineColumn { Hizuke, Kamoku, Syunyu };

struct LineError {
    QString message;
    LineColumn column;
};

struct LineValues {
    QString hizuke;
    db::Value kamoku;
    db::Value syunyu;
    db::Value sisyutsu;
};

// The first check a line fails before the year is saved, in this order: a date,
// a real date, within the year, an item of the list, an item allowed in the
// division, an item for an amount, not both amounts. `tokubetsuOf` gives an
// item's TOKUBETSU_CD, nullopt when the item is not in the list.
std::optional<LineError> CheckLine(const LineValues& line, const QString& kisyubi, const QString& kimatsubi,
                                   int division, const std::function<std::optional<int>(int)>& tokubetsuOf);
