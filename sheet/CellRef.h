#pragma once
// A1-style cell addresses: column letters, cell and area texts.

#include <QString>
#include <QStringView>
#include <optional>

namespace sheet {

constexpr int kMaxRow = 1048576;
constexpr int kMaxColumn = 16384;

struct CellPos {
    int row = 0;
    int col = 0;
};

// A rectangle of cells, corners inclusive, first <= last.
struct Area {
    int row1 = 0;
    int col1 = 0;
    int row2 = 0;
    int col2 = 0;
    int Rows() const { return row2 - row1 + 1; }
    int Columns() const { return col2 - col1 + 1; }
    bool operator==(const Area&) const = default;
};

// 1 -> "A", 27 -> "AA".
QString ColumnName(int col);
// "A" -> 1; 0 when the text is not a column within the sheet.
int ColumnNumber(QStringView letters);
// (12, 3) -> "C12".
QString CellAddress(int row, int col);
// "C12" or "$C$12"; nothing when the text is not one cell of the sheet.
std::optional<CellPos> ParseCellAddress(QStringView text);
// "A1" or "A1:C3" (either corner order), as a normalised area.
std::optional<Area> ParseArea(QStringView text);
// "C12" for one cell, "A1:C3" otherwise.
QString AreaAddress(const Area& area);

}  // namespace sheet
