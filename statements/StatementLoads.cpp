#include "statements/StatementLoads.h"

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "data/DataSetOperation.h"
#include "data/SqlCommand.h"
#include "db/Transaction.h"
#include "statements/KessanRules.h"
#include "statements/StatementRules.h"
#include "statements/YosanRules.h"

#include <map>

using namespace Qt::Literals::StringLiterals;

namespace statements {

namespace {

const char16_t kKamokuSql[] =
    u"select coalesce(K.TOKUBETSU_CD, 0) as KAIKEI_KUBUN, B.SYUSI_KUBUN, K.BUNRUI, B.MEISYO as BUNRUIMEI, "
    u"B.JUNJYO as BUNRUI_JUNJYO, K.CD as KAMOKU, K.MEISYO as KAMOKUMEI, K.JUNJYO as KAMOKU_JUNJYO, "
    u"K.KAISI_NENDO, K.SYURYO_NENDO from KAMOKU K left join BUNRUI B on (B.CD = K.BUNRUI) "
    u"where (B.KESSANSYO_KUBUN = 1) "
    u"order by K.TOKUBETSU_CD, B.SYUSI_KUBUN, B.JUNJYO, K.BUNRUI, K.JUNJYO, K.CD";

// The year's saved budget into the work rows, with the item's facts beside each line.
const char16_t kCopyYosanSql[] =
    u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN, "
    u"ZENNEN_KESSAN, TEKIYO, SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) "
    u"select :CPU_NAME, :JIKOKU, Y.NENDO, Y.KAIKEI_KUBUN, Y.KAMOKU, Y.JUNJYO, Y.YOSAN, Y.ZENNEN_YOSAN, "
    u"Y.ZENNEN_KESSAN, Y.TEKIYO, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO, K.JUNJYO "
    u"from YOSAN Y left join KAMOKU K on (K.CD = Y.KAMOKU) left join BUNRUI B on (B.CD = K.BUNRUI) "
    u"where (Y.NENDO = :Nendo)";

// The saved lines with the item's facts beside each (a line whose item is gone
// keeps empty facts). %1 is the lines' table, %2 the load's condition on it.
const char16_t kSavedLinesSql[] =
    u"select W.KAIKEI_KUBUN, W.KAMOKU, W.JUNJYO, W.TEKIYO, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO as "
    u"BUNRUI_JUNJYO, "
    u"K.JUNJYO as KAMOKU_JUNJYO from %1 W left join KAMOKU K on (K.CD = W.KAMOKU) "
    u"left join BUNRUI B on (B.CD = K.BUNRUI) where %2";

const char16_t kYosanSql[] =
    u"select Y.KAIKEI_KUBUN, Y.KAMOKU, Y.YOSAN from YOSAN Y left join KAMOKU K on (K.CD = Y.KAMOKU) "
    u"left join BUNRUI B on (B.CD = K.BUNRUI) "
    u"where (Y.NENDO = :Nendo) and (not ((Y.YOSAN is null) and (K.CD is null) and (B.CD is null)))";

// 64-bit sums: a year's total on one item may pass what one amount holds, and is
// then refused rather than cut.
const char16_t kMeisaiSql[] =
    u"select M.KAIKEI_KUBUN, M.KAMOKU, cast(sum(M.SYUNYU) as bigint) as SYUNYU, "
    u"cast(sum(M.SISYUTSU) as bigint) as SISYUTSU from MEISAI M left join KAMOKU K on (K.CD = M.KAMOKU) "
    u"left join BUNRUI B on (B.CD = K.BUNRUI) where (M.NENDO = :Nendo) and (B.KESSANSYO_KUBUN = 1)%1 "
    u"group by M.KAIKEI_KUBUN, M.KAMOKU order by M.KAIKEI_KUBUN, M.KAMOKU";

const char16_t kHoseiSql[] =
    u"select HOSEI_NO, KAIKEI_KUBUN, KAMOKU, HOSEI from YOSAN_HOSEI_GAKU where (NENDO = :Nendo)";

const char16_t kCopyHoseiSql[] =
    u"update W_YOSAN W set "
    u"HOSEI_ZEN = (select sum(H.HOSEI) from YOSAN_HOSEI_GAKU H where (H.NENDO = :Nendo) and (H.HOSEI_NO < "
    u":HoseiNo) and (H.KAIKEI_KUBUN = W.KAIKEI_KUBUN) and (H.KAMOKU = W.KAMOKU)), "
    u"KONKAI_HOSEI = (select H.HOSEI from YOSAN_HOSEI_GAKU H where (H.NENDO = :Nendo) and (H.HOSEI_NO = "
    u":HoseiNo) and (H.KAIKEI_KUBUN = W.KAIKEI_KUBUN) and (H.KAMOKU = W.KAMOKU)) "
    u"where (W.CPU_NAME = :CPU_NAME) and (W.JIKOKU = :JIKOKU)";

const char16_t kHoseiSumSql[] =
    u"update W_YOSAN set HOSEI = case when (HOSEI_ZEN is null) and (KONKAI_HOSEI is null) then null "
    u"else coalesce(HOSEI_ZEN, 0) + coalesce(KONKAI_HOSEI, 0) end "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)";

const char16_t kHoseigoSql[] =
    u"update W_YOSAN set HOSEIGO = case when (YOSAN is null) and (HOSEI is null) then null "
    u"else coalesce(YOSAN, 0) + coalesce(HOSEI, 0) end "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)";

