#include "reports/ExcelBaseModuleUnit1.h"

#include <algorithm>

#include "core/Errors.h"
#include "sheet/Application.h"
#include "sheet/SheetConstants.h"
#include "sheet/Viewer.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace {

// Runs `release` when the scope ends, whatever ends it.
template <typename F>
class ScopeExit {
  public:
    explicit ScopeExit(F release) : release_(std::move(release)) {}
    ~ScopeExit() { release_(); }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;

  private:
    F release_;
};

}  // namespace

bool IsTemplatePath(const QString& path) {
    return path.endsWith(QStringLiteral(".xlt"), Qt::CaseInsensitive) ||
           path.endsWith(QStringLiteral(".xltx"), Qt::CaseInsensitive);
}

TExcelBaseModule1::TExcelBaseModule1() = default;

TExcelBaseModule1::~TExcelBaseModule1() {
    try {
        CloseExcel();
    } catch (...) {
        // Releasing never fails a caller that is already finishing.
    }
}

void TExcelBaseModule1::SetBookmei(const QString& value) {
    FBookmei = value;
    OpenBookName = value;
}

void TExcelBaseModule1::SetSheetmei(const QString& value) {
    FSheetmei = value;
    FDisplaySheet = value;
}

void TExcelBaseModule1::Execute() {
    RunReport();
}

void TExcelBaseModule1::SetBusy(bool busy) {
    if (FProgress)
        FProgress->Busy(busy);
}

void TExcelBaseModule1::BeginSteps(int count) {
    FStepsTotal = count + 1;  // and saving the book
    FStepsDone = 0;
}

void TExcelBaseModule1::NextStep(const QString& text) {
    if (FProgress && FStepsTotal > 0)
        FProgress->Step(text, std::min(FStepsDone, FStepsTotal - 1), FStepsTotal);
    ++FStepsDone;
}

void TExcelBaseModule1::RunReport() {
    OpenBookName = Bookmei();
    FStepsTotal = 0;
    SetBusy(true);
    ScopeExit restoreCursor([this] { SetBusy(false); });
    StartExcel();
    OpenBook();
    ScopeExit release([this] { CloseExcel(); });

    Exl->SetCalculation(sheet::xlCalculationManual);
    try {
        WriteBook();
    } catch (...) {
        Exl->SetCalculation(sheet::xlCalculationAutomatic);
        throw;
    }
    Exl->SetCalculation(sheet::xlCalculationAutomatic);

    if (!DisplaySheet().isEmpty() && Sheet && Sheet->Name() != DisplaySheet()) {
        Sheet = nullptr;
        Sheet = &Book->Sheets().Item(DisplaySheet());
        Sheet->Activate();
    }
    if (FStepsTotal > 0)
        NextStep(QStringLiteral("ブックを保存しています。"));
    ShowBook();
}

void TExcelBaseModule1::ShowBook() {
    if (!FOutputFile.isEmpty()) {
        Book->SaveAs(FOutputFile);
        FSavedFiles = QStringList{FOutputFile};
        return;
    }
    Exl->SetVisible(true);
    FSavedFiles = Exl->SavedFiles();
}

void TExcelBaseModule1::StartExcel() {
    try {
        Exl = std::make_unique<sheet::Application>();
        // Nothing can be shown without the viewer and the report folder: find
        // out now, before any work is done.
        if (FOutputFile.isEmpty())
            sheet::Viewer::FromSettings().Prepare();
    } catch (const std::exception& e) {
        Exl.reset();
        const QString message = ErrorMessageOf(e);
        if (message.startsWith(sheet::ViewerStartFailedText()))
            throw EAppError(message);
        throw EAppError(sheet::ViewerStartFailedText() + QStringLiteral("\r\n\r\n") + message);
    }
}

void TExcelBaseModule1::OpenBook() {
    try {
        Book = IsTemplatePath(OpenBookName) ? &Exl->Workbooks().Add(OpenBookName)
                                            : &Exl->Workbooks().Open(OpenBookName);
        if (!Sheetmei().isEmpty()) {
            Sheet = &Book->Sheets().Item(Sheetmei());
            Sheet->Activate();
        }
    } catch (...) {
        CloseExcel();
        throw;
    }
}

void TExcelBaseModule1::CloseExcel() {
    // The sheet and the book belong to the application: dropping the
    // application releases them; the saved files stay for the viewer.
    Sheet = nullptr;
    Book = nullptr;
    Exl.reset();
}
