#pragma once
// The spreadsheet application, in process: its open workbooks, the
// calculation mode and the clipboard of copied rows. Constructing it is
// "starting" it; it owns every workbook it opened.

#include "sheet/Clipboard.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <set>
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

    // Visible := true hands every book not yet shown to the viewer (Viewer.h):
    // a book made from a template is first saved as .xlsx into the report
    // folder. EAppError "Excelの起動を失敗しました。…" when the viewer cannot be
    // found or the folder cannot be made, raised before any book is written.
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The fiscal year the saved files are named after; CurrentNendo while 0.
    void SetReportYear(int nendo) { reportYear_ = nendo; }
    // Said in the saved files' names after the template's (an interim statement's
    // 中間 and closing date); empty by default.
    void SetReportNote(const QString& note) { reportNote_ = note; }
    // The files Visible has written, oldest first.
    const QStringList& SavedFiles() const { return savedFiles_; }

  private:
    void ShowNewBooks();

    WorkbookCollection workbooks_;
    int calculation_;
    std::optional<CopiedRows> clipboard_;
    bool visible_ = false;
    int reportYear_ = 0;
    QString reportNote_;
    std::set<const Workbook*> shown_;
    QStringList savedFiles_;
};

}  // namespace sheet
