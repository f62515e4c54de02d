#pragma once
// The terminal the command line runs in: messages on stderr, a password asked
// without echo, and the dialogs service for the code that would show a box.

#include "core/Dialogs.h"

#include <QString>

#include <optional>

namespace cli {

// Writes `text` and a line end to stderr as UTF-8 (CR LF inside become line ends).
void PrintError(const QString& text);

// Asks on the controlling terminal with `prompt`, the typed characters not shown.
// nullopt when there is no terminal (a script, a cron job).
std::optional<QString> AskPassword(const QString& prompt);

// The dialogs service of a run without a window: every box is written to stderr,
// a question is answered as closing it without a button would (a failed step's
// 再試行/中止 with 中止), and no file is chosen.
class TerminalDialogs : public IDialogs {
  public:
    void ShowMessage(const QString& text) override;
    ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                           std::optional<MsgDlgBtn> focused = std::nullopt) override;
    void ErrorBox(const QString& text) override;
    void Beep() override {}
    std::optional<QString> SelectFolder(const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> OpenFile(const QString&, const QString&, const QString&) override {
        return std::nullopt;
    }
    std::optional<SaveFileChoice> SaveFile(const QString&, const QString&, const QStringList&) override {
        return std::nullopt;
    }

    // Whether a message was written (a run that ends in the silent abort has told why).
    bool Told() const { return told_; }

  private:
    bool told_ = false;
};

}  // namespace cli
