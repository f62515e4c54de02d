#include <gtest/gtest.h>

#include "master/Reading.h"

namespace {

TEST(NormalizeReading, GivesFullWidthHiraganaCapitalsAndDigitsCutToTheColumn) {
    struct Case {
        const char16_t* typed;
        int maxLength;
        const char16_t* stored;
    };
    const Case cases[] = {
        {u"ｶｲﾋ", 10, u"かいひ"},
        {u"ABC", 10, u"ＡＢＣ"},
        {u"カイヒ", 10, u"かいひ"},
        {u"abc", 10, u"ＡＢＣ"},
        {u"ａｂｃ", 10, u"ＡＢＣ"},
        {u"ｶﾞｯｺｳ", 10, u"がっこう"},
        {u"ﾊﾟﾝ ﾔ", 10, u"ぱん　や"},
        {u"R2ﾈﾝ", 10, u"Ｒ２ねん"},
        {u"　 やまだ\t　", 10, u"やまだ"},
        {u"", 10, u""},
        // Cut after the conversion: twelve voiced pairs are twelve letters, ten kept.
        {u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞ", 10, u"がぎぐげござじずぜぞ"},
        {u"ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆ", 20, u"あいうえおかきくけこさしすせそたちつてと"},
        // Kanji and hiragana pass unchanged.
        {u"山田たろう", 3, u"山田た"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.typed).toStdString());
        EXPECT_EQ(NormalizeReading(QString::fromUtf16(c.typed), c.maxLength), QString::fromUtf16(c.stored));
        // Normalising a stored reading again changes nothing.
        EXPECT_EQ(NormalizeReading(QString::fromUtf16(c.stored), c.maxLength), QString::fromUtf16(c.stored));
    }
}

}  // namespace
