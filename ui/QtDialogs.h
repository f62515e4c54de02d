#pragma once
#include "core/Dialogs.h"

// The dialogs service on QMessageBox and QFileDialog.
class QtDialogs final : public IDialogs {
  public:
    void ShowMessage(const QString& text) override;
    void ShowSavedFile(const QString& text, const QString& folder) override;
    ModalResult MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                           std::optional<MsgDlgBtn> focused) override;
    void ErrorBox(const QString& text) override;
    void Beep() override;
    std::optional<QString> SelectFolder(const QString& caption, const QString& startFolder) override;
    std::optional<QString> OpenFile(const QString& caption, const QString& startFolder,
                                    const QString& filter) override;
    std::optional<SaveFileChoice> SaveFile(const QString& caption, const QString& startPath,
                                           const QStringList& filters) override;
};
