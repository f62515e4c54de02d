#include "login/LoginUnit.h"

#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "db/DantaiLogin.h"
#include "db/DataModule.h"
#include "db/Error.h"
#include "db/OpenFailure.h"
#include "db/SchemaUpgrade.h"
#include "login/DantaiTourokuUnit.h"
#include "login/DantaimeiHenkouUnit.h"
#include "login/MenuUnit.h"
#include "login/PasswordEdit.h"
#include "platform/Folders.h"
#include "ui/Accelerator.h"
#include "ui/VersionFooter.h"

namespace {

QPushButton* OrganisationButton(const QString& caption, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setFocusPolicy(Qt::ClickFocus);
    button->setAutoDefault(false);
    return button;
}

// Makes `folder` with its parents; the Part's message when it cannot be made.
void MakeFolder(const QString& folder) {
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    if (!QDir(folder).exists())
        throw EAppError(QStringLiteral("フォルダ［") + folder + QStringLiteral("］の作成を失敗しました"));
}

}  // namespace

TLoginForm::TLoginForm(QWidget* parent)
    : TTsubakiBaseForm(parent),
      ListBox1(new QListWidget(this)),
      Edit1(new TPasswordEdit(this)),
      CloselBtn(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                                QStringLiteral("閉じる(&C)"), this)),
      BitBtn1(new QPushButton(QStringLiteral("実  行"), this)),
      Panel3(new TVersionFooter(this)),
      BitBtn2(OrganisationButton(QStringLiteral("ｻﾝﾌﾟﾙﾃﾞｰﾀの追加"),
                                 QStringLiteral("サンプルデータ(○○○○自治会)を追加します。"), this)),
      BitBtn3(OrganisationButton(QStringLiteral("団体の削除"), QStringLiteral("選択中の団体を削除します。"),
                                 this)),
      BitBtn4(
          OrganisationButton(QStringLiteral("団体の追加"), QStringLiteral("新しい団体を登録します。"), this)),
      BitBtn5(OrganisationButton(QStringLiteral("団体名変更"), QStringLiteral("選択中の団体名を変更します。"),
                                 this)) {
    setWindowTitle(QStringLiteral("つばき出納帳"));
    GiveAccelerator(BitBtn2, u'S');  // no tab stop

    ListBox1->setToolTip(QStringLiteral("実行する団体を選択します。"));
    ListBox1->setAttribute(Qt::WA_InputMethodEnabled, false);
    ListBox1->setMinimumSize(380, 180);
    Edit1->setToolTip(QStringLiteral("選択した団体のパスワードを入力します。"));
    CloselBtn->setToolTip(QStringLiteral("プログラムを終了します。"));
    CloselBtn->setFocusPolicy(Qt::ClickFocus);
    CloselBtn->setAutoDefault(false);
    BitBtn1->setToolTip(QStringLiteral("プログラムを実行します。"));
    BitBtn1->setShortcut(Qt::Key_Escape);  // Esc presses 実  行 as well
    BitBtn1->setAutoDefault(true);
    for (QPushButton* b : {CloselBtn, BitBtn1})
        b->setMinimumSize(120, 40);

    auto* left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("団体名を選択してください。"), this));
    left->addWidget(ListBox1, 1);
    auto* password = new QHBoxLayout;
    password->addWidget(new QLabel(QStringLiteral("パスワードを入力してください。"), this));
    password->addWidget(Edit1);
    password->addStretch(1);
    left->addLayout(password);

    auto* right = new QVBoxLayout;
    right->addWidget(CloselBtn);
    right->addStretch(1);
    right->addWidget(BitBtn1);

    auto* top = new QHBoxLayout;
    top->addLayout(left, 1);
    top->addLayout(right);

    auto* organisations = new QHBoxLayout;
    for (QPushButton* b : {BitBtn4, BitBtn2, BitBtn3, BitBtn5})
        organisations->addWidget(b);

    auto* root = new QVBoxLayout(this);
    // The window keeps the size its contents ask for: a window manager then draws no
    // resize handle, which showed as a cut strip under the footer.
    root->setSizeConstraint(QLayout::SetFixedSize);
    root->addLayout(top, 1);
    root->addLayout(organisations);
    root->addWidget(Panel3);

    setTabOrder(ListBox1, Edit1);
    setTabOrder(Edit1, BitBtn1);

    connect(CloselBtn, &QPushButton::clicked, this, &QDialog::reject);
    Connect(BitBtn1, &TLoginForm::BitBtn1Click);
    Connect(BitBtn2, &TLoginForm::BitBtn2Click);
    Connect(BitBtn3, &TLoginForm::BitBtn3Click);
    Connect(BitBtn4, &TLoginForm::BitBtn4Click);
    Connect(BitBtn5, &TLoginForm::BitBtn5Click);
}

void TLoginForm::Connect(QPushButton* button, void (TLoginForm::*handler)()) {
    connect(button, &QPushButton::clicked, this,
            [this, handler] { Guard([this, handler] { (this->*handler)(); }); });
}

