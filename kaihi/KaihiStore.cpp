#include "kaihi/KaihiStore.h"

#include "core/Errors.h"
#include "db/Transaction.h"
#include "db/WorkKeys.h"
#include "db/YearSave.h"

#include <algorithm>
#include <limits>
#include <map>

using namespace Qt::Literals::StringLiterals;

namespace {

QDate DateOf(const db::Value& value) {
    return value.IsNull() ? QDate() : QDate::fromString(value.AsString(), u"yyyyMMdd"_s);
}

QString Ymd(const QDate& date) {
    return date.toString(u"yyyyMMdd"_s);
}

QDate MonthOf(const db::Value& yyyymm) {
    return QDate::fromString(yyyymm.AsString() + u"01"_s, u"yyyyMMdd"_s);
}

// The months a payment covers, as '1' at the place of each calendar month.
QString TsukiFlags(const std::vector<QDate>& months) {
    QString flags(12, u'0');
    for (const QDate& month : months)
        flags[month.month() - 1] = u'1';
    return flags;
}

std::vector<QDate> MonthsOf(const QString& flags, const std::vector<QDate>& nendoMonths) {
    std::vector<QDate> months;
    for (const QDate& month : nendoMonths)
        if (flags.size() == 12 && flags[month.month() - 1] == u'1')
            months.push_back(month);
    return months;
}

struct NendoSpan {
    QDate kisyubi, kimatsubi;
};

NendoSpan SpanOf(db::Connection& connection, int nendo) {
    const auto rows = connection.Select(u"select KISYUBI, KIMATSUBI from NENDO where (NENDO = :NENDO)"_s,
                                        {{u"NENDO"_s, nendo}});
    const NendoSpan span =
        rows.rows.empty() ? NendoSpan{} : NendoSpan{DateOf(rows.rows[0][0]), DateOf(rows.rows[0][1])};
    if (!span.kisyubi.isValid() || !span.kimatsubi.isValid())
        throw EAppError(u"%1年度が登録されていません。"_s.arg(nendo));
    return span;
}

std::vector<KaihiSyurui> LoadSyurui(db::Connection& connection, int nendo) {
    std::vector<KaihiSyurui> syurui;
    for (const auto& r : connection
                             .Select(u"select SYURUI_CD, MEISYO, TSUKI_KUBUN, KINGAKU, KAIKEI_KUBUN, KAMOKU "
                                     u"from KAIHI_SYURUI where (NENDO = :NENDO) order by SYURUI_CD"_s,
                                     {{u"NENDO"_s, nendo}})
                             .rows)
        syurui.push_back({static_cast<int>(r[0].AsInteger()), r[1].AsString(), r[2].AsInteger() == 1,
                          r[3].AsInteger(), static_cast<int>(r[4].AsInteger()),
                          static_cast<int>(r[5].AsInteger())});
    return syurui;
}

// The first fault of a payment, in the order the user would fix them.
std::optional<QString> FaultOf(const KaihiNoufu& noufu, const NendoSpan& span,
                               const std::vector<KaihiSyurui>& syurui, const KaihiMeibo& meibo) {
    const auto kind = std::find_if(syurui.begin(), syurui.end(),
                                   [&](const KaihiSyurui& s) { return s.syuruiCd == noufu.syuruiCd; });
    if (!noufu.hizuke.isValid() || noufu.hizuke < span.kisyubi || noufu.hizuke > span.kimatsubi)
        return u"納付日が年度の範囲外です。"_s;
    if (kind == syurui.end())
        return u"この年度に登録されていない会費の種別です。"_s;
    if (std::none_of(meibo.setai.begin(), meibo.setai.end(),
                     [&](const SetaiMembership& s) { return s.setaiCd == noufu.setaiCd; }))
        return u"登録されていない世帯です。"_s;
    if (noufu.viaHanCd != 0 && std::none_of(meibo.han.begin(), meibo.han.end(),
                                            [&](const KaihiHan& h) { return h.hanCd == noufu.viaHanCd; }))
        return u"登録されていない班です。"_s;
    if (noufu.kingaku <= 0 || noufu.kingaku > std::numeric_limits<int>::max())
        return u"金額は1円以上、2,147,483,647円以下で入力してください。"_s;
    if (kind->perMonth) {
        const QDate first(span.kisyubi.year(), span.kisyubi.month(), 1);
        if (noufu.months.empty())
            return u"月額の会費は納付する月を選んでください。"_s;
        for (const QDate& month : noufu.months)
            if (month < first || month > span.kimatsubi)
                return u"納付する月が年度の範囲外です。"_s;
    }
    return std::nullopt;
}

// Lines are written behind no journal window's back but the one told of them:
// `journalLoad`, which must still hold the year.
void RefuseOtherJournals(db::Connection& connection, int nendo,
                         const std::optional<db::WorkKey>& journalLoad) {
    const std::vector<QString> open = db::OpenLoads(connection, u"W_MEISAI"_s, nendo, journalLoad);
    if (!open.empty())
        throw EAppError(
            u"コンピュータ %1 の仕訳入力画面がこの年度を開いています。\r\n"
            u"仕訳入力画面を保存して閉じてから、もう一度保存してください。"_s.arg(open.front()));
    if (journalLoad &&
        connection
                .Select(u"select count(*) from W_KEY where (CPU_NAME = :CPU_NAME) and "
                        u"(JIKOKU = :JIKOKU) and (WORK_TABLE = 'W_MEISAI') and (NENDO = :NENDO)"_s,
                        {{u"CPU_NAME"_s, journalLoad->cpuName},
                         {u"JIKOKU"_s, journalLoad->jikoku},
                         {u"NENDO"_s, nendo}})
                .rows.at(0)
                .at(0)
                .AsInteger() == 0)
        throw EAppError(
            u"収支明細入力の画面が%1年度を読み込んでいません。\r\n"
            u"収支明細入力で年度を読み込み直してから、もう一度保存してください。"_s.arg(nendo));
}

// A dues line under `seqNo`: saved, or an unsaved line of the journal window's load
// (KOUSIN_FLAG 2, as a typed line) that its save checks and writes.
void WriteJournalLine(db::Connection& connection, int nendo, int seqNo, const KaihiJournalLine& line,
                      const std::optional<db::WorkKey>& journalLoad) {
    db::Connection::Params params{{u"SEQ_NO"_s, seqNo},       {u"KAIKEI_KUBUN"_s, line.kaikeiKubun},
                                  {u"NENDO"_s, nendo},        {u"HIZUKE"_s, Ymd(line.hizuke)},
                                  {u"AITE"_s, line.aite},     {u"TEKIYO"_s, line.tekiyo},
                                  {u"KAMOKU"_s, line.kamoku}, {u"SYUNYU"_s, line.kingaku}};
    if (!journalLoad) {
        connection.Execute(
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, "
            u"SYUNYU) values (:SEQ_NO, :KAIKEI_KUBUN, :NENDO, :HIZUKE, :AITE, :TEKIYO, :KAMOKU, "
            u":SYUNYU)"_s,
            params);
        return;
    }
    params.emplace_back(u"CPU_NAME"_s, journalLoad->cpuName);
    params.emplace_back(u"JIKOKU"_s, journalLoad->jikoku);
    params.emplace_back(u"MMDD"_s, line.hizuke.toString(u"MMdd"_s));
    connection.Execute(
        u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, "
        u"KAMOKU, SYUNYU, KOUSIN_FLAG) values (:CPU_NAME, :JIKOKU, :SEQ_NO, :KAIKEI_KUBUN, :NENDO, "
        u":HIZUKE, :MMDD, :AITE, :TEKIYO, :KAMOKU, :SYUNYU, 2)"_s,
        params);
}

std::vector<int> MissingLinesIn(db::Connection& connection, int nendo,
                                const std::optional<db::WorkKey>& journalLoad) {
    db::Connection::Params params{{u"NENDO"_s, nendo}};
    QString journal = u"select 1 from MEISAI M where (M.SEQ_NO = N.SEQ_NO)"_s;
    if (journalLoad) {
        journal =
            u"select 1 from W_MEISAI W where (W.CPU_NAME = :CPU_NAME) and (W.JIKOKU = :JIKOKU) and "
            u"(W.SEQ_NO = N.SEQ_NO)"_s;
        params.emplace_back(u"CPU_NAME"_s, journalLoad->cpuName);
        params.emplace_back(u"JIKOKU"_s, journalLoad->jikoku);
    }
    std::vector<int> seqNos;
    for (const auto& r : connection
                             .Select(u"select distinct N.SEQ_NO from KAIHI_NOUFU N where (N.NENDO = :NENDO) "
                                     u"and (N.SEQ_NO is not null) and not exists ("_s +
                                         journal + u") order by 1"_s,
                                     params)
                             .rows)
        seqNos.push_back(static_cast<int>(r[0].AsInteger()));
    return seqNos;
}

}  // namespace

