#include <gtest/gtest.h>

#include "core/AppTitle.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "tests/support/ScriptedDialogs.h"

TEST(ErrorHandler, AppendsAPeriodOnlyAfterCharactersAboveItThatEndNoSentence) {
    struct Case {
        const char16_t* message;
        const char16_t* shown;
    } const cases[] = {
        {u"団体名を選択してください。", u"団体名を選択してください。"},  // no "。."
        {u"入力してください！", u"入力してください！"},
        {u"よろしいですか？", u"よろしいですか？"},
        {u"フォルダ［C:\\A］の作成を失敗しました", u"フォルダ［C:\\A］の作成を失敗しました."},
        {u"Cannot open file.", u"Cannot open file."},
        {u"error 42", u"error 42."},  // '2' (U+0032) is above '.' (U+002E)
        {u"閉じ括弧)", u"閉じ括弧)"},  // ')' (0x29) is below '.'
        {u"", u""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.message).toStdString());
        EXPECT_EQ(ErrorBoxText(QString::fromUtf16(c.message)), QString::fromUtf16(c.shown));
    }
}

TEST(ErrorHandler, ShowsAnErrorRaisedInAnActionInTheErrorBox) {
    ScriptedDialogs dialogs;
    const bool completed = RunGuarded([] { throw EAppError(QStringLiteral("団体名を選択してください。")); });
    EXPECT_FALSE(completed);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_EQ(dialogs.Last().title, AppTitle());
    EXPECT_EQ(dialogs.Last().text, QStringLiteral("団体名を選択してください。"));
}

TEST(ErrorHandler, SilentAbortShowsNothingAndForeignErrorsShowTheirText) {
    ScriptedDialogs dialogs;
    EXPECT_FALSE(RunGuarded([] { throw EAbort(); }));
    EXPECT_TRUE(dialogs.Shown().empty());

    EXPECT_FALSE(RunGuarded([] { throw std::runtime_error("disk full"); }));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, QStringLiteral("disk full."));

    EXPECT_TRUE(RunGuarded([] {}));
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}
