#include "reports/StatementList.h"

#include "core/Errors.h"

#include <QFile>
#include <QStringList>

std::vector<StatementListLine> ReadStatementList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EAppError(QStringLiteral("ファイル「") + path + QStringLiteral("」を開けません。\r\n") +
                        file.errorString());
    std::vector<StatementListLine> lines;
    for (QString line : QString::fromUtf8(file.readAll()).split(u'\n')) {
        line.remove(u'\r');
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype eq = line.indexOf(u'=');
        lines.push_back({eq < 0 ? line : line.left(eq), eq < 0 ? QString() : line.mid(eq + 1)});
    }
    return lines;
}
