#include "core/Dialogs.h"

#include "core/AppTitle.h"
#include "core/Errors.h"

namespace {
IDialogs* installed = nullptr;
}

IDialogs& Dialogs() {
    if (!installed) throw EAppError(QStringLiteral("ダイアログが初期化されていません。"));
    return *installed;
}

IDialogs* InstallDialogs(IDialogs* dialogs) {
    IDialogs* previous = installed;
    installed = dialogs;
    return previous;
}

QString DialogTitle(MsgDlgType type) {
    switch (type) {
        case MsgDlgType::Warning: return QStringLiteral("警告");
        case MsgDlgType::Error: return QStringLiteral("エラー");
        case MsgDlgType::Information: return QStringLiteral("情報");
        case MsgDlgType::Confirmation: return QStringLiteral("確認");
        case MsgDlgType::Plain: break;
    }
    return AppTitle();
}

QString ButtonCaption(MsgDlgBtn button) {
    switch (button) {
        case mbYes: return QStringLiteral("はい(&Y)");
        case mbNo: return QStringLiteral("いいえ(&N)");
        case mbOK: return QStringLiteral("OK");
        case mbCancel: return QStringLiteral("キャンセル");
        case mbAbort: return QStringLiteral("中止(&A)");
        case mbRetry: return QStringLiteral("再試行(&R)");
    }
    return {};
}

std::optional<MsgDlgBtn> DefaultButton(MsgDlgButtons buttons) {
    for (MsgDlgBtn b : {mbOK, mbYes, mbRetry})
        if (buttons & b) return b;
    return std::nullopt;
}

ModalResult DismissalAnswer(MsgDlgButtons buttons) {
    if (buttons & mbCancel) return ModalResult::Cancel;
    if (buttons & mbNo) return ModalResult::No;
    return ModalResult::Cancel;
}

bool EscapeDismisses(MsgDlgButtons buttons) { return (buttons & (mbCancel | mbNo)) != 0; }

ModalResult ResultOf(MsgDlgBtn button) {
    switch (button) {
        case mbYes: return ModalResult::Yes;
        case mbNo: return ModalResult::No;
        case mbOK: return ModalResult::OK;
        case mbCancel: return ModalResult::Cancel;
        case mbAbort: return ModalResult::Abort;
        case mbRetry: return ModalResult::Retry;
    }
    return ModalResult::None;
}
