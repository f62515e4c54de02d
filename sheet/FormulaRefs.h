#pragma once
// Reference rewriting in formula texts (without the leading "="), the way a
// spreadsheet application adjusts formulas. A small tokenizer finds the
// reference tokens; string literals, names, functions and references into
// other workbooks are left exactly as written.

#include <QString>

#include <map>
#include <string>
#include <vector>

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

// `text` as XML character data in UTF-8: & < > " escaped, control characters
// as the _xHHHH_ escapes spreadsheet files use.
void AppendXmlText(std::string& out, QStringView text);

// A formula tokenized once and written for many rows: AppendMoved gives the
// text of MoveFormula(formula, rowDelta, 0), XML-escaped, without tokenizing
// again. The row writer fills a repeated template row with it.
class FormulaPattern {
  public:
    explicit FormulaPattern(const QString& formula);  // without the leading "="

    void AppendMoved(std::string& out, int rowDelta) const;
    // The last row the formula reaches on each sheet it names (the empty name is
    // its own sheet) for every rowDelta in 0..maxDelta, merged into `lastRows`.
    // Whole columns reach no row.
    void MergeReach(int maxDelta, std::map<QString, int>& lastRows) const;

  private:
    struct End {
        std::string col;  // "$AB" or "AB"; empty for whole rows
        int row = 0;      // 0 for whole columns
        bool rowAbs = false;
        int colNumber = 0;
        bool colAbs = false;
    };
    struct Piece {
        std::string text;  // literal text, or the reference's qualifier with its "!"
        bool isRef = false;
        QString sheet;  // the qualifier's sheet name; empty for its own sheet
        End first, last;
        bool area = false;  // two ends
    };
    std::vector<Piece> pieces_;
};

}  // namespace sheet
