#include "sheet/Application.h"

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "sheet/SheetConstants.h"
#include "sheet/Viewer.h"
#include "sheet/Workbook.h"

#include <QDateTime>

namespace sheet {

WorkbookCollection::WorkbookCollection(Application& app) : app_(app) {}
WorkbookCollection::~WorkbookCollection() = default;

Workbook& WorkbookCollection::Add(const QString& templatePath) {
    books_.push_back(Workbook::Load(app_, templatePath, true));
    return *books_.back();
}

Workbook& WorkbookCollection::Open(const QString& path) {
    books_.push_back(Workbook::Load(app_, path, false));
    return *books_.back();
}

int WorkbookCollection::Count() const {
    return int(books_.size());
}

Workbook& WorkbookCollection::Item(int index) {
    if (index < 1 || index > Count())
        throw EAppError(QStringLiteral("ブック %1 はありません。").arg(index));
    return *books_[size_t(index - 1)];
}

Application::Application() : workbooks_(*this), calculation_(xlCalculationAutomatic) {}
Application::~Application() = default;

void Application::SetCalculation(int mode) {
    if (mode != xlCalculationManual && mode != xlCalculationAutomatic) {
        throw EAppError(QStringLiteral("計算方法の指定 %1 は正しくありません。").arg(mode));
    }
    calculation_ = mode;
}

void Application::SetVisible(bool visible) {
    if (visible)
        ShowNewBooks();
    visible_ = visible;
}

void Application::ShowNewBooks() {
    std::vector<Workbook*> pending;
    for (int i = 1; i <= workbooks_.Count(); ++i) {
        if (!shown_.contains(&workbooks_.Item(i)))
            pending.push_back(&workbooks_.Item(i));
    }
    if (pending.empty())
        return;
    Viewer viewer = Viewer::FromSettings();
    viewer.Prepare();
    const QDateTime stamp = QDateTime::currentDateTime();
    const int year = reportYear_ != 0 ? reportYear_ : CurrentNendo;
    QStringList files;
    for (Workbook* book : pending) {
        // A book opened from a file is shown as that file; only new books need saving.
        if (book->IsFromTemplate()) {
            files << viewer.Save(*book, CurrentDantai, year, stamp, reportNote_);
            savedFiles_ << files.back();
        } else {
            files << book->SourcePath();
        }
        shown_.insert(book);
    }
    viewer.Show(files);
}

}  // namespace sheet
