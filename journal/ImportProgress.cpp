#include "journal/ImportProgress.h"

#include <QProgressDialog>

using namespace Qt::Literals::StringLiterals;

namespace {
constexpr int kSteps = 1000;
}

TImportProgress::TImportProgress(QWidget* parent, const QString& text)
    : dialog_(std::make_unique<QProgressDialog>(text, u"キャンセル"_s, 0, kSteps, parent)) {
    dialog_->setWindowTitle(u"取込"_s);
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(500);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
}

TImportProgress::~TImportProgress() = default;

bool TImportProgress::operator()(qint64 done, qint64 total) {
    // Setting the value lets the dialog show itself and take the click on キャンセル.
    dialog_->setValue(total > 0 ? static_cast<int>(done * kSteps / total) : 0);
    return !dialog_->wasCanceled();
}
