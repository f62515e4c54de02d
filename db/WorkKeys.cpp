#include "db/WorkKeys.h"

#include "core/Errors.h"
#include "db/Error.h"
#include "db/Transaction.h"

#include <firebird/Interface.h>

#include <QRegularExpression>

#include <algorithm>
#include <optional>
#include <set>
#include <utility>

using namespace Qt::Literals::StringLiterals;

namespace db {

namespace {

// The same text as in the schema script: a database upgraded at login must end
// with the table the empty database is built with.
const char16_t kCreateClaimTable[] =
    u"create table W_KEY (\n"
    u"    CPU_NAME       varchar(20) character set UNICODE_FSS not null,\n"
    u"    JIKOKU         varchar(14) character set ASCII not null,\n"
    u"    WORK_TABLE     varchar(31) character set ASCII not null,\n"
    u"    NENDO          integer,\n"
    u"    HOST_NAME      varchar(255) character set UNICODE_FSS,\n"
    u"    ATTACHMENT_ID  bigint,\n"
    u"    primary key (CPU_NAME, JIKOKU)\n"
    u")";

const char16_t kKeyCondition[] = u"(CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)";

// The work table's name goes into the statements' text: only a plain table name.
const QString& Checked(const QString& workTable) {
    static const QRegularExpression plain(u"^W_[A-Z_]{1,29}$"_s);
    if (!plain.match(workTable).hasMatch())
        throw EAppError(u"作業テーブル名が正しくありません: "_s + workTable);
    return workTable;
}

Connection::Params KeyParams(const WorkKey& key) {
    return {{u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}};
}

qint64 Number(Connection& connection, const QString& sql) {
    const auto rows = connection.Select(sql).rows;
    return rows.empty() || rows.front().empty() ? 0 : rows.front().front().AsInteger();
}

void DeleteLoad(Connection& connection, const QString& workTable, const WorkKey& key) {
    InOneTransaction(connection, [&] {
        connection.Execute(
            u"delete from "_s + Checked(workTable) + u" where "_s + QString::fromUtf16(kKeyCondition),
            KeyParams(key));
        connection.Execute(u"delete from W_KEY where "_s + QString::fromUtf16(kKeyCondition), KeyParams(key));
    });
}

// Whether an active ascending index of `workTable` starts with (CPU_NAME, JIKOKU).
bool HasKeyIndex(Connection& connection, const QString& workTable) {
    return connection
               .Select(
                   u"select count(*) from RDB$INDICES I "
                   u"join RDB$INDEX_SEGMENTS S1 on (S1.RDB$INDEX_NAME = I.RDB$INDEX_NAME) "
                   u"and (S1.RDB$FIELD_POSITION = 0) and (S1.RDB$FIELD_NAME = 'CPU_NAME') "
                   u"join RDB$INDEX_SEGMENTS S2 on (S2.RDB$INDEX_NAME = I.RDB$INDEX_NAME) "
                   u"and (S2.RDB$FIELD_POSITION = 1) and (S2.RDB$FIELD_NAME = 'JIKOKU') "
                   u"where (I.RDB$RELATION_NAME = :T) and (coalesce(I.RDB$INDEX_INACTIVE, 0) = 0) "
                   u"and (coalesce(I.RDB$INDEX_TYPE, 0) = 0)"_s,
                   {{u"T"_s, workTable}})
               .rows.at(0)
               .at(0)
               .AsInteger() > 0;
}

// The keys that have rows in `workTable`, in key order. With an index on the key
// each key costs one step through the index (the next CPU_NAME, then the next
// JIKOKU under it), however many rows the loads hold; without one, one grouped
// read of the table (the budget's and settlement's work tables are small).
std::vector<WorkKey> KeysWithRows(Connection& connection, const QString& workTable) {
    std::vector<WorkKey> keys;
    if (!HasKeyIndex(connection, workTable)) {
        for (const auto& row :
             connection
                 .Select(u"select CPU_NAME, JIKOKU from "_s + workTable + u" group by CPU_NAME, JIKOKU"_s)
                 .rows)
            keys.push_back({row.at(0).AsString(), row.at(1).AsString()});
        return keys;
    }
    const auto first = [&](const QString& sql, const Connection::Params& params) -> std::optional<QString> {
        const auto rows = connection.Select(sql, params).rows;
        if (rows.empty())
            return std::nullopt;
        return rows.front().front().AsString();
    };
    std::optional<QString> cpuName =
        first(u"select first 1 CPU_NAME from "_s + workTable + u" order by CPU_NAME"_s, {});
    while (cpuName) {
        std::optional<QString> jikoku = first(u"select first 1 JIKOKU from "_s + workTable +
                                                  u" where (CPU_NAME = :C) order by CPU_NAME, JIKOKU"_s,
                                              {{u"C"_s, *cpuName}});
        while (jikoku) {
            keys.push_back({*cpuName, *jikoku});
            jikoku = first(u"select first 1 JIKOKU from "_s + workTable +
                               u" where (CPU_NAME = :C) and (JIKOKU > :J) order by CPU_NAME, JIKOKU"_s,
                           {{u"C"_s, *cpuName}, {u"J"_s, *jikoku}});
        }
        cpuName = first(
            u"select first 1 CPU_NAME from "_s + workTable + u" where (CPU_NAME > :C) order by CPU_NAME"_s,
            {{u"C"_s, *cpuName}});
    }
    return keys;
}

// The loads in `workTable` under a key nobody claims, with the year each loaded:
// found by key through the claims, not by a look-up of the claims per row.
std::vector<std::pair<WorkKey, int>> UnclaimedLoads(Connection& connection, const QString& workTable) {
    std::set<std::pair<QString, QString>> claimed;
    for (const auto& row : connection.Select(u"select CPU_NAME, JIKOKU from W_KEY"_s).rows)
        claimed.emplace(row.at(0).AsString(), row.at(1).AsString());
    std::vector<std::pair<WorkKey, int>> loads;
    for (WorkKey& key : KeysWithRows(connection, workTable)) {
        if (claimed.count({key.cpuName, key.jikoku}) != 0)
            continue;
        const int nendo = static_cast<int>(connection
                                               .Select(u"select min(NENDO) from "_s + workTable +
                                                           u" where "_s + QString::fromUtf16(kKeyCondition),
                                                       KeyParams(key))
                                               .rows.at(0)
                                               .at(0)
                                               .AsInteger());
        loads.push_back({std::move(key), nendo});
    }
    return loads;
}

bool KeyTaken(int code) {
    // Committed by another window, or being inserted by one right now.
    return code == isc_unique_key_violation || code == isc_no_dup || code == isc_deadlock ||
           code == isc_lock_conflict || code == isc_update_conflict;
}

}  // namespace

bool EnsureSharingObjects(Connection& connection, LineNumbers lineNumbers) noexcept {
    bool whole = true;
    const auto attempt = [&](auto&& step) {
        try {
            step();
        } catch (...) {
            whole = false;
        }
    };
    attempt([&] {
        if (Number(connection, u"select count(*) from RDB$RELATIONS where (RDB$RELATION_NAME = 'W_KEY')"_s) ==
            0)
            connection.Execute(QString::fromUtf16(kCreateClaimTable));
    });
    attempt([&] {
        if (Number(connection,
                   u"select count(*) from RDB$GENERATORS where (RDB$GENERATOR_NAME = 'SEQ_MEISAI')"_s) == 0)
            connection.Execute(u"create sequence SEQ_MEISAI"_s);
    });
    if (lineNumbers == LineNumbers::Leave)
        return whole;
    return RaiseLineNumbers(connection) && whole;
}

bool RaiseLineNumbers(Connection& connection) noexcept {
    try {
        // Raised by a step, never set: numbers another computer takes meanwhile
        // stay taken.
        const qint64 highest = std::max(Number(connection, u"select max(SEQ_NO) from MEISAI"_s),
                                        Number(connection, u"select max(SEQ_NO) from W_MEISAI"_s));
        const qint64 current = Number(connection, u"select gen_id(SEQ_MEISAI, 0) from RDB$DATABASE"_s);
        if (highest > current)
            Number(connection, u"select gen_id(SEQ_MEISAI, %1) from RDB$DATABASE"_s.arg(highest - current));
        return true;
    } catch (...) {
        return false;
    }
}

void PrepareRestoredDatabase(Connection& connection) noexcept {
    EnsureSharingObjects(connection);
    try {
        connection.Execute(u"update W_KEY set ATTACHMENT_ID = null"_s);
    } catch (...) {
        // Claims that look alive keep their rows until their attachment number ends.
    }
}

int NextLineNumber(Connection& connection) {
    return static_cast<int>(Number(connection, u"select gen_id(SEQ_MEISAI, 1) from RDB$DATABASE"_s));
}

int NextLineNumbers(Connection& connection, int count) {
    const qint64 last = Number(connection, u"select gen_id(SEQ_MEISAI, %1) from RDB$DATABASE"_s.arg(count));
    return static_cast<int>(last - count + 1);
}

// ---------------------------------------------------------------- the claim

WorkKeyClaim::WorkKeyClaim(Connection& connection, QString workTable, int nendo, const QString& hostName,
                           const QDateTime& at)
    : connection_(connection), workTable_(std::move(workTable)), use_(connection.UseDataset()) {
    Checked(workTable_);
    key_.cpuName = hostName.left(15);
    const QString insert =
        u"insert into W_KEY (CPU_NAME, JIKOKU, WORK_TABLE, NENDO, HOST_NAME, ATTACHMENT_ID) "
        u"values (:CPU_NAME, :JIKOKU, :WORK_TABLE, :NENDO, :HOST_NAME, current_connection)"_s;
    const QString rowsLeft =
        u"select first 1 1 from "_s + workTable_ + u" where "_s + QString::fromUtf16(kKeyCondition);
    QDateTime time = at;
    for (int tries = 0;; ++tries, time = time.addSecs(1)) {
        key_.jikoku = time.toString(u"yyyyMMddhhmmss"_s);
        try {
            Connection::Params params = KeyParams(key_);
            params.insert(params.end(),
                          {{u"WORK_TABLE"_s, workTable_}, {u"NENDO"_s, nendo}, {u"HOST_NAME"_s, hostName}});
            connection_.Execute(insert, params);
        } catch (const Error& e) {
            if (!KeyTaken(e.Code()) || tries > 3600)
                throw;
            continue;
        }
        // Rows under a key nobody claimed belong to a load of a program that did not
        // claim keys: they are not ours to write into.
        if (connection_.Select(rowsLeft, KeyParams(key_)).rows.empty())
            break;
        connection_.Execute(u"delete from W_KEY where "_s + QString::fromUtf16(kKeyCondition),
                            KeyParams(key_));
    }
    connectAction_ = connection_.AddConnectAction([this] { Point(); });
}

WorkKeyClaim::~WorkKeyClaim() {
    try {
        Release();
    } catch (...) {
        // The claim outlives the window; once this program's attachment ends, its
        // load counts as abandoned and the next load removes it.
    }
    connection_.RemoveConnectAction(connectAction_);
}

void WorkKeyClaim::Point() {
    if (!released_)
        connection_.Execute(u"update W_KEY set ATTACHMENT_ID = current_connection where "_s +
                                QString::fromUtf16(kKeyCondition),
                            KeyParams(key_));
}

void WorkKeyClaim::Confirm() {
    Connection::Params params = KeyParams(key_);
    params.emplace_back(u"WORK_TABLE"_s, workTable_);
    const int claimed =
        connection_.Execute(u"update W_KEY set ATTACHMENT_ID = current_connection where "_s +
                                QString::fromUtf16(kKeyCondition) + u" and (WORK_TABLE = :WORK_TABLE)"_s,
                            params);
    if (claimed != 1)
        throw EAppError(
            u"この画面の入力中のデータが見つかりません。\r\n"
            u"もう一度「入力(表示)」から入力してください。"_s);
}

void WorkKeyClaim::Release() {
    if (released_)
        return;
    DeleteLoad(connection_, workTable_, key_);
    released_ = true;
    connection_.RemoveConnectAction(connectAction_);
    use_.reset();
}

// ---------------------------------------------------------------- abandoned loads

namespace {

// The attachments there are now. Read after the claims, in their transaction: the
// monitoring tables are a snapshot taken at their first reading in a transaction,
// so every attachment that made a claim read before and still exists is in it.
std::set<qint64> AliveAttachments(Connection& connection) {
    std::set<qint64> alive;
    for (const auto& row : connection.Select(u"select MON$ATTACHMENT_ID from MON$ATTACHMENTS"_s).rows)
        alive.insert(row.at(0).AsInteger());
    return alive;
}

}  // namespace

std::vector<AbandonedLoad> AbandonedLoads(Connection& connection, const QString& workTable) {
    Checked(workTable);
    std::vector<AbandonedLoad> loads;
    const auto use = connection.UseDataset();
    InOneTransaction(connection, [&] {
        const auto claims = connection.Select(
            u"select CPU_NAME, JIKOKU, NENDO, HOST_NAME, ATTACHMENT_ID from W_KEY "
            u"where (WORK_TABLE = :WORK_TABLE)"_s,
            {{u"WORK_TABLE"_s, workTable}});
        const std::vector<std::pair<WorkKey, int>> unclaimed = UnclaimedLoads(connection, workTable);
        const std::set<qint64> alive = AliveAttachments(connection);
        for (const auto& row : claims.rows) {
            const qint64 attachment = row.at(4).AsInteger();
            if (alive.count(attachment) == 0)
                loads.push_back({{row.at(0).AsString(), row.at(1).AsString()},
                                 static_cast<int>(row.at(2).AsInteger()),
                                 row.at(3).AsString(),
                                 true,
                                 attachment});
        }
        for (const auto& [key, nendo] : unclaimed)
            loads.push_back({key, nendo, QString(), false, 0});
    });
    std::stable_sort(loads.begin(), loads.end(), [](const AbandonedLoad& a, const AbandonedLoad& b) {
        return a.key.jikoku < b.key.jikoku;
    });
    return loads;
}

std::vector<QString> OpenLoads(Connection& connection, const QString& workTable, int nendo,
                               const std::optional<WorkKey>& except) {
    Checked(workTable);
    std::vector<QString> hosts;
    const auto use = connection.UseDataset();
    InOneTransaction(connection, [&] {
        const auto claims = connection.Select(
            u"select HOST_NAME, CPU_NAME, ATTACHMENT_ID, JIKOKU from W_KEY "
            u"where (WORK_TABLE = :WORK_TABLE) and (NENDO = :NENDO)"_s,
            {{u"WORK_TABLE"_s, workTable}, {u"NENDO"_s, nendo}});
        const std::set<qint64> alive = AliveAttachments(connection);
        for (const auto& row : claims.rows) {
            if (except && row.at(1).AsString() == except->cpuName && row.at(3).AsString() == except->jikoku)
                continue;
            if (alive.count(row.at(2).AsInteger()) != 0)
                hosts.push_back(row.at(0).IsNull() ? row.at(1).AsString() : row.at(0).AsString());
        }
    });
    return hosts;
}

bool IsFromComputer(const AbandonedLoad& load, const QString& hostName) {
    return load.hostName.isEmpty() ? load.key.cpuName == hostName.left(15) : load.hostName == hostName;
}

bool DiscardLoad(Connection& connection, const QString& workTable, const AbandonedLoad& load) {
    bool discarded = false;
    InOneTransaction(connection, [&] {
        Connection::Params params = KeyParams(load.key);
        const QString claim = u"W_KEY where "_s + QString::fromUtf16(kKeyCondition);
        if (load.claimed) {
            params.emplace_back(u"ATTACHMENT_ID"_s, load.attachment);
            discarded =
                connection.Execute(u"delete from "_s + claim + u" and (ATTACHMENT_ID = :ATTACHMENT_ID)"_s,
                                   params) == 1;
        } else {
            discarded =
                connection.Select(u"select count(*) from "_s + claim, params).rows.at(0).at(0).AsInteger() ==
                0;
        }
        if (discarded)
            connection.Execute(
                u"delete from "_s + Checked(workTable) + u" where "_s + QString::fromUtf16(kKeyCondition),
                KeyParams(load.key));
    });
    return discarded;
}

}  // namespace db
