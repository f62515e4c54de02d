#include "sheet/RowWriter.h"

#include "core/Errors.h"
#include "sheet/CellRef.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Package.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "sheet/ZipWriter.h"

#include <QLocale>

#include <cstring>

namespace sheet {

// One cell of a template row as the writer repeats it.
struct RowWriter::CellPattern {
    int col = 0;
    std::string colName;
    std::string attributes;  // everything but r (and t on formula cells), as XML
    bool value = false;      // a column the report fills
    bool exists = false;     // the template row has the cell
    std::string content;     // the children of a plain template cell
    std::unique_ptr<FormulaPattern> formula;
};

struct RowWriter::RowPattern {
    std::string attributes;          // the row's own, but r
    std::vector<CellPattern> cells;  // by column
};

namespace {

void AppendAttributes(std::string& out, pugi::xml_node node, std::initializer_list<const char*> skip) {
    for (pugi::xml_attribute a : node.attributes()) {
        bool skipped = false;
        for (const char* name : skip)
            skipped = skipped || std::strcmp(a.name(), name) == 0;
        if (skipped)
            continue;
        out += ' ';
        out += a.name();
        out += "=\"";
        AppendXmlText(out, QString::fromUtf8(a.value()));
        out += '"';
    }
}

int CellColumn(pugi::xml_node cell) {
    const auto pos = ParseCellAddress(QString::fromUtf8(cell.attribute("r").value()));
    return pos ? pos->col : 0;
}

}  // namespace

RowWriter::RowWriter(Worksheet& sheet, const DetailLayout& layout, int count,
                     std::vector<pugi::xml_node> templateRows)
    : sheet_(&sheet),
      layout_(layout),
      count_(count),
      gap_(std::max(0, count - layout.templateRows)),
      templateRows_(std::move(templateRows)),
      cells_(std::size_t(layout.lastCol - layout.firstCol + 1)) {}

RowWriter::~RowWriter() = default;

int RowWriter::FirstRow() const {
    if (started_ || templateRows_.empty())
        return first_;
    return templateRows_.front().attribute("r").as_int();
}

int RowWriter::Row() const {
    return FirstRow() + next_;
}

bool RowWriter::OwnsRow(int row) const {
    if (count_ == 0)
        return false;
    const int first = FirstRow();
    if (started_)
        return row >= first && row <= first + count_ - 1;
    // Before writing, only the rows made for copies have no template row of their own.
    const int gapFirst = layout_.repeatFirst - layout_.firstRow + layout_.repeatRows + first;
    return gap_ > 0 && row >= gapFirst && row < gapFirst + gap_;
}

RowWriter::Cell& RowWriter::At(int col) {
    if (finished_ || next_ >= count_)
        throw EAppError(QStringLiteral("明細行は%1行までです。").arg(count_));
    if (col < layout_.firstCol || col > layout_.lastCol) {
        throw EAppError(QStringLiteral("列 %1 は明細行の書き込み範囲(%2～%3)の外です。")
                            .arg(ColumnName(col), ColumnName(layout_.firstCol), ColumnName(layout_.lastCol)));
    }
    return cells_[std::size_t(col - layout_.firstCol)];
}

void RowWriter::Text(int col, const QString& text) {
    Cell& cell = At(col);
    cell.kind = text.isEmpty() ? Cell::Kind::Empty : Cell::Kind::Text;
    cell.text = text;
}

void RowWriter::Number(int col, double value) {
    Cell& cell = At(col);
    cell.kind = Cell::Kind::Number;
    cell.integer = false;
    cell.number = value;
}

void RowWriter::Integer(int col, qint64 value) {
    Cell& cell = At(col);
    cell.kind = Cell::Kind::Number;
    cell.integer = true;
    cell.whole = value;
}

void RowWriter::Formula(int col, const QString& formula) {
    Cell& cell = At(col);
    const QString text = formula.startsWith(u'=') ? formula.mid(1) : formula;
    cell.kind = text.isEmpty() ? Cell::Kind::Empty : Cell::Kind::Formula;
    cell.text = text;
}

void RowWriter::Style(int col, int xf) {
    At(col).style = xf;
}

// The template row behind output row k, and how far a copy lies below it.
int RowWriter::TemplateIndex(int k, int& delta) const {
    delta = 0;
    const int repeatStart = layout_.repeatFirst - layout_.firstRow;
    const int repeatEnd = repeatStart + layout_.repeatRows;
    if (gap_ == 0 || k < repeatEnd)
        return k;
    if (k < repeatEnd + gap_) {
        const int t = repeatStart + (k - repeatEnd) % layout_.repeatRows;
        delta = k - t;
        return t;
    }
    return k - gap_;
}

void RowWriter::Start() {
    // Written rows are final from here: their numbers and references no longer move.
    first_ = FirstRow();
    started_ = true;
    segment_ = std::make_unique<DeflatedSegment>();
    buffer_.reserve(512 * 1024);
    minCol_ = layout_.firstCol;
    maxCol_ = layout_.lastCol;
    reach_[QString()] = first_ + count_ - 1;

    const int used = std::min(count_, layout_.templateRows);
    for (int t = 0; t < used; ++t) {
        pugi::xml_node row = templateRows_[std::size_t(t)];
        auto pattern = std::make_unique<RowPattern>();
        AppendAttributes(pattern->attributes, row, {"r"});
        std::map<int, pugi::xml_node> cells;
        for (pugi::xml_node cell : row.children("c")) {
            if (const int col = CellColumn(cell))
                cells[col] = cell;
        }
        for (int col = layout_.firstCol; col <= layout_.lastCol; ++col)
            cells.emplace(col, pugi::xml_node());
        const bool repeated = t >= layout_.repeatFirst - layout_.firstRow &&
                              t < layout_.repeatFirst - layout_.firstRow + layout_.repeatRows;
        for (const auto& [col, cell] : cells) {
            CellPattern c;
            c.col = col;
            c.colName = ColumnName(col).toStdString();
            c.value = col >= layout_.firstCol && col <= layout_.lastCol;
            c.exists = bool(cell);
            minCol_ = std::min(minCol_, col);
            maxCol_ = std::max(maxCol_, col);
            if (c.value) {
                const int style = cell ? cell.attribute("s").as_int() : sheet_->DefaultStyle(row, col);
                if (style != 0)
                    c.attributes = " s=\"" + std::to_string(style) + '"';
            } else if (pugi::xml_node f = cell.child("f")) {
                if (f.first_attribute())
                    throw EAppError(QStringLiteral("明細行のひな形に配列数式は使えません。"));
                AppendAttributes(c.attributes, cell, {"r", "t"});
                c.formula = std::make_unique<FormulaPattern>(QString::fromUtf8(f.text().get()));
                c.formula->MergeReach(repeated ? gap_ + layout_.repeatRows : 0, reach_);
            } else {
                AppendAttributes(c.attributes, cell, {"r"});
                for (pugi::xml_node child : cell.children())
                    c.content += SerializeXml(child).toStdString();
            }
            pattern->cells.push_back(std::move(c));
        }
        patterns_.push_back(std::move(pattern));
    }
}

void RowWriter::WriteCell(const CellPattern& pattern, int row, int delta) {
    std::string& out = buffer_;
    auto open = [&] {
        out += "<c r=\"";
        out += pattern.colName;
        out += std::to_string(row);
        out += '"';
        out += pattern.attributes;
    };
    if (!pattern.value) {
        open();
        if (pattern.formula) {
            out += "><f>";
            pattern.formula->AppendMoved(out, delta);
            out += "</f></c>";
        } else if (pattern.content.empty()) {
            out += "/>";
        } else {
            out += '>';
            out += pattern.content;
            out += "</c>";
        }
        return;
    }
    Cell& cell = cells_[std::size_t(pattern.col - layout_.firstCol)];
    const std::string own = cell.style > 0 ? " s=\"" + std::to_string(cell.style) + '"' : std::string();
    const std::string& attributes = cell.style >= 0 ? own : pattern.attributes;
    auto openValue = [&] {
        out += "<c r=\"";
        out += pattern.colName;
        out += std::to_string(row);
        out += '"';
        out += attributes;
    };
    const bool restyled = cell.style >= 0;
    cell.style = -1;
    switch (cell.kind) {
        case Cell::Kind::Empty:
            // A cleared cell keeps its format.
            if (pattern.exists || !attributes.empty() || restyled) {
                openValue();
                out += "/>";
            }
            break;
        case Cell::Kind::Number:
            openValue();
            out += "><v>";
            if (cell.integer)
                out += std::to_string(cell.whole);
            else
                out += QString::number(cell.number, 'g', QLocale::FloatingPointShortest).toStdString();
            out += "</v></c>";
            break;
        case Cell::Kind::Text:
            openValue();
            if (layout_.sharedStrings) {
                out += " t=\"s\"><v>";
                out += std::to_string(sheet_->Parent().Strings().Add(cell.text));
                out += "</v></c>";
            } else {
                const bool keepSpaces = cell.text.front().isSpace() || cell.text.back().isSpace();
                out += keepSpaces ? " t=\"inlineStr\"><is><t xml:space=\"preserve\">"
                                  : " t=\"inlineStr\"><is><t>";
                AppendXmlText(out, cell.text);
                out += "</t></is></c>";
            }
            break;
        case Cell::Kind::Formula: {
            openValue();
            out += "><f>";
            const FormulaPattern formula(cell.text);
            formula.MergeReach(0, reach_);
            formula.AppendMoved(out, 0);
            out += "</f></c>";
            break;
        }
    }
    cell.kind = Cell::Kind::Empty;
}

void RowWriter::NextRow() {
    if (finished_ || next_ >= count_)
        throw EAppError(QStringLiteral("明細行は%1行までです。").arg(count_));
    if (!started_)
        Start();
    int delta = 0;
    const int t = TemplateIndex(next_, delta);
    const RowPattern& pattern = *patterns_[std::size_t(t)];
    const int row = first_ + next_;
    buffer_ += "<row r=\"";
    buffer_ += std::to_string(row);
    buffer_ += '"';
    buffer_ += pattern.attributes;
    buffer_ += '>';
    for (const CellPattern& cell : pattern.cells)
        WriteCell(cell, row, delta);
    buffer_ += "</row>";
    ++next_;
    segment_->TakeIfLarge(buffer_);
}

void RowWriter::Finish() {
    if (finished_)
        return;
    if (next_ != count_) {
        throw EAppError(
            QStringLiteral("明細行が%1行のはずが%2行しか書かれていません。").arg(count_).arg(next_));
    }
    if (count_ > 0) {
        segment_->Take(buffer_);
        segment_->Finish();
        std::string().swap(buffer_);
        sheet_->ReleaseTemplateRows(*this);
    }
    patterns_.clear();
    finished_ = true;
}

}  // namespace sheet
