#include <gtest/gtest.h>

#include "statements/StatementRules.h"
#include "statements/YosanRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {

std::string Text(const QString& s) {
    return s.toStdString();
}

}  // namespace

// Receipts 1,000,000 (carry-over in included), carry-over out 100,000: the reserve
// fund is what the ordinary payments leave, for this year's and last year's budget.
TEST(YosanRules, TheReserveFundBalancesTheBudget) {
    const YosanSums receipts{1000000, 900000, 950000};
    const YosanSums carryOut{100000, 50000, 0};
    const struct {
        const char* name;
        YosanSums payments;
        Yobihi yobihi;
    } cases[] = {
        {"receipts exceed payments", {800000, 700000, 0}, {100000, 150000}},
        {"receipts equal payments", {900000, 850000, 0}, {0, 0}},
        {"receipts fall short", {1000000, 900000, 0}, {-100000, -50000}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(YobihiOf(receipts, c.payments, carryOut), c.yobihi);
    }
    // Last year's carry-over out: last year's receipts less its payments but item 8000.
    EXPECT_EQ(JikiKurikosiZennenKessan({0, 0, 950000}, {0, 0, 880000}), 70000);
    EXPECT_EQ(JikiKurikosiZennenKessan({0, 0, 100}, {0, 0, 250}), -150);
    // Sums beyond one amount's range are computed, and refused only when stored.
    EXPECT_EQ(YobihiOf({3000000000, 0, 0}, {}, {}).yosan, 3000000000);
    EXPECT_EQ(AsStoredAmount(3000000000), std::nullopt);
    EXPECT_EQ(AsStoredAmount(-2147483648LL), std::optional<int>(-2147483647 - 1));
}

TEST(YosanRules, ADivisionStartsWithTheItemsValidInTheYear) {
    const db::Value none;
    const struct {
        int kamoku, division;
        db::Value kaisi, syuryo;
        bool taken;
    } cases[] = {
        {100, 0, none, none, true},   {100, 2, none, none, true},   {7000, 2, none, none, true},
        {8000, 2, none, none, true},  {1001, 0, none, none, true},  {1001, 2, none, none, false},
        {3000, 0, none, none, false}, {6000, 0, none, none, false}, {3000, 2, none, none, true},
        {6000, 2, none, none, true},  {6002, 0, none, none, true},  // a general-account transfer item
        {1001, 0, 2022, none, false}, {1001, 0, 2021, 2021, true},  {1001, 0, none, 2020, false},
        {1001, 0, none, 0, true},     // an end of 0 is open here
        {100, 0, 2022, none, false},  // validity holds for the carry-overs too
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.kamoku << " in " << c.division);
        EXPECT_EQ(TakesDefaultRow(c.kamoku, c.division, 2021, c.kaisi, c.syuryo), c.taken);
    }
}

