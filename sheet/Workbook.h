#pragma once
// A workbook: an OOXML package (.xlsx/.xltx) loaded into memory and edited in
// place. Parts the program does not edit are written back unchanged.

#include "sheet/CellRef.h"
#include "sheet/Package.h"
#include "sheet/SharedStrings.h"
#include "sheet/Styles.h"

#include <QString>
#include <memory>
#include <vector>

namespace sheet {

class Application;
class Worksheet;
class Workbook;

class SheetCollection {
  public:
    explicit SheetCollection(Workbook& book) : book_(&book) {}
    // 1-based.
    Worksheet& Item(int index) const;
    Worksheet& Item(const QString& name) const;
    int Count() const;

  private:
    Workbook* book_;
};

class Workbook {
  public:
    // Reads the package; a book made from a template (`fromTemplate`) is new and unsaved.
    static std::unique_ptr<Workbook> Load(Application& app, const QString& path, bool fromTemplate);
    ~Workbook();
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;

    Application& Parent() const { return *app_; }
    SheetCollection Sheets() { return SheetCollection(*this); }
    // The file the book was read from (the template for a new book).
    const QString& SourcePath() const { return source_; }
    bool IsFromTemplate() const { return fromTemplate_; }
    Worksheet& ActiveSheet() const;

    // Writes the book: as a template when the name ends in .xltx, as an
    // ordinary workbook otherwise. Formulas keep no cached results and the
    // book asks to be fully calculated when opened.
    void SaveAs(const QString& path);

    // For the worksheets.
    Package& Parts() { return package_; }
    Styles& StyleSheet() { return styles_; }
    SharedStrings& Strings() { return strings_; }
    const SharedStrings& Strings() const { return strings_; }
    const std::vector<std::unique_ptr<Worksheet>>& SheetList() const { return sheets_; }
    Worksheet* FindSheet(const QString& name) const;
    void Activate(Worksheet& sheet);
    void RowsInserted(const Worksheet& changed, int row, int count);
    // EAppError when inserting rows at `row` of `changed` would move detail rows
    // already written, or the rows they refer to, or cut through an area.
    void CheckRowsInsertable(const Worksheet& changed, int row) const;
    // EAppError when written detail rows name the sheet `name` in a formula.
    void CheckRenamable(const QString& name) const;
    void SheetRenamed(const QString& oldName, const QString& newName);
    Worksheet& CopySheet(Worksheet& source, Worksheet& after);
    // A new empty sheet after the last one, printed on A4 portrait, one page
    // wide. EAppError for a name the application refuses or one in use.
    Worksheet& AddSheet(const QString& name);
    // The sheet's print area (_xlnm.Print_Area), replacing any it has.
    void SetPrintArea(const Worksheet& sheet, const Area& area);

  private:
    Workbook(Application& app, Package package, QString source, bool fromTemplate);
    pugi::xml_node Root();
    void LoadParts();
    void RemoveCalcChain();
    QString NewPartName(const QString& folder, const QString& stem, const QString& extension) const;

    Application* app_;
    Package package_;
    QString source_;
    bool fromTemplate_;
    QString workbookPart_;
    Styles styles_{pugi::xml_node()};
    SharedStrings strings_;
    std::vector<std::unique_ptr<Worksheet>> sheets_;
    int active_ = 0;
};

}  // namespace sheet
