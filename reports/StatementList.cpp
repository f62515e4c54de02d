#include "reports/StatementList.h"

#include "core/Errors.h"

#include <QFile>
#include <QStringList>

std::vector<StatementListLine> ReadStatementList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        throw EAppError(QStringLiteral("ファイル「") + path + QStringLiteral("」を開けません。\r\n") +
                        file.errorString());
    QStringList text = QString::fromUtf8(file.readAll()).split(u'\n');
    for (QString& line : text)
        line.remove(u'\r');
    while (!text.isEmpty() && text.back().trimmed().isEmpty())
        text.removeLast();
    std::vector<StatementListLine> lines;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString& line = text[i];
        if (line.trimmed().isEmpty())
            throw EAppError(QStringLiteral("ファイル「") + path +
                            QStringLiteral("」の%1行目が空行です。\r\n").arg(i + 1) +
                            QStringLiteral("帳票は行の位置で作られるため、空行を削除してください。"));
        const qsizetype eq = line.indexOf(u'=');
        lines.push_back({eq < 0 ? line : line.left(eq), eq < 0 ? QString() : line.mid(eq + 1)});
    }
    return lines;
}
