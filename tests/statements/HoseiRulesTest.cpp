#include <gtest/gtest.h>

#include "statements/HoseiRules.h"
#include "statements/KessanRules.h"
#include "statements/YosanRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using Amount = std::optional<qint64>;
const Amount none;

}  // namespace

// Two amendments of the general account and one of a special division: the sums
// are per division and item, an empty amount adds nothing, amounts that cancel
// out still mark the item amended.
TEST(HoseiRules, AmendmentsAreSummedPerItem) {
    const HoseiSums sums = SumHosei({
        {1, 0, 1001, 20000},
        {2, 0, 1001, -5000},
        {1, 0, 2001, 3000},
        {2, 0, 2001, -3000},
        {1, 0, 2002, none},
        {1, 2, 1001, 700},
    });
    EXPECT_EQ(sums, (HoseiSums{{{0, 1001}, 15000}, {{0, 2001}, 0}, {{2, 1001}, 700}}));

    const struct {
        Amount tousyo, hosei;
        HoseiLine line;
    } cases[] = {
        {100000, 15000, {100000, 15000, 115000}}, {100000, none, {100000, none, 100000}},
        {none, 5000, {none, 5000, 5000}},  // an item the original budget left empty
        {30000, -30000, {30000, -30000, 0}},      {none, none, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.tousyo.value_or(-1) << " + " << c.hosei.value_or(-1));
        EXPECT_EQ(HoseiLineOf(c.tousyo, c.hosei), c.line);
    }
    EXPECT_EQ(HoseiName(1).toStdString(), "第1次補正");
    EXPECT_EQ(NextHoseiNo({}), 1);
    EXPECT_EQ(NextHoseiNo({1, 3, 2}), 4);  // after a deleted one the numbers stay unique
}

