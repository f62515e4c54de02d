#pragma once
#include "master/KanaKensakuUnit.h"

// Finds a stored counterparty by the first kana or letter of its reading; an
// accepted window gives its name in SelectedMeisyo().
class TAiteKensakuForm : public TKanaKensakuForm {
    Q_OBJECT
  public:
    explicit TAiteKensakuForm(QWidget* parent = nullptr);
};
