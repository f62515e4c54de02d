#include "journal/TeikiMeisai.h"

#include <QDate>

#include <algorithm>

#include "core/JapaneseText.h"
#include "data/FieldFormat.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "journal/MeisaiRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QDate DateOf(const QString& yyyymmdd) {
    return QDate::fromString(yyyymmdd, u"yyyyMMdd"_s);
}

}  // namespace

std::optional<QString> TeikiProblem(const TeikiTemplate& t) {
    if (t.kamoku == 0)
        return u"科目(集計項目)を入力してください。"_s;
    if (t.syunyu != 0 && t.sisyutsu != 0)
        return u"収入と支出の両方に金額が入力されています。"_s;
    if (t.syunyu == 0 && t.sisyutsu == 0)
        return u"金額を入力してください。"_s;
    for (const qint64 v : {t.syunyu, t.sisyutsu})
        if (v < kAmountMin || v > kAmountMax)
            return u"金額は%1～%2の範囲で入力してください。"_s.arg(kAmountMin).arg(kAmountMax);
    if (t.hi < 1 || t.hi > 31)
        return u"日は1～31で入力してください。"_s;
    if (std::none_of(t.months.begin(), t.months.end(), [](bool m) { return m; }))
        return u"作成する月を選んでください。"_s;
    if (data::CharacterCount(t.aite) > kAiteLength)
        return u"入金先／支払先が%1文字を超えています。"_s.arg(kAiteLength);
    if (data::CharacterCount(t.tekiyo) > kTekiyoLength)
        return u"摘要が%1文字を超えています。"_s.arg(kTekiyoLength);
    return std::nullopt;
}

std::vector<QString> MonthsOfYear(const QString& kisyubi, const QString& kimatsubi) {
    std::vector<QString> months;
    const QDate last = DateOf(kimatsubi);
    for (QDate d = DateOf(kisyubi); d.isValid() && last.isValid() && d <= last; d = d.addMonths(1)) {
        months.push_back(d.toString(u"yyyyMM"_s));
        d.setDate(d.year(), d.month(), 1);
    }
    return months;
}

std::vector<TeikiLine> TeikiLines(const std::vector<TeikiTemplate>& templates, const QString& fromYm,
                                  const QString& toYm, const QString& kisyubi, const QString& kimatsubi,
                                  const std::vector<LineKey>& year) {
    std::vector<TeikiLine> lines;
    std::vector<LineKey> keys;
    for (const QString& ym : MonthsOfYear(kisyubi, kimatsubi)) {
        if (ym < fromYm || ym > toYm)
            continue;
        const QDate first = DateOf(ym + u"01"_s);
        for (std::size_t i = 0; i < templates.size(); ++i) {
            const TeikiTemplate& t = templates[i];
            if (TeikiProblem(t) || !t.months[static_cast<std::size_t>(first.month() - 1)])
                continue;
            const QDate day(first.year(), first.month(), std::min(t.hi, first.daysInMonth()));
            const QString hizuke = day.toString(u"yyyyMMdd"_s);
            if (hizuke < kisyubi || hizuke > kimatsubi)
                continue;
            lines.push_back({i, hizuke});
            keys.push_back({hizuke, t.kaikeiKubun, t.syunyu, t.sisyutsu, TrimZen(t.tekiyo)});
        }
    }
    const std::vector<bool> made = ProbableDuplicates(keys, year);
    std::vector<TeikiLine> wanted;
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (!made[i])
            wanted.push_back(lines[i]);
    std::stable_sort(wanted.begin(), wanted.end(),
                     [](const TeikiLine& a, const TeikiLine& b) { return a.hizuke < b.hizuke; });
    return wanted;
}

