#pragma once
// 点検: the findings of the year's books (statements/BookCheck.h) listed with their
// severity, read-only; a finding with one safe remedy (an opening balance that
// differs from last year's closing balance) offers it as 修正, which the user
// confirms and which is saved at once.

#include <QDialog>

#include <vector>

#include "statements/BookCheck.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TTenkenForm : public QDialog {
    Q_OBJECT
  public:
    // Checks `nendo` (the menu's year) on the program's connection.
    explicit TTenkenForm(int nendo, QWidget* parent = nullptr);

    const std::vector<statements::Finding>& Findings() const { return findings_; }
    // Checks the books again.
    void Refresh();

    QLabel* SummaryLabel;
    QTableWidget* FindingList;
    QPushButton* SyuseiBtn;     // 修正 (the selected finding's remedy)
    QPushButton* SaiTenkenBtn;  // 再点検
    QPushButton* CloseBtn;      // 閉じる

  private:
    void SyuseiBtnClick();
    void UpdateButtons();

    int nendo_;
    std::vector<statements::Finding> findings_;
};
