#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "login/MenuUnit.h"
#include "login/PassWdMaintUnit.h"
#include "tests/login/LoginFixture.h"
#include "ui/FocusSensor.h"
#include "ui/SpinButton.h"
#include "ui/YearEdit.h"

namespace {

class LoggedIn : public ::testing::Test {
  protected:
    LoggedIn() {
        path = fixture.AddOrganisation(QStringLiteral("東町会"), QStringLiteral("pw"));
        CurrentDantai = QStringLiteral("東町会");
    }
    QString Password() const {
        return LoginFixture::Query(path, QStringLiteral("select PASS_WD from KANRI"));
    }
    void Leave(QLineEdit* edit) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_Return);
        QApplication::processEvents();  // the check runs once the focus has moved
    }

    LoginFixture fixture;
    QString path;
};

}  // namespace

TEST_F(LoggedIn, PasswordWindowChecksTheCurrentPasswordExactlyBeforeTheNewOnes) {
    TPassWdMaintForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_TRUE(form.Edit1->hasFocus());
    EXPECT_FALSE(form.Edit2->isEnabled());
    EXPECT_FALSE(form.BitBtn2->isEnabled());

    for (const char16_t* wrong : {u"pw ", u"PW", u""}) {
        SCOPED_TRACE(QString::fromUtf16(wrong).toStdString());
        fixture.dialogs.Clear();
        form.Edit1->setText(QString::fromUtf16(wrong));
        Leave(form.Edit1);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("パスワードが正しくありません。"));
        EXPECT_TRUE(form.Edit1->hasFocus());
        EXPECT_FALSE(form.Edit2->isEnabled());
    }

    fixture.dialogs.Clear();
    form.Edit1->setText(QStringLiteral("pw"));
    Leave(form.Edit1);
    EXPECT_TRUE(fixture.dialogs.Shown().empty());
    EXPECT_TRUE(form.Edit2->hasFocus());
    EXPECT_FALSE(form.Edit1->isEnabled());
    EXPECT_TRUE(form.BitBtn2->isEnabled());

    form.Edit2->setText(QStringLiteral("New1"));
    form.Edit3->setText(QStringLiteral("new1"));
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("パスワードが正しくありません。"));
    EXPECT_TRUE(form.Edit2->hasFocus());
    EXPECT_EQ(Password(), QStringLiteral("pw"));  // nothing written yet

    form.Edit3->setText(QStringLiteral("New1"));
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(Password(), QStringLiteral("New1"));
    EXPECT_EQ(form.result(), QDialog::Accepted);
    // The window closes without a box; the menu tells what was done.
    EXPECT_EQ(form.ClosingStatus(), QStringLiteral("パスワードを設定しました。"));
}

TEST_F(LoggedIn, TwoEmptyNewPasswordsRemoveThePassword) {
    LoginFixture::Execute(path, QStringLiteral("update KANRI set PASS_WD = ''"));
    TPassWdMaintForm form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Leave(form.Edit1);  // no password stored: the empty box unlocks at once
    ASSERT_TRUE(form.Edit2->isEnabled());
    QTest::mouseClick(form.BitBtn2, Qt::LeftButton);
    EXPECT_EQ(Password(), QString());
    EXPECT_TRUE(fixture.dialogs.Shown().empty());
}

TEST_F(LoggedIn, MenuHandsItsYearToTheWindowsAndRestoresItselfAfterwards) {
    CurrentNendo = 2021;
    TMenuForm menu;
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    EXPECT_EQ(menu.Edit1->text(), QStringLiteral("2021"));
    EXPECT_EQ(menu.Label2->text(), QStringLiteral("東町会"));

    int seenYear = 0;
    bool menuMinimised = false;
    menu.RegisterWindow(1, [&](QWidget* owner) {
        seenYear = CurrentNendo;
        menuMinimised = owner->isMinimized();
        auto window = std::make_unique<QDialog>(owner);
        QMetaObject::invokeMethod(window.get(), &QDialog::reject, Qt::QueuedConnection);
        return window;
    });
    QTest::mouseClick(menu.SpinButton1->UpButton(), Qt::LeftButton);
    QTest::mouseClick(menu.ButtonByTag(1), Qt::LeftButton);
    EXPECT_EQ(seenYear, 2022);
    EXPECT_TRUE(menuMinimised);
    EXPECT_FALSE(menu.isMinimized());

    // A year typed into the box (not stepped) is handed on as well.
    menu.RegisterWindow(4, [&](QWidget* owner) {
        seenYear = CurrentNendo;
        auto window = std::make_unique<QDialog>(owner);
        QMetaObject::invokeMethod(window.get(), &QDialog::reject, Qt::QueuedConnection);
        return window;
    });
    menu.Edit1->setText(QStringLiteral("2030"));
    QTest::mouseClick(menu.ButtonByTag(4), Qt::LeftButton);
    EXPECT_EQ(seenYear, 2030);
    EXPECT_EQ(CurrentNendo, 2030);
    EXPECT_TRUE(fixture.dialogs.Shown().empty());
}

TEST_F(LoggedIn, MenuWindowErrorsAreShownAfterTheMenuIsBack) {
    TMenuForm menu;
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.RegisterWindow(2, [](QWidget*) -> std::unique_ptr<QDialog> {
        throw EAppError(QStringLiteral("決算書を開けません。"));
    });
    QTest::mouseClick(menu.ButtonByTag(2), Qt::LeftButton);
    EXPECT_FALSE(menu.isMinimized());
    EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("決算書を開けません。"));
}

TEST_F(LoggedIn, SavingTheYearWritesTheDatabaseOnly) {
    CurrentNendo = 2021;
    TMenuForm menu;
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
    menu.Edit1->setText(QStringLiteral("2024"));
    QTest::mouseClick(menu.NendoUpdateBtn, Qt::LeftButton);
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select NENDO from KANRI")), QStringLiteral("2024"));
    EXPECT_EQ(CurrentNendo, 2021);

    menu.Edit1->clear();
    QTest::mouseClick(menu.NendoUpdateBtn, Qt::LeftButton);
    EXPECT_EQ(LoginFixture::Query(path, QStringLiteral("select NENDO from KANRI")), QStringLiteral("0"));
    EXPECT_TRUE(fixture.dialogs.Shown().empty());
}
