#pragma once
// Households read from a CSV file (the 班 lists treasurers keep in spreadsheets):
// a heading row names the columns — 班 and 世帯名 at least; ふりがな, 住所, 電話番号,
// 入会日 and 備考 when present, in any order — and each row below is a household.
// Every row is checked as the household window checks one (and against the 班 the
// ledger knows, and households already in that 班 by the same name); a file with
// any refused row imports nothing and lists each refused row with why.

#include "db/Connection.h"

#include <QDate>
#include <QString>

#include <vector>

class QIODevice;

struct SetaiImportRefusal {
    int row = 0;  // as a spreadsheet numbers it
    QString message;
    bool operator==(const SetaiImportRefusal&) const = default;
};
struct SetaiImportResult {
    int imported = 0;
    std::vector<SetaiImportRefusal> refused;
};

// Reads `file` (open, at its start) within the import limits; rows without a joining
// day join on `defaultNyukai`. EAppError for a file that cannot be read at all (no
// heading, a limit passed).
SetaiImportResult ImportSetai(db::Connection& connection, QIODevice& file, const QDate& defaultNyukai);
