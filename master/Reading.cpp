#include "master/Reading.h"

#include "core/JapaneseText.h"

namespace {

// Only the Latin letters, half- and full-width: a general upper-casing would also
// change the length of texts such as "ß".
QString UpperLatin(QString text) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        if ((u >= u'a' && u <= u'z') || (u >= u'ａ' && u <= u'ｚ'))
            c = QChar(static_cast<char16_t>(u - (u'a' - u'A')));
    }
    return text;
}

}  // namespace

QString NormalizeReading(const QString& text, int maxLength) {
    return TrimCut(ToHiragana(ToZenkaku(UpperLatin(TrimZen(text)))), maxLength);
}
