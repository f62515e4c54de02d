#include "ui/YearEdit.h"

#include <QKeyEvent>
#include <QRegularExpressionValidator>

#include "ui/Fonts.h"

TYearEdit::TYearEdit(QWidget* parent) : QLineEdit(parent) {
    setMaxLength(4);
    setAcceptDrops(false);
    // A last guard for text that arrives other than by typing (the selection paste of X11).
    setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), this));
    setAttribute(Qt::WA_InputMethodEnabled, false);  // the input method stays closed
    QFont font = GothicFont(20);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, Qt::blue);
    setPalette(palette);
}

void TYearEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Copy))
        return;
    const QString text = event->text();
    const bool printable = !text.isEmpty() && text.at(0).isPrint();
    if (printable && !(text.size() == 1 && text.at(0).isDigit() && text.at(0).unicode() < 0x80))
        return;
    QLineEdit::keyPressEvent(event);
}
