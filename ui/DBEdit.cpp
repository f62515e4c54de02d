#include "ui/DBEdit.h"

#include <QKeyEvent>

#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "data/DataSet.h"
#include "ui/EditMask.h"
#include "ui/NumberInput.h"

namespace {

// Keys that change the text of a line edit.
bool ChangesText(const QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo) ||
        event->matches(QKeySequence::DeleteEndOfWord) || event->matches(QKeySequence::DeleteStartOfWord))
        return true;
    if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete)
        return true;
    const QString text = event->text();
    return !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & Qt::ControlModifier);
}

}  // namespace

TDBEdit::TDBEdit(QWidget* parent)
    : QLineEdit(parent), link_([this](bool rowOnly) { DataChanged(rowOnly); }, [this] { UpdateData(); }) {
    connect(this, &QLineEdit::textEdited, this, [this] {
        modified_ = true;
        refusedText_.reset();
    });
    DataChanged(false);
}

void TDBEdit::SetEditMask(const QString& picture, bool saveLiterals) {
    picture_ = picture;
    saveLiterals_ = saveLiterals;
    setInputMask(picture.isEmpty() ? QString() : QtInputMask(picture));
    ShowField();
}

QString TDBEdit::TypedValue() const {
    return picture_.isEmpty() ? text() : MaskedTextToValue(displayText(), picture_, saveLiterals_);
}

void TDBEdit::DataChanged(bool rowOnly) {
    if (rowOnly && modified_ && link_.IsEditing())
        return;  // keep what the user is typing
    modified_ = false;
    pendingError_ = false;
    refusedText_.reset();
    const data::Field* field = link_.Field();
    setReadOnly(!link_.CanModify());
    const int size = field && field->Type() == data::FieldType::Text ? field->Size() : 0;
    const int maxLength = size > 0 ? size : 32767;
    if (picture_.isEmpty() && this->maxLength() != maxLength)
        setMaxLength(maxLength);  // only when it changes: setting it drops the selection
    if (field != typedField_) {
        typedField_ = field;
        if (picture_.isEmpty())
            ApplyNumberInput(this, field);
    }
    ShowField();
}

void TDBEdit::ShowField() {
    const data::Field* field = link_.Field();
    QString shown;
    if (field)
        shown = hasFocus() ? field->EditText() : field->DisplayText();
    if (!picture_.isEmpty())
        shown = ValueToMaskedText(field ? field->AsString() : QString(), picture_, saveLiterals_);
    if (shown != displayText())
        setText(shown);
}

bool TDBEdit::BeginChange() {
    if (!link_.CanModify())
        return false;
    if (link_.IsEditing())
        return true;
    return RunGuarded([this] { link_.Edit(); });
}

void TDBEdit::keyPressEvent(QKeyEvent* event) {
    if (ChangesText(event) && !isReadOnly() && !BeginChange()) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void TDBEdit::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !isReadOnly() && !BeginChange()) {
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void TDBEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (!modified_)
        ShowField();
}

void TDBEdit::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // The window losing the focus (to a message box, a list, another program) is not
    // the user leaving the box: what was typed is written when the box is left, once.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    if (!modified_ || !link_.IsBound()) {
        ShowField();
        return;
    }
    try {
        WriteField();
    } catch (...) {
        // The text whose refusal was just shown (the focus moved on after the
        // message): one message is enough; the box still holds the text.
        if (refusedText_ == text())
            return;
        // Shown once the focus change is over: a message box inside a focus event
        // would upset the change. A cancel meanwhile withdraws the message.
        pendingError_ = true;
        auto error = std::current_exception();
        QMetaObject::invokeMethod(
            this,
            [this, error] {
                if (!pendingError_)
                    return;
                pendingError_ = false;
                refusedText_ = text();
                HandleException(error);
                setFocus();
            },
            Qt::QueuedConnection);
    }
}

void TDBEdit::WriteField() {
    data::Field* field = link_.Field();
    if (!modified_ || !field)
        return;
    link_.Edit();
    field->SetText(TypedValue());
    modified_ = false;
    ShowField();
}

void TDBEdit::UpdateData() {
    try {
        WriteField();
    } catch (...) {
        if (pendingError_)
            throw EAbort();  // its message is on the way
        refusedText_ = text();  // the caller shows it
        setFocus();
        throw;
    }
}
