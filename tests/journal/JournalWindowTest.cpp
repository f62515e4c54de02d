#include <memory>

#include <QLineEdit>
#include <QPushButton>

#include "db/WorkKeys.h"
#include "master/ChoiceList.h"
#include "master/KamokuSelectUnit.h"
#include "master/TekiyoKensakuUnit.h"
#include "master/TekiyoTourokuUnit.h"
#include "tests/journal/JournalFixture.h"
#include "ui/EditMask.h"

using namespace Qt::Literals::StringLiterals;

namespace {

bool InEditState(const TMeisaiNyuryokuForm& form) {
    return form.GroupBox1->isEnabled() && form.SaveBtn->isEnabled() && form.CancelBtn->isEnabled() &&
           !form.CloseBtn->isEnabled() && !form.NyuryokuBtn->isEnabled() && form.SyusiMeisaiBtn->isEnabled();
}

bool InBrowseState(const TMeisaiNyuryokuForm& form) {
    return !form.GroupBox1->isEnabled() && !form.SaveBtn->isEnabled() && form.CloseBtn->isEnabled() &&
           form.NyuryokuBtn->isEnabled() && !form.SyusiMeisaiBtn->isEnabled() &&
           !form.TsukibetsuSyukeiBtn->isEnabled() && form.KurikosiEdit->text().isEmpty() &&
           form.ZandakaEdit->text().isEmpty() && form.KaikeiKubunCombo->currentIndex() < 0;
}

bool DateValueIsEmpty(const TMeisaiNyuryokuForm& form) {
    return MaskedTextToValue(form.DateFromEdit->displayText(), u"99/99"_s, false).isEmpty() &&
           MaskedTextToValue(form.DateToEdit->displayText(), u"99/99"_s, false).isEmpty();
}

// The window active again once a modal window closed (the offscreen platform
// leaves no window active).
void BackTo(QWidget& window) {
    QApplication::setActiveWindow(&window);
    Settle();
}

}  // namespace

TEST_F(JournalTest, ATypedLineIsDatedInTheYearNumberedAndWrittenToTheWorkRowsAtOnce) {
    // Line numbers continue after the highest anywhere: another year's saved line
    // and the work row of a window open on another computer.
    Execute(u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE) values (7, 0, 2020, '20200501')"_s);
    const db::WorkKeyClaim other(module.SQLConnection1, u"W_MEISAI"_s, 2020, u"other"_s,
                                 QDateTime(QDate(2020, 1, 1), QTime(0, 0)));
    Execute(
        u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN) values ('other', '20200101000000', 12, 0)"_s);
    auto form = Open();
    EXPECT_TRUE(InBrowseState(*form));
    Load(*form);
    ASSERT_TRUE(InEditState(*form)) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(form->DBGrid1->hasFocus() || form->DBGrid1->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"MMDD"_s);

    TypeLine({u"0315"_s, u"町内会員"_s, u"四月分 会費"_s, u"1001"_s, u"5000"_s, QString()});
    EXPECT_EQ(WorkRows(*form), QStringList{u"13|0|20220315|1001|5000|-"_s});
    EXPECT_EQ(Query(u"select MMDD || '/' || KOUSIN_FLAG || '/' || AITE from W_MEISAI where SEQ_NO = 13"_s),
              u"0315/2/町内会員"_s);
    EXPECT_EQ(GridLines(*form), QStringList{u"03/15|町内会員|四月分 会費|収入 会費|5,000|"_s});
    EXPECT_EQ(form->ZandakaEdit->text(), u"5,000"_s);
    EXPECT_EQ(Query(u"select count(*) from MEISAI where NENDO = 2021"_s), u"0"_s);

    // The new line under the cursor is untouched: saving drops it.
    Click(form->SaveBtn);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(InBrowseState(*form));
    EXPECT_EQ(Rows(u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU from MEISAI "
                   u"where NENDO = 2021"_s),
              QStringList{u"13|0|20220315|町内会員|四月分 会費|1001|5000|-"_s});

    // Closing deletes the window's work rows, no one else's.
    const QString jikoku = form->Jikoku;
    form->close();
    EXPECT_EQ(Query(u"select count(*) from W_MEISAI where JIKOKU = '%1'"_s.arg(jikoku)), u"0"_s);
    EXPECT_EQ(Query(u"select count(*) from W_MEISAI"_s), u"1"_s);
}

