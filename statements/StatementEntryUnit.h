#pragma once
// What the budget, settlement and interim settlement windows share: one fiscal
// year's statement lines copied into a work table (W_YOSAN, W_KESSAN) under the
// window's key, claimed in the database when it loads (db/WorkKeys.h), and edited
// there, one accounting
// division at a time, through views of one division dataset: the receipts grid,
// the payments grid and the single-row carry-over grid, with read-only total lines
// under them, a division drop-down, row buttons, and the year's statement texts on a
// signature tab. Every row a grid posts or deletes is written to the work table at
// once; 保存 replaces the year's saved lines from the work rows in one serialised
// step (db/YearSave.h): the year's NENDO row locked, the claim confirmed, the user
// asked when the year was saved elsewhere since the load, then the replace; closing
// deletes the window's work rows with its claim. A load also removes the work rows
// of windows whose program is gone (killed, or its display lost): they are copies
// of saved lines, computed afresh at every load, so nothing is offered back.
//
// A window built on this base declares the fields of its rows (DefineRowFields),
// copies the saved year into the work table (CopySavedRows), fills its statement
// texts when they were never set, refreshes its totals and writes its own tables in
// ReplaceSavedLines. Grid behaviour common to all windows lives here: leaving a grid posts
// its pending edit, or cancels it when the focus goes to キャンセル, 行ｷｬﾝｾﾙ or
// 行削除; the first editable column is selected after inserts, cancels, deletes, tab
// changes and when editing starts.

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "data/DataSet.h"
#include "data/FieldDef.h"
#include "data/SqlCommand.h"
#include "db/WorkKeys.h"
#include "db/YearSave.h"
#include "ui/DataSource.h"
#include "ui/TsubakiBaseFormUnit2.h"

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QVBoxLayout;
class TDBEdit;
class TDBGrid;
class TDBLookupComboBox;
class TDBNavigator;
class TTotalLine;

class TStatementEntryForm : public TTsubakiBaseForm2 {
    Q_OBJECT
  public:
    ~TStatementEntryForm() override;

    // The division shown (0 before a load).
    int ShownKaikeiKubun() const { return kaikeiKubun_; }
    // The year loaded (0 before a load).
    int LoadedNendo() const { return nendo_; }

    // --- Lists. The account list (items of aggregated classifications, each with its
    // TOKUBETSU_CD as KAIKEI_KUBUN), read when the window opens, and its two views
    // offered by the receipts and payments grids; the divisions of the loaded year.
    data::SqlCommand KamokuSQL{QStringLiteral("KamokuSQL")};
    data::DataSet KamokuClientDS{QStringLiteral("KamokuClientDS")};
    data::DataSet SyunyuKamokuClone{QStringLiteral("SyunyuKamokuClone")};
    data::DataSet SisyutsuKamokuClone{QStringLiteral("SisyutsuKamokuClone")};
    data::SqlCommand KaikeiKubunSQL{QStringLiteral("KaikeiKubunSQL")};
    data::DataSet KaikeiKubunClientDS{QStringLiteral("KaikeiKubunClientDS")};

    // --- The year's statement texts (the NENDO row), edited on the signature tab.
    data::SqlCommand NendoSQL{QStringLiteral("NendoSQL")};
    data::DataSet NendoClientDS{QStringLiteral("NendoClientDS")};
    TDataSource NendoSource{&NendoClientDS};

    // --- Views of the division dataset (ClientDataSet1) with their fixed filters.
    data::DataSet SyunyuClone{QStringLiteral("SyunyuClone")};
    data::DataSet SisyutsuClone{QStringLiteral("SisyutsuClone")};
    data::DataSet JikiKurikosiClone{QStringLiteral("JikiKurikosiClone")};
    TDataSource SyunyuSource{&SyunyuClone};
    TDataSource SisyutsuSource{&SisyutsuClone};
    TDataSource JikiKurikosiSource{&JikiKurikosiClone};

