#include "db/DantaiLogin.h"

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "db/Error.h"
#include "db/OpenFailure.h"

namespace db {

QString KanriSql() {
    return QStringLiteral("select * from KANRI where (KY = 1)");
}

void OpenDantaiDatabase(Connection& connection, const QString& name) {
    try {
        connection.Open();
    } catch (const Error& e) {
        const QString databaseString = GetDbPath(name);
        throw DantaiOpenError(OpenFailureText(name, databaseString, GetIniFileName(), e),
                              ClassifyOpenFailure(databaseString, e));
    }
}

bool PasswordMatches(const QString& typed, const QString& stored) {
    return Trim(typed) == Trim(stored);
}

}  // namespace db
