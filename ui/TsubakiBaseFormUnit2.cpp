#include "ui/TsubakiBaseFormUnit2.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QFocusEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "core/ComputerName.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "data/DataSetOperation.h"
#include "data/PendingChanges.h"
#include "db/DataModule.h"
#include "db/YearClose.h"
#include "ui/SpinButton.h"
#include "ui/WaitCursor.h"
#include "ui/YearEdit.h"

namespace {

// Reports a focus that a control received from the user (not a window coming back
// to the front), after the focus change is over.
class FocusEntry : public QObject {
  public:
    FocusEntry(QWidget* control, std::function<void()> entered)
        : QObject(control), entered_(std::move(entered)) {
        control->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
                QMetaObject::invokeMethod(this, entered_, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    std::function<void()> entered_;
};

QPushButton* HeaderButton(const QString& caption, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

}  // namespace

TTsubakiBaseForm2::TTsubakiBaseForm2(QWidget* parent)
    : TTsubakiBaseForm1(parent),
      Label17(new QLabel(QStringLiteral("団 体 名"), Panel2)),
      NyuryokuBtn(HeaderButton(
          QStringLiteral("入力(表示)"),
          QStringLiteral("指定した年度の登録済データを表示して、データの入力が可能になります。"), Panel2)),
      SaveBtn(HeaderButton(QStringLiteral("保存"), QStringLiteral("入力したデータを保存します。(Ctrl+S)"),
                           Panel2)),
      CancelBtn(HeaderButton(QStringLiteral("キャンセル"),
                             QStringLiteral("入力を中止します。(入力内容は保存しません)"), Panel2)),
      DeleteBtn(
          HeaderButton(QStringLiteral("削除"), QStringLiteral("表示中年度のデータを削除します。"), Panel2)),
      GroupBox1(new QGroupBox(this)) {
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Edit1->setToolTip(QStringLiteral("表示する年度を指定します。"));
    SpinButton1->setToolTip(QStringLiteral("表示する年度を指定します。"));
    for (QPushButton* b : {SaveBtn, CancelBtn, DeleteBtn}) {
        b->setFocusPolicy(Qt::ClickFocus);  // not tab stops
        b->setEnabled(false);
    }
    GroupBox1->setEnabled(false);

    // Header row: the year, the cycle's buttons, then the organisation's name.
    QHBoxLayout* header = HeaderLayout();
    header->removeWidget(Label2);
    header->addSpacing(8);
    for (QWidget* w : {static_cast<QWidget*>(NyuryokuBtn), static_cast<QWidget*>(SaveBtn),
                       static_cast<QWidget*>(CancelBtn), static_cast<QWidget*>(DeleteBtn)})
        header->addWidget(w);
    header->addSpacing(16);
    header->addWidget(Label17);
    header->addWidget(Label2, 1);
    BodyLayout()->addWidget(GroupBox1, 1);
    setTabOrder(Edit1, NyuryokuBtn);
    setTabOrder(NyuryokuBtn, GroupBox1);

    ClientDataSet1.SetCommand(&SQLDataSet1);
    ClientDataSet1.OnReconcileError = [this](data::DataSet& ds, const QString& message,
                                             data::UpdateKind kind) {
        ClientDataSet1ReconcileError(ds, message, kind);
    };
    new FocusEntry(NyuryokuBtn, [this] { Guard([this] { NyuryokuBtnEnter(); }); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { Guard([this] { SaveBtnClick(); }); });
    // 保存 is no tab stop (the keyboard walk stays in the data): Ctrl+S presses it.
    connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, [this] {
        if (SaveBtn->isEnabled() && SaveBtn->isVisible())
            SaveBtn->click();
    });
    connect(CancelBtn, &QPushButton::clicked, this, [this] { Guard([this] { CancelBtnClick(); }); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { Guard([this] { DeleteBtnClick(); }); });
}

TTsubakiBaseForm2::~TTsubakiBaseForm2() {
    // FormDestroy: a window destroyed without being closed still closes its data
    // (the deriving window's own CloseData has run in done()).
    if (!dataClosed_)
        RunGuarded([this] { TTsubakiBaseForm2::CloseData(); });
}

void TTsubakiBaseForm2::done(int result) {
    dataClosed_ = RunGuarded([this] { CloseData(); });
    TTsubakiBaseForm1::done(result);
}

void TTsubakiBaseForm2::closeEvent(QCloseEvent* event) {
    // While the year is being edited the window closes only through 保存/キャンセル.
    if (!CloseBtn->isEnabled()) {
        event->ignore();
        return;
    }
    TTsubakiBaseForm1::closeEvent(event);
}

void TTsubakiBaseForm2::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (CancelBtn->isEnabled() && CancelBtn->isVisible())
            Guard([this] { EscapeCancel(); });
        event->accept();
        return;
    }
    TTsubakiBaseForm1::keyPressEvent(event);
}

// ---------------------------------------------------------------- steps

void TTsubakiBaseForm2::PrepareWindow() {
    db::Connection& connection = DataModule1().SQLConnection1;
    if (!SQLDataSet1.Connection())
        SQLDataSet1.SetConnection(&connection);
    if (!ClientDataSet1.Connection())
        ClientDataSet1.SetConnection(&connection);
    TTsubakiBaseForm1::PrepareWindow();
    ShowBrowseState();
}

void TTsubakiBaseForm2::CloseData() {
    data::DsClose(ClientDataSet1);
    data::DsClose(SQLDataSet1);
}

void TTsubakiBaseForm2::ShowBrowseState() {
    DataSource1.SetEnabled(false);
    for (QWidget* w : {static_cast<QWidget*>(CloseBtn), static_cast<QWidget*>(Edit1),
                       static_cast<QWidget*>(SpinButton1), static_cast<QWidget*>(NyuryokuBtn)})
        w->setEnabled(true);
    for (QWidget* w : {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(SaveBtn),
                       static_cast<QWidget*>(CancelBtn), static_cast<QWidget*>(DeleteBtn)})
        w->setEnabled(false);
    FocusFirstControl();
}

void TTsubakiBaseForm2::ShowEditState() {
    DataSource1.SetEnabled(true);
    GroupBox1->setEnabled(true);
    SaveBtn->setEnabled(true);
    CancelBtn->setEnabled(true);
    DeleteBtn->setEnabled(!SinkiFlag);
    for (QWidget* w : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(SpinButton1),
                       static_cast<QWidget*>(NyuryokuBtn), static_cast<QWidget*>(CloseBtn)})
        w->setEnabled(false);
}

void TTsubakiBaseForm2::LoadData() {
    CloseData();
    Jikoku = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss"));
    SetQueryParams(SQLDataSet1);
    data::DsOpen(ClientDataSet1);
    SinkiFlag = ClientDataSet1.IsEmpty();
}

void TTsubakiBaseForm2::SetQueryParams(data::SqlCommand& command) {
    const QStringList names = command.ParamNames();
    const auto has = [&](const QString& name) { return names.contains(name, Qt::CaseInsensitive); };
    if (has(QStringLiteral("CPU_NAME")))
        command.SetParam(QStringLiteral("CPU_NAME"), GetComputerNameStr());
    if (has(QStringLiteral("JIKOKU")))
        command.SetParam(QStringLiteral("JIKOKU"), Jikoku);
    if (has(QStringLiteral("Nendo")))
        command.SetParam(QStringLiteral("Nendo"), GetNendo());
    if (has(QStringLiteral("KAIKEI_KUBUN")))
        command.SetParam(QStringLiteral("KAIKEI_KUBUN"), GetKaikeiKubun());
}

void TTsubakiBaseForm2::CancelEdit() {
    data::DsCancel(ClientDataSet1);
}

void TTsubakiBaseForm2::DeleteData() {
    data::DsDelete(ClientDataSet1);
    ApplyInTransaction();
}

void TTsubakiBaseForm2::PostEdit() {
    DataSource1.UpdateRecord();
    data::DsPost(ClientDataSet1);
}

void TTsubakiBaseForm2::SaveData() {
    ApplyInTransaction();
}

void TTsubakiBaseForm2::ApplyInTransaction() {
    db::Connection& connection = DataModule1().SQLConnection1;
    connection.StartTransaction();
    const auto rollBack = [&] {
        if (connection.InTransaction())
            connection.Rollback();
    };
    try {
        ApplyChanges();
        connection.Commit();
    } catch (const db::EYearClosed&) {
        rollBack();
        throw;  // the year's close, named as it is
    } catch (const EAbort&) {
        rollBack();
        throw EAppError(QStringLiteral("更新を失敗しました。"));
    } catch (const std::exception& e) {
        rollBack();
        throw EAppError(QStringLiteral("更新を失敗しました。\r\n\r\n") + ErrorMessageOf(e));
    }
}

void TTsubakiBaseForm2::ApplyChanges() {
    UpdateMrrMsg.clear();
    if (ClientDataSet1.ApplyUpdates(0) > 0)
        throw EAppError(UpdateMrrMsg);
}

void TTsubakiBaseForm2::ClientDataSet1ReconcileError(data::DataSet&, const QString& message,
                                                     data::UpdateKind) {
    UpdateMrrMsg = message;
}

// ---------------------------------------------------------------- the cycle

void TTsubakiBaseForm2::NyuryokuBtnEnter() {
    if (!NyuryokuBtn->hasFocus())
        return;           // the focus moved on before this ran
    FocusFirstControl();  // so that the button can be entered again
    if (GetNendo() == 0)
        throw EAppError(QStringLiteral("会計年度を指定してください。"));
    ShowStatus(QString());
    failedLoadFocus_ = nullptr;
    try {
        const TWaitCursor wait;  // a large year takes a moment
        LoadData();
        ShowEditState();
    } catch (const EAbort&) {
        ShowBrowseState();
    } catch (const std::exception& e) {
        ShowBrowseState();
        ShowMessage(ErrorMessageOf(e));
    }
    if (failedLoadFocus_ && failedLoadFocus_->isEnabled() && !SaveBtn->isEnabled())
        failedLoadFocus_->setFocus(Qt::OtherFocusReason);
    else
        FocusFirstControl();
    failedLoadFocus_ = nullptr;
}

void TTsubakiBaseForm2::SaveBtnClick() {
    FocusFirstControl();
    try {
        PostEdit();
        const TWaitCursor wait;
        SaveData();
        ShowBrowseState();
        FocusFirstControl();
        ShowStatus(SavedStatusText());
    } catch (...) {
        FocusFirstControl();
        throw;
    }
}

bool TTsubakiBaseForm2::HasUnsavedChanges() const {
    return data::HasPendingChanges(ClientDataSet1);
}

void TTsubakiBaseForm2::EscapeCancel() {
    // One Esc too many (the grid's own Esc reverts a line first) must not throw
    // away the whole load.
    if (HasUnsavedChanges() && !ConfirmDiscard())
        return;
    CancelBtn->click();
}

bool TTsubakiBaseForm2::ConfirmDiscard() {
    return MsgDialog(QStringLiteral("入力中の内容を破棄しますか?"), MsgDlgType::Confirmation, mbYes | mbNo,
                     mbNo) == ModalResult::Yes;
}

void TTsubakiBaseForm2::CancelBtnClick() {
    FocusFirstControl();
    const TWaitCursor wait;
    CancelEdit();
    ShowBrowseState();
    ShowStatus(QString());
}

void TTsubakiBaseForm2::DeleteBtnClick() {
    FocusFirstControl();
    if (Dialogs().MessageDlg(QStringLiteral("表示中のデータを削除してもよろしいですか? "),
                             MsgDlgType::Warning, mbYes | mbNo) != ModalResult::Yes)
        return;
    const TWaitCursor wait;
    DeleteData();
    ShowBrowseState();
}
