#pragma once
// 年度の締め: a fiscal year closed after its audit stays as it was approved. Every
// close and reopen is kept (NENDO_SIME: when, on which computer, by which user, why);
// the year is closed while its latest entry is a close. The state lives in the
// database, so it holds for every computer sharing it; each save of a year's rows
// asks it inside its own transaction (LockYear), so a window that loaded the year
// before the close is refused at its save.

#include "core/Errors.h"
#include "db/Connection.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace db {

struct YearCloseEntry {
    int nendo = 0;
    int seqNo = 0;
    bool closed = false;  // 締め, or 解除
    QDateTime at;
    QString computer;
    QString user;
    QString reason;
};

// The close in force for `nendo` (nullopt: the year is open).
std::optional<YearCloseEntry> YearClosure(Connection& connection, int nendo);

// Every close and reopen of `nendo`, oldest first.
std::vector<YearCloseEntry> YearCloseHistory(Connection& connection, int nendo);

// "2021年度は締められています(2022/05/10 19:30、コンピュータ PC-1)。…": what a refused
// write tells the user.
QString ClosedYearMessage(const YearCloseEntry& closure);

// A write refused because its year is closed: told as it is, not as a failed save.
class EYearClosed : public EAppError {
  public:
    using EAppError::EAppError;
};

// Raises EYearClosed with ClosedYearMessage when `nendo` is closed.
void RefuseClosedYear(Connection& connection, int nendo);

// Closes (`close`) or reopens the year, in a transaction of its own that takes the
// year's NENDO row as a save does, so a save running meanwhile is waited out or
// refused. EAppError when the year is already in that state or has no NENDO row.
void SetYearClosed(Connection& connection, int nendo, bool close, const QString& computer,
                   const QString& user, const QString& reason);

}  // namespace db
