#include <functional>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QTimer>
#include <QTreeWidget>

#include "core/Errors.h"
#include "login/MenuUnit.h"
#include "platform/Folders.h"
#include "statements/StatementStyleBox.h"
#include "statements/TotalLine.h"
#include "statements/YosansyoSelectUnit.h"
#include "tests/statements/YosanFixture.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool InEditState(const TYosanNyuryokuForm& form) {
    return form.GroupBox1->isEnabled() && form.SaveBtn->isEnabled() && form.CancelBtn->isEnabled() &&
           form.DeleteBtn->isEnabled() && form.YosansyoBtn->isEnabled() &&
           form.ZennenInportBtn->isEnabled() && form.KaikeiKubunCombo->isEnabled() &&
           !form.CloseBtn->isEnabled() && !form.NyuryokuBtn->isEnabled();
}

bool InBrowseState(const TYosanNyuryokuForm& form) {
    return !form.GroupBox1->isEnabled() && !form.SaveBtn->isEnabled() && !form.YosansyoBtn->isEnabled() &&
           !form.ZennenInportBtn->isEnabled() && form.CloseBtn->isEnabled() &&
           form.NyuryokuBtn->isEnabled() && form.KaikeiKubunCombo->currentIndex() < 0 &&
           form.PageControl1->currentIndex() == 0;
}

}  // namespace

TEST_F(YosanTest, ANewYearStartsWithEachDivisionsDefaultRowsAndTheSignatureTexts) {
    auto form = Open();
    EXPECT_TRUE(InBrowseState(*form));
    Load(*form);
    ASSERT_TRUE(InEditState(*form)) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(dialogs.Shown().empty());
    // General account: every valid aggregated item but 3000/6000; 1002 starts in 2022.
    EXPECT_EQ(WorkRows(*form),
              (QStringList{u"0|100|-|-|-"_s, u"0|1001|-|-|-"_s, u"0|2001|-|-|-"_s, u"0|2002|-|-|-"_s,
                           u"0|6002|-|-|-"_s, u"0|7000|-|-|-"_s, u"0|8000|-|-|-"_s}));
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

// Receipts 1,000,000 (item 100 with 300,000 of it), the carry-over to the next year
// 100,000: the reserve fund takes what the ordinary payments leave, down to below 0.
TEST_F(YosanTest, TheReserveFundAndTheCarryOverFollowEveryPostedAmount) {
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 100, {{u"YOSAN"_s, u"300000"_s}, {u"ZENNEN_YOSAN"_s, u"250000"_s}});
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"700000"_s}, {u"ZENNEN_KESSAN"_s, u"600000"_s}});
    SetRow(form->JikiKurikosiClone, 8000, {{u"YOSAN"_s, u"100000"_s}, {u"ZENNEN_YOSAN"_s, u"50000"_s}});
    const struct {
        const char16_t* payments;
        const char16_t* yobihi;
    } cases[] = {{u"800000", u"100,000"}, {u"900000", u"0"}, {u"1000000", u"-100,000"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.payments).toStdString());
        SetRow(form->SisyutsuClone, 2001, {{u"YOSAN"_s, QString::fromUtf16(c.payments)}});
        EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
        EXPECT_EQ(GridRows(form->YobihiGrid).value(0).section(u'|', 1, 1), QString::fromUtf16(c.yobihi));
        EXPECT_EQ(Total(form->SisyutsuGokeiLine).section(u'|', 1, 1), u"1,000,000"_s);
    }
    EXPECT_EQ(Query(u"select YOSAN || '/' || ZENNEN_YOSAN from W_YOSAN where KAMOKU = 7000"_s),
              u"-100000/200000"_s);
    EXPECT_EQ(Total(form->SyunyuGokeiLine), u"収入合計|1,000,000|600,000|250,000"_s);
    EXPECT_EQ(Total(form->SyokeiLine), u"小計|1,000,000||"_s);

    // Last year's settlement typed on the reserve fund lowers last year's carry-over.
    EXPECT_EQ(GridRows(form->JikiKurikosiGrid).value(0).section(u'|', 2, 2), u"600,000"_s);
    SetRow(form->YobihiClone, 7000, {{u"ZENNEN_KESSAN"_s, u"5000"_s}});
    EXPECT_EQ(GridRows(form->JikiKurikosiGrid).value(0).section(u'|', 2, 2), u"595,000"_s);
    EXPECT_EQ(Total(form->SisyutsuSyokeiLine), u"支出小計|900,000|5,000|200,000"_s);
    EXPECT_EQ(Total(form->SisyutsuGokeiLine), u"支出合計|1,000,000|600,000|250,000"_s);

    // Both keep the place the statements give them: their 順序 cannot be typed.
    const std::pair<TDBGrid*, bool> orders[] = {
        {form->YobihiGrid, true}, {form->JikiKurikosiGrid, true}, {form->SisyutsuGrid, false}};
    for (const auto& [grid, readOnly] : orders) {
        grid->SetSelectedField(u"JUNJYO"_s);
        EXPECT_EQ(grid->IsCellReadOnly(0, grid->SelectedIndex()), readOnly) << readOnly;
    }
}

