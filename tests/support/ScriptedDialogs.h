#pragma once
// A dialogs service for tests: records every dialog and answers from a queue, so
// no test ever blocks on a modal box.

#include <QString>
#include <deque>
#include <optional>
#include <vector>

#include "core/Dialogs.h"

struct RecordedDialog {
    // SavedFile: the box telling where a file is, its folder recorded as the title.
    enum class Kind { Message, Question, Error, FolderSelect, FileOpen, FileSave, SavedFile };
    Kind kind;
    MsgDlgType type = MsgDlgType::Plain;
    QString title;
    QString text;
    MsgDlgButtons buttons = 0;
    std::optional<MsgDlgBtn> focused;  // the button holding the focus when shown
};

class ScriptedDialogs final : public IDialogs {
public:
    // Installs itself for its lifetime and puts the previous service back afterwards.
    ScriptedDialogs();
    ~ScriptedDialogs() override;
    ScriptedDialogs(const ScriptedDialogs&) = delete;
    ScriptedDialogs& operator=(const ScriptedDialogs&) = delete;

    // Answers for the next questions, in order; a question with none queued fails the test.
    void QueueAnswer(ModalResult answer) { answers_.push_back(answer); }
    // Closes the next question without a button (Esc / title-bar close).
    void QueueDismiss() { answers_.push_back(std::nullopt); }
    void QueueFolder(std::optional<QString> folder) { folders_.push_back(std::move(folder)); }
    void QueueFile(std::optional<QString> file) { files_.push_back(std::move(file)); }
    // The next file-save dialog's answer (nullopt: cancelled).
    void QueueSaveFile(std::optional<SaveFileChoice> choice) { saveFiles_.push_back(std::move(choice)); }

    const std::vector<RecordedDialog>& Shown() const { return shown_; }
    const RecordedDialog& Last() const;
    int Beeps() const { return beeps_; }
    bool AllAnswersUsed() const {
        return answers_.empty() && folders_.empty() && files_.empty() && saveFiles_.empty();
    }
    void Clear() { shown_.clear(); }
    // Each box takes the keyboard focus while it is up and gives it back to the
    // window it came from, as a real modal box does: what the window does when
    // its control loses the focus to a box happens here too.
    void SetTakesFocus(bool on) { takesFocus_ = on; }

    void ShowMessage(const QString& text) override;
    void ShowSavedFile(const QString& text, const QString& folder) override;
    ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                           std::optional<MsgDlgBtn> focused) override;
    void ErrorBox(const QString& text) override;
    void Beep() override { ++beeps_; }
    std::optional<QString> SelectFolder(const QString& caption, const QString& startFolder) override;
    std::optional<QString> OpenFile(const QString& caption, const QString& startFolder,
                                    const QString& filter) override;
    // Recorded with the caption as title and the filters, one a line, as text.
    std::optional<SaveFileChoice> SaveFile(const QString& caption, const QString& startPath,
                                           const QStringList& filters) override;

private:
    void TakeFocusAsABox();

    IDialogs* previous_;
    bool takesFocus_ = false;
    std::deque<std::optional<ModalResult>> answers_;
    std::deque<std::optional<QString>> folders_;
    std::deque<std::optional<QString>> files_;
    std::deque<std::optional<SaveFileChoice>> saveFiles_;
    std::vector<RecordedDialog> shown_;
    int beeps_ = 0;
};
