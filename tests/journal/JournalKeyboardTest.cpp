// The journal driven by the keyboard alone, as a treasurer types a year.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "tests/journal/JournalFixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool InGrid(const TMeisaiNyuryokuForm& form) {
    QWidget* focus = QApplication::focusWidget();
    return focus == form.DBGrid1 || form.DBGrid1->isAncestorOf(focus);
}

// Tab until `target` has the focus (at most a window's worth of controls).
void TabTo(QWidget* target) {
    for (int i = 0; i < 20 && QApplication::focusWidget() != target; ++i)
        Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target);
}

}  // namespace

TEST_F(JournalTest, AmountCellsTakeDigitsOnlyAndARefusedItemShowsOneBox) {
    dialogs.SetTakesFocus(true);  // each box takes the focus from the cell, as a real one does
    auto form = Open();
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"会費"_s, u"1001"_s, u"12ab-3"_s, QString()});
    EXPECT_EQ(WorkRows(*form), QStringList{u"1|0|20210401|1001|123|-"_s});
    EXPECT_TRUE(dialogs.Shown().empty());

    TypeLine({u"0402"_s, QString(), u"謝礼"_s, u"存在しない科目"_s});
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, u"科目(集計項目)が登録されていません。"_s);
    // The cell keeps what was typed, for the user to correct.
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr) << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
    EXPECT_EQ(editor->text(), u"存在しない科目"_s);
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"KAMOKU_MEI"_s);

    editor->selectAll();
    Type(u"2001"_s);
    Press(Qt::Key_Tab);
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"KAMOKU"_s).AsInteger(), 2001);
}

// ↓ and ↑ in the item cell move between the lines; the items stay.
TEST_F(JournalTest, ArrowsOnTheItemCellMoveBetweenLinesAndLeaveTheItems) {
    auto form = Open();
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"一行目"_s, u"1001"_s, u"1000"_s, QString()});
    TypeLine({u"0402"_s, QString(), u"二行目"_s, u"2001"_s, QString(), u"500"_s});
    form->DBGrid1->setCurrentIndex(form->DBGrid1->model()->index(0, 0));
    Settle();
    form->DBGrid1->SetSelectedField(u"KAMOKU_MEI"_s);
    Settle();
    const QStringList work = WorkRows(*form);
    Press(Qt::Key_Down);
    EXPECT_EQ(form->DBGrid1->currentIndex().row(), 1);
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"KAMOKU_MEI"_s);
    Press(Qt::Key_Up);
    EXPECT_EQ(form->DBGrid1->currentIndex().row(), 0);
    EXPECT_EQ(WorkRows(*form), work);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"KAMOKU"_s).AsInteger(), 1001);
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(JournalTest, ALineIsDeletedFromTheKeyboard) {
    auto form = Open();
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"一行目"_s, u"1001"_s, u"1000"_s, QString()});
    TypeLine({u"0402"_s, QString(), u"二行目"_s, u"1001"_s, u"2000"_s, QString()});
    Press(Qt::Key_Up);  // off the new line, which goes
    Press(Qt::Key_Up);
    ASSERT_EQ(form->ClientDataSet1.FieldByName(u"TEKIYO"_s).AsString(), u"一行目"_s);

    // Out of the grid and past the division, the date boxes and the filter item.
    Press(Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_FALSE(InGrid(*form));
    TabTo(form->GyoSakujyoBtn);
    ASSERT_TRUE(form->GyoSakujyoBtn->isEnabled());
    Press(Qt::Key_Return);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(WorkRows(*form), QStringList{u"2|0|20210402|1001|2000|-"_s});
    EXPECT_EQ(GridLines(*form).size(), 1);
    EXPECT_TRUE(InGrid(*form));  // back on the lines
    EXPECT_EQ(form->ZandakaEdit->text(), u"2,000"_s);
}

TEST_F(JournalTest, SavingSaysHowManyLinesWithoutABox) {
    auto form = Open();
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"会費"_s, u"1001"_s, u"1000"_s, QString()});
    TypeLine({u"0402"_s, QString(), u"会費"_s, u"1001"_s, u"2000"_s, QString()});
    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_FALSE(form->SaveBtn->isEnabled());
    EXPECT_EQ(Query(u"select count(*) from MEISAI where NENDO = 2021"_s), u"2"_s);
    EXPECT_EQ(form->StatusLabel->text(), u"保存しました。 2行"_s);

    Load(*form);  // the next load clears it
    EXPECT_TRUE(form->StatusLabel->text().isEmpty());
}

TEST_F(JournalTest, EscOnTheNewLineKeepsThePlaceAndALoadStartsAtTheDate) {
    auto form = Open();
    Load(*form);
    for (const QString& tekiyo : {u"一行目"_s, u"二行目"_s, u"三行目"_s})
        TypeLine({u"0401"_s, QString(), tekiyo, u"1001"_s, u"1000"_s, QString()});
    Type(u"04"_s);  // the new line begun, then dropped
    Press(Qt::Key_Escape);
    EXPECT_EQ(form->ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"TEKIYO"_s).AsString(), u"三行目"_s);
    EXPECT_EQ(form->DBGrid1->currentIndex().row(), 2);

    form->DBGrid1->SetSelectedField(u"KAMOKU_MEI"_s);
    Press(Qt::Key_S, Qt::ControlModifier);
    ASSERT_FALSE(form->SaveBtn->isEnabled());
    Load(*form);
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"MMDD"_s);
}