KaihiMeibo LoadMeibo(db::Connection& connection) {
    KaihiMeibo meibo;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        for (const auto& r :
             connection.Select(u"select HAN_CD, MEISYO, HANCYO from HAN order by JUNJYO, HAN_CD"_s).rows)
            meibo.han.push_back({static_cast<int>(r[0].AsInteger()), r[1].AsString(), r[2].AsString()});
        std::map<int, std::vector<HanZaiseki>> history;
        for (const auto& r :
             connection
                 .Select(u"select SETAI_CD, KAISI_BI, HAN_CD from SETAI_HAN order by SETAI_CD, KAISI_BI"_s)
                 .rows)
            history[static_cast<int>(r[0].AsInteger())].push_back(
                {DateOf(r[1]), static_cast<int>(r[2].AsInteger())});
        for (const auto& r : connection
                                 .Select(u"select SETAI_CD, MEISYO, NYUKAI_BI, TAIKAI_BI from SETAI "
                                         u"order by SETAI_CD"_s)
                                 .rows) {
            const int cd = static_cast<int>(r[0].AsInteger());
            meibo.setai.push_back({cd, DateOf(r[2]), DateOf(r[3]), history[cd]});
            meibo.names.push_back({cd, r[1].AsString()});
        }
    });
    return meibo;
}

