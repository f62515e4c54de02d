#pragma once
// Why an organisation's database could not be opened, in the words a treasurer
// can act on: the registry entry names no file, names something that is not a
// database, or names a server that does not answer.

#include <QString>

namespace db {

class Error;

// InUse: the file is open in another program's embedded engine (the window
// program, while an organisation is logged in there).
enum class OpenFailure { NotFound, NotADatabase, NoAnswer, InUse, Other };

// The kind of a failed connect to `databaseString` (a plain path is looked at on
// this computer first; the engine's error code decides the rest).
OpenFailure ClassifyOpenFailure(const QString& databaseString, const Error& error);

// The message for organisation `dantai` whose registry entry `databaseString`
// (in settings file `iniFile`) could not be opened.
QString OpenFailureText(const QString& dantai, const QString& databaseString, const QString& iniFile,
                        const Error& error);

}  // namespace db
