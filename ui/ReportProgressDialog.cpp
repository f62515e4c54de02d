#include "ui/ReportProgressDialog.h"

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>

TReportProgressDialog::TReportProgressDialog(QWidget* owner, QString title, int showAfterMs)
    : owner_(owner), title_(std::move(title)), showAfterMs_(showAfterMs) {}

TReportProgressDialog::~TReportProgressDialog() {
    if (hourglass_)
        QApplication::restoreOverrideCursor();
}

void TReportProgressDialog::Busy(bool busy) {
    if (busy && !hourglass_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        hourglass_ = true;
        running_.start();
    } else if (!busy) {
        dialog_.reset();
        if (std::exchange(hourglass_, false))
            QApplication::restoreOverrideCursor();
    }
}

void TReportProgressDialog::Step(const QString& text, int done, int total) {
    if (!dialog_) {
        if (!running_.isValid() || running_.elapsed() < showAfterMs_)
            return;
        dialog_ = std::make_unique<QProgressDialog>(owner_);
        dialog_->setWindowTitle(title_);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setCancelButton(nullptr);  // a run is not stopped halfway
        dialog_->setMinimumDuration(0);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
        dialog_->setMinimumWidth(420);
        if (auto* label = dialog_->findChild<QLabel*>())
            label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
    dialog_->setRange(0, total);
    dialog_->setLabelText(text + QStringLiteral("  (%1/%2)").arg(done + 1).arg(total));
    dialog_->setValue(done);  // shows the bar and lets the windows repaint
    dialog_->show();
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}