KaihiYear LoadKaihiYear(db::Connection& connection, int nendo) {
    KaihiYear year;
    year.nendo = nendo;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        year.kisyubi = SpanOf(connection, nendo).kisyubi;
        const std::vector<QDate> months = NendoMonths(year.kisyubi);
        year.syurui = LoadSyurui(connection, nendo);
        for (const auto& r :
             connection
                 .Select(u"select SETAI_CD, SYURUI_CD, KAISI_TSUKI, SYURYO_TSUKI from KAIHI_MENJYO "
                         u"where (NENDO = :NENDO) order by SETAI_CD, SYURUI_CD, KAISI_TSUKI"_s,
                         {{u"NENDO"_s, nendo}})
                 .rows)
            year.menjyo.push_back({static_cast<int>(r[0].AsInteger()), static_cast<int>(r[1].AsInteger()),
                                   MonthOf(r[2]), MonthOf(r[3])});
        for (const auto& r :
             connection
                 .Select(
                     u"select NOUFU_NO, SETAI_CD, SYURUI_CD, HIZUKE, TSUKI, KINGAKU, HAN_CD from KAIHI_NOUFU "
                     u"where (NENDO = :NENDO) order by HIZUKE, NOUFU_NO"_s,
                     {{u"NENDO"_s, nendo}})
                 .rows) {
            year.noufuNos.push_back(static_cast<int>(r[0].AsInteger()));
            year.noufu.push_back({static_cast<int>(r[1].AsInteger()), static_cast<int>(r[2].AsInteger()),
                                  DateOf(r[3]), MonthsOf(r[4].AsString(), months), r[5].AsInteger(),
                                  static_cast<int>(r[6].AsInteger())});
        }
    });
    return year;
}

