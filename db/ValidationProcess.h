#pragma once
// A database file on this computer whose state nobody knows yet (a backup the user
// chose, a copy of the organisation's database) is validated in a process of its
// own. Some damaged pages crash the engine that reads them, which would take the
// whole program with it; others make the validation fail with an I/O error and
// leave the engine attached to the file until the process ends, so that every
// later validation of a file under that name is refused ("secondary server
// attachments cannot validate databases") — a good backup after a bad one too.
// The validating process is this same program started with a hidden option: a
// crash is then a refusal, and whatever the engine keeps attached goes with it.

#include <QString>

namespace db {

// When this process was started as a validating process, validates the file it was
// given, writes the result for the parent and ends the process; otherwise returns
// at once. Call first thing in main(), before any thread starts.
void ServeValidationRequest(int argc, char* argv[]);

// Validates every page and record of the database file `path` in a validating
// process and returns what it found, one finding a line, empty when the database
// is whole. Raises db::Error with the engine's text when the file cannot be read
// as a database, and with a message of its own when the validating process ended
// without an answer (crashed, or still running after the time allowed).
QString ValidationFindingsInOwnProcess(const QString& path);

}  // namespace db
