#pragma once
// 会費の種別: a year's kinds of dues, one row each: a name, per month or per year, the
// amount and the receipt item it is booked on. 保存 writes them all at once.

#include "kaihi/KaihiStore.h"
#include "ui/plnBaseFormUnit.h"

#include <vector>

class QPushButton;
class QTableWidget;

class TKaihiSyuruiForm : public TplnBaseForm {
    Q_OBJECT
  public:
    explicit TKaihiSyuruiForm(int nendo, QWidget* parent = nullptr);

    // The kinds as the rows show them now.
    std::vector<KaihiSyurui> Rows() const;
    // Adds a row (per month, no amount, the first receipt item) and puts the cursor on its name.
    void AddRow();

    QTableWidget* SyuruiGrid;
    QPushButton* TsuikaBtn;   // 追加
    QPushButton* SakujyoBtn;  // 削除
    QPushButton* HozonBtn;    // 保存
    QPushButton* CloseBtn;    // 閉じる

  private:
    void Load();
    void AddRow(const KaihiSyurui& syurui);

    int nendo_;
    std::vector<KaihiKamoku> items_;
};
