#pragma once
// Rules of 残高内訳, the places a division's money is held at a closing (cash, each
// bank account, a time deposit), checked against the books: which earlier closing a
// new one starts from, the figures beside the places, and the question asked before
// a save that leaves a difference.

#include <QString>

#include <map>
#include <optional>
#include <vector>

namespace statements {

// A closing: the year-end settlement of `nendo` (empty `simebi`) or its interim
// settlement at `simebi` (yyyymmdd), as ZANDAKA_UCHIWAKE keys them.
struct ClosingKey {
    int nendo = 0;
    QString simebi;
    bool operator==(const ClosingKey&) const = default;
};

// The closing whose places a closing never saved starts from: the latest of `saved`
// before `current`, by year, then by date, a year-end after every interim of its
// year. nullopt when none is earlier.
std::optional<ClosingKey> PreviousClosing(const std::vector<ClosingKey>& saved, const ClosingKey& current);

// One place as the tab holds it: its name and its amount (nullopt: none typed).
struct Place {
    QString name;
    std::optional<qint64> amount;
};

// The places of a closing per division (KAIKEI_KUBUN), in their order.
using PlacesByDivision = std::map<int, std::vector<Place>>;

// A place row kept by 保存: one with a name (trimmed) or an amount.
bool IsKeptPlace(const Place& place);

// The figures beside a division's places.
struct ZandakaFigures {
    qint64 book = 0;        // 帳簿残高
    qint64 places = 0;      // 内訳合計
    qint64 difference = 0;  // 差額 = 帳簿残高 - 内訳合計
    // Whether the division's places are to be checked at all: some place has an
    // amount (names alone, as offered from the previous closing, are not an answer).
    bool entered = false;
};
ZandakaFigures Reconcile(qint64 book, const std::vector<Place>& places);

// The 残高内訳 block a settlement statement prints under its carry-over: the places
// and their total, and, when that total is not the carry-over, the two reasons it
// can differ, so that the block still ends at the carry-over.
struct BalanceBlock {
    std::vector<Place> places;  // the places with an amount, in order
    qint64 total = 0;           // their sum
    // The money held for items outside the statements (預り金 and the like): in the
    // book balance, not in the carry-over. book - carryOver.
    qint64 outside = 0;
    // What the places do not account for: total - book (the 残高照合表 shows it).
    qint64 unexplained = 0;
    qint64 carryOver = 0;
    // Whether the block closes with a line of the carry-over (total is not it).
    bool EndsWithCarryOver() const { return outside != 0 || unexplained != 0; }
};
// nullopt when the division has no place with an amount: nothing to print.
std::optional<BalanceBlock> MakeBalanceBlock(const std::vector<Place>& places, qint64 book, qint64 carryOver);

// A division whose places disagree with its books.
struct DivisionDifference {
    QString division;
    qint64 difference = 0;
};
// The question asked before a save when some division differs (empty when none).
QString DifferenceQuestion(const std::vector<DivisionDifference>& differences);

}  // namespace statements
