#include "kaihi/KaihiRules.h"

#include <QStringList>

#include "core/JapaneseText.h"

#include <algorithm>
#include <map>
#include <tuple>

using namespace Qt::Literals::StringLiterals;

namespace {

QDate MonthOf(const QDate& day) {
    return QDate(day.year(), day.month(), 1);
}

QDate MonthEnd(const QDate& month) {
    return month.addMonths(1).addDays(-1);
}

bool Covers(const KaihiMenjyo& menjyo, const QDate& month) {
    return MonthOf(menjyo.from) <= month && month <= MonthOf(menjyo.to);
}

}  // namespace

QDate TypedHizuke(const QString& text) {
    const QString typed = ToHankaku(TrimZen(text));
    for (const QString& format : {u"yyyy/M/d"_s, u"yyyy-M-d"_s, u"yyyy.M.d"_s, u"yyyyMMdd"_s}) {
        const QDate date = QDate::fromString(typed, format);
        if (date.isValid())
            return date;
    }
    return {};
}

std::vector<QDate> NendoMonths(const QDate& kisyubi) {
    std::vector<QDate> months;
    const QDate first = MonthOf(kisyubi);
    for (int i = 0; i < 12; ++i)
        months.push_back(first.addMonths(i));
    return months;
}

bool IsMemberOn(const SetaiMembership& setai, const QDate& day) {
    return setai.nyukai.isValid() && setai.nyukai <= day && (!setai.taikai.isValid() || day <= setai.taikai);
}

int HanOn(const SetaiMembership& setai, const QDate& day) {
    if (!IsMemberOn(setai, day))
        return 0;
    int hanCd = 0;
    for (const HanZaiseki& zaiseki : setai.han) {
        if (zaiseki.from > day)
            break;
        hanCd = zaiseki.hanCd;
    }
    // A history that starts after the joining day: the first 班 it names.
    if (hanCd == 0 && !setai.han.empty())
        hanCd = setai.han.front().hanCd;
    return hanCd;
}

bool IsMemberInMonth(const SetaiMembership& setai, const QDate& month) {
    const QDate first = std::max(month, setai.nyukai);
    return IsMemberOn(setai, first) && first <= MonthEnd(month);
}

int HanOfMonth(const SetaiMembership& setai, const QDate& month) {
    if (!IsMemberInMonth(setai, month))
        return 0;
    return HanOn(setai, std::max(month, setai.nyukai));
}

std::vector<KaihiOwed> OwedDues(const SetaiMembership& setai, const KaihiSyurui& syurui,
                                const std::vector<KaihiMenjyo>& menjyo, const std::vector<QDate>& months) {
    const auto exempted = [&](const QDate& month) {
        return std::any_of(menjyo.begin(), menjyo.end(), [&](const KaihiMenjyo& m) {
            return m.setaiCd == setai.setaiCd && m.syuruiCd == syurui.syuruiCd && Covers(m, month);
        });
    };
    std::vector<KaihiOwed> owed;
    for (const QDate& month : months) {
        if (!IsMemberInMonth(setai, month))
            continue;
        if (!exempted(month))
            owed.push_back({month, HanOfMonth(setai, month), syurui.kingaku});
        if (!syurui.perMonth)
            break;  // the year's dues fall in the first month only
    }
    return owed;
}

KaihiMinou MinouOf(const std::vector<KaihiOwed>& owed, const KaihiSyurui& syurui,
                   const std::vector<KaihiNoufu>& paid) {
    KaihiMinou minou;
    qint64 paidSum = 0;
    std::vector<QDate> covered;
    for (const KaihiNoufu& noufu : paid) {
        if (noufu.syuruiCd != syurui.syuruiCd)
            continue;
        paidSum += noufu.kingaku;
        for (const QDate& month : noufu.months)
            covered.push_back(MonthOf(month));
    }
    qint64 owedSum = 0;
    for (const KaihiOwed& o : owed) {
        owedSum += o.kingaku;
        const bool isCovered = syurui.perMonth
                                   ? std::find(covered.begin(), covered.end(), o.month) != covered.end()
                                   : paidSum >= o.kingaku;
        if (!isCovered)
            minou.months.push_back(o.month);
    }
    minou.kingaku = owedSum - paidSum;
    return minou;
}

int SetaiCountOn(const std::vector<SetaiMembership>& setai, int hanCd, const QDate& day) {
    return static_cast<int>(std::count_if(setai.begin(), setai.end(),
                                          [&](const SetaiMembership& s) { return HanOn(s, day) == hanCd; }));
}