TEST_F(JournalTest, SavingRefusesANonExistentDateAndShowsTheLineHiddenByTheFilter) {
    auto form = Open();
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"会費"_s, u"1001"_s, u"1000"_s, QString()});
    TypeLine({u"0400"_s, QString(), u"会費"_s, u"1001"_s, u"2000"_s, QString()});
    // The date filter of May hides both lines.
    form->DateFromEdit->setFocus();
    Type(u"0501"_s);
    Press(Qt::Key_Tab);
    Type(u"0531"_s);
    Press(Qt::Key_Tab);
    EXPECT_TRUE(GridLines(*form).isEmpty());

    Click(form->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"日付が正しくありません。"_s));
    EXPECT_TRUE(InEditState(*form));
    // The filter is cleared and the cursor is on the refused line's date.
    EXPECT_TRUE(DateValueIsEmpty(*form));
    EXPECT_EQ(GridLines(*form).size(), 2);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"HIZUKE"_s).AsString(), u"20220400"_s);
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"MMDD"_s);
    EXPECT_TRUE(form->DBGrid1->hasFocus() || form->DBGrid1->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(Query(u"select count(*) from MEISAI"_s), u"0"_s);
}

// A line typed in a special account and left there is checked too: saving from the
// general account shows it in its own division.
TEST_F(JournalTest, SavingChecksTheChangedLinesOfTheOtherDivisions) {
    auto form = Open();
    Load(*form);
    ChooseDivision(*form, 2);
    form->DBGrid1->setFocus();
    Settle();
    TypeLine({u"0410"_s, QString(), u"祭礼寄付"_s, u"1001"_s, u"500"_s, QString()});
    TypeLine({u"0400"_s, QString(), u"祭礼寄付"_s, u"1001"_s, u"700"_s, QString()});
    ChooseDivision(*form, 0);
    EXPECT_TRUE(GridLines(*form).isEmpty());

    Click(form->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"日付が正しくありません。"_s));
    EXPECT_TRUE(InEditState(*form));
    EXPECT_EQ(form->KaikeiKubunCombo->KeyValue().AsInteger(), 2);
    EXPECT_EQ(GridLines(*form).size(), 2);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"HIZUKE"_s).AsString(), u"20220400"_s);
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"MMDD"_s);
    EXPECT_EQ(Query(u"select count(*) from MEISAI"_s), u"0"_s);
}

TEST_F(JournalTest, TheDateFilterOfOneDayShowsEveryLineAndOfAMonthShowsThatMonth) {
    for (const QString& line :
         {u"(1, '20210415')"_s, u"(2, '20210501')"_s, u"(3, '20210520')"_s, u"(4, '20210610')"_s})
        Execute(u"insert into MEISAI (SEQ_NO, HIZUKE, KAIKEI_KUBUN, NENDO, KAMOKU, SYUNYU) values "_s +
                line.chopped(1) + u", 0, 2021, 1001, 100)"_s);
    auto form = Open();
    Load(*form);
    const auto showDates = [&](const QString& from, const QString& to) {
        form->DateFromEdit->setFocus();
        form->DateFromEdit->selectAll();
        Type(from);
        Press(Qt::Key_Tab);
        form->DateToEdit->selectAll();
        Type(to);
        Press(Qt::Key_Tab);
        QStringList dates;
        for (const QString& line : GridLines(*form))
            dates << line.section(u'|', 0, 0);
        return dates;
    };
    EXPECT_EQ(showDates(u"0501"_s, u"0501"_s), (QStringList{u"04/15"_s, u"05/01"_s, u"05/20"_s, u"06/10"_s}));
    EXPECT_EQ(showDates(u"0501"_s, u"0531"_s), (QStringList{u"05/01"_s, u"05/20"_s}));
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(JournalTest, AZeroAmountWithoutAnItemIsRefusedAtTheItem) {
    auto form = Open();
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"会費"_s, QString(), u"0"_s, QString()});
    EXPECT_EQ(WorkRows(*form).size(), 1);  // posting makes no check
    Click(form->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"金額を入力したときは科目(集計項目)を入力してください。"_s));
    EXPECT_EQ(form->DBGrid1->SelectedField()->FieldName(), u"KAMOKU_MEI"_s);
    EXPECT_TRUE(InEditState(*form));
}

