#include "journal/JournalYear.h"

#include "core/Errors.h"
#include "db/Error.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const char16_t kSavedYearStampSql[] =
    u"select count(*) as N, max(RDB$RECORD_VERSION) as V from MEISAI where (NENDO = :Nendo)";
const char16_t kSavedLineProbeSql[] =
    u"select first 1 RDB$RECORD_VERSION as V from MEISAI where (NENDO = :Nendo)";

const char16_t kCopyYearSql[] =
    u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, "
    u"KAMOKU, SYUNYU, SISYUTSU) "
    u"select :CPU_NAME, :JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, substring(HIZUKE from 5 for 4), AITE, "
    u"TEKIYO, KAMOKU, SYUNYU, SISYUTSU from MEISAI where (NENDO = :Nendo)";

// An update of the row, not a read: under "no waiting on locks" a second save
// meets the first one's lock at once.
const char16_t kLockYearSql[] = u"update NENDO set NENDO = NENDO where (NENDO = :Nendo)";

const char16_t kDeleteMeisaiSql[] = u"delete from MEISAI where (NENDO= :Nendo)";

const char16_t kSaveMeisaiSql[] =
    u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
    u"select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)";

QString Sql(const char16_t* text) {
    return QString::fromUtf16(text);
}

db::Connection::Params KeyParams(const db::WorkKey& key, int nendo) {
    return {{u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}, {u"Nendo"_s, nendo}};
}

void LockYear(db::Connection& connection, int nendo) {
    try {
        connection.Execute(Sql(kLockYearSql), {{u"Nendo"_s, nendo}});
    } catch (const db::Error& e) {
        if (!e.IsLockConflict())
            throw;
        throw EAppError(u"他のコンピュータまたは他の画面がこの年度の明細を保存しています。\r\n"
                        u"しばらく待ってから、もう一度保存してください。"_s);
    }
}

}  // namespace

YearStamp SavedYearStamp(db::Connection& connection, int nendo) {
    const auto rows = connection.Select(Sql(kSavedYearStampSql), {{u"Nendo"_s, nendo}}).rows;
    return {rows.at(0).at(0).AsInteger(), rows.at(0).at(1).AsInteger()};
}

void CopyYearToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key) {
    connection.Execute(Sql(kCopyYearSql), KeyParams(key, nendo));
}

bool SavedSince(db::Connection& connection, int nendo, const YearStamp& loaded) {
    // A save rewrites all of a year's lines in one transaction, so one line tells:
    // written after the load, it carries a newer transaction than any the load saw.
    const auto probe = connection.Select(Sql(kSavedLineProbeSql), {{u"Nendo"_s, nendo}}).rows;
    if (probe.empty())
        return loaded.lines > 0;
    return probe.front().front().AsInteger() > loaded.newestWrite;
}

YearStamp SaveYear(db::Connection& connection, int nendo, db::WorkKeyClaim& claim, const YearStamp& loaded,
                   const std::function<bool()>& confirmOverwrite) {
    LockYear(connection, nendo);
    claim.Confirm();
    if (SavedSince(connection, nendo, loaded) && !confirmOverwrite())
        throw EAbort();
    connection.Execute(Sql(kDeleteMeisaiSql), {{u"Nendo"_s, nendo}});
    const int written = connection.Execute(Sql(kSaveMeisaiSql), KeyParams(claim.Key(), nendo));
    // Once committed, the year holds exactly what this save wrote.
    const qint64 transaction =
        connection.Select(u"select current_transaction from RDB$DATABASE"_s).rows.at(0).at(0).AsInteger();
    return written == 0 ? YearStamp{} : YearStamp{written, transaction};
}
