#pragma once
// Opening an organisation as the login does, shared by the login window and the
// command line: the connect to the database its registry entry names (a failure
// told in words a treasurer can act on) and the password check against the
// control row KANRI.

#include "core/Errors.h"
#include "db/Connection.h"
#include "db/OpenFailure.h"

#include <QString>

namespace db {

// The organisation's control row: "select * from KANRI where (KY = 1)".
QString KanriSql();

// A connect that failed, with its kind (a script tells a busy database from a
// missing one by it).
class DantaiOpenError : public EAppError {
  public:
    DantaiOpenError(QString message, OpenFailure kind) : EAppError(std::move(message)), kind_(kind) {}
    OpenFailure Kind() const noexcept { return kind_; }

  private:
    OpenFailure kind_;
};

// Connects `connection` to organisation `name`'s database. An entry that leads
// nowhere (no file, not a database, a server that does not answer) fails the same
// way on every retry: DantaiOpenError naming the organisation, the entry and the reason.
void OpenDantaiDatabase(Connection& connection, const QString& name);

// Whether the typed password opens an organisation whose stored password is
// `stored`: both trimmed, compared exactly (letter case counts); an empty stored
// password is matched by an empty (or all-blank) entry.
bool PasswordMatches(const QString& typed, const QString& stored);

}  // namespace db
