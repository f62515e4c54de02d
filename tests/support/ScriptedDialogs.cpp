#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPointer>
#include <QWidget>

#include "core/AppTitle.h"

ScriptedDialogs::ScriptedDialogs() : previous_(InstallDialogs(this)) {}

ScriptedDialogs::~ScriptedDialogs() { InstallDialogs(previous_); }

const RecordedDialog& ScriptedDialogs::Last() const {
    static const RecordedDialog none{RecordedDialog::Kind::Message, MsgDlgType::Plain, {}, {}, 0, {}};
    if (shown_.empty()) {
        ADD_FAILURE() << "no dialog was shown";
        return none;
    }
    return shown_.back();
}

void ScriptedDialogs::TakeFocusAsABox() {
    if (!takesFocus_)
        return;
    const QPointer<QWidget> window = QApplication::activeWindow();
    QWidget box;
    box.setFocusPolicy(Qt::StrongFocus);
    box.show();
    QApplication::setActiveWindow(&box);
    box.setFocus(Qt::ActiveWindowFocusReason);
    QApplication::processEvents();
    box.hide();
    if (window)
        QApplication::setActiveWindow(window);
    QApplication::processEvents();
}

void ScriptedDialogs::ShowMessage(const QString& text) {
    TakeFocusAsABox();
    shown_.push_back({RecordedDialog::Kind::Message, MsgDlgType::Plain, AppTitle(), text, mbOK, mbOK});
}

void ScriptedDialogs::ShowSavedFile(const QString& text, const QString& folder) {
    TakeFocusAsABox();
    shown_.push_back({RecordedDialog::Kind::SavedFile, MsgDlgType::Information, folder, text, mbOK, mbOK});
}

ModalResult ScriptedDialogs::MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                                        std::optional<MsgDlgBtn> focused) {
    std::optional<MsgDlgBtn> focus = (focused && (buttons & *focused)) ? focused : DefaultButton(buttons);
    TakeFocusAsABox();
    shown_.push_back({RecordedDialog::Kind::Question, type, DialogTitle(type), text, buttons, focus});
    if (answers_.empty()) {
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return DismissalAnswer(buttons);
    }
    const std::optional<ModalResult> answer = answers_.front();
    answers_.pop_front();
    return answer ? *answer : DismissalAnswer(buttons);
}

void ScriptedDialogs::ErrorBox(const QString& text) {
    TakeFocusAsABox();
    shown_.push_back({RecordedDialog::Kind::Error, MsgDlgType::Error, AppTitle(), text, mbOK, mbOK});
}

std::optional<QString> ScriptedDialogs::SelectFolder(const QString& caption, const QString&) {
    shown_.push_back({RecordedDialog::Kind::FolderSelect, MsgDlgType::Plain, caption, {}, 0, {}});
    if (folders_.empty()) return std::nullopt;
    auto folder = folders_.front();
    folders_.pop_front();
    return folder;
}

std::optional<SaveFileChoice> ScriptedDialogs::SaveFile(const QString& caption, const QString&,
                                                       const QStringList& filters) {
    shown_.push_back({RecordedDialog::Kind::FileSave, MsgDlgType::Plain, caption, filters.join(u'\n'), 0, {}});
    if (saveFiles_.empty()) return std::nullopt;
    auto choice = saveFiles_.front();
    saveFiles_.pop_front();
    return choice;
}

std::optional<QString> ScriptedDialogs::OpenFile(const QString& caption, const QString&, const QString&) {
    shown_.push_back({RecordedDialog::Kind::FileOpen, MsgDlgType::Plain, caption, {}, 0, {}});
    if (files_.empty()) return std::nullopt;
    auto file = files_.front();
    files_.pop_front();
    return file;
}
