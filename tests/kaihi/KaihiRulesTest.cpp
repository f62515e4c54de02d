#include <gtest/gtest.h>

#include "kaihi/KaihiRules.h"
#include "kaihi/RyosyusyoRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QDate D(int y, int m, int d = 1) {
    return QDate(y, m, d);
}

// The year from 2026-04-01; 班 1 and 2; monthly dues of 500 and a yearly 3,000.
const std::vector<QDate> kMonths = NendoMonths(D(2026, 4, 1));
const KaihiSyurui kIppan{1, u"一般会費"_s, true, 500, 0, 1001};
const KaihiSyurui kTokubetsu{2, u"特別会費"_s, false, 3000, 0, 1002};

const SetaiMembership kAll{1, D(2020, 1), {}, {{D(2020, 1), 1}}};
const SetaiMembership kJoinsInJune{2, D(2026, 6, 15), {}, {{D(2026, 6, 15), 2}}};
const SetaiMembership kLeavesInSeptember{3, D(2019, 5), D(2026, 9, 30), {{D(2019, 5), 1}}};
const SetaiMembership kMovesInOctober{4, D(2021, 1), {}, {{D(2021, 1), 1}, {D(2026, 10, 1), 2}}};
const SetaiMembership kMovesMidOctober{5, D(2021, 1), {}, {{D(2021, 1), 1}, {D(2026, 10, 15), 2}}};
const SetaiMembership kLeftBefore{6, D(2015, 4), D(2026, 3, 31), {{D(2015, 4), 1}}};
const SetaiMembership kExempted{7, D(2022, 4), {}, {{D(2022, 4), 2}}};
const std::vector<KaihiMenjyo> kMenjyo{{7, 1, D(2027, 1), D(2027, 3)}, {3, 2, D(2026, 4), D(2026, 4)}};

struct OwedSummary {
    int months = 0;
    qint64 total = 0;
    qint64 inHan1 = 0;
    qint64 inHan2 = 0;
    bool operator==(const OwedSummary&) const = default;
};
std::ostream& operator<<(std::ostream& out, const OwedSummary& s) {
    return out << s.months << " months, " << s.total << " (" << s.inHan1 << " in 1, " << s.inHan2 << " in 2)";
}

OwedSummary Summarise(const std::vector<KaihiOwed>& owed) {
    OwedSummary s;
    for (const KaihiOwed& o : owed) {
        ++s.months;
        s.total += o.kingaku;
        (o.hanCd == 1 ? s.inHan1 : s.inHan2) += o.kingaku;
    }
    return s;
}

}  // namespace

