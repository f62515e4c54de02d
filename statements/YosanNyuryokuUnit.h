#pragma once
// 予算書データ入力: the budget entry window. A fiscal year's budget, division by
// division: for every item of the statements this year's amount beside last year's
// budget and settlement, a description and an order; the reserve fund (7000) and
// the carry-over to the next year (8000) computed so that the budget balances; the
// budget statement's comment, date and signature texts; the import of last year's
// figures; and the carry-over into the year of the items outside the statements
// (KURIKOSI), which with item 100 makes the journal's opening balance.
//
// Amendments (補正予算): the budget as first approved stays as it is; the latest
// amendment's amounts are entered in the column 今回補正額 beside it, with the
// amendments' sum (補正額) and the amended budget (補正後予算額). The columns show
// once the year has an amendment; 補正追加 starts the next one.

#include <QString>

#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "statements/BudgetYear.h"
#include "statements/StatementEntryUnit.h"
#include "statements/YosanRules.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TDBCheckBox;
class TDBEdit;
class TStatementStyleBox;
class TTotalLine;

class TYosanNyuryokuForm : public TStatementEntryForm {
    Q_OBJECT
  public:
    explicit TYosanNyuryokuForm(QWidget* parent = nullptr);
    ~TYosanNyuryokuForm() override;

    // --- Further views of the division dataset.
    data::DataSet YobihiClone{QStringLiteral("YobihiClone")};                // item 7000
    data::DataSet ZenkiKurikosiClone{QStringLiteral("ZenkiKurikosiClone")};  // item 100
    TDataSource YobihiSource{&YobihiClone};

    // --- The carry-over breakdown of the items outside the statements, held in
    // memory for the whole load; a view for the grid and one for summing, both
    // filtered to the division shown.
    data::SqlCommand KurikosiSQL{QStringLiteral("KurikosiSQL")};
    data::DataSet KurikosiClientDS{QStringLiteral("KurikosiClientDS")};
    data::DataSet KurikosiClone{QStringLiteral("KurikosiClone")};
    data::DataSet KurikosiSumClone{QStringLiteral("KurikosiSumClone")};
    TDataSource KurikosiSource{&KurikosiClone};

    // --- Controls.
    QPushButton* YosansyoBtn;      // 予算書
    QPushButton* ZennenInportBtn;  // 前年度ﾃﾞｰﾀ取り込み
    QPushButton* GyoTsuikaBtn;     // 行追加
    QPushButton* HoseiTsuikaBtn;   // 補正追加
    QLabel* HoseiLabel;            // which amendment 今回補正額 enters
    QLineEdit* SyoninBiEdit;       // its date of approval
    TDBGrid* YobihiGrid;
    TTotalLine* SyokeiLine;  // 小計 (収入合計, 支出小計 and 支出合計 are the base's)
    TDBCheckBox* CommentKubunCheck;
    TStatementStyleBox* StyleBox = nullptr;  // 表題と増減
    QWidget* KurikosiSheet;  // 収支明細書繰越金内訳
    TDBGrid* KurikosiGrid;
    QLabel* TaisyogaiLabel;       // ① 集計対象外科目 合計
    QLabel* YosanKurikosiLabel;   // ② 予算書 前年度繰越
    QLabel* MeisaiKurikosiLabel;  // 収支明細書 前年度繰越額

    // ① of the division shown: the signed sum of its breakdown.
    qint64 FTaisyogaiKurikosi = 0;
    // The amendment whose amounts 今回補正額 enters: the year's latest, or the one
    // 補正追加 started in this load; 0 when the year has none.
    int HoseiNo = 0;

  protected:
    void DefineRowFields(data::DataSet& ds, data::DataSet* kamokuList) override;
    void CopySavedRows() override;
    void FillDefaultTexts() override;
    void BeforeFirstDivision() override;
    void DivisionOpened() override;
    void RefreshTotals() override;
    void DivisionShown() override;
    void RowWritten(data::DataSet& ds) override;
    bool IsBlankNewRow(const data::DataSet& ds) const override;
    void PostOwnEdits() override;
    void CancelOwnEdits() override;
    void TabChanged() override;
    void UpdateRowButtons() override;
    void ShowBrowseState() override;
    void ShowEditState() override;
    void CloseData() override;
    void ReplaceSavedLines() override;
    // Also the carry-over breakdown, which lives in memory until 保存.
    bool HasUnsavedChanges() const override;
    QString SavedLinesTable() const override { return QStringLiteral("YOSAN"); }

    // The breakdown (loading, showing a division, the figures, saving).
    void LoadKurikosi();
    void ShowKurikosi();
    void RefreshKurikosiFigures();
    // The breakdown's amounts, for the save.
    std::vector<KurikosiAmount> KurikosiAmounts();

  private:
    // A typed amount of the budget: its range, and no grouping while it is edited.
    static data::FieldDef TypedAmount(const QString& name, const QString& label, qint64 minimum,
                                      bool readOnly);
    void BuildLayout();
    void BuildSyomeiSheet();
    void BuildKurikosiSheet();
    // The reserve fund and the carry-over to the next year of the division shown,
    // recomputed from the total lines, then the totals that include them.
    void Recalculate();
    // One total line read again from the work rows.
    void RefreshLine(TTotalLine* line);
    // The division's row of `kamoku` put in edit in the division dataset; when the
    // division has none, it is created first (nullopt: the item is not listed).
    bool EditRowOf(int kamoku);
    void PostComputed();
    void CheckLine(data::DataSet& ds);
    void AddDefaultRows();
    void ZennenInportBtnClick();
    // One previous-year breakdown amount of an item outside the statements.
    struct KurikosiImport {
        int kaikeiKubun;
        int kamoku;
        db::Value kurikosi;
    };
    // Imports last year's figures into the work rows and reads the breakdown
    // amounts, in one transaction: a failure changes nothing.
    std::vector<KurikosiImport> RunImport();
    // Puts the amounts read into the breakdown (in memory, until 保存).
    void ImportKurikosi(const std::vector<KurikosiImport>& amounts);
    void YosansyoBtnClick();
    // Opens the statement choice window (予算書出力) on the year, the load stamp and
    // the NENDO row as they stand.
    void OpenYosansyoSelect();
    void GyoTsuikaBtnClick();
    // Amendments: the next one started; the columns and the bar shown for the
    // amendment entered; a posted line's amendment checked and its sums set.
    void HoseiTsuikaBtnClick();
    void ShowHoseiState();
    void ComputeHosei(data::DataSet& ds);
    QString SyoninBi() const;

    YosanSums syunyuGokei_, syokei_, sisyutsuSyokei_, sisyutsuGokei_;
    // The 補正額 sums of the same lines.
    qint64 syunyuHosei_ = 0, syokeiHosei_ = 0;
    std::vector<int> savedHoseiNos_;  // the year's amendments as saved
    bool hoseiAdded_ = false;         // HoseiNo was started in this load
    // The item of the row being edited, per view, as it was when the edit began.
    std::map<const data::DataSet*, db::Value> editKamoku_;
};
