#include "backup/RestoreUnit.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

#include "backup/BackupUnit.h"
#include "backup/ControlRow.h"
#include "backup/DriveCheck.h"
#include "backup/FileWindowLayout.h"
#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "core/NameChecks.h"
#include "core/Ver_Info.h"
#include "db/DataModule.h"
#include "db/DatabaseServices.h"
#include "db/Error.h"
#include "db/SchemaLevel.h"
#include "db/WorkKeys.h"
#include "ui/WaitCursor.h"

namespace {

const QString kFileLabel = QStringLiteral("バックアップファイル");

bool SameFile(const QString& a, const QString& b) {
    const QString canonical = QFileInfo(a).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(b).canonicalFilePath();
}

}  // namespace

QString RestoreWorkPath(const QString& fdbPath) {
    return AddBackslash(ExtractFileDir(fdbPath)) + QStringLiteral("w_") + QStringLiteral("TSUBAKI.FDB");
}

QString WorkDatabaseString(const QString& registryValue, const QString& workPath) {
    if (registryValue.left(9).toLower() == QStringLiteral("localhost")) {
        const qsizetype colon = registryValue.indexOf(u':');
        if (colon >= 0)
            return registryValue.left(colon + 1) + workPath;
    }
    return workPath;
}

TWorkCopy::TWorkCopy(const QString& backup, const QString& workPath) {
    // A backup chosen under the work file's own name is opened where it lies:
    // removing the work file would otherwise delete the user's backup.
    if (SameFile(backup, workPath))
        return;
    FileCopy(backup, workPath, true, true);
    removed_ = workPath;
}

TWorkCopy::~TWorkCopy() {
    if (!removed_.isEmpty())
        QFile::remove(removed_);
}

QString CheckBackup(const QString& backup, const QString& workDatabase, const QString& dantai) {
    const QString name = QStringLiteral("［") + QFileInfo(backup).fileName() + QStringLiteral("］");
    // Every page, not only the control row: a backup cut short or overwritten in
    // part still opens and reads KANRI, and would replace whole books by broken ones.
    // The copy lies on this computer even when a server is to open it, and is
    // validated here before the server ever sees it: a damaged file can crash the
    // engine that validates it, or keep it attached and refuse every later
    // validation of that name until the server restarts.
    QString findings;
    try {
        findings = db::ValidationFindings(db::FilePartOf(workDatabase));
    } catch (const db::Error& e) {
        findings = e.Message();
    }
    if (!findings.isEmpty())
        throw EAppError(QStringLiteral("バックアップファイル") + name +
                        QStringLiteral("はデータベースとして正しくないため、復元できません。\r\n") +
                        QStringLiteral("データベースは変更していません。\r\n\r\n") + findings);
    const ControlRow row = ReadControlRow(workDatabase);
    if (!row.exists || row.dantaimei != dantai)
        throw EAppError(QStringLiteral("指定したファイルは別の団体のものです。"));
    if (db::CompareSchemaLevels(row.dbVersion, TVerInfo().FileVersion()) > 0)
        throw EAppError(
            QStringLiteral("バックアップファイル") + name +
            QStringLiteral("のバージョンレベルが現在のプログラムより新しいため、復元できません。\r\n") +
            QStringLiteral("プログラムを最新バージョンにアップデートしてください。"));
    return row.dbVersion;
}

QString CheckBackupOwner(const QString& backup, const QString& workPath, const QString& databaseString,
                         const QString& dantai) {
    const TWorkCopy copy(backup, workPath);
    return CheckBackup(backup, databaseString, dantai);
}

