#include <gtest/gtest.h>

#include <QStringList>

#include "core/MessageWrap.h"

namespace {

const QString kNoLineStart = QStringLiteral("、。）」ーっゃぁ");

QString Wrap(const QString& text, int limit) {
    return WrapMessageText(text, limit, HalfWidthUnits);
}

TEST(MessageWrap, ShortLinesAndTheirBreaksStayAsTheyAre) {
    EXPECT_EQ(Wrap(QStringLiteral("更新を失敗しました。\r\n\r\nlock conflict"), 40),
              QStringLiteral("更新を失敗しました。\n\nlock conflict"));
    EXPECT_EQ(Wrap(QString(), 40), QString());
}

TEST(MessageWrap, BreaksAtAllowedPlacesWithEvenLines) {
    struct Case {
        const char16_t* text;
        int limit;
    } const cases[] = {
        {u"金額を入力したときは科目(集計項目)を入力してください。", 40},
        {u"この年度の明細は、読み込んだ後に他のコンピュータまたは他の画面で保存されています。", 36},
        {u"指定した保存先には以前のデータが存在します。以前のデータを削除しますか？", 30},
        {u"フォルダ［/home/treasurer/TsubakiDB/東町会］の作成を失敗しました", 40},
        {u"期首日付と期末日付の関係が正しくありません。", 24},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf16(c.text);
        SCOPED_TRACE(text.toStdString());
        const QStringList lines = Wrap(text, c.limit).split(u'\n');
        ASSERT_GE(lines.size(), 2);
        EXPECT_EQ(lines.join(QString()), text);  // only line breaks were added
        int widest = 0;
        for (const QString& line : lines) {
            EXPECT_LE(HalfWidthUnits(line), c.limit) << line.toStdString();
            EXPECT_FALSE(kNoLineStart.contains(line.front())) << line.toStdString();
            widest = std::max(widest, HalfWidthUnits(line));
        }
        // Never a character or two alone on the last line ("くださ" / "い。").
        EXPECT_GE(HalfWidthUnits(lines.back()) * 3, widest) << lines.back().toStdString();
        // A path or a word of half-width characters is not broken.
        if (text.contains(u'/')) {
            EXPECT_TRUE(lines.join(u'\n').contains(QStringLiteral("/home/treasurer/TsubakiDB/")));
        }
    }
}

TEST(MessageWrap, PrefersTheEndOfAClause) {
    EXPECT_EQ(Wrap(QStringLiteral("前年度データは登録されていません。保存してから実行してください。"), 40),
              QStringLiteral("前年度データは登録されていません。\n保存してから実行してください。"));
}

TEST(MessageWrap, CutsARunThatHasNoAllowedBreak) {
    const QString run(50, u'x');
    const QStringList lines = Wrap(run, 20).split(u'\n');
    EXPECT_EQ(lines.join(QString()), run);
    for (const QString& line : lines)
        EXPECT_LE(line.size(), 20);
}

}  // namespace
