#include "templates/TemplateBook.h"

#include <zip.h>

#include <memory>
#include <stdexcept>

namespace templates {
namespace {

// The Japanese standard font of spreadsheet documents; readers without it
// substitute their own Gothic face.
const char* const kFontName = "ＭＳ Ｐゴシック";
constexpr uint8_t kShiftJisCharset = 128;
constexpr uint8_t kModernFamily = 3;
constexpr lxw_color_t kHeadingShade = 0xD9D9D9;

void Check(lxw_error error, const std::string& what) {
    if (error != LXW_NO_ERROR)
        throw std::runtime_error(what + ": " + lxw_strerror(error));
}

struct Cell {
    lxw_row_t row;
    lxw_col_t col;
};

Cell ParseCell(const char* cell) {
    return {lxw_name_to_row(cell), lxw_name_to_col(cell)};
}

struct Area {
    Cell first, last;
};

Area ParseArea(const char* range) {
    return {ParseCell(range), {lxw_name_to_row_2(range), lxw_name_to_col_2(range)}};
}

struct ZipCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};

}  // namespace

std::string ColumnName(int col) {
    std::string name;
    for (; col > 0; col = (col - 1) / 26)
        name.insert(name.begin(), char('A' + (col - 1) % 26));
    return name;
}

TemplateBook::TemplateBook(const std::string& path) : book_(workbook_new(path.c_str())) {
    if (!book_)
        throw std::runtime_error("cannot create workbook " + path);
}

TemplateBook::~TemplateBook() {
    if (book_)
        workbook_close(book_);
}

lxw_worksheet* TemplateBook::AddSheet(const std::string& name) {
    lxw_worksheet* sheet = workbook_add_worksheet(book_, name.c_str());
    if (!sheet)
        throw std::runtime_error("cannot add sheet " + name);
    return sheet;
}

lxw_format* TemplateBook::Format(const CellStyle& style) {
    for (const auto& [known, format] : formats_) {
        if (known == style)
            return format;
    }
    lxw_format* format = workbook_add_format(book_);
    format_set_font_name(format, kFontName);
    format_set_font_charset(format, kShiftJisCharset);
    format_set_font_family(format, kModernFamily);
    format_set_font_size(format, style.size);
    format_set_align(format, LXW_ALIGN_VERTICAL_CENTER);
    if (style.align != LXW_ALIGN_NONE)
        format_set_align(format, style.align);
    if (style.grey)
        format_set_font_color(format, 0x808080);
    if (style.bold)
        format_set_bold(format);
    if (style.shrink)
        format_set_shrink(format);
    switch (style.kind) {
        case CellStyle::Kind::Text:
            break;
        case CellStyle::Kind::Amount:
            format_set_num_format(format, "#,##0");
            break;
        case CellStyle::Kind::Date:
            // The program writes dates as fixed-width text ("2021/ 4/ 1").
            format_set_num_format(format, "@");
            break;
        case CellStyle::Kind::Difference:
            format_set_num_format(format, "#,##0;\"△\"#,##0");
            break;
        case CellStyle::Kind::Check:
            format_set_num_format(format, "[Red]#,##0;[Red]\"△\"#,##0;0");
            break;
        case CellStyle::Kind::Hidden:
            // A value the formulas use but nobody reads, on screen or on paper.
            format_set_num_format(format, ";;;");
            break;
    }
    switch (style.border) {
        case CellStyle::Border::None:
            break;
        case CellStyle::Border::Box:
            format_set_border(format, LXW_BORDER_THIN);
            break;
        case CellStyle::Border::BoxDoubleTop:
            format_set_border(format, LXW_BORDER_THIN);
            format_set_top(format, LXW_BORDER_DOUBLE);
            break;
        case CellStyle::Border::SpanFirst:
        case CellStyle::Border::SpanMiddle:
        case CellStyle::Border::SpanLast:
            format_set_top(format, LXW_BORDER_THIN);
            format_set_bottom(format, LXW_BORDER_THIN);
            if (style.border == CellStyle::Border::SpanFirst)
                format_set_left(format, LXW_BORDER_THIN);
            if (style.border == CellStyle::Border::SpanLast)
                format_set_right(format, LXW_BORDER_THIN);
            break;
        case CellStyle::Border::Under:
            format_set_bottom(format, LXW_BORDER_THIN);
            break;
        case CellStyle::Border::CutLine:
            format_set_bottom(format, LXW_BORDER_DASHED);
            break;
    }
    if (style.doubleTop)
        format_set_top(format, LXW_BORDER_DOUBLE);
    if (style.heading) {
        format_set_pattern(format, LXW_PATTERN_SOLID);
        format_set_bg_color(format, kHeadingShade);
    }
    formats_.emplace_back(style, format);
    return format;
}

void TemplateBook::Close() {
    lxw_workbook* book = book_;
    book_ = nullptr;
    Check(workbook_close(book), "cannot write workbook");
}

SheetWriter::SheetWriter(TemplateBook& book, const std::string& name)
    : book_(book), sheet_(book.AddSheet(name)) {}

void SheetWriter::Text(const char* cell, const std::string& text, const CellStyle& style) {
    const Cell at = ParseCell(cell);
    Check(worksheet_write_string(sheet_, at.row, at.col, text.c_str(), book_.Format(style)), cell);
}

