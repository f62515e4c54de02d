#pragma once
#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class TVersionFooter;

// The program's main window: choose an organisation, type its password, log in.
// Organisations are added, renamed and deleted here, and the sample installed.
class TLoginForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TLoginForm(QWidget* parent = nullptr);

    QString GetSelectedDantai() const;

    QListWidget* ListBox1;
    QLineEdit* Edit1;
    QPushButton* CloselBtn;
    QPushButton* BitBtn1;
    TVersionFooter* Panel3;
    QPushButton* BitBtn2;
    QPushButton* BitBtn3;
    QPushButton* BitBtn4;
    QPushButton* BitBtn5;

    // The organisation name of the sample data.
    static QString SampleDantaiName() { return QStringLiteral("○○○○自治会"); }

  protected:
    void PrepareWindow() override;

  private:
    void UpdateButtons();
    void FillList();
    void BitBtn1Click();
    void BitBtn2Click();
    void BitBtn3Click();
    void BitBtn4Click();
    void BitBtn5Click();
    void ShowMenu();
    void Connect(QPushButton* button, void (TLoginForm::*handler)());
};
