#pragma once
// Entry windows: one fiscal year's data, loaded with 入力(表示), edited, then saved
// (all in one transaction), cancelled or deleted; only in between can the year be
// changed or the window closed. The window's controls sit in GroupBox1 and are
// bound to ClientDataSet1 through DataSource1; SQLDataSet1 (its SQL given by the
// deriving window) feeds ClientDataSet1.
//
// Esc presses キャンセル while it is enabled; when the window reports unsaved work
// (HasUnsavedChanges) it first asks "入力中の内容を破棄しますか?" with いいえ
// focused, and いいえ keeps everything. A click on キャンセル never asks. Every
// entry window answers HasUnsavedChanges for its own data: the default sees the
// pending changes and the pending edit of ClientDataSet1 only, so a window that
// keeps its work elsewhere (work-table rows, other datasets) must override it.

#include <QPointer>

#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "ui/DataSource.h"
#include "ui/TsubakiBaseFormUnit1.h"

class QGroupBox;

class TTsubakiBaseForm2 : public TTsubakiBaseForm1 {
    Q_OBJECT
  public:
    explicit TTsubakiBaseForm2(QWidget* parent = nullptr);
    ~TTsubakiBaseForm2() override;

    QLabel* Label17;
    QPushButton* NyuryokuBtn;
    QPushButton* SaveBtn;
    QPushButton* CancelBtn;
    QPushButton* DeleteBtn;
    QGroupBox* GroupBox1;

    QString Jikoku;          // yyyymmddhhmmss of the last load
    bool SinkiFlag = false;  // the last load found no row
    QString UpdateMrrMsg;    // the message of the last reconcile error

    data::SqlCommand SQLDataSet1{QStringLiteral("SQLDataSet1")};
    data::DataSet ClientDataSet1{QStringLiteral("ClientDataSet1")};
    TDataSource DataSource1{&ClientDataSet1};

  protected:
    void PrepareWindow() override;
    virtual void CloseData();
    virtual void ShowBrowseState();
    virtual void LoadData();
    virtual void ShowEditState();
    virtual void CancelEdit();
    virtual void DeleteData();
    virtual void PostEdit();
    virtual void SaveData();
    virtual void ApplyInTransaction();
    virtual void ApplyChanges();
    virtual void SetQueryParams(data::SqlCommand& command);
    // The status line once a save has gone through.
    virtual QString SavedStatusText() { return QStringLiteral("保存しました。"); }
    virtual int GetKaikeiKubun() { return 0; }
    virtual void SetKaikeiKubun(int /*code*/) {}
    // Whether anything entered since the last load would be lost by キャンセル:
    // here, ClientDataSet1's pending changes or a changed edit still unposted.
    virtual bool HasUnsavedChanges() const;
    // Esc: キャンセル, after asking when unsaved work would be lost.
    void EscapeCancel();
    // The question Esc asks before unsaved work is thrown away; true to go on. A
    // window whose キャンセル asks a question of its own asks that one instead.
    virtual bool ConfirmDiscard();

    // A load that fails because of what a control holds puts the focus there once its
    // message is closed (call before raising the failure from LoadData).
    void FocusAfterFailedLoad(QWidget* control) { failedLoadFocus_ = control; }

    void NyuryokuBtnEnter();
    void SaveBtnClick();
    void CancelBtnClick();
    void DeleteBtnClick();
    void ClientDataSet1ReconcileError(data::DataSet& dataSet, const QString& message, data::UpdateKind kind);

    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Closing runs CloseData while the deriving window is still whole.
    void done(int result) override;

  private:
    bool dataClosed_ = false;
    QPointer<QWidget> failedLoadFocus_;
};