TEST_F(JournalTest, ATransferIsWrittenTwiceAndEitherHalfRebuildsOrDeletesThePair) {
    auto form = Open();
    Load(*form);
    // A receipt in the general account from special account 3.
    TypeLine({u"0410"_s, QString(), u"繰入"_s, u"3003"_s, u"10000"_s, QString()});
    ASSERT_EQ(WorkRows(*form), (QStringList{u"1|0|20210410|3003|10000|-"_s, u"1|3|20210410|6000|-|10000"_s}));

    // The mirrored half, changed in division 3, rebuilds the general account's half.
    ChooseDivision(*form, 3);
    EXPECT_EQ(GridLines(*form), QStringList{u"04/10||繰入|支出 一般会計へ繰出||10,000"_s});
    EXPECT_EQ(form->ZandakaEdit->text(), u"-10,000"_s);
    form->DBGrid1->setFocus();
    const auto retype = [&](const QString& field, const QString& text) {
        Press(Qt::Key_Up);  // from the new line to the transfer
        form->DBGrid1->SetSelectedField(field);
        Settle();
        Type(text);
        Press(Qt::Key_Down);  // leaving the line posts it
    };
    retype(u"SISYUTSU"_s, u"12000"_s);
    EXPECT_EQ(WorkRows(*form), (QStringList{u"1|0|20210410|3003|12000|-"_s, u"1|3|20210410|6000|-|12000"_s}));

    // Changing the item to an ordinary one removes the other half.
    retype(u"KAMOKU_MEI"_s, u"2001"_s);
    EXPECT_EQ(WorkRows(*form), QStringList{u"1|3|20210410|2001|-|12000"_s});

    // Back to a transfer, then deleted in the general account: both halves go.
    retype(u"KAMOKU_MEI"_s, u"6000"_s);
    EXPECT_EQ(WorkRows(*form), (QStringList{u"1|0|20210410|3003|12000|-"_s, u"1|3|20210410|6000|-|12000"_s}));
    ChooseDivision(*form, 0);
    form->DBGrid1->setFocus();
    Press(Qt::Key_Up);
    ASSERT_TRUE(form->GyoSakujyoBtn->isEnabled());
    Click(form->GyoSakujyoBtn);
    EXPECT_TRUE(WorkRows(*form).isEmpty());
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
}

TEST_F(JournalTest, TheBalancesStartFromTheBudgetedCarryOverAndTheCarriedItems) {
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 100, 300000)"_s);
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 2, 100, 99000)"_s);
    Execute(u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2020, 0, 100, 77000)"_s);
    Execute(u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 0, 4101, 20000)"_s);
    // The same triple in both tables counts once.
    Execute(u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 0, 100, 300000)"_s);
    auto form = Open();
    Load(*form);
    EXPECT_EQ(form->KurikosiEdit->text(), u"280,000"_s);
    EXPECT_EQ(form->ZandakaEdit->text(), u"280,000"_s);
    TypeLine({u"0501"_s, QString(), u"会費"_s, u"1001"_s, u"50000"_s, QString()});
    TypeLine({u"0502"_s, QString(), u"備品"_s, u"2001"_s, QString(), u"70000"_s});
    EXPECT_EQ(form->ZandakaEdit->text(), u"260,000"_s);
    // A date filter does not change the balance.
    form->DateFromEdit->setFocus();
    Type(u"0502"_s);
    Press(Qt::Key_Tab);
    EXPECT_EQ(form->ZandakaEdit->text(), u"260,000"_s);

    // A division without a carry-over shows none, and its final balance as 0.
    ChooseDivision(*form, 3);
    EXPECT_EQ(form->KurikosiEdit->text(), QString());
    EXPECT_EQ(form->ZandakaEdit->text(), u"0"_s);
}