QString TsukiText(const std::vector<QDate>& months) {
    QStringList runs;
    for (std::size_t i = 0; i < months.size();) {
        std::size_t j = i;
        while (j + 1 < months.size() && months[j + 1] == months[j].addMonths(1))
            ++j;
        runs << (j == i ? u"%1月"_s.arg(months[i].month())
                        : u"%1～%2月"_s.arg(months[i].month()).arg(months[j].month()));
        i = j + 1;
    }
    return runs.join(u"・"_s);
}

KaihiJournal JournalLinesOf(const std::vector<KaihiNoufu>& collection, const std::vector<KaihiSyurui>& syurui,
                            const std::vector<KaihiHan>& han, const std::vector<KaihiSetaiName>& setai) {
    // Keyed by (date, 班 or 0, household for transfers, kind), in the collection's order.
    using Key = std::tuple<QDate, int, int, int>;
    struct Group {
        qint64 kingaku = 0;
        std::vector<QDate> months;
    };
    std::vector<Key> order;
    std::map<Key, Group> groups;
    std::vector<Key> keyOf;
    for (const KaihiNoufu& noufu : collection) {
        const Key key{noufu.hizuke, noufu.viaHanCd, noufu.viaHanCd == 0 ? noufu.setaiCd : 0, noufu.syuruiCd};
        keyOf.push_back(key);
        auto [found, added] = groups.try_emplace(key);
        if (added)
            order.push_back(key);
        found->second.kingaku += noufu.kingaku;
        for (const QDate& month : noufu.months) {
            const QDate m = MonthOf(month);
            if (std::find(found->second.months.begin(), found->second.months.end(), m) ==
                found->second.months.end())
                found->second.months.push_back(m);
        }
    }
    KaihiJournal journal;
    std::vector<KaihiJournalLine>& lines = journal.lines;
    for (const Key& key : order) {
        const auto& [hizuke, hanCd, setaiCd, syuruiCd] = key;
        Group& group = groups[key];
        std::sort(group.months.begin(), group.months.end());
        const auto kind = std::find_if(syurui.begin(), syurui.end(),
                                       [&](const KaihiSyurui& s) { return s.syuruiCd == syuruiCd; });
        KaihiJournalLine line;
        line.hizuke = hizuke;
        line.kingaku = group.kingaku;
        line.kaikeiKubun = kind == syurui.end() ? 0 : kind->kaikeiKubun;
        line.kamoku = kind == syurui.end() ? 0 : kind->kamoku;
        QString who;
        if (hanCd != 0) {
            const auto h =
                std::find_if(han.begin(), han.end(), [&](const KaihiHan& x) { return x.hanCd == hanCd; });
            who = h == han.end() ? QString() : h->name;
            line.aite = h == han.end() ? QString() : h->hancyo;
        } else {
            const auto s = std::find_if(setai.begin(), setai.end(),
                                        [&](const KaihiSetaiName& x) { return x.setaiCd == setaiCd; });
            who = s == setai.end() ? QString() : s->name;
            line.aite = who;
        }
        const bool perMonth = kind == syurui.end() || kind->perMonth;
        const QString what = perMonth && !group.months.empty() ? TsukiText(group.months) + u"分会費"_s
                             : kind == syurui.end()            ? u"会費"_s
                                                               : kind->name;
        line.aite = line.aite.left(10);
        line.tekiyo = (who.isEmpty() ? what : who + u" "_s + what).left(50);
        lines.push_back(line);
    }
    for (const Key& key : keyOf)
        journal.lineOf.push_back(
            static_cast<std::size_t>(std::find(order.begin(), order.end(), key) - order.begin()));
    return journal;
}

QString KingakuDaiji(qint64 kingaku) {
    static const QString digits[] = {u""_s,   u"壱"_s, u"弐"_s, u"参"_s, u"四"_s,
                                     u"伍"_s, u"六"_s, u"七"_s, u"八"_s, u"九"_s};
    static const QString places[] = {u""_s, u"拾"_s, u"百"_s, u"阡"_s};
    static const QString groups[] = {u""_s, u"萬"_s, u"億"_s, u"兆"_s};
    if (kingaku <= 0)
        return u"零"_s;
    QString text;
    for (int group = 3; group >= 0; --group) {
        qint64 unit = 1;
        for (int i = 0; i < group; ++i)
            unit *= 10000;
        const int four = static_cast<int>((kingaku / unit) % 10000);
        if (four == 0)
            continue;
        for (int place = 3; place >= 0; --place) {
            int pow10 = 1;
            for (int i = 0; i < place; ++i)
                pow10 *= 10;
            const int digit = four / pow10 % 10;
            // Every digit is written, 壱 too, so that none can be added in front.
            if (digit != 0)
                text += digits[digit] + places[place];
        }
        text += groups[group];
    }
    return text;
}
