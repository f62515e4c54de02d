#pragma once
// 決算書データ入力: the settlement entry window. For every division and item of a
// fiscal year its budget beside the settlement summed from the saved journal, the
// carry-over to the next year as the division's final balance; the user adds a
// description and an order per line and the texts of the settlement statement's
// comment, date, signature and audit blocks. The amounts are never stored: each
// load sums them afresh, and KESSAN keeps only the user's part of a line.

#include <QString>

#include <functional>
#include <map>
#include <vector>

#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "statements/StatementEntryUnit.h"
#include "statements/ZandakaRules.h"

class QLabel;
class QPushButton;
class TDBCheckBox;
class TDBEdit;
class TStatementStyleBox;
class TTotalLine;

class TKessanNyuryokuForm : public TStatementEntryForm {
    Q_OBJECT
  public:
    explicit TKessanNyuryokuForm(QWidget* parent = nullptr);
    ~TKessanNyuryokuForm() override;

    // What the statement choice window (決算書出力) is opened with, besides the
    // year (LoadedNendo), the load stamp (Jikoku) and the texts row (NendoClientDS):
    // the interim closing date (yyyymmdd), empty for the year-end settlement.
    virtual QString CyukanSimebi() const { return {}; }

    // Called by 決算書 after the pending edits are posted, with this window: opens the
    // statement choice window (決算書出力) on it.
    std::function<void(TKessanNyuryokuForm&)> OpenKessansyoSelect;

    // --- Controls.
    QPushButton* KessansyoBtn;  // 決算書
    TDBCheckBox* SyomeiKubun1Check;
    TDBEdit* KaikeiYakusyokuEdit;
    TDBEdit* Kaikei1Edit;
    TDBCheckBox* SyomeiKubun2Check;
    TDBEdit* Kaikei2Edit;
    TDBCheckBox* SyomeiKubun3Check;
    TDBEdit* KansaCommentEdit;
    TDBEdit* KansaHizukeEdit;
    TDBEdit* KansaYakusyokuEdit;
    TDBEdit* Kansa1Edit;
    TDBCheckBox* KansaKubun1Check;
    TDBEdit* Kansa2Edit;
    TDBCheckBox* KansaKubun2Check;
    TStatementStyleBox* StyleBox = nullptr;  // 表題と増減

    // --- 残高内訳: where each division's money is held at the closing, beside the
    // book balance. One dataset holds every division's places; the tab shows those
    // of the division shown.
    data::DataSet UchiwakeClientDS{QStringLiteral("UchiwakeClientDS")};
    data::DataSet UchiwakeClone{QStringLiteral("UchiwakeClone")};
    TDataSource UchiwakeSource{&UchiwakeClone};
    QWidget* UchiwakeSheet;
    TDBGrid* UchiwakeGrid;
    QPushButton* UchiwakeSakujyoBtn;  // 行削除 of the places
    QLabel* ChoboZanLabel;            // 帳簿残高
    QLabel* UchiwakeGokeiLabel;       // 内訳合計
    QLabel* SagakuLabel;              // 差額

    // The figures of a division as the tab holds them (the book balance of the load).
    statements::ZandakaFigures UchiwakeFigures(int division) const;
    // The closing this load is of: the year-end, or the interim closing date.
    statements::ClosingKey Closing() const { return {LoadedNendo(), ClosingDate()}; }
    // The places of every division as the tab holds them, saved or not.
    std::map<int, std::vector<statements::Place>> UchiwakePlaces() const;

  protected:
    // `interim`: the carry-over row is the balance at a closing date (次月繰越金).
    TKessanNyuryokuForm(bool interim, QWidget* parent);

    // --- What the interim window changes.
    // The saved lines of the load: KESSAN here, CYUKAN_KESSAN in the interim window
    // (with its condition, SavedLinesCondition).
    QString SavedLinesTable() const override { return QStringLiteral("KESSAN"); }
    // The closing date the journal is summed up to (yyyymmdd; empty: the whole year).
    virtual QString ClosingDate() const { return {}; }
    // Writes the year's lines and texts (inside the save transaction).
    void ReplaceSavedLines() override;

    void DefineRowFields(data::DataSet& ds, data::DataSet* kamokuList) override;
    void CopySavedRows() override;
    void FillDefaultTexts() override;
    void RefreshTotals() override;
    void RowWritten(data::DataSet& ds) override;
    bool IsBlankNewRow(const data::DataSet& ds) const override;
    void CheckRowDelete(data::DataSet& ds) override;
    void ShowBrowseState() override;
    void ShowEditState() override;
    void CloseData() override;
    void SaveData() override;
    bool HasUnsavedChanges() const override;
    void BeforeFirstDivision() override;
    // Shows the division's places; says once per load that the year has no budget.
    void DivisionShown() override;
    void PostOwnEdits() override;
    void CancelOwnEdits() override;
    void TabChanged() override;
    // Writes the closing's places (deletes them while 削除 runs), inside the save.
    void ReplaceClosingPlaces();

  private:
    void BuildLayout();
    void BuildUchiwakeSheet();
    void RefreshUchiwakeFigures();
    void UchiwakeSakujyoBtnClick();
    void BuildSyomeiSheet();
    void KessansyoBtnClick();

    // The carry-over row's name in the interim window (one row: 8000, 次月繰越金).
    data::DataSet JigetsuKurikosiDS{QStringLiteral("JigetsuKurikosiDS")};
    bool interim_;
    std::map<int, qint64> bookBalances_;  // per division, as the load found them
    // The year loaded has no budget: said once, when its first division is shown.
    bool noBudget_ = false;
};