void RefuseWhileOthersAttached(const QString& databaseString) {
    db::Connection connection([databaseString] { return databaseString; });
    const auto others = connection.Select(
        QStringLiteral("select MON$REMOTE_HOST, MON$REMOTE_ADDRESS from MON$ATTACHMENTS "
                       "where (MON$ATTACHMENT_ID <> current_connection) and (MON$SYSTEM_FLAG = 0)"));
    connection.Close();
    if (others.rows.empty())
        return;
    QStringList computers;
    for (const auto& row : others.rows) {
        QString computer = row.at(0).AsString().trimmed();
        if (computer.isEmpty())
            computer = row.at(1).AsString().trimmed();
        if (computer.isEmpty())
            computer = QStringLiteral("不明");
        if (!computers.contains(computer))
            computers << computer;
    }
    throw EAppError(
        QStringLiteral("他のコンピュータ（%1件の接続：%2）がこの団体のデータベースを使用しているため、"
                       "復元できません。\r\n")
            .arg(others.rows.size())
            .arg(computers.join(QStringLiteral("、"))) +
        QStringLiteral("他のコンピュータでつばき出納帳を終了してから、もう一度実行してください。"));
}

QString SafetyCopyPath(const QString& folder, const QString& dantai, const QDateTime& at) {
    // Never over an earlier safety copy (two restores within one second).
    for (QDateTime time = at;; time = time.addSecs(1)) {
        const QString path = AddBackslash(folder) + dantai + QStringLiteral("_復元前_") +
                             time.toString(QStringLiteral("yyyyMMddhhmmss")) + QStringLiteral(".FDB");
        if (!QFileInfo::exists(path))
            return path;
    }
}

void CopyDatabase(const QString& databaseString, const QString& fdbPath, const QString& target) {
    MakeBackupFile(databaseString, fdbPath, target);
}

void ReplaceDatabase(const QString& checkedCopy, const QString& databaseString, const QString& fdbPath) {
    if (!db::IsServerDatabase(databaseString)) {
        ReplaceDatabase(checkedCopy, fdbPath);
        return;
    }
    const QString transfer = checkedCopy + QStringLiteral(".fbk");
    struct RemoveTransfer {
        QString path;
        ~RemoveTransfer() { QFile::remove(path); }
    } removeTransfer{transfer};
    const QString server = databaseString.left(databaseString.indexOf(u':') + 1);
    db::BackupDatabase(server + checkedCopy, transfer);
    db::RestoreDatabase(transfer, databaseString, true);
}

void ReplaceDatabase(const QString& backup, const QString& fdbPath) {
    // FileCopy writes a temporary file beside the database and renames it over.
    FileCopy(backup, fdbPath, true, true);
}

