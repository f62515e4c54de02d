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

}  // namespace
}  // namespace data
