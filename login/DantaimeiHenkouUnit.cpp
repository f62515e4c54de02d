#include "login/DantaimeiHenkouUnit.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/IniFile.h"
#include "core/KyotsuUnit.h"
#include "core/NameChecks.h"
#include "db/DataModule.h"

TDantaimeiHenkouForm::TDantaimeiHenkouForm(QWidget* parent)
    : TDantaiTourokuForm(parent),
      Label1(new QLabel(QStringLiteral("旧団体名"), this)),
      Panel1(new QLabel(this)) {
    setWindowTitle(QStringLiteral("団体名変更"));
    Label3->setText(QStringLiteral("団体名称を変更します。"));
    Label2->setText(QStringLiteral("新団体名"));
    Panel1->setToolTip(QStringLiteral("変更前の団体名称を表示します。"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    Panel1->setEnabled(false);
    Edit2->setToolTip(QStringLiteral("変更後の団体の正式名称を入力します。"));
    BitBtn1->setToolTip(QStringLiteral("入力した新団体名を登録します。"));
    BitBtn2->setToolTip(QStringLiteral("団体名変更を中止します。"));
    FieldsLayout()->addWidget(Label1, 0, 0);
    FieldsLayout()->addWidget(Panel1, 0, 1);
}

QString TDantaimeiHenkouForm::GetOldDantaimei() const {
    return Panel1->text();
}

void TDantaimeiHenkouForm::SetOldDantaimei(const QString& name) {
    Panel1->setText(name);
}

void TDantaimeiHenkouForm::PrepareWindow() {
    DataModule1().SQLConnection1.Close();
    FdbPath = GetLocalDbPath(GetOldDantaimei());
    if (FdbPath.isEmpty()) {
        Dialogs().Beep();
        ShowMessage(QStringLiteral("他のコンピュータのデータを参照しているため\r\n") +
                    QStringLiteral("このコンピュータで団体名変更は実行できません。"));
        BitBtn1->setEnabled(false);
        return;
    }
    FdbPath = ExtractFileDir(FdbPath);
    const int at = FdbPath.indexOf(GetOldDantaimei());
    if (at >= 0)
        FdbPath.remove(at, GetOldDantaimei().size());
}

void TDantaimeiHenkouForm::ValidateInput() {
    const QString name = GetNewDantaimei();
    if (name.isEmpty()) {
        Edit2->setFocus();
        throw EAppError(QStringLiteral("新団体名を入力してください。"));
    }
    if (name == GetOldDantaimei()) {
        Edit2->setFocus();
        throw EAppError(QStringLiteral("新旧団体名が同じです。"));
    }
    // The new name becomes a folder name and a settings key: refused before the move.
    if (!IsValidDantaiName(name)) {
        Edit2->setFocus();
        throw EAppError(QStringLiteral("フォルダ［") + AddBackslash(FdbPath) + name +
                        QStringLiteral("］の作成を失敗しました"));
    }
    CheckDantaimeiLength(name);
    // Another organisation's key, in any letter case, would be replaced by this one.
    const QString registered = RegisteredDantaiName(name);
    if (!registered.isEmpty() && !IniFile::SameName(registered, GetOldDantaimei())) {
        Edit2->setFocus();
        throw EAppError(SameNameRegisteredText(name, registered));
    }
}

void TDantaimeiHenkouForm::BitBtn1Click() {
    FocusFirstControl();
    ValidateInput();
    const QString oldName = GetOldDantaimei();
    const QString newName = GetNewDantaimei();
    const QString oldFolder = AddBackslash(FdbPath) + oldName;
    const QString newFolder = AddBackslash(FdbPath) + newName;
    // rename() refuses to replace an existing folder, so another organisation's
    // folder is never overwritten.
    if (QDir(newFolder).exists() || !QDir().rename(oldFolder, newFolder))
        throw EAppError(QStringLiteral("団体名変更を失敗しました。"));
    QString dbString = GetDbPath(oldName);
    try {
        const int at = dbString.indexOf(oldName);
        if (at >= 0)
            dbString.replace(at, oldName.size(), newName);
        WriteDantaimei(dbString, newName);
    } catch (...) {
        QDir().rename(newFolder, oldFolder);
        throw EAppError(QStringLiteral("団体名変更を失敗しました。"));
    }
    WriteDBListEntry(newName, dbString);
    // A change of letter case only rewrote the same entry: it must stay.
    if (!IniFile::SameName(oldName, newName))
        DeleteIniKey(QStringLiteral("DBList"), oldName);
    CurrentDantai = newName;
    ShowMessage(QStringLiteral("団体名の変更を終了しました。"));
    accept();
}
