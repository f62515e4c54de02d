#pragma once
// The serialised save of a year's saved rows, shared by every entry window that
// replaces a whole year from its work rows (the journal, the budget, the
// settlements). Computers sharing the database through a server must never both
// save one year silently: the save's transaction first takes the year's NENDO row,
// then confirms the window's work-table claim, then asks when the year was saved by
// someone since the window loaded it, and only then replaces. The check and the
// replace so happen under one lock: a second save either meets the question (it
// began after the first committed) or is told that another computer is saving (it
// began while the first was at work).

#include "db/Connection.h"
#include "db/WorkKeys.h"

#include <QString>
#include <QtGlobal>

#include <functional>

namespace db {

// Which saved rows a year had, in two numbers: how many, and the newest transaction
// that wrote one of them. Any save, from whatever computer, rewrites all of the
// year's rows in a new transaction and so changes the second number.
struct YearStamp {
    qint64 lines = 0;
    qint64 newestWrite = 0;
};

// The rows a save replaces: `table` where `condition` holds, with its parameters.
struct SavedRows {
    QString table;
    QString condition;
    Connection::Params params;
};

// The saved rows as they are now.
YearStamp StampOf(Connection& connection, const SavedRows& rows);

// Whether the rows were saved again after a load that found `loaded`.
bool SavedSince(Connection& connection, const SavedRows& rows, const YearStamp& loaded);

// The first step of a year's save, inside the connection's explicit transaction:
// takes the year's NENDO row (another save of the year running raises EAppError
// "他のコンピュータまたは他の画面がこの年度の<what>を保存しています。…"), and refuses a
// closed year (db/YearClose.h).
void LockYear(Connection& connection, int nendo, const QString& what);

// The steps before a year's save replaces `rows`, inside the connection's explicit
// transaction: LockYear, the claim confirmed, and when the rows were saved since
// the load that found `loaded`, `confirmOverwrite` asked (false raises EAbort,
// nothing written).
void BeginYearSave(Connection& connection, int nendo, const QString& what, WorkKeyClaim& claim,
                   const SavedRows& rows, const YearStamp& loaded,
                   const std::function<bool()>& confirmOverwrite);

// The whole save: BeginYearSave, then `replace` writes the rows. Returns their
// stamp as this save leaves them, to be kept once the transaction is committed.
YearStamp SaveYearRows(Connection& connection, int nendo, const QString& what, WorkKeyClaim& claim,
                       const SavedRows& rows, const YearStamp& loaded,
                       const std::function<bool()>& confirmOverwrite, const std::function<void()>& replace);

}  // namespace db
