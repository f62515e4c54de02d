#include "journal/JournalYear.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const char16_t kCopyYearSql[] =
    u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, "
    u"KAMOKU, SYUNYU, SISYUTSU) "
    u"select :CPU_NAME, :JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, substring(HIZUKE from 5 for 4), AITE, "
    u"TEKIYO, KAMOKU, SYUNYU, SISYUTSU from MEISAI where (NENDO = :Nendo)";

const char16_t kDeleteMeisaiSql[] = u"delete from MEISAI where (NENDO= :Nendo)";

const char16_t kSaveMeisaiSql[] =
    u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU) "
    u"select SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)";

QString Sql(const char16_t* text) {
    return QString::fromUtf16(text);
}

db::SavedRows YearLines(int nendo) {
    return {u"MEISAI"_s, u"(NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}}};
}

db::Connection::Params KeyParams(const db::WorkKey& key, int nendo) {
    return {{u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}, {u"Nendo"_s, nendo}};
}

}  // namespace

YearStamp SavedYearStamp(db::Connection& connection, int nendo) {
    return db::StampOf(connection, YearLines(nendo));
}

void CopyYearToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key) {
    connection.Execute(Sql(kCopyYearSql), KeyParams(key, nendo));
}

bool SavedSince(db::Connection& connection, int nendo, const YearStamp& loaded) {
    return db::SavedSince(connection, YearLines(nendo), loaded);
}

YearStamp SaveYear(db::Connection& connection, int nendo, db::WorkKeyClaim& claim, const YearStamp& loaded,
                   const std::function<bool()>& confirmOverwrite) {
    db::BeginYearSave(connection, nendo, u"明細"_s, claim, YearLines(nendo), loaded, confirmOverwrite);
    connection.Execute(Sql(kDeleteMeisaiSql), {{u"Nendo"_s, nendo}});
    const int written = connection.Execute(Sql(kSaveMeisaiSql), KeyParams(claim.Key(), nendo));
    // Once committed, the year holds exactly what this save wrote.
    const qint64 transaction =
        connection.Select(u"select current_transaction from RDB$DATABASE"_s).rows.at(0).at(0).AsInteger();
    return written == 0 ? YearStamp{} : YearStamp{written, transaction};
}

qint64 UnsavedDuesLines(db::Connection& connection, const db::WorkKey& key) {
    return connection
        .Select(
            u"select count(distinct W.SEQ_NO) from W_MEISAI W where (W.CPU_NAME = :CPU_NAME) and "
            u"(W.JIKOKU = :JIKOKU) and (W.KOUSIN_FLAG is not null) and exists (select 1 from KAIHI_NOUFU N "
            u"where (N.SEQ_NO = W.SEQ_NO)) and not exists (select 1 from MEISAI M where (M.SEQ_NO = "
            u"W.SEQ_NO))"_s,
            {{u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}})
        .rows.at(0)
        .at(0)
        .AsInteger();
}
