// The sample organisation, whose folder has a Japanese name, installed and logged
// into. ctest runs this also under LC_ALL=C, the locale a program started from
// cron, ssh or `su -` gets.

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "login/LoginUnit.h"
#include "login/MenuUnit.h"
#include "tests/login/LoginFixture.h"

TEST(LoginLocale, TheSampleInItsJapaneseFolderOpensUpToTheMenu) {
    LoginFixture fixture;
    TLoginForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);  // ｻﾝﾌﾟﾙﾃﾞｰﾀの追加
    ASSERT_EQ(fixture.dialogs.Last().text, QStringLiteral("サンプルデータを追加しました。"));
    fixture.dialogs.Clear();
    const auto items = form.ListBox1->findItems(QStringLiteral("○○○○自治会"), Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1);
    form.ListBox1->setCurrentItem(items.front());

    QString menuName;
    OnNextModal([&](QWidget* modal) {
        if (auto* menu = qobject_cast<TMenuForm*>(modal))
            menuName = menu->Label2->text();
    });
    QTest::mouseClick(form.BitBtn1, Qt::LeftButton);  // 実  行
    for (const auto& shown : fixture.dialogs.Shown())
        ADD_FAILURE() << shown.text.toStdString();
    EXPECT_EQ(menuName, QStringLiteral("○○○○自治会"));
    form.hide();
}
