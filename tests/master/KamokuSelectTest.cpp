#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include "master/ChoiceList.h"
#include "master/KamokuSelectUnit.h"
#include "tests/master/MasterDbFixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class KamokuSelect : public ::testing::Test {
  protected:
    KamokuSelect() {
        fixture.Execute({
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (10, '会費', 1, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (20, '事業費', 2, 1, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (40, '預り金', 1, 0, 1)"_s,
            u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO) values (50, '預り金払', 2, 0, 1)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI) values (1001, '会費', 10)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, SYURYO_NENDO) values (1002, '旧補助金', 10, 2020)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO) values (1003, '新事業', 10, 2022)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO) values (55, '寄付', 10, 0, 2021)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI) values (2001, '事務費', 20)"_s,
            // An end year typed as 0 hides the item in every year.
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, SYURYO_NENDO) values (2002, '終了ゼロ', 20, 0)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI) values (4001, '預り金', 40)"_s,
            u"insert into KAMOKU (CD, MEISYO, BUNRUI, SYURYO_NENDO) values (5001, '預り金返還', 50, 2020)"_s,
        });
    }
    std::unique_ptr<TKamokuSelectForm> Open(int nendo, const QRect& caller = {}) {
        auto form = std::make_unique<TKamokuSelectForm>(nendo, caller);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return form;
    }
    // Each list as "code name" lines.
    static std::vector<QStringList> Lists(const TKamokuSelectForm& form) {
        std::vector<QStringList> lists;
        for (int i = 0; i < 4; ++i) {
            QStringList rows;
            const QAbstractItemModel* model = form.List(i)->model();
            for (int r = 0; r < model->rowCount(); ++r)
                rows << model->index(r, 0).data().toString() + u' ' + model->index(r, 1).data().toString();
            lists.push_back(rows);
        }
        return lists;
    }
    static void ClickRow(TChoiceList* list, int row) {
        const QRect cell = list->visualRect(list->model()->index(row, 1));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }

    MasterDbFixture fixture;
};

TEST_F(KamokuSelect, ShowsTheYearsItemsInFourListsAndTheOthersOnlyWhenAsked) {
    auto form = Open(2021);
    EXPECT_EQ(form->windowTitle(), u"科目(集計項目)選択"_s);
    const QStringList titles = {u"収入の部"_s, u"支出の部"_s, u"集計対象外収入"_s, u"集計対象外支出"_s};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(form->List(i)->model()->headerData(0, Qt::Horizontal).toString(), u"ｺｰﾄﾞ"_s);
        EXPECT_EQ(form->List(i)->model()->headerData(1, Qt::Horizontal).toString(), titles[i]);
    }
    EXPECT_FALSE(form->CheckBox1->isChecked());
    // 100 and 8000 never show; the built-in transfer items and the reserve fund do.
    const std::vector<QStringList> valid = {
        {u"0055 寄付"_s, u"1001 会費"_s, u"3000 一般会計より繰入"_s},
        {u"2001 事務費"_s, u"6000 一般会計へ繰出"_s, u"7000 予備費"_s},
        {u"4001 預り金"_s},
        {},
    };
    EXPECT_EQ(Lists(*form), valid);

    form->CheckBox1->click();
    const std::vector<QStringList> all = {
        {u"0055 寄付"_s, u"1001 会費"_s, u"1002 旧補助金"_s, u"1003 新事業"_s, u"3000 一般会計より繰入"_s},
        {u"2001 事務費"_s, u"2002 終了ゼロ"_s, u"6000 一般会計へ繰出"_s, u"7000 予備費"_s},
        {u"4001 預り金"_s},
        {u"5001 預り金返還"_s},
    };
    EXPECT_EQ(Lists(*form), all);
    form->CheckBox1->click();
    EXPECT_EQ(Lists(*form), valid);

    // The years are the caller's: in 2020 the item ended that year still shows.
    auto earlier = Open(2020);
    EXPECT_EQ(Lists(*earlier)[0],
              (QStringList{u"0055 寄付"_s, u"1001 会費"_s, u"1002 旧補助金"_s, u"3000 一般会計より繰入"_s}));
    EXPECT_EQ(Lists(*earlier)[3], QStringList{u"5001 預り金返還"_s});
}

TEST_F(KamokuSelect, ReturnsTheClickedCodeOrNullAfterNoChoiceAndNothingWhenClosed) {
    auto form = Open(2021);
    ClickRow(form->List(1), 2);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->SelectedKamoku(), db::Value(7000));

    auto none = Open(2021);
    QTest::mouseClick(none->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(none->result(), QDialog::Accepted);
    EXPECT_TRUE(none->SelectedKamoku().IsNull());

    auto closed = Open(2021);
    // A click into an empty list chooses nothing and leaves the window open.
    QTest::mouseClick(closed->List(3)->viewport(), Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(closed->isVisible());
    QTest::mouseClick(closed->CloseBtn, Qt::LeftButton);
    EXPECT_EQ(closed->result(), QDialog::Rejected);
    EXPECT_TRUE(closed->SelectedKamoku().IsNull());
}

TEST_F(KamokuSelect, KeyboardChoosesFromTheListsAndTabsInTheirOrder) {
    auto form = Open(2021);
    ASSERT_TRUE(form->List(0)->hasFocus());
    QTest::keyClick(form->List(0), Qt::Key_Tab);
    ASSERT_TRUE(form->List(1)->hasFocus());
    QTest::keyClick(form->List(1), Qt::Key_Down);
    QTest::keyClick(form->List(1), Qt::Key_Return);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(form->SelectedKamoku(), db::Value(6000));

    // Esc leaves without a choice.
    auto escaped = Open(2021);
    QTest::keyClick(escaped->List(0), Qt::Key_Escape);
    EXPECT_EQ(escaped->result(), QDialog::Rejected);
}

TEST(PlaceAgainstCaller, AlignsTheRightEdgesCentredOnTheCallerAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1280, 800);
    const QSize window(600, 500);
    struct Case {
        const char* name;
        QRect caller;
        QPoint topLeft;
    };
    const Case cases[] = {
        {"centred vertically, right edges lined up", QRect(700, 300, 200, 24), QPoint(300, 62)},
        {"near the bottom", QRect(700, 760, 200, 24), QPoint(300, 300)},
        {"near the top", QRect(700, 10, 200, 24), QPoint(300, 0)},
        {"caller narrower than the window at the left", QRect(20, 300, 100, 24), QPoint(0, 62)},
        {"caller beyond the right edge", QRect(1200, 300, 200, 24), QPoint(680, 62)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlaceAgainstCaller(window, c.caller, screen), c.topLeft);
    }
    // A window larger than the screen keeps its top-left corner on it.
    EXPECT_EQ(PlaceAgainstCaller(QSize(1400, 900), QRect(700, 300, 200, 24), screen), QPoint(0, 0));
}

TEST_F(KamokuSelect, OpensBesideItsCaller) {
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    // A cell towards the right of the screen, as the journal's item column stands.
    const QRect caller(area.right() - 140, area.center().y(), 120, 24);
    auto form = Open(2021, caller);
    const QRect frame = form->frameGeometry();
    EXPECT_EQ(frame.right(), caller.right());
    EXPECT_NEAR(frame.center().y(), caller.center().y(), 1);
    EXPECT_TRUE(area.contains(frame));
}

}  // namespace