const char16_t kInsertWorkSql[] =
    u"insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO, SYUSI_KUBUN, "
    u"BUNRUI, "
    u"BUNRUI_JUNJYO, KAMOKU_JUNJYO, KESSAN, YOSAN) values (:CPU_NAME, :JIKOKU, :NENDO, :KAIKEI_KUBUN, "
    u":KAMOKU, "
    u":JUNJYO, :TEKIYO, :SYUSI_KUBUN, :BUNRUI, :BUNRUI_JUNJYO, :KAMOKU_JUNJYO, :KESSAN, :YOSAN)";

// Beside the amended budget, the amendments' sum of each line (the statements of
// the amended budget print the original as what the amendments leave of it).
const char16_t kKessanHoseiSql[] =
    u"update W_KESSAN W set HOSEI = (select sum(H.HOSEI) from YOSAN_HOSEI_GAKU H where (H.NENDO = :Nendo) "
    u"and (H.KAIKEI_KUBUN = W.KAIKEI_KUBUN) and (H.KAMOKU = W.KAMOKU)) "
    u"where (W.CPU_NAME = :CPU_NAME) and (W.JIKOKU = :JIKOKU)";

QString Sql(const char16_t* text) {
    return QString::fromUtf16(text);
}

// The user's part of a saved line and the item's facts it was read with.
struct SavedPart {
    db::Value junjyo = 99, tekiyo, syusiKubun, bunrui, bunruiJunjyo, kamokuJunjyo;
};

}  // namespace

QString StatementKamokuSql() {
    return Sql(kKamokuSql);
}

HoseiLoad CopyHoseiToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key) {
    HoseiLoad load;
    for (const auto& r : connection
                             .Select(u"select HOSEI_NO, SYONIN_BI from YOSAN_HOSEI where (NENDO = :Nendo) "
                                     u"order by HOSEI_NO"_s,
                                     {{u"Nendo"_s, nendo}})
                             .rows) {
        load.hoseiNos.push_back(IntOf(r[0]));
        load.syoninBi = r[1].AsString();
    }
    const int latest = load.hoseiNos.empty() ? 0 : load.hoseiNos.back();
    connection.Execute(Sql(kCopyHoseiSql), {{u"Nendo"_s, nendo},
                                            {u"HoseiNo"_s, latest},
                                            {u"CPU_NAME"_s, key.cpuName},
                                            {u"JIKOKU"_s, key.jikoku}});
    RefreshHoseiColumns(connection, key);
    return load;
}

void RefreshHoseiColumns(db::Connection& connection, const db::WorkKey& key) {
    const db::Connection::Params params{{u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}};
    // One statement each: an update's expressions read the row as it was.
    connection.Execute(Sql(kHoseiSumSql), params);
    connection.Execute(Sql(kHoseigoSql), params);
}

HoseiSums ReadHoseiSums(db::Connection& connection, int nendo) {
    std::vector<HoseiGaku> amounts;
    for (const auto& r : connection.Select(Sql(kHoseiSql), {{u"Nendo"_s, nendo}}).rows)
        amounts.push_back({IntOf(r[0]), IntOf(r[1]), IntOf(r[2]), AmountOf(r[3])});
    return SumHosei(amounts);
}

void CopyYosanToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key) {
    data::SqlCommand CopySQL(u"W_YOSAN"_s, &connection);
    CopySQL.SetCommandText(Sql(kCopyYosanSql));
    CopySQL.SetParam(u"CPU_NAME"_s, key.cpuName);
    CopySQL.SetParam(u"JIKOKU"_s, key.jikoku);
    CopySQL.SetParam(u"Nendo"_s, nendo);
    data::DsExecSQL(CopySQL);
}

