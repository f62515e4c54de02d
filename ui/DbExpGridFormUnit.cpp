#include "ui/DbExpGridFormUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "ui/DBControls.h"
#include "ui/DBGrid.h"
#include "ui/WaitCursor.h"

TDbExpGridForm::TDbExpGridForm(QWidget* parent)
    : TplnBaseForm(parent),
      DBGrid1(new TDBGrid(this)),
      DBNavigator1(new TDBNavigator(this)),
      CloseBtn(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                               QStringLiteral("閉じる(&C)"), this)),
      TsuikaBtn(new QPushButton(QStringLiteral("追加"), this)),
      SakujyoBtn(new QPushButton(QStringLiteral("削除"), this)),
      CancelBtn(new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this)),
      buttonLayout_(new QHBoxLayout) {
    // Closed only with the close button.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    CloseBtn->setFocusPolicy(Qt::ClickFocus);
    for (QPushButton* b : {CloseBtn, TsuikaBtn, SakujyoBtn, CancelBtn})
        b->setAutoDefault(false);

    DBGrid1->SetDataSource(&DataSource1);
    DBNavigator1->SetDataSource(&DataSource1);

    auto* root = new QVBoxLayout(this);
    root->addWidget(DBGrid1, 1);
    buttonLayout_->addWidget(DBNavigator1);
    buttonLayout_->addStretch(1);
    buttonLayout_->addWidget(TsuikaBtn);
    buttonLayout_->addWidget(SakujyoBtn);
    buttonLayout_->addWidget(CancelBtn);
    buttonLayout_->addSpacing(16);
    buttonLayout_->addWidget(CloseBtn);
    root->addLayout(buttonLayout_);
    setTabOrder(DBGrid1, DBNavigator1);
    setTabOrder(DBNavigator1, TsuikaBtn);
    setTabOrder(TsuikaBtn, SakujyoBtn);
    setTabOrder(SakujyoBtn, CancelBtn);

    ClientDataSet1.SetCommand(&SQLDataSet1);
    ClientDataSet1.AfterInsert = [this](data::DataSet& ds) { ClientDataSet1AfterInsert(ds); };
    ClientDataSet1.AfterPost = [this](data::DataSet& ds) { ClientDataSet1AfterPost(ds); };
    ClientDataSet1.AfterCancel = [this](data::DataSet& ds) { ClientDataSet1AfterCancel(ds); };
    ClientDataSet1.AfterDelete = [this](data::DataSet& ds) { ClientDataSet1AfterDelete(ds); };
    ClientDataSet1.OnReconcileError = [this](data::DataSet& ds, const QString& message,
                                             data::UpdateKind kind) {
        ClientDataSet1ReconcileError(ds, message, kind);
    };
    connect(&DataSource1, &TDataSource::StateChange, this, &TDbExpGridForm::DataSource1StateChange);
    connect(&DataSource1, &TDataSource::DataChange, this, &TDbExpGridForm::DataSource1StateChange);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(TsuikaBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { TsuikaBtnClick(); }); });
    connect(SakujyoBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { SakujyoBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { CancelBtnClick(); }); });
    DataSource1StateChange();
}

void TDbExpGridForm::showEvent(QShowEvent* event) {
    TplnBaseForm::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    FormShow();
}

void TDbExpGridForm::FormShow() {
    bool prepared = false;
    {
        const TWaitCursor wait;
        prepared = RunGuarded([this] { PrepareWindow(); });
    }
    if (!prepared)
        QTimer::singleShot(0, this, [this] { QDialog::done(QDialog::Rejected); });
}

void TDbExpGridForm::PrepareWindow() {
    db::Connection& connection = DataModule1().SQLConnection1;
    if (!SQLDataSet1.Connection())
        SQLDataSet1.SetConnection(&connection);
    if (!ClientDataSet1.Connection())
        ClientDataSet1.SetConnection(&connection);
    data::DsOpen(ClientDataSet1);
    FocusFirstControl();
}

