#pragma once
#include "master/KanaKensakuUnit.h"

// Finds a stored description by the first kana or letter of its reading; an
// accepted window gives its text in SelectedMeisyo().
class TTekiyoKensakuForm : public TKanaKensakuForm {
    Q_OBJECT
  public:
    explicit TTekiyoKensakuForm(QWidget* parent = nullptr);
};
