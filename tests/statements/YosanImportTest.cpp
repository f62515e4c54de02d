// The import of last year's budget and settlement, and the carry-over breakdown of
// the items outside the statements with the opening balance it gives the journal.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "journal/MeisaiNyuryokuUnit.h"
#include "statements/TotalLine.h"
#include "tests/statements/YosanFixture.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Last year (2020): a budget in the general account and in special account 2, a
// journal with receipts, payments, a refund larger than its payments, and money held
// for others carried in, received and paid out.
void SeedLastYear(const std::function<void(const QString&)>& execute) {
    for (const QString& sql : {
             u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 100, 50000)"_s,
             u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 1001, 300000)"_s,
             u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 2001, 280000)"_s,
             u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 7000, 70000)"_s,
             u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 2002, 0)"_s,
             u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 2, 3000, 20000)"_s,
             u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
             u"values (1, 0, 2020, '20200501', 1001, 300000)"_s,
             u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SISYUTSU) "
             u"values (2, 0, 2020, '20200601', 2001, 280000)"_s,
             u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SISYUTSU) "
             u"values (3, 0, 2020, '20200701', 2002, 3000)"_s,
             u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
             u"values (4, 0, 2020, '20200801', 2002, 5000)"_s,
             u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2020, 0, 4001, 10000)"_s,
             u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
             u"values (5, 0, 2020, '20200901', 4001, 5000)"_s,
             u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SISYUTSU) "
             u"values (6, 0, 2020, '20201001', 4001, 8000)"_s,
         })
        execute(sql);
}

}  // namespace

TEST_F(YosanTest, TheImportBringsLastYearsFiguresIntoEveryDivision) {
    SeedLastYear([this](const QString& sql) { Execute(sql); });
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"400000"_s}, {u"TEKIYO"_s, u"会費"_s}});
    SetRow(form->SisyutsuClone, 2001, {{u"YOSAN"_s, u"350000"_s}});
    SetRow(form->JikiKurikosiClone, 8000, {{u"YOSAN"_s, u"50000"_s}});
    for (int run = 0; run < 2; ++run) {  // a second import starts from scratch again
        SCOPED_TRACE(run);
        Click(form->ZennenInportBtn);
        ASSERT_FALSE(dialogs.Shown().empty());
        EXPECT_EQ(dialogs.Last().text, u"前年度データの取り込みを終了しました。"_s);
        // Carried over: 50,000 in, 300,000 received, 280,000 paid and a refund of
        // 2,000 net on a payments item make 72,000.
        EXPECT_EQ(WorkRows(*form), (QStringList{
                                       u"0|100|72000|50000|50000"_s,
                                       u"0|1001|400000|300000|300000"_s,
                                       u"0|2001|350000|280000|280000"_s,
                                       u"0|2002|-|-|-2000"_s,
                                       u"0|6002|-|-|-"_s,
                                       u"0|7000|72000|70000|-"_s,
                                       u"0|8000|50000|-|72000"_s,
                                       // Special account 2, in last year's data only.
                                       u"2|100|0|-|-"_s,
                                       u"2|3000|-|20000|-"_s,
                                       u"2|7000|0|-|-"_s,
                                       u"2|8000|-|-|0"_s,
                                   }));
    }
    EXPECT_EQ(Query(u"select TEKIYO || '/' || JUNJYO from W_YOSAN where KAMOKU = 1001"_s), u"会費/99"_s);
    EXPECT_EQ(Total(form->SyunyuGokeiLine), u"収入合計|472,000|350,000|350,000"_s);
    EXPECT_EQ(GridRows(form->YobihiGrid).value(0).section(u'|', 1, 1), u"72,000"_s);

    // Held for others: 10,000 carried in, 5,000 received, 8,000 paid out.
    EXPECT_EQ(form->TaisyogaiLabel->text(), u"7,000"_s);
    EXPECT_EQ(form->MeisaiKurikosiLabel->text(), u"79,000"_s);
    ChooseDivision(*form, 2);
    EXPECT_EQ(Rows(u"select count(*) from W_YOSAN where KAIKEI_KUBUN = 2"_s), QStringList{u"4"_s});
    EXPECT_EQ(GridRows(form->SyunyuGrid).value(1), u"一般会計より繰入|||20,000||99"_s);
    EXPECT_EQ(Query(u"select count(*) from YOSAN where NENDO = 2021"_s), u"0"_s);
}

