#pragma once
// 班・世帯: the households of the dues ledger by 班. The list on top is searched by
// name or reading and narrowed to one 班; the fields below edit the chosen household
// (or a new one) and 保存 writes it at once. A household changes 班 only through
// 班の移動 (to a 班 from a day on), so earlier years stay counted where it was; one
// that leaves gets its leaving day. 班… opens the list of 班 and their 班長.

#include "kaihi/KaihiRules.h"
#include "kaihi/MeiboStore.h"
#include "ui/plnBaseFormUnit.h"

#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TSetaiMaintForm : public TplnBaseForm {
    Q_OBJECT
  public:
    explicit TSetaiMaintForm(QWidget* parent = nullptr);

    // Reads the 班 and households again, keeping the chosen household.
    void Refresh();

    QLineEdit* SearchEdit;     // 検索 (name or reading)
    QComboBox* HanFilter;      // 班 (全班 or one)
    QCheckBox* TaikaiCheck;    // 退会した世帯も表示
    QTableWidget* SetaiList;   // the households shown
    QLineEdit* MeisyoEdit;     // 世帯名
    QLineEdit* FuriganaEdit;   // ふりがな
    QComboBox* HanCombo;       // 班 (a new household's; the current one shown otherwise)
    QLineEdit* JyusyoEdit;     // 住所
    QLineEdit* TelEdit;        // 電話番号
    QLineEdit* NyukaiEdit;     // 入会日
    QLineEdit* TaikaiEdit;     // 退会日
    QLineEdit* BikoEdit;       // 備考
    QPushButton* SinkiBtn;     // 新規
    QPushButton* HozonBtn;     // 保存
    QPushButton* SakujyoBtn;   // 削除
    QLineEdit* IdouBiEdit;     // 移動日
    QComboBox* IdouHanCombo;   // 移動先の班
    QPushButton* IdouBtn;      // 班の移動
    QPushButton* HanBtn;       // 班…
    QPushButton* TorikomiBtn;  // 取込… (households from a CSV file)
    QPushButton* SetaisuBtn;   // 班別世帯数 (today)
    QPushButton* CloseBtn;     // 閉じる

    // The household whose fields are shown (0: a new one).
    int CurrentSetai() const { return current_; }
    // The records as last read.
    const std::vector<SetaiRecord>& Records() const { return records_; }

  private:
    void FillList();
    void ShowRecord(int setaiCd);
    SetaiRecord RecordOfFields() const;
    void SinkiBtnClick();
    void HozonBtnClick();
    void SakujyoBtnClick();
    void IdouBtnClick();
    void HanBtnClick();
    void TorikomiBtnClick();

    std::vector<KaihiHan> han_;
    std::vector<SetaiRecord> records_;
    int current_ = 0;
};
