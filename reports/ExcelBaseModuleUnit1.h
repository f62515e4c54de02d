#pragma once
// The spreadsheet side of every report module: starting the spreadsheet
// application, opening the book (a new one from a template or a file itself),
// the run flow around the report's own writing, and releasing everything.
//
// Calling order (every caller follows it):
//   1. create the module;
//   2. set its properties (Nendo, Jikoku and the report's own, in the descendants);
//   3. Execute();
//   4. destroy it, also when Execute threw (destruction releases the application
//      and ignores any error in doing so).
//
// Feedback: this library links no GUI. A window that wants the hourglass (and a
// progress bar for a long run) while a report runs hands it an IReportProgress.

#include <QString>
#include <QStringList>

#include <memory>

#include "reports/ReportProgress.h"

namespace sheet {
class Application;
class Workbook;
class Worksheet;
}  // namespace sheet

class TExcelBaseModule1 {
  public:
    TExcelBaseModule1();
    virtual ~TExcelBaseModule1();
    TExcelBaseModule1(const TExcelBaseModule1&) = delete;
    TExcelBaseModule1& operator=(const TExcelBaseModule1&) = delete;

    // Template or workbook path; setting it also sets OpenBookName.
    const QString& Bookmei() const { return FBookmei; }
    void SetBookmei(const QString& value);
    // Sheet connected when the book has been opened (empty: none); setting it
    // also sets DisplaySheet.
    const QString& Sheetmei() const { return FSheetmei; }
    void SetSheetmei(const QString& value);
    // Sheet brought to the front at the end of the run; empty leaves the current one.
    const QString& DisplaySheet() const { return FDisplaySheet; }
    void SetDisplaySheet(const QString& value) { FDisplaySheet = value; }

    virtual void Execute();

    // The files the run handed to the viewer (a book made from a template is
    // saved into the report folder first), oldest first.
    const QStringList& SavedFiles() const { return FSavedFiles; }

    // Where the finished book is written (the command line's --out). Set, the run
    // needs no viewer and no report folder: the book is saved at `path` and no
    // program is started. Empty (the default): the book goes to the viewer.
    const QString& OutputFile() const { return FOutputFile; }
    void SetOutputFile(const QString& path) { FOutputFile = path; }

    // Told when the run starts and ends, and of each step of a long run; not owned.
    void SetProgress(IReportProgress* progress) { FProgress = progress; }

  protected:
    virtual void StartExcel();
    virtual void OpenBook();
    virtual void CloseExcel();
    virtual void RunReport();
    virtual void WriteBook() {}

    // A run written in several steps (a sheet per division) counts them before
    // the first; the run adds saving the book as a last step. Each step is told
    // as it starts.
    void BeginSteps(int count);
    void NextStep(const QString& text);

    // The application of this run, its book and the sheet the writing steps
    // address. Exl owns the book; the book owns its sheets.
    std::unique_ptr<sheet::Application> Exl;
    sheet::Workbook* Book = nullptr;
    sheet::Worksheet* Sheet = nullptr;
    QString OpenBookName;
    QString FBookmei;
    QString FSheetmei;
    QString FDisplaySheet;

  private:
    void SetBusy(bool busy);
    void ShowBook();

    QStringList FSavedFiles;
    QString FOutputFile;
    IReportProgress* FProgress = nullptr;
    int FStepsTotal = 0;
    int FStepsDone = 0;
};

// True when `path` names a template: it ends in .xlt or .xltx, any letter case.
bool IsTemplatePath(const QString& path);
