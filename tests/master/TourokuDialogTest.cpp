#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

#include "master/AiteTourokuUnit.h"
#include "master/TekiyoTourokuUnit.h"
#include "tests/master/MasterDbFixture.h"

namespace {

// One of the two add-to-list dialogs and the table it writes.
struct DialogKind {
    const char* name;
    std::function<std::unique_ptr<TTekiyoTourokuForm>(const QString&)> make;
    QString caption;
    QString table;
    QString readingColumn;
    int nameLength;
    int readingTyped;
};

std::vector<DialogKind> Kinds() {
    return {
        {"descriptions", [](const QString& t) { return std::make_unique<TTekiyoTourokuForm>(t); },
         QStringLiteral("摘要の登録"), QStringLiteral("TEKIYO"), QStringLiteral("KENSAKU_MOJI"), 50, 20},
        {"counterparties", [](const QString& t) { return std::make_unique<TAiteTourokuForm>(t); },
         QStringLiteral("入金先／支払先の登録"), QStringLiteral("AITE"), QStringLiteral("FURIGANA"), 10, 40},
    };
}

class TourokuDialog : public ::testing::Test {
  protected:
    std::unique_ptr<TTekiyoTourokuForm> Open(const DialogKind& kind, const QString& text) {
        auto form = kind.make(text);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    QStringList Stored(const DialogKind& kind) const {
        return fixture.Rows(QStringLiteral("select MEISYO, ") + kind.readingColumn +
                            QStringLiteral(" from ") + kind.table + QStringLiteral(" order by MEISYO"));
    }
    // Types into the reading box and leaves it with Enter, as the user does.
    static void TypeReading(TTekiyoTourokuForm& form, const QString& typed) {
        form.Edit2->setFocus();
        form.Edit2->setText(typed);
        QTest::keyClick(form.Edit2, Qt::Key_Return);
        QApplication::processEvents();
    }

    MasterDbFixture fixture;
};

TEST_F(TourokuDialog, AddsTheTrimmedTextWithItsNormalisedReading) {
    for (const DialogKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        auto form = Open(kind, QStringLiteral("  町会費\t"));
        EXPECT_EQ(form->windowTitle(), kind.caption);
        EXPECT_EQ(form->Edit1->text(), QStringLiteral("町会費"));
        EXPECT_EQ(form->Edit1->maxLength(), kind.nameLength);
        EXPECT_EQ(form->Edit2->text(), QString());
        EXPECT_EQ(form->Edit2->maxLength(), kind.readingTyped);

        TypeReading(*form, QStringLiteral(" ﾁｮｳｶｲﾋ "));
        EXPECT_EQ(form->Edit2->text(), QStringLiteral("ちょうかいひ"));
        EXPECT_TRUE(form->BitBtn1->hasFocus());  // Enter walked on to 登録

        QTest::keyClick(form->BitBtn1, Qt::Key_Return);
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_FALSE(form->isVisible());
        EXPECT_EQ(Stored(kind), QStringList{QStringLiteral("町会費|ちょうかいひ")});
        EXPECT_TRUE(fixture.dialogs.Shown().empty());
    }
}

TEST_F(TourokuDialog, LeavingTheReadingNormalisesItAndCutsItToHalfOfWhatMayBeTyped) {
    for (const DialogKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        auto form = Open(kind, QStringLiteral("会費"));
        TypeReading(*form, QString(kind.readingTyped, QChar(u'ｱ')));
        EXPECT_EQ(form->Edit2->text(), QString(kind.readingTyped / 2, QChar(u'あ')));
        const std::pair<const char16_t*, const char16_t*> entries[] = {
            {u"ｶｲﾋ", u"かいひ"}, {u"ABC", u"ＡＢＣ"}, {u"カイヒ", u"かいひ"}, {u"ｶﾞｯｺｳ", u"がっこう"}};
        for (const auto& [typed, shown] : entries) {
            TypeReading(*form, QString::fromUtf16(typed));
            EXPECT_EQ(form->Edit2->text(), QString::fromUtf16(shown));
        }
    }
}

TEST_F(TourokuDialog, AReadingStillInItsBoxIsStoredNormalised) {
    for (const DialogKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        auto form = Open(kind, QStringLiteral("会費"));
        form->Edit2->setFocus();
        form->Edit2->setText(QStringLiteral("ｶｲﾋ"));
        form->BitBtn1->click();  // as by its access key: the box keeps the focus
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(Stored(kind), QStringList{QStringLiteral("会費|かいひ")});
    }
}

TEST_F(TourokuDialog, ATextAlreadyListedIsRefusedAndTheDialogStaysOpen) {
    fixture.Execute({QStringLiteral("insert into TEKIYO (MEISYO, KENSAKU_MOJI) values ('会費', 'かいひ')"),
                     QStringLiteral("insert into AITE (MEISYO, FURIGANA) values ('会費', 'かいひ')")});
    for (const DialogKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        fixture.dialogs.Clear();
        auto form = Open(kind, QStringLiteral(" 会費 "));
        TypeReading(*form, QStringLiteral("ｱﾀﾗｼｲ"));
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().text, QStringLiteral("このデータは登録済みです。"));
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(Stored(kind), QStringList{QStringLiteral("会費|かいひ")});

        // Another name is added from the same dialog.
        form->Edit1->setText(QStringLiteral("会費２"));
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(Stored(kind),
                  (QStringList{QStringLiteral("会費|かいひ"), QStringLiteral("会費２|あたらしい")}));
    }
}

TEST_F(TourokuDialog, CancellingOrAnEmptyNameWritesNothing) {
    for (const DialogKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        fixture.dialogs.Clear();
        auto form = Open(kind, QStringLiteral("会費"));
        form->Edit1->setText(QStringLiteral(" \t"));
        TypeReading(*form, QStringLiteral("ｶｲﾋ"));
        QTest::mouseClick(form->BitBtn1, Qt::LeftButton);
        ASSERT_EQ(fixture.dialogs.Shown().size(), 1u);
        EXPECT_EQ(fixture.dialogs.Last().kind, RecordedDialog::Kind::Error);
        EXPECT_TRUE(fixture.dialogs.Last().text.endsWith(QStringLiteral("を入力してください。")));
        EXPECT_TRUE(form->isVisible());
        EXPECT_TRUE(form->Edit1->hasFocus());

        form->Edit1->setText(QStringLiteral("会費"));
        QTest::mouseClick(form->BitBtn2, Qt::LeftButton);
        EXPECT_EQ(form->result(), QDialog::Rejected);
        EXPECT_FALSE(form->isVisible());
        EXPECT_TRUE(Stored(kind).isEmpty());
    }
}

// The reading box loses the focus while the dialog is taken down, with a reading
// typed and not yet normalised.
TEST_F(TourokuDialog, ADialogDestroyedWhileTheReadingIsTypedWritesNothing) {
    for (const DialogKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        auto form = Open(kind, QStringLiteral("会費"));
        form->activateWindow();
        form->Edit2->setFocus();
        QTest::keyClicks(form->Edit2, QStringLiteral("kaihi"));
        form.reset();
        EXPECT_TRUE(Stored(kind).isEmpty());
    }
}

}  // namespace
