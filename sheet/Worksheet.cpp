#include "sheet/Worksheet.h"

#include "core/Errors.h"
#include "sheet/Application.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Workbook.h"
#include "sheet/XmlOrder.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cstring>

namespace sheet {
namespace {

void SetAttribute(pugi::xml_node node, const char* name, const QString& value) {
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute.set_value(Utf8(value).constData());
}

int RowNumber(pugi::xml_node row) {
    return row.attribute("r").as_int();
}

CellPos PosOf(pugi::xml_node cell) {
    const auto pos = ParseCellAddress(Text(cell.attribute("r").value()));
    return pos ? *pos : CellPos{};
}

void SetCellRow(pugi::xml_node cell, int row) {
    SetAttribute(cell, "r", CellAddress(row, PosOf(cell).col));
}

void ClearContent(pugi::xml_node cell) {
    cell.remove_children();
    cell.remove_attribute("t");
}

// A text that the application would read as a plain number when typed in.
std::optional<double> PlainNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

QString NumberText(double value) {
    return QString::number(value, 'g', QLocale::FloatingPointShortest);
}

// Row attributes that carry a row's format to a new row.
const char* const kRowFormat[] = {"s", "customFormat", "ht", "customHeight"};

}  // namespace

void CheckSheetName(const QString& name) {
    static const QString forbidden = QStringLiteral(":\\/?*[]");
    bool valid = !name.isEmpty() && name.size() <= 31 && !name.startsWith(u'\'') && !name.endsWith(u'\'') &&
                 name.compare(u"History", Qt::CaseInsensitive) != 0;
    for (QChar c : name) {
        if (forbidden.contains(c) || c.unicode() < 0x20)
            valid = false;
    }
    if (!valid) {
        throw EAppError(QStringLiteral("シート名「%1」は使用できません。シート名は1～31文字で、"
                                       ": \\ / ? * [ ] を含めることはできません。")
                            .arg(name));
    }
}

Worksheet::Worksheet(Workbook& book, QString part, pugi::xml_node entry)
    : book_(&book), part_(std::move(part)), entry_(entry), doc_(&book.Parts().Xml(part_)) {
    if (!Root())
        throw EAppError(QStringLiteral("シート「%1」を読み込めません。").arg(Name()));
    WorksheetChild(Root(), "sheetData");
    PrepareCells();
}

pugi::xml_node Worksheet::Root() const {
    return doc_->child("worksheet");
}
pugi::xml_node Worksheet::SheetData() const {
    return Root().child("sheetData");
}

int Worksheet::Index() const {
    const auto& list = book_->SheetList();
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i].get() == this)
            return int(i) + 1;
    }
    return 0;
}

QString Worksheet::Name() const {
    return Text(entry_.attribute("name").value());
}

void Worksheet::SetName(const QString& name) {
    const QString old = Name();
    if (name == old)
        return;
    CheckSheetName(name);
    book_->CheckRenamable(old);
    if (Worksheet* other = book_->FindSheet(name); other && other != this) {
        throw EAppError(QStringLiteral("シート名「%1」は既に使われています。").arg(name));
    }
    SetAttribute(entry_, "name", name);
    book_->SheetRenamed(old, name);
}

void Worksheet::Activate() {
    book_->Activate(*this);
}
void Worksheet::Select() {
    book_->Activate(*this);
}

Worksheet& Worksheet::Copy(Worksheet& after) {
    return book_->CopySheet(*this, after);
}

void Worksheet::Paste() {
    const auto& clipboard = book_->Parent().Clipboard();
    if (!clipboard)
        throw EAppError(QStringLiteral("貼り付ける行がコピーされていません。"));
    if (!selection_)
        throw EAppError(QStringLiteral("貼り付け先が選択されていません。"));
    PasteRows(*clipboard, selection_->row1, selection_->Rows());
}

sheet::Range Worksheet::Cells(int row, int col) {
    if (row < 1 || row > kMaxRow || col < 1 || col > kMaxColumn) {
        throw EAppError(QStringLiteral("セル(%1, %2)はシートの範囲外です。").arg(row).arg(col));
    }
    return sheet::Range(*this, Area{row, col, row, col});
}

