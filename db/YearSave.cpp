#include "db/YearSave.h"

#include "core/Errors.h"
#include "db/Error.h"
#include "db/YearClose.h"

using namespace Qt::Literals::StringLiterals;

namespace db {

YearStamp StampOf(Connection& connection, const SavedRows& rows) {
    const auto found = connection
                           .Select(u"select count(*), max(RDB$RECORD_VERSION) from "_s + rows.table +
                                       u" where "_s + rows.condition,
                                   rows.params)
                           .rows;
    if (found.empty())
        return {};
    return {found.front().at(0).AsInteger(), found.front().at(1).AsInteger()};
}

bool SavedSince(Connection& connection, const SavedRows& rows, const YearStamp& loaded) {
    // A save rewrites all of a year's rows in one transaction, so one row tells:
    // written after the load, it carries a newer transaction than any the load saw.
    const auto probe =
        connection
            .Select(u"select first 1 RDB$RECORD_VERSION from "_s + rows.table + u" where "_s + rows.condition,
                    rows.params)
            .rows;
    if (probe.empty())
        return loaded.lines > 0;
    return probe.front().front().AsInteger() > loaded.newestWrite;
}

void LockYear(Connection& connection, int nendo, const QString& what) {
    // An update of the row, not a read: under "no waiting on locks" a second save
    // meets the first one's lock at once.
    try {
        connection.Execute(u"update NENDO set NENDO = NENDO where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}});
    } catch (const Error& e) {
        if (!e.IsLockConflict())
            throw;
        throw EAppError(u"他のコンピュータまたは他の画面がこの年度の"_s + what +
                        u"を保存しています。\r\n"
                        u"しばらく待ってから、もう一度保存してください。"_s);
    }
    // Asked under the lock: a close commits only while no save holds the row.
    RefuseClosedYear(connection, nendo);
}

void BeginYearSave(Connection& connection, int nendo, const QString& what, WorkKeyClaim& claim,
                   const SavedRows& rows, const YearStamp& loaded,
                   const std::function<bool()>& confirmOverwrite) {
    LockYear(connection, nendo, what);
    claim.Confirm();
    if (SavedSince(connection, rows, loaded) && !confirmOverwrite())
        throw EAbort();
}

YearStamp SaveYearRows(Connection& connection, int nendo, const QString& what, WorkKeyClaim& claim,
                       const SavedRows& rows, const YearStamp& loaded,
                       const std::function<bool()>& confirmOverwrite, const std::function<void()>& replace) {
    BeginYearSave(connection, nendo, what, claim, rows, loaded, confirmOverwrite);
    replace();
    return StampOf(connection, rows);
}

}  // namespace db
