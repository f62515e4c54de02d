#pragma once
#include <QLineEdit>

// A password box: at most 10 characters, each shown as "●", input method closed.
class TPasswordEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TPasswordEdit(QWidget* parent = nullptr) : QLineEdit(parent) {
        setMaxLength(10);
        setEchoMode(QLineEdit::Password);
        setStyleSheet(QStringLiteral("lineedit-password-character: 9679;"));
        setAttribute(Qt::WA_InputMethodEnabled, false);
        setFixedWidth(fontMetrics().horizontalAdvance(QStringLiteral("●")) * 11 + 16);
    }
};
