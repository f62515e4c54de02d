#pragma once
// Schema levels of an organisation database: texts "major.minor.release.build",
// compared as text, character by character (so "1.0.2.10" sorts below "1.0.2.4";
// the program never writes such a level).

#include <QString>

namespace db {

// The level this program's schema is at; the upgrade writes it to KANRI.DB_VERSION.
QString CurrentSchemaLevel();

// <0, 0 or >0 as `a` sorts before, with or after `b`, by character codes.
int CompareSchemaLevels(const QString& a, const QString& b);

// The level of a database. `dbVersion` is KANRI.DB_VERSION, empty when the row has
// no such column; older databases are told apart by the carry-over table that came
// with level 1.0.1.0.
QString SchemaLevelOf(const QString& dbVersion, bool hasKurikosiTable);

}  // namespace db
