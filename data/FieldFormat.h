#pragma once
// Pure helpers behind the field rules: number formats, cutting texts to a
// number of characters, and the characters a text column cannot store.

#include "data/FieldDef.h"
#include "db/Value.h"

#include <QString>

namespace data {

// Formats a number with a picture of up to three sections "positive;negative;zero"
// built from 0 (a digit always shown), # (a digit when needed), "," (thousands
// separators) and literal characters: "#,##0;-#,##0" gives "1,234" and "-1,234",
// "0000" gives "0100". A negative number without its own section gets a leading
// "-". An empty picture gives the plain decimal text.
QString FormatNumber(qint64 value, const QString& picture);

// The number of characters (code points) of `text`.
int CharacterCount(const QString& text);
// At most `maximum` characters of `text`, never splitting a surrogate pair.
QString CutToCharacters(const QString& text, int maximum);
// True when `text` holds half of a surrogate pair alone: such a text has no
// encoding in the database's character set.
bool HasUnpairedSurrogate(const QString& text);

// The most characters a number field takes while typing: the digits of its size
// when it has one, else those of its widest bound, and a minus where the range
// goes below zero; 0 for a text field.
int TypedNumberLength(const FieldDef& def);
// Whether `text`, typed so far into a number field, fits it: digits (half- or
// full-width), no more of them than the field takes, a leading minus only where
// the range goes below zero, a point in a decimal field, and thousands
// separators where the field shows them while editing. A text field takes anything.
bool FitsTypedNumber(const FieldDef& def, const QString& text);

}  // namespace data
