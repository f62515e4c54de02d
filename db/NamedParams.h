#pragma once
// Named parameters (":Nendo") in an SQL text, turned into the positional "?" that
// Firebird prepares.

#include <QString>

#include <vector>

namespace db {

struct PositionalSql {
    QString sql;                 // the text with every :Name replaced by ?
    std::vector<QString> names;  // the name of each ?, in order, upper-case
};

// Replaces each :Name (a letter or "_", then letters, digits, "_" or "$") outside
// string literals, quoted names and comments. A name used twice gives two
// positions with the same name.
PositionalSql TranslateNamedParams(const QString& sql);

}  // namespace db