void SheetWriter::Number(const char* cell, double value, const CellStyle& style) {
    const Cell at = ParseCell(cell);
    Check(worksheet_write_number(sheet_, at.row, at.col, value, book_.Format(style)), cell);
}

void SheetWriter::Formula(const char* cell, const std::string& formula, const CellStyle& style) {
    const Cell at = ParseCell(cell);
    Check(worksheet_write_formula(sheet_, at.row, at.col, formula.c_str(), book_.Format(style)), cell);
}

void SheetWriter::Blank(const char* cell, const CellStyle& style) {
    const Cell at = ParseCell(cell);
    Check(worksheet_write_blank(sheet_, at.row, at.col, book_.Format(style)), cell);
}

void SheetWriter::BlankRange(const char* range, const CellStyle& style) {
    const Area area = ParseArea(range);
    for (lxw_row_t row = area.first.row; row <= area.last.row; ++row) {
        for (lxw_col_t col = area.first.col; col <= area.last.col; ++col)
            Check(worksheet_write_blank(sheet_, row, col, book_.Format(style)), range);
    }
}

void SheetWriter::Merge(const char* range, const std::string& text, const CellStyle& style) {
    const Area area = ParseArea(range);
    Check(worksheet_merge_range(sheet_, area.first.row, area.first.col, area.last.row, area.last.col,
                                text.c_str(), book_.Format(style)),
          range);
}

void SheetWriter::Columns(const char* columns, double width, const CellStyle& style) {
    Check(worksheet_set_column(sheet_, lxw_name_to_col(columns), lxw_name_to_col_2(columns), width,
                               book_.Format(style)),
          columns);
}

void SheetWriter::HiddenColumns(const char* columns) {
    lxw_row_col_options hidden{};
    hidden.hidden = 1;
    Check(worksheet_set_column_opt(sheet_, lxw_name_to_col(columns), lxw_name_to_col_2(columns), LXW_DEF_COL_WIDTH,
                                   nullptr, &hidden),
          columns);
}

void SheetWriter::RowHeight(int row, double height) {
    Check(worksheet_set_row(sheet_, lxw_row_t(row - 1), height, nullptr), "row height");
}

void SheetWriter::HiddenRow(int row) {
    lxw_row_col_options hidden{};
    hidden.hidden = 1;
    Check(worksheet_set_row_opt(sheet_, lxw_row_t(row - 1), LXW_DEF_ROW_HEIGHT, nullptr, &hidden), "hidden row");
}

void SheetWriter::Print(const PrintSetup& setup) {
    constexpr uint8_t kA4 = 9;
    worksheet_set_paper(sheet_, kA4);
    if (setup.landscape) {
        worksheet_set_landscape(sheet_);
    } else {
        worksheet_set_portrait(sheet_);
    }
    // One page wide, as many pages tall as the rows need.
    worksheet_fit_to_pages(sheet_, 1, 0);
    worksheet_center_horizontally(sheet_);
    worksheet_set_margins(sheet_, 0.5, 0.5, 0.6, 0.6);
    const Area area = ParseArea(setup.area);
    Check(worksheet_print_area(sheet_, area.first.row, area.first.col, area.last.row, area.last.col),
          setup.area);
    if (setup.repeatRows) {
        const Area rows = ParseArea(setup.repeatRows);
        Check(worksheet_repeat_rows(sheet_, rows.first.row, rows.last.row), setup.repeatRows);
    }
    if (setup.pageNumbers)
        Check(worksheet_set_footer(sheet_, "&C&P / &N"), "footer");
}

void SheetWriter::FreezeAt(const char* cell) {
    const Cell at = ParseCell(cell);
    worksheet_freeze_panes(sheet_, at.row, at.col);
}

void MarkAsTemplate(const std::string& path) {
    static const std::string workbookType = "spreadsheetml.sheet.main+xml";
    static const std::string templateType = "spreadsheetml.template.main+xml";
    static const char* const contentTypes = "[Content_Types].xml";

    int error = 0;
    std::unique_ptr<zip_t, ZipCloser> archive(zip_open(path.c_str(), 0, &error));
    if (!archive)
        throw std::runtime_error("cannot open " + path);
    const zip_int64_t index = zip_name_locate(archive.get(), contentTypes, 0);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(archive.get(), zip_uint64_t(index), 0, &stat) != 0)
        throw std::runtime_error(path + " has no content types");
    std::string types(size_t(stat.size), '\0');
    zip_file_t* file = zip_fopen_index(archive.get(), zip_uint64_t(index), 0);
    const zip_int64_t read = file ? zip_fread(file, types.data(), stat.size) : -1;
    if (file)
        zip_fclose(file);
    if (read != zip_int64_t(stat.size))
        throw std::runtime_error("cannot read the content types of " + path);

    const size_t at = types.find(workbookType);
    if (at == std::string::npos)
        throw std::runtime_error(path + " has no workbook part");
    types.replace(at, workbookType.size(), templateType);

    // The buffer must outlive zip_close, which is when libzip reads it.
    zip_source_t* source = zip_source_buffer(archive.get(), types.data(), types.size(), 0);
    if (!source || zip_file_replace(archive.get(), zip_uint64_t(index), source, 0) != 0) {
        if (source)
            zip_source_free(source);
        throw std::runtime_error("cannot replace the content types of " + path);
    }
    if (zip_close(archive.get()) != 0)
        throw std::runtime_error("cannot write " + path);
    archive.release();
}

}  // namespace templates