TEST_F(YosanTest, WithoutAPreviousYearTheImportOnlyBalancesTheBudget) {
    auto form = Open();
    Load(*form, u"2020"_s);
    SetRow(form->SyunyuClone, 100, {{u"YOSAN"_s, u"9000"_s}, {u"ZENNEN_YOSAN"_s, u"8000"_s}});
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"1000"_s}});
    Click(form->ZennenInportBtn);
    EXPECT_EQ(dialogs.Last().text, u"前年度データの取り込みを終了しました。"_s);
    EXPECT_EQ(WorkRows(*form),
              (QStringList{u"0|100|0|-|-"_s, u"0|1001|1000|-|-"_s, u"0|2001|-|-|-"_s, u"0|2002|-|-|-"_s,
                           u"0|6002|-|-|-"_s, u"0|7000|1000|-|-"_s, u"0|8000|-|-|0"_s}));
}

TEST_F(YosanTest, AnImportThatCannotPlaceAnItemChangesNothing) {
    SeedLastYear([this](const QString& sql) { Execute(sql); });
    // Last year's budget has a line on an item that is not in the statements.
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 4001, 100)"_s);
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"400000"_s}});
    const QStringList before = WorkRows(*form);
    Click(form->ZennenInportBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(
        u"前年データの取り込みを失敗しました。\r\n\r\n科目コード[4001]が登録されていません。"_s));
    EXPECT_EQ(WorkRows(*form), before);
    EXPECT_TRUE(form->SaveBtn->isEnabled());
}

// Item 100 of 300,000 and 20,000 of a payments item held for others give the
// journal an opening balance of 280,000 once saved.
TEST_F(YosanTest, TheBreakdownSetsTheJournalsOpeningBalance) {
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 100, {{u"YOSAN"_s, u"300000"_s}});
    ShowPage(*form, 3);
    EXPECT_EQ(GridRows(form->KurikosiGrid), (QStringList{u"収入|預り金|"_s, u"支出|預り金払出|"_s}));
    SetKurikosi(*form, 4001, u"0"_s);  // not stored
    SetKurikosi(*form, 4101, u"20000"_s);
    EXPECT_EQ(form->TaisyogaiLabel->text(), u"-20,000"_s);
    EXPECT_EQ(form->YosanKurikosiLabel->text(), u"300,000"_s);
    EXPECT_EQ(form->MeisaiKurikosiLabel->text(), u"280,000"_s);
    EXPECT_EQ(form->FTaisyogaiKurikosi, -20000);
    Click(form->SaveBtn);
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Rows(u"select KAIKEI_KUBUN, KAMOKU, KURIKOSI from KURIKOSI where NENDO = 2021"_s),
              QStringList{u"0|4101|20000"_s});
    form->close();

    TMeisaiNyuryokuForm journal;
    ShowActive(journal);
    journal.Edit1->setFocus();
    journal.Edit1->selectAll();
    Type(u"2021"_s);
    Press(Qt::Key_Return);
    EXPECT_EQ(journal.KurikosiEdit->text(), u"280,000"_s);
}

// Last year's breakdown of 預り金 does not fit its column: the import is refused
// as a whole, the work rows and the breakdown keep what they held.
TEST_F(YosanTest, AnImportThatFailsLeavesTheYearAsItWas) {
    SeedLastYear([this](const QString& sql) { Execute(sql); });
    for (int seq : {7, 8})
        Execute(
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
            u"values (%1, 0, 2020, '20201101', 4001, 2000000000)"_s.arg(seq));
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"400000"_s}});
    ShowPage(*form, 3);
    SetKurikosi(*form, 4101, u"20000"_s);
    const QStringList work = WorkRows(*form);
    const QStringList breakdown = GridRows(form->KurikosiGrid);
    Click(form->ZennenInportBtn);
    ASSERT_FALSE(dialogs.Shown().empty());
    EXPECT_EQ(
        dialogs.Last().text,
        u"前年データの取り込みを失敗しました。\r\n\r\n科目コード[4001]の金額が計算できる範囲を超えています。"_s);
    EXPECT_EQ(WorkRows(*form), work);
    EXPECT_EQ(GridRows(form->KurikosiGrid), breakdown);
    EXPECT_EQ(form->FTaisyogaiKurikosi, -20000);
}
