#include "data/FieldFormat.h"

#include <QStringList>

namespace data {

namespace {

QString ApplyPicture(quint64 magnitude, const QString& picture) {
    // Split into a numeric part (the run of 0 # ,) and the literals around it.
    qsizetype first = -1, last = -1;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar c = picture[i];
        if (c == u'0' || c == u'#' || c == u',') {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return picture;
    const QString numeric = picture.mid(first, last - first + 1);
    const bool grouping = numeric.contains(u',');
    const int minDigits = static_cast<int>(numeric.count(u'0'));
    QString digits = QString::number(magnitude);
    if (magnitude == 0 && minDigits == 0)
        digits.clear();
    while (digits.size() < minDigits)
        digits.prepend(u'0');
    if (grouping) {
        for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
            digits.insert(i, u',');
    }
    return picture.left(first) + digits + picture.mid(last + 1);
}

}  // namespace

QString FormatNumber(qint64 value, const QString& picture) {
    if (picture.isEmpty())
        return QString::number(value);
    const QStringList sections = picture.split(u';');
    const quint64 magnitude = value < 0 ? 0 - static_cast<quint64>(value) : static_cast<quint64>(value);
    if (value == 0 && sections.size() >= 3)
        return ApplyPicture(0, sections[2]);
    if (value < 0) {
        if (sections.size() >= 2 && !sections[1].isEmpty())
            return ApplyPicture(magnitude, sections[1]);
        return u'-' + ApplyPicture(magnitude, sections[0]);
    }
    return ApplyPicture(magnitude, sections[0]);
}

int CharacterCount(const QString& text) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++count;
    }
    return count;
}

QString CutToCharacters(const QString& text, int maximum) {
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (count == maximum)
            return text.left(i);
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        ++count;
    }
    return text;
}

bool HasUnpairedSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate()) {
            if (i + 1 >= text.size() || !text[i + 1].isLowSurrogate())
                return true;
            ++i;
        } else if (text[i].isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace data
