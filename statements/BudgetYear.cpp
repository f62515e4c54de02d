#include "statements/BudgetYear.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const char16_t kSaveYosanSql[] =
    u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN, ZENNEN_KESSAN, TEKIYO) "
    u"select NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN, ZENNEN_KESSAN, TEKIYO from W_YOSAN "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)";

const char16_t kSaveKurikosiSql[] =
    u"insert into KURIKOSI ( NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI ) "
    u"values ( :NENDO, :KAIKEI_KUBUN, :KAMOKU, :KURIKOSI )";

const char16_t kSaveHoseiSql[] =
    u"insert into YOSAN_HOSEI_GAKU (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU, HOSEI) "
    u"select NENDO, :HoseiNo, KAIKEI_KUBUN, KAMOKU, KONKAI_HOSEI from W_YOSAN "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KONKAI_HOSEI <> 0)";

}  // namespace

void ReplaceHosei(db::Connection& connection, int nendo, int hoseiNo, const QString& syoninBi,
                  const db::WorkKey& key) {
    const db::Connection::Params which{{u"Nendo"_s, nendo}, {u"HoseiNo"_s, hoseiNo}};
    connection.Execute(u"delete from YOSAN_HOSEI_GAKU where (NENDO = :Nendo) and (HOSEI_NO = :HoseiNo)"_s,
                       which);
    connection.Execute(u"delete from YOSAN_HOSEI where (NENDO = :Nendo) and (HOSEI_NO = :HoseiNo)"_s, which);
    connection.Execute(
        u"insert into YOSAN_HOSEI (NENDO, HOSEI_NO, SYONIN_BI) values (:Nendo, :HoseiNo, :SyoninBi)"_s,
        {{u"Nendo"_s, nendo}, {u"HoseiNo"_s, hoseiNo}, {u"SyoninBi"_s, syoninBi}});
    connection.Execute(QString::fromUtf16(kSaveHoseiSql),
                       {{u"HoseiNo"_s, hoseiNo}, {u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}});
}

void DeleteHosei(db::Connection& connection, int nendo) {
    connection.Execute(u"delete from YOSAN_HOSEI_GAKU where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}});
    connection.Execute(u"delete from YOSAN_HOSEI where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}});
}

void ReplaceBudgetYear(db::Connection& connection, int nendo, const db::WorkKey* key,
                       const std::vector<KurikosiAmount>& kurikosi) {
    connection.Execute(u"delete from KURIKOSI where (NENDO= :Nendo)"_s, {{u"Nendo"_s, nendo}});
    connection.Execute(u"delete from YOSAN where (NENDO= :Nendo)"_s, {{u"Nendo"_s, nendo}});
    if (!key)
        return;
    for (const KurikosiAmount& amount : kurikosi) {
        if (amount.kurikosi.IsNull() || amount.kurikosi.AsInteger() == 0)
            continue;
        connection.Execute(QString::fromUtf16(kSaveKurikosiSql), {{u"NENDO"_s, nendo},
                                                                  {u"KAIKEI_KUBUN"_s, amount.kaikeiKubun},
                                                                  {u"KAMOKU"_s, amount.kamoku},
                                                                  {u"KURIKOSI"_s, amount.kurikosi}});
    }
    connection.Execute(QString::fromUtf16(kSaveYosanSql),
                       {{u"CPU_NAME"_s, key->cpuName}, {u"JIKOKU"_s, key->jikoku}});
}