QString TLoginForm::GetSelectedDantai() const {
    const QListWidgetItem* item = ListBox1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void TLoginForm::PrepareWindow() {
    Panel3->ShowVersionInfo();
    DbRootFolder = EffectiveDbRootFolder();
    if (ReadFdbRootPath().isEmpty()) {
        WriteFdbRootPath(DbRootFolder);
        MakeFolder(DbRootFolder);
    }
    FillList();
}

void TLoginForm::FillList() {
    ListBox1->clear();
    ListBox1->addItems(GetDantaiList());
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    UpdateButtons();
}

void TLoginForm::UpdateButtons() {
    const bool any = ListBox1->count() > 0;
    BitBtn1->setEnabled(any);
    BitBtn3->setEnabled(any);
    BitBtn5->setEnabled(any);
    BitBtn2->setEnabled(ListBox1->findItems(SampleDantaiName(), Qt::MatchExactly).isEmpty());
    BitBtn4->setEnabled(true);
}

void TLoginForm::BitBtn3Click() {
    const QString name = GetSelectedDantai();
    struct FocusBack {
        TLoginForm* form;
        ~FocusBack() { form->FocusFirstControl(); }
    } focusBack{this};
    if (name.isEmpty())
        throw EAppError(QStringLiteral("団体を選択してください。"));
    const QString question = QStringLiteral("[") + name + QStringLiteral("]を削除します。\r\n") +
                             QStringLiteral("削除した団体のデータは復活することができません。\r\n\r\n") +
                             QStringLiteral("削除してもよろしいですか？");
    if (Dialogs().MessageDlg(question, MsgDlgType::Warning, mbYes | mbNo) != ModalResult::Yes)
        return;
    const QString path = GetLocalDbPath(name);
    const QString folder = path.isEmpty() ? QString() : ExtractFileDir(path);
    // Only the organisation's own folder under the root goes: a hand-written entry
    // may point anywhere, and that folder is not ours to delete.
    const bool foreignFolder = !folder.isEmpty() && QDir(folder).exists() && !IsOwnDantaiFolder(folder, name);
    if (!folder.isEmpty() && QDir(folder).exists() && !foreignFolder)
        DeleteFolderTree(folder);
    DeleteIniKey(QStringLiteral("DBList"), name);
    delete ListBox1->takeItem(ListBox1->currentRow());
    if (ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    UpdateButtons();
    if (foreignFolder)
        ShowMessage(QStringLiteral("[") + name + QStringLiteral("]の登録を削除しました。\r\n") +
                    QStringLiteral("データベースのあるフォルダ［") + folder +
                    QStringLiteral("］は団体のフォルダではないため、削除していません。"));
}

void TLoginForm::BitBtn2Click() {
    const QString name = SampleDantaiName();
    const QString folder = AddBackslash(DbRootFolder) + name;
    MakeFolder(folder);
    const QString target = AddBackslash(folder) + QStringLiteral("TSUBAKI.FDB");
    if (QFile::exists(target) &&
        MsgDialog(QStringLiteral(
                      "指定した保存先には以前のデータが存在します。\r\n\r\n以前のデータを削除しますか？"),
                  MsgDlgType::Confirmation, mbYes | mbNo, mbNo) != ModalResult::Yes)
        throw EAppError(QStringLiteral("処理を中止しました。"));
    FileCopy(platform::ProgramFolder() + QStringLiteral("/OrgDB/SampleDB/TSUBAKI.FDB"), target, true, true);
    WriteDBListEntry(name, target);
    FillList();
    FocusFirstControl();
    ShowMessage(QStringLiteral("サンプルデータを追加しました。"));
}

void TLoginForm::BitBtn4Click() {
    TDantaiTourokuForm form(this);
    if (form.exec() == QDialog::Accepted)
        FillList();
    FocusFirstControl();
}

void TLoginForm::BitBtn5Click() {
    TDantaimeiHenkouForm form(this);
    form.SetOldDantaimei(GetSelectedDantai());
    if (form.exec() == QDialog::Accepted)
        FillList();
    FocusFirstControl();
}

void TLoginForm::BitBtn1Click() {
    FocusFirstControl();
    const QString name = GetSelectedDantai();
    if (name.isEmpty())
        throw EAppError(QStringLiteral("団体名を選択してください。"));
    CurrentDantai = name;
    db::Connection& connection = DataModule1().SQLConnection1;
    connection.Close();  // the next use connects to this organisation's database

    QString storedPassword;
    {
        data::DataSet SQLDataSet1(QStringLiteral("SQLDataSet1"));
        SQLDataSet1.SetConnection(&connection);
        SQLDataSet1.SetCommandText(db::KanriSql());
        // Whatever happens until the password check, the row and the connection close.
        struct CloseAll {
            data::DataSet& dataSet;
            db::Connection& connection;
            ~CloseAll() {
                dataSet.Close();
                connection.Close();
            }
        } closeAll{SQLDataSet1, connection};
        db::OpenDantaiDatabase(connection, name);
        DsOpen(SQLDataSet1);
        storedPassword = Trim(SQLDataSet1.FieldByName(QStringLiteral("PASS_WD")).AsString());
        CurrentNendo = static_cast<int>(SQLDataSet1.FieldByName(QStringLiteral("NENDO")).AsInteger());
        const data::Field* version = SQLDataSet1.FindField(QStringLiteral("DB_VERSION"));
        db::SchemaUpgrade upgrade(connection,
                                  {[&SQLDataSet1] { SQLDataSet1.Close(); }, [this] { reject(); }});
        upgrade.UpgradeDatabase(version && !version->IsNull() ? version->AsString() : QString());
    }
    if (!db::PasswordMatches(Edit1->text(), storedPassword)) {
        Edit1->setFocus();
        throw EAppError(QStringLiteral("パスワードが正しくありません。"));
    }
    ShowMenu();
}

void TLoginForm::ShowMenu() {
    hide();
    struct CloseLogin {
        TLoginForm* form;
        ~CloseLogin() { form->accept(); }  // the program ends with the login window
    } closeLogin{this};
    TMenuForm menu(this);
    menu.exec();
}