TEST_F(JournalTest, CancelLeavesTheSavedYearAndLoadingAgainShowsItOnly) {
    Execute(
        u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU) "
        u"values (1, 0, 2021, '20210405', '会費', 1001, 3000)"_s);
    auto form = Open();
    Load(*form);
    TypeLine({u"0406"_s, QString(), u"追加"_s, u"1001"_s, u"1"_s, QString()});
    Press(Qt::Key_Up);
    Press(Qt::Key_Up);  // the saved line
    form->DBGrid1->SetSelectedField(u"SYUNYU"_s);
    Settle();
    Type(u"9999"_s);
    Press(Qt::Key_Down);
    ASSERT_EQ(WorkRows(*form).size(), 2);
    Click(form->CancelBtn);
    EXPECT_TRUE(InBrowseState(*form));
    EXPECT_EQ(Rows(u"select SEQ_NO, HIZUKE, SYUNYU from MEISAI"_s), QStringList{u"1|20210405|3000"_s});

    Load(*form);
    EXPECT_EQ(GridLines(*form), QStringList{u"04/05||会費|収入 会費|3,000|"_s});
    EXPECT_EQ(WorkRows(*form), QStringList{u"1|0|20210405|1001|3000|-"_s});
}

TEST_F(JournalTest, TheGeneralAccountNeverOffersTheSpecialAccountsTransferItems) {
    auto form = Open();
    Load(*form);
    const auto offered = [&] {
        QStringList codes;
        for (form->KamokuClone.First(); !form->KamokuClone.Eof(); form->KamokuClone.Next())
            codes << form->KamokuClone.FieldByName(u"CD"_s).AsString();
        return codes;
    };
    EXPECT_EQ(offered(),
              (QStringList{u"0"_s, u"1001"_s, u"3003"_s, u"2001"_s, u"6002"_s, u"7000"_s, u"4101"_s}));
    // Typed by code, 3000 is refused as an item the list does not have.
    TypeLine({u"0401"_s, QString(), u"繰入"_s, u"3000"_s});
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"科目(集計項目)が登録されていません。"_s));
    EXPECT_TRUE(form->ClientDataSet1.FieldByName(u"KAMOKU"_s).IsNull());

    // Special account 2 is not offered the item that transfers with itself.
    Press(Qt::Key_Escape);
    ChooseDivision(*form, 2);
    EXPECT_EQ(offered(), (QStringList{u"0"_s, u"1001"_s, u"3000"_s, u"3003"_s, u"2001"_s, u"6000"_s,
                                      u"7000"_s, u"4101"_s}));
}

// One Esc too many must not throw the load away: the grid's Esc reverts the line
// being typed, the next one would press キャンセル and asks first.
TEST_F(JournalTest, EscWithUnsavedLinesAsksBeforeDiscardingThem) {
    Execute(
        u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, TEKIYO, KAMOKU, SYUNYU) "
        u"values (1, 0, 2021, '20210405', '会費', 1001, 3000)"_s);
    auto form = Open();
    Load(*form);
    TypeLine({u"0406"_s, QString(), u"追加一"_s, u"1001"_s, u"100"_s, QString()});
    TypeLine({u"0407"_s, QString(), u"追加二"_s, u"1001"_s, u"200"_s, QString()});
    const QStringList typed = GridLines(*form);
    ASSERT_EQ(typed.size(), 3);
    ASSERT_EQ(WorkRows(*form).size(), 3);
    Type(u"04"_s);  // a third line begun

    dialogs.QueueAnswer(ModalResult::No);
    Press(Qt::Key_Escape);  // reverts the line being typed
    EXPECT_TRUE(dialogs.Shown().empty());
    Press(Qt::Key_Escape);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, u"入力中の内容を破棄しますか?"_s);
    EXPECT_EQ(dialogs.Last().buttons, mbYes | mbNo);
    EXPECT_EQ(dialogs.Last().focused, mbNo);
    EXPECT_TRUE(InEditState(*form));
    EXPECT_EQ(GridLines(*form), typed);
    EXPECT_EQ(WorkRows(*form).size(), 3);

    dialogs.QueueAnswer(ModalResult::Yes);
    Press(Qt::Key_Escape);
    EXPECT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_TRUE(InBrowseState(*form));
    EXPECT_EQ(Rows(u"select SEQ_NO, HIZUKE, SYUNYU from MEISAI"_s), QStringList{u"1|20210405|3000"_s});
    Load(*form);
    EXPECT_EQ(GridLines(*form), QStringList{u"04/05||会費|収入 会費|3,000|"_s});
}

