#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

#include "master/AiteKensakuUnit.h"
#include "master/ChoiceList.h"
#include "master/TekiyoKensakuUnit.h"
#include "tests/master/MasterDbFixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Names and their stored readings, the same in both lists.
const std::pair<const char16_t*, const char16_t*> kEntries[] = {
    {u"加藤商店", u"かとう"}, {u"学校", u"がっこう"}, {u"木村", u"きむら"}, {u"林", u"はやし"},
    {u"馬場", u"ばば"},       {u"パン屋", u"ぱんや"}, {u"平田", u"ひらた"}, {u"ＡＢＣ商会", u"ＡＢＣ"},
    {u"和田", u"わだ"},       {u"読みなし", nullptr},
};

struct SearchKind {
    const char* name;
    std::function<std::unique_ptr<TKanaKensakuForm>()> make;
    QString caption;
    QString nameTitle;
};

std::vector<SearchKind> Kinds() {
    return {
        {"counterparties", [] { return std::make_unique<TAiteKensakuForm>(); },
         QStringLiteral("入金先／支払先 検索"), QStringLiteral("名称")},
        {"descriptions", [] { return std::make_unique<TTekiyoKensakuForm>(); }, QStringLiteral("摘要 検索"),
         QStringLiteral("摘要")},
    };
}

class KanaKensaku : public ::testing::Test {
  protected:
    KanaKensaku() {
        QStringList inserts;
        for (const auto& [name, reading] : kEntries) {
            const QString r = reading ? u'\'' + QString::fromUtf16(reading) + u'\'' : QStringLiteral("null");
            const QString n = u'\'' + QString::fromUtf16(name) + u'\'';
            inserts << QStringLiteral("insert into AITE (MEISYO, FURIGANA) values (%1, %2)").arg(n, r)
                    << QStringLiteral("insert into TEKIYO (MEISYO, KENSAKU_MOJI) values (%1, %2)").arg(n, r);
        }
        fixture.Execute(inserts);
    }
    static std::unique_ptr<TKanaKensakuForm> Open(const SearchKind& kind) {
        auto form = kind.make();
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    // The names the list shows, top to bottom.
    static QStringList Shown(const TKanaKensakuForm& form) {
        QStringList names;
        const QAbstractItemModel* model = form.DBGrid1->model();
        for (int r = 0; r < model->rowCount(); ++r)
            names << model->index(r, 0).data().toString();
        return names;
    }
    static bool IsMarked(const QPushButton* button) {
        return button->palette().color(QPalette::ButtonText) == QColor(Qt::magenta);
    }
    static void Press(TKanaKensakuForm& form, const QString& text) {
        QPushButton* button = form.IndexButton(text);
        ASSERT_NE(button, nullptr) << text.toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    MasterDbFixture fixture;
};

TEST_F(KanaKensaku, IndexButtonsNarrowTheListToReadingsBeginningWithTheirKanaAndItsVoicedForms) {
    for (const SearchKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        auto form = Open(kind);
        EXPECT_EQ(form->windowTitle(), kind.caption);
        EXPECT_EQ(form->DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), kind.nameTitle);
        const QStringList all = {u"読みなし"_s, u"加藤商店"_s, u"学校"_s, u"木村"_s, u"林"_s,
                                 u"馬場"_s,     u"パン屋"_s,   u"平田"_s, u"和田"_s, u"ＡＢＣ商会"_s};
        // Opens unfiltered, ordered by reading, with 指定無し marked.
        EXPECT_EQ(Shown(*form), all);
        EXPECT_EQ(form->MarkedButton(), form->IndexButton(u"指定無し"_s));
        EXPECT_TRUE(IsMarked(form->IndexButton(u"指定無し"_s)));

        const std::pair<const char16_t*, QStringList> presses[] = {
            {u"か", {u"加藤商店"_s, u"学校"_s}},
            {u"は", {u"林"_s, u"馬場"_s, u"パン屋"_s}},
            {u"ひ", {u"平田"_s}},
            {u"き", {u"木村"_s}},
            {u"Ａ", {u"ＡＢＣ商会"_s}},
            {u"わ", {u"和田"_s}},
            {u"ら", {}},
            {u"指定無し", all},
        };
        QPushButton* previous = form->IndexButton(u"指定無し"_s);
        for (const auto& [text, expected] : presses) {
            SCOPED_TRACE(QString::fromUtf16(text).toStdString());
            Press(*form, QString::fromUtf16(text));
            EXPECT_EQ(Shown(*form), expected);
            QPushButton* pressed = form->IndexButton(QString::fromUtf16(text));
            EXPECT_TRUE(IsMarked(pressed));
            if (previous != pressed) {
                EXPECT_FALSE(IsMarked(previous));
            }
            previous = pressed;
        }
    }
}

TEST_F(KanaKensaku, AClickedRowIsTheResultAndClosingGivesNone) {
    for (const SearchKind& kind : Kinds()) {
        SCOPED_TRACE(kind.name);
        auto form = Open(kind);
        Press(*form, u"は"_s);
        const QModelIndex second = form->DBGrid1->model()->index(1, 1);
        QTest::mouseClick(form->DBGrid1->viewport(), Qt::LeftButton, {},
                          form->DBGrid1->visualRect(second).center());
        EXPECT_EQ(form->result(), QDialog::Accepted);
        EXPECT_EQ(form->SelectedMeisyo(), u"馬場"_s);

        auto closed = Open(kind);
        QTest::mouseClick(closed->CloseBtn, Qt::LeftButton);
        EXPECT_EQ(closed->result(), QDialog::Rejected);
        EXPECT_EQ(closed->SelectedMeisyo(), QString());
    }
}

TEST_F(KanaKensaku, KeyboardAloneFindsAndChoosesARow) {
    auto form = Open(Kinds().front());
    EXPECT_TRUE(form->DBGrid1->hasFocus());
    // The arrows move among the index buttons as they stand in the table.
    form->IndexButton(u"あ"_s)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    ASSERT_EQ(QApplication::focusWidget(), form->IndexButton(u"き"_s));
    // Pressing it narrows the list, which takes the focus.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(Shown(*form), QStringList{u"木村"_s});
    ASSERT_TRUE(form->DBGrid1->hasFocus());
    // Shift+Tab goes back to the button pressed, to try another one.
    QTest::keyClick(form->DBGrid1, Qt::Key_Backtab, Qt::ShiftModifier);
    ASSERT_EQ(QApplication::focusWidget(), form->IndexButton(u"き"_s));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(Shown(*form), (QStringList{u"加藤商店"_s, u"学校"_s}));
    ASSERT_TRUE(form->DBGrid1->hasFocus());
    QTest::keyClick(form->DBGrid1, Qt::Key_Down);
    QTest::keyClick(form->DBGrid1, Qt::Key_Return);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->SelectedMeisyo(), u"学校"_s);
}

}  // namespace
