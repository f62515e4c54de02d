#include <gtest/gtest.h>

#include <QUuid>
#include <optional>

#include "core/SingleInstance.h"
#include "platform/InstanceLock.h"
#include "tests/support/ScriptedDialogs.h"

TEST(SingleInstance, RefusesWhileAnotherHolderRunsAndAllowsAfterwards) {
    ScriptedDialogs dialogs;
    const QString name = QStringLiteral("TsubakiTest-") + QUuid::createUuid().toString(QUuid::WithoutBraces);

    EXPECT_TRUE(CheckSingleInstance(QStringLiteral("つばき出納帳"), name));
    EXPECT_TRUE(dialogs.Shown().empty());

    std::optional<platform::InstanceLock> running(std::in_place, name);
    ASSERT_TRUE(running->Held());
    EXPECT_FALSE(CheckSingleInstance(QStringLiteral("つばき出納帳"), name));
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text,
              QStringLiteral("「つばき出納帳」または「つばき出納帳」の動作に影響を与えるプログラムが実行中です。"));
    EXPECT_EQ(dialogs.Last().title, QStringLiteral("つばき出納帳"));
    EXPECT_TRUE(running->Held());  // the running copy is not affected

    running.reset();  // the first copy ends
    EXPECT_TRUE(CheckSingleInstance(QStringLiteral("つばき出納帳"), name));
    EXPECT_EQ(dialogs.Shown().size(), 1u);
}
