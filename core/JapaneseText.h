#pragma once
// Conversions between half-width and full-width characters, katakana to
// hiragana, and the trims used on every typed name and reading.

#include <QString>

// Half-width to full-width: ASCII, the blank and half-width katakana (a letter
// followed by its half-width voiced mark becomes the one voiced letter).
QString ToZenkaku(const QString& text);
// Full-width to half-width, the inverse of ToZenkaku for the characters both cover.
QString ToHankaku(const QString& text);
// Full-width katakana ァ..ヶ to hiragana ぁ..ゖ; everything else unchanged.
QString ToHiragana(const QString& text);
// Removes spaces and control characters (codes up to 32) at both ends; full-width
// spaces stay. The trim of typed names and passwords.
QString Trim(const QString& text);
// Removes blanks at both ends: control characters, spaces and full-width spaces.
QString TrimZen(const QString& text);
// Removes trailing blanks and control characters, then keeps at most `maximum`
// UTF-16 code units, never splitting a surrogate pair.
QString TrimCut(const QString& text, int maximum);
