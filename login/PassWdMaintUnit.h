#pragma once
#include "ui/TsubakiBaseFormUnit.h"

class QLineEdit;
class QPushButton;
class TFocusSensor;

// Changes the organisation's login password: the current one first, then the new
// one twice.
class TPassWdMaintForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TPassWdMaintForm(QWidget* parent = nullptr);

    QLineEdit* Edit1;
    TFocusSensor* Panel1;
    QLineEdit* Edit2;
    QLineEdit* Edit3;
    QPushButton* BitBtn2;
    QPushButton* BitBtn1;

  protected:
    void PrepareWindow() override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Panel1Enter();
    void BitBtn2Click();

    QString OldPassWord;  // as stored, not trimmed
};
