#pragma once
// 領収書の作成: the year's payments of dues, narrowed down to a 班, a household or
// a span of payment days, ticked with Space; 領収書 writes the receipts of the
// ticked payments (or of the current one when none is ticked) and opens them.
// A payment shows its receipt number once it has one; printing it again reprints
// that number.

#include "kaihi/KaihiStore.h"
#include "ui/plnBaseFormUnit.h"

#include <map>
#include <set>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TKaihiRyosyusyoForm : public TplnBaseForm {
    Q_OBJECT
  public:
    // The payments of `nendo`, those of 班 `hanCd` shown first (0: every 班).
    explicit TKaihiRyosyusyoForm(int nendo, int hanCd = 0, QWidget* parent = nullptr);

    // NOUFU_NO of the payments ticked, in the list's order (shown or not).
    std::vector<int> Ticked() const;

    QComboBox* HanCombo;        // 班
    QLineEdit* SetaiEdit;       // 世帯名 (part of it)
    QLineEdit* KaisiEdit;       // 納付日 from
    QLineEdit* SyuryoEdit;      // 納付日 to
    QCheckBox* MihakkoCheck;    // only payments without a receipt
    QTableWidget* NoufuGrid;    // the payments shown
    QLabel* GokeiLabel;         // what is ticked
    QPushButton* RyosyusyoBtn;  // 領収書
    QPushButton* CloseBtn;      // 閉じる

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Load();
    void Show();
    void Toggle(int row);
    void UpdateTotal();
    void RyosyusyoBtnClick();

    int nendo_;
    KaihiMeibo meibo_;
    KaihiYear year_;
    std::map<int, int> numbers_;  // receipt number by NOUFU_NO
    std::set<int> ticked_;
    std::vector<std::size_t> rowNoufu_;  // the payment (index into year_) of each grid row
};