// The reserve fund balances the amended budget: receipts raised by 40,000 (the
// carry-over settled higher), payments by 25,000, the carry-over out by 5,000.
TEST(HoseiRules, TheReserveFundBalancesTheAmendedBudget) {
    const struct {
        const char* name;
        HoseiSum receipts, payments, carryOut;
        HoseiYobihi yobihi;
    } cases[] = {
        {"no amendment", {1000000, 0}, {800000, 0}, {100000, 0}, {100000, 0, 100000}},
        {"amended", {1000000, 40000}, {800000, 25000}, {100000, 5000}, {100000, 10000, 110000}},
        {"amended below zero", {1000000, 0}, {800000, 150000}, {100000, 0}, {100000, -150000, -50000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(HoseiYobihiOf(c.receipts, c.payments, c.carryOut), c.yobihi);
    }
}

TEST(HoseiRules, AnAmendmentKeepsTheAmendedBudgetInRange) {
    const struct {
        Amount tousyo;
        qint64 other;
        Amount hosei;
        bool ok;
    } cases[] = {
        {50000, 0, -50000, true},           {50000, 0, -50001, false},   {50000, -20000, -30000, true},
        {50000, -20000, -30001, false},     {none, 0, 1000, true},       {none, 0, -1, false},
        {999999000, 0, 999, true},          {999999000, 0, 1000, false}, {0, 0, 1000000000, false},
        {999999999, 0, -1000000000, false}, {50000, 0, none, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << c.tousyo.value_or(-1) << " " << c.other << " " << c.hosei.value_or(-1));
        EXPECT_EQ(!CheckHoseiGaku(c.tousyo, c.other, c.hosei).has_value(), c.ok);
    }
    EXPECT_EQ(CheckSyoninBi(u"20240520"_s, u"20240401"_s), std::nullopt);
    EXPECT_EQ(CheckSyoninBi(u"20250425"_s, u"20240401"_s), std::nullopt) << "approved after the year's end";
    EXPECT_TRUE(CheckSyoninBi(u"20240331"_s, u"20240401"_s).has_value());
    EXPECT_TRUE(CheckSyoninBi(u"20240231"_s, u"20240401"_s).has_value());
    EXPECT_TRUE(CheckSyoninBi(QString(), u"20240401"_s).has_value());
}

// The settlement and the next year's import both read the amended budget: an
// amended line carries 補正後予算額, an item amended without a line gets one.
TEST(HoseiRules, TheSettlementAndTheImportReadTheAmendedBudget) {
    const HoseiSums sums = SumHosei({{1, 0, 1001, 20000}, {1, 0, 2001, -10000}, {1, 0, 2005, 8000}});
    const std::vector<KessanYosanRow> yosan{{0, 100, 50000}, {0, 1001, 300000}, {0, 2001, 200000}};
    const std::vector<KessanYosanRow> amended = AmendedBudget(yosan, sums);
    ASSERT_EQ(amended.size(), 4u);
    const struct {
        int kamoku;
        Amount yosan;
    } expected[] = {{100, 50000}, {1001, 320000}, {2001, 190000}, {2005, 8000}};
    for (std::size_t i = 0; i < amended.size(); ++i) {
        SCOPED_TRACE(expected[i].kamoku);
        EXPECT_EQ(amended[i].kamoku, expected[i].kamoku);
        EXPECT_EQ(amended[i].yosan, expected[i].yosan);
    }

    // Settled against it: receipts 1001 received 310,000, payments 2001 paid 185,000.
    const auto kind = [](int kamoku) -> std::optional<int> { return kamoku < 2000 ? 1 : 2; };
    const KessanAmounts settled =
        SettleYear({}, amended, {{0, 1001, 310000, none}, {0, 2001, none, 185000}}, kind);
    ASSERT_TRUE(settled.error.isEmpty()) << settled.error.toStdString();
    const auto row = [&](int kamoku) {
        for (const KessanWorkRow& r : settled.rows)
            if (r.kamoku == kamoku)
                return r;
        ADD_FAILURE() << "no row " << kamoku;
        return KessanWorkRow{};
    };
    const struct {
        int kamoku;
        ZogenKubun kubun;
        qint64 zogen;
    } differences[] = {
        {1001, ZogenKubun::KessanMinusYosan, -10000}, {1001, ZogenKubun::YosanMinusKessan, 10000},
        {2001, ZogenKubun::KessanMinusYosan, -5000},  {2001, ZogenKubun::YosanMinusKessan, 5000},  // 残額
        {2005, ZogenKubun::KessanMinusYosan, -8000},  {2005, ZogenKubun::YosanMinusKessan, 8000},
    };
    for (const auto& d : differences) {
        SCOPED_TRACE(::testing::Message() << d.kamoku << " kubun " << int(d.kubun));
        const KessanWorkRow r = row(d.kamoku);
        EXPECT_EQ(ZogenOf(r.kessan, r.yosan, d.kubun), d.zogen);
    }

    // The next year imports the amended figures as 前年度予算額.
    const std::vector<ZennenYosanRow> zennen =
        AmendedBudget(std::vector<ZennenYosanRow>{{0, 1001, 300000}, {0, 2001, 200000}}, sums);
    const ZennenImport imported = ImportZennen({{0, 1001, 1, 330000, none, none, false}}, zennen, {}, kind);
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    std::map<int, Amount> zennenYosan;
    for (const YosanWorkRow& r : imported.rows)
        if (r.kaikeiKubun == 0)
            zennenYosan[r.kamoku] = r.zennenYosan;
    EXPECT_EQ(zennenYosan[1001], Amount(320000));
    EXPECT_EQ(zennenYosan[2001], Amount(190000));
    EXPECT_EQ(zennenYosan[2005], Amount(8000));
}

TEST(HoseiRules, SignAndTitleAsTheOrganisationPrintsThem) {
    EXPECT_EQ(ZogenKubunOf(std::nullopt), ZogenKubun::KessanMinusYosan);
    EXPECT_EQ(ZogenKubunOf(0), ZogenKubun::KessanMinusYosan);
    EXPECT_EQ(ZogenKubunOf(1), ZogenKubun::YosanMinusKessan);
    EXPECT_EQ(ZogenOf(none, 5000, ZogenKubun::KessanMinusYosan), -5000);  // nothing spent yet
    EXPECT_EQ(ZogenOf(none, 5000, ZogenKubun::YosanMinusKessan), 5000);

    EXPECT_EQ(StatementTitle(QString(), u"収支決算書"_s).toStdString(), "収支決算書");
    EXPECT_EQ(StatementTitle(u"　 "_s, u"収支決算書"_s).toStdString(), "収支決算書");
    EXPECT_EQ(StatementTitle(u" PTA会計 決算報告書 "_s, u"収支決算書"_s).toStdString(), "PTA会計 決算報告書");
}