TEST(KaihiRules, DuesFollowJoinsLeavesMovesAndExemptions) {
    const struct {
        const char* name;
        SetaiMembership setai;
        OwedSummary ippan, tokubetsu;
    } cases[] = {
        {"a member all year", kAll, {12, 6000, 6000, 0}, {1, 3000, 3000, 0}},
        {"joins mid-June: June counts", kJoinsInJune, {10, 5000, 0, 5000}, {1, 3000, 0, 3000}},
        {"leaves after September, yearly dues waived", kLeavesInSeptember, {6, 3000, 3000, 0}, {}},
        {"moves on 1 October", kMovesInOctober, {12, 6000, 3000, 3000}, {1, 3000, 3000, 0}},
        {"moves mid-October: October stays in the old 班",
         kMovesMidOctober,
         {12, 6000, 3500, 2500},
         {1, 3000, 3000, 0}},
        {"left before the year", kLeftBefore, {}, {}},
        {"exempted January to March", kExempted, {9, 4500, 0, 4500}, {1, 3000, 0, 3000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Summarise(OwedDues(c.setai, kIppan, kMenjyo, kMonths)), c.ippan);
        EXPECT_EQ(Summarise(OwedDues(c.setai, kTokubetsu, kMenjyo, kMonths)), c.tokubetsu);
    }
    // The joining month is the first owed month, the 班 of the joining day.
    EXPECT_EQ(OwedDues(kJoinsInJune, kIppan, {}, kMonths).front(), (KaihiOwed{D(2026, 6), 2, 500}));
}

TEST(KaihiRules, WhatIsStillOwedAfterPayments) {
    const auto owed = OwedDues(kAll, kIppan, {}, kMonths);
    const auto yearly = OwedDues(kAll, kTokubetsu, {}, kMonths);
    const std::vector<QDate> aprilToJune{D(2026, 4), D(2026, 5), D(2026, 6)};
    const struct {
        const char* name;
        const KaihiSyurui& syurui;
        const std::vector<KaihiOwed>& owed;
        std::vector<KaihiNoufu> paid;
        qint64 kingaku;
        std::size_t months;
    } cases[] = {
        {"nothing paid", kIppan, owed, {}, 6000, 12},
        {"April to June paid", kIppan, owed, {{1, 1, D(2026, 6, 20), aprilToJune, 1500, 1}}, 4500, 9},
        {"the whole year paid at once", kIppan, owed, {{1, 1, D(2026, 4, 5), kMonths, 6000, 0}}, 0, 0},
        {"another kind's payment does not count",
         kIppan,
         owed,
         {{1, 2, D(2026, 4, 5), {}, 3000, 1}},
         6000,
         12},
        {"yearly, half paid", kTokubetsu, yearly, {{1, 2, D(2026, 5, 1), {}, 1500, 1}}, 1500, 1},
        {"yearly, paid", kTokubetsu, yearly, {{1, 2, D(2026, 5, 1), {}, 3000, 1}}, 0, 0},
        {"yearly, paid twice",
         kTokubetsu,
         yearly,
         {{1, 2, D(2026, 5, 1), {}, 3000, 1}, {1, 2, D(2026, 6, 1), {}, 3000, 0}},
         -3000,
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const KaihiMinou minou = MinouOf(c.owed, c.syurui, c.paid);
        EXPECT_EQ(minou.kingaku, c.kingaku);
        EXPECT_EQ(minou.months.size(), c.months);
    }
    // The unpaid months are the ones no payment covers, in order.
    const KaihiMinou afterJune = MinouOf(owed, kIppan, {{1, 1, D(2026, 6, 20), aprilToJune, 1500, 1}});
    EXPECT_EQ(afterJune.months.front(), D(2026, 7));
    EXPECT_EQ(afterJune.months.back(), D(2027, 3));
}

TEST(KaihiRules, HouseholdsOfAHanOnADate) {
    const std::vector<SetaiMembership> all{
        kAll, kJoinsInJune, kLeavesInSeptember, kMovesInOctober, kMovesMidOctober, kLeftBefore, kExempted};
    const struct {
        QDate day;
        int han1, han2;
    } cases[] = {
        {D(2026, 4, 1), 4, 1},    // the one who left before is gone, June's joiner not yet there
        {D(2026, 6, 15), 4, 2},   // the joining day counts
        {D(2026, 9, 30), 4, 2},   // the leaving day is the last as a member
        {D(2026, 10, 1), 2, 3},   // one moved, one left
        {D(2026, 10, 15), 1, 4},  // the second move
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.day.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(SetaiCountOn(all, 1, c.day), c.han1);
        EXPECT_EQ(SetaiCountOn(all, 2, c.day), c.han2);
    }
}

TEST(KaihiRules, ACollectionMakesOneJournalLinePerHanAndKind) {
    const std::vector<KaihiHan> han{{1, u"1班"_s, u"山田 太郎"_s}, {2, u"2班"_s, u"佐藤 花子"_s}};
    const std::vector<KaihiSetaiName> setai{{1, u"鈴木"_s}, {2, u"田中"_s}, {3, u"高橋"_s}};
    const QDate day = D(2026, 6, 30);
    const std::vector<QDate> q1{D(2026, 4), D(2026, 5), D(2026, 6)};
    const std::vector<KaihiNoufu> collection{
        {1, 1, day, q1, 1500, 1}, {3, 1, day, {D(2026, 4), D(2026, 5)}, 1000, 1},  // behind by a month
        {3, 2, day, {}, 3000, 1}, {2, 1, day, {D(2026, 6), D(2026, 7)}, 1000, 2},
        {2, 1, day, q1, 1500, 0},  // by transfer
    };
    const std::vector<KaihiJournalLine> expected{
        {day, 0, 1001, 2500, u"山田 太郎"_s, u"1班 4～6月分会費"_s},
        {day, 0, 1002, 3000, u"山田 太郎"_s, u"1班 特別会費"_s},
        {day, 0, 1001, 1000, u"佐藤 花子"_s, u"2班 6～7月分会費"_s},
        {day, 0, 1001, 1500, u"田中"_s, u"田中 4～6月分会費"_s},
    };
    const KaihiJournal journal = JournalLinesOf(collection, {kIppan, kTokubetsu}, han, setai);
    const auto& lines = journal.lines;
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(journal.lineOf, (std::vector<std::size_t>{0, 0, 1, 2, 3}));
    // The lines add up to the collection.
    qint64 lineSum = 0, collected = 0;
    for (const auto& l : lines)
        lineSum += l.kingaku;
    for (const auto& n : collection)
        collected += n.kingaku;
    EXPECT_EQ(lineSum, collected);
    // The journal holds 10 characters of counterparty and 50 of description.
    const std::vector<QDate> everyOther{D(2026, 4),  D(2026, 6),  D(2026, 8),
                                        D(2026, 10), D(2026, 12), D(2027, 2)};
    const auto cut = JournalLinesOf({{9, 1, day, everyOther, 3000, 0}}, {kIppan}, han,
                                    {{9, u"ひまわり台三丁目マンション管理組合代表理事長谷川左衛門太"_s}})
                         .lines.at(0);
    EXPECT_EQ(cut.aite, u"ひまわり台三丁目マン"_s);
    EXPECT_EQ(
        cut.tekiyo,
        u"ひまわり台三丁目マンション管理組合代表理事長谷川左衛門太 4月・6月・8月・10月・12月・2月分会"_s);
}

TEST(KaihiRules, DatesMonthsAndAmountsInWords) {
    const struct {
        QString typed;
        QDate date;
    } dates[] = {
        {u"2026/4/1"_s, D(2026, 4, 1)},
        {u"２０２６－０４－０１"_s, D(2026, 4, 1)},
        {u"2026.12.31"_s, D(2026, 12, 31)},
        {u"20260401"_s, D(2026, 4, 1)},
        {u"2026/2/30"_s, QDate()},
        {u"4月1日"_s, QDate()},
        {QString(), QDate()},
    };
    for (const auto& c : dates)
        EXPECT_EQ(TypedHizuke(c.typed), c.date) << c.typed.toStdString();

    const struct {
        std::vector<QDate> months;
        QString text;
    } months[] = {
        {{D(2026, 4)}, u"4月"_s},
        {{D(2026, 4), D(2026, 5), D(2026, 6), D(2026, 9)}, u"4～6月・9月"_s},
        {{D(2026, 12), D(2027, 1), D(2027, 2)}, u"12～2月"_s},  // across the calendar year
        {{D(2026, 4), D(2026, 6)}, u"4月・6月"_s},
    };
    for (const auto& c : months)
        EXPECT_EQ(TsukiText(c.months), c.text);

    const struct {
        qint64 kingaku;
        QString daiji;
    } amounts[] = {
        {0, u"零"_s},
        {1, u"壱"_s},
        {10, u"壱拾"_s},
        {500, u"伍百"_s},
        {1000, u"壱阡"_s},
        {12300, u"壱萬弐阡参百"_s},
        {100000, u"壱拾萬"_s},
        {1000005, u"壱百萬伍"_s},
        {210000000, u"弐億壱阡萬"_s},
        {9999999999999999, u"九阡九百九拾九兆九阡九百九拾九億九阡九百九拾九萬九阡九百九拾九"_s},
    };
    for (const auto& c : amounts) {
        SCOPED_TRACE(c.kingaku);
        EXPECT_EQ(KingakuDaiji(c.kingaku), c.daiji);
    }
}

// A receipt through a 班長 names the 班長; a transfer names the treasurer, or 会計
// when the year's texts have none; months run across the new year as the journal
// writes them; a yearly kind has no months.
TEST(KaihiRules, AReceiptSaysWhatWasPaidByWhomAndToWhom) {
    const std::vector<KaihiHan> han{{1, u"1班"_s, u"山田 太郎"_s}, {2, u"2班"_s, QString()}};
    const std::vector<KaihiSetaiName> setai{{10, u"佐藤 一郎"_s}, {11, u"鈴木家"_s}};
    const std::vector<KaihiSyurui> syurui{kIppan, kTokubetsu};
    const KaihiIssuer issuer{u"東町自治会"_s, u"会計部長"_s, u"田中 花子"_s};
    const struct {
        KaihiNoufu noufu;
        int number;
        bool reissue;
        KaihiIssuer issuer;
        KaihiRyosyusyo receipt;
    } cases[] = {
        {{10, 1, D(2026, 5, 10), {D(2026, 6), D(2026, 4), D(2026, 5)}, 1500, 1},
         12,
         false,
         issuer,
         {u"No. 000012"_s, false, u"佐藤 一郎　様"_s, u"￥1,500－"_s, u"金壱阡伍百円也"_s,
          u"但し　一般会費 4～6月分として"_s, u"2026年5月10日"_s, u"東町自治会"_s,
          u"受領者　1班 班長　山田 太郎"_s}},
        {{11, 1, D(2027, 1, 5), {D(2026, 12), D(2027, 1), D(2027, 2)}, 1500, 2},
         3,
         true,
         issuer,
         {u"No. 000003"_s, true, u"鈴木家　様"_s, u"￥1,500－"_s, u"金壱阡伍百円也"_s,
          u"但し　一般会費 12～2月分として"_s, u"2027年1月5日"_s, u"東町自治会"_s, u"受領者　2班 班長"_s}},
        {{11, 2, D(2026, 7, 1), {}, 12000, 0},
         1234567,
         false,
         issuer,
         {u"No. 1234567"_s, false, u"鈴木家　様"_s, u"￥12,000－"_s, u"金壱萬弐阡円也"_s,
          u"但し　特別会費として"_s, u"2026年7月1日"_s, u"東町自治会"_s, u"受領者　会計部長　田中 花子"_s}},
        {{10, 2, D(2026, 7, 1), {}, 3000, 0},
         5,
         false,
         {u"東町自治会"_s, QString(), QString()},
         {u"No. 000005"_s, false, u"佐藤 一郎　様"_s, u"￥3,000－"_s, u"金参阡円也"_s,
          u"但し　特別会費として"_s, u"2026年7月1日"_s, u"東町自治会"_s, u"受領者　会計"_s}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        const KaihiRyosyusyo r = RyosyusyoOf(c.noufu, c.number, c.reissue, han, setai, syurui, c.issuer);
        EXPECT_EQ(r.bango, c.receipt.bango);
        EXPECT_EQ(r.saihakko, c.receipt.saihakko);
        EXPECT_EQ(r.atena, c.receipt.atena);
        EXPECT_EQ(r.kingaku, c.receipt.kingaku);
        EXPECT_EQ(r.daiji, c.receipt.daiji);
        EXPECT_EQ(r.tadashi, c.receipt.tadashi);
        EXPECT_EQ(r.hizuke, c.receipt.hizuke);
        EXPECT_EQ(r.dantai, c.receipt.dantai);
        EXPECT_EQ(r.uketori, c.receipt.uketori);
    }
}
