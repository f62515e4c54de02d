#pragma once
// The Firebird services the program asks for whole databases: validation (what
// `gfix -v -full` runs), backup and restore (what `gbak` runs). They run where the
// database lives: in this process's engine for a plain path, on the server for
// "host:path" and "host/port:path" — a server keeps its database files open, so a
// file it serves is never copied or replaced behind its back, only through it.
// File names are those of the computer that runs the service.

#include <QString>

namespace db {

// True for "host:path" and "host/port:path", false for a plain path.
bool IsServerDatabase(const QString& databaseString);

// The service manager that serves `databaseString`: "service_mgr" of this
// process's engine for a plain path, "host:service_mgr" or "host/port:service_mgr"
// for a database on a server.
QString ServiceManagerOf(const QString& databaseString);
// The file part of a database string ("host/port:" dropped).
QString FilePartOf(const QString& databaseString);

// Validates every page and every record of the database (full validation).
// Returns what the validation found, one finding a line: empty when the database
// is whole. A file the engine cannot read as a database at all raises db::Error
// with the engine's text. A file on this computer (a plain path) is validated in a
// process of its own (db/ValidationProcess.h), one on a server by the server.
QString ValidationFindings(const QString& databaseString);
// The same, run here: by this process's engine for a plain path.
QString ValidationFindingsInThisProcess(const QString& databaseString);

// Writes a backup of the database to `backupFile` (gbak's format).
void BackupDatabase(const QString& databaseString, const QString& backupFile);
// Makes the database `databaseString` from `backupFile`; with `replace` an
// existing database of that name is replaced, which the server refuses while
// anyone is attached to it.
void RestoreDatabase(const QString& backupFile, const QString& databaseString, bool replace);

}  // namespace db