TEST_F(JournalTest, EscWithNothingChangedAndTheCancelButtonDoNotAsk) {
    auto form = Open();
    Load(*form);
    Press(Qt::Key_Escape);
    Press(Qt::Key_Escape);
    EXPECT_TRUE(InBrowseState(*form));

    Load(*form);
    TypeLine({u"0406"_s, QString(), u"追加"_s, u"1001"_s, u"100"_s, QString()});
    // A line deleted is a change as well.
    Press(Qt::Key_Up);
    Click(form->GyoSakujyoBtn);
    ASSERT_TRUE(dialogs.Shown().empty());
    ASSERT_TRUE(WorkRows(*form).isEmpty());
    dialogs.QueueAnswer(ModalResult::No);
    Press(Qt::Key_Escape);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(InEditState(*form));
    dialogs.Clear();
    Click(form->CancelBtn);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_TRUE(InBrowseState(*form));
}

// The picker offers what the division's own list offers, so a picked item always
// shows by name; saving refuses the others in every division.
TEST_F(JournalTest, ThePickerOffersOnlyTheDivisionsItemsAndSavingRefusesTheOthers) {
    auto form = Open();
    Load(*form);
    const auto pickerCodes = [&](int division) {
        ChooseDivision(*form, division);
        auto codes = std::make_shared<QStringList>();  // outlives a picker that never opened
        WhenModal<TKamokuSelectForm>([codes](TKamokuSelectForm& picker) {
            for (int i = 0; i < 4; ++i) {
                data::DataSet& view = i == 0   ? picker.SyunyuClone
                                      : i == 1 ? picker.SisyutsuClone
                                      : i == 2 ? picker.GaiSyunyuClone
                                               : picker.GaiSisyutsuClone;
                for (view.First(); !view.Eof(); view.Next())
                    *codes << view.FieldByName(u"CD"_s).AsString();
            }
            picker.reject();
        });
        form->DBGrid1->setFocus();
        form->DBGrid1->SetSelectedField(u"KAMOKU_MEI"_s);
        Settle();
        Press(Qt::Key_F4);
        BackTo(*form);
        codes->sort();
        return *codes;
    };
    const QStringList general = pickerCodes(0);
    EXPECT_FALSE(general.contains(u"3000"_s));
    EXPECT_FALSE(general.contains(u"6000"_s));
    EXPECT_TRUE(general.contains(u"6002"_s));
    const QStringList special = pickerCodes(2);
    EXPECT_TRUE(special.contains(u"3000"_s));
    EXPECT_FALSE(special.contains(u"6002"_s));
    Click(form->CancelBtn);

    // A line that holds 3000 in the general account anyway (as the picker used to
    // put it there) is refused on saving.
    Load(*form);
    TypeLine({u"0401"_s, QString(), u"繰入"_s, u"1001"_s, u"100"_s, QString()});
    Press(Qt::Key_Up);
    form->ClientDataSet1.Edit();
    form->ClientDataSet1.FieldByName(u"KAMOKU"_s).SetValue(3000);
    dialogs.Clear();
    Click(form->SaveBtn);
    ASSERT_FALSE(dialogs.Shown().empty());
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"この科目(集計項目)は入力できません。"_s))
        << dialogs.Last().text.toStdString();
    EXPECT_TRUE(InEditState(*form));
    EXPECT_TRUE(Rows(u"select SEQ_NO from MEISAI"_s).isEmpty());
}

