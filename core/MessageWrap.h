#pragma once
// Line breaks for the texts of message boxes. A message box left to itself breaks
// Japanese between any two characters where its width ends, so a sentence may end
// with one character alone on its last line ("くださ" / "い。"). The program breaks
// the lines itself: where the text allows it (not before "。", "、", a closing
// bracket or a small kana, not after an opening bracket, not inside a word or
// number of half-width characters), preferably after a punctuation mark, and with
// the lines of a paragraph evened out.

#include <QString>
#include <QStringView>

#include <functional>

// How wide a piece of text is drawn (pixels, or any unit).
using TextWidth = std::function<int(QStringView)>;

// `text` with line breaks ("\n") added so that no line is wider than `limit`;
// existing line breaks (LF or CR LF) are kept. A run that cannot be broken
// anywhere allowed is cut where the width ends.
QString WrapMessageText(const QString& text, int limit, const TextWidth& widthOf);

// Width in half-width units: 2 for a wide (East Asian) character, 1 otherwise.
int HalfWidthUnits(QStringView text);
