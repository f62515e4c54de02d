#include "login/PassWdMaintUnit.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/Errors.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "login/PasswordEdit.h"
#include "ui/FocusSensor.h"

TPassWdMaintForm::TPassWdMaintForm(QWidget* parent)
    : TTsubakiBaseForm(parent),
      Edit1(new TPasswordEdit(this)),
      Panel1(new TFocusSensor(this)),
      Edit2(new TPasswordEdit(this)),
      Edit3(new TPasswordEdit(this)),
      BitBtn2(new QPushButton(QStringLiteral("設  定"), this)),
      BitBtn1(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("閉じる(&C)"), this)) {
    setWindowTitle(QStringLiteral("パスワードの設定"));
    Edit1->setToolTip(QStringLiteral("変更前のパスワードを入力します。"));
    Edit2->setToolTip(QStringLiteral("変更後のパスワードを入力します。"));
    Edit3->setToolTip(QStringLiteral("変更後のパスワードを入力します。"));
    BitBtn2->setToolTip(QStringLiteral("新しいパスワードの設定を実行します。"));
    BitBtn2->setDefault(true);
    BitBtn2->setMinimumSize(120, 36);
    BitBtn1->setToolTip(QStringLiteral("ウインドウを閉じます。"));
    BitBtn1->setFocusPolicy(Qt::ClickFocus);
    BitBtn1->setAutoDefault(false);
    Panel1->setEnabled(false);
    Edit2->setEnabled(false);
    Edit3->setEnabled(false);
    BitBtn2->setEnabled(false);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("変更前のパスワードを入力してください。"), this), 0, 0, 1, 2);
    grid->addWidget(Edit1, 1, 0);
    grid->addWidget(Panel1, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(QStringLiteral("新しいパスワードを２回入力してください。"), this), 2, 0, 1, 2);
    grid->addWidget(Edit2, 3, 0);
    grid->addWidget(Edit3, 4, 0);
    grid->setColumnStretch(1, 1);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(BitBtn1);
    buttons->addStretch(1);
    buttons->addWidget(BitBtn2);
    auto* root = new QHBoxLayout(this);
    root->addLayout(grid, 1);
    root->addLayout(buttons);

    setTabOrder(Edit1, Panel1);
    setTabOrder(Panel1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, BitBtn2);
    connect(Panel1, &TFocusSensor::Entered, this, [this] { Guard([this] { Panel1Enter(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn2Click(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

void TPassWdMaintForm::closeEvent(QCloseEvent* event) {
    // Only the window's buttons close it (they end it with accept or reject, which
    // sends no close event); a window manager's close is not always marked spontaneous.
    event->ignore();
}

void TPassWdMaintForm::PrepareWindow() {
    for (QLineEdit* edit : {Edit1, Edit2, Edit3})
        edit->clear();
    BitBtn2->setEnabled(false);
    Edit2->setEnabled(false);
    Edit3->setEnabled(false);
    {
        data::DataSet SQLDataSet1(QStringLiteral("SQLDataSet1"));
        SQLDataSet1.SetConnection(&DataModule1().SQLConnection1);
        SQLDataSet1.SetCommandText(QStringLiteral("select KY, PASS_WD from KANRI where (KY = 1)"));
        DsOpen(SQLDataSet1);
        if (SQLDataSet1.IsEmpty())
            throw EAppError(QStringLiteral("登録パスワードが見つかりません。"));
        OldPassWord = SQLDataSet1.FieldByName(QStringLiteral("PASS_WD")).AsString();
        DsClose(SQLDataSet1);
    }
    Edit1->setEnabled(true);
    Panel1->setEnabled(true);
    Edit1->setFocus();
}

void TPassWdMaintForm::Panel1Enter() {
    if (!Panel1->hasFocus())
        return;  // the focus moved on before the check ran
    if (Edit1->text() != OldPassWord) {
        Edit1->setFocus();
        throw EAppError(QStringLiteral("パスワードが正しくありません。"));
    }
    Edit2->setEnabled(true);
    Edit3->setEnabled(true);
    BitBtn2->setEnabled(true);
    Edit2->setFocus();
    Edit1->setEnabled(false);
    Panel1->setEnabled(false);
}

void TPassWdMaintForm::BitBtn2Click() {
    if (Edit2->text() != Edit3->text()) {
        Edit2->setFocus();
        throw EAppError(QStringLiteral("パスワードが正しくありません。"));
    }
    data::SqlCommand SQLDataSet2(QStringLiteral("SQLDataSet2"), &DataModule1().SQLConnection1);
    SQLDataSet2.SetCommandText(QStringLiteral("update KANRI set PASS_WD = :PASSWD where (KY = 1)"));
    SQLDataSet2.SetParam(QStringLiteral("PASSWD"), Edit2->text());
    DsExecSQL(SQLDataSet2);
    SetClosingStatus(QStringLiteral("パスワードを設定しました。"));
    accept();
}
