#pragma once
// 会費の免除: one household's exemptions from one kind of dues in a year, listed with
// their months and reasons; an exemption is added (or changed, when it starts in the
// same month) from a starting and an ending month and a reason, or deleted.

#include "kaihi/KaihiRules.h"
#include "ui/plnBaseFormUnit.h"

#include <vector>

class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TKaihiMenjyoForm : public TplnBaseForm {
    Q_OBJECT
  public:
    TKaihiMenjyoForm(int nendo, int setaiCd, const QString& setaiName, const KaihiSyurui& syurui,
                     QWidget* parent = nullptr);

    QTableWidget* MenjyoList;  // the household's exemptions from the kind
    QComboBox* KaisiCombo;     // 開始月
    QComboBox* SyuryoCombo;    // 終了月
    QLineEdit* RiyuEdit;       // 理由
    QPushButton* TsuikaBtn;    // 追加
    QPushButton* SakujyoBtn;   // 削除
    QPushButton* CloseBtn;     // 閉じる

  private:
    void Load();

    int nendo_;
    int setaiCd_;
    KaihiSyurui syurui_;
    std::vector<KaihiMenjyo> shown_;
};
