#pragma once
// Grid windows: a master table kept row by row in DBGrid1; every row posted or
// deleted is written to the database at once. The window has no title-bar close:
// it closes with its close button, asking first about a half-edited row.

#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "ui/DataSource.h"
#include "ui/plnBaseFormUnit.h"

class QPushButton;
class TDBGrid;
class TDBNavigator;

class TDbExpGridForm : public TplnBaseForm {
    Q_OBJECT
  public:
    explicit TDbExpGridForm(QWidget* parent = nullptr);

    QString UpdateMrrMsg;  // the message of the last reconcile error

    data::SqlCommand SQLDataSet1{QStringLiteral("SQLDataSet1")};
    data::DataSet ClientDataSet1{QStringLiteral("ClientDataSet1")};
    TDataSource DataSource1{&ClientDataSet1};

    TDBGrid* DBGrid1;
    TDBNavigator* DBNavigator1;
    QPushButton* CloseBtn;
    QPushButton* TsuikaBtn;
    QPushButton* SakujyoBtn;
    QPushButton* CancelBtn;

  protected:
    virtual void PrepareWindow();
    virtual void SelectFirstEditableColumn();

    void FormShow();
    // Whether the window may close; a half-edited row is saved or dropped first.
    bool FormCloseQuery();
    void CancelBtnClick();
    void TsuikaBtnClick();
    virtual void SakujyoBtnClick();
    void DataSource1StateChange();
    void ClientDataSet1AfterInsert(data::DataSet& dataSet);
    void ClientDataSet1AfterPost(data::DataSet& dataSet);
    void ClientDataSet1AfterCancel(data::DataSet& dataSet);
    void ClientDataSet1AfterDelete(data::DataSet& dataSet);
    void ClientDataSet1ReconcileError(data::DataSet& dataSet, const QString& message, data::UpdateKind kind);
    // Writes the pending changes at once: "更新を失敗しました。" and the message when refused.
    void ApplyNow();

    // The buttons' row under the grid (deriving windows add their own buttons).
    class QHBoxLayout* ButtonLayout() const {
        return buttonLayout_;
    }

    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

  private:
    QHBoxLayout* buttonLayout_;
    bool shown_ = false;
};