// A row the work table refuses stays as typed and unsaved: 保存 says so and
// keeps the window editing until the row is written.
TEST_F(YosanTest, ARowTheWorkTableRefusesBlocksSavingUntilItIsWritten) {
    Execute(u"create exception ROW_REFUSED 'この行は書き込めません'"_s);
    Execute(
        u"create trigger W_YOSAN_REFUSE for W_YOSAN before insert or update as begin "
        u"if (new.YOSAN = 666) then exception ROW_REFUSED; end"_s);
    auto form = Open();
    Load(*form);
    ASSERT_TRUE(form->SyunyuClone.Locate(u"KAMOKU"_s, {1001}));
    form->SyunyuClone.Edit();
    form->SyunyuClone.FieldByName(u"YOSAN"_s).SetText(u"666"_s);
    Click(form->SaveBtn);  // posting the line fails
    ASSERT_FALSE(dialogs.Shown().empty());
    EXPECT_TRUE(dialogs.Last().text.contains(u"この行は書き込めません"_s))
        << dialogs.Last().text.toStdString();
    for (QPushButton* button : {form->SaveBtn, form->YosansyoBtn}) {
        dialogs.Clear();
        Click(button);
        ASSERT_FALSE(dialogs.Shown().empty());
        EXPECT_TRUE(dialogs.Last().text.startsWith(u"書き込めなかった行があるため"_s))
            << dialogs.Last().text.toStdString();
        EXPECT_TRUE(form->SaveBtn->isEnabled());
    }
    EXPECT_EQ(Query(u"select count(*) from YOSAN"_s), u"0"_s);
    ASSERT_TRUE(form->SyunyuClone.Locate(u"KAMOKU"_s, {1001}));
    EXPECT_EQ(form->SyunyuClone.FieldByName(u"YOSAN"_s).AsString(), u"666"_s);
    dialogs.Clear();
    SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"777"_s}});
    Click(form->SaveBtn);
    EXPECT_FALSE(form->SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where KAIKEI_KUBUN = 0 and KAMOKU = 1001"_s), u"777"_s);
}

