#include "sheet/Application.h"

#include "core/Errors.h"
#include "sheet/SheetConstants.h"
#include "sheet/Workbook.h"

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

}  // namespace sheet