    // --- Controls (in GroupBox1).
    QLabel* KaikeiKubunLabel;
    TDBLookupComboBox* KaikeiKubunCombo;  // 会計区分
    QPushButton* GyoSakujyoBtn;           // 行削除
    QPushButton* GyoCancelBtn;            // 行ｷｬﾝｾﾙ
    QTabBar* PageControl1;
    QStackedWidget* PageStack;
    QWidget* SyunyuSheet;    // 収入の部
    QWidget* SisyutsuSheet;  // 支出の部
    QWidget* SyomeiSheet;    // 署名欄
    TDBGrid* SyunyuGrid;
    TDBGrid* SisyutsuGrid;
    TDBGrid* JikiKurikosiGrid;
    TDBNavigator* SyunyuNavigator;
    TDBNavigator* SisyutsuNavigator;
    TTotalLine* SyunyuGokeiLine = nullptr;     // 収入合計 (made by LayOutGrids)
    TTotalLine* SisyutsuSyokeiLine = nullptr;  // 支出小計
    TTotalLine* SisyutsuGokeiLine = nullptr;   // 支出合計
    // The statement texts every window's signature tab has (the window binds them to
    // its columns with BindTextEdits and lays out the tab).
    TDBEdit* CommentEdit;
    TDBEdit* HizukeEdit;
    TDBEdit* SyomeiEdit;
    TDBEdit* YakusyokuEdit;
    TDBEdit* DaihyosyaEdit;
    TDBEdit* BikouEdit;

    bool SakujyoFlag = false;  // true only while 削除 runs

  protected:
    // `workTable`: W_YOSAN or W_KESSAN. `paymentsBelow`: the payments list offers
    // codes below it. `payFilter`: the payments view's filter. The window calls
    // InitRows once its own views are registered.
    TStatementEntryForm(QString workTable, int paymentsBelow, QString payFilter, QWidget* parent);

    // --- What a window adds.
    // Declares the fields of `ds` (the division dataset or a view) in grid order;
    // `kamokuList` is the list the item column takes its names and choices from. The
    // columns every window shares: AddNameColumn, the window's amounts, then
    // AddLineColumns.
    virtual void DefineRowFields(data::DataSet& ds, data::DataSet* kamokuList) = 0;
    // Copies the year's saved lines into the work table (and whatever the window
    // computes into them) during the load.
    virtual void CopySavedRows() = 0;
    // Reads the statement texts row for the load (NendoClientDS; by default the
    // year's NENDO row, which must exist).
    virtual void OpenTextsRow();
    // Fills the statement texts of the NENDO row when they were never set (the row is
    // put in edit and left there).
    virtual void FillDefaultTexts() {}
    // After the year's rows are copied, before the first division is shown.
    virtual void BeforeFirstDivision() {}
    // The division dataset has just been read for the division shown.
    virtual void DivisionOpened() {}
    // The total lines, read again from the work rows.
    virtual void RefreshTotals() {}
    // After the totals, when a division is shown.
    virtual void DivisionShown() {}
    // A row of `ds` was posted (or deleted) and written to the work table.
    virtual void RowWritten(data::DataSet& /*ds*/) {}
    // Whether a new row still holds nothing the user typed (dropped, not posted).
    virtual bool IsBlankNewRow(const data::DataSet& ds) const = 0;
    // The year's saved lines that 保存 and 削除 replace: their table and condition
    // (with the window's parameters), so that a save by another window or computer
    // after this load is noticed rather than silently overwritten.
    virtual QString SavedLinesTable() const = 0;
    virtual QString SavedLinesCondition() const { return QStringLiteral("(NENDO = :Nendo)"); }
    // The values of the condition's parameters (by default :Nendo, the year loaded).
    virtual db::Connection::Params SavedLinesParams() const;
    // Replaces the year's saved lines by the work rows (or, while 削除 runs, only
    // deletes them), inside the save's transaction, after the base has locked the
    // year and confirmed the window's claim.
    virtual void ReplaceSavedLines() = 0;
    // Posts (or drops) the pending edits of the window's own controls beyond the
    // views, before a tab change or a save; cancels them.
    virtual void PostOwnEdits() {}
    virtual void CancelOwnEdits() {}
    // After a tab change (the base selects first columns and moves the grids to
    // their first row).
    virtual void TabChanged() {}
    // Refuses 行削除 of a line the window keeps (raises with the message shown as it
    // is, rather than as a failed operation to retry).
    virtual void CheckRowDelete(data::DataSet& /*ds*/) {}
    // The row buttons' enabled states (called whenever the front grid's view changes).
    virtual void UpdateRowButtons();

