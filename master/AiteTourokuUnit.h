#pragma once
#include "master/TekiyoTourokuUnit.h"

// Adds the counterparty of the current journal line to the stored counterparties:
// the description dialog with the counterparty list's captions, lengths and statements.
class TAiteTourokuForm : public TTekiyoTourokuForm {
    Q_OBJECT
  public:
    // `text`: the journal line's counterparty, shown trimmed for editing.
    explicit TAiteTourokuForm(const QString& text, QWidget* parent = nullptr);
};
