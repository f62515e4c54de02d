#pragma once
#include <functional>

#include "ui/plnBaseFormUnit.h"

// Windows that prepare their content when shown. A preparation that fails closes
// the window after its error is shown (a silent abort shows nothing).
class TTsubakiBaseForm : public TplnBaseForm {
    Q_OBJECT
  public:
    explicit TTsubakiBaseForm(QWidget* parent = nullptr);

    // What the window did, for its caller to tell once it has closed (a window that
    // closes on success has no place left to say it); empty when nothing to tell.
    const QString& ClosingStatus() const { return closingStatus_; }

  protected:
    virtual void PrepareWindow() {}
    void showEvent(QShowEvent* event) override;
    // Runs a button or event handler through the application-wide error handler.
    void Guard(const std::function<void()>& handler);
    void SetClosingStatus(const QString& text) { closingStatus_ = text; }

  private:
    void FormShow();
    bool prepared_ = false;
    QString closingStatus_;
};
