#include "ui/Fonts.h"

#include <QStringList>

namespace {
QFont FontOf(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}
}  // namespace

QFont GothicFont(int pixelSize) {
    return FontOf({QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
                   QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("monospace")},
                  pixelSize);
}

QFont PGothicFont(int pixelSize) {
    return FontOf(
        {QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"), QStringLiteral("Noto Sans CJK JP")},
        pixelSize);
}
