#include "db/YearQueries.h"

namespace db {

QString DivisionsOfYearSql(const QString& codeAlias) {
    return QStringLiteral("select CD as ") + codeAlias +
           QStringLiteral(
               ", MEISYO, KAISI_NENDO from KAIKEI_KUBUN "
               "where (coalesce(KAISI_NENDO, 0) <= :KAISI_NENDO) and (coalesce(SYURYO_NENDO, 9999) >= "
               ":SYURYO_NENDO) order by CD");
}

QString OpeningBalanceSql() {
    return QStringLiteral(
        "select sum(case when B.SYUSI_KUBUN = 1 then T.KINGAKU else -T.KINGAKU end) as KURIKOSI "
        "from (select KAIKEI_KUBUN, KAMOKU, YOSAN as KINGAKU from YOSAN where (NENDO = :Nendo) and (KAMOKU = "
        "100) "
        "union select KAIKEI_KUBUN, KAMOKU, KURIKOSI as KINGAKU from KURIKOSI where (NENDO = :Nendo)) T "
        "inner join KAMOKU K on (K.CD = T.KAMOKU) inner join BUNRUI B on (B.CD = K.BUNRUI) "
        "where (T.KAIKEI_KUBUN = :KAIKEI_KUBUN)");
}

}  // namespace db
