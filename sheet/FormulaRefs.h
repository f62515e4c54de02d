#pragma once
// Reference rewriting in formula texts (without the leading "="), the way a
// spreadsheet application adjusts formulas. A small tokenizer finds the
// reference tokens; string literals, names, functions and references into
// other workbooks are left exactly as written.

#include <QString>

namespace sheet {

// Rows were inserted: `count` rows at `row` of the sheet `changedSheet`. The
// formula stands on `hostSheet` (its unqualified references point there; an
// empty host means unqualified references are not on any sheet). Every row
// number >= row gains count, absolute or not, each end of a range on its own;
// whole columns stay. A cell pushed past the last row becomes #REF!, the far
// end of a range stops at the last row.
QString ShiftFormulaForRowInsert(const QString& formula, const QString& hostSheet,
                                 const QString& changedSheet, int row, int count);

// The formula was copied `rowDelta` rows down and `colDelta` columns right:
// relative parts move, parts marked with $ stay. Leaving the sheet gives #REF!.
QString MoveFormula(const QString& formula, int rowDelta, int colDelta);

// A sheet was renamed: qualifiers naming it (any letter case) name the new one.
QString RenameSheetInFormula(const QString& formula, const QString& oldName, const QString& newName);

// A space-separated list of areas (sqref, merge and hyperlink ranges) after the
// insertion of `count` rows at `row` of its own sheet. Areas pushed off the
// sheet are dropped, so the result may be empty.
QString ShiftSqrefForRowInsert(const QString& sqref, int row, int count);

// The sheet name as a formula qualifier, quoted when it needs quotes.
QString QuoteSheetName(const QString& name);

}  // namespace sheet
