#include <QPushButton>
#include <QTabBar>

#include "statements/TotalLine.h"
#include "tests/statements/YosanFixture.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool InEditState(const TYosanNyuryokuForm& form) {
    return form.GroupBox1->isEnabled() && form.SaveBtn->isEnabled() && form.CancelBtn->isEnabled() &&
           form.DeleteBtn->isEnabled() && form.YosansyoBtn->isEnabled() && form.ZennenInportBtn->isEnabled() &&
           form.KaikeiKubunCombo->isEnabled() && !form.CloseBtn->isEnabled() && !form.NyuryokuBtn->isEnabled();
}

bool InBrowseState(const TYosanNyuryokuForm& form) {
    return !form.GroupBox1->isEnabled() && !form.SaveBtn->isEnabled() && !form.YosansyoBtn->isEnabled() &&
           !form.ZennenInportBtn->isEnabled() && form.CloseBtn->isEnabled() && form.NyuryokuBtn->isEnabled() &&
           form.KaikeiKubunCombo->currentIndex() < 0 && form.PageControl1->currentIndex() == 0;
}

}  // namespace

TEST_F(YosanTest, ANewYearStartsWithEachDivisionsDefaultRowsAndTheSignatureTexts) {
    auto form = Open();
    EXPECT_TRUE(InBrowseState(*form));
    Load(*form);
    ASSERT_TRUE(InEditState(*form)) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(dialogs.Shown().empty());
    // General account: every valid aggregated item but 3000/6000; 1002 starts in 2022.
    EXPECT_EQ(WorkRows(*form), (QStringList{u"0|100|-|-|-"_s, u"0|1001|-|-|-"_s, u"0|2001|-|-|-"_s,
                                            u"0|2002|-|-|-"_s, u"0|6002|-|-|-"_s, u"0|7000|-|-|-"_s,
                                            u"0|8000|-|-|-"_s}));
    EXPECT_EQ(GridRows(form->SyunyuGrid), (QStringList{u"前年度繰越金|||||99"_s, u"会費|||||99"_s}));
    EXPECT_EQ(GridRows(form->YobihiGrid), QStringList{u"予備費|||||99"_s});
    EXPECT_TRUE(form->SyunyuGrid->hasFocus() || form->SyunyuGrid->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"Kamokumei"_s);
    EXPECT_EQ(form->YobihiGrid->SelectedField()->FieldName(), u"ZENNEN_KESSAN"_s);
    EXPECT_EQ(form->JikiKurikosiGrid->SelectedField()->FieldName(), u"YOSAN"_s);

    // The signature texts of a year whose budget texts were never set.
    EXPECT_EQ(form->CommentEdit->text(), u"上記の通り２０２１年度の収支予算を提案します。"_s);
    EXPECT_EQ(form->HizukeEdit->text(), u" ２０２１ 年    月    日"_s);
    EXPECT_EQ(form->SyomeiEdit->text(), u"東町会"_s);
    EXPECT_EQ(form->YakusyokuEdit->text(), u"会長"_s);
    EXPECT_TRUE(form->CommentKubunCheck->isChecked());

    ChooseDivision(*form, 2);
    EXPECT_EQ(Rows(u"select KAMOKU from W_YOSAN where KAIKEI_KUBUN = 2 order by KAMOKU"_s),
              (QStringList{u"100"_s, u"3000"_s, u"6000"_s, u"7000"_s, u"8000"_s}));
    EXPECT_EQ(Query(u"select count(*) from YOSAN"_s), u"0"_s);
}
