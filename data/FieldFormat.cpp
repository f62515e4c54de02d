#include "data/FieldFormat.h"

#include <algorithm>

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

namespace {

// The most digits a number field takes: its size, else those of its widest bound.
int TypedDigits(const FieldDef& def) {
    if (def.size > 0)
        return def.size;
    const qint64 low = def.minValue.value_or(-2147483648LL);
    const qint64 high = def.maxValue.value_or(2147483647LL);
    const qint64 widest = std::max(low < 0 ? -low : low, high < 0 ? -high : high);
    return static_cast<int>(QString::number(widest).size());
}

bool AllowsMinus(const FieldDef& def) {
    return !def.minValue || *def.minValue < 0;
}

}  // namespace

int TypedNumberLength(const FieldDef& def) {
    if (def.type == FieldType::Text)
        return 0;
    return TypedDigits(def) + (AllowsMinus(def) ? 1 : 0);
}

bool FitsTypedNumber(const FieldDef& def, const QString& text) {
    if (def.type == FieldType::Text)
        return true;
    const QString picture = def.editFormat.isEmpty() ? def.displayFormat : def.editFormat;
    const bool separators = picture.contains(u',');
    const bool negative = AllowsMinus(def);
    bool point = false;
    int digits = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c.unicode() >= 0xFF01 && c.unicode() <= 0xFF5E)
            c = QChar(c.unicode() - 0xFEE0);  // full-width digits and signs
        if (c == u',' && separators)
            continue;
        if (c == u'-') {
            if (i != 0 || !negative)
                return false;
        } else if (c == u'.') {
            if (def.type != FieldType::Float || point)
                return false;
            point = true;
        } else if (c < u'0' || c > u'9') {
            return false;
        } else {
            ++digits;
        }
    }
    return digits <= TypedDigits(def);
}

}  // namespace data
