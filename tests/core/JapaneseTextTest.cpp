#include <gtest/gtest.h>

#include "core/JapaneseText.h"

namespace {

QString Q(const char16_t* text) {
    return QString::fromUtf16(text);
}

struct Pair {
    const char16_t* half;
    const char16_t* full;
};

}  // namespace

// Where the two conversions are inverse, one table serves both directions.
TEST(JapaneseText, ZenkakuAndHankakuAreInverse) {
    const Pair pairs[] = {
        {u"ｶﾞｯｺｳ", u"ガッコウ"},
        {u"ﾊﾟﾝ", u"パン"},
        {u"ｳﾞｧｲｵﾘﾝ", u"ヴァイオリン"},
        {u"ｱﾞ", u"ア゛"},  // no voiced ア: the mark stays a mark
        {u"ｯﾞﾂﾞ", u"ッ゛ヅ"},
        {u"ﾊﾟﾋﾞﾌﾍﾞﾎﾟ", u"パビフベポ"},
        {u"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞ", u"ガギグゲゴザジズゼゾダヂヅデドバビブベボ"},
        {u"ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", u"パピプペポ"},
        {u"ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝ",
         u"ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨ"
         u"ラリルレロワン"},
        {u"｡｢｣､･ﾞﾟ", u"。「」、・゛゜"},
        {u"A-1", u"Ａ－１"},
        {u"a b", u"ａ　ｂ"},
        {u"\"'\\", u"”’￥"},
        {u"!#$%&()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz{|}~",
         u"！＃＄％＆（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳ"
         u"ＴＵＶＷＸＹＺ［］＾＿｀"
         u"ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝～"},
        {u"東町会ひらがな𠮷", u"東町会ひらがな𠮷"},
        {u"", u""},
    };
    for (const auto& p : pairs) {
        SCOPED_TRACE(Q(p.half).toStdString());
        EXPECT_EQ(ToZenkaku(Q(p.half)), Q(p.full));
        EXPECT_EQ(ToHankaku(Q(p.full)), Q(p.half));
    }
}

TEST(JapaneseText, ZenkakuOneWay) {
    const Pair cases[] = {
        {u"a\tb\r\n", u"ａ\tｂ\r\n"},  // control characters stay
        {u"\x7f", u"\x7f"},
        {u"ﾞｶ", u"゛カ"},         // a mark before its letter is not a pair
        {u"ｶﾟﾊﾞﾟ", u"カ゜バ゜"},  // no semi-voiced カ; ﾊﾞ pairs first
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.half).toStdString());
        EXPECT_EQ(ToZenkaku(Q(c.half)), Q(c.full));
    }
}

TEST(JapaneseText, HankakuOneWay) {
    const Pair cases[] = {
        {u"＂＇＼", u"＂＇＼"},          // converted back only from ” ’ ￥
        {u"ヮヰヱヵヶ", u"ヮヰヱヵヶ"},  // no half-width forms
        {u"ｶﾞ", u"ｶﾞ"},                  // already half-width
        {u"ひらがな漢字", u"ひらがな漢字"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.full).toStdString());
        EXPECT_EQ(ToHankaku(Q(c.full)), Q(c.half));
    }
}

TEST(JapaneseText, ToHiragana) {
    const Pair cases[] = {
        {u"カタカナ", u"かたかな"},
        {u"ヴァイオリン", u"ゔぁいおりん"},
        {u"ラーメン", u"らーめん"},  // the long mark stays
        {u"ァヶ", u"ぁゖ"},          // both ends of the range
        {u"ヷヸ・", u"ヷヸ・"},      // beyond it
        {u"ｶﾀｶﾅABC漢字", u"ｶﾀｶﾅABC漢字"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.half).toStdString());
        EXPECT_EQ(ToHiragana(Q(c.half)), Q(c.full));
    }
}

TEST(JapaneseText, TrimZenRemovesBlanksOfBothWidthsAtBothEnds) {
    const Pair cases[] = {
        {u"　 東町会　 ", u"東町会"},
        {u"東　町 会", u"東　町 会"},
        {u"\t　東町会　\r\n", u"東町会"},
        {u"\t　東町会　\t", u"東町会"},
        {u"　 \t　", u""},
        {u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.half).toStdString());
        EXPECT_EQ(TrimZen(Q(c.half)), Q(c.full));
    }
    const QString inner = QString(300, u'あ');
    const QString padded = QString(3, u'　') + inner + QString(260, u'　');
    EXPECT_EQ(TrimZen(padded), inner);
    EXPECT_EQ(TrimZen(QString(200, u'　') + inner + QString(200, u'　')), inner);
}

TEST(JapaneseText, TrimKeepsFullWidthSpaces) {
    const Pair cases[] = {
        {u" \tpass1 \r\n", u"pass1"},
        {u"　東町会 ", u"　東町会"},
        {u"  ", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.half).toStdString());
        EXPECT_EQ(Trim(Q(c.half)), Q(c.full));
    }
}

TEST(JapaneseText, TrimCutDropsTrailingBlanksAndCutsBetweenCharacters) {
    struct Case {
        const char16_t* text;
        int maximum;
        const char16_t* cut;
    } const cases[] = {
        {u"東町会  \t", 10, u"東町会"},
        {u"東町会自治会", 3, u"東町会"},
        {u"  東町会", 10, u"  東町会"},  // leading blanks stay
        {u"東町会　", 10, u"東町会　"},  // full-width blanks stay
        {u"東町会 \t", 4, u"東町会"},
        {u"a𠮷b", 3, u"a𠮷"},
        {u"a𠮷b", 2, u"a"},  // the pair is not split
        {u"東町会", 0, u""},
        {u"東町会", -1, u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Q(c.text).toStdString());
        const QString cut = TrimCut(Q(c.text), c.maximum);
        EXPECT_EQ(cut, Q(c.cut));
        EXPECT_TRUE(cut.isValidUtf16());
    }
}