std::vector<int> SaveCollection(db::Connection& connection, int nendo,
                                const std::vector<KaihiNoufu>& collection,
                                const std::optional<db::WorkKey>& journalLoad) {
    if (collection.empty())
        throw EAppError(u"保存する納付がありません。"_s);
    const KaihiMeibo meibo = LoadMeibo(connection);
    std::vector<int> seqNos;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        db::LockYear(connection, nendo, u"会費の徴収"_s);
        const NendoSpan span = SpanOf(connection, nendo);
        const std::vector<KaihiSyurui> syurui = LoadSyurui(connection, nendo);
        for (const KaihiNoufu& noufu : collection)
            if (const auto fault = FaultOf(noufu, span, syurui, meibo))
                throw EAppError(*fault);
        RefuseOtherJournals(connection, nendo, journalLoad);

        const KaihiJournal journal = JournalLinesOf(collection, syurui, meibo.han, meibo.names);
        const std::vector<KaihiJournalLine>& lines = journal.lines;
        const int first = db::NextLineNumbers(connection, static_cast<int>(lines.size()));
        for (std::size_t i = 0; i < lines.size(); ++i) {
            seqNos.push_back(first + static_cast<int>(i));
            WriteJournalLine(connection, nendo, seqNos.back(), lines[i], journalLoad);
        }
        // Each payment is tied to the line that books it.
        for (std::size_t p = 0; p < collection.size(); ++p) {
            const KaihiNoufu& noufu = collection[p];
            connection.Execute(
                u"insert into KAIHI_NOUFU (NOUFU_NO, NENDO, SETAI_CD, SYURUI_CD, HIZUKE, TSUKI, KINGAKU, "
                u"HAN_CD, "
                u"SEQ_NO) values (gen_id(SEQ_KAIHI_NOUFU, 1), :NENDO, :SETAI_CD, :SYURUI_CD, :HIZUKE, "
                u":TSUKI, "
                u":KINGAKU, :HAN_CD, :SEQ_NO)"_s,
                {{u"NENDO"_s, nendo},
                 {u"SETAI_CD"_s, noufu.setaiCd},
                 {u"SYURUI_CD"_s, noufu.syuruiCd},
                 {u"HIZUKE"_s, Ymd(noufu.hizuke)},
                 {u"TSUKI"_s, TsukiFlags(noufu.months)},
                 {u"KINGAKU"_s, noufu.kingaku},
                 {u"HAN_CD"_s, noufu.viaHanCd},
                 {u"SEQ_NO"_s, seqNos.at(journal.lineOf.at(p))}});
        }
    });
    return seqNos;
}

std::vector<int> MissingJournalLines(db::Connection& connection, int nendo,
                                     const std::optional<db::WorkKey>& journalLoad) {
    std::vector<int> seqNos;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] { seqNos = MissingLinesIn(connection, nendo, journalLoad); });
    return seqNos;
}

std::vector<int> RemakeJournalLines(db::Connection& connection, int nendo,
                                    const std::optional<db::WorkKey>& journalLoad) {
    const KaihiMeibo meibo = LoadMeibo(connection);
    std::vector<int> made;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        db::LockYear(connection, nendo, u"会費の徴収"_s);
        RefuseOtherJournals(connection, nendo, journalLoad);
        const NendoSpan span = SpanOf(connection, nendo);
        const std::vector<QDate> months = NendoMonths(span.kisyubi);
        const std::vector<KaihiSyurui> syurui = LoadSyurui(connection, nendo);
        for (const int seqNo : MissingLinesIn(connection, nendo, journalLoad)) {
            std::vector<KaihiNoufu> payments;
            for (const auto& r :
                 connection
                     .Select(u"select SETAI_CD, SYURUI_CD, HIZUKE, TSUKI, KINGAKU, HAN_CD from "
                             u"KAIHI_NOUFU where (NENDO = :NENDO) and (SEQ_NO = :SEQ_NO) "
                             u"order by NOUFU_NO"_s,
                             {{u"NENDO"_s, nendo}, {u"SEQ_NO"_s, seqNo}})
                     .rows)
                payments.push_back({static_cast<int>(r[0].AsInteger()), static_cast<int>(r[1].AsInteger()),
                                    DateOf(r[2]), MonthsOf(r[3].AsString(), months), r[4].AsInteger(),
                                    static_cast<int>(r[5].AsInteger())});
            // The payments of one line were grouped into it when saved: they make it again.
            const KaihiJournal journal = JournalLinesOf(payments, syurui, meibo.han, meibo.names);
            if (journal.lines.size() != 1)
                throw EAppError(u"明細番号 %1 の会費の納付から、明細を1行に作り直せません。"_s.arg(seqNo));
            WriteJournalLine(connection, nendo, seqNo, journal.lines.front(), journalLoad);
            made.push_back(seqNo);
        }
    });
    return made;
}

std::vector<int> GiveReceiptNumbers(db::Connection& connection, const std::vector<int>& noufuNos) {
    std::vector<int> numbers;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        for (int noufuNo : noufuNos) {
            connection.Execute(
                u"update KAIHI_NOUFU set RYOSYUSYO_NO = gen_id(SEQ_RYOSYUSYO, 1) "
                u"where (NOUFU_NO = :NOUFU_NO) and (RYOSYUSYO_NO is null)"_s,
                {{u"NOUFU_NO"_s, noufuNo}});
            const auto rows =
                connection.Select(u"select RYOSYUSYO_NO from KAIHI_NOUFU where (NOUFU_NO = :NOUFU_NO)"_s,
                                  {{u"NOUFU_NO"_s, noufuNo}});
            if (rows.rows.empty())
                throw EAppError(u"納付が見つかりません。他のコンピュータで削除された可能性があります。"_s);
            numbers.push_back(static_cast<int>(rows.rows[0][0].AsInteger()));
        }
    });
    return numbers;
}

