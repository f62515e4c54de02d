#include "tests/support/QueryRows.h"

QStringList RowsOf(db::Connection& connection, const QString& sql, const QString& nullText) {
    QStringList result;
    for (const auto& row : connection.Select(sql).rows) {
        QStringList values;
        for (const db::Value& v : row)
            values << (v.IsNull() ? nullText : v.AsString());
        result << values.join(u'|');
    }
    return result;
}

void ExecuteAll(db::Connection& connection, const QStringList& statements) {
    for (const QString& sql : statements)
        connection.Execute(sql);
}