// The checks of a posted line, each refusing it with its message; a plain change of
// amount on a line passes them.
TEST_F(YosanTest, APostedLineIsCheckedAndTypedAmountsKeepTheirRanges) {
    Execute(
        u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) values (2021, 2, 6002, 99, 10)"_s);
    auto form = Open();
    Load(*form);
    const auto refused = [&](data::DataSet& view, const std::function<void()>& edit) -> QString {
        try {
            edit();
            view.Post();
        } catch (const std::exception& e) {
            view.Cancel();
            return ErrorMessageOf(e);
        }
        return QString();
    };
    data::DataSet& receipts = form->SyunyuClone;
    EXPECT_EQ(refused(receipts,
                      [&] {
                          receipts.Append();
                          receipts.FieldByName(u"JUNJYO"_s).SetText(u"10"_s);
                      }),
              u"科目(集計項目)を入力してください。"_s);
    EXPECT_EQ(refused(receipts,
                      [&] {
                          receipts.Append();
                          receipts.FieldByName(u"Kamokumei"_s).SetText(u"会費"_s);
                      }),
              u"科目(集計項目)が重複しています。"_s);
    EXPECT_EQ(refused(receipts,
                      [&] {
                          receipts.Locate(u"KAMOKU"_s, {1001});
                          receipts.Edit();
                          receipts.FieldByName(u"YOSAN"_s).SetText(u"-5"_s);
                      }),
              u"-5は本年度予算額の範囲外です。0～999999999の範囲で入力してください。"_s);
    EXPECT_EQ(
        refused(
            receipts,
            [&] {
                receipts.Locate(u"KAMOKU"_s, {1001});
                receipts.Edit();
                receipts.FieldByName(u"ZENNEN_KESSAN"_s).SetText(u"-5"_s);
                receipts.FieldByName(u"TEKIYO"_s)
                    .SetText(
                        u"　 四月から翌三月までの一般会費と特別会費の合計額を見込んで計上する予定です "_s);
            }),
        QString());
    EXPECT_EQ(Query(u"select ZENNEN_KESSAN || '/' || TEKIYO from W_YOSAN where KAMOKU = 1001"_s),
              u"-5/四月から翌三月までの一般会費と特別会費の合計額を見込んで計上"_s);

    // Division 2 does not offer its own transfer item; a line saved with it is refused.
    ChooseDivision(*form, 2);
    data::DataSet& payments = form->SisyutsuClone;
    EXPECT_FALSE(form->SisyutsuKamokuClone.Locate(u"KAMOKU"_s, {6002}));
    EXPECT_EQ(refused(payments,
                      [&] {
                          payments.Locate(u"KAMOKU"_s, {6002});
                          payments.Edit();
                          payments.FieldByName(u"YOSAN"_s).SetText(u"20"_s);
                      }),
              u"この科目(集計項目)は入力できません。"_s);
}

// A new line nobody filled in goes without a word; one whose order was typed is
// refused and keeps the keyboard on its item.
TEST_F(YosanTest, ABlankNewLineIsDroppedAndAnUnnamedOneRefused) {
    auto form = Open();
    Load(*form);
    form->SyunyuGrid->setFocus();
    form->SyunyuGrid->SetSelectedField(u"TEKIYO"_s);
    Settle();
    Press(Qt::Key_Down);
    Press(Qt::Key_Down);  // past the last line: a new one
    ASSERT_EQ(form->SyunyuClone.State(), data::DataSetState::Insert);
    Press(Qt::Key_Up);  // left untouched
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(form->SyunyuClone.RecordCount(), 2);

    form->GyoTsuikaBtn->click();
    Settle();
    ASSERT_EQ(form->SyunyuClone.State(), data::DataSetState::Insert);
    form->SyunyuGrid->SetSelectedField(u"JUNJYO"_s);
    Settle();
    Type(u"10"_s);
    Press(Qt::Key_Up);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"科目(集計項目)を入力してください。"_s));
    EXPECT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"Kamokumei"_s);
    EXPECT_EQ(Query(u"select count(*) from W_YOSAN where KAIKEI_KUBUN = 0"_s), u"7"_s);
}

