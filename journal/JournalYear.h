#pragma once
// A year of journal lines between MEISAI and one window's work rows, as computers
// sharing the database see it: the copy into the work rows when a window loads the
// year, and the save that replaces the year's MEISAI rows by them. A save is one
// serialised step: the year's NENDO row is taken first in the save's transaction,
// then the check "saved by someone since this load" runs, then the replace. Two
// computers saving one year at once so never both succeed silently: the second
// either meets the question (it saved after the first committed) or is told that
// another computer is saving (it tried while the first was at work).

#include "db/Connection.h"
#include "db/WorkKeys.h"
#include "db/YearSave.h"

#include <functional>

// Which saved lines a year had (db/YearSave.h).
using YearStamp = db::YearStamp;

// The year's saved lines as they are now.
YearStamp SavedYearStamp(db::Connection& connection, int nendo);

// Copies the year's saved lines into the work rows of `key` (KOUSIN_FLAG NULL).
void CopyYearToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key);

// Whether the year was saved again after a load that found `loaded`.
bool SavedSince(db::Connection& connection, int nendo, const YearStamp& loaded);

// Replaces the year's MEISAI rows by the work rows of `claim`, inside the
// connection's explicit transaction (the caller commits). In order: takes the
// year's NENDO row (another save of the year running raises EAppError "…保存して
// います…"), confirms the claim, and when the year was saved since the load asks
// `confirmOverwrite` (false raises EAbort, nothing written). Returns the year's
// stamp as this save leaves it, to be kept once the transaction is committed.
YearStamp SaveYear(db::Connection& connection, int nendo, db::WorkKeyClaim& claim, const YearStamp& loaded,
                   const std::function<bool()>& confirmOverwrite);

// Lines of the load `key` that the dues ledger made and that are not saved yet: the
// payments tied to them are saved, so losing the load leaves the two apart.
qint64 UnsavedDuesLines(db::Connection& connection, const db::WorkKey& key);
