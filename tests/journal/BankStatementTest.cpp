#include <gtest/gtest.h>

#include "journal/BankStatement.h"

using namespace Qt::Literals::StringLiterals;

TEST(BankStatement, ReadAmountsAsBanksWriteThem) {
    const struct {
        const char16_t* cell;
        BankAmount::Kind kind;
        qint64 value;
    } cases[] = {
        {u"12345", BankAmount::Number, 12345},
        {u"12,345", BankAmount::Number, 12345},
        {u"￥12,345", BankAmount::Number, 12345},
        {u"\\12,345", BankAmount::Number, 12345},
        {u"12,345円", BankAmount::Number, 12345},
        {u"１２，３４５", BankAmount::Number, 12345},
        {u" 1 200 ", BankAmount::Number, 1200},
        {u"+500", BankAmount::Number, 500},
        {u"-1,200", BankAmount::Number, -1200},
        {u"－１，２００", BankAmount::Number, -1200},
        {u"\u22121,200", BankAmount::Number, -1200},
        {u"△1,200", BankAmount::Number, -1200},
        {u"▲1,200", BankAmount::Number, -1200},
        {u"(1,200)", BankAmount::Number, -1200},
        {u"（１，２００）", BankAmount::Number, -1200},
        {u"0", BankAmount::Number, 0},
        {u"", BankAmount::Empty, 0},
        {u"　", BankAmount::Empty, 0},
        {u"12.5", BankAmount::Invalid, 0},
        {u"1-200", BankAmount::Invalid, 0},
        {u"(-1,200)", BankAmount::Invalid, 0},
        {u"abc", BankAmount::Invalid, 0},
        {u"-", BankAmount::Invalid, 0},
        {u"12345678901234567890", BankAmount::TooLarge, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.cell).toStdString());
        const BankAmount a = ParseBankAmount(QString::fromUtf16(c.cell));
        EXPECT_EQ(a.kind, c.kind);
        EXPECT_EQ(a.value, c.value);
    }
    EXPECT_EQ(ParseBankAmount(u"-00012345678901234567890"_s).digits, u"-12345678901234567890"_s);
}

TEST(BankStatement, ReadDatesInEitherCalendar) {
    const std::pair<const char16_t*, const char16_t*> cases[] = {
        {u"2026/4/5", u"20260405"},
        {u"2026-04-05", u"20260405"},
        {u"2026.4.5", u"20260405"},
        {u"20260405", u"20260405"},
        {u"2026年4月5日", u"20260405"},
        {u"２０２６／０４／０５", u"20260405"},
        {u"2026/4/5 10:30", u"20260405"},
        {u"令和8年4月5日", u"20260405"},
        {u"令和８年４月５日", u"20260405"},
        {u"令和 8年 4月 5日", u"20260405"},
        {u"令和元年5月1日", u"20190501"},
        {u"R8.4.5", u"20260405"},
        {u"R08/04/05", u"20260405"},
        {u"Ｒ０８．０４．０５", u"20260405"},
        {u"r8-4-5", u"20260405"},
        {u"H31.4.30", u"20190430"},
        {u"平成31年4月30日", u"20190430"},
        {u"S64.1.7", u"19890107"},
        // Not dates: as written, for the date check to refuse with the cell shown.
        {u"4/5", u"4/5"},
        {u"R0.4.5", u"R0.4.5"},
        {u"大正8年4月5日", u"大正8年4月5日"},
        {u"", u""},
    };
    for (const auto& [cell, hizuke] : cases)
        EXPECT_EQ(ParseBankDate(QString::fromUtf16(cell)), QString::fromUtf16(hizuke))
            << QString::fromUtf16(cell).toStdString();
}

TEST(BankStatement, KnowAmountColumnsByTheirHeadings) {
    const std::pair<const char16_t*, AmountColumn> cases[] = {
        {u"お預り金額", AmountColumn::Syunyu},
        {u"入金", AmountColumn::Syunyu},
        {u"預入", AmountColumn::Syunyu},
        {u"入金額", AmountColumn::Syunyu},
        {u"お支払金額", AmountColumn::Sisyutsu},
        {u"出金", AmountColumn::Sisyutsu},
        {u"引出", AmountColumn::Sisyutsu},
        {u"支払金額", AmountColumn::Sisyutsu},
        {u"お引出し金額", AmountColumn::Sisyutsu},
        {u"入出金額", AmountColumn::Signed},
        {u"取引金額", AmountColumn::Signed},
        {u"金額", AmountColumn::Signed},
        {u"残高", AmountColumn::Zandaka},
        {u"差引残高", AmountColumn::Zandaka},
        {u"摘要", AmountColumn::None},
        {u"取引日", AmountColumn::None},
    };
    for (const auto& [heading, kind] : cases)
        EXPECT_EQ(AmountColumnOf(QString::fromUtf16(heading)), kind)
            << QString::fromUtf16(heading).toStdString();
}

TEST(BankStatement, FindTheRowsWhereTheBalancesPart) {
    using Rows = std::vector<BalanceRow>;
    using Breaks = std::vector<BalanceBreak>;
    const struct {
        const char* name;
        Rows rows;
        Breaks breaks;
    } cases[] = {
        {"every row follows", {{2, 1000, 51000}, {3, -300, 50700}, {4, 5000, 55700}}, {}},
        {"a row left out (its -300)",
         {{2, 1000, 51000}, {3, 5000, 55700}, {4, -200, 55500}},
         {{3, 56000, 55700}}},
        {"a row written twice",
         {{2, 1000, 51000}, {3, -300, 50700}, {4, -300, 50700}, {5, 100, 50800}},
         {{4, 50400, 50700}}},
        {"a row without a balance still counts",
         {{2, 1000, 51000}, {3, -300, std::nullopt}, {4, 5000, 55700}},
         {}},
        {"newest first", {{2, 5000, 55700}, {3, -300, 50700}, {4, 1000, 51000}}, {}},
        {"newest first, a row left out",
         {{2, -200, 55500}, {3, 5000, 55700}, {4, 1000, 51000}, {5, 100, 50000}},
         {{3, 56000, 55700}}},
        {"no balances", {{2, 1000, std::nullopt}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(CheckRunningBalance(c.rows), c.breaks);
    }
}
