#pragma once
// The spreadsheet application, in process: its open workbooks, the
// calculation mode and the clipboard of copied rows. Constructing it is
// "starting" it; it owns every workbook it opened.

#include "sheet/Clipboard.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace sheet {

class Application;
class Workbook;

class WorkbookCollection {
  public:
    explicit WorkbookCollection(Application& app);
    ~WorkbookCollection();
    WorkbookCollection(const WorkbookCollection&) = delete;
    WorkbookCollection& operator=(const WorkbookCollection&) = delete;

    // A new, unsaved book made from the template file (Workbooks.Add).
    Workbook& Add(const QString& templatePath);
    // The file itself (Workbooks.Open).
    Workbook& Open(const QString& path);
    int Count() const;
    // 1-based.
    Workbook& Item(int index);

  private:
    Application& app_;
    std::vector<std::unique_ptr<Workbook>> books_;
};

class Application {
  public:
    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    WorkbookCollection& Workbooks() { return workbooks_; }
    // xlCalculationManual or xlCalculationAutomatic. Nothing is computed in
    // process either way; saved books ask for a full calculation on opening.
    int Calculation() const { return calculation_; }
    void SetCalculation(int mode);

    const std::optional<CopiedRows>& Clipboard() const { return clipboard_; }
    void SetClipboard(CopiedRows rows) { clipboard_ = std::move(rows); }
    void ClearClipboard() { clipboard_.reset(); }

  private:
    WorkbookCollection workbooks_;
    int calculation_;
    std::optional<CopiedRows> clipboard_;
};

}  // namespace sheet
