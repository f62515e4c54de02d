#include "db/SchemaUpgrade.h"

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/FileUtil.h"
#include "core/KyotsuUnit.h"
#include "db/SchemaLevel.h"
#include "db/UpgradeSteps.h"
#include "db/WorkKeys.h"
#include "platform/Folders.h"

#include <QFile>

#include <exception>

namespace db {

namespace {

const QString kCrLf = QStringLiteral("\r\n");

}  // namespace

QString DbVersionOf(const Connection::Rows& kanri) {
    if (kanri.rows.empty())
        return {};
    for (std::size_t i = 0; i < kanri.columns.size(); ++i) {
        if (kanri.columns[i].name.compare(u"DB_VERSION", Qt::CaseInsensitive) == 0)
            return kanri.rows.front()[i].AsString();
    }
    return {};
}

SchemaUpgrade::SchemaUpgrade(Connection& connection, LoginHooks hooks, Clock clock)
    : connection_(connection), hooks_(std::move(hooks)), clock_(std::move(clock)) {}

void SchemaUpgrade::UpgradeDatabase(const QString& dbVersion) {
    const QString level = SchemaLevelOf(dbVersion, dbVersion.isEmpty() && HasKurikosiTable());
    const int order = CompareSchemaLevels(level, CurrentSchemaLevel());
    if (order > 0)
        RefuseNewerDatabase();
    if (order == 0) {
        EnsureWorkTableIndex();
        EnsureSharingObjects(connection_);
        return;
    }

    if (hooks_.closeLoginDataSet)
        hooks_.closeLoginDataSet();
    connection_.Close();
    BackupDatabaseFile();
    try {
        RunBlocks(level);
    } catch (const std::exception& e) {
        FailUpgrade(ErrorMessageOf(e));
    }
    EnsureWorkTableIndex();
    EnsureSharingObjects(connection_);
}

// The index on the journal's work rows is not part of any schema level: databases
// made elsewhere at the current level may lack it. It only makes the journal fast,
// so it is added where missing and a failure (another user holding the table) is
// left for the next login.
void SchemaUpgrade::EnsureWorkTableIndex() noexcept {
    try {
        const auto found = connection_.Select(
            QStringLiteral("select count(*) from RDB$INDICES where (RDB$INDEX_NAME = 'IX_W_MEISAI_1')"));
        if (found.rows.at(0).at(0).AsInteger() == 0)
            connection_.Execute(QStringLiteral("create index IX_W_MEISAI_1 on W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO)"));
    } catch (...) {
    }
}

bool SchemaUpgrade::HasKurikosiTable() {
    const auto tables = connection_.Select(
        QStringLiteral("select RDB$RELATION_NAME from RDB$RELATIONS "
                       "where (coalesce(RDB$SYSTEM_FLAG, 0) = 0) and (RDB$VIEW_BLR is null)"));
    // KURIKOSI marks level 1.0.1.0 only together with GENKIN_ZAN, the last table
    // that level's block makes: a block that failed half way is run again, not
    // taken as done.
    bool kurikosi = false;
    bool genkinZan = false;
    for (const auto& row : tables.rows) {
        const QString name = row[0].AsString().trimmed();
        kurikosi = kurikosi || name == u"KURIKOSI";
        genkinZan = genkinZan || name == u"GENKIN_ZAN";
    }
    return kurikosi && genkinZan;
}

void SchemaUpgrade::RefuseNewerDatabase() {
    Dialogs().Beep();
    ShowMessage(QStringLiteral("データベースのバージョンレベルが現在のプログラムより新しいです。") + kCrLf +
                QStringLiteral("プログラムを最新バージョンにアップデートしてください。"));
    if (hooks_.closeLoginWindow)
        hooks_.closeLoginWindow();
    throw EAbort();
}

void SchemaUpgrade::BackupDatabaseFile() {
    SourceFileName = GetLocalDbPath(CurrentDantai);
    if (SourceFileName.isEmpty())
        return;
    BkupFileName =
        AddBackslash(platform::SettingsFolder()) + CurrentDantai + TimeStamp() + QStringLiteral(".FDB");
    FileCopy(SourceFileName, BkupFileName, true, true);
}

void SchemaUpgrade::RestoreDatabaseFile() {
    if (SourceFileName.isEmpty())
        return;
    FileCopy(BkupFileName, SourceFileName, true, true);
}

void SchemaUpgrade::RunBlocks(const QString& level) {
    // One attachment for the whole run; the connection drops its prepared
    // statements at every DDL statement, so later statements see the new columns.
    const auto use = connection_.UseDataset();
    for (const UpgradeBlock& block : UpgradeBlocksFor(level)) {
        if (!block.header.isEmpty())
            AddLog(block.header);
        for (const UpgradeStep& step : block.steps) {
            currentStep_ = step.name;
            if (!step.doneSql.isEmpty() && connection_.Select(step.doneSql).rows.at(0).at(0).AsInteger() > 0) {
                AddLog(step.name + QStringLiteral(" 実施済み"));
                continue;
            }
            connection_.Execute(step.sql, step.params);
            AddLog(step.name + QStringLiteral(" OK"));
        }
    }
}

void SchemaUpgrade::FailUpgrade(const QString& errorMessage) {
    QString message = QStringLiteral("データベースのアップデートを失敗しました (") + currentStep_ + u')' +
                      kCrLf + errorMessage;
    AddLog(message);
    SaveLog();
    connection_.Close();
    try {
        RestoreDatabaseFile();
    } catch (const std::exception& e) {
        // The database stays half upgraded: the user must hear of it, beside the cause.
        message += kCrLf + ErrorMessageOf(e);
    }
    throw EAppError(message);
}

void SchemaUpgrade::SaveLog() const {
    // Best effort: a log that cannot be written must not hide the failure itself.
    QFile file(AddBackslash(platform::SettingsFolder()) + QStringLiteral("DbUpdateError") + TimeStamp() +
               QStringLiteral(".log"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return;
    for (const QString& line : LogList)
        file.write((line + u'\n').toUtf8());
}

QString SchemaUpgrade::TimeStamp() const {
    return clock_().toString(QStringLiteral("yyyyMMddHHmmss"));
}

}  // namespace db
