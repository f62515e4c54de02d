#pragma once
// The program's command line: `tsubaki report …` makes a workbook or a PDF of it,
// `tsubaki export …` writes the year's journal and `tsubaki check …` lists what is
// wrong in a year's books, all without a window, from the organisation's saved data. This unit reads the
// arguments; nothing here touches a database or a file.

#include <QDate>
#include <QString>
#include <QStringList>

#include <exception>
#include <optional>
#include <utility>

namespace cli {

// What the program's exit status tells a script.
enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,    // anything else (a database error, a failed report)
    kExitUsage = 2,     // the arguments are wrong
    kExitNotFound = 3,  // organisation, year, kind, division or password not found or wrong
    kExitBusy = 4,      // the database is open in the window program
    kExitOutput = 5,    // the file could not be written, or converting to PDF failed
    kExitFindings = 6,  // check: an error was found in the books
};

// A failure of the command: its message (Japanese, for stderr) and exit status.
class CliError : public std::exception {
  public:
    CliError(int code, QString message) : code_(code), message_(std::move(message)) {}
    int Code() const noexcept { return code_; }
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return "command line error"; }

  private:
    int code_;
    QString message_;
};

enum class Command { Help, List, Report, Export, Check, Handover };

struct Options {
    Command command = Command::Help;
    QString org;
    int year = 0;
    QString kind;
    std::optional<int> division;
    QString from, to;  // MMDD
    QString closing;   // MMDD
    bool zero = false;
    bool balances = false;  // 決算書: the 残高内訳 block under each carry-over
    bool charts = false;    // the 「グラフ」 sheet after a statement
    QString dues;           // 会費徴収一覧: the kind of dues, by name or code
    QDate date;             // 未納一覧, 班別世帯数: the day (invalid: the default)
    std::optional<std::pair<int, int>> numbers;  // 領収書: receipt numbers, first and last
    QString passwordFile;
    QString out;
    QString format;  // export: csv or ledger
};

// Whether the arguments (the program's name left out) ask for the command line
// rather than the window: a word (a command, or a mistyped one to be told so),
// or --help.
bool IsCommandLine(const QStringList& args);

// Reads the arguments (the program's name left out). CliError kExitUsage, with
// what is wrong, for anything it cannot use.
Options ParseCommandLine(const QStringList& args);

// The help text: Japanese, then English.
QString HelpText();

}  // namespace cli
