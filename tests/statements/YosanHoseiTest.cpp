// Budget amendments in the budget window: the columns shown once a year has one,
// the reserve fund balancing the amended budget, what 保存 keeps of an amendment
// (and a refused date keeps nothing), the next amendment after a saved one, and
// 削除 taking the amendments with the budget.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Errors.h"
#include "statements/TotalLine.h"
#include "tests/statements/YosanFixture.h"
#include "ui/DBGrid.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// A total line's 今回補正額, 補正額 and 補正後予算額.
QString HoseiTotal(const TTotalLine* line) {
    return QStringList{line->Text(3), line->Text(4), line->Text(5)}.join(u'|');
}

}  // namespace

TEST_F(YosanTest, AnAmendmentIsEnteredBesideTheOriginalBudgetAndBalancedByTheReserveFund) {
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 100, {{u"YOSAN"_s, u"300000"_s}});
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"700000"_s}});
    SetRow(form->SisyutsuClone, 2001, {{u"YOSAN"_s, u"800000"_s}});
    SetRow(form->JikiKurikosiClone, 8000, {{u"YOSAN"_s, u"100000"_s}});
    Click(form->SaveBtn);
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();

    // Without an amendment the window shows what it always did.
    Load(*form);
    EXPECT_EQ(GridRows(form->SyunyuGrid).value(1), u"会費|700,000||||99"_s);
    EXPECT_TRUE(form->HoseiLabel->text().isEmpty());

    Click(form->HoseiTsuikaBtn);
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(form->HoseiLabel->text(), u"第1次補正を入力"_s);
    EXPECT_EQ(form->HoseiNo, 1);
    form->SyoninBiEdit->setText(u"20210920"_s);
    // The carry-over settled 40,000 higher, payments raised by 25,000 and the carry-over
    // out by 5,000: the reserve fund takes up the 10,000 left.
    SetRow(form->SyunyuClone, 100, {{u"KONKAI_HOSEI"_s, u"40000"_s}});
    SetRow(form->SisyutsuClone, 2001, {{u"KONKAI_HOSEI"_s, u"25000"_s}});
    SetRow(form->JikiKurikosiClone, 8000, {{u"KONKAI_HOSEI"_s, u"5000"_s}});
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(GridRows(form->SyunyuGrid).value(0), u"前年度繰越金|300,000|40,000|40,000|340,000||||99"_s);
    EXPECT_EQ(
        Query(u"select KONKAI_HOSEI || '/' || HOSEI || '/' || HOSEIGO from W_YOSAN where KAMOKU = 7000"_s),
        u"10000/10000/110000"_s);
    EXPECT_EQ(HoseiTotal(form->SyunyuGokeiLine), u"40,000|40,000|1,040,000"_s);
    EXPECT_EQ(HoseiTotal(form->SisyutsuGokeiLine), u"40,000|40,000|1,040,000"_s);

    // An amendment that would take a line's budget below 0 is refused.
    form->SisyutsuClone.Locate(u"KAMOKU"_s, {2001});
    form->SisyutsuClone.Edit();
    form->SisyutsuClone.FieldByName(u"KONKAI_HOSEI"_s).SetText(u"-800001"_s);
    EXPECT_THROW(form->SisyutsuClone.Post(), EAppError);
    form->SisyutsuClone.Cancel();

    // A date before the year refuses the save and keeps nothing of it.
    form->SyoninBiEdit->setText(u"20210301"_s);
    Click(form->SaveBtn);
    EXPECT_TRUE(dialogs.Last().text.endsWith(u"承認日が年度の開始日より前です。"_s))
        << dialogs.Last().text.toStdString();
    EXPECT_EQ(Query(u"select count(*) from YOSAN_HOSEI"_s), u"0"_s);
    ASSERT_TRUE(form->SaveBtn->isEnabled());
    form->SyoninBiEdit->setText(u"20210920"_s);
    const std::size_t shown = dialogs.Shown().size();
    Click(form->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), shown) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Rows(u"select NENDO, HOSEI_NO, SYONIN_BI from YOSAN_HOSEI"_s),
              QStringList{u"2021|1|20210920"_s});
    EXPECT_EQ(Rows(u"select KAIKEI_KUBUN, KAMOKU, HOSEI from YOSAN_HOSEI_GAKU order by KAMOKU"_s),
              (QStringList{u"0|100|40000"_s, u"0|2001|25000"_s, u"0|7000|10000"_s, u"0|8000|5000"_s}));
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where KAMOKU = 100"_s), u"300000"_s) << "the original stays";

    // Reloaded, the amendment is the one entered; the next one starts from it.
    Load(*form);
    EXPECT_EQ(form->HoseiLabel->text(), u"第1次補正を入力"_s);
    EXPECT_EQ(form->SyoninBiEdit->text(), u"2021/09/20"_s);
    Click(form->HoseiTsuikaBtn);
    EXPECT_EQ(form->HoseiLabel->text(), u"第2次補正を入力"_s);
    SetRow(form->SisyutsuClone, 2001, {{u"KONKAI_HOSEI"_s, u"-5000"_s}});
    EXPECT_EQ(GridRows(form->SisyutsuGrid).value(0), u"事業費|800,000|-5,000|20,000|820,000||||99"_s);
    EXPECT_EQ(Query(u"select KONKAI_HOSEI || '/' || HOSEI from W_YOSAN where KAMOKU = 7000"_s),
              u"5000/15000"_s);
    Click(form->HoseiTsuikaBtn);
    EXPECT_EQ(dialogs.Last().text, u"第2次補正を保存してから、次の補正を追加してください。"_s);
    form->SyoninBiEdit->setText(u"20220115"_s);
    Click(form->SaveBtn);
    EXPECT_EQ(
        Rows(u"select HOSEI_NO, KAMOKU, HOSEI from YOSAN_HOSEI_GAKU where HOSEI_NO = 2 order by KAMOKU"_s),
        (QStringList{u"2|2001|-5000"_s, u"2|7000|5000"_s}));

    // 削除 takes the amendments with the budget.
    Load(*form);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(form->DeleteBtn);
    EXPECT_EQ(Query(u"select count(*) from YOSAN_HOSEI"_s), u"0"_s);
    EXPECT_EQ(Query(u"select count(*) from YOSAN_HOSEI_GAKU"_s), u"0"_s);
}

// The import of last year takes its amended budget as 前年度予算額.
TEST_F(YosanTest, TheImportTakesLastYearsAmendedBudget) {
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 2001, 500000)"_s);
    Execute(u"insert into YOSAN_HOSEI (NENDO, HOSEI_NO, SYONIN_BI) values (2020, 1, '20201001')"_s);
    Execute(
        u"insert into YOSAN_HOSEI_GAKU (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU, HOSEI) values "
        u"(2020, 1, 0, 2001, 30000)"_s);
    auto form = Open();
    Load(*form);
    Click(form->ZennenInportBtn);
    EXPECT_EQ(dialogs.Last().text, u"前年度データの取り込みを終了しました。"_s);
    EXPECT_EQ(Query(u"select ZENNEN_YOSAN from W_YOSAN where (KAIKEI_KUBUN = 0) and (KAMOKU = 2001)"_s),
              u"530000"_s);
}
