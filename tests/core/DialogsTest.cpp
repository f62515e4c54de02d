#include <gtest/gtest.h>

#include "core/Dialogs.h"

// What a dialog answers when it is closed without a button, and which button Enter presses.
TEST(Dialogs, DismissalAndDefaultFollowTheShownButtons) {
    struct Case {
        MsgDlgButtons buttons;
        ModalResult dismissed;
        bool escapeCloses;
        std::optional<MsgDlgBtn> defaultButton;
    } const cases[] = {
        {mbYes | mbNo, ModalResult::No, true, mbYes},
        {mbYes | mbNo | mbCancel, ModalResult::Cancel, true, mbYes},
        {mbOK | mbCancel, ModalResult::Cancel, true, mbOK},
        {mbAbort | mbRetry, ModalResult::Cancel, false, mbRetry},
        {mbOK, ModalResult::Cancel, false, mbOK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buttons);
        EXPECT_EQ(DismissalAnswer(c.buttons), c.dismissed);
        EXPECT_EQ(EscapeDismisses(c.buttons), c.escapeCloses);
        EXPECT_EQ(DefaultButton(c.buttons), c.defaultButton);
    }
}

TEST(Dialogs, TitlesAndCaptions) {
    EXPECT_EQ(DialogTitle(MsgDlgType::Warning), QStringLiteral("警告"));
    EXPECT_EQ(DialogTitle(MsgDlgType::Error), QStringLiteral("エラー"));
    EXPECT_EQ(DialogTitle(MsgDlgType::Information), QStringLiteral("情報"));
    EXPECT_EQ(DialogTitle(MsgDlgType::Confirmation), QStringLiteral("確認"));
    EXPECT_EQ(DialogTitle(MsgDlgType::Plain), QStringLiteral("つばき出納帳"));
    EXPECT_EQ(ButtonCaption(mbAbort), QStringLiteral("中止(&A)"));
    EXPECT_EQ(ButtonCaption(mbRetry), QStringLiteral("再試行(&R)"));
    EXPECT_EQ(ButtonCaption(mbYes), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(ButtonCaption(mbNo), QStringLiteral("いいえ(&N)"));
}
