#pragma once
// The organisation's control row (KANRI, KY = 1) of a database file, read on a
// connection of its own: how backup and restore tell that a file is an
// organisation database and whose it is.

#include <QString>

struct ControlRow {
    bool exists = false;  // false when KANRI holds no row with KY = 1
    QString dantaimei;    // KANRI.DANTAIMEI as stored
    QString dbVersion;    // KANRI.DB_VERSION; empty when NULL or when the column does not exist
};

// Opens `databaseString` on a connection of its own, reads the control row and
// closes the connection again. A file that is no database (or has no KANRI)
// raises the database driver's error.
ControlRow ReadControlRow(const QString& databaseString);