TEST_F(YosanTest, ASavedBudgetReloadsAsItWasAndCancelLeavesTheSavedYearAlone) {
    auto form = Open();
    Load(*form);
    SetRow(form->SyunyuClone, 100, {{u"YOSAN"_s, u"300000"_s}});
    SetRow(form->SisyutsuClone, 2001,
           {{u"YOSAN"_s, u"120000"_s}, {u"TEKIYO"_s, u"夏祭り"_s}, {u"JUNJYO"_s, u"1"_s}});
    ShowPage(*form, 3);
    SetKurikosi(*form, 4001, u"15000"_s);
    ShowPage(*form, 2);
    form->CommentEdit->setFocus();
    form->CommentEdit->selectAll();
    Type(u"令和三年度の予算案です。"_s);
    Click(form->SaveBtn);
    ASSERT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    const QString savedSql =
        u"select KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN, ZENNEN_YOSAN, ZENNEN_KESSAN, TEKIYO from YOSAN "
        u"where NENDO = 2021 order by KAIKEI_KUBUN, KAMOKU"_s;
    const QStringList saved = Rows(savedSql);
    EXPECT_EQ(saved.size(), 7);
    EXPECT_TRUE(saved.contains(u"0|2001|1|120000|-|-|夏祭り"_s));
    EXPECT_TRUE(saved.contains(u"0|7000|99|180000|0|-|-"_s));
    EXPECT_EQ(Rows(u"select NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI from KURIKOSI"_s),
              QStringList{u"2021|0|4001|15000"_s});
    EXPECT_EQ(Query(u"select YOSAN_COMMENT || '/' || YOSAN_COMMENT_KUBUN from NENDO where NENDO = 2021"_s),
              u"令和三年度の予算案です。/1"_s);

    Load(*form);
    const QStringList shownPayments = GridRows(form->SisyutsuGrid);
    EXPECT_EQ(shownPayments.value(0), u"事業費|120,000|||夏祭り|1"_s);
    EXPECT_EQ(Total(form->SisyutsuGokeiLine), u"支出合計|300,000|0|0"_s);
    EXPECT_EQ(form->CommentEdit->text(), u"令和三年度の予算案です。"_s);
    EXPECT_EQ(form->MeisaiKurikosiLabel->text(), u"315,000"_s);

    // Changes cancelled: nothing reaches YOSAN, KURIKOSI or NENDO.
    SetRow(form->SisyutsuClone, 2001, {{u"YOSAN"_s, u"1"_s}});
    ShowPage(*form, 3);
    SetKurikosi(*form, 4001, u"0"_s);
    Click(form->CancelBtn);
    EXPECT_EQ(Rows(savedSql), saved);
    EXPECT_EQ(Rows(u"select KURIKOSI from KURIKOSI"_s), QStringList{u"15000"_s});
    const QString jikoku = form->Jikoku;
    form->close();
    EXPECT_EQ(Query(u"select count(*) from W_YOSAN where JIKOKU = '%1'"_s.arg(jikoku)), u"0"_s);
}

TEST_F(YosanTest, DeletingRemovesThatYearsBudgetAndBreakdownOnly) {
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 1001, 500)"_s);
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 1001, 700)"_s);
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 2, 3000, 80)"_s);
    Execute(u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2020, 0, 4001, 9)"_s);
    Execute(u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 0, 4001, 8)"_s);
    Execute(u"update NENDO set YOSAN_COMMENT = '予算案', YOSAN_COMMENT_KUBUN = 1 where NENDO = 2021"_s);
    auto form = Open();
    Load(*form);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(form->DeleteBtn);
    EXPECT_TRUE(InBrowseState(*form));
    EXPECT_EQ(dialogs.Last().text, u"表示中のデータを削除してもよろしいですか? "_s);
    EXPECT_EQ(Rows(u"select NENDO, KAMOKU from YOSAN"_s), QStringList{u"2020|1001"_s});
    EXPECT_EQ(Rows(u"select NENDO, KURIKOSI from KURIKOSI"_s), QStringList{u"2020|9"_s});
    EXPECT_EQ(Query(u"select YOSAN_COMMENT from NENDO where NENDO = 2021"_s), u"予算案"_s);
}

