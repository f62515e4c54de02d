#include "db/SqlScript.h"

#include "db/SqlLexer.h"

namespace db {

namespace {

// True when the piece holds SQL code, not only blanks and comments.
bool HasCode(const QString& piece) {
    qsizetype i = 0;
    while (i < piece.size()) {
        const qsizetype skipped = SkipLiteralOrComment(piece, i);
        const bool isComment = skipped != i && (piece[i] == u'-' || piece[i] == u'/');
        if (isComment) {
            i = skipped;
            continue;
        }
        if (!piece[i].isSpace())
            return true;
        ++i;
    }
    return false;
}

}  // namespace

std::vector<QString> SplitSqlScript(const QString& script) {
    std::vector<QString> statements;
    auto take = [&](qsizetype from, qsizetype to) {
        const QString piece = script.mid(from, to - from).trimmed();
        if (HasCode(piece))
            statements.push_back(piece);
    };
    qsizetype start = 0;
    qsizetype i = 0;
    while (i < script.size()) {
        const qsizetype skipped = SkipLiteralOrComment(script, i);
        if (skipped != i) {
            i = skipped;
            continue;
        }
        if (script[i] == u';') {
            take(start, i);
            start = i + 1;
        }
        ++i;
    }
    take(start, script.size());
    return statements;
}

}  // namespace db
