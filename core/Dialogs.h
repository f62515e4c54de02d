#pragma once
// The dialogs service: every message box the program shows goes through this
// interface. The program installs the Qt implementation (ui/QtDialogs.h); tests
// install a scripted one that records each dialog and answers from a queue.

#include <QString>
#include <QStringList>
#include <optional>

enum class MsgDlgType { Warning, Error, Information, Confirmation, Plain };

enum MsgDlgBtn : unsigned {
    mbYes = 1u << 0,
    mbNo = 1u << 1,
    mbOK = 1u << 2,
    mbCancel = 1u << 3,
    mbAbort = 1u << 4,
    mbRetry = 1u << 5,
};
using MsgDlgButtons = unsigned;  // an OR of MsgDlgBtn

enum class ModalResult { None, Yes, No, OK, Cancel, Abort, Retry };

// The title shown for each dialog type.
QString DialogTitle(MsgDlgType type);
// Caption of a button, with its access key marked by "&".
QString ButtonCaption(MsgDlgBtn button);
// The button Enter activates when no other button has the focus: OK, else はい, else 再試行.
std::optional<MsgDlgBtn> DefaultButton(MsgDlgButtons buttons);
// The answer of a dialog closed without a button (Esc or the title-bar close):
// キャンセル when shown, else いいえ when shown, else a plain cancel.
ModalResult DismissalAnswer(MsgDlgButtons buttons);
// Whether Esc closes the dialog at all (only when キャンセル or いいえ is shown).
bool EscapeDismisses(MsgDlgButtons buttons);
ModalResult ResultOf(MsgDlgBtn button);

// What the file-save dialog returns: the file and which of the offered filters
// (0-based) was chosen with it.
struct SaveFileChoice {
    QString path;
    int filter = 0;
};

class IDialogs {
public:
    virtual ~IDialogs() = default;
    // The information box: plain type, the application title, one OK button.
    virtual void ShowMessage(const QString& text) = 0;
    // The question dialog. `focused` names the button that gets the keyboard focus
    // (ignored when that button is not shown); without it the default button has it.
    virtual ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                                   std::optional<MsgDlgBtn> focused = std::nullopt) = 0;
    // The error box of the application-wide handler: error icon, OK, the application title.
    virtual void ErrorBox(const QString& text) = 0;
    // The system's default beep.
    virtual void Beep() = 0;
    // The folder-selection dialog; empty when the user cancelled.
    virtual std::optional<QString> SelectFolder(const QString& caption, const QString& startFolder) = 0;
    // The file-open dialog ("説明|*.FDB" style filter); empty when the user cancelled.
    virtual std::optional<QString> OpenFile(const QString& caption, const QString& startFolder,
                                            const QString& filter) = 0;
    // The information box telling where a file was saved, with a button that opens
    // `folder` in the file manager besides OK.
    virtual void ShowSavedFile(const QString& text, const QString& folder) {
        (void)folder;
        ShowMessage(text);
    }
    // The file-save dialog: `filters` such as "CSV (*.csv)", the first chosen at
    // start; an existing file is confirmed before it is chosen. Empty when the user
    // cancelled (and where no file can be chosen at all).
    virtual std::optional<SaveFileChoice> SaveFile(const QString& caption, const QString& startPath,
                                                   const QStringList& filters) {
        (void)caption, (void)startPath, (void)filters;
        return std::nullopt;
    }
};

// The installed service. The program installs one at start-up; tests install theirs.
IDialogs& Dialogs();
// Installs `dialogs` (not owned) and returns the one it replaces.
IDialogs* InstallDialogs(IDialogs* dialogs);

// `MsgDialog` of the dialogs unit: the question dialog with the focused button named.
inline ModalResult MsgDialog(const QString& text, MsgDlgType type, MsgDlgButtons buttons, MsgDlgBtn focused) {
    return Dialogs().MessageDlg(text, type, buttons, focused);
}
inline void ShowMessage(const QString& text) { Dialogs().ShowMessage(text); }