// The item cell takes a code (half- or full-width), the name as listed, or the
// item's own name when only one offered item has it.
TEST_F(JournalTest, TheItemCellTakesACodeOrAName) {
    Execute(u"insert into KAMOKU (CD, MEISYO, BUNRUI, TOKUBETSU_CD) values (2002, '会費', 20, 0)"_s);
    auto form = Open();
    Load(*form);
    const struct {
        QString typed;
        int kamoku;  // 0: refused
    } cases[] = {
        {u"1001"_s, 1001},   {u"１００１"_s, 1001},   {u"収入 会費"_s, 1001}, {u"支出 会費"_s, 2002},
        {u"事業費"_s, 2001}, {u"預り金払出"_s, 4101}, {u"会費"_s, 0},  // a receipts and a payments item of
                                                                       // that name
        {u"施設会計"_s, 0},                                            // no such item
        {u"3000"_s, 0},                                                // not offered in the general account
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        dialogs.Clear();
        TypeLine({u"0401"_s, QString(), u"摘要"_s, c.typed});
        const data::Field& kamoku = form->ClientDataSet1.FieldByName(u"KAMOKU"_s);
        if (c.kamoku == 0) {
            ASSERT_EQ(dialogs.Shown().size(), 1u);
            EXPECT_TRUE(dialogs.Last().text.startsWith(u"科目(集計項目)が登録されていません。"_s));
            EXPECT_TRUE(kamoku.IsNull());
        } else {
            EXPECT_TRUE(dialogs.Shown().empty());
            EXPECT_EQ(kamoku.AsInteger(), c.kamoku);
        }
        // 行ｷｬﾝｾﾙ drops the line, refused text and all (no second message), and the
        // grid keeps the focus: typing starts the next line.
        Click(form->GyoCancelBtn);
        EXPECT_EQ(dialogs.Shown().size(), c.kamoku == 0 ? 1u : 0u);
        ASSERT_TRUE(WorkRows(*form).isEmpty());
        ASSERT_EQ(form->ClientDataSet1.RecordCount(), 0);
        ASSERT_EQ(QApplication::focusWidget(), form->DBGrid1);
    }
}

TEST_F(JournalTest, AYearWithoutSettingsIsNotLoaded) {
    auto form = Open();
    Load(*form, u"2030"_s);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Message);
    EXPECT_EQ(dialogs.Last().text, u"2030年度の基礎データが設定されていません。"_s);
    EXPECT_TRUE(InBrowseState(*form));
}

TEST_F(JournalTest, TheCellButtonsFillTheLineFromThePickers) {
    Execute(u"insert into TEKIYO (MEISYO, KENSAKU_MOJI) values ('町内会費', 'ちょうないかいひ')"_s);
    auto form = Open();
    Load(*form);
    Type(u"0420"_s);
    Press(Qt::Key_Tab);
    Press(Qt::Key_Tab);  // to 摘要
    WhenModal<TTekiyoKensakuForm>([](TTekiyoKensakuForm& search) {
        const QRect cell = search.DBGrid1->visualRect(search.DBGrid1->model()->index(0, 0));
        QTest::mouseClick(search.DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    });
    Press(Qt::Key_F4);
    BackTo(*form);
    Press(Qt::Key_Tab);  // to 科目(集計項目)
    WhenModal<TKamokuSelectForm>([](TKamokuSelectForm& picker) {
        TChoiceList* payments = picker.List(1);
        const QRect cell = payments->visualRect(payments->model()->index(0, 1));
        QTest::mouseClick(payments->viewport(), Qt::LeftButton, {}, cell.center());
    });
    Press(Qt::Key_F4);
    BackTo(*form);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"TEKIYO"_s).AsString(), u"町内会費"_s);
    EXPECT_EQ(form->ClientDataSet1.FieldByName(u"KAMOKU"_s).AsInteger(), 2001);
    TypeLine({QString(), QString(), u"800"_s});
    EXPECT_EQ(WorkRows(*form), QStringList{u"1|0|20210420|2001|-|800"_s});

    // The line's description goes to the add-to-list dialog.
    Press(Qt::Key_Up);
    QString offeredText;
    WhenModal<TTekiyoTourokuForm>([&offeredText](TTekiyoTourokuForm& dialog) {
        offeredText = dialog.Edit1->text();
        dialog.reject();
    });
    Click(form->TekiyoTourokuBtn);
    BackTo(*form);
    EXPECT_EQ(offeredText, u"町内会費"_s);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
}

// Two windows that loaded the year 2021 with one saved line.
class TwoWindowsTest : public JournalTest {
  protected:
    void SetUp() override {
        Execute(
            u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) "
            u"values (1, 0, 2021, '20210405', 1001, 3000)"_s);
        first = Open();
        Load(*first);
        second = Open();
        Load(*second);
    }
    std::unique_ptr<TMeisaiNyuryokuForm> first;
    std::unique_ptr<TMeisaiNyuryokuForm> second;
};