sheet::Range Worksheet::Range(const QString& address) {
    const auto area = ParseArea(address);
    if (!area)
        throw EAppError(QStringLiteral("セル範囲「%1」が正しくありません。").arg(address));
    return sheet::Range(*this, *area);
}

sheet::Range Worksheet::Range(const QString& first, const QString& last) {
    const auto a = ParseArea(first);
    const auto b = ParseArea(last);
    if (!a || !b)
        throw EAppError(QStringLiteral("セル範囲「%1:%2」が正しくありません。").arg(first, last));
    return sheet::Range(*this, Area{std::min(a->row1, b->row1), std::min(a->col1, b->col1),
                                    std::max(a->row2, b->row2), std::max(a->col2, b->col2)});
}

// --- rows and cells ---------------------------------------------------------

void Worksheet::IndexRows() const {
    if (rowsIndexed_)
        return;
    rows_.clear();
    for (pugi::xml_node row : SheetData().children("row"))
        rows_[RowNumber(row)] = row;
    rowsIndexed_ = true;
}

pugi::xml_node Worksheet::FindRow(int row) const {
    IndexRows();
    const auto it = rows_.find(row);
    return it == rows_.end() ? pugi::xml_node() : it->second;
}

void Worksheet::CheckRowFree(int row) const {
    for (const auto& writer : writers_) {
        if (writer->OwnsRow(row)) {
            throw EAppError(
                QStringLiteral("%1行目は明細行として書き出す行のため、読み書きできません。").arg(row));
        }
    }
}

void Worksheet::CheckRowsFree(int first, int last) const {
    for (const auto& writer : writers_) {
        if (writer->Count() > 0 && writer->FirstRow() <= last && writer->LastRow() >= first) {
            throw EAppError(QStringLiteral("%1～%2行目には明細行があるため、コピー・貼り付けできません。")
                                .arg(first)
                                .arg(last));
        }
    }
}

pugi::xml_node Worksheet::RowNode(int row) {
    CheckRowFree(row);
    if (pugi::xml_node found = FindRow(row))
        return found;
    const auto next = rows_.upper_bound(row);
    pugi::xml_node node = next == rows_.end() ? SheetData().append_child("row")
                                              : SheetData().insert_child_before("row", next->second);
    node.append_attribute("r").set_value(row);
    rows_[row] = node;
    return node;
}

pugi::xml_node Worksheet::FindCell(int row, int col) const {
    for (pugi::xml_node cell : FindRow(row).children("c")) {
        const int c = PosOf(cell).col;
        if (c == col)
            return cell;
        if (c > col)
            break;
    }
    return {};
}

int Worksheet::DefaultStyle(pugi::xml_node rowNode, int col) const {
    if (rowNode.attribute("customFormat").as_bool())
        return rowNode.attribute("s").as_int();
    for (pugi::xml_node column : Root().child("cols").children("col")) {
        if (col >= column.attribute("min").as_int() && col <= column.attribute("max").as_int()) {
            return column.attribute("style").as_int();
        }
    }
    return 0;
}

pugi::xml_node Worksheet::CellNode(int row, int col) {
    pugi::xml_node rowNode = RowNode(row);
    pugi::xml_node before;
    for (pugi::xml_node cell : rowNode.children("c")) {
        const int c = PosOf(cell).col;
        if (c == col)
            return cell;
        if (c > col) {
            before = cell;
            break;
        }
    }
    pugi::xml_node cell = before ? rowNode.insert_child_before("c", before) : rowNode.append_child("c");
    cell.append_attribute("r").set_value(Utf8(CellAddress(row, col)).constData());
    if (const int style = DefaultStyle(rowNode, col))
        cell.append_attribute("s").set_value(style);
    return cell;
}

int Worksheet::CellStyle(int row, int col) const {
    if (pugi::xml_node cell = FindCell(row, col))
        return cell.attribute("s").as_int();
    return DefaultStyle(FindRow(row), col);
}

QVariant Worksheet::CellValue(int row, int col) const {
    CheckRowFree(row);
    pugi::xml_node cell = FindCell(row, col);
    if (!cell)
        return {};
    const QString type = Text(cell.attribute("t").value());
    const pugi::xml_node v = cell.child("v");
    if (type == u"inlineStr")
        return StringItemText(cell.child("is"));
    if (!v)
        return {};
    const QString text = Text(v.text().get());
    if (type == u"s")
        return book_->Strings().At(text.toInt());
    if (type == u"str" || type == u"e")
        return text;
    if (type == u"b")
        return text == u"1";
    return text.toDouble();
}

