#include <gtest/gtest.h>

#include "master/YearTextShift.h"

namespace {

struct ShiftCase {
    const char16_t* text;
    const char16_t* expected;
};

}  // namespace

TEST(YearTextShift, WesternYearMovesOnInFullWidthDigits) {
    const ShiftCase cases[] = {
        {u"２０２０年度の事業報告", u"２０２１年度の事業報告"},
        {u"上記の通り2020年度の収支予算を提案します。", u"上記の通り２０２１年度の収支予算を提案します。"},
        {u"２０２０　年度", u"２０２１　年度"},    // the full-width blank stays
        {u"2020 年度", u"２０２１ 年度"},          // so does a half-width one
        {u"ｶﾞｲﾄﾞ2020年度", u"ｶﾞｲﾄﾞ２０２１年度"},  // voiced half-width kana before the year
        {u"事業報告", u"事業報告"},                // no 年
        {u"２０２０の事業", u"２０２０の事業"},
        {u"年度末 ２０２０年", u"年度末 ２０２０年"},  // the first 年 stands before the year
        {u"２０１９年度と２０２０年度", u"２０１９年度と２０２０年度"},
        {u"２０２０円の年会費", u"２０２０円の年会費"},  // something else between year and 年
        {u"", u""},
    };
    for (const ShiftCase& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(ShiftWesternYear(2020, QString::fromUtf16(c.text)), QString::fromUtf16(c.expected));
    }
}

TEST(YearTextShift, EraYearMovesOnAndCrossesIntoTheNextEra) {
    struct EraCase {
        int previousYear;
        int monthDay;
        ShiftCase shift;
    };
    const EraCase cases[] = {
        {2020, 401, {u"令和２年度の事業報告", u"令和３年度の事業報告"}},
        {2020, 401, {u"令和2年度", u"令和３年度"}},
        {2019, 401, {u"平成３１年度", u"令和２年度"}},  // 1 April 2019 is still 平成
        {2018, 401, {u"平成３０年度", u"平成３１年度"}},
        {2019, 101, {u"平成３１年度", u"令和２年度"}},
        {2020, 0, {u"令和２年度", u"令和３年度"}},        // no first day: 1 January
        {2020, 401, {u"令和　２年度", u"令和　３年度"}},  // a blank between era and year stays
        {2020, 401, {u"２０２０年度", u"２０２０年度"}},  // no era
        {2020, 401, {u"令和元年度", u"令和元年度"}},
        {2020, 401, {u"２年前の令和２年度", u"２年前の令和２年度"}},  // the year stands before the era
        {2020, 401, {u"令和２回の年度", u"令和２回の年度"}},
    };
    for (const EraCase& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.shift.text).toStdString());
        EXPECT_EQ(ShiftEraYear(c.previousYear, c.monthDay, QString::fromUtf16(c.shift.text)),
                  QString::fromUtf16(c.shift.expected));
    }
}

TEST(YearTextShift, DateLines) {
    EXPECT_EQ(BlankDateLine(QString(), 2021), QStringLiteral(" ２０２１ 年    月    日"));
    EXPECT_EQ(BlankDateLine(QStringLiteral("令和"), 3), QStringLiteral("令和 ３ 年    月    日"));
    EXPECT_EQ(FullDateLine(QString(), 2022, 3, 31), QStringLiteral(" ２０２２ 年 ３ 月 ３１ 日"));
    EXPECT_EQ(FullDateLine(QStringLiteral("令和"), 4, 10, 1), QStringLiteral("令和 ４ 年 １０ 月 １ 日"));
    EXPECT_EQ(EraYearOf(20190430).eraName, QStringLiteral("平成"));
    EXPECT_EQ(EraYearOf(20190430).year, 31);
    EXPECT_EQ(EraYearOf(20190501).eraName, QStringLiteral("令和"));
    EXPECT_EQ(EraYearOf(20190501).year, 1);
}
