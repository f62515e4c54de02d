#include "ui/SpinButton.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace {
QToolButton* ArrowButton(Qt::ArrowType arrow, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
    button->setFixedSize(22, 14);
    return button;
}
}  // namespace

TSpinButton::TSpinButton(QWidget* parent)
    : QWidget(parent), up_(ArrowButton(Qt::UpArrow, this)), down_(ArrowButton(Qt::DownArrow, this)) {
    // Not a stop of the keyboard: it shows no focus and takes no key, and the year
    // box beside it is where the keyboard types the year.
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(up_);
    layout->addWidget(down_);
    connect(up_, &QToolButton::clicked, this, &TSpinButton::UpClick);
    connect(down_, &QToolButton::clicked, this, &TSpinButton::DownClick);
}
