#include "db/SqlLexer.h"

namespace db {

namespace {

qsizetype SkipQuoted(const QString& sql, qsizetype i, QChar quote) {
    const qsizetype n = sql.size();
    for (qsizetype j = i + 1; j < n; ++j) {
        if (sql[j] != quote)
            continue;
        if (j + 1 < n && sql[j + 1] == quote) {
            ++j;  // a doubled quote stands for itself
            continue;
        }
        return j + 1;
    }
    return n;
}

}  // namespace

qsizetype SkipLiteralOrComment(const QString& sql, qsizetype i) {
    const qsizetype n = sql.size();
    if (i >= n)
        return i;
    const QChar c = sql[i];
    if (c == u'\'' || c == u'"')
        return SkipQuoted(sql, i, c);
    if (i + 1 >= n)
        return i;
    if (c == u'-' && sql[i + 1] == u'-') {
        const qsizetype end = sql.indexOf(u'\n', i + 2);
        return end < 0 ? n : end + 1;
    }
    if (c == u'/' && sql[i + 1] == u'*') {
        const qsizetype end = sql.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

}  // namespace db
