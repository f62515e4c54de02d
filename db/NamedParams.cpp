#include "db/NamedParams.h"

#include "db/SqlLexer.h"

namespace db {

namespace {

bool IsNameStart(QChar c) {
    return (c.isLetter() && c.unicode() < 128) || c == u'_';
}
bool IsNamePart(QChar c) {
    return IsNameStart(c) || (c.isDigit() && c.unicode() < 128) || c == u'$';
}

}  // namespace

PositionalSql TranslateNamedParams(const QString& sql) {
    PositionalSql out;
    out.sql.reserve(sql.size());
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const qsizetype skipped = SkipLiteralOrComment(sql, i);
        if (skipped != i) {
            out.sql += QStringView(sql).mid(i, skipped - i);
            i = skipped;
            continue;
        }
        if (sql[i] == u':' && i + 1 < n && IsNameStart(sql[i + 1])) {
            qsizetype end = i + 2;
            while (end < n && IsNamePart(sql[end]))
                ++end;
            out.names.push_back(sql.mid(i + 1, end - i - 1).toUpper());
            out.sql += u'?';
            i = end;
            continue;
        }
        out.sql += sql[i];
        ++i;
    }
    return out;
}

}  // namespace db
