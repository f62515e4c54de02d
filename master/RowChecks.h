#pragma once
// What the master-data grid windows check before a row is posted or deleted.

#include <QString>

#include <optional>
#include <vector>

#include "db/Value.h"

class TDBGrid;
namespace data {
class DataSet;
class Field;
}  // namespace data
namespace db {
class Connection;
}

// Refuses the post of the current row: the grid's cursor goes to the column at
// fault and the message is raised; the row stays in edit.
[[noreturn]] void RefuseRow(TDBGrid& grid, const QString& fieldName, const QString& message);

// The field as a number, NULL read as 0.
int IntOf(const data::Field& field);
// NULL, or nothing left after trimming.
bool IsBlank(const data::Field& field);

// Whether a row of `view` other than the one being edited has these values. The
// row being edited is found too when its stored values are the ones asked for, so
// callers ask only for values that differ from the row's remembered ones.
bool RowExists(data::DataSet& view, const QString& keyFields, const std::vector<db::Value>& values);

// One kind of data that may still use a master row: a query with one parameter
// that returns a row while it does, and the name of the data for the message.
struct UsageCheck {
    QString sql;
    QString dataName;
};

// The checks of the work rows that entry windows on other computers are editing
// now (`column` = :param in W_MEISAI, W_YOSAN and W_KESSAN). This computer's own
// work rows are left out: its entry windows are modal, so none is open while a
// master window is, and what is left of them belongs to no window any more.
std::vector<UsageCheck> LiveWorkRowChecks(const QString& column, const QString& paramName,
                                          bool journal = true);

// The name of the first data, in the order given, that still uses the row. A
// query with a :CPU_NAME parameter gets this computer's name there.
std::optional<QString> FirstUser(db::Connection& connection, const std::vector<UsageCheck>& checks,
                                 const QString& paramName, const db::Value& value);
