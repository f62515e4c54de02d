#pragma once
// The window side of a report run's feedback: the hourglass for the whole run,
// and, once a run of several steps has taken more than a moment, a progress bar
// over the window that names the step (the division being written).

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

#include <memory>

#include "reports/ReportProgress.h"

class QProgressDialog;
class QWidget;

class TReportProgressDialog final : public IReportProgress {
  public:
    // `owner`: the window that started the report; `title`: the report's name.
    // The bar appears at the first step that starts `showAfterMs` or later after
    // the run began.
    TReportProgressDialog(QWidget* owner, QString title, int showAfterMs = 500);
    ~TReportProgressDialog() override;
    TReportProgressDialog(const TReportProgressDialog&) = delete;
    TReportProgressDialog& operator=(const TReportProgressDialog&) = delete;

    void Busy(bool busy) override;
    void Step(const QString& text, int done, int total) override;

    // The progress bar while it is shown; nullptr otherwise.
    QProgressDialog* Dialog() const { return dialog_.get(); }

  private:
    QPointer<QWidget> owner_;
    QString title_;
    int showAfterMs_;
    QElapsedTimer running_;
    bool hourglass_ = false;
    std::unique_ptr<QProgressDialog> dialog_;
};