TEST_F(TwoWindowsTest, TheyEditTheSameYearUnderTwoKeys) {
    ASSERT_NE(first->Jikoku, second->Jikoku);

    QApplication::setActiveWindow(first.get());
    first->DBGrid1->setFocus();
    Settle();
    TypeLine({u"0501"_s, QString(), u"一つ目"_s, u"1001"_s, u"100"_s, QString()});
    QApplication::setActiveWindow(second.get());
    second->DBGrid1->setFocus();
    Settle();
    TypeLine({u"0601"_s, QString(), u"二つ目"_s, u"2001"_s, QString(), u"200"_s});
    EXPECT_EQ(WorkRows(*first), (QStringList{u"1|0|20210405|1001|3000|-"_s, u"2|0|20210501|1001|100|-"_s}));
    // Both new lines were started before either was posted: each has a number of
    // its own, under its own key.
    EXPECT_EQ(WorkRows(*second), (QStringList{u"1|0|20210405|1001|3000|-"_s, u"3|0|20210601|2001|-|200"_s}));

    Click(first->CancelBtn);
    first->close();
    EXPECT_EQ(WorkRows(*second).size(), 2);
    Click(second->SaveBtn);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Rows(u"select SEQ_NO, HIZUKE from MEISAI order by SEQ_NO"_s),
              (QStringList{u"1|20210405"_s, u"3|20210601"_s}));
}

// Saving replaces the whole year: lines saved by another window since this one
// loaded would be lost, so the user is asked first.
TEST_F(TwoWindowsTest, SavingOverLinesSavedSinceTheLoadAsksFirst) {
    TypeLine({u"0601"_s, QString(), u"二つ目"_s, u"2001"_s, QString(), u"200"_s});
    Click(second->SaveBtn);
    EXPECT_TRUE(dialogs.Shown().empty()) << "nothing was saved since the second window loaded";
    const QStringList savedBySecond{u"1|20210405"_s, u"3|20210601"_s};
    const QString saved = u"select SEQ_NO, HIZUKE from MEISAI order by SEQ_NO"_s;
    ASSERT_EQ(Rows(saved), savedBySecond);

    QApplication::setActiveWindow(first.get());
    first->DBGrid1->setFocus();
    Settle();
    TypeLine({u"0501"_s, QString(), u"一つ目"_s, u"1001"_s, u"100"_s, QString()});
    dialogs.QueueAnswer(ModalResult::No);
    Click(first->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Question);
    EXPECT_TRUE(dialogs.Last().text.startsWith(u"この年度の明細は、読み込んだ後に"_s));
    EXPECT_EQ(dialogs.Last().focused, std::optional<MsgDlgBtn>(mbNo));
    EXPECT_EQ(Rows(saved), savedBySecond) << "いいえ writes nothing";
    EXPECT_TRUE(InEditState(*first));

    dialogs.QueueAnswer(ModalResult::Yes);
    Click(first->SaveBtn);
    EXPECT_EQ(dialogs.Shown().size(), 2u);
    EXPECT_EQ(Rows(saved), (QStringList{u"1|20210405"_s, u"2|20210501"_s}));
    EXPECT_TRUE(InBrowseState(*first));
}

// A save of the year running elsewhere (it holds the year's row) is waited for,
// not raced: this save is refused with a word and can be repeated.
TEST_F(TwoWindowsTest, SavingWhileAnotherSaveOfTheYearRunsIsRefusedUntilItEnds) {
    TypeLine({u"0601"_s, QString(), u"二つ目"_s, u"2001"_s, QString(), u"200"_s});
    db::Connection elsewhere(database.Provider());
    elsewhere.StartTransaction();
    elsewhere.Execute(u"update NENDO set NENDO = NENDO where NENDO = 2021"_s);
    Click(second->SaveBtn);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(dialogs.Last().text.contains(u"他のコンピュータまたは他の画面がこの年度の明細を保存しています。"_s))
        << dialogs.Last().text.toStdString();
    EXPECT_TRUE(InEditState(*second));
    EXPECT_EQ(Rows(u"select SEQ_NO from MEISAI"_s), QStringList{u"1"_s});

    elsewhere.Rollback();
    Click(second->SaveBtn);
    EXPECT_EQ(dialogs.Shown().size(), 1u) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Rows(u"select SEQ_NO from MEISAI order by SEQ_NO"_s), (QStringList{u"1"_s, u"3"_s}));
}
