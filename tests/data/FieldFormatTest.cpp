#include "data/FieldFormat.h"

#include <gtest/gtest.h>

namespace data {
namespace {

TEST(FieldFormatTest, FormatsNumbersWithPictures) {
    struct Case {
        qint64 value;
        const char16_t* picture;
        const char16_t* expected;
    } cases[] = {
        {1234567, u"#,##0;-#,##0", u"1,234,567"},
        {-1234567, u"#,##0;-#,##0", u"-1,234,567"},
        {-999999999, u"#,##0;-#,##0", u"-999,999,999"},
        {0, u"#,##0;-#,##0", u"0"},
        {123, u"#,##0", u"123"},
        {-5, u"#,##0", u"-5"},
        {1000, u"0;-0", u"1000"},
        {-1000, u"0;-0", u"-1000"},
        {100, u"0000", u"0100"},
        {12345, u"0000", u"12345"},
        {0, u"#,##0;-#,##0;", u""},
        {0, u"#,###", u""},
        {-7, u"", u"-7"},
        {5, u"#,##0円", u"5円"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.picture).toStdString() + " " + std::to_string(c.value));
        EXPECT_EQ(FormatNumber(c.value, QString::fromUtf16(c.picture)), QString::fromUtf16(c.expected));
    }
}

TEST(FieldFormatTest, CutsBetweenCharactersNeverInsideASurrogatePair) {
    const QString yoshi = u"𠮷"_qs;  // one character, two UTF-16 units
    EXPECT_EQ(CharacterCount(u"ab"_qs + yoshi + u"c"_qs), 4);
    EXPECT_EQ(CutToCharacters(u"ab"_qs + yoshi + u"c"_qs, 3), u"ab"_qs + yoshi);
    EXPECT_EQ(CutToCharacters(u"ab"_qs + yoshi + u"c"_qs, 2), u"ab"_qs);
    EXPECT_EQ(CutToCharacters(u"あいう"_qs, 10), u"あいう"_qs);
    EXPECT_EQ(CutToCharacters(u"あいう"_qs, 0), QString());
}

TEST(FieldFormatTest, FindsUnpairedSurrogates) {
    const QChar high(char16_t(0xD842));
    const QChar low(char16_t(0xDFB7));
    EXPECT_FALSE(HasUnpairedSurrogate(u"a𠮷b"_qs));
    EXPECT_TRUE(HasUnpairedSurrogate(QString(u'a') + high));
    EXPECT_TRUE(HasUnpairedSurrogate(QString(high) + u'b'));
    EXPECT_TRUE(HasUnpairedSurrogate(QString(low) + high));
}

TEST(FieldFormatTest, NumberFieldsTakeWhatFitsThemWhileTyping) {
    FieldDef amount{.name = u"SYUNYU"_qs, .type = FieldType::Integer};
    amount.minValue = -999999999;
    amount.maxValue = 999999999;
    amount.editFormat = u"0"_qs;
    FieldDef ki{.name = u"KI"_qs, .type = FieldType::Integer, .size = 2};
    ki.minValue = 0;
    ki.maxValue = 999;
    FieldDef code{.name = u"CD"_qs, .type = FieldType::Integer};
    code.minValue = 0;
    code.maxValue = 9999;
    code.displayFormat = u"0000"_qs;
    FieldDef separated{.name = u"N"_qs, .type = FieldType::Integer, .displayFormat = u"#,##0"_qs};
    const FieldDef text{.name = u"MEISYO"_qs, .size = 3};
    struct Case {
        const FieldDef* def;
        const char16_t* typed;
        bool fits;
    } const cases[] = {
        {&amount, u"", true},
        {&amount, u"12000", true},
        {&amount, u"-", true},  // a minus begins a negative amount
        {&amount, u"-999999999", true},
        {&amount, u"９９９", true},  // full-width digits from the input method
        {&amount, u"－５", true},
        {&amount, u"1000000000", false},  // ten digits: beyond the range
        {&amount, u"12a", false},
        {&amount, u"1-2", false},
        {&amount, u"1,000", false},  // edited without separators
        {&amount, u"1.5", false},
        {&amount, u" 12", false},
        {&ki, u"12", true},
        {&ki, u"123", false},  // two characters, as the box takes
        {&ki, u"-1", false},   // no minus below a range starting at 0
        {&ki, u"abcde", false},
        {&code, u"9999", true},
        {&code, u"10000", false},
        {&separated, u"1,234,567", true},
        {&text, u"abcdef", true},  // texts are cut by their own rule
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.typed).toStdString());
        EXPECT_EQ(FitsTypedNumber(*c.def, QString::fromUtf16(c.typed)), c.fits);
    }
    EXPECT_EQ(TypedNumberLength(amount), 10);
    EXPECT_EQ(TypedNumberLength(ki), 2);
    EXPECT_EQ(TypedNumberLength(code), 4);
    EXPECT_EQ(TypedNumberLength(text), 0);
}

}  // namespace
}  // namespace data
