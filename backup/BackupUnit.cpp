#include "backup/BackupUnit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <cerrno>
#include <cstdio>

#include "backup/ControlRow.h"
#include "backup/DriveCheck.h"
#include "backup/FileWindowLayout.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "core/NameChecks.h"
#include "db/DataModule.h"
#include "db/DatabaseServices.h"
#include "ui/WaitCursor.h"

namespace {

const QString kFolderLabel = QStringLiteral("バックアップ先フォルダ");

QString CopyError(const QString& source, int error) {
    return QStringLiteral("ファイル［") + QFileInfo(source).fileName() +
           QStringLiteral("］のコピー中にエラー(") + QString::number(error) +
           QStringLiteral(")が発生しました。");
}

// Removes a file on every way out unless released.
class TRemoveOnExit {
  public:
    explicit TRemoveOnExit(QString path) : path_(std::move(path)) {}
    ~TRemoveOnExit() {
        if (!path_.isEmpty())
            QFile::remove(path_);
    }
    TRemoveOnExit(const TRemoveOnExit&) = delete;
    TRemoveOnExit& operator=(const TRemoveOnExit&) = delete;
    void Release() { path_.clear(); }

  private:
    QString path_;
};

}  // namespace

void MakeBackupFile(const QString& databaseString, const QString& fdbPath, const QString& target) {
    // The copy is checked under a hidden name beside the target, so neither a
    // half-made nor a broken copy ever stands under the backup's name.
    const QFileInfo targetInfo(target);
    const QString checking =
        AddBackslash(targetInfo.path()) + u'.' + targetInfo.fileName() + QStringLiteral(".check");
    QString checkedAs = checking;
    TRemoveOnExit removeChecking(checking);
    if (db::IsServerDatabase(databaseString)) {
        // The server writes the copy: its backup service reads the database as the
        // server holds it, and its restore service makes a database file of that.
        const QString server = databaseString.left(databaseString.indexOf(u':') + 1);
        const QString transfer = checking + QStringLiteral(".fbk");
        TRemoveOnExit removeTransfer(transfer);
        QFile::remove(checking);
        db::BackupDatabase(databaseString, transfer);
        db::RestoreDatabase(transfer, server + checking, false);
        checkedAs = server + checking;
    } else {
        FileCopy(fdbPath, checking, true, true);
    }
    try {
        const QString findings = db::ValidationFindings(checkedAs);
        if (!findings.isEmpty())
            throw EAppError(findings);
        ReadControlRow(checkedAs);
    } catch (const EAppError& e) {
        throw EAppError(QStringLiteral("バックアップファイル［") + targetInfo.fileName() +
                        QStringLiteral("］をデータベースとして開くことができません。\r\n") +
                        QStringLiteral("バックアップを中止しました。\r\n\r\n") + e.Message());
    }
    if (std::rename(QFile::encodeName(checking).constData(), QFile::encodeName(target).constData()) != 0)
        throw EAppError(CopyError(fdbPath, errno));
    removeChecking.Release();
}

void MakeBackupFile(const QString& fdbPath, const QString& target) {
    MakeBackupFile(fdbPath, fdbPath, target);
}

