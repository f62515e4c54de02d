#pragma once
// 取込できない行: the rows of a CSV file that the journal's 取込 refused, each with
// its row number as a spreadsheet shows it and the reason. Nothing of the file
// has been imported when this list is shown.

#include <vector>

#include "journal/MeisaiImport.h"
#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TTorikomiErrorForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    TTorikomiErrorForm(const QString& fileName, const std::vector<RowError>& errors,
                       QWidget* parent = nullptr);

    QLabel* Label1;
    QTableWidget* ErrorGrid;  // 行, 理由
    QPushButton* CloseBtn;    // 閉じる

  protected:
    void PrepareWindow() override;
};
