#pragma once
// 収支明細入力: the journal entry window. The treasurer loads a fiscal year with
// 入力(表示) — its journal lines are copied into the work table W_MEISAI under the
// window's key (computer name, load stamp) — and types receipts and payments per
// accounting division in the grid. Every line the grid leaves is written to the
// work rows at once, in a transaction of its own, together with its mirrored half
// when it transfers money between divisions. 保存 checks the changed lines and
// replaces the year's MEISAI rows by the work rows in one transaction; キャンセル
// and closing leave MEISAI as it was. Closing deletes the window's work rows.
// 会費徴収, opened from here, hands its journal lines to the load (JournalHandOver).

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "db/WorkKeys.h"
#include "journal/JournalHandOver.h"
#include "journal/JournalYear.h"
#include "journal/LineTransaction.h"
#include "journal/MeisaiImport.h"
#include "journal/MeisaiRules.h"
#include "ui/TsubakiBaseFormUnit2.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class TDBGrid;
class TDBLookupComboBox;
class TDBNavigator;

class TMeisaiNyuryokuForm : public TTsubakiBaseForm2, public JournalHandOver {
    Q_OBJECT
  public:
    explicit TMeisaiNyuryokuForm(QWidget* parent = nullptr);
    ~TMeisaiNyuryokuForm() override;

    // Opens the 会費徴収 window of `nendo` over `parent`, handing the lines it makes
    // to `journal`. Given by whoever opens this window; without it 会費徴収 is hidden.
    using DuesWindowOpener = std::function<void(JournalHandOver& journal, int nendo, QWidget* parent)>;
    void SetDuesWindow(DuesWindowOpener open);

    std::optional<JournalLoad> CurrentLoad() const override;
    void ReadyForLines() override;
    void LinesHandedOver(const std::vector<int>& seqNos) override;

    // The filter item (0: none).
    int SiteiKamoku() const { return siteiKamoku_; }

    // --- Lists, read when the window opens (items) and with each load (divisions).
    // The items of the journal with a blank entry first; two views of it filtered
    // per division: the grid's item names and the filter item's.
    data::SqlCommand KamokuSQL{QStringLiteral("KamokuSQL")};
    data::DataSet KamokuClientDS{QStringLiteral("KamokuClientDS")};
    data::DataSet KamokuClone{QStringLiteral("KamokuClone")};
    data::DataSet SiteiKamokuClone{QStringLiteral("SiteiKamokuClone")};
    data::SqlCommand KaikeiKubunSQL{QStringLiteral("KaikeiKubunSQL")};
    data::DataSet KaikeiKubunClientDS{QStringLiteral("KaikeiKubunClientDS")};

    // --- Controls (GroupBox1 holds all but the two workbook buttons).
    TDBGrid* DBGrid1;
    TDBLookupComboBox* KaikeiKubunCombo;  // 会計区分
    QGroupBox* FilterGroup;               // 表示絞り込み
    QLineEdit* DateFromEdit;
    QLineEdit* DateToEdit;
    QLineEdit* SiteiKamokuEdit;
    QPushButton* SiteiKamokuBtn;
    QPushButton* GyoTsuikaBtn;   // 行追加
    QPushButton* GyoSakujyoBtn;  // 行削除
    QPushButton* GyoCancelBtn;   // 行ｷｬﾝｾﾙ
    QGroupBox* ZandakaGroup;     // 残高
    QLineEdit* KurikosiEdit;     // 前年度繰越額
    QLineEdit* ZandakaEdit;      // 今年度最終残
    TDBNavigator* DBNavigator1;
    QPushButton* TekiyoTourokuBtn;     // 摘要 登録
    QPushButton* AiteTourokuBtn;       // 入金先／支払先 登録
    QPushButton* TorikomiBtn;          // 取込 (lines from a CSV file)
    QPushButton* RuleBtn;              // 取込ルール
    QPushButton* RuleFromLineBtn;      // この明細からルールを作成
    QPushButton* TeikiBtn;             // 定期明細の作成
    QPushButton* KaihiBtn;             // 会費徴収 (its lines come here)
    QPushButton* SyusiMeisaiBtn;       // 収支明細表
    QPushButton* TsukibetsuSyukeiBtn;  // 月別集計表
    QPushButton* KakidasiBtn;          // 書出: the lines to a CSV or ledger file

    QString Kisyubi;    // first day of the loaded year
    QString Kimatsubi;  // last day of the loaded year
    std::optional<TLineTransaction> wTran;

  protected:
    void PrepareWindow() override;
    void CloseData() override;
    void ShowBrowseState() override;
    void LoadData() override;
    void ShowEditState() override;
    void CancelEdit() override;
    void PostEdit() override;
    void SaveData() override;
    void ApplyChanges() override;
    QString SavedStatusText() override;
    int GetKaikeiKubun() override;
    void SetKaikeiKubun(int code) override;
    // A line written to or deleted from the work rows since the load, or a line
    // being typed.
    bool HasUnsavedChanges() const override;
    // Esc with dues lines unsaved asks the dues question alone (it says what is lost).
    bool ConfirmDiscard() override;
    // The load's dues lines not yet saved (0 without a load).
    qint64 UnsavedDues();
    // The warning that `dues` unsaved dues lines would be lost; true when the user
    // goes on.
    bool ConfirmDuesLoss(qint64 dues);