TEST(YosanRules, APostedLineIsCheckedInOrder) {
    const struct {
        const char* name;
        YosanLineCheck line;
        std::optional<QString> error;
    } cases[] = {
        {"no item", {0, std::nullopt, 0, false, false}, u"科目(集計項目)を入力してください。"_s},
        {"unknown item", {1234, std::nullopt, 0, false, false}, u"科目(集計項目)が登録されていません。"_s},
        {"own transfer item", {6002, 2, 2, false, false}, u"この科目(集計項目)は入力できません。"_s},
        {"another division's transfer item", {6002, 2, 0, false, false}, std::nullopt},
        {"duplicate", {1001, 0, 0, false, true}, u"科目(集計項目)が重複しています。"_s},
        {"item unchanged in an edit", {1001, 0, 0, true, true}, std::nullopt},
        {"own transfer item, unchanged",
         {6002, 2, 2, true, false},
         u"この科目(集計項目)は入力できません。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckYosanLine(c.line), c.error);
    }
}

TEST(YosanRules, ANewLineIsBlankOnlyWithNothingTyped) {
    const db::Value none;
    EXPECT_TRUE(IsBlankNewLine({none, none, none, none, none, 99}));
    EXPECT_TRUE(IsBlankNewLine({0, 0, 0, 0, u"　 "_s, 99}));
    EXPECT_FALSE(IsBlankNewLine({none, none, none, none, none, 10}));
    EXPECT_FALSE(IsBlankNewLine({none, none, none, 5, none, 99}));
    EXPECT_FALSE(IsBlankNewLine({1001, none, none, none, none, 99}));
    EXPECT_FALSE(IsBlankNewLine({none, none, none, none, u"会費"_s, 99}));
}

TEST(YosanRules, TheSignatureTextsNameTheYear) {
    const struct {
        int year, kisyubi, nengoKubun;
        const char16_t* comment;
        const char16_t* hizuke;
    } cases[] = {
        {2021, 20210401, 0, u"上記の通り２０２１年度の収支予算を提案します。", u" ２０２１ 年    月    日"},
        {2021, 20210401, 1, u"上記の通り令和３年度の収支予算を提案します。", u"令和 ３ 年    月    日"},
        // The first day's month and day in the header year decide the era.
        {2019, 20190401, 1, u"上記の通り平成３１年度の収支予算を提案します。", u"平成 ３１ 年    月    日"},
        {2019, 20180501, 1, u"上記の通り令和１年度の収支予算を提案します。", u"令和 １ 年    月    日"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.year);
        const YosanTexts texts = YosanDefaultTexts(c.year, c.kisyubi, c.nengoKubun);
        EXPECT_EQ(Text(texts.comment), Text(QString::fromUtf16(c.comment)));
        EXPECT_EQ(Text(texts.hizuke), Text(QString::fromUtf16(c.hizuke)));
    }
}

TEST(YosanRules, TheItemListsOfADivision) {
    EXPECT_EQ(KamokuListFilter(1, 0, 7000), u"(SYUSI_KUBUN = 1) AND (KAMOKU <> 3000) AND (KAMOKU <> 6000)"_s);
    EXPECT_EQ(KamokuListFilter(2, 0, 7000),
              u"(SYUSI_KUBUN = 2) AND (KAMOKU < 7000) AND (KAMOKU <> 3000) AND (KAMOKU <> 6000)"_s);
    EXPECT_EQ(KamokuListFilter(2, 3, 8000),
              u"(SYUSI_KUBUN = 2) AND (KAMOKU < 8000) AND (KAIKEI_KUBUN <> 3)"_s);
    // A journal sum as an item's amount: refunds count against their item.
    EXPECT_EQ(SignedNet(1, 320000, 20000), 300000);
    EXPECT_EQ(SignedNet(2, 5000, 3000), -2000);
    EXPECT_EQ(SignedNet(0, 5000, 3000), -2000);
}

namespace {

YosanWorkRow Row(int division, int kamoku, int kind, std::optional<qint64> yosan = std::nullopt,
                 std::optional<qint64> zennenYosan = std::nullopt,
                 std::optional<qint64> zennenKessan = std::nullopt, bool added = false) {
    return {division, kamoku, kind, yosan, zennenYosan, zennenKessan, added};
}

std::optional<int> KindOf(int kamoku) {
    switch (kamoku) {
        case 100:
        case 1001:
        case 3000:
            return 1;
        case 2001:
        case 2002:
        case 6000:
        case 7000:
        case 8000:
            return 2;
        default:
            return std::nullopt;
    }
}

}  // namespace

TEST(YosanRules, TheImportCarriesLastYearIn) {
    const std::vector<YosanWorkRow> thisYear = {
        Row(0, 100, 1, 1),  Row(0, 1001, 1, 400000, 1, 1), Row(0, 2001, 2, 350000),
        Row(0, 7000, 2, 5), Row(0, 8000, 2, 50000, 3, 3),
    };
    const struct {
        const char* name;
        std::vector<ZennenYosanRow> budget;
        std::vector<ZennenMeisaiSum> journal;
        std::vector<YosanWorkRow> result;
    } cases[] = {
        {"no previous year: carry-overs 0, the reserve fund rebalanced",
         {},
         {},
         {Row(0, 100, 1, 0), Row(0, 1001, 1, 400000), Row(0, 2001, 2, 350000), Row(0, 7000, 2, 0),
          Row(0, 8000, 2, 50000, std::nullopt, 0)}},
        {"a previous budget and journal",
         {{0, 100, 50000},
          {0, 1001, 300000},
          {0, 2001, 280000},
          {0, 7000, 70000},
          {0, 2002, 0},
          {2, 3000, 20000}},
         {{0, 1001, 300000, std::nullopt}, {0, 2001, std::nullopt, 280000}, {0, 2002, 5000, 3000}},
         {Row(0, 100, 1, 72000, 50000, 50000), Row(0, 1001, 1, 400000, 300000, 300000),
          Row(0, 2001, 2, 350000, 280000, 280000), Row(0, 7000, 2, 72000, 70000),
          Row(0, 8000, 2, 50000, std::nullopt, 72000),
          Row(2, 3000, 1, std::nullopt, 20000, std::nullopt, true),
          Row(0, 2002, 2, std::nullopt, std::nullopt, -2000, true),
          Row(2, 8000, 2, std::nullopt, std::nullopt, 0, true),
          Row(2, 100, 1, 0, std::nullopt, std::nullopt, true),
          Row(2, 7000, 2, 0, std::nullopt, std::nullopt, true)}},
        {"a journal net of 0 brings nothing",
         {},
         {{0, 2002, 3000, 3000}},
         {Row(0, 100, 1, 0), Row(0, 1001, 1, 400000), Row(0, 2001, 2, 350000), Row(0, 7000, 2, 0),
          Row(0, 8000, 2, 50000, std::nullopt, 0)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ZennenImport result = ImportZennen(thisYear, c.budget, c.journal, KindOf);
        EXPECT_TRUE(result.error.isEmpty()) << Text(result.error);
        EXPECT_EQ(result.rows, c.result);
    }
    const ZennenImport refused = ImportZennen(thisYear, {{0, 4001, 100}}, {}, KindOf);
    EXPECT_EQ(Text(refused.error), Text(u"科目コード[4001]が登録されていません。"_s));
}

TEST(YosanRules, AnItemOutsideTheStatementsCarriesItsBalanceOn) {
    const db::Value none;
    const struct {
        int kind;
        db::Value kurikosi, syunyu, sisyutsu;
        qint64 result;
    } cases[] = {
        {1, 10000, 5000, 8000, 7000},  // deposits held: in 10,000, received 5,000, paid out 8,000
        {2, 10000, 5000, 8000, 13000},
        {1, none, none, none, 0},
        {1, none, 4000, none, 4000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ZennenKurikosiOf(c.kind, c.kurikosi, c.syunyu, c.sisyutsu), c.result);
}