std::vector<KaihiMismatch> KaihiJournalMismatches(db::Connection& connection, int nendo) {
    std::vector<KaihiMismatch> mismatches;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        for (const auto& r :
             connection
                 .Select(u"select N.SEQ_NO, sum(N.KINGAKU), "
                         u"(select sum(coalesce(M.SYUNYU, 0)) from MEISAI M where (M.SEQ_NO = N.SEQ_NO)) "
                         u"from KAIHI_NOUFU N where (N.NENDO = :NENDO) and (N.SEQ_NO is not null) "
                         u"group by N.SEQ_NO order by N.SEQ_NO"_s,
                         {{u"NENDO"_s, nendo}})
                 .rows) {
            const std::optional<qint64> journal =
                r[2].IsNull() ? std::nullopt : std::optional(r[2].AsInteger());
            if (journal != r[1].AsInteger())
                mismatches.push_back({static_cast<int>(r[0].AsInteger()), r[1].AsInteger(), journal});
        }
    });
    return mismatches;
}

// Not the carry-over and the transfers from the general account: dues are none of those.
std::vector<KaihiKamoku> ReceiptItemsOf(db::Connection& connection, int nendo) {
    std::vector<KaihiKamoku> items;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        for (const auto& r :
             connection
                 .Select(
                     u"select K.CD, K.MEISYO, coalesce(K.TOKUBETSU_CD, 0) from KAMOKU K join BUNRUI B on "
                     u"(B.CD = K.BUNRUI) where (B.SYUSI_KUBUN = 1) and (coalesce(K.KAISI_NENDO, 0) <= "
                     u":NENDO) "
                     u"and (coalesce(nullif(K.SYURYO_NENDO, 0), 9999) >= :NENDO) and (B.CD not in (1, 30)) "
                     u"order by B.JUNJYO, B.CD, K.JUNJYO, K.CD"_s,
                     {{u"NENDO"_s, nendo}})
                 .rows)
            items.push_back(
                {static_cast<int>(r[0].AsInteger()), r[1].AsString(), static_cast<int>(r[2].AsInteger())});
    });
    return items;
}

