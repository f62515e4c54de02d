#pragma once
// Journal lines read from a CSV file (the journal window's 取込): the file's rows,
// which column holds what, each row checked as a typed line is checked, and the
// two halves of a transfer found again so that a transfer is not entered twice.
// Nothing here touches the database or a window.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

#include "db/Value.h"
#include "journal/BankStatement.h"
#include "journal/CsvReader.h"
#include "journal/ImportRules.h"
#include "journal/MeisaiRules.h"

// ---------------------------------------------------------------- the columns

enum class KamokuBy { Code, Name };

// Which column (0 = the first) holds what; -1 for none.
struct ColumnMapping {
    int hizuke = -1;
    int aite = -1;
    int tekiyo = -1;
    int kamoku = -1;
    KamokuBy kamokuBy = KamokuBy::Code;
    int syunyu = -1;
    int sisyutsu = -1;
    int kaikeiKubun = -1;   // none: every row goes to the division shown
    int kingaku = -1;       // one signed amount: receipts above 0, payments below
    int zandaka = -1;       // the bank's balance after each row, checked
    int defaultKamoku = 0;  // the item of rows that name none and match no rule; 0 none
    bool firstRowIsHeading = true;
    bool operator==(const ColumnMapping&) const = default;
};

// Whether a first row is the journal's CSV export heading, and the export's columns.
bool IsExportHeading(const QStringList& fields);
ColumnMapping ExportMapping();

// The columns a heading row names with words of the journal ("日付", "摘要",
// "科目コード", "収入", …); columns it does not name stay -1.
ColumnMapping GuessMapping(const QStringList& heading);

// What keeps a mapping from being used (a required column missing, a column
// chosen twice); nullopt when it can be used. The item column may be left out
// when import rules or an item for the rows they miss give the items.
std::optional<QString> MappingProblem(const ColumnMapping& mapping, bool haveRules = false);

// The spreadsheet's letters of a column: 0 → "A", 25 → "Z", 26 → "AA".
QString ColumnLetters(int column);

// ---------------------------------------------------------------- the rows

// An item's name as a row may give it: its own name, or as the item list shows it.
struct ImportItemName {
    int cd = 0;
    QString name;
};

struct ImportDivision {
    int cd = 0;
    QString name;
};

// What the rows are checked against: the loaded year and the window's lists.
struct ImportContext {
    QString kisyubi;
    QString kimatsubi;
    int division = 0;                       // the division of rows that name none
    std::vector<KamokuFacts> items;         // the journal's item list in its order
    std::vector<ImportItemName> itemNames;  // every name an item may be given by
    std::vector<ImportDivision> divisions;  // the year's divisions
    std::vector<ImportRule> rules;          // the import rules in their order
};

// One accepted row, as a line of its division.
struct ImportLine {
    // Where the item came from: the file, a rule, or the item for rows no rule takes.
    enum class ItemFrom { File, Rule, Default };
    int row = 0;
    ItemFrom itemFrom = ItemFrom::File;
    int rule = -1;  // ItemFrom::Rule: the rule's index in ImportContext::rules
    int kaikeiKubun = 0;
    QString hizuke;  // yyyymmdd
    db::Value aite;
    db::Value tekiyo;
    db::Value kamoku;
    db::Value syunyu;
    db::Value sisyutsu;
};

struct RowError {
    int row = 0;
    QString message;
};

struct ImportCheck {
    std::vector<ImportLine> lines;
    std::vector<RowError> errors;      // in row order, one per refused row
    std::vector<BalanceRow> balances;  // with a 残高 column: each read row's change and written balance
};

// Reads and checks every row but the heading; empty rows are passed over. A row
// is refused with the first problem found: unreadable bytes, an unknown
// division, an amount that is not a whole number of yen in the grid's range, an
// item name that is not (or not only) one item's (a row without one takes the
// first import rule its texts match, else the mapping's default item), then the checks a typed line
// passes before saving (CheckLine), then a counterparty or description longer
// than its column or holding line breaks or other control characters. With a
// 残高 column, each row whose balance does not follow from the rows before it
// is refused too (CheckRunningBalance).
ImportCheck CheckImportRows(const std::vector<CsvRow>& rows, const ColumnMapping& mapping,
                            const ImportContext& context);
// The same for one row (not the heading), read as the file streams by: an
// accepted row is added to `check.lines`, a refused one to `check.errors`.
void CheckImportRow(const CsvRow& row, const ColumnMapping& mapping, const ImportContext& context,
                    ImportCheck& check);
// After the last row: refuses the rows where the 残高 column parts from the running
// balance (a row missing from the file or written twice), keeping the errors in row order.
void FinishImportCheck(ImportCheck& check);

// A date as spreadsheets and banks write it, as yyyymmdd (ParseBankDate).
QString ImportDate(const QString& text);

// ---------------------------------------------------------------- transfers

// One journal line to enter, with the mirrored half posting writes for it.
struct ImportEntry {
    ImportLine line;
    std::optional<MirrorHalf> mirror;
};

// The lines to enter for the accepted rows, in row order. A row is a transfer's
// other half when it equals, in every column, the half that another row's line
// would write (division, item, date, texts, amounts swapped): such a pair is one
// line, so a file that holds both halves (as the export writes them) does not
// end with every transfer twice. Any other transfer row gets its mirrored half
// as a typed line does.
std::vector<ImportEntry> PairTransfers(const std::vector<ImportLine>& lines,
                                       const std::vector<KamokuFacts>& items);