void TDbExpGridForm::SelectFirstEditableColumn() {
    DBGrid1->SelectFirstEditableColumn();
}

void TDbExpGridForm::closeEvent(QCloseEvent* event) {
    // The title bar has no close (and a window manager's close request is not always
    // marked as such): the window closes through its close button, reject() or done().
    event->ignore();
}

void TDbExpGridForm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (CancelBtn->isEnabled() && CancelBtn->isVisible())
            CancelBtn->click();
        event->accept();
        return;
    }
    TplnBaseForm::keyPressEvent(event);
}

void TDbExpGridForm::done(int result) {
    bool canClose = false;
    RunGuarded([&] { canClose = FormCloseQuery(); });
    if (canClose)
        TplnBaseForm::done(result);
}

bool TDbExpGridForm::FormCloseQuery() {
    data::DataSet* ds = DBGrid1->DataSet();
    if (!ds || !ds->Active())
        return true;
    try {
        DBGrid1->UpdateData();
    } catch (...) {
        HandleException(std::current_exception());
        return false;
    }
    if (!ds->IsEditing())
        return true;
    if (!ds->Modified()) {
        data::DsCancel(*ds);  // a new row nobody filled in
        return true;
    }
    const ModalResult answer = Dialogs().MessageDlg(QStringLiteral("入力中の行を保存しますか?"),
                                                    MsgDlgType::Confirmation, mbYes | mbNo);
    try {
        if (answer == ModalResult::Yes)
            data::DsPost(*ds);
        else
            data::DsCancel(*ds);
    } catch (const EAbort&) {
        return false;  // the post failed and the user stopped it: stay open
    }
    return true;
}

void TDbExpGridForm::CancelBtnClick() {
    if (data::DataSet* ds = DBGrid1->DataSet(); ds && ds->IsEditing()) {
        data::DsCancel(*ds);
    } else if (ds && ds->Active() && ds->ChangeCount() > 0) {
        // A row whose write-back failed is no longer being edited, yet its change
        // would stand first in every later write-back and fail it again: drop it.
        ds->CancelUpdates();
        SelectFirstEditableColumn();
    }
    DBGrid1->setFocus();
}

void TDbExpGridForm::TsuikaBtnClick() {
    if (data::DataSet* ds = DBGrid1->DataSet())
        data::DsInsert(*ds);
    DBGrid1->setFocus();
}

void TDbExpGridForm::SakujyoBtnClick() {
    if (data::DataSet* ds = DBGrid1->DataSet())
        data::DsDelete(*ds);
    DBGrid1->setFocus();
}

void TDbExpGridForm::DataSource1StateChange() {
    const data::DataSetState state = ClientDataSet1.State();
    const bool off = state == data::DataSetState::Insert ||
                     (state == data::DataSetState::Browse && ClientDataSet1.IsEmpty());
    TsuikaBtn->setEnabled(!off);
    SakujyoBtn->setEnabled(!off);
}

void TDbExpGridForm::ClientDataSet1AfterInsert(data::DataSet&) {
    SelectFirstEditableColumn();
}

void TDbExpGridForm::ApplyNow() {
    UpdateMrrMsg.clear();
    if (ClientDataSet1.ApplyUpdates(0) > 0)
        throw EAppError(QStringLiteral("更新を失敗しました。\r\n") + UpdateMrrMsg);
}

void TDbExpGridForm::ClientDataSet1AfterPost(data::DataSet&) {
    ApplyNow();
}

void TDbExpGridForm::ClientDataSet1AfterDelete(data::DataSet&) {
    ApplyNow();
    SelectFirstEditableColumn();
}

void TDbExpGridForm::ClientDataSet1AfterCancel(data::DataSet&) {
    // A change whose write-back failed earlier goes too.
    ClientDataSet1.CancelUpdates();
    SelectFirstEditableColumn();
}

void TDbExpGridForm::ClientDataSet1ReconcileError(data::DataSet&, const QString& message, data::UpdateKind) {
    UpdateMrrMsg = message;
}