QString NoBudgetNote(int nendo) {
    return QString::number(nendo) + u"年度の予算データが登録されていません。予算額の欄は空欄で出力します。"_s;
}

bool SettleToWorkRows(db::Connection& connection, int nendo, const QString& simebi, const db::WorkKey& key,
                      const data::DataSet& kamokuList) {
    const bool interim = !simebi.isEmpty();
    db::Connection::Params params{{u"Nendo"_s, nendo}};
    if (interim)
        params.emplace_back(u"Simebi"_s, simebi);
    const auto kamokuValue = [&kamokuList](int kamoku, const QString& column) -> std::optional<db::Value> {
        if (!kamokuList.Active())
            return std::nullopt;
        return kamokuList.Lookup(u"KAMOKU"_s, {kamoku}, column);
    };

    // The saved lines: the user's part of each, and the item facts as they stand.
    std::vector<KessanWorkRow> rows;
    std::map<std::pair<int, int>, SavedPart> saved;
    const QString savedSql =
        Sql(kSavedLinesSql)
            .arg(interim ? u"CYUKAN_KESSAN"_s : u"KESSAN"_s,
                 interim ? u"(NENDO = :Nendo) and (SIMEBI = :Simebi)"_s : u"(NENDO = :Nendo)"_s);
    for (const auto& r : connection.Select(savedSql, params).rows) {
        const int division = IntOf(r[0]);
        const int kamoku = IntOf(r[1]);
        rows.push_back({division, kamoku, IntOf(r[4]), std::nullopt, std::nullopt, false});
        saved[{division, kamoku}] = {r[2], r[3], r[4], r[5], r[6], r[7]};
    }
    std::vector<KessanYosanRow> yosan;
    for (const auto& r : connection.Select(Sql(kYosanSql), params).rows)
        yosan.push_back({IntOf(r[0]), IntOf(r[1]), AmountOf(r[2])});
    yosan = AmendedBudget(std::move(yosan), ReadHoseiSums(connection, nendo));
    const bool hasBudget = !yosan.empty();
    std::vector<KessanMeisaiSum> meisai;
    for (const auto& r :
         connection.Select(Sql(kMeisaiSql).arg(interim ? u" and (M.HIZUKE <= :Simebi)"_s : QString()), params)
             .rows)
        meisai.push_back({IntOf(r[0]), IntOf(r[1]), AmountOf(r[2]), AmountOf(r[3])});

    const KessanAmounts result =
        SettleYear(std::move(rows), yosan, meisai, [&](int kamoku) -> std::optional<int> {
            if (!kamokuValue(kamoku, u"KAMOKU"_s))
                return std::nullopt;
            return IntOf(kamokuValue(kamoku, u"SYUSI_KUBUN"_s).value_or(db::Value()));
        });
    if (!result.error.isEmpty())
        throw EAppError(result.error);

    // Every line written in one transaction, through one prepared statement.
    data::SqlCommand insert(u"W_KESSAN"_s, &connection);
    insert.SetCommandText(Sql(kInsertWorkSql));
    try {
        db::InOneTransaction(connection, [&] {
            for (const KessanWorkRow& row : result.rows) {
                SavedPart part;
                if (row.added) {
                    const auto fact = [&](const QString& name) {
                        return kamokuValue(row.kamoku, name).value_or(db::Value());
                    };
                    part = {99,
                            {},
                            fact(u"SYUSI_KUBUN"_s),
                            fact(u"BUNRUI"_s),
                            fact(u"BUNRUI_JUNJYO"_s),
                            fact(u"KAMOKU_JUNJYO"_s)};
                } else {
                    part = saved[{row.kaikeiKubun, row.kamoku}];
                }
                insert.SetParam(u"CPU_NAME"_s, key.cpuName);
                insert.SetParam(u"JIKOKU"_s, key.jikoku);
                insert.SetParam(u"NENDO"_s, nendo);
                insert.SetParam(u"KAIKEI_KUBUN"_s, row.kaikeiKubun);
                insert.SetParam(u"KAMOKU"_s, row.kamoku);
                insert.SetParam(u"JUNJYO"_s, part.junjyo);
                insert.SetParam(u"TEKIYO"_s, part.tekiyo);
                insert.SetParam(u"SYUSI_KUBUN"_s, part.syusiKubun);
                insert.SetParam(u"BUNRUI"_s, part.bunrui);
                insert.SetParam(u"BUNRUI_JUNJYO"_s, part.bunruiJunjyo);
                insert.SetParam(u"KAMOKU_JUNJYO"_s, part.kamokuJunjyo);
                insert.SetParam(u"KESSAN"_s, StoredAmount(row.kessan, row.kamoku));
                insert.SetParam(u"YOSAN"_s, StoredAmount(row.yosan, row.kamoku));
                insert.Execute();
            }
            connection.Execute(
                Sql(kKessanHoseiSql),
                {{u"Nendo"_s, nendo}, {u"CPU_NAME"_s, key.cpuName}, {u"JIKOKU"_s, key.jikoku}});
        });
    } catch (const EAppError&) {
        throw;
    } catch (const std::exception& e) {
        throw EAppError(u"更新を失敗しました。\r\n"_s + ErrorMessageOf(e));
    }
    return hasBudget;
}

