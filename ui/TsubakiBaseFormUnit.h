#pragma once
#include <functional>

#include "ui/plnBaseFormUnit.h"

// Windows that prepare their content when shown. A preparation that fails closes
// the window after its error is shown (a silent abort shows nothing).
class TTsubakiBaseForm : public TplnBaseForm {
    Q_OBJECT
  public:
    explicit TTsubakiBaseForm(QWidget* parent = nullptr);

  protected:
    virtual void PrepareWindow() {}
    void showEvent(QShowEvent* event) override;
    // Runs a button or event handler through the application-wide error handler.
    void Guard(const std::function<void()>& handler);

  private:
    void FormShow();
    bool prepared_ = false;
};
