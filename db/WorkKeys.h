#pragma once
// Work-table keys of the entry windows, safe when several computers share one
// organisation database through a server.
//
// An entry window keeps the year it loaded in a work table (W_MEISAI for the
// journal, W_YOSAN for the budget, W_KESSAN for the settlement) under a key
// (CPU_NAME, JIKOKU): the computer's name cut to 15 characters and the load's time.
// Names alone do not keep two windows apart (TREASURER-NOTEPC-1 and -2 cut to the
// same 15 characters, and load in the same second), so a window claims its key in
// the database when it loads: a W_KEY row that only one window can insert. The claim
// also records the program's attachment, so whether the window is still open is
// read from MON$ATTACHMENTS: a window whose program was killed, or lost its display,
// leaves an abandoned load that the next load on that computer can offer back and
// that is then removed, while the rows of every open window, on any computer, stay.
//
// How an entry window uses it (the journal window does this for W_MEISAI; the budget
// and settlement windows the same way for W_YOSAN and W_KESSAN, except that their work
// rows are computed afresh from the saved data at every load, so they offer nothing
// back and only discard the claimed loads found abandoned):
//   - Loading: drop the previous claim (its work rows go with it), then
//       claim_.emplace(connection, u"W_YOSAN"_s, nendo, platform::FullHostName(),
//                      QDateTime::currentDateTime());
//     and use claim_->Key().cpuName / .jikoku as CPU_NAME / JIKOKU wherever the work
//     rows are read or written (Jikoku := claim_->Key().jikoku).
//   - Right after claiming: AbandonedLoads(connection, table); for those where
//     IsFromComputer(load, FullHostName()) and load.nendo is the year loaded, offer
//     what they hold (the window knows which of its rows are unsaved) and DiscardLoad
//     each in the transaction that takes their rows over; DiscardLoad also the
//     abandoned loads that hold nothing worth offering.
//   - Saving: call claim_->Confirm() inside the save's transaction before the work
//     rows are copied, so that a save never writes from a key that was cleared.
//   - Closing or loading again: claim_.reset() (or Release() to see a failure).

#include "db/Connection.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace db {

// Whether a login raises the line-number sequence. Raising reads the highest line
// number of MEISAI and W_MEISAI, a scan of both tables: only a program that takes
// line numbers needs it.
enum class LineNumbers { Raise, Leave };

// Makes what sharing needs exist in the database of `connection`: the claim table
// W_KEY and the line-number sequence SEQ_MEISAI, created where missing, and (with
// LineNumbers::Raise) the sequence raised above every journal line number in use
// (numbers taken by an older program, or lines restored from a backup). Run at
// login. Returns false when it could not (another user holding the tables); the
// next login tries again.
bool EnsureSharingObjects(Connection& connection, LineNumbers lineNumbers = LineNumbers::Raise) noexcept;
// Raises the line-number sequence above every journal line number in use; false
// when it could not (no sequence yet).
bool RaiseLineNumbers(Connection& connection) noexcept;

// Readies a database just restored from a backup: what sharing needs is made as at
// login (the backup may be older), and every claim it carries is marked as gone —
// no window was open on it, and a restore made by the server starts numbering
// attachments afresh, so the attachments the claims name could come back as others'.
// Their loads are then offered back or removed like any abandoned load.
void PrepareRestoredDatabase(Connection& connection) noexcept;

// A fresh journal line number, never handed out before on any computer.
int NextLineNumber(Connection& connection);
// The first of `count` (at least 1) consecutive fresh line numbers, taken from the
// sequence in one step: lines entered together (an imported file) are numbered
// without a round trip each.
int NextLineNumbers(Connection& connection, int count);

struct WorkKey {
    QString cpuName;  // the computer's name, cut to 15 characters
    QString jikoku;   // yyyymmddhhmmss
};

// The key one window's load holds. Released (work rows and claim deleted) when the
// object goes.
class WorkKeyClaim {
  public:
    // Claims a key for a load of `nendo` into `workTable` on computer `hostName`
    // (its full name): CPU_NAME is the name cut to 15 characters, JIKOKU the time
    // `at`, moved on by a second for as long as that key is taken or still has rows.
    WorkKeyClaim(Connection& connection, QString workTable, int nendo, const QString& hostName,
                 const QDateTime& at);
    ~WorkKeyClaim();
    WorkKeyClaim(const WorkKeyClaim&) = delete;
    WorkKeyClaim& operator=(const WorkKeyClaim&) = delete;

    const WorkKey& Key() const { return key_; }

    // Checks that the claim is still this window's and ties it to the current
    // attachment; run inside the save's transaction. Raises EAppError when the
    // claim is gone (its work rows cannot be trusted to be whole).
    void Confirm();
    // Deletes the work rows and the claim, in one transaction (the explicit one
    // when it is active). Does nothing the second time.
    void Release();

  private:
    void Point();

    Connection& connection_;
    QString workTable_;
    // Keeps the program's attachment, by which other computers tell that this
    // window is open, for as long as the claim lives.
    std::optional<Connection::DatasetUse> use_;
    WorkKey key_;
    int connectAction_ = 0;
    bool released_ = false;
};

// A load whose window is gone.
struct AbandonedLoad {
    WorkKey key;
    int nendo = 0;          // the year it loaded
    QString hostName;       // the full name of its computer; empty when it left no claim
    bool claimed = false;   // false: rows under a key nobody claims
    qint64 attachment = 0;  // the attachment the claim names
};

// Every load in `workTable` whose window is gone: claimed by an attachment that no
// longer exists, or work rows under a key nobody claims (left by a program that did
// not claim keys). Oldest first. The loads of open windows are never among them:
// the claims are read before the server's list of attachments, so every claim read
// names an attachment that the list shows if it is still there.
std::vector<AbandonedLoad> AbandonedLoads(Connection& connection, const QString& workTable);

// The computers (full names) whose windows hold a load of `nendo` in `workTable`
// now: claims whose attachment is still there. Something that writes the year's
// saved rows behind such a window's back asks this first. The load `except` (a
// window of this program that is told of the change) is left out.
std::vector<QString> OpenLoads(Connection& connection, const QString& workTable, int nendo,
                               const std::optional<WorkKey>& except = std::nullopt);

// Whether `load` was made on computer `hostName` (a full name). A load without a
// claim is known only by its cut name.
bool IsFromComputer(const AbandonedLoad& load, const QString& hostName);

// Deletes an abandoned load's work rows and its claim in one transaction, unless
// its window came back meanwhile (its program connected again and moved the claim
// to its new attachment). Returns whether it was deleted.
bool DiscardLoad(Connection& connection, const QString& workTable, const AbandonedLoad& load);

}  // namespace db
