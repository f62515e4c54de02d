#include <gtest/gtest.h>

#include "statements/KessanRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {

std::string Text(const QString& s) {
    return s.toStdString();
}

std::string Amount(const std::optional<qint64>& v) {
    return v ? std::to_string(*v) : "-";
}

}  // namespace

void PrintTo(const KessanWorkRow& r, std::ostream* os) {
    *os << r.kaikeiKubun << "/" << r.kamoku << " kind " << r.syusiKubun << " yosan " << Amount(r.yosan)
        << " kessan " << Amount(r.kessan) << (r.added ? " added" : "");
}

// Month and day typed, the year's first day: the closing date, or why it is refused
// (against the year's last day).
TEST(KessanRules, TheClosingDateIsTheFirstSuchDayOfTheYear) {
    const struct {
        const char* name;
        QString monthDay, kisyubi, kimatsubi, simebi, error;
    } cases[] = {
        {"after the first month-day", u"0930"_s, u"20210401"_s, u"20220331"_s, u"20210930"_s, {}},
        {"before it: the next calendar year", u"0131"_s, u"20210401"_s, u"20220331"_s, u"20220131"_s, {}},
        {"the first day", u"0401"_s, u"20210401"_s, u"20220331"_s, u"20210401"_s, {}},
        {"the last day", u"0331"_s, u"20210401"_s, u"20220331"_s, u"20220331"_s, {}},
        {"31 December", u"1231"_s, u"20210401"_s, u"20220331"_s, u"20211231"_s, {}},
        {"a year from January", u"0101"_s, u"20210101"_s, u"20211231"_s, u"20210101"_s, {}},
        {"a year from January, its end", u"1231"_s, u"20210101"_s, u"20211231"_s, u"20211231"_s, {}},
        {"nothing typed", u"    "_s, u"20210401"_s, u"20220331"_s, {}, u"締日を入力してください。"_s},
        {"blanks inside read as 0", u" 9 5"_s, u"20210401"_s, u"20220331"_s, u"20210905"_s, {}},
        {"only a month", u"09  "_s, u"20210401"_s, u"20220331"_s, u"20210900"_s,
         u"締日が正しくありません。"_s},
        {"30 February", u"0230"_s, u"20210401"_s, u"20220331"_s, u"20220230"_s,
         u"締日が正しくありません。"_s},
        {"29 February, a leap year", u"0229"_s, u"20230401"_s, u"20240331"_s, u"20240229"_s, {}},
        {"29 February, no leap year", u"0229"_s, u"20210401"_s, u"20220331"_s, u"20220229"_s,
         u"締日が正しくありません。"_s},
        {"month 13", u"1301"_s, u"20210401"_s, u"20220331"_s, u"20211301"_s, u"締日が正しくありません。"_s},
        {"after a short year's end", u"0220"_s, u"20210401"_s, u"20220215"_s, u"20220220"_s,
         u"期末日以後の締日は入力できません。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString simebi = SimebiOf(c.monthDay, c.kisyubi);
        EXPECT_EQ(Text(simebi), Text(c.simebi));
        EXPECT_EQ(Text(SimebiError(simebi, c.kimatsubi).value_or(QString())), Text(c.error));
    }
}

TEST(KessanRules, DefaultTextsNameTheYearAndTheDates) {
    // Year-end, Western years: the year, its last day, the audit's year only.
    KessanTexts t = KessanDefaultTexts(2021, u"20210401"_s, u"20220331"_s, 0);
    EXPECT_EQ(Text(t.comment), "上記の通り２０２１年度の収支決算を報告します。");
    EXPECT_EQ(Text(t.hizuke), " ２０２２ 年 ３ 月 ３１ 日");
    EXPECT_EQ(Text(t.kansaHizuke), " ２０２２ 年    月    日");
    // Japanese eras: the first day's era year names the year; the audit falls in the
    // year after the last day.
    t = KessanDefaultTexts(2021, u"20210401"_s, u"20211231"_s, 1);
    EXPECT_EQ(Text(t.comment), "上記の通り令和３年度の収支決算を報告します。");
    EXPECT_EQ(Text(t.hizuke), "令和 ３ 年 １２ 月 ３１ 日");
    EXPECT_EQ(Text(t.kansaHizuke), "令和 ４ 年    月    日");

    // Interim: the closing date, in the comment without its blanks.
    t = CyukanKessanDefaultTexts(u"20210930"_s, 0);
    EXPECT_EQ(Text(t.hizuke), " ２０２１ 年 ９ 月 ３０ 日");
    EXPECT_EQ(Text(t.comment), "上記の通り２０２１年９月３０日現在の中間収支決算を報告します。");
    EXPECT_EQ(Text(t.kansaHizuke), "        年    月    日");
    t = CyukanKessanDefaultTexts(u"20190430"_s, 1);
    EXPECT_EQ(Text(t.hizuke), "平成 ３１ 年 ４ 月 ３０ 日");
}

// Saved lines, the budget and the journal sums make the settlement of every
// division, with the carry-over to the next year as the division's balance.
TEST(KessanRules, TheSettlementComesFromTheBudgetAndTheJournal) {
    const auto kind = [](int kamoku) -> std::optional<int> {
        if (kamoku == 9999)
            return std::nullopt;
        return kamoku < 2000 || kamoku == 3000 || kamoku == 100 ? 1 : 2;
    };
    // A saved line without amounts (1003), a saved line that gets a journal sum (2001).
    std::vector<KessanWorkRow> saved{{0, 1003, 1, {}, {}, false}, {0, 2001, 2, {}, {}, false}};
    const std::vector<KessanYosanRow> yosan{
        {0, 100, 70000}, {0, 1001, 300000}, {0, 2001, 260000}, {0, 8000, 110000}, {2, 100, 5000}};
    const std::vector<KessanMeisaiSum> meisai{
        {0, 1001, 320000, 20000},  // a refund on a receipts item
        {0, 2001, {}, 250000},
        {0, 2002, 1000, 500},  // a refund larger than the payments
        {2, 3000, 40000, {}},  // the special account's half of a transfer
    };
    const KessanAmounts result = SettleYear(saved, yosan, meisai, kind);
    ASSERT_TRUE(result.error.isEmpty());
    const std::vector<KessanWorkRow> expected{
        {0, 1003, 1, {}, {}, false},        {0, 2001, 2, 260000, 250000, false},
        {0, 100, 1, 70000, 70000, true},  // settled at its budget
        {0, 1001, 1, 300000, 300000, true}, {0, 8000, 2, 110000, 70000 + 300000 - 250000 - (-500), true},
        {2, 100, 1, 5000, 5000, true},      {0, 2002, 2, {}, -500, true},
        {2, 3000, 1, {}, 40000, true},      {2, 8000, 2, {}, 45000, true},
    };
    EXPECT_EQ(result.rows.size(), expected.size());
    for (const KessanWorkRow& row : expected) {
        SCOPED_TRACE(::testing::Message() << row.kaikeiKubun << "/" << row.kamoku);
        const auto it = std::find_if(result.rows.begin(), result.rows.end(), [&](const KessanWorkRow& r) {
            return r.kaikeiKubun == row.kaikeiKubun && r.kamoku == row.kamoku;
        });
        ASSERT_NE(it, result.rows.end());
        EXPECT_EQ(*it, row);
    }

    // An item of the budget or journal that is not in the account list fails the load.
    EXPECT_EQ(Text(SettleYear({}, {{0, 9999, 1}}, {}, kind).error), "科目コード[9999]が登録されていません。");
    EXPECT_EQ(Text(SettleYear({}, {}, {{0, 9999, 1, 0}}, kind).error),
              "科目コード[9999]が登録されていません。");
    // A saved line of an item no longer listed still takes its journal sum.
    EXPECT_TRUE(SettleYear({{0, 9999, 0, {}, {}, false}}, {}, {{0, 9999, 1, 0}}, kind).error.isEmpty());

    // Only lines without amounts may be deleted.
    EXPECT_TRUE(KessanLineDeletable(std::nullopt, std::nullopt));
    EXPECT_TRUE(KessanLineDeletable(0, 0));
    EXPECT_FALSE(KessanLineDeletable(1, std::nullopt));
    EXPECT_FALSE(KessanLineDeletable(std::nullopt, -1));
}
