#include <gtest/gtest.h>

#include "journal/MeisaiRules.h"

using namespace Qt::Literals::StringLiterals;

TEST(MeisaiRules, PlaceMonthDaysInTheFiscalYear) {
    const struct {
        const char16_t* mmdd;
        const char16_t* kisyubi;
        const char16_t* hizuke;
    } cases[] = {
        {u"0401", u"20210401", u"20210401"}, {u"1231", u"20210401", u"20211231"},
        {u"0331", u"20210401", u"20220331"}, {u"0315", u"20210401", u"20220315"},
        {u"0400", u"20210401", u"20220400"},  // before the first day: next year, not a real date
        {u"0101", u"20210101", u"20210101"}, {u"1231", u"20210101", u"20211231"},
        {u"04 5", u"20210401", u"20210405"},  // a blank inside reads as 0
        {u"    ", u"20210401", u""},         {u"", u"20210401", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.mmdd).toStdString() + " in " +
                     QString::fromUtf16(c.kisyubi).toStdString());
        EXPECT_EQ(MmddToHizuke(QString::fromUtf16(c.mmdd), QString::fromUtf16(c.kisyubi)),
                  QString::fromUtf16(c.hizuke));
    }
}

TEST(MeisaiRules, BuildTheDisplayFilter) {
    EXPECT_EQ(DisplayFilterText({}, {}, 0), QString());
    EXPECT_EQ(DisplayFilterText(u"20210501"_s, u"20210531"_s, 0),
              u"(HIZUKE >= '20210501') and (HIZUKE <= '20210531')"_s);
    // A range that ends where (or before) it begins shows every date.
    EXPECT_EQ(DisplayFilterText(u"20210501"_s, u"20210501"_s, 0), QString());
    EXPECT_EQ(DisplayFilterText(u"20210601"_s, u"20210501"_s, 1001), u"(KAMOKU = 1001)"_s);
    EXPECT_EQ(DisplayFilterText({}, u"20210531"_s, 2001), u"(HIZUKE <= '20210531') and (KAMOKU = 2001)"_s);
}

TEST(MeisaiRules, MirrorTransfersBetweenDivisions) {
    // The item list in its order: receipts first, then payments.
    const std::vector<KamokuFacts> items = {
        {0, 0, 0},    {1001, 1, 0}, {3000, 1, 0}, {3003, 1, 3},  // receipt from special account 3
        {3202, 1, 2},                                            // receipt in 3 from special account 2
        {2001, 2, 0}, {6000, 2, 0}, {6002, 2, 2},                // payment to special account 2
        {6203, 2, 3},                                            // payment from 2 to special account 3
    };
    const auto item = [&](int cd) {
        for (const KamokuFacts& k : items)
            if (k.cd == cd)
                return k;
        return KamokuFacts{cd, 2, 0};
    };
    const struct {
        const char* name;
        int division;
        int kamoku;
        std::optional<MirrorHalf> mirror;
    } cases[] = {
        {"case 1: general receipt from 3 is a payment in 3", 0, 3003, MirrorHalf{3, 6000}},
        {"case 1: general payment to 2 is a receipt in 2", 0, 6002, MirrorHalf{2, 3000}},
        {"case 2: payment from 2 to 3 is 3's receipt from 2", 2, 6203, MirrorHalf{3, 3202}},
        {"case 2 without a counter item", 1, 3202, std::nullopt},
        {"case 3: 3's payment to the general account", 3, 6000, MirrorHalf{0, 3003}},
        {"case 3: 2's receipt from the general account", 2, 3000, MirrorHalf{0, 6002}},
        {"case 3 without a counter item", 1, 6000, std::nullopt},
        {"no mirror: ordinary item in the general account", 0, 1001, std::nullopt},
        {"no mirror: built-in transfer item in the general account", 0, 3000, std::nullopt},
        {"no mirror: ordinary item in a special account", 2, 2001, std::nullopt},
        {"no mirror: the blank entry", 2, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(MirroredHalf(c.division, item(c.kamoku), items), c.mirror);
    }
}

TEST(MeisaiRules, CheckALineBeforeSavingInOrder) {
    const auto tokubetsuOf = [](int kamoku) -> std::optional<int> {
        switch (kamoku) {
            case 1001:
                return 0;
            case 6002:
                return 2;
            case 3000:
            case 6000:
                return 0;
            default:
                return std::nullopt;
        }
    };
    const db::Value none;
    const struct {
        const char* name;
        LineValues line;
        int division;
        std::optional<QString> message;
        LineColumn column;
    } cases[] = {
        {"no date, no item, both amounts",
         {u"  "_s, none, 5, 6},
         0,
         u"日付を入力してください。"_s,
         LineColumn::Hizuke},
        {"a day that does not exist",
         {u"20220400"_s, 1001, 5, none},
         0,
         u"日付が正しくありません。"_s,
         LineColumn::Hizuke},
        {"a short date", {u"202203"_s, 1001, 5, none}, 0, u"日付が正しくありません。"_s, LineColumn::Hizuke},
        {"after the last day",
         {u"20220401"_s, 1001, 5, none},
         0,
         u"日付が会計期間の範囲外です。"_s,
         LineColumn::Hizuke},
        {"before the first day",
         {u"20210331"_s, 1001, 5, none},
         0,
         u"日付が会計期間の範囲外です。"_s,
         LineColumn::Hizuke},
        {"an item not in the list",
         {u"20210401"_s, 4444, 5, none},
         0,
         u"科目(集計項目)が登録されていません。"_s,
         LineColumn::Kamoku},
        {"an item naming the special account itself",
         {u"20210401"_s, 6002, none, 5},
         2,
         u"この科目(集計項目)は入力できません。"_s,
         LineColumn::Kamoku},
        {"a zero amount without an item",
         {u"20210401"_s, none, 0, none},
         0,
         u"金額を入力したときは科目(集計項目)を入力してください。"_s,
         LineColumn::Kamoku},
        {"an amount with item 0",
         {u"20220331"_s, 0, none, 100},
         0,
         u"金額を入力したときは科目(集計項目)を入力してください。"_s,
         LineColumn::Kamoku},
        {"both amounts",
         {u"20210401"_s, 1001, 5, 6},
         0,
         u"収入と支出の両方に金額が入力されています。"_s,
         LineColumn::Syunyu},
        {"an item and no amount", {u"20210401"_s, 1001, none, none}, 0, std::nullopt, LineColumn::Hizuke},
        {"a transfer item in the general account",
         {u"20220331"_s, 6002, none, 500},
         0,
         std::nullopt,
         LineColumn::Hizuke},
        // 3000/6000 are the special accounts' side of a transfer: the general
        // account's list never offers them, so saving must not take them either.
        {"item 3000 in the general account",
         {u"20210401"_s, 3000, 5, none},
         0,
         u"この科目(集計項目)は入力できません。"_s,
         LineColumn::Kamoku},
        {"item 6000 in the general account",
         {u"20210401"_s, 6000, none, 5},
         0,
         u"この科目(集計項目)は入力できません。"_s,
         LineColumn::Kamoku},
        {"item 6000 in a special account", {u"20210401"_s, 6000, none, 5}, 2, std::nullopt, LineColumn::Hizuke},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto error = CheckLine(c.line, u"20210401"_s, u"20220331"_s, c.division, tokubetsuOf);
        ASSERT_EQ(error.has_value(), c.message.has_value());
        if (error) {
            EXPECT_EQ(error->message, *c.message);
            EXPECT_EQ(error->column, c.column);
        }
    }
}
