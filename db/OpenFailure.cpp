#include "db/OpenFailure.h"

#include <QFileInfo>

#include <firebird/Interface.h>
#include <iberror.h>

#include "db/Error.h"

namespace db {

namespace {

// A plain path (absolute, as every path the program writes) is a file on this
// computer; "host:path" and "host/port:path" go to a server.
bool IsServerString(const QString& databaseString) {
    return !databaseString.startsWith(u'/') && databaseString.contains(u':');
}

}  // namespace

OpenFailure ClassifyOpenFailure(const QString& databaseString, const Error& error) {
    if (!IsServerString(databaseString)) {
        const QFileInfo file(databaseString);
        if (!file.exists())
            return OpenFailure::NotFound;
        if (!file.isFile())
            return OpenFailure::NotADatabase;
    }
    if (error.IsOpenElsewhere())
        return OpenFailure::InUse;
    switch (error.Code()) {
        case isc_io_error:
            // Failing to open is a missing file; failing to read one that opened
            // (too short, not ours) is a file that is no database.
            return error.Message().contains(QStringLiteral("\"open\"")) ? OpenFailure::NotFound
                                                                         : OpenFailure::NotADatabase;
        case isc_bad_db_format:
        case isc_wrong_ods:
            return OpenFailure::NotADatabase;
        case isc_network_error:
        case isc_net_connect_err:
        case isc_net_read_err:
        case isc_conn_lost:
            return OpenFailure::NoAnswer;
        default:
            return OpenFailure::Other;
    }
}

QString OpenFailureText(const QString& dantai, const QString& databaseString, const QString& iniFile,
                        const Error& error) {
    QString reason;
    switch (ClassifyOpenFailure(databaseString, error)) {
        case OpenFailure::NotFound:
            reason = QStringLiteral("指定されたデータベースファイルが見つかりません。");
            break;
        case OpenFailure::NotADatabase:
            reason = QStringLiteral("指定されたファイルはデータベースではありません。");
            break;
        case OpenFailure::NoAnswer:
            reason = QStringLiteral("データベースサーバーが応答しません。");
            break;
        case OpenFailure::InUse:
            reason = QStringLiteral("データベースは他のプログラムで使用中です。\r\n"
                                    "つばき出納帳でこの団体を開いている場合は、閉じてからやり直してください。");
            break;
        case OpenFailure::Other:
            reason = QStringLiteral("データベースを開くことができません。\r\n") + error.Message();
            break;
    }
    return QStringLiteral("団体［") + dantai + QStringLiteral("］のデータベースを開けませんでした。\r\n") +
           QStringLiteral("設定ファイル［") + iniFile + QStringLiteral("］の [DBList] ") + dantai + u'=' +
           databaseString + QStringLiteral("\r\n\r\n") + reason;
}

}  // namespace db
