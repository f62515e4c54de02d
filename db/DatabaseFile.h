#pragma once
// Creating a database file.

#include <QString>

namespace db {

// Creates an empty database at `path` (a plain path, embedded) with the
// connection's parameters and UNICODE_FSS as its default character set. Fails with
// db::Error when the file exists or cannot be made.
void CreateDatabase(const QString& path);

}  // namespace db
