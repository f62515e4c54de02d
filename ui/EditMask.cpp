#include "ui/EditMask.h"

namespace {

constexpr QChar kBlank = u'_';

bool IsDigitPosition(QChar c) {
    return c == u'0' || c == u'9';
}

// Characters with a meaning of their own in a Qt input mask.
bool IsQtMaskMeta(QChar c) {
    return QStringLiteral("AaNnXx9D0dh#HBb><![]{}\\;").contains(c);
}

}  // namespace

QString QtInputMask(const QString& picture) {
    QString mask;
    for (const QChar c : picture) {
        if (IsDigitPosition(c)) {
            mask += u'0';  // digit allowed; incomplete entries are the field's to judge
        } else {
            if (IsQtMaskMeta(c))
                mask += u'\\';
            mask += c;
        }
    }
    return mask + u';' + kBlank;
}

QString MaskedTextToValue(const QString& shown, const QString& picture, bool saveLiterals) {
    QString value;
    bool anyDigit = false;
    for (qsizetype i = 0; i < picture.size(); ++i) {
        const QChar p = picture.at(i);
        const QChar c = i < shown.size() ? shown.at(i) : kBlank;
        if (IsDigitPosition(p)) {
            const bool blank = c == kBlank || c == u' ';
            anyDigit = anyDigit || !blank;
            value += blank ? QChar(u' ') : c;
        } else if (saveLiterals) {
            value += p;
        }
    }
    return anyDigit ? value : QString();
}

QString ValueToMaskedText(const QString& value, const QString& picture, bool saveLiterals) {
    QString shown;
    qsizetype next = 0;
    for (const QChar p : picture) {
        if (!IsDigitPosition(p)) {
            if (saveLiterals && next < value.size() && value.at(next) == p)
                ++next;
            shown += p;
            continue;
        }
        const QChar c = next < value.size() ? value.at(next++) : kBlank;
        shown += c == u' ' ? kBlank : c;
    }
    return shown;
}
