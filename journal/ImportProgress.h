#pragma once
// The progress of a step of 取込 that takes more than a moment (reading a large
// file, writing its lines): a bar with キャンセル that shows itself only once the
// step has run for half a second. Called as the step's progress callback; false
// once the user has cancelled.

#include <QString>

#include <memory>

class QProgressDialog;
class QWidget;

class TImportProgress {
  public:
    TImportProgress(QWidget* parent, const QString& text);
    ~TImportProgress();
    TImportProgress(const TImportProgress&) = delete;
    TImportProgress& operator=(const TImportProgress&) = delete;

    bool operator()(qint64 done, qint64 total);

    QProgressDialog* Dialog() const { return dialog_.get(); }

  private:
    std::unique_ptr<QProgressDialog> dialog_;
};