TRestoreForm::TRestoreForm(QWidget* parent)
    : TTsubakiBaseForm(parent),
      Panel1(new QLabel(this)),
      Label1(new QLabel(QStringLiteral("パソコン内のデータをバックアップした時点に復元します。"), this)),
      Label2(new QLabel(kFileLabel, this)),
      SansyoBtn(new QPushButton(QStringLiteral("参照"), this)),
      Edit1(new QLineEdit(this)),
      BitBtn1(new QPushButton(QStringLiteral("実 行(&R)"), this)),
      BitBtn2(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                              QStringLiteral("閉じる(&C)"), this)) {
    setWindowTitle(QStringLiteral("バックアップデータの復元"));

    const QString fileHint = QStringLiteral("復元するファイルを指定します。");
    Label2->setToolTip(fileHint);
    Edit1->setToolTip(fileHint);
    Edit1->setAttribute(Qt::WA_InputMethodEnabled, true);  // folder names may be Japanese
    Edit1->setMinimumWidth(420);
    SansyoBtn->setToolTip(QStringLiteral("バックアップファイルを検索します。"));
    BitBtn1->setToolTip(QStringLiteral("データの復元を実行します。"));
    BitBtn2->setToolTip(QStringLiteral("ウインドウを閉じます。"));

    auto* fields = new QGridLayout;
    fields->addWidget(Label2, 0, 0);
    fields->addWidget(SansyoBtn, 0, 1, Qt::AlignRight);
    fields->addWidget(Edit1, 1, 0, 1, 2);
    LayOutFileWindow(*this, {.namePanel = Panel1,
                             .explanation = Label1,
                             .fields = fields,
                             .browse = SansyoBtn,
                             .run = BitBtn1,
                             .close = BitBtn2});

    connect(SansyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { SansyoBtnClick(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

void TRestoreForm::PrepareWindow() {
    TTsubakiBaseForm::PrepareWindow();
    // The database file is replaced on disk: the program must not hold it open.
    DataModule1().SQLConnection1.Close();
    Panel1->setText(CurrentDantai);
    Edit1->clear();
    FdbPath = GetLocalDbPath(CurrentDantai);
    if (FdbPath.isEmpty()) {
        Dialogs().Beep();
        ShowMessage(QStringLiteral("他のコンピュータのデータベースへは\r\n") +
                    QStringLiteral("このコンピュータでリストアすることはできません。"));
        BitBtn1->setEnabled(false);
    }
}

void TRestoreForm::SansyoBtnClick() {
    struct FocusField {
        QLineEdit* field;
        ~FocusField() { field->setFocus(); }
    } focusField{Edit1};
    // An existing file in the field is where the dialog starts, with its name chosen.
    const QString current = Trim(Edit1->text());
    const QString start =
        IsValidFileName(current, false, false) && QFileInfo(current).isFile() ? current : QStringLiteral("/");
    const std::optional<QString> file = Dialogs().OpenFile(
        QStringLiteral("バックアップファイルの検索"), start, QStringLiteral("バックアップファイル|*.FDB"));
    if (file)
        Edit1->setText(Trim(*file));
}

QString TRestoreForm::ValidateInput() {
    const QString backup = Trim(Edit1->text());
    try {
        if (backup.isEmpty())
            throw EAppError(kFileLabel + QStringLiteral("を入力してください。"));
        CheckDriveOfPath(backup);
        if (!QFileInfo(backup).isFile())
            throw EAppError(kFileLabel + QStringLiteral("が見つかりません。"));
    } catch (...) {
        Edit1->setFocus();
        throw;
    }
    return backup;
}

void TRestoreForm::ConfirmReplacing(const QString& backup) {
    const QFileInfo file(backup);
    if (Dialogs().MessageDlg(
            QStringLiteral("「") + CurrentDantai +
                QStringLiteral("」のデータベースを、次のバックアップの内容に置き換えます。\r\n\r\n") +
                QStringLiteral("ファイル：") + file.fileName() + QStringLiteral("\r\n") +
                QStringLiteral("団体名：") + CurrentDantai + QStringLiteral("\r\n") +
                QStringLiteral("日付：") + file.lastModified().toString(QStringLiteral("yyyy/MM/dd hh:mm")) +
                QStringLiteral("\r\n\r\n現在のデータは、バックアップと同じフォルダに保存しておきます。\r\n") +
                QStringLiteral("復元してもよろしいですか？"),
            MsgDlgType::Confirmation, mbYes | mbNo, mbNo) != ModalResult::Yes)
        throw EAbort();
}

QString TRestoreForm::Restore(const QString& backup) {
    const QString registry = GetDbPath(CurrentDantai);
    const QString workPath = RestoreWorkPath(FdbPath);
    const TWorkCopy copy(backup, workPath);
    {
        TWaitCursor busy;
        CheckBackup(backup, WorkDatabaseString(registry, workPath), CurrentDantai);
        if (db::IsServerDatabase(registry))
            RefuseWhileOthersAttached(registry);
    }
    ConfirmReplacing(backup);
    TWaitCursor busy;
    const QString safetyCopy =
        SafetyCopyPath(ExtractFileDir(backup), CurrentDantai, QDateTime::currentDateTime());
    CopyDatabase(registry, FdbPath, safetyCopy);
    if (db::IsServerDatabase(registry))
        RefuseWhileOthersAttached(registry);  // anyone who came in meanwhile
    ReplaceDatabase(SameFile(backup, workPath) ? backup : workPath, registry, FdbPath);
    db::Connection restored([registry] { return registry; });
    db::PrepareRestoredDatabase(restored);
    return safetyCopy;
}

void TRestoreForm::BitBtn1Click() {
    Edit1->setFocus();
    const QString safetyCopy = Restore(ValidateInput());
    ShowMessage(windowTitle() + QStringLiteral("を終了しました。\r\n\r\n") +
                QStringLiteral("復元前のデータは次のファイルに保存しました。\r\n") + safetyCopy);
    accept();
}
