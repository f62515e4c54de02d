#pragma once
#include <functional>
#include <map>
#include <memory>

#include "ui/TsubakiBaseFormUnit1.h"

class QGroupBox;
class QPushButton;
class TVersionFooter;

// The main menu: opens every other window, one at a time, with the fiscal year of
// its header, and stores the organisation's default year.
class TMenuForm : public TTsubakiBaseForm1 {
    Q_OBJECT
  public:
    // Makes the window a button opens; the menu owns and shows it modally.
    using WindowFactory = std::function<std::unique_ptr<QDialog>(QWidget* owner)>;

    explicit TMenuForm(QWidget* parent = nullptr);
    ~TMenuForm() override;

    // The window a button opens, by the button's tag.
    void RegisterWindow(int tag, WindowFactory factory);
    QPushButton* ButtonByTag(int tag) const;

    QPushButton* NendoUpdateBtn;
    QGroupBox* GroupBox1;
    QGroupBox* GroupBox2;
    QGroupBox* GroupBox3;
    TVersionFooter* Panel3;

  protected:
    void PrepareWindow() override;

  private:
    void BitBtn1Click(int tag);
    void NendoUpdateBtnClick();
    QPushButton* AddWindowButton(QGroupBox* group, int tag, const QString& caption, const QString& hint,
                                 bool large);

    std::map<int, QPushButton*> buttons_;
    std::map<int, WindowFactory> windows_;
};
