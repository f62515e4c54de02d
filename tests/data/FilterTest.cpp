#include "data/Filter.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <map>

namespace data {
namespace {

using Row = std::map<QString, db::Value>;

bool Passes(const QString& expression, const Row& row) {
    const FilterExpression filter = FilterExpression::Parse(expression);
    return filter.Evaluate([&](int i) {
        const auto it = row.find(filter.FieldNames()[i].toUpper());
        return it == row.end() ? db::Value() : it->second;
    });
}

TEST(FilterTest, EvaluatesTheExpressionsOfTheWindows) {
    const Row payment{{u"SYUSI_KUBUN"_qs, 2}, {u"KAMOKU"_qs, 5010}};
    const Row reserve{{u"SYUSI_KUBUN"_qs, 2}, {u"KAMOKU"_qs, 7000}};
    const Row receipt{{u"SYUSI_KUBUN"_qs, 1}, {u"KAMOKU"_qs, 100}};
    const Row noKamoku{{u"SYUSI_KUBUN"_qs, 2}};
    const Row kana{{u"FURIGANA"_qs, u"かいひ"_qs}};
    const Row katakana{{u"FURIGANA"_qs, u"カイヒ"_qs}};
    const Row dated{{u"HIZUKE"_qs, u"20210415"_qs}, {u"KAMOKU"_qs, 5010}};
    const Row quote{{u"MEISYO"_qs, u"O'Neil"_qs}};
    struct Case {
        const char16_t* expression;
        const Row& row;
        bool expected;
    } cases[] = {
        {u"(SYUSI_KUBUN = 2) and (KAMOKU <> 7000)", payment, true},
        {u"(SYUSI_KUBUN = 2) and (KAMOKU <> 7000)", reserve, false},
        {u"(SYUSI_KUBUN = 2) and (KAMOKU <> 7000)", receipt, false},
        {u"(SYUSI_KUBUN = 1) AND (KAMOKU < 7000) AND (KAMOKU <> 3000)", receipt, true},
        {u"SYUSI_KUBUN = 1 or KAMOKU = 7000", reserve, true},
        {u"not (SYUSI_KUBUN = 1)", receipt, false},
        {u"not SYUSI_KUBUN = 1 and KAMOKU >= 7000", reserve, true},
        {u"SYUSI_KUBUN = 1 or SYUSI_KUBUN = 2 and KAMOKU = 100", reserve, false},  // and binds tighter
        {u"(FURIGANA like 'か%')", kana, true},
        {u"(FURIGANA like 'か%')", katakana, false},
        {u"FURIGANA like '%ひ'", kana, true},
        {u"FURIGANA like 'か_ひ'", kana, true},
        {u"FURIGANA like 'か_'", kana, false},
        {u"(HIZUKE >= '20210401') and (HIZUKE <= '20210430')", dated, true},
        {u"(HIZUKE >= '20210501')", dated, false},
        {u"KAMOKU > 5009 and KAMOKU <= 5010", dated, true},
        {u"MEISYO = 'O''Neil'", quote, true},
        {u"(TOKUBETSU_CD <> -2)", payment, false},  // a NULL field fails every comparison
        {u"KAMOKU <> 7000", noKamoku, false},
        {u"KAMOKU = 7000", noKamoku, false},
        {u"not (KAMOKU = 7000)", noKamoku, true},
        {u"KAMOKU is null", noKamoku, true},
        {u"KAMOKU is not null", payment, true},
        {u"KAMOKU = '5010'", payment, true},  // a text that reads as a number compares as one
        {u"  ", payment, true},
    };
    for (const Case& c : cases) {
        const QString expression = QString::fromUtf16(c.expression);
        SCOPED_TRACE(expression.toStdString());
        EXPECT_EQ(Passes(expression, c.row), c.expected);
    }
}

TEST(FilterTest, RefusesMalformedExpressions) {
    for (const char16_t* bad : {u"KAMOKU =", u"(KAMOKU = 1", u"KAMOKU = 1)", u"KAMOKU == 1", u"MEISYO = 'abc",
                                u"KAMOKU 1", u"and = 1", u"KAMOKU = 1 or", u"KAMOKU is 1", u"KAMOKU ! 1"}) {
        const QString text = QString::fromUtf16(bad);
        SCOPED_TRACE(text.toStdString());
        EXPECT_THROW(FilterExpression::Parse(text), EAppError);
    }
}

TEST(FilterTest, NamesEachFieldOnceIgnoringCase) {
    const FilterExpression filter =
        FilterExpression::Parse(u"(kamoku = 1) or (KAMOKU = 2) or (Bunrui = 3)"_qs);
    EXPECT_EQ(filter.FieldNames(), QStringList({u"kamoku"_qs, u"Bunrui"_qs}));
}

}  // namespace
}  // namespace data
