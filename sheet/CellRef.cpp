#include "sheet/CellRef.h"

#include <algorithm>

namespace sheet {

QString ColumnName(int col) {
    QString name;
    while (col > 0) {
        const int rest = (col - 1) % 26;
        name.prepend(QChar(u'A' + rest));
        col = (col - 1) / 26;
    }
    return name;
}

int ColumnNumber(QStringView letters) {
    if (letters.isEmpty() || letters.size() > 3)
        return 0;
    int col = 0;
    for (QChar c : letters) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'Z')
            return 0;
        col = col * 26 + (u - u'A' + 1);
    }
    return col <= kMaxColumn ? col : 0;
}

QString CellAddress(int row, int col) {
    return ColumnName(col) + QString::number(row);
}

std::optional<CellPos> ParseCellAddress(QStringView text) {
    qsizetype i = 0;
    if (i < text.size() && text[i] == u'$')
        ++i;
    const qsizetype letters = i;
    while (i < text.size() && text[i].isLetter() && text[i].unicode() < 128)
        ++i;
    const int col = ColumnNumber(text.mid(letters, i - letters));
    if (col == 0)
        return std::nullopt;
    if (i < text.size() && text[i] == u'$')
        ++i;
    const qsizetype digits = i;
    while (i < text.size() && text[i] >= u'0' && text[i] <= u'9')
        ++i;
    if (i != text.size() || i == digits || i - digits > 7)
        return std::nullopt;
    const int row = text.mid(digits).toInt();
    if (row < 1 || row > kMaxRow)
        return std::nullopt;
    return CellPos{row, col};
}

std::optional<Area> ParseArea(QStringView text) {
    const qsizetype colon = text.indexOf(u':');
    const auto first = ParseCellAddress(colon < 0 ? text : text.left(colon));
    if (!first)
        return std::nullopt;
    const auto last = colon < 0 ? first : ParseCellAddress(text.mid(colon + 1));
    if (!last)
        return std::nullopt;
    return Area{std::min(first->row, last->row), std::min(first->col, last->col),
                std::max(first->row, last->row), std::max(first->col, last->col)};
}

QString AreaAddress(const Area& area) {
    const QString first = CellAddress(area.row1, area.col1);
    if (area.row1 == area.row2 && area.col1 == area.col2)
        return first;
    return first + u':' + CellAddress(area.row2, area.col2);
}

}  // namespace sheet