// Two windows load the same year under two keys: each edits and deletes only its
// own work rows.
TEST_F(YosanTest, TwoWindowsKeepToTheirOwnWorkRows) {
    auto first = Open();
    Load(*first);
    auto second = Open();
    Load(*second);
    ASSERT_NE(first->Jikoku, second->Jikoku);
    SetRow(first->SyunyuClone, 1001, {{u"YOSAN"_s, u"111"_s}});
    SetRow(second->SyunyuClone, 1001, {{u"YOSAN"_s, u"222"_s}});
    EXPECT_TRUE(WorkRows(*first).contains(u"0|1001|111|-|-"_s));
    EXPECT_TRUE(WorkRows(*second).contains(u"0|1001|222|-|-"_s));
    EXPECT_EQ(WorkRows(*first).size(), 7);
    const QString secondKey = second->Jikoku;
    Click(first->CancelBtn);
    first->close();
    EXPECT_EQ(Query(u"select count(*) from W_YOSAN"_s), u"7"_s);
    EXPECT_EQ(Query(u"select count(*) from W_YOSAN where JIKOKU = '%1'"_s.arg(secondKey)), u"7"_s);
    Click(second->SaveBtn);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where KAMOKU = 1001"_s), u"222"_s);
}

// A year saved by another window after this one loaded it is not replaced without
// the user's word.
TEST_F(YosanTest, SavingOverABudgetSavedElsewhereAsksFirst) {
    auto first = Open();
    Load(*first);
    auto second = Open();
    Load(*second);
    SetRow(first->SyunyuClone, 1001, {{u"YOSAN"_s, u"111"_s}});
    Click(first->SaveBtn);
    SetRow(second->SyunyuClone, 1001, {{u"YOSAN"_s, u"222"_s}});
    dialogs.QueueAnswer(ModalResult::No);
    Click(second->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"この年度のデータは、読み込んだ後に"_s));
    EXPECT_TRUE(second->SaveBtn->isEnabled());
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where KAMOKU = 1001"_s), u"111"_s);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(second->SaveBtn);
    EXPECT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_FALSE(second->SaveBtn->isEnabled());
    EXPECT_EQ(Query(u"select YOSAN from YOSAN where KAMOKU = 1001"_s), u"222"_s);
}

// A page change posts the pending edits first; one that cannot be posted keeps its
// page in front. 予算書 posts them too, without saving.
TEST_F(YosanTest, PageChangesAndTheStatementButtonPostTheEditsFirst) {
    auto form = Open();
    Load(*form);
    form->SyunyuClone.Locate(u"KAMOKU"_s, {100});
    form->SyunyuClone.Edit();
    form->SyunyuClone.FieldByName(u"Kamokumei"_s).SetText(u"会費"_s);  // a duplicate
    ShowPage(*form, 1);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"科目(集計項目)が重複しています。"_s));
    EXPECT_EQ(form->PageControl1->currentIndex(), 0);
    EXPECT_EQ(form->PageStack->currentIndex(), 0);
    form->SyunyuClone.Cancel();

    SetRow(form->SyunyuClone, 1001, {});
    form->SyunyuClone.Edit();
    form->SyunyuClone.FieldByName(u"YOSAN"_s).SetText(u"4321"_s);
    form->NendoClientDS.Edit();
    form->NendoClientDS.FieldByName(u"YOSAN_BIKOU"_s).SetText(u"備考"_s);
    // The choice window reads its list of statements beside the built program.
    platform::OverrideProgramFolder(qEnvironmentVariable("TSUBAKI_APP_DIR"));
    const std::unique_ptr<void, void (*)(void*)> restoreFolder(
        this, [](void*) { platform::OverrideProgramFolder(QString()); });
    int listed = 0;
    WhenModal<TYosansyoSelectForm>([&](TYosansyoSelectForm& select) {
        listed = select.ListView1->topLevelItemCount();
        select.reject();
    });
    Click(form->YosansyoBtn);
    EXPECT_EQ(listed, 16);  // the choice window opened on the statements
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(form->SyunyuClone.State(), data::DataSetState::Browse);
    EXPECT_EQ(form->NendoClientDS.State(), data::DataSetState::Browse);
    EXPECT_TRUE(WorkRows(*form).contains(u"0|1001|4321|-|-"_s));
    EXPECT_EQ(Query(u"select count(*) from YOSAN"_s), u"0"_s);
    EXPECT_EQ(Query(u"select coalesce(YOSAN_BIKOU, '-') from NENDO where NENDO = 2021"_s), u"-"_s);
}

