#pragma once
// The 残高内訳 block of a settlement statement: under a division's 収支差額, the
// places its money is held with their amounts and total; when the total is not the
// carry-over, the money held for items outside the statements and what the places
// do not account for (the 残高照合表 shows it), down to a last line of the
// carry-over. The rows are inserted into the division's block and take the look
// of the block's own heading, carry-over and totals rows, so a restyled template
// keeps its look here too.

#include "statements/ZandakaRules.h"

#include <QString>

namespace sheet {
class Application;
class Worksheet;
}  // namespace sheet

namespace kessansyo {

// Where the block goes in one division's block of the sheet (rows as they stand
// before any detail row of that block is inserted).
struct BalanceBlockPlace {
    int headingRow = 0;    // a row of column headings, whose look the block's heading takes
    int carryOverRow = 0;  // the carry-over line: the look of a place
    int balanceRow = 0;    // 収支差額: the look of a total; the block goes below it
    int amountCol = 0;     // the column of the settlement's amounts
    int lastCol = 0;       // the statement's last column
};

// Inserts and writes the block; returns the rows inserted. `carryOverLabel` names
// the last line (次期繰越金, or 次月繰越金 of an interim statement).
int WriteBalanceBlock(sheet::Application& exl, sheet::Worksheet& sheet, const BalanceBlockPlace& at,
                      const statements::BalanceBlock& block, const QString& carryOverLabel);

}  // namespace kessansyo
