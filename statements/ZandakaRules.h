#pragma once
// Rules of 残高内訳, the places a division's money is held at a closing (cash, each
// bank account, a time deposit), checked against the books: which earlier closing a
// new one starts from, the figures beside the places, and the question asked before
// a save that leaves a difference.

#include <QString>

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

// A division whose places disagree with its books.
struct DivisionDifference {
    QString division;
    qint64 difference = 0;
};
// The question asked before a save when some division differs (empty when none).
QString DifferenceQuestion(const std::vector<DivisionDifference>& differences);

}  // namespace statements
