#pragma once
// Rules the budget, settlement and interim windows share that need no window: the
// item lists each grid offers, how a journal sum becomes an item's amount, the index
// over a year's work rows, and the era and year the statements' default texts speak
// of.

#include <QString>

#include "db/Value.h"

#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

// The filter of a grid's item list: items of `syusiKubun` (1 receipts, 2 payments),
// for payments only codes below `paymentsBelow` (the computed lines stay out), and
// in the general account (division 0) no transfer items 3000/6000, in a special
// division none of the items that transfer with that very division.
QString KamokuListFilter(int syusiKubun, int division, int paymentsBelow);

// What a journal sum means for an item: receipts minus payments for a receipts
// item (kind 1), payments minus receipts for any other kind.
qint64 SignedNet(int syusiKubun, qint64 syunyu, qint64 sisyutsu);

// +amount for a receipts item (kind 1), -amount for any other kind.
qint64 SignedAmount(int syusiKubun, qint64 amount);

// An amount the window computed, as the INTEGER column stores it; nullopt when it
// does not fit (a figure that would be silently cut must not be written).
std::optional<int> AsStoredAmount(qint64 amount);
// The same for a line of `kamoku`: NULL for no amount; one that does not fit is
// refused with "科目コード[n]の金額が計算できる範囲を超えています。".
db::Value StoredAmount(const std::optional<qint64>& amount, int kamoku);

// An amount column's value (nullopt for NULL), and an integer column's (0 for NULL).
std::optional<qint64> AmountOf(const db::Value& v);
int IntOf(const db::Value& v);

// The era name and year in which a statement text names the date `yyyymmdd`:
// with `nengoKubun` other than 0 the Japanese era and its year, otherwise no era
// and the Western year.
struct EraYear {
    QString era;
    int year = 0;
};
EraYear StatementEraYear(int yyyymmdd, int nengoKubun);

// A year's work rows (anything with kaikeiKubun and kamoku) found by division and
// item, and added where missing, as the budget's import and the settlement compute
// them. `kindOfItem` gives the receipts/payments kind of an item of the account list
// (nullopt: not listed); `makeRow(division, kamoku, kind)` builds a row to add.
// Indexes stay valid as rows are added; a pointer returned is valid until the next
// row is added.
template <class Row>
class StatementRowIndex {
  public:
    using KindOfItem = std::function<std::optional<int>(int kamoku)>;
    using MakeRow = std::function<Row(int division, int kamoku, int kind)>;

    StatementRowIndex(std::vector<Row>& rows, KindOfItem kindOfItem, MakeRow makeRow)
        : rows_(rows), kindOfItem_(std::move(kindOfItem)), makeRow_(std::move(makeRow)) {
        for (std::size_t i = 0; i < rows_.size(); ++i)
            at_.emplace(std::pair{rows_[i].kaikeiKubun, rows_[i].kamoku}, i);
    }

    // The row of `kamoku` in `division`, added when missing; nullptr, with `error`
    // set to "科目コード[n]が登録されていません。", when the item is not listed.
    Row* FindOrAdd(int division, int kamoku, QString& error) {
        if (const auto it = at_.find({division, kamoku}); it != at_.end())
            return &rows_[it->second];
        const std::optional<int> kind = kindOfItem_(kamoku);
        if (!kind) {
            error = QStringLiteral("科目コード[%1]が登録されていません。").arg(kamoku);
            return nullptr;
        }
        rows_.push_back(makeRow_(division, kamoku, *kind));
        at_.emplace(std::pair{division, kamoku}, rows_.size() - 1);
        return &rows_.back();
    }

  private:
    std::vector<Row>& rows_;
    KindOfItem kindOfItem_;
    MakeRow makeRow_;
    std::map<std::pair<int, int>, std::size_t> at_;
};
