#pragma once
// The insert, update and delete statement that applies one pending row.

#include "data/RowStore.h"
#include "db/Connection.h"

#include <QString>

#include <optional>
#include <vector>

namespace data {

struct UpdateStatement {
    QString sql;
    db::Connection::Params params;
    bool mustFindRow = false;  // an update or delete that changes no row failed
};

// Inserted rows give an insert of every written column; modified rows an update of
// the columns that changed, found by the original values of the key columns;
// deleted rows a delete found the same way. nullopt when a modified row has no
// changed written column.
std::optional<UpdateStatement> BuildUpdateStatement(const QString& table,
                                                    const std::vector<StoreColumn>& columns,
                                                    const std::vector<int>& keyColumns, const Row& row);

}  // namespace data
