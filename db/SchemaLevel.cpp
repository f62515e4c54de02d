#include "db/SchemaLevel.h"

namespace db {

QString CurrentSchemaLevel() {
    return QStringLiteral("1.0.4.0");
}

int CompareSchemaLevels(const QString& a, const QString& b) {
    return QString::compare(a, b, Qt::CaseSensitive);
}

QString SchemaLevelOf(const QString& dbVersion, bool hasKurikosiTable) {
    if (!dbVersion.isEmpty())
        return dbVersion;
    return hasKurikosiTable ? QStringLiteral("1.0.1.0") : QStringLiteral("1.0.0.0");
}

}  // namespace db
