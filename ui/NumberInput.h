#pragma once
// Number fields take only what fits them while the user types: digits, a leading
// minus where the field's range allows one, and no more characters than the field
// takes (data::FitsTypedNumber). Every edit box and grid cell bound to a number
// field gets this rule from the field itself, so a window declares nothing.

#include <QValidator>

#include "data/FieldDef.h"

class QLineEdit;
namespace data {
class Field;
}

class TNumberValidator : public QValidator {
    Q_OBJECT
  public:
    TNumberValidator(data::FieldDef def, QObject* parent);
    State validate(QString& input, int& position) const override;

  private:
    data::FieldDef def_;
};

// Gives `edit` the typing rule of `field` when it is a number field (and takes it
// away otherwise); numbers are typed with the input method off.
void ApplyNumberInput(QLineEdit* edit, const data::Field* field);
