#include "db/YearClose.h"

#include "core/Errors.h"
#include "db/Error.h"
#include "db/Transaction.h"

using namespace Qt::Literals::StringLiterals;

namespace db {

namespace {

const QString kColumns = u"NENDO, SEQ_NO, SOUSA, NICHIJI, CPU_NAME, USER_NAME, RIYU"_s;

YearCloseEntry EntryOf(const std::vector<Value>& r) {
    YearCloseEntry e;
    e.nendo = static_cast<int>(r[0].AsInteger());
    e.seqNo = static_cast<int>(r[1].AsInteger());
    e.closed = r[2].AsInteger() == 1;
    e.at = QDateTime::fromString(r[3].AsString(), u"yyyyMMddHHmmss"_s);
    e.computer = r[4].IsNull() ? QString() : r[4].AsString();
    e.user = r[5].IsNull() ? QString() : r[5].AsString();
    e.reason = r[6].IsNull() ? QString() : r[6].AsString();
    return e;
}

}  // namespace

std::vector<YearCloseEntry> YearCloseHistory(Connection& connection, int nendo) {
    std::vector<YearCloseEntry> entries;
    for (const auto& r :
         connection
             .Select(u"select "_s + kColumns + u" from NENDO_SIME where (NENDO = :Nendo) order by SEQ_NO"_s,
                     {{u"Nendo"_s, nendo}})
             .rows)
        entries.push_back(EntryOf(r));
    return entries;
}

std::optional<YearCloseEntry> YearClosure(Connection& connection, int nendo) {
    const auto rows = connection.Select(
        u"select first 1 "_s + kColumns + u" from NENDO_SIME where (NENDO = :Nendo) order by SEQ_NO desc"_s,
        {{u"Nendo"_s, nendo}});
    if (rows.rows.empty())
        return std::nullopt;
    YearCloseEntry last = EntryOf(rows.rows.front());
    if (!last.closed)
        return std::nullopt;
    return last;
}

QString ClosedYearMessage(const YearCloseEntry& closure) {
    return QString::number(closure.nendo) + u"年度は締められています("_s +
           closure.at.toString(u"yyyy/MM/dd HH:mm"_s) + u"、コンピュータ "_s + closure.computer +
           u")。\r\nこの年度のデータは変更できません。"
           u"変更が必要なときは、年度別基礎データ設定で締めを解除してください。"_s;
}

void RefuseClosedYear(Connection& connection, int nendo) {
    if (const auto closure = YearClosure(connection, nendo))
        throw EYearClosed(ClosedYearMessage(*closure));
}

void SetYearClosed(Connection& connection, int nendo, bool close, const QString& computer,
                   const QString& user, const QString& reason) {
    InOneTransaction(connection, [&] {
        int taken = 0;
        try {
            taken = connection.Execute(u"update NENDO set NENDO = NENDO where (NENDO = :Nendo)"_s,
                                       {{u"Nendo"_s, nendo}});
        } catch (const Error& e) {
            if (!e.IsLockConflict())
                throw;
            throw EAppError(
                u"他のコンピュータまたは他の画面がこの年度のデータを保存しています。\r\n"
                u"しばらく待ってから、もう一度実行してください。"_s);
        }
        if (taken == 0)
            throw EAppError(QString::number(nendo) + u"年度の基礎データが設定されていません。"_s);
        const bool closedNow = YearClosure(connection, nendo).has_value();
        if (closedNow == close)
            throw EAppError(QString::number(nendo) +
                            (close ? u"年度はすでに締められています。"_s : u"年度は締められていません。"_s));
        const auto next =
            connection.Select(u"select coalesce(max(SEQ_NO), 0) + 1 from NENDO_SIME where (NENDO = :Nendo)"_s,
                              {{u"Nendo"_s, nendo}});
        connection.Execute(u"insert into NENDO_SIME ("_s + kColumns +
                               u") values (:Nendo, :SeqNo, :Sousa, :Nichiji, :Cpu, :UserName, :Riyu)"_s,
                           {{u"Nendo"_s, nendo},
                            {u"SeqNo"_s, next.rows.front()[0].AsInteger()},
                            {u"Sousa"_s, close ? 1 : 0},
                            {u"Nichiji"_s, QDateTime::currentDateTime().toString(u"yyyyMMddHHmmss"_s)},
                            {u"Cpu"_s, computer.left(255)},
                            {u"UserName"_s, user.left(60)},
                            {u"Riyu"_s, reason.isEmpty() ? Value() : Value(reason.left(100))}});
    });
}

}  // namespace db
