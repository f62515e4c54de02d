#include "ui/plnBaseFormUnit.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScreen>
#include <QTableView>
#include <QTextEdit>

#include "ui/Fonts.h"

namespace {

const char* const kExemptProperty = "tsubakiNavigationExempt";

// Check boxes and radio buttons are walked through like edit boxes; the other
// buttons (push buttons, tool buttons) are pressed by Enter.
bool IsPushButton(const QWidget* w) {
    return qobject_cast<const QAbstractButton*>(w) && !qobject_cast<const QCheckBox*>(w) &&
           !qobject_cast<const QRadioButton*>(w);
}

// Controls that handle Enter and the arrow keys themselves.
bool HandlesOwnKeys(const QWidget* w) {
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (p->property(kExemptProperty).toBool())
            return true;
        if (qobject_cast<const QTableView*>(p))
            return true;  // grids, their cell editors included
        if (p->isWindow())
            break;
    }
    return IsPushButton(w) || qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w);
}

// Lists are walked through like edit boxes; only grids keep Enter for their cells.
QTableView* GridOf(QWidget* w) {
    for (QWidget* p = w; p && !p->isWindow(); p = p->parentWidget())
        if (auto* view = qobject_cast<QTableView*>(p); view && !p->property(kExemptProperty).toBool())
            return view;
    return nullptr;
}

bool IsEnter(int key) {
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

}  // namespace

TplnBaseForm::TplnBaseForm(QWidget* parent) : QDialog(parent) {
    setFont(GothicFont(12));
    // The window previews every key before its controls: one application filter that
    // acts only on the controls of this window.
    qApp->installEventFilter(this);
}

void TplnBaseForm::FocusFirstControl() {
    for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(this) && w->isEnabled() && !w->focusProxy()) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

void TplnBaseForm::ExemptFromNavigation(QWidget* control) {
    control->setProperty(kExemptProperty, true);
}

bool TplnBaseForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this || widget != QApplication::focusWidget())
        return QDialog::eventFilter(watched, event);
    return CMChildKey(widget, static_cast<QKeyEvent*>(event)) || QDialog::eventFilter(watched, event);
}

bool TplnBaseForm::CMChildKey(QWidget* focused, QKeyEvent* key) {
    const int code = key->key();
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    // Enter in a grid moves to the next cell, as Tab does.
    if (IsEnter(code)) {
        if (QTableView* grid = GridOf(focused)) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(grid, &tab);
            return true;
        }
    }
    // Enter on a focused button presses it, whether or not it is a default button.
    if (IsEnter(code) && IsPushButton(focused) && !focused->property(kExemptProperty).toBool()) {
        if (focused->isEnabled())
            static_cast<QAbstractButton*>(focused)->click();
        return true;
    }
    if (HandlesOwnKeys(focused))
        return false;
    if (IsEnter(code) || code == Qt::Key_Down) {
        focusNextChild();
        return true;
    }
    if (code == Qt::Key_Up) {
        focusPreviousChild();
        return true;
    }
    return false;
}

void TplnBaseForm::showEvent(QShowEvent* event) {
    if (!centred_) {
        centred_ = true;
        adjustSize();
        if (const QScreen* screen = this->screen()) {
            // Never larger than the screen's free area (task bars left out): the
            // lists give up height first, down to what the layout needs.
            const QRect area = screen->availableGeometry();
            const QSize frameExtra = frameGeometry().size() - size();
            const QSize fits = (area.size() - frameExtra).expandedTo(minimumSizeHint());
            if (width() > fits.width() || height() > fits.height())
                resize(size().boundedTo(fits));
            QRect frame = frameGeometry();
            frame.moveCenter(area.center());
            frame.moveTop(std::max(frame.top(), area.top()));
            frame.moveLeft(std::max(frame.left(), area.left()));
            move(frame.topLeft());
        }
    }
    QDialog::showEvent(event);
}
