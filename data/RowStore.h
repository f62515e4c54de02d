#pragma once
// The rows shared by a dataset and its views, with the pending changes in the
// order they were made. Internal to the data layer.

#include "data/FieldDef.h"
#include "data/PackedValues.h"
#include "data/RowStatus.h"
#include "db/Connection.h"
#include "db/Value.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

namespace data {

class DataSet;

struct Row {
    PackedValues values;
    PackedValues original;  // before the first pending change (modified and deleted rows)
    RowStatus status = RowStatus::Unmodified;
};

struct StoreColumn {
    QString name;
    QString origin;  // column name in the update table
    bool inUpdate = true;
    FieldType type = FieldType::Text;
    int length = 0;
};

class RowStore {
  public:
    std::vector<StoreColumn> columns;
    StringPool strings;                      // before the rows: their texts point into it
    std::vector<std::unique_ptr<Row>> rows;  // in order; deleted rows stay until applied
    std::vector<Row*> log;                   // rows with pending changes, by their first change
    db::Connection* connection = nullptr;
    std::optional<db::Connection::DatasetUse> use;
    QString updateTable;
    QStringList keyFields;
    std::vector<DataSet*> datasets;  // the dataset and its views

    int ColumnIndex(const QString& name) const;
    qsizetype IndexOf(const Row* row) const;
    // A loaded row, appended unchanged.
    void Load(const std::vector<db::Value>& values);

    // The change-log rules. Rows that leave the store are handed back, so that
    // every cursor can forget them before they are freed.
    Row* Insert(qsizetype position, const std::vector<db::Value>& values);
    void Modify(Row* row, const std::vector<db::Value>& values);
    std::unique_ptr<Row> Delete(Row* row);  // an inserted row leaves at once
    std::vector<std::unique_ptr<Row>> CancelUpdates();
    // Makes the changes of `applied` permanent; the others stay pending.
    std::vector<std::unique_ptr<Row>> Commit(const std::vector<Row*>& applied);

  private:
    std::unique_ptr<Row> Take(Row* row);
};

}  // namespace data
