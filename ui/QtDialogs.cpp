#include "ui/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QUrl>
#include <algorithm>
#include <map>

#include "core/AppTitle.h"
#include "core/MessageWrap.h"

namespace {

QMessageBox::Icon IconOf(MsgDlgType type) {
    switch (type) {
        case MsgDlgType::Warning:
            return QMessageBox::Warning;
        case MsgDlgType::Error:
            return QMessageBox::Critical;
        case MsgDlgType::Information:
            return QMessageBox::Information;
        case MsgDlgType::Confirmation:
            return QMessageBox::Question;
        case MsgDlgType::Plain:
            break;
    }
    return QMessageBox::NoIcon;
}

// Texts are built with CR LF; a message box breaks lines at LF. The program breaks
// long lines itself, narrower than the box would, so that the box never breaks
// them again where it likes (Japanese between any two characters).
QString DisplayText(const QString& text, const QFont& font) {
    const QFontMetrics metrics(font);
    int limit = 400;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        limit = std::min(limit, screen->availableGeometry().width() / 2 - 100);
    return WrapMessageText(text, std::max(limit, 160),
                           [&metrics](QStringView piece) { return metrics.horizontalAdvance(piece.toString()); });
}

}  // namespace

void QtDialogs::ShowMessage(const QString& text) {
    MessageDlg(text, MsgDlgType::Plain, mbOK, std::nullopt);
}

ModalResult QtDialogs::MessageDlg(const QString& text, MsgDlgType type, MsgDlgButtons buttons,
                                  std::optional<MsgDlgBtn> focused) {
    QMessageBox box(IconOf(type), DialogTitle(type), QString(), QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(DisplayText(text, box.font()));
    std::map<QAbstractButton*, MsgDlgBtn> answers;
    QPushButton* escape = nullptr;
    for (MsgDlgBtn b : {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry}) {
        if (!(buttons & b))
            continue;
        QPushButton* button = box.addButton(ButtonCaption(b), QMessageBox::ActionRole);
        answers[button] = b;
        if (b == DefaultButton(buttons))
            box.setDefaultButton(button);
        if (focused && *focused == b) {
            box.setDefaultButton(button);
            button->setFocus();
        }
        if ((b == mbCancel) || (b == mbNo && !(buttons & mbCancel)))
            escape = button;
    }
    if (escape)
        box.setEscapeButton(escape);
    box.exec();
    const auto it = answers.find(box.clickedButton());
    if (it == answers.end())
        return DismissalAnswer(buttons);
    return ResultOf(it->second);
}

void QtDialogs::ShowSavedFile(const QString& text, const QString& folder) {
    QMessageBox box(QMessageBox::Information, DialogTitle(MsgDlgType::Information), QString(),
                    QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(DisplayText(text, box.font()));
    QPushButton* open = box.addButton(QStringLiteral("フォルダを開く(&F)"), QMessageBox::ActionRole);
    QPushButton* ok = box.addButton(ButtonCaption(mbOK), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    box.exec();
    if (box.clickedButton() == open)
        QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
}

void QtDialogs::ErrorBox(const QString& text) {
    QMessageBox box(QMessageBox::Critical, AppTitle(), QString(), QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(DisplayText(text, box.font()));
    box.exec();
}

void QtDialogs::Beep() {
    QApplication::beep();
}

std::optional<QString> QtDialogs::SelectFolder(const QString& caption, const QString& startFolder) {
    const QString folder =
        QFileDialog::getExistingDirectory(QApplication::activeWindow(), caption, startFolder);
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

std::optional<QString> QtDialogs::OpenFile(const QString& caption, const QString& startFolder,
                                           const QString& filter) {
    // "説明|*.FDB" becomes Qt's "説明 (*.FDB)".
    QString qtFilter = filter;
    if (const int bar = filter.indexOf(u'|'); bar >= 0)
        qtFilter = filter.left(bar) + QStringLiteral(" (") + filter.mid(bar + 1).replace(u';', u' ') + u')';
    const QString file =
        QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, startFolder, qtFilter);
    if (file.isEmpty())
        return std::nullopt;
    return file;
}

std::optional<SaveFileChoice> QtDialogs::SaveFile(const QString& caption, const QString& startPath,
                                                  const QStringList& filters) {
    QString selected = filters.value(0);
    const QString file = QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, startPath,
                                                      filters.join(QStringLiteral(";;")), &selected);
    if (file.isEmpty())
        return std::nullopt;
    return SaveFileChoice{file, std::max(0, static_cast<int>(filters.indexOf(selected)))};
}
