#pragma once
// 会費徴収: one 班's collection of one kind of dues entered in one grid: every
// household of the 班 in the year, a column per month (or one for a yearly kind).
// Months already paid are shown ticked and fixed; months a household does not owe
// (not yet or no longer a member, exempted) cannot be ticked. 保存 records a payment
// per household for the months ticked and, from them, the journal lines (one per 班
// and kind, counterparty the 班長), all in one step. Opened from the journal window,
// it hands the lines to that window's load instead, where they are saved with the
// journal. 仕訳を作り直す makes again the lines of payments the journal has lost.

#include "journal/JournalHandOver.h"
#include "kaihi/KaihiRules.h"
#include "kaihi/KaihiStore.h"
#include "ui/plnBaseFormUnit.h"

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class TKaihiCyosyuForm : public TplnBaseForm {
    Q_OBJECT
  public:
    // Collections of `nendo` (the menu's year).
    explicit TKaihiCyosyuForm(int nendo, QWidget* parent = nullptr);

    // Reads the ledger again and lays out the grid for the chosen 班 and kind.
    void Refresh();
    // The payments the ticks make, one per household with a month ticked.
    std::vector<KaihiNoufu> Collection() const;
    // The journal window this window was opened from: while it holds this year, the
    // journal lines go to its load. It outlives this window.
    void SetJournal(JournalHandOver* journal) { journal_ = journal; }

    QComboBox* HanCombo;       // 班
    QComboBox* SyuruiCombo;    // 会費の種別
    QLineEdit* HizukeEdit;     // 納付日
    QComboBox* UketoriCombo;   // 受取 (the 班長, or a bank transfer)
    QTableWidget* CyosyuGrid;  // households × months
    QLabel* GokeiLabel;        // 今回の合計
    QPushButton* SyuruiBtn;    // 種別…
    QPushButton* MenjyoBtn;    // 免除… (of the current row's household)
    QPushButton* IchiranBtn;   // 徴収一覧 (the workbook of the chosen kind)
    QPushButton* MinouBtn;     // 未納一覧
    QPushButton* RemakeBtn;    // 仕訳を作り直す
    QPushButton* RyosyuBtn;    // 領収書… (receipts for chosen payments)
    QPushButton* HozonBtn;     // 保存
    QPushButton* CloseBtn;     // 閉じる

  private:
    void LayOutGrid();
    void UpdateTotal();
    void HozonBtnClick();
    void RemakeBtnClick();
    // The journal load the lines go to, when the journal window holds this year.
    std::optional<db::WorkKey> JournalLoadOfYear() const;
    const KaihiSyurui* ChosenSyurui() const;

    int nendo_;
    JournalHandOver* journal_ = nullptr;
    KaihiMeibo meibo_;
    KaihiYear year_;
    std::vector<QDate> months_;
    std::vector<int> rowSetai_;  // the household of each grid row
};
