#include "data/RowStore.h"

#include <algorithm>
#include <unordered_set>

namespace data {

int RowStore::ColumnIndex(const QString& name) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

qsizetype RowStore::IndexOf(const Row* row) const {
    // Rows are usually looked for near the end (the last appended ones).
    for (qsizetype i = static_cast<qsizetype>(rows.size()) - 1; i >= 0; --i)
        if (rows[static_cast<std::size_t>(i)].get() == row)
            return i;
    return -1;
}

void RowStore::Load(const std::vector<db::Value>& values) {
    auto row = std::make_unique<Row>();
    row->values = PackedValues(values, strings);
    rows.push_back(std::move(row));
}

Row* RowStore::Insert(qsizetype position, const std::vector<db::Value>& values) {
    auto row = std::make_unique<Row>();
    row->values = PackedValues(values, strings);
    row->status = RowStatus::Inserted;
    Row* result = row.get();
    if (position < 0 || position >= static_cast<qsizetype>(rows.size()))
        rows.push_back(std::move(row));
    else
        rows.insert(rows.begin() + position, std::move(row));
    log.push_back(result);
    return result;
}

void RowStore::Modify(Row* row, const std::vector<db::Value>& values) {
    if (row->status == RowStatus::Unmodified) {
        row->original = std::move(row->values);
        row->status = RowStatus::Modified;
        log.push_back(row);
    }
    row->values = PackedValues(values, strings);
}

std::unique_ptr<Row> RowStore::Take(Row* row) {
    log.erase(std::remove(log.begin(), log.end(), row), log.end());
    const qsizetype index = IndexOf(row);
    std::unique_ptr<Row> taken = std::move(rows[static_cast<std::size_t>(index)]);
    rows.erase(rows.begin() + index);
    return taken;
}

std::unique_ptr<Row> RowStore::Delete(Row* row) {
    if (row->status == RowStatus::Inserted)
        return Take(row);
    if (row->status == RowStatus::Unmodified) {
        row->original = row->values.Clone();
        log.push_back(row);
    }
    row->status = RowStatus::Deleted;
    return nullptr;
}

std::vector<std::unique_ptr<Row>> RowStore::CancelUpdates() {
    std::vector<std::unique_ptr<Row>> gone;
    for (auto it = log.rbegin(); it != log.rend(); ++it) {
        Row* row = *it;
        if (row->status == RowStatus::Inserted) {
            const qsizetype index = IndexOf(row);
            gone.push_back(std::move(rows[static_cast<std::size_t>(index)]));
            rows.erase(rows.begin() + index);
        } else {
            row->values = std::move(row->original);
            row->original.Clear();
            row->status = RowStatus::Unmodified;
        }
    }
    log.clear();
    return gone;
}

std::vector<std::unique_ptr<Row>> RowStore::Commit(const std::vector<Row*>& applied) {
    std::unordered_set<const Row*> done(applied.begin(), applied.end());
    std::vector<std::unique_ptr<Row>> gone;
    bool anyDeleted = false;
    std::vector<Row*> remaining;
    for (Row* row : log) {
        if (!done.count(row)) {
            remaining.push_back(row);
            continue;
        }
        if (row->status == RowStatus::Deleted) {
            anyDeleted = true;
        } else {
            row->original.Clear();
            row->status = RowStatus::Unmodified;
        }
    }
    log = std::move(remaining);
    if (anyDeleted) {
        auto keep = std::stable_partition(rows.begin(), rows.end(), [&](const std::unique_ptr<Row>& r) {
            return !(r->status == RowStatus::Deleted && done.count(r.get()));
        });
        for (auto it = keep; it != rows.end(); ++it)
            gone.push_back(std::move(*it));
        rows.erase(keep, rows.end());
    }
    return gone;
}

}  // namespace data
