#pragma once
// One worksheet of a workbook: its part (xl/worksheets/sheetN.xml) edited in
// place, with the operations of the spreadsheet object model.

#include "sheet/CellRef.h"
#include "sheet/Range.h"
#include "sheet/RowWriter.h"
#include "sheet/ZipWriter.h"

#include <QString>
#include <QVariant>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <pugixml.hpp>
#include <vector>

namespace sheet {

class Workbook;
struct CopiedRows;

class Worksheet {
  public:
    Worksheet(Workbook& book, QString part, pugi::xml_node entry);
    Worksheet(const Worksheet&) = delete;
    Worksheet& operator=(const Worksheet&) = delete;

    Workbook& Parent() const { return *book_; }
    const QString& PartName() const { return part_; }
    // 1-based position among the book's sheets.
    int Index() const;

    QString Name() const;
    // Renames the sheet and every formula and defined name that names it.
    // EAppError for a name the application refuses or one already in use.
    void SetName(const QString& name);
    void Activate();
    void Select();
    // A copy of this sheet placed after `after`, named "Name (2)".
    Worksheet& Copy(Worksheet& after);
    // Pastes the copied rows into the rows of the current selection.
    void Paste();

    // Makes room for `count` detail rows at the template's detail area and
    // returns the writer that streams them (RowWriter.h). The sheet owns it.
    RowWriter& InsertDetailRows(const DetailLayout& layout, int count);

    sheet::Range Cells(int row, int col);
    sheet::Range Range(const QString& address);
    sheet::Range Range(const QString& first, const QString& last);

    // Cell level, for Range.
    QVariant CellValue(int row, int col) const;
    QString CellFormula(int row, int col) const;
    void WriteCell(int row, int col, const QVariant& value);
    void InsertRows(int row, int count);
    void CopyRows(int first, int count) const;
    void PasteRows(const CopiedRows& rows, int first, int count);
    void SelectArea(const Area& area);
    bool RowHidden(int row) const;
    // HPageBreaks.Add: a manual page break above `row`; it moves with that row.
    void AddPageBreakBefore(int row);
    void SetRowsHidden(int first, int last, bool hidden);
    // Column `col`'s width in characters of the standard font.
    void SetColumnWidth(int col, double width);
    int CellStyle(int row, int col) const;
    // Gives every cell of the area (or of the rows, and the rows' own format)
    // the format `restyle` derives from its current one and its place in the area.
    void Restyle(const Area& area, bool entireRows,
                 const std::function<int(int xf, bool firstCol, bool lastCol)>& restyle);

    // Book-wide upkeep.
    void ShiftFormulas(const QString& changedSheet, int row, int count);
    void RenameInFormulas(const QString& oldName, const QString& newName);
    void PrepareForSave(bool active);
    // The part's bytes in pieces around the streamed detail rows; empty when it has none.
    std::vector<ZipPiece> SavePieces();
    pugi::xml_node Entry() const { return entry_; }
    const std::vector<std::unique_ptr<RowWriter>>& DetailWriters() const { return writers_; }

  private:
    friend class RowWriter;
    pugi::xml_node Root() const;
    void ShiftRowsDown(int row, int count);
    // EAppError when `row` belongs to detail rows that the object model cannot reach.
    void CheckRowFree(int row) const;
    void CheckRowsFree(int first, int last) const;
    void ReleaseTemplateRows(RowWriter& writer);
    pugi::xml_node SheetData() const;
    void IndexRows() const;
    pugi::xml_node FindRow(int row) const;
    pugi::xml_node RowNode(int row);
    pugi::xml_node FindCell(int row, int col) const;
    pugi::xml_node CellNode(int row, int col);
    int DefaultStyle(pugi::xml_node rowNode, int col) const;
    void PrepareCells();
    void ShiftOwnRanges(int row, int count);
    void ShiftDrawingAnchors(int row, int count);
    void FormatNewRows(int row, int count);
    void ForEachFormula(const std::function<void(pugi::xml_node)>& visit);

    Workbook* book_;
    QString part_;
    pugi::xml_node entry_;  // <sheet> in workbook.xml
    pugi::xml_document* doc_;
    mutable std::map<int, pugi::xml_node> rows_;
    mutable bool rowsIndexed_ = false;
    std::optional<Area> selection_;
    std::vector<std::unique_ptr<RowWriter>> writers_;
};

// Throws EAppError when the application would refuse `name` as a sheet name.
void CheckSheetName(const QString& name);

}  // namespace sheet