void FillYosanDefaultTexts(data::DataSet& row, int nendo, const QString& dantai) {
    if (!row.FieldByName(u"YOSAN_COMMENT_KUBUN"_s).IsNull())
        return;
    const int kisyubi = row.FieldByName(u"KISYUBI"_s).AsString().toInt();
    const int nengoKubun = IntOf(row.FieldByName(u"NENGO_KUBUN"_s).Value());
    const YosanTexts texts = YosanDefaultTexts(nendo, kisyubi, nengoKubun);
    data::DsEdit(row);
    row.FieldByName(u"YOSAN_COMMENT"_s).SetValue(texts.comment);
    row.FieldByName(u"YOSAN_HIZUKE"_s).SetValue(texts.hizuke);
    row.FieldByName(u"YOSAN_SYOMEI"_s).SetValue(dantai);
    row.FieldByName(u"YOSAN_COMMENT_KUBUN"_s).SetValue(1);
}

void FillKessanDefaultTexts(data::DataSet& row, int nendo, const QString& simebi, const QString& dantai) {
    if (!row.FieldByName(u"KESSAN_SYOMEI_KUBUN1"_s).IsNull())
        return;
    data::DsEdit(row);
    SetKessanTexts(row, nendo, simebi, dantai);
}

void SetKessanTexts(data::DataSet& row, int nendo, const QString& simebi, const QString& dantai) {
    const int nengoKubun = IntOf(row.FieldByName(u"NENGO_KUBUN"_s).Value());
    const KessanTexts texts = simebi.isEmpty()
                                  ? KessanDefaultTexts(nendo, row.FieldByName(u"KISYUBI"_s).AsString(),
                                                       row.FieldByName(u"KIMATSUBI"_s).AsString(), nengoKubun)
                                  : CyukanKessanDefaultTexts(simebi, nengoKubun);
    const auto set = [&row](const QString& name, const db::Value& v) { row.FieldByName(name).SetValue(v); };
    const auto named = [&row](const QString& name) {
        return TrimZen(row.FieldByName(name).AsString()).isEmpty() ? 0 : 1;
    };
    set(u"KESSAN_COMMENT"_s, texts.comment);
    set(u"KESSAN_HIZUKE"_s, texts.hizuke);
    set(u"KANSA_HIZUKE"_s, texts.kansaHizuke);
    set(u"KESSAN_SYOMEI"_s, dantai);
    set(u"KESSAN_SYOMEI_KUBUN1"_s, 1);
    set(u"KESSAN_SYOMEI_KUBUN2"_s, 1);
    set(u"KESSAN_SYOMEI_KUBUN3"_s, named(u"KAIKEI2"_s));
    set(u"KANSA_COMMENT"_s, kKansaComment);
    set(u"KANSA_SYOMEI_KUBUN1"_s, 1);
    set(u"KANSA_SYOMEI_KUBUN2"_s, named(u"KANSA2"_s));
}

void StartCyukanTextsRow(data::DataSet& row, db::Connection& connection, int nendo, const QString& simebi) {
    if (!row.IsEmpty())
        return;
    // A new closing date starts from the year's texts and officers.
    const auto year =
        connection.Select(u"select * from NENDO where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}});
    if (year.rows.empty())
        throw EAppError(QString::number(nendo) + u"年度の基礎データが設定されていません。"_s);
    data::DsAppend(row);
    for (std::size_t i = 0; i < year.columns.size(); ++i)
        if (data::Field* field = row.FindField(year.columns[i].name))
            field->SetComputedValue(year.rows.front()[i]);
    row.FieldByName(u"SIMEBI"_s).SetComputedValue(simebi);
    row.FieldByName(u"KESSAN_SYOMEI_KUBUN1"_s).SetComputedValue(db::Value());
    data::DsPost(row);
}

}  // namespace statements
