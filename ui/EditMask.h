#pragma once
// Input masks of the edit boxes, written as pictures: "0" a required digit, "9" an
// optional digit, anything else a literal character ("9999/99/99", "999-9999").
// Whether the literals are stored with the value is the box's choice: a date keeps
// only its digits, a postal code keeps its hyphen. Blank positions are stored as
// blanks.

#include <QString>

// The QLineEdit input mask for a picture, with "_" shown for blank positions.
QString QtInputMask(const QString& picture);
// The value stored for what the box shows (blank positions as "_"). A box with no
// digit entered stores the empty text.
QString MaskedTextToValue(const QString& shown, const QString& picture, bool saveLiterals);
// What the box shows for a stored value.
QString ValueToMaskedText(const QString& value, const QString& picture, bool saveLiterals);
