#pragma once
// The year's journal written out for other programs: as CSV for a spreadsheet
// (and for 取込, which reads this shape back), and as a plain-text accounting
// journal that `ledger` and `hledger` read.
//
// Both read the year's saved lines (MEISAI), or, given a work-table key, one
// window's work rows (W_MEISAI), so that the journal window writes what it shows,
// saved or not. Lines come in date order, then line number, then division; the
// two halves of a transfer share a line number and so come together.

#include "core/Errors.h"
#include "db/Connection.h"
#include "db/WorkKeys.h"

#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// The lines to write: the year's saved lines, or the work rows of `key`.
struct JournalSource {
    int nendo = 0;
    std::optional<db::WorkKey> key;
};

// CSV, UTF-8 with a byte-order mark, CR LF line ends, RFC 4180 quoting:
//   日付,会計区分,相手先,摘要,科目コード,科目名,収入,支出
// one row per line of each division (both halves of a transfer, each in its own
// division); dates as yyyy/mm/dd, the division by its name, amounts as plain
// integers, empty when none. Returns the number of rows written. EAppError when
// the stream cannot be written.
int WriteJournalCsv(db::Connection& connection, const JournalSource& source, QIODevice& out);

// A plain-text accounting journal: one transaction per line, amounts in JPY.
// Each line moves money between the division's funds (資金:<division>) and its
// item (収入:<division>:<code> <name>, 支出:…, or その他:… for an item without a
// classification): receipts credit the item, payments debit it, so that
// `hledger balance` gives every item its year's total (receipts items negative, as
// income is in those programs). The two halves of a transfer are one transaction
// of four postings between the two divisions. Each division opens, on the year's
// first day, with its carry-over from the previous year: the budget's item 100
// and the carry-overs of the items outside the statements, each against its item,
// so that a division's funds end at the settlement's carry-over to the next year.
// Returns the number of journal lines written (the openings are not counted).
int WriteJournalLedger(db::Connection& connection, const JournalSource& source, QIODevice& out);

enum class JournalFormat { Csv, Ledger };

// A journal file that could not be written (the folder, the rights, a full disk);
// the message names the file. A database error is not one of these.
class JournalFileError : public EAppError {
  public:
    using EAppError::EAppError;
};

// The lines written to the file `path` in `format`, whole or not at all: a file
// already there is replaced only once the new one is complete. Returns what the
// writer returns (CSV rows, ledger transactions).
int WriteJournalFile(db::Connection& connection, const JournalSource& source, JournalFormat format,
                     const QString& path);

// The CSV's heading row, column by column; 取込 knows the export by it.
const QStringList& ExportHeading();

// A field of a CSV row, quoted when it holds a comma, a quote or a line break.
QString CsvField(const QString& text);
// A name usable inside a ledger account name: no ':' (the account separator),
// no tab, no run of blanks (two blanks end an account name), nothing that makes
// a posting virtual or a comment.
QString LedgerAccountPart(const QString& text);
