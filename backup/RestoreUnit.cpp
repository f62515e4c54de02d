#include "backup/RestoreUnit.h"

#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>

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
#include "db/SchemaLevel.h"
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

QString CheckBackupOwner(const QString& backup, const QString& workPath, const QString& databaseString,
                         const QString& dantai) {
    // A backup chosen under the work file's own name is opened where it lies:
    // removing the work file would otherwise delete the user's backup.
    const bool backupIsWorkFile = SameFile(backup, workPath);
    if (!backupIsWorkFile)
        FileCopy(backup, workPath, true, true);
    struct RemoveWorkFile {
        QString path;
        ~RemoveWorkFile() {
            if (!path.isEmpty())
                QFile::remove(path);
        }
    } removeWorkFile{backupIsWorkFile ? QString() : workPath};

    const ControlRow row = ReadControlRow(databaseString);
    if (!row.exists || row.dantaimei != dantai)
        throw EAppError(QStringLiteral("指定したファイルは別の団体のものです。"));
    return row.dbVersion;
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

QString TRestoreForm::Restore(const QString& backup) {
    TWaitCursor busy;
    const QString workPath = RestoreWorkPath(FdbPath);
    const QString version = CheckBackupOwner(
        backup, workPath, WorkDatabaseString(GetDbPath(CurrentDantai), workPath), CurrentDantai);
    ReplaceDatabase(backup, FdbPath);
    return version;
}

void TRestoreForm::BitBtn1Click() {
    Edit1->setFocus();
    const QString version = Restore(ValidateInput());
    ShowMessage(windowTitle() + QStringLiteral("を終了しました。"));
    if (db::CompareSchemaLevels(version, TVerInfo().FileVersion()) > 0) {
        // The newer database stays in place; this program must not work on it.
        Dialogs().Beep();
        ShowMessage(
            QStringLiteral("復元したデータベースのバージョンレベルが現在のプログラムより新しいです。\r\n") +
            QStringLiteral("プログラムを最新バージョンにアップデートしてください。"));
        accept();
        if (OnEndProgram)
            OnEndProgram();
        return;
    }
    accept();
}
