#include "login/DantaiTourokuUnit.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "core/NameChecks.h"
#include "data/DataSetOperation.h"
#include "platform/Folders.h"
#include "ui/WaitCursor.h"

namespace {

QString FolderCreationError(const QString& folder) {
    return QStringLiteral("フォルダ［") + folder + QStringLiteral("］の作成を失敗しました");
}

}  // namespace

QString SameNameRegisteredText(const QString& name, const QString& registered) {
    return QStringLiteral("［") + name + QStringLiteral("］は登録済みの団体［") + registered +
           QStringLiteral("］と同じ団体名です。\r\n英字の大文字と小文字は区別されません。");
}

void TDantaiTourokuForm::CheckDantaimeiLength(const QString& name) {
    if (name.toUcs4().size() > kMaxDantaimeiLength) {
        Edit2->setFocus();
        throw EAppError(Label2->text() + QStringLiteral("は%1文字以内で入力してください。").arg(kMaxDantaimeiLength));
    }
}

TDantaiTourokuForm::TDantaiTourokuForm(QWidget* parent)
    : TTsubakiBaseForm(parent),
      Label3(new QLabel(QStringLiteral("新しい団体の登録を行います。"), this)),
      Label2(new QLabel(QStringLiteral("団体名"), this)),
      Edit2(new QLineEdit(this)),
      BitBtn1(new QPushButton(QStringLiteral("実行(&Y)"), this)),
      BitBtn2(new QPushButton(QStringLiteral("中止(&A)"), this)),
      SQLConnection1([this] { return databasePath_; }),
      fields_(new QGridLayout) {
    setWindowTitle(QStringLiteral("団体の登録"));
    QPalette blue = Label3->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    Label3->setPalette(blue);
    Edit2->setToolTip(QStringLiteral("団体の正式名称を入力します。"));
    // The name is stored in KANRI.DANTAIMEI, which holds 30 characters.
    Edit2->setMaxLength(kMaxDantaimeiLength);
    Edit2->setMinimumWidth(420);
    BitBtn1->setToolTip(QStringLiteral("入力した団体を登録します。"));
    BitBtn2->setToolTip(QStringLiteral("団体の登録を中止します。"));
    BitBtn1->setDefault(true);
    // Enter in the name box moves on to 実行(&Y), and Enter there presses it, as
    // in every other window.
    for (QPushButton* b : {BitBtn1, BitBtn2})
        b->setMinimumSize(120, 36);

    fields_->addWidget(Label2, 1, 0);
    fields_->addWidget(Edit2, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* root = new QVBoxLayout(this);
    root->addWidget(Label3);
    root->addLayout(fields_);
    root->addLayout(buttons);

    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TDantaiTourokuForm::closeEvent(QCloseEvent* event) {
    // Only the window's buttons close it (they end it with accept or reject, which
    // sends no close event); a window manager's close is not always marked spontaneous.
    event->ignore();
}

QString TDantaiTourokuForm::GetNewDantaimei() const {
    return Trim(Edit2->text());
}

void TDantaiTourokuForm::ValidateInput() {
    const QString name = GetNewDantaimei();
    if (name.isEmpty()) {
        Edit2->setFocus();
        throw EAppError(Label2->text() + QStringLiteral("を入力してください。"));
    }
    const QString folder = AddBackslash(DbRootFolder) + name;
    // A name that cannot be one folder and one settings key would become a path or
    // corrupt the settings file: refused before anything is written.
    if (!IsValidDantaiName(name))
        throw EAppError(FolderCreationError(folder));
    CheckDantaimeiLength(name);
    // Keys ignore the case of ASCII letters: "abc" would replace the entry of "ABC".
    if (const QString registered = RegisteredDantaiName(name); !registered.isEmpty() && registered != name) {
        Edit2->setFocus();
        throw EAppError(SameNameRegisteredText(name, registered));
    }
    if (!QDir(folder).exists())
        QDir().mkpath(folder);
    if (!QDir(folder).exists())
        throw EAppError(FolderCreationError(folder));
    if (QFile::exists(AddBackslash(folder) + QStringLiteral("TSUBAKI.FDB")) &&
        MsgDialog(name + QStringLiteral("は登録済みです。\r\n\r\n以前のデータを削除しますか？\r\n\r\n") +
                      QStringLiteral("警告 削除すると復活することは出来ません！"),
                  MsgDlgType::Confirmation, mbYes | mbNo, mbNo) != ModalResult::Yes)
        throw EAppError(QStringLiteral("処理を中止しました。"));
}

void TDantaiTourokuForm::WriteDantaimei(const QString& databasePath, const QString& name) {
    SQLConnection1.Close();
    databasePath_ = databasePath;
    struct CloseAfter {
        db::Connection& connection;
        ~CloseAfter() { connection.Close(); }
    } closeAfter{SQLConnection1};
    data::SqlCommand SQLDataSet1(QStringLiteral("SQLDataSet1"), &SQLConnection1);
    SQLDataSet1.SetCommandText(QStringLiteral("update KANRI set DANTAIMEI = :Dantaimei where (KY = 1)"));
    SQLDataSet1.SetParam(QStringLiteral("Dantaimei"), name);
    DsExecSQL(SQLDataSet1);
}

void TDantaiTourokuForm::BitBtn1Click() {
    FocusFirstControl();
    ValidateInput();
    const QString name = GetNewDantaimei();
    const QString path = AddBackslash(DbRootFolder) + name + QStringLiteral("/TSUBAKI.FDB");
    {
        TWaitCursor hourglass;
        FileCopy(platform::ProgramFolder() + QStringLiteral("/OrgDB/TSUBAKI.FDB"), path, true, true);
    }
    try {
        WriteDantaimei(path, name);
        WriteDBListEntry(name, path);
    } catch (...) {
        // Nothing of the new organisation may stay behind.
        try {
            DeleteIniKey(QStringLiteral("DBList"), name);
        } catch (...) {
        }
        QFile::remove(path);
        DeleteFolderTree(ExtractFileDir(path));
        throw;  // a silent abort stays silent; any other error keeps its message
    }
    CurrentDantai = name;
    ShowMessage(QStringLiteral("団体の登録を正常に終了しました。"));
    accept();
}
