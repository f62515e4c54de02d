#include "sheet/Workbook.h"

#include "core/Errors.h"
#include "sheet/Application.h"
#include "sheet/Chart.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Worksheet.h"
#include "sheet/XmlOrder.h"

#include <QDir>
#include <QFileInfo>
#include <string_view>

namespace sheet {
namespace {

const QString kRelBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kSheetMainType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml");
const QString kTemplateMainType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml");
const QString kWorksheetType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml");
const QString kSharedStringsType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml");

bool IsType(const Relationship& rel, const char* kind) {
    return rel.type.endsWith(u'/' + QLatin1String(kind));
}

void SetAttribute(pugi::xml_node node, const char* name, const QString& value) {
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute.set_value(Utf8(value).constData());
}

}  // namespace

Worksheet& SheetCollection::Item(int index) const {
    if (index < 1 || index > Count())
        throw EAppError(QStringLiteral("シート %1 はありません。").arg(index));
    return *book_->SheetList()[size_t(index - 1)];
}

Worksheet& SheetCollection::Item(const QString& name) const {
    if (Worksheet* found = book_->FindSheet(name))
        return *found;
    throw EAppError(QStringLiteral("シート「%1」はありません。").arg(name));
}

int SheetCollection::Count() const {
    return int(book_->SheetList().size());
}

Workbook::Workbook(Application& app, Package package, QString source, bool fromTemplate)
    : app_(&app), package_(std::move(package)), source_(std::move(source)), fromTemplate_(fromTemplate) {}

Workbook::~Workbook() = default;

std::unique_ptr<Workbook> Workbook::Load(Application& app, const QString& path, bool fromTemplate) {
    if (!QFileInfo(path).isFile()) {
        throw EAppError(
            QStringLiteral("ファイル「%1」が見つかりません。").arg(QDir::toNativeSeparators(path)));
    }
    std::unique_ptr<Workbook> book(new Workbook(app, Package::Load(path), path, fromTemplate));
    book->LoadParts();
    return book;
}

void Workbook::LoadParts() {
    for (const Relationship& rel : ReadRelationships(package_, QString())) {
        if (IsType(rel, "officeDocument"))
            workbookPart_ = ResolveTarget(QString(), rel.target);
    }
    if (workbookPart_.isEmpty() || !package_.Has(workbookPart_)) {
        throw EAppError(QStringLiteral("ファイル「%1」をブックとして開けません。")
                            .arg(QDir::toNativeSeparators(source_)));
    }
    const std::vector<Relationship> rels = ReadRelationships(package_, workbookPart_);
    QString sharedStrings;
    for (const Relationship& rel : rels) {
        if (IsType(rel, "styles"))
            styles_ = Styles(package_.Xml(ResolveTarget(workbookPart_, rel.target)).child("styleSheet"));
        if (IsType(rel, "sharedStrings"))
            sharedStrings = ResolveTarget(workbookPart_, rel.target);
    }
    if (sharedStrings.isEmpty()) {
        sharedStrings =
            NewPartName(QStringLiteral("xl/"), QStringLiteral("sharedStrings"), QStringLiteral("xml"));
        package_.SetBytes(
            sharedStrings,
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<sst "
            "xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" uniqueCount=\"0\"/>");
        AddRelationship(package_, workbookPart_, kRelBase + QStringLiteral("sharedStrings"),
                        RelativeTarget(workbookPart_, sharedStrings));
        SetContentTypeOverride(package_, sharedStrings, kSharedStringsType);
    }
    strings_ = SharedStrings(package_.Xml(sharedStrings).child("sst"));

    for (pugi::xml_node entry : Root().child("sheets").children("sheet")) {
        const QString id = Text(RelationshipIdAttribute(entry).value());
        QString part;
        for (const Relationship& rel : rels) {
            if (rel.id == id)
                part = ResolveTarget(workbookPart_, rel.target);
        }
        if (part.isEmpty() || !package_.Has(part)) {
            throw EAppError(QStringLiteral("ブックのシート「%1」を読み込めません。")
                                .arg(Text(entry.attribute("name").value())));
        }
        sheets_.push_back(std::make_unique<Worksheet>(*this, part, entry));
    }
    if (sheets_.empty())
        throw EAppError(QStringLiteral("ブックにシートがありません。"));
    const int activeTab = Root().child("bookViews").child("workbookView").attribute("activeTab").as_int();
    active_ = activeTab >= 0 && activeTab < int(sheets_.size()) ? activeTab : 0;
}

pugi::xml_node Workbook::Root() {
    return package_.Xml(workbookPart_).child("workbook");
}

Worksheet& Workbook::ActiveSheet() const {
    return *sheets_[size_t(active_)];
}

Worksheet* Workbook::FindSheet(const QString& name) const {
    for (const auto& sheet : sheets_) {
        if (sheet->Name().compare(name, Qt::CaseInsensitive) == 0)
            return sheet.get();
    }
    return nullptr;
}

void Workbook::Activate(Worksheet& sheet) {
    active_ = sheet.Index() - 1;
}

void Workbook::RowsInserted(const Worksheet& changed, int row, int count) {
    const QString name = changed.Name();
    for (const auto& sheet : sheets_)
        sheet->ShiftFormulas(name, row, count);
    ShiftChartReferences(package_, name, row, count);
    for (pugi::xml_node definedName : Root().child("definedNames").children("definedName")) {
        QString host;
        if (pugi::xml_attribute local = definedName.attribute("localSheetId")) {
            const int index = local.as_int();
            if (index >= 0 && index < int(sheets_.size()))
                host = sheets_[size_t(index)]->Name();
        }
        const QString text = Text(definedName.text().get());
        definedName.text().set(Utf8(ShiftFormulaForRowInsert(text, host, name, row, count)).constData());
    }
}

void Workbook::CheckRowsInsertable(const Worksheet& changed, int row) const {
    const QString name = changed.Name();
    for (const auto& sheet : sheets_) {
        for (const auto& writer : sheet->DetailWriters()) {
            if (writer->Count() == 0)
                continue;
            if (!writer->Started()) {
                if (sheet.get() == &changed && writer->FirstRow() < row && row <= writer->LastRow()) {
                    throw EAppError(QStringLiteral("明細行の途中(%1行目)には行を挿入できません。").arg(row));
                }
                continue;
            }
            for (const auto& [target, last] : writer->Reach()) {
                const bool here = target.isEmpty() ? sheet.get() == &changed
                                                   : target.compare(name, Qt::CaseInsensitive) == 0;
                if (here && row <= last) {
                    throw EAppError(
                        QStringLiteral("シート「%1」の%2行目より上には、書き出した明細行があるため"
                                       "行を挿入できません。")
                            .arg(name)
                            .arg(last + 1));
                }
            }
        }
    }
}

void Workbook::CheckRenamable(const QString& name) const {
    for (const auto& sheet : sheets_) {
        for (const auto& writer : sheet->DetailWriters()) {
            for (const auto& [target, last] : writer->Reach()) {
                if (!target.isEmpty() && target.compare(name, Qt::CaseInsensitive) == 0) {
                    throw EAppError(
                        QStringLiteral(
                            "シート「%1」は書き出した明細行の数式が参照しているため、名前を変更できません。")
                            .arg(name));
                }
            }
        }
    }
}

void Workbook::SheetRenamed(const QString& oldName, const QString& newName) {
    for (const auto& sheet : sheets_)
        sheet->RenameInFormulas(oldName, newName);
    RenameInChartReferences(package_, oldName, newName);
    for (pugi::xml_node definedName : Root().child("definedNames").children("definedName")) {
        const QString text = Text(definedName.text().get());
        definedName.text().set(Utf8(RenameSheetInFormula(text, oldName, newName)).constData());
    }
}

QString Workbook::NewPartName(const QString& folder, const QString& stem, const QString& extension) const {
    for (int n = 1;; ++n) {
        const QString name = folder + stem +
                             (n == 1 && stem == u"sharedStrings" ? QString() : QString::number(n)) + u'.' +
                             extension;
        if (!package_.Has(name))
            return name;
    }
}

Worksheet& Workbook::CopySheet(Worksheet& source, Worksheet& after) {
    const QString sourceName = source.Name();
    if (!source.DetailWriters().empty())
        throw EAppError(QStringLiteral("明細行のあるシート「%1」はコピーできません。").arg(sourceName));
    const int sourceIndex = source.Index() - 1;
    const int newIndex = after.Index();  // 0-based position of the copy

    // The name the application gives a copy: "Name (2)", kept within 31 characters.
    QString copyName;
    for (int n = 2; copyName.isEmpty() || FindSheet(copyName); ++n) {
        const QString suffix = QStringLiteral(" (%1)").arg(n);
        copyName = sourceName.left(31 - suffix.size()) + suffix;
    }

    // The sheet part and the parts it owns (drawings, comments, tables, printer settings).
    const QString part =
        NewPartName(QStringLiteral("xl/worksheets/"), QStringLiteral("sheet"), QStringLiteral("xml"));
    package_.SetBytes(part, SerializeXml(package_.Xml(source.PartName())));
    SetContentTypeOverride(package_, part, kWorksheetType);
    for (const Relationship& rel : ReadRelationships(package_, source.PartName())) {
        QString target = rel.target;
        const QString owned = ResolveTarget(source.PartName(), rel.target);
        if (!rel.external && package_.Has(owned) &&
            (IsType(rel, "drawing") || IsType(rel, "vmlDrawing") || IsType(rel, "comments") ||
             IsType(rel, "table") || IsType(rel, "printerSettings"))) {
            const QFileInfo info(owned);
            const QString folder = owned.left(owned.size() - info.fileName().size());
            QString stem = info.completeBaseName();
            while (!stem.isEmpty() && stem.back().isDigit())
                stem.chop(1);
            const QString copy = NewPartName(folder, stem, info.suffix());
            package_.SetBytes(copy, package_.Has(owned) ? SerializeXml(package_.Xml(owned)) : QByteArray());
            if (const QString type = ContentTypeOf(package_, owned); !type.isEmpty()) {
                SetContentTypeOverride(package_, copy, type);
            }
            if (package_.Has(RelsPartOf(owned))) {
                package_.SetBytes(RelsPartOf(copy), SerializeXml(package_.Xml(RelsPartOf(owned))));
            }
            target = RelativeTarget(part, copy);
        }
        const QString rels = RelsPartOf(part);
        if (!package_.Has(rels)) {
            package_.SetBytes(rels,
                              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
                              "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"/>");
        }
        pugi::xml_node node = package_.Xml(rels).child("Relationships").append_child("Relationship");
        node.append_attribute("Id").set_value(Utf8(rel.id).constData());
        node.append_attribute("Type").set_value(Utf8(rel.type).constData());
        node.append_attribute("Target").set_value(Utf8(target).constData());
        if (rel.external)
            node.append_attribute("TargetMode").set_value("External");
    }

    // The workbook's list of sheets.
    const QString id = AddRelationship(package_, workbookPart_, kRelBase + QStringLiteral("worksheet"),
                                       RelativeTarget(workbookPart_, part));
    unsigned maxId = 0;
    for (pugi::xml_node entry : Root().child("sheets").children("sheet")) {
        maxId = std::max(maxId, entry.attribute("sheetId").as_uint());
    }
    pugi::xml_node entry = Root().child("sheets").insert_copy_after(source.Entry(), after.Entry());
    SetAttribute(entry, "name", copyName);
    SetAttribute(entry, "sheetId", QString::number(maxId + 1));
    RelationshipIdAttribute(entry).set_value(Utf8(id).constData());

    // Sheet-local names: later sheets move up one place, the source's names are duplicated for the copy.
    pugi::xml_node names = Root().child("definedNames");
    std::vector<pugi::xml_node> ownNames;
    for (pugi::xml_node definedName : names.children("definedName")) {
        pugi::xml_attribute local = definedName.attribute("localSheetId");
        if (!local)
            continue;
        if (local.as_int() == sourceIndex)
            ownNames.push_back(definedName);
        if (local.as_int() >= newIndex)
            local.set_value(local.as_int() + 1);
    }
    for (pugi::xml_node definedName : ownNames) {
        pugi::xml_node copy = names.insert_copy_after(definedName, definedName);
        copy.attribute("localSheetId").set_value(newIndex);
        const QString text = Text(copy.text().get());
        copy.text().set(Utf8(RenameSheetInFormula(text, sourceName, copyName)).constData());
    }
    if (active_ >= newIndex)
        ++active_;

    auto sheet = std::make_unique<Worksheet>(*this, part, entry);
    Worksheet& created = *sheet;
    sheets_.insert(sheets_.begin() + newIndex, std::move(sheet));
    created.RenameInFormulas(sourceName, copyName);
    return created;
}

Worksheet& Workbook::AddSheet(const QString& name) {
    CheckSheetName(name);
    if (FindSheet(name))
        throw EAppError(QStringLiteral("シート「%1」はすでにあります。").arg(name));
    const QString part =
        NewPartName(QStringLiteral("xl/worksheets/"), QStringLiteral("sheet"), QStringLiteral("xml"));
    package_.SetBytes(
        part,
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
        "<worksheet xmlns=\"http://schemas.openxmlformats.org/spreadsheetml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\">"
        "<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr><dimension ref=\"A1\"/>"
        "<sheetViews><sheetView workbookViewId=\"0\"/></sheetViews>"
        "<sheetFormatPr defaultRowHeight=\"13.5\"/><sheetData/>"
        "<pageMargins left=\"0.6\" right=\"0.6\" top=\"0.75\" bottom=\"0.75\" header=\"0.3\" footer=\"0.3\"/>"
        "<pageSetup paperSize=\"9\" orientation=\"portrait\" fitToWidth=\"1\" fitToHeight=\"0\"/>"
        "</worksheet>");
    SetContentTypeOverride(package_, part, kWorksheetType);
    const QString id = AddRelationship(package_, workbookPart_, kRelBase + QStringLiteral("worksheet"),
                                       RelativeTarget(workbookPart_, part));
    unsigned maxId = 0;
    pugi::xml_node list = Root().child("sheets");
    for (pugi::xml_node entry : list.children("sheet"))
        maxId = std::max(maxId, entry.attribute("sheetId").as_uint());
    pugi::xml_node entry = list.append_child("sheet");
    SetAttribute(entry, "name", name);
    SetAttribute(entry, "sheetId", QString::number(maxId + 1));
    pugi::xml_attribute idAttribute = RelationshipIdAttribute(list.first_child());
    entry.append_attribute(idAttribute ? idAttribute.name() : "r:id").set_value(Utf8(id).constData());
    sheets_.push_back(std::make_unique<Worksheet>(*this, part, entry));
    return *sheets_.back();
}

void Workbook::SetPrintArea(const Worksheet& sheet, const Area& area) {
    const int local = sheet.Index() - 1;
    pugi::xml_node names = WorkbookChild(Root(), "definedNames");
    for (pugi::xml_node definedName : names.children("definedName")) {
        if (std::string_view(definedName.attribute("name").value()) == "_xlnm.Print_Area" &&
            definedName.attribute("localSheetId") &&
            definedName.attribute("localSheetId").as_int() == local) {
            names.remove_child(definedName);
            break;
        }
    }
    pugi::xml_node definedName = names.append_child("definedName");
    definedName.append_attribute("name").set_value("_xlnm.Print_Area");
    definedName.append_attribute("localSheetId").set_value(local);
    const QString first = QStringLiteral("$%1$%2").arg(ColumnName(area.col1)).arg(area.row1);
    const QString last = QStringLiteral("$%1$%2").arg(ColumnName(area.col2)).arg(area.row2);
    definedName.text().set(Utf8(QuoteSheetName(sheet.Name()) + u'!' + first + u':' + last).constData());
}

void Workbook::RemoveCalcChain() {
    for (const Relationship& rel : ReadRelationships(package_, workbookPart_)) {
        if (!IsType(rel, "calcChain"))
            continue;
        const QString part = ResolveTarget(workbookPart_, rel.target);
        package_.Remove(part);
        RemoveContentTypeOverride(package_, part);
        RemoveRelationship(package_, workbookPart_, rel.id);
    }
}

void Workbook::SaveAs(const QString& path) {
    std::map<QString, std::vector<ZipPiece>> assembled;
    for (size_t i = 0; i < sheets_.size(); ++i)
        sheets_[i]->PrepareForSave(int(i) == active_);
    pugi::xml_node root = Root();
    if (pugi::xml_node view = root.child("bookViews").child("workbookView")) {
        SetAttribute(view, "activeTab", QString::number(active_));
        // The first visible tab must not lie beyond the active one.
        if (view.attribute("firstSheet").as_int() > active_)
            view.remove_attribute("firstSheet");
    }
    // Every formula is computed when the book is opened; no cached result survives.
    SetAttribute(WorkbookChild(root, "calcPr"), "fullCalcOnLoad", QStringLiteral("1"));
    RemoveCalcChain();
    const QString suffix = QFileInfo(path).suffix().toLower();
    SetContentTypeOverride(package_, workbookPart_, suffix == u"xltx" ? kTemplateMainType : kSheetMainType);
    strings_.UpdateCounts();
    for (const auto& sheet : sheets_) {
        if (std::vector<ZipPiece> pieces = sheet->SavePieces(); !pieces.empty())
            assembled.emplace(sheet->PartName(), std::move(pieces));
    }
    package_.SaveAs(path, assembled);
}

}  // namespace sheet
