#pragma once
// The row writer: the one way a report writes its detail rows.
//
// A template sheet provides a few detail rows (a "detail area"). The report
// asks the sheet for a writer of N rows at that area; the sheet then makes
// room exactly as EntireRow.Insert followed by pasting copies of the area's
// repeated record would (everything below moves down: formulas in every
// sheet, merged ranges, defined names and the print area, print titles,
// conditional formats, data validations; a range over the area grows), but
// without building the rows: the writer streams each row, the template row's
// formats and formulas (moved row by row on copies) with the report's values
// in its columns, straight into the compressed worksheet part. Memory does
// not depend on N.
//
// Usage (a report module; head and foot cells go through the object model):
//
//   sheet::DetailLayout area{.firstRow = 6, .templateRows = 3, .repeatFirst = 7,
//                            .firstCol = 1, .lastCol = 8};     // rows 6-8, row 7 repeated, A-H
//   sheet::RowWriter& rows = Sheet->InsertDetailRows(area, lineCount);
//   Sheet->Range(u"A2"_qs).SetValue(title);            // head cells as usual
//   while (cursor has a line) {
//       rows.Text(1, date);                            // columns of the area, 1 = A
//       rows.Integer(5, amount);
//       rows.Formula(8, QStringLiteral("=E%1-F%1").arg(rows.Row()));  // a formula of its own
//       rows.NextRow();                                // columns left unset are cleared
//   }
//   rows.Finish();                                     // checks that N rows came
//
// A report module usually goes through TTsubakiExcelBaseModule::ExtendDetailRows,
// which makes the layout from KaisiGyo, MeisaiGyosu, RecGyo, KaisiRetsu and
// Syuryoretsu and returns this writer.
//
// Rules (each broken rule raises EAppError, nothing is written wrongly):
// - Name and copy sheets before inserting detail rows; a sheet that has detail
//   rows is not copied. Likewise copy row blocks (a division block copied with
//   EntireRow.Copy and Insert) before inserting detail rows into any copy:
//   rows that hold detail rows are not copied or pasted over.
// - Several areas on a sheet (and on several sheets): insert all of a sheet's
//   areas first, in any order, then write them. Inserting rows above an area
//   that is still unwritten moves it; once an area is being written, rows can
//   no longer be inserted at or above its last row or any row its formulas
//   refer to, in any sheet (the rows are already compressed).
// - Cells of written rows cannot be read back or changed in the object model.
//   Template rows of an area that is not yet written can be changed, hidden or
//   formatted: the rows made from them carry the change.
// - With N at most the template's rows, the first N template rows are filled
//   and the others stay as they are (a report hides them where it must).
// - A copy of the repeated record keeps the distances of its template record's
//   relative references, also to rows above an insertion made after the area's.

#include <QString>

#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <string>
#include <vector>

namespace sheet {

class DeflatedSegment;
class FormulaPattern;
class Worksheet;

// Where a template's detail rows lie and which of them the writer fills.
struct DetailLayout {
    int firstRow = 0;      // first template detail row
    int templateRows = 0;  // detail rows the template provides (at least 1)
    int repeatFirst = 0;   // first row of the record copied when more rows are needed
    int repeatRows = 1;    // rows of that record
    int firstCol = 1;      // the columns the report fills (1 = A)
    int lastCol = 1;
    bool sharedStrings = false;  // texts into the shared string table instead of inline
};

class RowWriter {
  public:
    ~RowWriter();
    RowWriter(const RowWriter&) = delete;
    RowWriter& operator=(const RowWriter&) = delete;

    // The sheet row the next values go to.
    int Row() const;
    int Count() const { return count_; }

    // Values of the current row, by sheet column within the area. A text is
    // always written as a text; a formula starts with "=".
    void Text(int col, const QString& text);
    void Number(int col, double value);
    void Integer(int col, qint64 value);
    void Formula(int col, const QString& formula);
    // The current row's cell takes format `xf` (a cellXfs index, see Styles)
    // instead of its template cell's: a line that looks different, such as a
    // subtotal row among the item lines.
    void Style(int col, int xf);
    // Ends the current row: the template row's cells with the values set.
    void NextRow();
    // After the last row. EAppError when fewer rows came than were inserted.
    void Finish();

    // For the worksheet.
    bool Started() const { return started_; }
    bool Finished() const { return finished_; }
    int FirstRow() const;
    int LastRow() const { return FirstRow() + count_ - 1; }
    // The last row written rows refer to on each sheet (empty name: its own).
    const std::map<QString, int>& Reach() const { return reach_; }
    const DeflatedSegment* Segment() const { return segment_.get(); }
    int MinColumn() const { return minCol_; }
    int MaxColumn() const { return maxCol_; }
    // Whether `row` lies in a part of the area that has no template row behind it.
    bool OwnsRow(int row) const;

  private:
    friend class Worksheet;
    RowWriter(Worksheet& sheet, const DetailLayout& layout, int count,
              std::vector<pugi::xml_node> templateRows);

    struct Cell {
        enum class Kind { Empty, Number, Text, Formula } kind = Kind::Empty;
        double number = 0;
        bool integer = false;
        qint64 whole = 0;
        QString text;
        int style = -1;  // the template cell's format while negative
    };
    struct CellPattern;
    struct RowPattern;
    void Start();
    Cell& At(int col);
    int TemplateIndex(int k, int& delta) const;
    void WriteCell(const CellPattern& pattern, int row, int delta);

    Worksheet* sheet_;
    DetailLayout layout_;
    int count_;
    int gap_;
    std::vector<pugi::xml_node> templateRows_;
    std::vector<std::unique_ptr<RowPattern>> patterns_;
    std::vector<Cell> cells_;
    std::unique_ptr<DeflatedSegment> segment_;
    std::string buffer_;
    std::map<QString, int> reach_;
    int first_ = 0;
    int next_ = 0;
    int minCol_ = 0;
    int maxCol_ = 0;
    bool started_ = false;
    bool finished_ = false;
};

}  // namespace sheet