    // Registers a further view of the division dataset, its filter and the grid that
    // shows it (nullptr when none). Call before InitRows.
    void AddView(data::DataSet& view, TDataSource* source, QString filter, TDBGrid* grid);
    // Forgets the views AddView registered (the window's destructor, once they are
    // closed: they go before the base does).
    void ForgetAddedViews();
    // Declares every dataset's fields and wires the grids; call at the end of the
    // window's constructor.
    void InitRows();
    // A grid whose single row cannot be inserted or deleted (the carry-over lines).
    void MakeSingleRowGrid(TDBGrid* grid);

    // --- Steps of the entry-window base.
    void PrepareWindow() override;
    void CloseData() override;
    void ShowBrowseState() override;
    void LoadData() override;
    void ShowEditState() override;
    void CancelEdit() override;
    void DeleteData() override;
    void PostEdit() override;
    void SaveData() override;
    // The serialised save: the year locked, the claim confirmed, the question when
    // the year was saved since this load, then ReplaceSavedLines.
    void ApplyChanges() override;
    // Unsaved: a row the user posted or deleted since the load (rows the window
    // adds or computes itself do not count), a pending edit, or the NENDO row's texts.
    bool HasUnsavedChanges() const override;
    // A window that writes the work table itself (the import) says so here.
    void MarkWorkRowsChanged() { workRowsChanged_ = true; }
    int GetKaikeiKubun() override;
    void SetKaikeiKubun(int code) override;

    // --- Helpers for the windows.
    // The item's name (Kamokumei, 科目(集計項目)), looked up by KAMOKU in `names`.
    static void AddNameColumn(data::DataSet& ds, data::DataSet* names, bool readOnly);
    // 摘要 and 順序 (hidden and read-only unless `junjyoShown`), then the hidden
    // columns of a work row: the item (required), its classification (required with
    // `bunruiRequired`), the key, the year, the division and the item's facts.
    static void AddLineColumns(data::DataSet& ds, bool junjyoShown, bool bunruiRequired);
    // An amount shown as "#,##0", read-only (a window may open it for typing).
    static data::FieldDef AmountField(const QString& name, const QString& label);
    static data::FieldDef HiddenField(const QString& name, data::FieldType type);
    // A button of the window's bars: no tab stop, never the default button.
    static QPushButton* MakeButton(const QString& caption, const QString& hint, QWidget* parent);
    // Lays out the receipts and payments pages: each grid (at least `gridWidth`
    // wide) over its total lines summing `amounts`; `belowPayments` stand between the
    // payments grid and 支出小計, the carry-over grid between 支出小計 and 支出合計; the
    // navigators last.
    void LayOutGrids(const QStringList& amounts, int gridWidth, const std::vector<QWidget*>& belowPayments);
    db::Connection& Connection() const;
    // The work-table key of the load (only while a year is loaded).
    const db::WorkKey& LoadKey() const { return claim_->Key(); }
    // Runs `sql` with the window's parameters (CPU_NAME, JIKOKU, Nendo, KAIKEI_KUBUN).
    int ExecWithParams(const QString& sql);
    db::Connection::Rows SelectWithParams(const QString& sql);
    // Sums of `columns` over the work rows of the division shown that pass `condition`.
    std::vector<db::Value> SumWorkRows(const QStringList& columns, const QString& condition);
    // Writes the division dataset's pending changes to the work table; raises
    // "更新を失敗しました。" with the failing row's message.
    void WriteWorkRows();
    // Writes the rows an earlier write left pending; raises `refusal` with the
    // failing row's message when they still cannot be written.
    void WritePendingRows(const QString& refusal);
    // Writes the NENDO row's pending changes (inside the save transaction).
    void ApplyNendoRow();
    // Posts the pending edit of `ds`, or drops it when it is a new row nobody filled.
    void PostOrDrop(data::DataSet& ds);
    // Posts (cancels) the pending edits of every view and of the NENDO row.
    void PostViews();
    void CancelViews();
    // The grid of the front tab that the row buttons act on; nullptr on other tabs.
    TDBGrid* FrontGrid() const;
    void SelectFirstEditableColumns();
    // The account list's row for an item: its columns by name (nullopt: not listed).
    std::optional<db::Value> KamokuValue(int kamoku, const QString& column) const;
    // Shows the division chosen in the drop-down.
    void ShowDivision();
    // Puts the keyboard on `field` of the grid showing `ds`, once the message is closed.
    void FocusCell(const data::DataSet& ds, const QString& field);
    TDBGrid* GridOf(const data::DataSet& ds) const;
    // Copies the item's facts into the row when its item is chosen.
    void CopyKamokuFacts(data::Field& kamoku);