TEST_F(YosanTest, AYearWithoutItsSettingsIsNotLoaded) {
    auto form = Open();
    Load(*form, u"2023"_s);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, u"2023年度の基礎データが設定されていません。"_s);
    EXPECT_TRUE(InBrowseState(*form));
    EXPECT_EQ(Query(u"select count(*) from W_YOSAN"_s), u"0"_s);
}

// The keyboard alone: Tab and Enter walk a line's cells and go on to the next line;
// on the signature page Enter walks the texts in order.
TEST_F(YosanTest, TheKeyboardWalksTheLinesAndTheSignatureTexts) {
    auto form = Open();
    Load(*form);
    ASSERT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"Kamokumei"_s);
    Press(Qt::Key_Tab);
    EXPECT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"YOSAN"_s);
    Type(u"300000"_s);
    Press(Qt::Key_Return);
    Type(u"250000"_s);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);
    Type(u"前年度より"_s);
    Press(Qt::Key_Return);
    Press(Qt::Key_Return);  // past 順序: the next line's first cell, and the line is written
    EXPECT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"Kamokumei"_s);
    EXPECT_EQ(form->SyunyuClone.FieldByName(u"KAMOKU"_s).AsInteger(), 1001);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(WorkRows(*form).contains(u"0|100|300000|-|250000"_s));
    EXPECT_EQ(Query(u"select TEKIYO from W_YOSAN where KAMOKU = 100"_s), u"前年度より"_s);
    EXPECT_EQ(GridRows(form->YobihiGrid).value(0).section(u'|', 1, 1), u"300,000"_s);

    ShowPage(*form, 2);
    form->CommentKubunCheck->setFocus();
    Settle();
    Press(Qt::Key_Tab);  // a check box keeps Enter for itself
    EXPECT_EQ(QApplication::focusWidget(), form->CommentEdit);
    QWidget* expected[] = {form->HizukeEdit,
                           form->SyomeiEdit,
                           form->YakusyokuEdit,
                           form->DaihyosyaEdit,
                           form->BikouEdit,
                           form->StyleBox->TitleEdit,
                           form->StyleBox->SyunyuCombo,
                           form->StyleBox->SisyutsuCombo};
    for (QWidget* next : expected) {
        Press(Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->toolTip().toStdString();
    }
}

// ↓ and ↑ on the item cell, whose editor is a drop-down list, move between the
// lines: the item stays and nothing is posted.
TEST_F(YosanTest, ArrowsOnTheItemCellMoveBetweenLinesAndLeaveTheItem) {
    auto form = Open();
    Load(*form);
    ASSERT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"Kamokumei"_s);
    const QStringList shown = GridRows(form->SyunyuGrid);
    const QStringList work = WorkRows(*form);
    Press(Qt::Key_Down);
    EXPECT_EQ(form->SyunyuGrid->currentIndex().row(), 1);
    EXPECT_EQ(form->SyunyuGrid->SelectedField()->FieldName(), u"Kamokumei"_s);
    Press(Qt::Key_Up);
    EXPECT_EQ(form->SyunyuGrid->currentIndex().row(), 0);
    EXPECT_EQ(GridRows(form->SyunyuGrid), shown);
    EXPECT_EQ(WorkRows(*form), work);
    EXPECT_FALSE(form->SyunyuClone.IsEditing());
    EXPECT_TRUE(dialogs.Shown().empty());
}