void SaveSyurui(db::Connection& connection, int nendo, const std::vector<KaihiSyurui>& syurui) {
    const std::vector<KaihiKamoku> items = ReceiptItemsOf(connection, nendo);
    for (const KaihiSyurui& s : syurui) {
        if (s.name.trimmed().isEmpty())
            throw EAppError(u"会費の種別の名称を入力してください。"_s);
        if (s.name.trimmed().size() > 10)
            throw EAppError(u"会費の種別の名称は10文字以内で入力してください。"_s);
        if (s.kingaku <= 0 || s.kingaku > std::numeric_limits<int>::max())
            throw EAppError(u"「%1」の金額は1円以上で入力してください。"_s.arg(s.name.trimmed()));
        if (std::none_of(items.begin(), items.end(),
                         [&](const KaihiKamoku& k) { return k.kamoku == s.kamoku; }))
            throw EAppError(u"「%1」の科目を選んでください。"_s.arg(s.name.trimmed()));
    }
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        SpanOf(connection, nendo);
        int next = static_cast<int>(connection
                                        .Select(u"select coalesce(max(SYURUI_CD), 0) from KAIHI_SYURUI "
                                                u"where (NENDO = :NENDO)"_s,
                                                {{u"NENDO"_s, nendo}})
                                        .rows.at(0)
                                        .at(0)
                                        .AsInteger());
        std::vector<int> kept;
        for (const KaihiSyurui& s : syurui)
            if (s.syuruiCd != 0)
                kept.push_back(s.syuruiCd);
        for (const KaihiSyurui& old : LoadSyurui(connection, nendo)) {
            if (std::find(kept.begin(), kept.end(), old.syuruiCd) != kept.end())
                continue;
            if (!connection
                     .Select(u"select first 1 NOUFU_NO from KAIHI_NOUFU where (NENDO = :NENDO) and "
                             u"(SYURUI_CD = :CD)"_s,
                             {{u"NENDO"_s, nendo}, {u"CD"_s, old.syuruiCd}})
                     .rows.empty())
                throw EAppError(u"「%1」には納付が記録されているため削除できません。"_s.arg(old.name));
            connection.Execute(u"delete from KAIHI_MENJYO where (NENDO = :NENDO) and (SYURUI_CD = :CD)"_s,
                               {{u"NENDO"_s, nendo}, {u"CD"_s, old.syuruiCd}});
            connection.Execute(u"delete from KAIHI_SYURUI where (NENDO = :NENDO) and (SYURUI_CD = :CD)"_s,
                               {{u"NENDO"_s, nendo}, {u"CD"_s, old.syuruiCd}});
        }
        for (const KaihiSyurui& s : syurui) {
            const auto item = std::find_if(items.begin(), items.end(),
                                           [&](const KaihiKamoku& k) { return k.kamoku == s.kamoku; });
            const db::Connection::Params params{{u"NENDO"_s, nendo},
                                                {u"CD"_s, s.syuruiCd != 0 ? s.syuruiCd : ++next},
                                                {u"MEISYO"_s, s.name.trimmed()},
                                                {u"TSUKI"_s, s.perMonth ? 1 : 0},
                                                {u"KINGAKU"_s, s.kingaku},
                                                {u"KAIKEI_KUBUN"_s, item->kaikeiKubun},
                                                {u"KAMOKU"_s, s.kamoku}};
            if (s.syuruiCd == 0 ||
                connection.Execute(
                    u"update KAIHI_SYURUI set MEISYO = :MEISYO, TSUKI_KUBUN = :TSUKI, KINGAKU = "
                    u":KINGAKU, KAIKEI_KUBUN = :KAIKEI_KUBUN, KAMOKU = :KAMOKU where (NENDO = :NENDO) "
                    u"and (SYURUI_CD = :CD)"_s,
                    params) == 0)
                connection.Execute(
                    u"insert into KAIHI_SYURUI (NENDO, SYURUI_CD, MEISYO, TSUKI_KUBUN, KINGAKU, "
                    u"KAIKEI_KUBUN, KAMOKU) values (:NENDO, :CD, :MEISYO, :TSUKI, :KINGAKU, "
                    u":KAIKEI_KUBUN, :KAMOKU)"_s,
                    params);
        }
    });
}

void SaveMenjyo(db::Connection& connection, int nendo, const KaihiMenjyo& menjyo, const QString& riyu) {
    if (riyu.trimmed().size() > 50)
        throw EAppError(u"免除の理由は50文字以内で入力してください。"_s);
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        const NendoSpan span = SpanOf(connection, nendo);
        const QDate first(span.kisyubi.year(), span.kisyubi.month(), 1);
        if (!menjyo.from.isValid() || !menjyo.to.isValid() || menjyo.from < first ||
            menjyo.to > span.kimatsubi)
            throw EAppError(u"免除する月は年度の範囲内で選んでください。"_s);
        if (menjyo.to < menjyo.from)
            throw EAppError(u"免除の終了月が開始月より前になっています。"_s);
        const std::vector<KaihiSyurui> syurui = LoadSyurui(connection, nendo);
        if (std::none_of(syurui.begin(), syurui.end(),
                         [&](const KaihiSyurui& s) { return s.syuruiCd == menjyo.syuruiCd; }))
            throw EAppError(u"この年度に登録されていない会費の種別です。"_s);
        const db::Connection::Params params{
            {u"NENDO"_s, nendo},
            {u"SETAI_CD"_s, menjyo.setaiCd},
            {u"SYURUI_CD"_s, menjyo.syuruiCd},
            {u"KAISI"_s, menjyo.from.toString(u"yyyyMM"_s)},
            {u"SYURYO"_s, menjyo.to.toString(u"yyyyMM"_s)},
            {u"RIYU"_s, riyu.trimmed().isEmpty() ? db::Value() : db::Value(riyu.trimmed())}};
        if (connection.Execute(
                u"update KAIHI_MENJYO set SYURYO_TSUKI = :SYURYO, RIYU = :RIYU where (NENDO = :NENDO) "
                u"and (SETAI_CD = :SETAI_CD) and (SYURUI_CD = :SYURUI_CD) and (KAISI_TSUKI = :KAISI)"_s,
                params) == 0)
            connection.Execute(
                u"insert into KAIHI_MENJYO (NENDO, SETAI_CD, SYURUI_CD, KAISI_TSUKI, SYURYO_TSUKI, "
                u"RIYU) values (:NENDO, :SETAI_CD, :SYURUI_CD, :KAISI, :SYURYO, :RIYU)"_s,
                params);
    });
}

