// The budget statements' rules that need neither workbook nor database.

#include "reports/YosansyoRules.h"

#include <gtest/gtest.h>

#include <map>

namespace {

using namespace yosansyo;

TEST(YosansyoRulesTest, HeaderYearAndPeriodTexts) {
    struct Case {
        int kisyubi, kimatsubi, nendo, nengo;
        QString simebi, year, period;
    };
    const Case cases[] = {
        {20210401, 20220331, 2021, 0, {}, u"2021年"_qs, u"2021年4月1日～2022年3月31日"_qs},
        {20210401, 20220331, 2021, 1, {}, u"令和３年"_qs, u"令和3年4月1日～令和4年3月31日"_qs},
        // An era that changes inside the year.
        {20190101, 20191231, 2019, 1, {}, u"平成３１年"_qs, u"平成31年1月1日～令和1年12月31日"_qs},
        // An interim statement ends at its closing date.
        {20210401, 20220331, 2021, 1, u"20210930"_qs, u"令和３年"_qs, u"令和3年4月1日～令和3年9月30日"_qs},
        {20210401, 20220331, 2021, 0, u"20220131"_qs, u"2021年"_qs, u"2021年4月1日～2022年1月31日"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.period.toStdString());
        EXPECT_EQ(HeaderYearText(c.kisyubi, c.nendo, c.nengo), c.year);
        EXPECT_EQ(KaikeiKikanText(c.kisyubi, c.kimatsubi, c.simebi, c.nengo), c.period);
    }
}

TEST(YosansyoRulesTest, SurplusTemplateRowsHiddenFromTheBottom) {
    EXPECT_EQ(SurplusRows(6, 3, 0), (std::vector<int>{8, 7}));  // one row stays
    EXPECT_EQ(SurplusRows(6, 3, 1), (std::vector<int>{8, 7}));
    EXPECT_EQ(SurplusRows(22, 3, 2), (std::vector<int>{24}));
    EXPECT_TRUE(SurplusRows(6, 3, 3).empty());
    EXPECT_TRUE(SurplusRows(6, 3, 40).empty());
}

TEST(YosansyoRulesTest, FigureConditionsAndPlaceholders) {
    EXPECT_EQ(ReplaceFieldPlaceholders(FigureCondition(u":TaisyoField"_qs, u":HikakuField"_qs, true), u"YOSAN"_qs,
                                       u"ZENNEN_KESSAN"_qs),
              u"((YOSAN is not null) or (ZENNEN_KESSAN is not null))"_qs);
    EXPECT_EQ(ReplaceFieldPlaceholders(FigureCondition(u":TaisyoField"_qs, u":HikakuField"_qs, false), u"YOSAN"_qs,
                                       u"ZENNEN_YOSAN"_qs),
              u"(((YOSAN is not null) and (YOSAN <> 0)) or ((ZENNEN_YOSAN is not null) and (ZENNEN_YOSAN <> 0)))"_qs);
    EXPECT_EQ(FigureCondition(u"YOSAN"_qs, QString(), false), u"((YOSAN is not null) and (YOSAN <> 0))"_qs);
    EXPECT_EQ(ReplaceFieldPlaceholders(u"x :taisyofield y :HIKAKUFIELD"_qs, u"A"_qs, u"B"_qs), u"x A y B"_qs);
    EXPECT_EQ(DiffFormula(u'D', u'C', 11), u"=D11-C11"_qs);
}

// Lines of a section: subtotal rows below classifications with two printed items
// or more, covering exactly the group's rows; none for single items or code 0.
TEST(YosansyoRulesTest, SubtotalRowsFollowTheirGroups) {
    const std::map<int, int> kensu{{10, 3}, {20, 1}, {30, 2}, {0, 2}};
    const auto count = [&](int code) { return kensu.at(code); };
    const auto plan = PlanSection({10, 10, 10, 20, 30, 30}, count, true);
    // Items 0-2 (rows 0-2), subtotal (row 3), item 3 (row 4), items 4-5 (rows 5-6), subtotal (row 7).
    ASSERT_EQ(plan.size(), 8U);
    EXPECT_EQ(plan[3].item, -1);
    EXPECT_EQ(plan[3].first, 0);
    EXPECT_EQ(plan[3].last, 2);
    EXPECT_EQ(plan[4].item, 3);
    EXPECT_TRUE(plan[4].startsGroup);
    EXPECT_EQ(plan[7].item, -1);
    EXPECT_EQ(plan[7].first, 5);
    EXPECT_EQ(plan[7].last, 6);
    EXPECT_FALSE(plan[6].startsGroup);
    EXPECT_EQ(PlanSection({10, 10, 10}, count, false).size(), 3U);
    EXPECT_EQ(PlanSection({0, 0}, count, true).size(), 2U);
    EXPECT_TRUE(PlanSection({}, count, true).empty());
}

// The organisation's title replaces the template's; none (or blanks) keeps it.
TEST(YosansyoRulesTest, PrintedTitle) {
    struct Case {
        const char16_t* stored;
        bool amendment;
        const char16_t* printed;
    };
    const Case cases[] = {{u"", false, u""},
                          {u"　 ", true, u""},
                          {u" ＰＴＡ会計 予算書　", false, u"ＰＴＡ会計 予算書"},
                          {u"ＰＴＡ会計 予算書", true, u"ＰＴＡ会計 予算書（補正）"}};
    for (const Case& c : cases)
        EXPECT_EQ(PrintedTitle(QString::fromUtf16(c.stored), c.amendment), QString::fromUtf16(c.printed))
            << QString::fromUtf16(c.stored).toStdString();
}

TEST(YosansyoRulesTest, ListLineChoosesTheModule) {
    const std::pair<int, Module> cases[] = {
        {1, Module::Yosansyo1}, {2, Module::Yosansyo},  {5, Module::Yosansyo},   {6, Module::Yosansyo5},
        {7, Module::Yosansyo5}, {8, Module::Yosansyo7}, {15, Module::Yosansyo7}, {16, Module::Yosansyo},
    };
    for (const auto& [line, module] : cases)
        EXPECT_EQ(ModuleForLine(line), module) << "line " << line;
}

}  // namespace
