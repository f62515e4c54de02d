#pragma once
// 点検: reads a year's books and the database they live in, and lists what is wrong
// or doubtful, each finding with its severity. Nothing is written, except by
// ApplyOpeningRemedy, the one change a finding may offer (the user confirms it).

#include <QString>

#include <optional>
#include <vector>

#include "db/Connection.h"

namespace statements {

enum class Severity { Error, Warning };

// The opening balance of a division set to last year's closing balance: the
// budget's 前年度繰越金 (item 100), which the settlement takes as its carry-over.
struct OpeningRemedy {
    int nendo = 0;
    int division = 0;
    qint64 amount = 0;
};

struct Finding {
    Severity severity = Severity::Error;
    QString kind;  // 振替, 前年度繰越金, 日付, 科目, 会計区分, 作業データ, 明細番号, 会費, データベース
    QString text;
    std::optional<OpeningRemedy> remedy;
};

// "エラー" or "注意".
QString SeverityText(Severity severity);
// One line of a listing: "[エラー] 振替: …".
QString FindingLine(const Finding& finding);

// Every finding in the books of `nendo`.
std::vector<Finding> CheckBooks(db::Connection& connection, int nendo);
// The database validated as a restore validates it (a file is validated as a copy,
// which full validation may take to itself): one finding when it is not whole.
std::vector<Finding> ValidationFinding(const QString& databaseString);

// Last year's closing balance of each division as the settlement computes it: its
// carry-over (item 100) and the year's lines on the statements' items.
qint64 ClosingBalanceOfYear(db::Connection& connection, int nendo, int division);

// Writes the remedy (the budget's item 100 of the year and division), in a
// transaction of its own; refused when the year is closed.
void ApplyOpeningRemedy(db::Connection& connection, const OpeningRemedy& remedy);

}  // namespace statements
