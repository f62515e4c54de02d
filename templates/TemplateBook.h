#pragma once
// A workbook template being generated: libxlsxwriter's workbook with the few
// helpers every layout uses. Cells are named by A1 addresses, as the report
// modules name them, so a layout reads like the list of cells it provides.

#include <xlsxwriter.h>

#include <cstdint>
#include <string>
#include <vector>

namespace templates {

// The look of a cell. Every layout builds its cells from these few traits so
// that the templates of one installation look alike.
struct CellStyle {
    // SpanFirst, SpanMiddle, SpanLast: the cells of one boxed text that runs
    // over several columns without lines between them (a long description
    // spills into its empty neighbours). Under: a line below only (a name
    // written on a line). CutLine: a dashed line below, where paper is cut.
    enum class Border { None, Box, BoxDoubleTop, SpanFirst, SpanMiddle, SpanLast, Under, CutLine };
    // Difference: an amount whose negative values show with △, as Japanese
    // statements print a decrease. Check: a difference that should be 0, in red
    // whenever it is not.
    enum class Kind { Text, Amount, Date, Hidden, Difference, Check };

    Kind kind = Kind::Text;
    Border border = Border::None;
    uint8_t align = LXW_ALIGN_NONE;
    double size = 10;
    bool bold = false;
    bool heading = false;    // shaded heading or band
    bool shrink = false;     // long texts shrink to the column instead of spilling
    bool doubleTop = false;  // a double line on top, whatever the border (a totals row)
    bool grey = false;       // grey text (an example to be written over)

    bool operator==(const CellStyle&) const = default;
};

class TemplateBook {
  public:
    explicit TemplateBook(const std::string& path);
    // Writes whatever was made when Close was not reached (the caller removes it).
    ~TemplateBook();
    TemplateBook(const TemplateBook&) = delete;
    TemplateBook& operator=(const TemplateBook&) = delete;

    lxw_worksheet* AddSheet(const std::string& name);
    // One format per distinct style, made on first use.
    lxw_format* Format(const CellStyle& style);
    // Writes the file; std::runtime_error when that fails.
    void Close();

  private:
    lxw_workbook* book_;
    std::vector<std::pair<CellStyle, lxw_format*>> formats_;
};

// Writing one sheet of a template; every call raises std::runtime_error on a
// refusal of the library, so a broken layout stops the build.
class SheetWriter {
  public:
    SheetWriter(TemplateBook& book, const std::string& name);

    void Text(const char* cell, const std::string& text, const CellStyle& style);
    void Number(const char* cell, double value, const CellStyle& style);
    void Formula(const char* cell, const std::string& formula, const CellStyle& style);
    // An empty cell that exists with its format: a place the program fills.
    void Blank(const char* cell, const CellStyle& style);
    // Blank cells over a range ("B5:O5").
    void BlankRange(const char* range, const CellStyle& style);
    void Merge(const char* range, const std::string& text, const CellStyle& style);
    // Width and default format of columns ("A:A", "C:N").
    void Columns(const char* columns, double width, const CellStyle& style);
    // Columns kept out of sight: helper values the visible formulas read.
    void HiddenColumns(const char* columns);
    void RowHeight(int row, double height);
    // A row kept out of sight: helper values the visible formulas read.
    void HiddenRow(int row);

    struct PrintSetup {
        const char* area;
        const char* repeatRows;  // "4:4", or nullptr
        bool landscape;
        bool pageNumbers = true;  // in the footer
    };
    // A4, one page wide, centred, page numbers in the footer unless told not to.
    void Print(const PrintSetup& setup);
    // Freezes the rows above and the columns left of `cell`.
    void FreezeAt(const char* cell);

  private:
    TemplateBook& book_;
    lxw_worksheet* sheet_;
};

// The column letters of 1-based column `col` ("A", "O").
std::string ColumnName(int col);
// Makes the package written by libxlsxwriter (always an ordinary workbook) a
// template: its workbook part gets the template content type.
void MarkAsTemplate(const std::string& path);

}  // namespace templates
