#pragma once
#include "ui/TsubakiBaseFormUnit.h"

class QFrame;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;
class TSpinButton;
class TYearEdit;

// Year-bound windows: a header with the close button, the fiscal year and the
// organisation's name. Deriving windows put their content into BodyLayout().
class TTsubakiBaseForm1 : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TTsubakiBaseForm1(QWidget* parent = nullptr);

    int GetNendo() const;
    void SetNendo(int year);
    void SetDantaimei(const QString& name);
    // A short line at the foot of the window telling what the last action did
    // ("保存しました。"); empty clears it. No box to close.
    void ShowStatus(const QString& text);

    QPushButton* CloseBtn;
    QFrame* Panel2;
    QLabel* Label1;
    TSpinButton* SpinButton1;
    TYearEdit* Edit1;
    QLabel* Label2;
    QLabel* StatusLabel;

  protected:
    void PrepareWindow() override;
    virtual void StepNendo(int delta);

    QHBoxLayout* HeaderLayout() const { return headerLayout_; }  // Panel2's row
    QVBoxLayout* RootLayout() const { return rootLayout_; }      // header row, then the body
    QVBoxLayout* BodyLayout() const { return bodyLayout_; }

  private:
    QHBoxLayout* headerLayout_;
    QVBoxLayout* rootLayout_;
    QVBoxLayout* bodyLayout_;
};