void DeleteMenjyo(db::Connection& connection, int nendo, const KaihiMenjyo& menjyo) {
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        connection.Execute(
            u"delete from KAIHI_MENJYO where (NENDO = :NENDO) and (SETAI_CD = :SETAI_CD) and "
            u"(SYURUI_CD = :SYURUI_CD) and (KAISI_TSUKI = :KAISI)"_s,
            {{u"NENDO"_s, nendo},
             {u"SETAI_CD"_s, menjyo.setaiCd},
             {u"SYURUI_CD"_s, menjyo.syuruiCd},
             {u"KAISI"_s, menjyo.from.toString(u"yyyyMM"_s)}});
    });
}

std::vector<QString> MenjyoRiyu(db::Connection& connection, int nendo) {
    std::vector<QString> riyu;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        for (const auto& r : connection
                                 .Select(u"select RIYU from KAIHI_MENJYO where (NENDO = :NENDO) "
                                         u"order by SETAI_CD, SYURUI_CD, KAISI_TSUKI"_s,
                                         {{u"NENDO"_s, nendo}})
                                 .rows)
            riyu.push_back(r[0].AsString());
    });
    return riyu;
}

std::vector<KaihiMinouLine> MinouLines(const KaihiMeibo& meibo, const KaihiYear& year, const QDate& asOf) {
    std::vector<QDate> due;
    for (const QDate& month : NendoMonths(year.kisyubi))
        if (month <= asOf)
            due.push_back(month);
    std::vector<KaihiMinouLine> lines;
    for (const SetaiMembership& setai : meibo.setai) {
        std::vector<KaihiNoufu> paid;
        for (const KaihiNoufu& n : year.noufu)
            if (n.setaiCd == setai.setaiCd)
                paid.push_back(n);
        for (const KaihiSyurui& kind : year.syurui) {
            const KaihiMinou minou = MinouOf(OwedDues(setai, kind, year.menjyo, due), kind, paid);
            if (minou.kingaku <= 0 || minou.months.empty())
                continue;
            lines.push_back({HanOfMonth(setai, minou.months.front()), setai.setaiCd, kind.syuruiCd,
                             minou.months, minou.kingaku});
        }
    }
    const auto hanOrder = [&](int hanCd) {
        const auto at = std::find_if(meibo.han.begin(), meibo.han.end(),
                                     [&](const KaihiHan& h) { return h.hanCd == hanCd; });
        return at - meibo.han.begin();
    };
    std::stable_sort(lines.begin(), lines.end(), [&](const KaihiMinouLine& a, const KaihiMinouLine& b) {
        return hanOrder(a.hanCd) < hanOrder(b.hanCd);
    });
    return lines;
}

std::map<int, int> ReceiptNumbersOf(db::Connection& connection, int nendo) {
    std::map<int, int> numbers;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        for (const auto& r :
             connection
                 .Select(u"select NOUFU_NO, RYOSYUSYO_NO from KAIHI_NOUFU where (NENDO = :NENDO) "
                         u"and (RYOSYUSYO_NO is not null)"_s,
                         {{u"NENDO"_s, nendo}})
                 .rows)
            numbers[static_cast<int>(r[0].AsInteger())] = static_cast<int>(r[1].AsInteger());
    });
    return numbers;
}

KaihiIssuer ReceiptIssuerOf(db::Connection& connection, int nendo) {
    KaihiIssuer issuer;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [&] {
        const auto rows = connection.Select(
            u"select DANTAIMEI, KAIKEI_YAKUSYOKU, KAIKEI1 from NENDO where (NENDO = :NENDO)"_s,
            {{u"NENDO"_s, nendo}});
        if (!rows.rows.empty())
            issuer = {rows.rows[0][0].AsString().trimmed(), rows.rows[0][1].AsString().trimmed(),
                      rows.rows[0][2].AsString().trimmed()};
    });
    return issuer;
}
