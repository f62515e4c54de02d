#include "statements/BookCheck.h"

#include <QTemporaryDir>

#include <cstdlib>
#include <map>
#include <set>

#include "core/FileUtil.h"
#include "data/FieldFormat.h"
#include "db/DatabaseServices.h"
#include "db/Error.h"
#include "db/Transaction.h"
#include "db/WorkKeys.h"
#include "db/YearClose.h"
#include "db/YearQueries.h"
#include "kaihi/KaihiStore.h"

using namespace Qt::Literals::StringLiterals;

namespace statements {

namespace {

qint64 N(const db::Value& v) {
    return v.IsNull() ? 0 : v.AsInteger();
}

QString Yen(qint64 amount) {
    return data::FormatNumber(amount, u"#,##0;-#,##0"_s) + u"円"_s;
}

struct Item {
    int syusi = 0;
    int tokubetsu = 0;
    std::optional<qint64> kaisi, syuryo;
};

struct Line {
    qint64 seq = 0;
    int division = 0;
    QString hizuke;
    std::optional<int> kamoku;
    qint64 syunyu = 0, sisyutsu = 0;
};

QString LineName(const Line& l) {
    return u"明細番号 "_s + QString::number(l.seq) + u"(会計区分 "_s + QString::number(l.division) + u"、"_s +
           (l.hizuke.size() == 8 ? l.hizuke.left(4) + u'/' + l.hizuke.mid(4, 2) + u'/' + l.hizuke.mid(6)
                                 : l.hizuke) +
           u")"_s;
}

// Whether the journal window writes a mirrored half for a line of `item` in
// `division` (the posting rules of a transfer, with a mirror item to be found).
bool WantsMirror(int division, int kamoku, const Item& item, const std::map<int, Item>& items) {
    const int q = kamoku / 100;
    if (division == 0)
        return item.tokubetsu != 0;
    if (!((item.tokubetsu != 0 && item.tokubetsu != division) || q == 30 || q == 60))
        return false;
    for (const auto& [code, other] : items)
        if (other.syusi == std::abs(item.syusi - 3) && other.tokubetsu == division)
            return true;
    return false;
}

void CheckTransfers(const std::vector<Line>& lines, const std::map<int, Item>& items,
                    std::vector<Finding>& out) {
    std::map<qint64, std::vector<const Line*>> bySeq;
    for (const Line& l : lines)
        bySeq[l.seq].push_back(&l);
    for (const auto& [seq, halves] : bySeq) {
        const Line& first = *halves.front();
        if (halves.size() == 1) {
            if (!first.kamoku)
                continue;
            const auto item = items.find(*first.kamoku);
            if (item != items.end() && WantsMirror(first.division, *first.kamoku, item->second, items))
                out.push_back({Severity::Error, u"振替"_s,
                               LineName(first) + u"の振替の相手側の明細がありません。"_s, std::nullopt});
            continue;
        }
        if (halves.size() > 2) {
            out.push_back({Severity::Error, u"振替"_s,
                           LineName(first) + u"と同じ明細番号の明細が"_s + QString::number(halves.size()) +
                               u"件あります。"_s,
                           std::nullopt});
            continue;
        }
        const Line& second = *halves.back();
        if (first.division == second.division) {
            out.push_back({Severity::Warning, u"明細番号"_s,
                           LineName(first) + u"と同じ明細番号の明細が同じ会計区分にあります。"_s,
                           std::nullopt});
            continue;
        }
        if (first.syunyu != second.sisyutsu || first.sisyutsu != second.syunyu)
            out.push_back({Severity::Error, u"振替"_s,
                           LineName(first) + u"の振替の金額が相手側(会計区分 "_s +
                               QString::number(second.division) + u")と一致しません。"_s,
                           std::nullopt});
    }
}

}  // namespace

QString SeverityText(Severity severity) {
    return severity == Severity::Error ? u"エラー"_s : u"注意"_s;
}

QString FindingLine(const Finding& finding) {
    return u"["_s + SeverityText(finding.severity) + u"] "_s + finding.kind + u": "_s + finding.text;
}

qint64 ClosingBalanceOfYear(db::Connection& connection, int nendo, int division) {
    const auto rows = connection.Select(
        u"select (select cast(coalesce(sum(YOSAN), 0) as bigint) from YOSAN where (NENDO = :Nendo) and "
        u"(KAIKEI_KUBUN = :D) and (KAMOKU = 100)), "
        u"(select cast(coalesce(sum(coalesce(M.SYUNYU, 0) - coalesce(M.SISYUTSU, 0)), 0) as bigint) "
        u"from MEISAI M join KAMOKU K on (K.CD = M.KAMOKU) join BUNRUI B on (B.CD = K.BUNRUI) "
        u"where (M.NENDO = :Nendo) and (M.KAIKEI_KUBUN = :D) and (B.KESSANSYO_KUBUN = 1)) "
        u"from RDB$DATABASE"_s,
        {{u"Nendo"_s, nendo}, {u"D"_s, division}});
    return N(rows.rows.front()[0]) + N(rows.rows.front()[1]);
}

std::vector<Finding> ValidationFinding(const QString& databaseString) {
    std::vector<Finding> out;
    QString findings;
    try {
        if (db::IsServerDatabase(databaseString)) {
            findings = db::ValidationFindings(databaseString);
        } else {
            // Full validation wants the file to itself: a copy of it is validated,
            // as the backup validates what it wrote.
            const QTemporaryDir folder;
            const QString copy = folder.filePath(u"CHECK.FDB"_s);
            FileCopy(databaseString, copy, true, true);
            findings = db::ValidationFindings(copy);
        }
    } catch (const EAppError& e) {
        findings = e.Message();
    }
    if (!findings.isEmpty())
        out.push_back({Severity::Error, u"データベース"_s,
                       u"データベースの検査で異常が見つかりました。\n"_s + findings, std::nullopt});
    return out;
}

std::vector<Finding> CheckBooks(db::Connection& connection, int nendo) {
    std::vector<Finding> out;
    const auto year = connection.Select(u"select KISYUBI, KIMATSUBI from NENDO where (NENDO = :Nendo)"_s,
                                        {{u"Nendo"_s, nendo}});
    if (year.rows.empty()) {
        out.push_back({Severity::Error, u"年度"_s,
                       QString::number(nendo) + u"年度の基礎データが設定されていません。"_s, std::nullopt});
        return out;
    }
    const QString kisyubi = year.rows.front()[0].AsString();
    const QString kimatsubi = year.rows.front()[1].AsString();

    std::map<int, Item> items;
    for (const auto& r :
         connection
             .Select(u"select K.CD, B.SYUSI_KUBUN, K.TOKUBETSU_CD, K.KAISI_NENDO, K.SYURYO_NENDO "
                     u"from KAMOKU K left join BUNRUI B on (B.CD = K.BUNRUI)"_s)
             .rows) {
        Item item{static_cast<int>(N(r[1])), static_cast<int>(N(r[2])), std::nullopt, std::nullopt};
        if (!r[3].IsNull())
            item.kaisi = r[3].AsInteger();
        if (!r[4].IsNull())
            item.syuryo = r[4].AsInteger();
        items[static_cast<int>(r[0].AsInteger())] = item;
    }
    std::map<int, QString> divisions;
    for (const auto& r :
         connection
             .Select(db::DivisionsOfYearSql(u"CD"_s), {{u"KAISI_NENDO"_s, nendo}, {u"SYURYO_NENDO"_s, nendo}})
             .rows)
        divisions[static_cast<int>(r[0].AsInteger())] = r[1].IsNull() ? QString() : r[1].AsString();

    std::vector<Line> lines;
    for (const auto& r :
         connection
             .Select(u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU from MEISAI "
                     u"where (NENDO = :Nendo) order by SEQ_NO, KAIKEI_KUBUN"_s,
                     {{u"Nendo"_s, nendo}})
             .rows) {
        Line l{r[0].AsInteger(),
               static_cast<int>(r[1].AsInteger()),
               r[2].IsNull() ? QString() : r[2].AsString(),
               std::nullopt,
               N(r[4]),
               N(r[5])};
        if (!r[3].IsNull())
            l.kamoku = static_cast<int>(r[3].AsInteger());
        lines.push_back(l);
    }

    // The lines, one by one: date, division, item.
    for (const Line& l : lines) {
        if (l.hizuke < kisyubi || l.hizuke > kimatsubi)
            out.push_back(
                {Severity::Error, u"日付"_s, LineName(l) + u"の日付が年度の期間外です。"_s, std::nullopt});
        if (!divisions.contains(l.division))
            out.push_back({Severity::Error, u"会計区分"_s,
                           LineName(l) + u"の会計区分はこの年度に使えません。"_s, std::nullopt});
        if (!l.kamoku) {
            out.push_back(
                {Severity::Error, u"科目"_s, LineName(l) + u"に科目がありません。"_s, std::nullopt});
            continue;
        }
        const auto item = items.find(*l.kamoku);
        if (item == items.end()) {
            out.push_back(
                {Severity::Error, u"科目"_s,
                 LineName(l) + u"の科目コード["_s + QString::number(*l.kamoku) + u"]が登録されていません。"_s,
                 std::nullopt});
            continue;
        }
        const Item& it = item->second;
        if ((it.kaisi && *it.kaisi != 0 && *it.kaisi > nendo) ||
            (it.syuryo && *it.syuryo != 0 && *it.syuryo < nendo))
            out.push_back({Severity::Error, u"科目"_s,
                           LineName(l) + u"の科目コード["_s + QString::number(*l.kamoku) +
                               u"]はこの年度に使えません。"_s,
                           std::nullopt});
    }
    CheckTransfers(lines, items, out);

    // The opening balance against last year's closing balance, per division.
    if (!connection.Select(u"select 1 from NENDO where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo - 1}})
             .rows.empty()) {
        std::set<int> checked;
        for (const auto& [division, name] : divisions)
            checked.insert(division);
        for (const auto& r :
             connection
                 .Select(u"select distinct KAIKEI_KUBUN from YOSAN where (NENDO = :Nendo) and "
                         u"(KAMOKU = 100)"_s,
                         {{u"Nendo"_s, nendo}})
                 .rows)
            checked.insert(static_cast<int>(r[0].AsInteger()));
        for (const int division : checked) {
            const auto opening = connection.Select(
                u"select YOSAN from YOSAN where (NENDO = :Nendo) and (KAIKEI_KUBUN = :D) and (KAMOKU = 100)"_s,
                {{u"Nendo"_s, nendo}, {u"D"_s, division}});
            const qint64 budgeted = opening.rows.empty() ? 0 : N(opening.rows.front()[0]);
            const qint64 closing = ClosingBalanceOfYear(connection, nendo - 1, division);
            if (opening.rows.empty() && closing == 0)
                continue;
            if (budgeted == closing)
                continue;
            const QString name = divisions.contains(division) ? divisions[division]
                                                              : u"会計区分 "_s + QString::number(division);
            out.push_back({Severity::Error, u"前年度繰越金"_s,
                           name + u"の前年度繰越金 "_s + Yen(budgeted) + u"が、前年度の次期繰越金 "_s +
                               Yen(closing) + u"と一致しません。"_s,
                           OpeningRemedy{nendo, division, closing}});
        }
    }

    // Work rows whose window is gone.
    for (const QString& table : {u"W_MEISAI"_s, u"W_YOSAN"_s, u"W_KESSAN"_s}) {
        int gone = 0;
        for (const db::AbandonedLoad& load : db::AbandonedLoads(connection, table))
            if (load.claimed)
                ++gone;
        if (gone > 0)
            out.push_back({Severity::Warning, u"作業データ"_s,
                           table + u"に終了した画面の作業データが"_s + QString::number(gone) +
                               u"件残っています(次に入力(表示)したときに削除されます)。"_s,
                           std::nullopt});
    }

    // The line-number sequence stays above every line number.
    const auto seq = connection.Select(
        u"select (select count(*) from RDB$GENERATORS where RDB$GENERATOR_NAME = 'SEQ_MEISAI'), "
        u"(select max(SEQ_NO) from MEISAI), (select max(SEQ_NO) from W_MEISAI) from RDB$DATABASE"_s);
    const qint64 highest = std::max(N(seq.rows.front()[1]), N(seq.rows.front()[2]));
    if (N(seq.rows.front()[0]) > 0) {
        const qint64 current =
            N(connection.Select(u"select gen_id(SEQ_MEISAI, 0) from RDB$DATABASE"_s).rows.front()[0]);
        if (current < highest)
            out.push_back({Severity::Error, u"明細番号"_s,
                           u"明細番号の採番("_s + QString::number(current) + u")が使用済みの明細番号("_s +
                               QString::number(highest) + u")より小さくなっています。"_s,
                           std::nullopt});
    }

    // The journal lines the dues ledger made still book what its payments add up to.
    for (const KaihiMismatch& m : KaihiJournalMismatches(connection, nendo))
        out.push_back({Severity::Error, u"会費"_s,
                       m.journal
                           ? u"明細番号 "_s + QString::number(m.seqNo) + u"の金額 "_s + Yen(*m.journal) +
                                 u"が、会費の納付の合計 "_s + Yen(m.noufu) + u"と一致しません。"_s
                           : u"会費の納付(計 "_s + Yen(m.noufu) + u")から作られた明細番号 "_s +
                                 QString::number(m.seqNo) + u"がありません。"_s +
                                 u"会費徴収の「仕訳を作り直す」で作り直せます。"_s,
                       std::nullopt});
    return out;
}

void ApplyOpeningRemedy(db::Connection& connection, const OpeningRemedy& remedy) {
    db::InOneTransaction(connection, [&] {
        db::RefuseClosedYear(connection, remedy.nendo);
        const int updated = connection.Execute(
            u"update YOSAN set YOSAN = :A where (NENDO = :Nendo) and (KAIKEI_KUBUN = :D) and (KAMOKU = 100)"_s,
            {{u"A"_s, remedy.amount}, {u"Nendo"_s, remedy.nendo}, {u"D"_s, remedy.division}});
        if (updated == 0)
            connection.Execute(
                u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) "
                u"values (:Nendo, :D, 100, 99, :A)"_s,
                {{u"A"_s, remedy.amount}, {u"Nendo"_s, remedy.nendo}, {u"D"_s, remedy.division}});
    });
}

}  // namespace statements
