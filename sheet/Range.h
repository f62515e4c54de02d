#pragma once
// A rectangle of cells on one worksheet, or whole rows (EntireRow). A small
// handle: copy it freely while its worksheet lives.

#include "sheet/CellRef.h"
#include "sheet/SheetConstants.h"

#include <QString>
#include <QVariant>

namespace sheet {

class Worksheet;

class RangeFont {
  public:
    QString Name() const;
    void SetName(const QString& name);

  private:
    friend class Range;
    RangeFont(Worksheet& sheet, Area area, bool entireRows)
        : sheet_(&sheet), area_(area), entireRows_(entireRows) {}
    Worksheet* sheet_;
    Area area_;
    bool entireRows_;
};

class RangeBorder {
  public:
    // Only xlNone on xlInsideVertical is supported: the lines between the range's columns go.
    void SetLineStyle(int style);

  private:
    friend class Range;
    RangeBorder(Worksheet& sheet, Area area, bool entireRows, int index)
        : sheet_(&sheet), area_(area), entireRows_(entireRows), index_(index) {}
    Worksheet* sheet_;
    Area area_;
    bool entireRows_;
    int index_;
};

class Range {
  public:
    Range(Worksheet& sheet, Area area, bool entireRows = false);

    Worksheet& Parent() const { return *sheet_; }
    int Row() const { return area_.row1; }
    int Column() const { return area_.col1; }
    int RowsCount() const { return area_.Rows(); }
    int ColumnsCount() const { return area_.Columns(); }

    // The relative A1 address: "C12", "A1:C3", or "5:7" for whole rows.
    QString Address() const;

    // One cell: a number (double), a text, a bool or an empty QVariant. Several
    // cells: a list of rows, each a list of values.
    QVariant Value() const;
    // A single value goes into every cell; a list of lists is written row by
    // row. Texts starting with "=" become formulas, texts that read as plain
    // numbers become numbers, a text after a leading quote (') stays that text,
    // empty values clear the cells (formats stay).
    void SetValue(const QVariant& value);
    // As Value, but formula cells give their formula ("=SUM(A1:A3)") and
    // every other cell its value as text.
    QVariant Formula() const;
    void SetFormula(const QVariant& value);

    Range EntireRow() const;
    // EntireRow.Insert: as many rows as the range has, inserted above it; when
    // copied rows wait on the clipboard, the new rows are copies of them.
    void Insert(int shift = xlShiftDown);
    // EntireRow.Copy without destination: onto the application's clipboard.
    void Copy();
    // Makes this the selection of its worksheet (and that sheet the active one).
    void Select();
    bool Hidden() const;
    void SetHidden(bool hidden);

    void SetHorizontalAlignment(int alignment);
    RangeFont Font() const { return RangeFont(*sheet_, area_, entireRows_); }
    RangeBorder Borders(int index) const { return RangeBorder(*sheet_, area_, entireRows_, index); }
    void SetShrinkToFit(bool shrink);

  private:
    void CheckCells() const;
    QVariant Read(bool formulas) const;

    Worksheet* sheet_;
    Area area_;
    bool entireRows_;
};

}  // namespace sheet
