#include <gtest/gtest.h>

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "kaihi/KaihiCyosyuUnit.h"
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

// The menu's journal window offers 会費徴収 for its loaded year, and the collection
// saved there lands in the journal's work rows, not in the saved year.
TEST_F(LoggedIn, TheDuesWindowOpenedFromTheJournalHandsItsLinesToTheJournal) {
    for (const char* sql : {
             "insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI) values (2026, 5, '20260401', '20270331')",
             "insert into HAN (HAN_CD, MEISYO, HANCYO, JUNJYO) values (1, '1班', '山田 太郎', 1)",
             "insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (10, '会費', 1, "
             "1, 1)",
             "insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (1001, '一般会費', 10, 0)",
             "insert into KAIHI_SYURUI values (2026, 1, '一般会費', 0, 3000, 0, 1001)",
             "insert into SETAI (SETAI_CD, MEISYO, NYUKAI_BI) values (1, '鈴木', '20200401')",
             "insert into SETAI_HAN values (1, '20200401', 1)",
         })
        LoginFixture::Execute(path, QString::fromUtf8(sql));
    CurrentNendo = 2026;
    TMenuForm menu;
    menu.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));

    QString duesTitle, workRows, saved;
    OnNextModal([&](QWidget* modal) {
        auto* journal = qobject_cast<TMeisaiNyuryokuForm*>(modal);
        ASSERT_NE(journal, nullptr);
        QApplication::setActiveWindow(journal);
        ASSERT_TRUE(QTest::qWaitForWindowActive(journal));
        journal->NyuryokuBtn->setFocus(Qt::TabFocusReason);  // entering 入力(表示) loads the year
        for (int i = 0; i < 5; ++i)
            QApplication::processEvents();
        ASSERT_TRUE(journal->KaihiBtn->isVisibleTo(journal) && journal->KaihiBtn->isEnabled());
        OnNextModal([&](QWidget* dues) {
            auto* form = qobject_cast<TKaihiCyosyuForm*>(dues);
            ASSERT_NE(form, nullptr);
            duesTitle = form->windowTitle();
            form->HizukeEdit->setText(QStringLiteral("2026/05/10"));
            form->CyosyuGrid->item(0, 1)->setCheckState(Qt::Checked);
            form->HozonBtn->click();
        });
        journal->KaihiBtn->click();
        workRows = LoginFixture::Query(
            path, QStringLiteral("select list(TEKIYO || ':' || SYUNYU || ':' || KOUSIN_FLAG) from W_MEISAI"));
        saved = LoginFixture::Query(path, QStringLiteral("select count(*) from MEISAI"));
    });
    QTest::mouseClick(menu.ButtonByTag(1), Qt::LeftButton);
    EXPECT_EQ(duesTitle, QStringLiteral("会費徴収 2026年度"));
    EXPECT_EQ(workRows, QStringLiteral("1班 一般会費:3000:2"));
    EXPECT_EQ(saved, QStringLiteral("0"));
}
