#include "ui/Accelerator.h"

#include <QAbstractButton>
#include <QLabel>

namespace {

QString Mnemonic(QChar letter) {
    return QStringLiteral("(&") + letter + u')';
}

void AddKeyToHint(QWidget* control, QChar letter) {
    control->setToolTip(control->toolTip() + QStringLiteral("(Alt+") + letter + u')');
}

}  // namespace

void GiveAccelerator(QAbstractButton* button, QChar letter) {
    button->setText(button->text() + Mnemonic(letter));
    AddKeyToHint(button, letter);
}

void GiveAccelerator(QLabel* label, QWidget* buddy, QChar letter) {
    label->setText(label->text() + Mnemonic(letter));
    label->setBuddy(buddy);
    AddKeyToHint(buddy, letter);
}
