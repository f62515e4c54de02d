#include <gtest/gtest.h>

#include "core/DateUtil.h"
#include "core/Errors.h"

TEST(DateUtil, SplitYmd) {
    const Ymd d = SplitYmd(20210415);
    EXPECT_EQ(d.year, 2021);
    EXPECT_EQ(d.month, 4);
    EXPECT_EQ(d.day, 15);
}

TEST(DateUtil, IsValidYmd) {
    struct Case {
        int value;
        bool valid;
    } const cases[] = {
        {0, true},                             // nothing at all
        {20210000, true},  {20210400, true},   // a whole year, a whole month
        {20210228, true},  {20210229, false},  // common year
        {20200229, true},  {19000229, false},  // leap years: by 4, not by 100 ...
        {20000229, true},                      // ... unless by 400
        {20210431, false}, {20211231, true},   {20211301, false},
        {20210015, false},                // month 13; a day without a month
        {415, false},      {100, false},  // month or day without a year
        {99991231, true},  {100000101, false}, {-1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(IsValidYmd(c.value), c.valid);
    }
}

TEST(DateUtil, IsValidDateTextWantsAFullEightDigitDate) {
    struct Case {
        const char16_t* text;
        bool valid;
    } const cases[] = {
        {u"20210228", true},   {u"20200229", true},  {u"20210229", false},         {u"20211301", false},
        {u"20210400", false},  {u"20210000", false}, {u"00000101", false},         {u"2021041", false},
        {u"202104150", false}, {u"2021-4-1", false}, {u"+2021041", false},         {u"2021 415", false},
        {u"", false},          {u"2021O415", false}, {u"２０２１０４１５", false},
    };
    for (const auto& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        EXPECT_EQ(IsValidDateText(text), c.valid);
    }
}

TEST(DateUtil, ToWarekiFindsTheEraOfTheDay) {
    struct Case {
        int value;
        int era;
        int eraValue;
    } const cases[] = {
        {20210401, 5, 30401},   // 令和3
        {20190430, 4, 310430},  // 平成31
        {20190501, 5, 10501},   // 令和1
        {19890107, 3, 640107},  // 昭和64
        {19890108, 4, 10108},   // 平成1
        {19261225, 3, 11225},   // 昭和1
        {19120730, 2, 10730},   // 大正1
        {18680101, 1, 10101},   // 明治1
        {18671231, 0, 18671231}, {0, 0, 0}, {-5, 0, -5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        const Wareki w = ToWareki(c.value);
        EXPECT_EQ(w.eraIndex, c.era);
        EXPECT_EQ(w.value, c.eraValue);
    }
    EXPECT_EQ(NengoTable[4].name, u"平成");
    EXPECT_EQ(NengoTable[5].name, u"令和");
    EXPECT_EQ(NengoTable[0].name, u"西暦");
}

TEST(DateUtil, StepByDay) {
    struct Case {
        int value;
        int prev;
        int next;
    } const cases[] = {
        {20210415, 20210414, 20210416},
        {20210401, 20210331, 20210402},
        {20210400, 20210331, 20210401},  // a whole month: the day before it, its first day
        {20210101, 20201231, 20210102},
        {20211231, 20211230, 20220101},
        {20200229, 20200228, 20200301},
        {20210228, 20210227, 20210301},
        {20200301, 20200229, 20200302},
        {20210301, 20210228, 20210302},
        {20210231, 20210227, 20210301},  // a day beyond the month counts as its last
        {20210000, 20210000, 20210000},  // no month: unchanged
        {20211315, 20211315, 20211315},
        {415, 415, 415},  // no year: unchanged
        {-20210415, -20210415, -20210415},
        {2147481231, 2147481230, 2147481231},  // the next day would not fit an integer
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(PrevDay(c.value), c.prev);
        EXPECT_EQ(NextDay(c.value), c.next);
    }
}

TEST(DateUtil, StepByMonthAndYearKeepsTheDayWithinTheMonth) {
    struct Case {
        int value;
        int nextMonth;
        int nextYear;
    } const cases[] = {
        {20210131, 20210228, 20220131},
        {20200131, 20200229, 20210131},
        {20200229, 20200329, 20210228},
        {20240229, 20240329, 20250228},
        {20211215, 20220115, 20221215},
        {20210331, 20210430, 20220331},
        {20210400, 20210500, 20220400},
        {20210000, 20210000, 20220000},  // a whole year steps by year only
        {415, 415, 10415},               // no year: by month unchanged, by year it gains one
        {0, 0, 0},
        {-1, -1, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(NextMonthSameDay(c.value), c.nextMonth);
        EXPECT_EQ(NextYearSameDay(c.value), c.nextYear);
    }
}

TEST(DateUtil, PadNumber) {
    struct Case {
        int number;
        int width;
        const char16_t* text;
    } const cases[] = {
        {0, 2, u"  "},      {4, 2, u" 4"},   {12, 2, u"12"},  {2021, 2, u"20"},
        {2021, 4, u"2021"}, {7, 4, u"   7"}, {-5, 3, u" -5"}, {5, 0, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.number);
        EXPECT_EQ(PadNumber(c.number, c.width), QString::fromUtf16(c.text));
    }
}

TEST(DateUtil, FormatDateText) {
    struct Case {
        const char16_t* text;
        int eraFlag;
        const char16_t* formatted;
    } const cases[] = {
        {u"20210401", 0, u"2021/ 4/ 1"}, {u"20210401", 1, u" 3/ 4/ 1"},   {u"20191231", 1, u" 1/12/31"},
        {u"20190430", 1, u"31/ 4/30"},   {u"18671231", 1, u"1867/12/31"},  // before the first era the year
                                                                           // stays Gregorian
        {u"20211100", 0, u"2021/11/  "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.text).toStdString());
        EXPECT_EQ(FormatDateText(QString::fromUtf16(c.text), c.eraFlag), QString::fromUtf16(c.formatted));
    }
    EXPECT_THROW(FormatDateText(QStringLiteral("2021/4/1"), 0), EAppError);
    EXPECT_THROW(FormatDateText(QString(), 1), EAppError);
}
