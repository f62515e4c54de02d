#pragma once
// The statements that bring an older organisation database up to the current
// schema level, grouped in the blocks that run at login.

#include "db/Connection.h"

#include <QString>

#include <vector>

namespace db {

struct UpgradeStep {
    QString name;  // the step's name in the upgrade log and in the failure message
    QString sql;
    Connection::Params params;
    // A query counting what shows that the step's change is already there (empty:
    // the step can always run again). An upgrade that failed where no safety copy
    // could put the database back left its earlier steps committed; the next login
    // skips those and finishes the rest.
    QString doneSql;
};

struct UpgradeBlock {
    QString header;  // the log line written before the block's steps; empty for none
    std::vector<UpgradeStep> steps;
};

// The blocks a database at `level` (older than the current one) runs, in order. Each
// block from 1.0.1.0 on lifts the level by one release, so they form a chain; the
// last block always records the current level in KANRI.
std::vector<UpgradeBlock> UpgradeBlocksFor(const QString& level);

}  // namespace db
