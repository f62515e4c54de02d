#include "core/JapaneseText.h"

#include <QStringView>

namespace {

constexpr char16_t kHalfFirst = 0xFF61;  // "｡", the first half-width katakana character
constexpr char16_t kHalfVoiced = 0xFF9E;
constexpr char16_t kHalfSemiVoiced = 0xFF9F;
constexpr char16_t kFullSpace = 0x3000;
constexpr char16_t kFullVu = u'ヴ';
constexpr char16_t kWideOffset = 0xFEE0;  // ASCII 0x21..0x7E to U+FF01..U+FF5E

// The full-width form of every half-width character U+FF61..U+FF9F, in code order;
// read forwards by ToZenkaku and backwards by ToHankaku.
constexpr QStringView kFullOfHalf =
    u"。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモ"
    u"ヤユヨラリルレロワン゛゜";
static_assert(kFullOfHalf.size() == 0x9F - 0x61 + 1);

// Full-width letters whose voiced form follows them in code order (ガ = カ + 1);
// ウ is voiced too, but its voiced form ヴ stands apart.
constexpr QStringView kVoiceable = u"カキクケコサシスセソタチツテトハヒフヘホ";
constexpr QStringView kSemiVoiceable = u"ハヒフヘホ";

bool IsHalfKana(char16_t c) {
    return c >= kHalfFirst && c <= kHalfSemiVoiced;
}
char16_t FullOfHalf(char16_t c) {
    return kFullOfHalf[c - kHalfFirst].unicode();
}

// The one full-width letter for a half-width letter and a following mark, or 0.
char16_t VoicedPair(char16_t half, char16_t mark) {
    if (!IsHalfKana(half))
        return 0;
    const char16_t full = FullOfHalf(half);
    if (mark == kHalfVoiced) {
        if (full == u'ウ')
            return kFullVu;
        if (kVoiceable.contains(QChar(full)))
            return static_cast<char16_t>(full + 1);
    } else if (mark == kHalfSemiVoiced) {
        if (kSemiVoiceable.contains(QChar(full)))
            return static_cast<char16_t>(full + 2);
    }
    return 0;
}

char16_t ZenkakuOf(char16_t c) {
    if (c == u' ')
        return kFullSpace;
    if (c == u'"')
        return u'”';
    if (c == u'\'')
        return u'’';
    if (c == u'\\')
        return u'￥';
    if (c >= 0x21 && c <= 0x7E)
        return static_cast<char16_t>(c + kWideOffset);
    if (IsHalfKana(c))
        return FullOfHalf(c);
    return c;
}

void AppendHankaku(QString& out, char16_t c) {
    switch (c) {
        case kFullSpace:
            out += u' ';
            return;
        case u'”':
            out += u'"';
            return;
        case u'’':
            out += u'\'';
            return;
        case u'￥':
            out += u'\\';
            return;
        // The full-width forms of these three convert back only from the forms above.
        case u'＂':
        case u'＇':
        case u'＼':
            out += QChar(c);
            return;
        case kFullVu:
            out += u'ｳ';
            out += QChar(kHalfVoiced);
            return;
        default:
            break;
    }
    if (c >= 0xFF01 && c <= 0xFF5E) {
        out += QChar(static_cast<char16_t>(c - kWideOffset));
        return;
    }
    const auto base = static_cast<char16_t>(c - 1);
    if (kVoiceable.contains(QChar(base))) {
        out += QChar(static_cast<char16_t>(kHalfFirst + kFullOfHalf.indexOf(QChar(base))));
        out += QChar(kHalfVoiced);
        return;
    }
    const auto semiBase = static_cast<char16_t>(c - 2);
    if (kSemiVoiceable.contains(QChar(semiBase))) {
        out += QChar(static_cast<char16_t>(kHalfFirst + kFullOfHalf.indexOf(QChar(semiBase))));
        out += QChar(kHalfSemiVoiced);
        return;
    }
    const auto index = kFullOfHalf.indexOf(QChar(c));
    out += index >= 0 ? QChar(static_cast<char16_t>(kHalfFirst + index)) : QChar(c);
}

bool IsBlank(QChar c) {
    return c.unicode() <= 0x20 || c.unicode() == kFullSpace;
}

}  // namespace

QString ToZenkaku(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (i + 1 < text.size()) {
            if (const char16_t voiced = VoicedPair(c, text[i + 1].unicode())) {
                out += QChar(voiced);
                ++i;
                continue;
            }
        }
        out += QChar(ZenkakuOf(c));
    }
    return out;
}

QString ToHankaku(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        AppendHankaku(out, c.unicode());
    return out;
}

QString ToHiragana(const QString& text) {
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() >= 0x30A1 && c.unicode() <= 0x30F6)
            c = QChar(static_cast<char16_t>(c.unicode() - 0x60));
    }
    return out;
}

// Control characters, spaces and full-width spaces go from both ends in any
// mix, so a tab next to a full-width space is not left behind.
QString TrimZen(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (last > first && IsBlank(text[last - 1]))
        --last;
    while (first < last && IsBlank(text[first]))
        ++first;
    return text.sliced(first, last - first);
}

// Columns are cut by code units: a character outside the basic plane then
// counts twice, which keeps the text within the column's byte limit.
QString TrimCut(const QString& text, int maximum) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].unicode() <= 0x20)
        --end;
    if (maximum < 0)
        maximum = 0;
    if (end > maximum) {
        end = maximum;
        if (end > 0 && text[end - 1].isHighSurrogate())
            --end;
    }
    return text.first(end);
}

QString Trim(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20) ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20) --last;
    return text.mid(first, last - first);
}
