#include "core/ErrorHandler.h"

#include <QDebug>

#include "core/Dialogs.h"
#include "core/Errors.h"

QString ErrorBoxText(const QString& message) {
    if (message.isEmpty() || message.back().unicode() <= u'.')
        return message;
    // A Japanese sentence that has its own full stop needs no second one ("。.").
    static const QString kSentenceEnds = QStringLiteral("。．！？");
    if (kSentenceEnds.contains(message.back()))
        return message;
    return message + u'.';
}

void HandleException(std::exception_ptr error) noexcept {
    QString message;
    try {
        std::rethrow_exception(error);
    } catch (const EAbort&) {
        return;
    } catch (const std::exception& e) {
        message = ErrorMessageOf(e);
    } catch (...) {
        message = QStringLiteral("予期しないエラーが発生しました。");
    }
    try {
        Dialogs().ErrorBox(ErrorBoxText(message));
    } catch (...) {
        // No dialogs service (start-up or shutdown): the log is all that is left.
        qCritical().noquote() << message;
    }
}
