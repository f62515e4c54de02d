#pragma once
// The stored form of a kana reading typed for a description or counterparty: the
// kana-index search matches readings by their first character, so every reading is
// kept as full-width hiragana, full-width capital letters and full-width digits.

#include <QString>

// Blanks trimmed at both ends, Latin letters upper-cased, half-width turned
// full-width, katakana turned hiragana, then cut to `maxLength` characters.
QString NormalizeReading(const QString& text, int maxLength);
