#include "core/MessageWrap.h"

#include <QStringList>

#include <algorithm>

namespace {

bool NoBreakBefore(QChar c) {
    static const QString chars = QStringLiteral(
        "、。，．・：；？！ー…）」』】〕］｝〉》ぁぃぅぇぉっゃゅょゎァィゥェォッャュョヮヵヶ々ゝゞヽヾ"
        ",.:;!?)]}%");
    return chars.contains(c);
}

bool NoBreakAfter(QChar c) {
    static const QString chars = QStringLiteral("（「『【〔［｛〈《([{");
    return chars.contains(c);
}

bool PreferBreakAfter(QChar c) {
    static const QString chars = QStringLiteral("、。，．！？）」』 　");
    return chars.contains(c);
}

// Half-width letters, digits and signs form words that are not broken.
bool IsWordChar(QChar c) {
    return c.unicode() > 0x20 && c.unicode() < 0x2E80 && !NoBreakBefore(c) && !NoBreakAfter(c);
}

bool CanBreakBetween(QChar before, QChar after) {
    if (before.isHighSurrogate() || after.isLowSurrogate())
        return false;
    if (NoBreakBefore(after) || NoBreakAfter(before))
        return false;
    return !(IsWordChar(before) && IsWordChar(after));
}

QString WithoutTrailingBlanks(QString line) {
    while (!line.isEmpty() && (line.back() == u' ' || line.back() == u'\u3000'))
        line.chop(1);
    return line;
}

// Greedy breaking at `limit`.
QStringList BreakLine(const QString& line, int limit, const TextWidth& widthOf) {
    QStringList lines;
    qsizetype start = 0;
    while (start < line.size() && widthOf(QStringView(line).mid(start)) > limit) {
        qsizetype any = -1, preferred = -1;
        for (qsizetype i = start + 1; i < line.size(); ++i) {
            if (widthOf(QStringView(line).mid(start, i - start)) > limit)
                break;
            if (CanBreakBetween(line.at(i - 1), line.at(i))) {
                any = i;
                if (PreferBreakAfter(line.at(i - 1)))
                    preferred = i;
            }
        }
        // After a punctuation mark when that fills at least half the line.
        qsizetype at = preferred > start && widthOf(QStringView(line).mid(start, preferred - start)) * 2 >= limit
                           ? preferred
                           : any;
        if (at <= start) {
            // Nothing allowed fits: cut where the width ends (never inside a pair).
            at = start + 1;
            while (at < line.size() && widthOf(QStringView(line).mid(start, at + 1 - start)) <= limit)
                ++at;
            if (at < line.size() && line.at(at).isLowSurrogate())
                at = at - start > 1 ? at - 1 : at + 1;
        }
        lines << WithoutTrailingBlanks(line.mid(start, at - start));
        start = at;
        while (start < line.size() && (line.at(start) == u' ' || line.at(start) == u'\u3000'))
            ++start;
    }
    if (start < line.size() || lines.isEmpty())
        lines << line.mid(start);
    return lines;
}

// The narrowest breaking with as few lines as the greedy one: the lines come out
// even, and the last one is not left with a character or two.
QStringList EvenLines(const QString& line, int limit, const TextWidth& widthOf) {
    const QStringList greedy = BreakLine(line, limit, widthOf);
    if (greedy.size() < 2)
        return greedy;
    const int count = int(greedy.size());
    const int step = std::max(1, limit / 64);
    for (int width = widthOf(line) / count; width < limit; width += step) {
        const QStringList even = BreakLine(line, width, widthOf);
        if (even.size() <= count)
            return even;
    }
    return greedy;
}

}  // namespace

int HalfWidthUnits(QStringView text) {
    int units = 0;
    for (QChar c : text) {
        if (c.isLowSurrogate())
            continue;
        const ushort u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
                          (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
                          (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
                          (u >= 0xFFE0 && u <= 0xFFE6) || c.isHighSurrogate();
        units += wide ? 2 : 1;
    }
    return units;
}

QString WrapMessageText(const QString& text, int limit, const TextWidth& widthOf) {
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringList out;
    for (const QString& paragraph : unified.split(u'\n'))
        out << EvenLines(paragraph, limit, widthOf);
    return out.join(u'\n');
}
