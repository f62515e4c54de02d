#include "ui/NumberInput.h"

#include <QLineEdit>

#include "data/Field.h"
#include "data/FieldFormat.h"

TNumberValidator::TNumberValidator(data::FieldDef def, QObject* parent)
    : QValidator(parent), def_(std::move(def)) {}

QValidator::State TNumberValidator::validate(QString& input, int&) const {
    return data::FitsTypedNumber(def_, input) ? Acceptable : Invalid;
}

void ApplyNumberInput(QLineEdit* edit, const data::Field* field) {
    const bool number = field && field->Type() != data::FieldType::Text && !field->IsLookup();
    if (!number) {
        if (qobject_cast<const TNumberValidator*>(edit->validator())) {
            delete edit->validator();
            edit->setValidator(nullptr);
            edit->setAttribute(Qt::WA_InputMethodEnabled, true);
        }
        return;
    }
    edit->setValidator(new TNumberValidator(field->Def(), edit));
    edit->setAttribute(Qt::WA_InputMethodEnabled, false);
    edit->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
}