TeikiEntries TeikiImportLines(const std::vector<TeikiTemplate>& templates,
                              const std::vector<TeikiLine>& lines, const ImportContext& context) {
    const auto tokubetsuOf = [&context](int kamoku) -> std::optional<int> {
        for (const KamokuFacts& k : context.items)
            if (k.cd == kamoku)
                return k.tokubetsuCd;
        return std::nullopt;
    };
    TeikiEntries entries;
    for (const TeikiLine& line : lines) {
        const TeikiTemplate& t = templates[line.from];
        const QString name = u"定期明細「%1」"_s.arg(t.tekiyo.isEmpty() ? t.aite : t.tekiyo);
        if (std::none_of(context.divisions.begin(), context.divisions.end(),
                         [&t](const ImportDivision& d) { return d.cd == t.kaikeiKubun; }))
            return {{}, name + u"の会計区分はこの年度にありません。"_s};
        ImportLine l;
        l.kaikeiKubun = t.kaikeiKubun;
        l.hizuke = line.hizuke;
        l.aite = t.aite.isEmpty() ? db::Value() : db::Value(t.aite);
        l.tekiyo = t.tekiyo.isEmpty() ? db::Value() : db::Value(t.tekiyo);
        l.kamoku = t.kamoku;
        l.syunyu = t.syunyu == 0 ? db::Value() : db::Value(t.syunyu);
        l.sisyutsu = t.sisyutsu == 0 ? db::Value() : db::Value(t.sisyutsu);
        if (const auto error = CheckLine({l.hizuke, l.kamoku, l.syunyu, l.sisyutsu}, context.kisyubi,
                                         context.kimatsubi, l.kaikeiKubun, tokubetsuOf))
            return {{}, name + u"："_s + error->message};
        entries.lines.push_back(std::move(l));
    }
    return entries;
}

std::vector<TeikiTemplate> LoadTeikiTemplates(db::Connection& connection) {
    std::vector<TeikiTemplate> templates;
    const auto text = [](const db::Value& v) { return v.IsNull() ? QString() : v.AsString(); };
    const auto amount = [](const db::Value& v) { return v.IsNull() ? qint64{0} : v.AsInteger(); };
    for (const auto& r :
         connection
             .Select(u"select KAIKEI_KUBUN, KAMOKU, AITE, TEKIYO, SYUNYU, SISYUTSU, HI, TSUKI "
                     u"from TEIKI_MEISAI order by CD"_s)
             .rows) {
        TeikiTemplate t;
        t.kaikeiKubun = static_cast<int>(r[0].AsInteger());
        t.kamoku = static_cast<int>(r[1].AsInteger());
        t.aite = text(r[2]);
        t.tekiyo = text(r[3]);
        t.syunyu = amount(r[4]);
        t.sisyutsu = amount(r[5]);
        t.hi = static_cast<int>(r[6].AsInteger());
        const QString months = text(r[7]);
        for (std::size_t m = 0; m < 12; ++m)
            t.months[m] = static_cast<qsizetype>(m) < months.size() && months[m] == u'1';
        templates.push_back(std::move(t));
    }
    return templates;
}

void SaveTeikiTemplates(db::Connection& connection, const std::vector<TeikiTemplate>& templates) {
    db::InOneTransaction(connection, [&] {
        connection.Execute(u"delete from TEIKI_MEISAI"_s);
        int cd = 0;
        for (const TeikiTemplate& t : templates) {
            QString months;
            for (bool m : t.months)
                months += m ? u'1' : u'0';
            const auto amount = [](qint64 v) { return v == 0 ? db::Value() : db::Value(v); };
            const auto text = [](const QString& v) { return v.isEmpty() ? db::Value() : db::Value(v); };
            connection.Execute(
                u"insert into TEIKI_MEISAI (CD, KAIKEI_KUBUN, KAMOKU, AITE, TEKIYO, SYUNYU, SISYUTSU, HI, "
                u"TSUKI) "
                u"values (:CD, :KAIKEI_KUBUN, :KAMOKU, :AITE, :TEKIYO, :SYUNYU, :SISYUTSU, :HI, :TSUKI)"_s,
                {{u"CD"_s, ++cd},
                 {u"KAIKEI_KUBUN"_s, t.kaikeiKubun},
                 {u"KAMOKU"_s, t.kamoku},
                 {u"AITE"_s, text(t.aite)},
                 {u"TEKIYO"_s, text(t.tekiyo)},
                 {u"SYUNYU"_s, amount(t.syunyu)},
                 {u"SISYUTSU"_s, amount(t.sisyutsu)},
                 {u"HI"_s, t.hi},
                 {u"TSUKI"_s, months}});
        }
    });
}