TBackupForm::TBackupForm(QWidget* parent)
    : TTsubakiBaseForm(parent),
      Panel1(new QLabel(this)),
      Label1(new QLabel(QStringLiteral("パソコン内のデータをバックアップします。"), this)),
      Label2(new QLabel(kFolderLabel, this)),
      SansyoBtn(new QPushButton(QStringLiteral("参照"), this)),
      Edit1(new QLineEdit(this)),
      Label3(
          new QLabel(QStringLiteral("バックアップ先ファイル名 (指定無しの時は団体名と日付時刻の組み合わせで"
                                    "ファイル名を自動作成します)"),
                     this)),
      Edit2(new QLineEdit(this)),
      BitBtn1(new QPushButton(QStringLiteral("実 行(&R)"), this)),
      BitBtn2(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("閉じる(&C)"), this)) {
    setWindowTitle(QStringLiteral("データのバックアップ"));

    const QString folderHint = QStringLiteral("バックアップ先フォルダを指定します。");
    Label2->setToolTip(folderHint);
    Edit1->setToolTip(folderHint);
    SansyoBtn->setToolTip(QStringLiteral("バックアップ先フォルダを検索します。"));
    const QString nameHint = QStringLiteral("バックアップファイルの名前を指定します。");
    Label3->setToolTip(nameHint);
    Label3->setWordWrap(true);
    Edit2->setToolTip(nameHint);
    for (QLineEdit* edit : {Edit1, Edit2}) {
        edit->setAttribute(Qt::WA_InputMethodEnabled, true);  // Japanese names are typed here
        edit->setMinimumWidth(420);
    }
    BitBtn1->setToolTip(QStringLiteral("バックアップを実行します。"));
    BitBtn2->setToolTip(QStringLiteral("ウインドウを閉じます。"));

    auto* fields = new QGridLayout;
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(SansyoBtn, 0, 1, Qt::AlignRight);
    fields->addWidget(Edit1, 1, 0, 1, 2);
    fields->addWidget(Label3, 2, 0, 1, 2);
    fields->addWidget(Edit2, 3, 0, 1, 2);
    LayOutFileWindow(*this, {.namePanel = Panel1,
                             .explanation = Label1,
                             .fields = fields,
                             .browse = SansyoBtn,
                             .run = BitBtn1,
                             .close = BitBtn2});
    setTabOrder(Edit1, Edit2);

    connect(SansyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { SansyoBtnClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TBackupForm::PrepareWindow() {
    TTsubakiBaseForm::PrepareWindow();
    // The file is copied as it lies on disk: the program must not hold it open.
    DataModule1().SQLConnection1.Close();
    Edit1->setText(Trim(ReadBkupPath()));
    Panel1->setText(CurrentDantai);
    FdbPath = GetLocalDbPath(CurrentDantai);
    if (FdbPath.isEmpty()) {
        Dialogs().Beep();
        ShowMessage(
            QStringLiteral("他のコンピュータのデータベースは\r\nこのコンピュータでバックアップできません。"));
        BitBtn1->setEnabled(false);
    }
}

void TBackupForm::SansyoBtnClick() {
    FocusFirstControl();
    const std::optional<QString> folder =
        Dialogs().SelectFolder(QStringLiteral("バックアップフォルダの選択"), FolderOfPath(Edit1->text()));
    if (folder)
        Edit1->setText(Trim(*folder));
}

QString TBackupForm::ValidateInput() {
    const QString folder = FolderOfPath(Trim(Edit1->text()));
    const auto refuse = [this](const QString& message) {
        Edit1->setFocus();
        throw EAppError(message);
    };
    if (folder.isEmpty())
        refuse(kFolderLabel + QStringLiteral("を入力してください。"));
    // Dots within folder names are ordinary here (/home/taro.yamada).
    if (!HasDriveOrUNC(folder) || !IsValidFolderName(folder, true))
        refuse(kFolderLabel + QStringLiteral("が正しくありません。"));
    try {
        CheckDriveOfPath(folder);
    } catch (const EDriveNotReady&) {
        Edit1->setFocus();
        throw;
    }
    // The name must stay one file in that folder: no "/", "..", or the like.
    if (const QString name = Trim(Edit2->text()); !name.isEmpty() && !IsPlainFileName(name)) {
        Edit2->setFocus();
        throw EAppError(QStringLiteral("バックアップ先ファイル名が正しくありません。"));
    }
    if (!QFileInfo(folder).isDir()) {
        if (Dialogs().MessageDlg(kFolderLabel + QStringLiteral("が見つかりません。") +
                                     QStringLiteral("\r\n") +
                                     QStringLiteral("フォルダを新しく作成しますか？"),
                                 MsgDlgType::Confirmation, mbYes | mbNo) != ModalResult::Yes)
            throw EAbort();
        QDir().mkpath(folder);
        if (!QFileInfo(folder).isDir())
            refuse(kFolderLabel + QStringLiteral("の作成を失敗しました"));
    }
    if (Trim(Edit2->text()).isEmpty())
        Edit2->setText(CurrentDantai +
                       QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMddhhmmss")));
    return folder;
}

void TBackupForm::BitBtn1Click() {
    FocusFirstControl();
    const QString folder = ValidateInput();
    {
        TWaitCursor busy;
        MakeBackupFile(GetDbPath(CurrentDantai), FdbPath,
                       AddBackslash(folder) + Trim(Edit2->text()) + QStringLiteral(".FDB"));
        WriteBkupPath(folder);
    }
    ShowMessage(windowTitle() + QStringLiteral("を終了しました。"));
    accept();
}
