#include "backup/ControlRow.h"

#include "db/Connection.h"

ControlRow ReadControlRow(const QString& databaseString) {
    db::Connection connection([databaseString] { return databaseString; });
    connection.Open();
    const db::Connection::Rows kanri =
        connection.Select(QStringLiteral("select * from KANRI where (KY = 1)"));
    connection.Close();

    ControlRow row;
    if (kanri.rows.empty())
        return row;
    row.exists = true;
    const std::vector<db::Value>& values = kanri.rows.front();
    for (size_t i = 0; i < kanri.columns.size(); ++i) {
        const QString& name = kanri.columns[i].name;
        if (name.compare(QStringLiteral("DANTAIMEI"), Qt::CaseInsensitive) == 0)
            row.dantaimei = values[i].AsString();
        else if (name.compare(QStringLiteral("DB_VERSION"), Qt::CaseInsensitive) == 0)
            row.dbVersion = values[i].AsString();
    }
    return row;
}