// On 支出の部 Ctrl+Tab leaves each grid for the one below it, as the page reads,
// and the navigator at the bottom hands the focus back to the payments.
TEST_F(YosanTest, CtrlTabWalksThePaymentsPageTopToBottom) {
    auto form = Open();
    Load(*form);
    ShowPage(*form, 1);
    form->SisyutsuGrid->setFocus(Qt::TabFocusReason);
    Settle();
    const auto inside = [](QWidget* control) {
        QWidget* focus = QApplication::focusWidget();
        return focus == control || control->isAncestorOf(focus);
    };
    QWidget* expected[] = {form->YobihiGrid, form->JikiKurikosiGrid, form->SisyutsuNavigator};
    for (QWidget* next : expected) {
        Press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_TRUE(inside(next)) << next->metaObject()->className() << " / "
                                  << QApplication::focusWidget()->metaObject()->className();
    }
    Press(Qt::Key_Tab);
    EXPECT_TRUE(inside(form->SisyutsuGrid)) << QApplication::focusWidget()->metaObject()->className();
}

TEST_F(YosanTest, TheMenuButtonOpensTheBudgetWindowOnTheMenusYear) {
    TMenuForm menu;
    ShowActive(menu);
    menu.Edit1->setText(u"2020"_s);
    QString title;
    QString year;
    auto* timer = new QTimer(&menu);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [&] {
        if (auto* window = qobject_cast<TYosanNyuryokuForm*>(QApplication::activeModalWidget())) {
            timer->stop();
            title = window->windowTitle();
            year = window->Edit1->text();
            window->CloseBtn->click();
        }
    });
    timer->start();
    QTest::mouseClick(menu.ButtonByTag(3), Qt::LeftButton);
    EXPECT_EQ(title, u"予算書データ入力"_s);
    EXPECT_EQ(year, u"2020"_s);
    EXPECT_EQ(menu.ButtonByTag(3)->toolTip(), u"予算書入力ウインドウを開きます。"_s);
}

// One Esc too many must not throw a budget away: with anything unsaved (a posted
// amount, a breakdown amount, fresh signature texts) it asks first.
TEST_F(YosanTest, EscWithUnsavedFiguresAsksBeforeDiscardingThem) {
    auto form = Open();
    Load(*form);
    dialogs.QueueAnswer(ModalResult::No);
    Press(Qt::Key_Escape);  // the year's texts were filled in but never saved
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, u"入力中の内容を破棄しますか?"_s);
    EXPECT_EQ(dialogs.Last().focused, mbNo);
    EXPECT_TRUE(InEditState(*form));
    Click(form->SaveBtn);
    const QString savedSql = u"select KAIKEI_KUBUN, KAMOKU, YOSAN from YOSAN order by 1, 2"_s;
    const QStringList saved = Rows(savedSql);
    dialogs.Clear();

    Load(*form);
    Press(Qt::Key_Escape);  // nothing changed: no question
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_TRUE(InBrowseState(*form));

    const struct {
        const char* what;
        std::function<void()> change;
    } changes[] = {
        {"a posted amount", [&] { SetRow(form->SyunyuClone, 1001, {{u"YOSAN"_s, u"5000"_s}}); }},
        {"a breakdown amount",
         [&] {
             ShowPage(*form, 3);
             SetKurikosi(*form, 4001, u"700"_s);
         }},
    };
    for (const auto& c : changes) {
        SCOPED_TRACE(c.what);
        dialogs.Clear();
        Load(*form);
        c.change();
        dialogs.QueueAnswer(ModalResult::No);
        Press(Qt::Key_Escape);
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_TRUE(InEditState(*form));
        dialogs.QueueAnswer(ModalResult::Yes);
        Press(Qt::Key_Escape);
        EXPECT_EQ(dialogs.Shown().size(), 2u);
        EXPECT_TRUE(InBrowseState(*form));
        EXPECT_EQ(Rows(savedSql), saved);
        EXPECT_TRUE(Rows(u"select KURIKOSI from KURIKOSI"_s).isEmpty());
    }
}