    int NextSeqNo();
    void SelectFirstEditableColumn();
    void LoadDivisionRows();
    void LoadKurikosi();
    void LoadZandaka();
    void ApplyDisplayFilter();
    QString MmddToHizuke(const QString& mmdd) const;

    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLayout();
    void DefineFields();
    void ReadKamokuList();
    void CloseLoad();
    // Lines this computer's windows posted and never saved (a window killed, or
    // its display lost) for the year loaded: offered back into this load; the
    // abandoned work rows are removed either way.
    void OfferAbandonedLines();
    db::Connection& Connection() const;

    // Line posting and deletion (the work rows of one line).
    void ClientDataSet1NewRecord(data::DataSet& ds);
    void ClientDataSet1BeforePost(data::DataSet& ds);
    void ClientDataSet1AfterPost(data::DataSet& ds);
    void ClientDataSet1BeforeDelete(data::DataSet& ds);
    void ClientDataSet1AfterDelete(data::DataSet& ds);
    void DeleteHalves(const db::Value& seqNo);
    // Receipts less payments of the shown division's work rows: all of them, or
    // those of one line number (the line's halves).
    qint64 SumWorkRows(const std::optional<db::Value>& seqNo = std::nullopt);
    void ShowZandaka();
    // Commits wTran and counts the line's change in the balance.
    void CommitLine();
    void InsertWorkRow(const data::DataSet& ds, const std::optional<MirrorHalf>& mirror);
    // One work row with the values of `row` (the columns of a W_MEISAI insert), or
    // its mirrored half: the other division and item, the amounts swapped.
    void InsertWorkRow(db::Connection::Params row, const std::optional<MirrorHalf>& mirror);
    bool IsUntouchedLine(const data::DataSet& ds) const;
    std::optional<KamokuFacts> FactsOf(int kamoku) const;
    // Posts the line being edited; a new line nobody filled in is dropped instead.
    void PostOrDropLine();
    // The checks before saving: the changed lines of the division shown, then
    // those of the other divisions.
    void CheckLines();
    void CheckShownDivision();
    void CheckOtherDivisions();
    std::optional<LineError> CheckLineIn(const LineValues& line, int division) const;
    // Asked when the year was saved by someone else since this load.
    bool ConfirmOverwrite();
    std::optional<db::Value> ItemByBareName(const QString& typed) const;
    // A value picked for a cell of the current line, the line put in edit first.
    void PutInLine(const QString& fieldName, const db::Value& value);
    void ShowLine(const db::Value& seqNo, LineColumn column);
    void ClearDisplayFilter();
    QString DateValue(const QLineEdit* edit) const;
    void ShowSiteiKamoku();
    void UpdateLineButtons();

    // Handlers.
    void DBGrid1Exit(QWidget* target);
    void KaikeiKubunComboChange();
    void DateEditExit();
    void KamokuCellButtonClick();
    void AiteCellButtonClick();
    void TekiyoCellButtonClick();
    void KamokuCellSetText(const QString& text);
    void SiteiKamokuBtnClick();
    void GyoTsuikaBtnClick();
    void GyoSakujyoBtnClick();
    void GyoCancelBtnClick();
    void TekiyoTourokuBtnClick();
    void AiteTourokuBtnClick();
    void SyusiMeisaiBtnClick();
    void TsukibetsuSyukeiBtnClick();
    void KakidasiBtnClick();
    void TorikomiBtnClick();
    void KaihiBtnClick();

    // 取込: what the rows of a file are checked against, and the accepted lines
    // written to the work rows as unsaved lines, all or none.
    ImportContext ImportContextOfLoad() const;
    static std::vector<ImportItemName> ListedItems(const ImportContext& context);
    static QString UnmatchedRowsNote(const std::vector<ImportLine>& lines);
    void OpenRules(const std::optional<ImportRule>& proposed);
    void TeikiBtnClick();
    // Returns the first line's number; the others follow it in order.
    // Told every few hundred lines; false (キャンセル) undoes every line written.
    int WriteImportedLines(const std::vector<ImportEntry>& entries,
                           const std::function<bool(qint64, qint64)>& progress);

    std::vector<KamokuFacts> kamokuFacts_;   // the item list in its order
    int nendo_ = 0;                          // the loaded year
    YearStamp loadedYear_;                   // the saved lines as the load found them
    bool workChanged_ = false;               // work rows written or deleted since the load
    bool duesLossConfirmed_ = false;         // asked by Esc, not again by キャンセル
    std::optional<db::WorkKeyClaim> claim_;  // the work-table key of the load
    bool overwriteDeclined_ = false;         // the save's question was answered いいえ
    int kaikeiKubun_ = 0;                    // the division shown
    int siteiKamoku_ = 0;
    qint64 kurikosi_ = 0;  // the opening balance of the division shown
    // Receipts less payments of the shown division's work rows: summed when the
    // division is shown, then moved by each committed line's change, so that
    // posting does not read the whole year.
    qint64 zandaka_ = 0;
    qint64 lineChange_ = 0;              // the change of the line in wTran
    int savedLines_ = 0;                 // lines written by the last save
    QString filteredFrom_, filteredTo_;  // the date boxes as the lines were last filtered
    QString importFolder_;               // where the last imported file was
    DuesWindowOpener openDuesWindow_;
};