    QHBoxLayout* BarLayout() const { return barLayout_; }
    // The signature tab: edit boxes bound to the texts row, their captions, and the
    // page that holds them with the keyboard going through `order`.
    struct TextBinding {
        TDBEdit* edit;
        const char16_t* field;
        QString hint;
        int width;  // in full-width characters
    };
    void BindTextEdits(const std::vector<TextBinding>& bindings);
    QLabel* SyomeiLabel(const QString& caption, QWidget* buddy);
    void SetSyomeiPage(QGridLayout* grid, const std::vector<QWidget*>& order);
    // Adds a tab page after the signature tab.
    void AddPage(const QString& caption, QWidget* page);

    bool eventFilter(QObject* watched, QEvent* event) override;

    // Set while the window writes rows it computed itself: their posts write but
    // start no recomputation.
    bool computing_ = false;

  private:
    struct ViewSpec {
        data::DataSet* view;
        TDataSource* source;
        QString filter;
        TDBGrid* grid;
    };

    db::SavedRows SavedLines() const;
    // Asks before 保存 or 削除 replaces lines saved elsewhere after this load.
    bool ConfirmReplace();
    // 保存 or 削除 in one transaction; a declined question ends it silently.
    void ApplyYear();
    // Removes the work rows of this table's windows whose program is gone.
    void DiscardAbandonedLoads();
    void ReadKamokuList();
    void CloseLoad();
    // Deletes the load's work rows with its claim; the claim is dropped even when
    // that fails.
    void ReleaseClaim();
    void AttachViews();
    void WireDataSet(data::DataSet& ds, int syusiKubun);
    void NewRecord(data::DataSet& ds, int syusiKubun);
    void GridExit(TDBGrid* grid, QWidget* target);
    void KaikeiKubunComboChange();
    void PageControl1Change(int index);
    void GyoSakujyoBtnClick();
    void GyoCancelBtnClick();

    QString workTable_;
    int paymentsBelow_;
    std::vector<ViewSpec> views_;
    std::vector<TDBGrid*> singleRowGrids_;
    QHBoxLayout* barLayout_;
    QVBoxLayout* syunyuLayout_;
    QVBoxLayout* sisyutsuLayout_;
    int nendo_ = 0;
    std::optional<db::WorkKeyClaim> claim_;  // the work-table key of the load
    db::YearStamp loadedYear_;               // the saved lines as the load found them
    bool replaceDeclined_ = false;
    int kaikeiKubun_ = 0;
    int shownPage_ = 0;
    bool changingPage_ = false;
    bool workRowsChanged_ = false;
};