QString Worksheet::CellFormula(int row, int col) const {
    if (pugi::xml_node f = FindCell(row, col).child("f"))
        return u'=' + Text(f.text().get());
    const QVariant value = CellValue(row, col);
    if (value.typeId() == QMetaType::Double)
        return NumberText(value.toDouble());
    if (value.typeId() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    return value.toString();
}

void Worksheet::WriteCell(int row, int col, const QVariant& value) {
    // Writing into the sheet ends a pending copy, as in the application.
    book_->Parent().ClearClipboard();
    const bool isText = value.typeId() == QMetaType::QString;
    if (!value.isValid() || value.isNull() || (isText && value.toString().isEmpty())) {
        if (pugi::xml_node cell = FindCell(row, col))
            ClearContent(cell);
        return;
    }
    pugi::xml_node cell = CellNode(row, col);
    ClearContent(cell);
    switch (value.typeId()) {
        case QMetaType::Bool:
            cell.append_attribute("t").set_value("b");
            cell.append_child("v").text().set(value.toBool() ? "1" : "0");
            return;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
            cell.append_child("v").text().set(Utf8(value.toString()).constData());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            cell.append_child("v").text().set(Utf8(NumberText(value.toDouble())).constData());
            return;
        default:
            break;
    }
    const QString text = value.toString();
    if (text.startsWith(u'\'')) {
        // The quote prefix keeps what follows a text, as typed into the application.
        if (text.size() > 1) {
            cell.append_attribute("t").set_value("s");
            cell.append_child("v").text().set(book_->Strings().Add(text.mid(1)));
        }
    } else if (text.size() > 1 && text.startsWith(u'=')) {
        cell.append_child("f").text().set(Utf8(text.mid(1)).constData());
    } else if (const auto number = PlainNumber(text)) {
        cell.append_child("v").text().set(Utf8(NumberText(*number)).constData());
    } else {
        cell.append_attribute("t").set_value("s");
        cell.append_child("v").text().set(book_->Strings().Add(text));
    }
}

// --- row insertion ----------------------------------------------------------

void Worksheet::InsertRows(int row, int count) {
    if (count <= 0)
        return;
    ShiftRowsDown(row, count);
    const auto& clipboard = book_->Parent().Clipboard();
    if (clipboard) {
        const CopiedRows copied = *clipboard;
        PasteRows(copied, row, count);
    } else {
        FormatNewRows(row, count);
    }
}

// Renumbers what lies at and below `row` and adjusts every reference to it in the book.
void Worksheet::ShiftRowsDown(int row, int count) {
    book_->CheckRowsInsertable(*this, row);
    IndexRows();
    // The application refuses to push cells off the sheet.
    if (!rows_.empty() && rows_.rbegin()->first >= row && rows_.rbegin()->first + count > kMaxRow) {
        throw EAppError(QStringLiteral("シートの最終行に達するため、行を挿入できません。"));
    }
    for (auto it = rows_.lower_bound(row); it != rows_.end(); ++it) {
        const int moved = it->first + count;
        it->second.attribute("r").set_value(moved);
        for (pugi::xml_node cell : it->second.children("c"))
            SetCellRow(cell, moved);
    }
    rowsIndexed_ = false;
    ShiftOwnRanges(row, count);
    book_->RowsInserted(*this, row, count);
}

RowWriter& Worksheet::InsertDetailRows(const DetailLayout& layout, int count) {
    const int templateLast = layout.firstRow + layout.templateRows - 1;
    const bool valid = layout.firstRow >= 1 && layout.templateRows >= 1 && templateLast <= kMaxRow &&
                       layout.repeatRows >= 1 && layout.repeatFirst >= layout.firstRow &&
                       layout.repeatFirst + layout.repeatRows - 1 <= templateLast && layout.firstCol >= 1 &&
                       layout.lastCol >= layout.firstCol && layout.lastCol <= kMaxColumn && count >= 0;
    if (!valid)
        throw EAppError(QStringLiteral("明細行の範囲の指定が正しくありません。"));
    const int gap = std::max(0, count - layout.templateRows);
    if (gap % layout.repeatRows != 0) {
        throw EAppError(QStringLiteral("明細行の数 %1 は %2 行ずつの繰り返しになりません。")
                            .arg(count)
                            .arg(layout.repeatRows));
    }
    CheckRowsFree(layout.firstRow, templateLast);
    book_->Parent().ClearClipboard();

    const int repeatEnd = layout.repeatFirst + layout.repeatRows;  // first row below the repeated record
    if (gap > 0) {
        std::vector<Area> merges;
        for (pugi::xml_node merge : Root().child("mergeCells").children("mergeCell")) {
            const auto area = ParseArea(Text(merge.attribute("ref").value()));
            if (area && area->row1 >= layout.repeatFirst && area->row2 < repeatEnd)
                merges.push_back(*area);
        }
        ShiftRowsDown(repeatEnd, gap);
        // The copies of the repeated record carry its merged cells, as pasted rows do.
        if (!merges.empty()) {
            pugi::xml_node list = WorksheetChild(Root(), "mergeCells");
            for (int d = layout.repeatRows; d <= gap; d += layout.repeatRows) {
                for (const Area& a : merges) {
                    list.append_child("mergeCell")
                        .append_attribute("ref")
                        .set_value(Utf8(AreaAddress({a.row1 + d, a.col1, a.row2 + d, a.col2})).constData());
                }
            }
            SetAttribute(list, "count",
                         QString::number(std::distance(list.children("mergeCell").begin(),
                                                       list.children("mergeCell").end())));
        }
    }
    std::vector<pugi::xml_node> rows;
    for (int r = layout.firstRow; r <= templateLast; ++r)
        rows.push_back(RowNode(r >= repeatEnd ? r + gap : r));
    writers_.push_back(std::unique_ptr<RowWriter>(new RowWriter(*this, layout, count, std::move(rows))));
    return *writers_.back();
}

void Worksheet::ReleaseTemplateRows(RowWriter& writer) {
    const std::size_t used = std::size_t(std::min(writer.count_, writer.layout_.templateRows));
    for (std::size_t t = 0; t < used; ++t)
        SheetData().remove_child(writer.templateRows_[t]);
    writer.templateRows_.clear();
    rowsIndexed_ = false;
}

// New rows take the format of the row above them.
void Worksheet::FormatNewRows(int row, int count) {
    pugi::xml_node above = FindRow(row - 1);
    if (!above)
        return;
    bool rowFormatted = false;
    for (const char* name : kRowFormat)
        rowFormatted = rowFormatted || above.attribute(name);
    std::vector<std::pair<int, int>> styles;
    for (pugi::xml_node cell : above.children("c")) {
        if (const int s = cell.attribute("s").as_int())
            styles.emplace_back(PosOf(cell).col, s);
    }
    if (!rowFormatted && styles.empty())
        return;
    for (int r = row; r < row + count; ++r) {
        pugi::xml_node node = RowNode(r);
        for (const char* name : kRowFormat) {
            if (pugi::xml_attribute a = above.attribute(name))
                SetAttribute(node, name, Text(a.value()));
        }
        for (const auto& [col, s] : styles) {
            pugi::xml_node cell = CellNode(r, col);
            SetAttribute(cell, "s", QString::number(s));
        }
    }
}

void Worksheet::ShiftOwnRanges(int row, int count) {
    auto shiftRef = [&](pugi::xml_node node, const char* attribute) -> bool {
        pugi::xml_attribute a = node.attribute(attribute);
        if (!a)
            return true;
        const QString shifted = ShiftSqrefForRowInsert(Text(a.value()), row, count);
        a.set_value(Utf8(shifted).constData());
        return !shifted.isEmpty();
    };
    auto shiftAll = [&](const char* list, const char* item, const char* attribute) {
        pugi::xml_node parent = Root().child(list);
        std::vector<pugi::xml_node> dropped;
        for (pugi::xml_node node : parent.children(item)) {
            if (!shiftRef(node, attribute))
                dropped.push_back(node);
        }
        for (pugi::xml_node node : dropped)
            parent.remove_child(node);
        if (parent && parent.attribute("count")) {
            parent.attribute("count").set_value(
                std::distance(parent.children(item).begin(), parent.children(item).end()));
        }
    };
    shiftAll("mergeCells", "mergeCell", "ref");
    shiftAll("dataValidations", "dataValidation", "sqref");
    shiftAll("hyperlinks", "hyperlink", "ref");
    for (pugi::xml_node format : Root().children("conditionalFormatting"))
        shiftRef(format, "sqref");
    shiftRef(Root().child("autoFilter"), "ref");
    // A break above the row that moves goes with it (ids are 0-based rows).
    for (pugi::xml_node brk : Root().child("rowBreaks").children("brk")) {
        if (brk.attribute("id").as_int() + 1 >= row)
            brk.attribute("id").set_value(brk.attribute("id").as_int() + count);
    }
    ForEachFormula([&](pugi::xml_node f) {
        if (std::strcmp(f.attribute("t").value(), "array") == 0)
            shiftRef(f, "ref");
    });
    ShiftDrawingAnchors(row, count);
}

void Worksheet::AddPageBreakBefore(int row) {
    if (row <= 1 || row > kMaxRow)
        return;
    pugi::xml_node breaks = WorksheetChild(Root(), "rowBreaks");
    const int id = row - 1;
    pugi::xml_node next;
    for (pugi::xml_node brk : breaks.children("brk")) {
        if (brk.attribute("id").as_int() == id)
            return;
        if (brk.attribute("id").as_int() > id) {
            next = brk;
            break;
        }
    }
    pugi::xml_node brk = next ? breaks.insert_child_before("brk", next) : breaks.append_child("brk");
    brk.append_attribute("id").set_value(id);
    brk.append_attribute("max").set_value(16383);
    brk.append_attribute("man").set_value(1);
    const auto count = std::distance(breaks.children("brk").begin(), breaks.children("brk").end());
    SetAttribute(breaks, "count", QString::number(count));
    SetAttribute(breaks, "manualBreakCount", QString::number(count));
}

void Worksheet::SetColumnWidth(int col, double width) {
    pugi::xml_node cols = WorksheetChild(Root(), "cols");
    pugi::xml_node next;
    for (pugi::xml_node entry : cols.children("col")) {
        const int min = entry.attribute("min").as_int();
        const int max = entry.attribute("max").as_int();
        if (min == col && max == col) {
            SetAttribute(entry, "width", QString::number(width));
            return;
        }
        // A span that covers the column keeps its other columns as they are.
        if (min <= col && col <= max)
            throw EAppError(QStringLiteral("列幅を変更できません。"));
        if (min > col) {
            next = entry;
            break;
        }
    }
    pugi::xml_node entry = next ? cols.insert_child_before("col", next) : cols.append_child("col");
    entry.append_attribute("min").set_value(col);
    entry.append_attribute("max").set_value(col);
    entry.append_attribute("width").set_value(width);
    entry.append_attribute("customWidth").set_value(1);
}

void Worksheet::ShiftDrawingAnchors(int row, int count) {
    Package& package = book_->Parts();
    for (const Relationship& rel : ReadRelationships(package, part_)) {
        if (rel.external || !rel.type.endsWith(u"/drawing"))
            continue;
        const QString drawing = ResolveTarget(part_, rel.target);
        if (!package.Has(drawing))
            continue;
        std::function<void(pugi::xml_node)> walk = [&](pugi::xml_node node) {
            for (pugi::xml_node child : node.children()) {
                const char* name = LocalName(child);
                if (std::strcmp(name, "from") == 0 || std::strcmp(name, "to") == 0) {
                    for (pugi::xml_node part : child.children()) {
                        if (std::strcmp(LocalName(part), "row") != 0)
                            continue;
                        const int r = part.text().as_int();
                        if (r + 1 >= row)
                            part.text().set(r + count);
                    }
                } else {
                    walk(child);
                }
            }
        };
        walk(package.Xml(drawing));
    }
}

void Worksheet::ForEachFormula(const std::function<void(pugi::xml_node)>& visit) {
    for (pugi::xml_node row : SheetData().children("row")) {
        for (pugi::xml_node cell : row.children("c")) {
            if (pugi::xml_node f = cell.child("f"))
                visit(f);
        }
    }
}

void Worksheet::ShiftFormulas(const QString& changedSheet, int row, int count) {
    const QString host = Name();
    auto shift = [&](pugi::xml_node node) {
        const QString text = Text(node.text().get());
        if (!text.isEmpty()) {
            node.text().set(Utf8(ShiftFormulaForRowInsert(text, host, changedSheet, row, count)).constData());
        }
    };
    ForEachFormula(shift);
    for (pugi::xml_node format : Root().children("conditionalFormatting")) {
        for (pugi::xml_node rule : format.children("cfRule")) {
            for (pugi::xml_node formula : rule.children("formula"))
                shift(formula);
        }
    }
    for (pugi::xml_node validation : Root().child("dataValidations").children("dataValidation")) {
        shift(validation.child("formula1"));
        shift(validation.child("formula2"));
    }
}

void Worksheet::RenameInFormulas(const QString& oldName, const QString& newName) {
    auto rename = [&](pugi::xml_node node) {
        const QString text = Text(node.text().get());
        if (!text.isEmpty())
            node.text().set(Utf8(RenameSheetInFormula(text, oldName, newName)).constData());
    };
    ForEachFormula(rename);
    for (pugi::xml_node format : Root().children("conditionalFormatting")) {
        for (pugi::xml_node rule : format.children("cfRule")) {
            for (pugi::xml_node formula : rule.children("formula"))
                rename(formula);
        }
    }
    for (pugi::xml_node validation : Root().child("dataValidations").children("dataValidation")) {
        rename(validation.child("formula1"));
        rename(validation.child("formula2"));
    }
}

// --- copy and paste ---------------------------------------------------------

void Worksheet::CopyRows(int first, int count) const {
    CheckRowsFree(first, first + count - 1);
    CopiedRows copied;
    copied.book = book_;
    copied.firstRow = first;
    copied.rowCount = count;
    copied.rows = std::make_shared<pugi::xml_document>();
    pugi::xml_node holder = copied.rows->append_child("rows");
    IndexRows();
    for (auto it = rows_.lower_bound(first); it != rows_.end() && it->first < first + count; ++it) {
        holder.append_copy(it->second);
    }
    for (pugi::xml_node merge : Root().child("mergeCells").children("mergeCell")) {
        const auto area = ParseArea(Text(merge.attribute("ref").value()));
        if (area && area->row1 >= first && area->row2 < first + count)
            copied.merges.push_back(*area);
    }
    book_->Parent().SetClipboard(std::move(copied));
}

void Worksheet::PasteRows(const CopiedRows& copied, int first, int count) {
    if (copied.book != book_)
        throw EAppError(QStringLiteral("別のブックからコピーした行は貼り付けできません。"));
    const int block = copied.rowCount;
    // A larger selection that holds the block a whole number of times is filled with repeats.
    const int total = count % block == 0 ? count : block;
    const int last = first + total - 1;
    if (last > kMaxRow)
        throw EAppError(QStringLiteral("貼り付け先がシートの範囲を超えます。"));
    CheckRowsFree(first, last);

    std::map<int, pugi::xml_node> source;
    for (pugi::xml_node row : copied.rows->child("rows").children("row"))
        source[RowNumber(row)] = row;

    IndexRows();
    for (int r = first; r <= last; ++r) {
        if (pugi::xml_node old = FindRow(r)) {
            SheetData().remove_child(old);
            rows_.erase(r);
        }
    }
    for (int r = first; r <= last; ++r) {
        const int from = copied.firstRow + (r - first) % block;
        const auto it = source.find(from);
        if (it == source.end())
            continue;
        const auto next = rows_.upper_bound(r);
        pugi::xml_node node = next == rows_.end() ? SheetData().append_copy(it->second)
                                                  : SheetData().insert_copy_before(it->second, next->second);
        node.attribute("r").set_value(r);
        for (pugi::xml_node cell : node.children("c")) {
            SetCellRow(cell, r);
            if (pugi::xml_node f = cell.child("f")) {
                f.text().set(Utf8(MoveFormula(Text(f.text().get()), r - from, 0)).constData());
                if (pugi::xml_attribute ref = f.attribute("ref")) {
                    if (auto area = ParseArea(Text(ref.value()))) {
                        ref.set_value(Utf8(AreaAddress({area->row1 + r - from, area->col1,
                                                        area->row2 + r - from, area->col2}))
                                          .constData());
                    }
                }
            }
        }
        rows_[r] = node;
    }

    // Merged areas: those over the pasted rows give way to the copied ones.
    if (!copied.merges.empty() || Root().child("mergeCells")) {
        pugi::xml_node merges = WorksheetChild(Root(), "mergeCells");
        std::vector<pugi::xml_node> covered;
        for (pugi::xml_node merge : merges.children("mergeCell")) {
            const auto area = ParseArea(Text(merge.attribute("ref").value()));
            if (area && area->row2 >= first && area->row1 <= last)
                covered.push_back(merge);
        }
        for (pugi::xml_node merge : covered)
            merges.remove_child(merge);
        for (int start = first; start + block - 1 <= last; start += block) {
            for (const Area& area : copied.merges) {
                const int d = start - copied.firstRow;
                merges.append_child("mergeCell")
                    .append_attribute("ref")
                    .set_value(
                        Utf8(AreaAddress({area.row1 + d, area.col1, area.row2 + d, area.col2})).constData());
            }
        }
        const auto n =
            std::distance(merges.children("mergeCell").begin(), merges.children("mergeCell").end());
        if (n == 0) {
            Root().remove_child(merges);
        } else {
            SetAttribute(merges, "count", QString::number(n));
        }
    }
}

void Worksheet::SelectArea(const Area& area) {
    book_->Activate(*this);
    selection_ = area;
}

bool Worksheet::RowHidden(int row) const {
    return FindRow(row).attribute("hidden").as_bool();
}

void Worksheet::SetRowsHidden(int first, int last, bool hidden) {
    for (int r = first; r <= last; ++r) {
        if (hidden) {
            SetAttribute(RowNode(r), "hidden", QStringLiteral("1"));
        } else if (pugi::xml_node node = FindRow(r)) {
            node.remove_attribute("hidden");
        }
    }
}

void Worksheet::Restyle(const Area& area, bool entireRows,
                        const std::function<int(int xf, bool firstCol, bool lastCol)>& restyle) {
    std::map<std::tuple<int, bool, bool>, int> derived;
    auto next = [&](int xf, bool firstCol, bool lastCol) {
        const auto key = std::make_tuple(xf, firstCol, lastCol);
        auto it = derived.find(key);
        if (it == derived.end())
            it = derived.emplace(key, restyle(xf, firstCol, lastCol)).first;
        return it->second;
    };
    for (int r = area.row1; r <= area.row2; ++r) {
        if (entireRows) {
            pugi::xml_node row = RowNode(r);
            SetAttribute(row, "s", QString::number(next(row.attribute("s").as_int(), false, false)));
            SetAttribute(row, "customFormat", QStringLiteral("1"));
            for (pugi::xml_node cell : row.children("c")) {
                const int col = PosOf(cell).col;
                SetAttribute(
                    cell, "s",
                    QString::number(next(cell.attribute("s").as_int(), col == 1, col == kMaxColumn)));
            }
            continue;
        }
        for (int c = area.col1; c <= area.col2; ++c) {
            pugi::xml_node cell = CellNode(r, c);
            SetAttribute(cell, "s",
                         QString::number(next(cell.attribute("s").as_int(), c == area.col1, c == area.col2)));
        }
    }
}

// --- load and save ----------------------------------------------------------

// Gives every row and cell its number and turns shared formulas into plain ones.
void Worksheet::PrepareCells() {
    struct Master {
        QString text;
        CellPos pos;
    };
    std::map<QString, Master> masters;
    int lastRow = 0;
    for (pugi::xml_node row : SheetData().children("row")) {
        if (!row.attribute("r"))
            row.prepend_attribute("r").set_value(lastRow + 1);
        lastRow = RowNumber(row);
        int lastCol = 0;
        for (pugi::xml_node cell : row.children("c")) {
            if (!cell.attribute("r"))
                cell.prepend_attribute("r").set_value(Utf8(CellAddress(lastRow, lastCol + 1)).constData());
            lastCol = PosOf(cell).col;
            pugi::xml_node f = cell.child("f");
            if (f && std::strcmp(f.attribute("t").value(), "shared") == 0 && f.attribute("ref")) {
                masters[Text(f.attribute("si").value())] = {Text(f.text().get()), PosOf(cell)};
            }
        }
    }
    if (masters.empty())
        return;
    ForEachFormula([&](pugi::xml_node f) {
        if (std::strcmp(f.attribute("t").value(), "shared") != 0)
            return;
        const auto it = masters.find(Text(f.attribute("si").value()));
        if (it == masters.end())
            return;
        const CellPos pos = PosOf(f.parent());
        const QString text =
            MoveFormula(it->second.text, pos.row - it->second.pos.row, pos.col - it->second.pos.col);
        f.remove_attribute("t");
        f.remove_attribute("si");
        f.remove_attribute("ref");
        f.text().set(Utf8(text).constData());
    });
}

void Worksheet::PrepareForSave(bool active) {
    int minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    for (pugi::xml_node row : SheetData().children("row")) {
        for (pugi::xml_node cell : row.children("c")) {
            if (cell.child("f")) {
                // No cached result: every reader computes the formula afresh.
                cell.remove_child("v");
                cell.remove_attribute("t");
            }
            const CellPos pos = PosOf(cell);
            if (pos.row == 0)
                continue;
            minRow = minRow == 0 ? pos.row : std::min(minRow, pos.row);
            maxRow = std::max(maxRow, pos.row);
            minCol = minCol == 0 ? pos.col : std::min(minCol, pos.col);
            maxCol = std::max(maxCol, pos.col);
        }
    }
    for (const auto& writer : writers_) {
        if (writer->Count() == 0)
            continue;
        if (!writer->Finished())
            throw EAppError(QStringLiteral("シート「%1」の明細行が書き終わっていません。").arg(Name()));
        minRow = minRow == 0 ? writer->FirstRow() : std::min(minRow, writer->FirstRow());
        maxRow = std::max(maxRow, writer->LastRow());
        minCol = minCol == 0 ? writer->MinColumn() : std::min(minCol, writer->MinColumn());
        maxCol = std::max(maxCol, writer->MaxColumn());
    }
    const QString dimension =
        minRow == 0 ? QStringLiteral("A1") : AreaAddress({minRow, minCol, maxRow, maxCol});
    SetAttribute(WorksheetChild(Root(), "dimension"), "ref", dimension);
    for (pugi::xml_node view : Root().child("sheetViews").children("sheetView")) {
        view.remove_attribute("tabSelected");
        if (active)
            view.prepend_attribute("tabSelected").set_value("1");
    }
}

std::vector<ZipPiece> Worksheet::SavePieces() {
    std::vector<const RowWriter*> written;
    for (const auto& writer : writers_) {
        if (writer->Count() > 0)
            written.push_back(writer.get());
    }
    if (written.empty())
        return {};
    std::sort(written.begin(), written.end(),
              [](const RowWriter* a, const RowWriter* b) { return a->FirstRow() < b->FirstRow(); });
    // A marker where each block of written rows belongs among the rows, cut out of the text again.
    std::vector<pugi::xml_node> markers;
    for (std::size_t i = 0; i < written.size(); ++i) {
        pugi::xml_node below;
        for (pugi::xml_node row : SheetData().children("row")) {
            if (RowNumber(row) > written[i]->LastRow()) {
                below = row;
                break;
            }
        }
        pugi::xml_node marker = below ? SheetData().insert_child_before(pugi::node_pi, below)
                                      : SheetData().append_child(pugi::node_pi);
        marker.set_name("tsubaki-rows");
        marker.set_value(std::to_string(i).c_str());
        markers.push_back(marker);
    }
    const QByteArray text = SerializeXml(*doc_);
    for (pugi::xml_node marker : markers)
        SheetData().remove_child(marker);

    std::vector<ZipPiece> pieces;
    qsizetype from = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const QByteArray marker = "<?tsubaki-rows " + QByteArray::number(qulonglong(i)) + "?>";
        const qsizetype at = text.indexOf(marker, from);
        if (at < 0)
            throw EAppError(QStringLiteral("シート「%1」を保存できません。").arg(Name()));
        pieces.push_back({text.mid(from, at - from), nullptr});
        pieces.push_back({QByteArray(), written[i]->Segment()});
        from = at + marker.size();
    }
    pieces.push_back({text.mid(from), nullptr});
    return pieces;
}

}  // namespace sheet
