// The settlement and interim settlement windows on the scratch organisation of
// KessanFixture: amounts summed from the journal, what 保存 keeps and what every
// load recomputes, the default texts, line deletion, and the closing dates.

#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTimer>

#include "login/MenuUnit.h"
#include "platform/Folders.h"
#include "reports/ExlKessansyoUnit.h"
#include "sheet/Application.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/KessanNyuryokuUnit.h"
#include "statements/StatementStyleBox.h"
#include "statements/TotalLine.h"
#include "tests/reports/ReportFixture.h"
#include "tests/statements/KessanFixture.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Total(const TTotalLine* line) {
    return QStringList{line->Label(), line->Text(0), line->Text(1)}.join(u'|');
}

QString Cell(data::DataSet& view, int kamoku, const QString& field) {
    if (!view.Locate(u"KAMOKU"_s, {kamoku}))
        return u"(none)"_s;
    return view.FieldByName(field).IsNull() ? u"-"_s : view.FieldByName(field).AsString();
}

}  // namespace

TEST_F(KessanTest, AmountsAreTheJournalSummedPerDivisionWithTheCarryOverAsItsBalance) {
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    const auto balance = ExpectSettlementMatchesJournal(module.SQLConnection1, form.Jikoku, 2021);
    // 70,000 + 300,000 (320,000 less a 20,000 refund) - 150,000 - 30,000 - 50,000 sent to
    // the special account; the line outside the statements (9,000) does not count.
    EXPECT_EQ(balance.at(0), 140000);
    EXPECT_EQ(balance.at(2), 10000 + 50000 - 45000);

    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"KESSAN"_s), u"300000"_s);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"YOSAN"_s), u"300000"_s);
    EXPECT_EQ(Cell(form.SisyutsuClone, 2002, u"YOSAN"_s), u"-"_s);  // a journal item without budget
    EXPECT_EQ(Cell(form.SisyutsuClone, 8000, u"KESSAN"_s), u"(none)"_s);
    EXPECT_EQ(Cell(form.JikiKurikosiClone, 8000, u"KESSAN"_s), u"140000"_s);
    EXPECT_EQ(Cell(form.JikiKurikosiClone, 8000, u"YOSAN"_s), u"120000"_s);
    EXPECT_EQ(Total(form.SyunyuGokeiLine), u"収入合計|370,000|370,000"_s);
    EXPECT_EQ(Total(form.SisyutsuSyokeiLine), u"支出小計|250,000|230,000"_s);
    EXPECT_EQ(Total(form.SisyutsuGokeiLine), u"支出合計|370,000|370,000"_s);

    ChooseDivision(form, 2);
    EXPECT_EQ(Cell(form.SyunyuClone, 3000, u"KESSAN"_s), u"50000"_s);
    EXPECT_EQ(Cell(form.SisyutsuClone, 2001, u"YOSAN"_s), u"-"_s);
    EXPECT_EQ(Total(form.SyunyuGokeiLine), u"収入合計|60,000|60,000"_s);
    EXPECT_EQ(Total(form.SisyutsuGokeiLine), u"支出合計||60,000"_s);
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(KessanTest, ASavedSettlementKeepsDescriptionsAndOrdersAndEveryLoadSumsAfresh) {
    // A saved description of an item the special account no longer uses.
    Execute(
        u"insert into KESSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO) values (2021, 2, 1001, 5, '旧')"_s);
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    // The load's key is claimed for it.
    EXPECT_EQ(Query(u"select WORK_TABLE || '/' || JIKOKU from W_KEY"_s), u"W_KESSAN/"_s + form.Jikoku);
    form.SyunyuClone.Locate(u"KAMOKU"_s, {1001});
    form.SyunyuClone.Edit();
    form.SyunyuClone.FieldByName(u"TEKIYO"_s).SetText(u"  年会費  "_s);
    form.SyunyuClone.FieldByName(u"JUNJYO"_s).SetText(u"3"_s);
    form.SyunyuClone.Post();
    // A line with an amount stays.
    form.PageControl1->setCurrentIndex(0);
    form.SyunyuClone.Locate(u"KAMOKU"_s, {1001});
    Click(form.GyoSakujyoBtn);
    EXPECT_EQ(dialogs.Last().text, u"金額のある行は削除できません。"_s);  // as the error box shows it
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"TEKIYO"_s), u"年会費"_s);
    // The saved line without amounts may go.
    ChooseDivision(form, 2);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"TEKIYO"_s), u"旧"_s);
    form.SyunyuClone.Locate(u"KAMOKU"_s, {1001});
    Click(form.GyoSakujyoBtn);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"TEKIYO"_s), u"(none)"_s);
    Click(form.SaveBtn);
    ASSERT_FALSE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();

    // Only the user's part, for every line of every division.
    // Every line of every division keeps its place (six in the general account, four
    // in the special one; the deleted line is gone).
    EXPECT_EQ(Query(u"select count(*) from KESSAN where NENDO = 2021"_s), u"10"_s);
    EXPECT_EQ(Rows(u"select KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO from KESSAN where NENDO = 2021 "
                   u"and (TEKIYO is not null or JUNJYO <> 99) order by 1, 2"_s),
              QStringList{u"0|1001|3|年会費"_s});
    EXPECT_EQ(
        Query(u"select count(*) from KESSAN where NENDO = 2021 and KAIKEI_KUBUN = 2 and KAMOKU = 1001"_s),
        u"0"_s);
    // The default texts went with the save.
    EXPECT_EQ(Query(u"select KESSAN_COMMENT from NENDO where NENDO = 2021"_s),
              u"上記の通り２０２１年度の収支決算を報告します。"_s);
    EXPECT_EQ(Query(u"select KESSAN_SYOMEI || '/' || KESSAN_SYOMEI_KUBUN3 || '/' || KANSA_SYOMEI_KUBUN2 "
                    u"from NENDO where NENDO = 2021"_s),
              u"東町会/0/1"_s);

    // A journal line changes: the next load shows it, beside the saved description.
    Execute(u"update MEISAI set SYUNYU = 400000 where SEQ_NO = 1"_s);
    Load(form);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"KESSAN"_s), u"380000"_s);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"TEKIYO"_s), u"年会費"_s);
    EXPECT_EQ(Cell(form.JikiKurikosiClone, 8000, u"KESSAN"_s), u"220000"_s);

    // 削除 removes the lines of every division; the texts in NENDO stay.
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(form.DeleteBtn);
    EXPECT_EQ(Query(u"select count(*) from KESSAN"_s), u"0"_s);
    EXPECT_FALSE(Query(u"select KESSAN_COMMENT from NENDO where NENDO = 2021"_s).isEmpty());
    // Closing removes the work rows and the claim.
    form.close();
    Settle();
    EXPECT_EQ(Query(u"select count(*) from W_KESSAN"_s), u"0"_s);
    EXPECT_EQ(Query(u"select count(*) from W_KEY"_s), u"0"_s);
}

// The budget column is the amended budget; a year with no budget at all is still
// settled, its budget column empty, and the window says so once.
TEST_F(KessanTest, TheBudgetColumnIsTheAmendedBudgetAndMayBeEmpty) {
    Execute(u"insert into YOSAN_HOSEI (NENDO, HOSEI_NO, SYONIN_BI) values (2021, 1, '20210901')"_s);
    Execute(
        u"insert into YOSAN_HOSEI_GAKU (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU, HOSEI) values "
        u"(2021, 1, 0, 1001, 20000)"_s);
    Execute(
        u"insert into YOSAN_HOSEI_GAKU (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU, HOSEI) values "
        u"(2021, 1, 0, 2002, 15000)"_s);
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"YOSAN"_s), u"320000"_s);
    EXPECT_EQ(Cell(form.SisyutsuClone, 2002, u"YOSAN"_s), u"15000"_s) << "amended without an original line";
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"KESSAN"_s), u"300000"_s);
    EXPECT_EQ(Total(form.SyunyuGokeiLine), u"収入合計|390,000|370,000"_s);

    Click(form.CancelBtn);
    Execute(u"delete from YOSAN"_s);
    Execute(u"delete from YOSAN_HOSEI_GAKU"_s);
    const std::size_t shownBefore = dialogs.Shown().size();
    Load(form);
    ASSERT_TRUE(form.SaveBtn->isEnabled());
    ASSERT_EQ(dialogs.Shown().size(), shownBefore + 1);
    EXPECT_EQ(dialogs.Last().text,
              u"2021年度の予算データが登録されていません。予算額の欄は空欄で出力します。"_s);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"YOSAN"_s), u"-"_s);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"KESSAN"_s), u"300000"_s);
    // Switching the division does not say it again.
    ChooseDivision(form, 2);
    EXPECT_EQ(dialogs.Shown().size(), shownBefore + 1);
    EXPECT_EQ(Cell(form.SyunyuClone, 3000, u"KESSAN"_s), u"50000"_s);
}

TEST_F(KessanTest, InterimSettlementsAreKeptPerClosingDate) {
    TCyukanKessanNyuryokuForm form;
    ShowActive(form);
    const auto loadAt = [&](const QString& monthDay) {
        form.SimebiEdit->setFocus();
        form.SimebiEdit->selectAll();
        form.SimebiEdit->setText(monthDay);
        Load(form);
    };
    // Refused closing dates leave the window idle with the focus on the field.
    const std::pair<QString, QString> refused[] = {
        {u""_s, u"締日を入力してください。"_s},
        {u"0230"_s, u"締日が正しくありません。"_s},
    };
    for (const auto& [typed, message] : refused) {
        SCOPED_TRACE(typed.toStdString());
        loadAt(typed);
        EXPECT_FALSE(form.SaveBtn->isEnabled());
        EXPECT_EQ(dialogs.Last().text, message);
        EXPECT_EQ(QApplication::focusWidget(), form.SimebiEdit);
    }
    Execute(u"update NENDO set KIMATSUBI = '20220215' where NENDO = 2021"_s);
    loadAt(u"0220"_s);
    EXPECT_EQ(dialogs.Last().text, u"期末日以後の締日は入力できません。"_s);
    Execute(u"update NENDO set KIMATSUBI = '20220331' where NENDO = 2021"_s);

    // 30 September: the journal up to that day.
    loadAt(u"0930"_s);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_FALSE(form.SimebiEdit->isEnabled());
    EXPECT_EQ(form.LoadedSimebi(), u"20210930"_s);
    ExpectSettlementMatchesJournal(module.SQLConnection1, form.Jikoku, 2021, u"20210930"_s);
    EXPECT_EQ(Cell(form.JikiKurikosiClone, 8000, u"KESSAN"_s), u"320000"_s);
    EXPECT_EQ(form.JikiKurikosiGrid->model()->index(0, 0).data().toString(), u"次月繰越金"_s);
    EXPECT_EQ(form.NendoClientDS.FieldByName(u"KESSAN_COMMENT"_s).AsString(),
              u"上記の通り２０２１年９月３０日現在の中間収支決算を報告します。"_s);
    EXPECT_EQ(form.NendoClientDS.FieldByName(u"KESSAN_HIZUKE"_s).AsString(), u" ２０２１ 年 ９ 月 ３０ 日"_s);
    EXPECT_EQ(form.CyukanSimebi(), u"20210930"_s);
    EXPECT_EQ(form.NendoClientDS.FieldByName(u"DAIHYOSYA"_s).AsString(), u"山田太郎"_s);  // from NENDO
    form.SyunyuClone.Locate(u"KAMOKU"_s, {1001});
    form.SyunyuClone.Edit();
    form.SyunyuClone.FieldByName(u"TEKIYO"_s).SetText(u"上期"_s);
    form.SyunyuClone.Post();
    Click(form.SaveBtn);
    ASSERT_FALSE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();

    // 31 December beside it.
    loadAt(u"1231"_s);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    ExpectSettlementMatchesJournal(module.SQLConnection1, form.Jikoku, 2021, u"20211231"_s);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"TEKIYO"_s), u"-"_s);
    Click(form.SaveBtn);
    EXPECT_EQ(
        Rows(u"select SIMEBI, KESSAN_HIZUKE from CYUKAN_KESSAN_NENDO order by 1"_s),
        (QStringList{u"20210930| ２０２１ 年 ９ 月 ３０ 日"_s, u"20211231| ２０２１ 年 １２ 月 ３１ 日"_s}));
    EXPECT_EQ(Rows(u"select SIMEBI, TEKIYO from CYUKAN_KESSAN where TEKIYO is not null"_s),
              QStringList{u"20210930|上期"_s});

    // The first again keeps its description; deleting it leaves the other.
    loadAt(u"0930"_s);
    EXPECT_EQ(Cell(form.SyunyuClone, 1001, u"TEKIYO"_s), u"上期"_s);
    dialogs.QueueAnswer(ModalResult::Yes);
    Click(form.DeleteBtn);
    EXPECT_EQ(Rows(u"select distinct SIMEBI from CYUKAN_KESSAN"_s), QStringList{u"20211231"_s});
    EXPECT_EQ(Rows(u"select SIMEBI from CYUKAN_KESSAN_NENDO"_s), QStringList{u"20211231"_s});
    // The year's own texts are never touched here.
    EXPECT_EQ(Query(u"select coalesce(KESSAN_COMMENT, '-') from NENDO where NENDO = 2021"_s), u"-"_s);
}

// 決算書日付 is the document's date, whatever the treasurer makes of it: the
// statement is interim and ends at the closing date of the load.
TEST_F(KessanTest, AnInterimStatementEndsAtTheClosingDateWhateverItsDateText) {
    platform::OverrideProgramFolder(qEnvironmentVariable("TSUBAKI_APP_DIR"));
    const auto restore = qScopeGuard([] { platform::OverrideProgramFolder(QString()); });
    QTemporaryDir out;
    TCyukanKessanNyuryokuForm form;
    ShowActive(form);
    form.SimebiEdit->setFocus();
    form.SimebiEdit->setText(u"0930"_s);
    Load(form);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    QString book;
    form.OpenKessansyoSelect = [&](TKessanNyuryokuForm& f) {
        TExlKessansyoModule report;  // 決算書１
        report.SetNendo(f.LoadedNendo());
        report.SetJikoku(f.Jikoku);
        report.SetNendoDS(&f.NendoClientDS);
        report.SetCyukanSimebi(f.CyukanSimebi());
        report.SetOutputFile(book);
        report.Execute();
    };
    const QString dates[] = {u""_s, u"令和９年１月１日"_s, u"２０２１年１０月５日"_s};
    for (const QString& date : dates) {
        SCOPED_TRACE(date.toStdString());
        book = out.filePath(u"%1.xlsx"_s.arg(&date - dates));
        form.PageControl1->setCurrentIndex(2);
        form.HizukeEdit->setFocus();
        Settle();
        form.HizukeEdit->selectAll();
        if (date.isEmpty())
            Press(Qt::Key_Delete);
        else
            Type(date);
        Click(form.KessansyoBtn);
        EXPECT_EQ(form.NendoClientDS.FieldByName(u"KESSAN_HIZUKE"_s).AsString(), date);
        sheet::Application reader;
        sheet::Worksheet& sheet = reader.Workbooks().Open(book).Sheets().Item(u"Sheet1"_s);
        EXPECT_EQ(CellText(sheet, u"E1"_s), u"中間"_s);
        EXPECT_EQ(CellText(sheet, u"C1"_s), u"2021年4月1日～2021年9月30日"_s);
        // The text itself is printed as the document's date, below the blocks.
        bool printed = date.isEmpty();
        for (int row = 20; row < 80 && !printed; ++row)
            printed = CellText(sheet, u"B%1"_s.arg(row)) == date;
        EXPECT_TRUE(printed);
    }
}

TEST_F(KessanTest, TheSignatureTabEditsTheTextsInOrderCutToTheirColumns) {
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    form.PageControl1->setCurrentIndex(2);
    Settle();
    form.CommentEdit->setFocus();
    Settle();
    form.CommentEdit->selectAll();
    Type(QString(70, u'x'));
    QWidget* expected[] = {form.HizukeEdit,
                           form.SyomeiEdit,
                           form.YakusyokuEdit,
                           form.DaihyosyaEdit,
                           form.BikouEdit,
                           form.SyomeiKubun1Check,
                           form.KaikeiYakusyokuEdit,
                           form.Kaikei1Edit,
                           form.SyomeiKubun2Check,
                           form.Kaikei2Edit,
                           form.SyomeiKubun3Check,
                           form.KansaCommentEdit,
                           form.KansaHizukeEdit,
                           form.KansaYakusyokuEdit,
                           form.Kansa1Edit,
                           form.KansaKubun1Check,
                           form.Kansa2Edit,
                           form.KansaKubun2Check,
                           form.StyleBox->TitleEdit,
                           form.StyleBox->SyunyuCombo,
                           form.StyleBox->SisyutsuCombo};
    for (QWidget* next : expected) {
        Press(Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next) << next->toolTip().toStdString();
    }
    Click(form.SaveBtn);
    ASSERT_FALSE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Query(u"select KESSAN_COMMENT from NENDO where NENDO = 2021"_s), QString(60, u'x'));
    EXPECT_EQ(
        Query(u"select KESSAN_HIZUKE || '/' || KANSA_HIZUKE || '/' || KANSA_COMMENT from NENDO"_s),
        u" ２０２２ 年 ３ 月 ３１ 日/ ２０２２ 年    月    日/会計監査の結果、上記の通り相違ないことを報告します。"_s);
}

// The organisation's title and the sign of 増減 are typed and chosen on the
// signature tab and saved with the texts; a sign never chosen shows the usual way.
TEST_F(KessanTest, TheTitleAndTheSignsOfZogenAreSavedWithTheTexts) {
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    form.PageControl1->setCurrentIndex(2);
    Settle();
    EXPECT_EQ(form.StyleBox->SyunyuCombo->currentText(), u"決算額－予算額"_s);
    EXPECT_EQ(form.StyleBox->SisyutsuCombo->currentText(), u"決算額－予算額"_s);
    form.StyleBox->TitleEdit->setFocus();
    Settle();
    Type(u"  ＰＴＡ会計　決算報告書  "_s);
    Press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), form.StyleBox->SyunyuCombo);
    Press(Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), form.StyleBox->SisyutsuCombo);
    Press(Qt::Key_F4);
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    EXPECT_EQ(form.StyleBox->SisyutsuCombo->currentText(), u"予算額－決算額"_s);
    Click(form.SaveBtn);
    ASSERT_FALSE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Query(u"select KESSAN_TITLE || '/' || coalesce(SYUNYU_ZOGEN_KUBUN, -1) || '/' || "
                    u"SISYUTSU_ZOGEN_KUBUN from NENDO where NENDO = 2021"_s),
              u"ＰＴＡ会計　決算報告書/-1/1"_s);
}

// ↓ on the item cell goes to the next line; nothing on the line changes.
TEST_F(KessanTest, DownOnTheItemCellMovesToTheNextLineAndLeavesTheItem) {
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    ASSERT_GE(form.SyunyuGrid->model()->rowCount(), 2);
    form.SyunyuGrid->setFocus();
    Settle();
    form.SyunyuGrid->SetSelectedField(u"Kamokumei"_s);
    Settle();
    const QStringList shown = GridRows(form.SyunyuGrid);
    Press(Qt::Key_Down);
    EXPECT_EQ(form.SyunyuGrid->currentIndex().row(), 1);
    EXPECT_EQ(GridRows(form.SyunyuGrid), shown);
    EXPECT_FALSE(form.SyunyuClone.IsEditing());
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(KessanTest, KessansyoPostsThePendingEditsBeforeTheStatementChoiceOpens) {
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    int opened = 0;
    QString simebi = u"unset"_s;
    form.OpenKessansyoSelect = [&](TKessanNyuryokuForm& f) {
        ++opened;
        simebi = f.CyukanSimebi();
        // The workbook reads the work rows: the typed description is there already.
        EXPECT_EQ(Query(u"select TEKIYO from W_KESSAN where KAIKEI_KUBUN = 0 and KAMOKU = 1001"_s),
                  u"会費収入"_s);
    };
    form.SyunyuClone.Locate(u"KAMOKU"_s, {1001});
    form.SyunyuClone.Edit();
    form.SyunyuClone.FieldByName(u"TEKIYO"_s).SetText(u"会費収入"_s);
    Click(form.KessansyoBtn);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(simebi, QString());
    EXPECT_EQ(form.SyunyuClone.State(), data::DataSetState::Browse);
}

TEST_F(KessanTest, TheMenuButtonsOpenBothWindowsOnTheMenusYear) {
    const struct {
        int tag;
        QString title, hint;
    } cases[] = {
        {2, u"決算書データ入力"_s, u"決算書入力ウインドウを開きます。"_s},
        {4, u"中間決算書データ入力"_s, u"中間決算書入力ウインドウを開きます。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        TMenuForm menu;
        ShowActive(menu);
        menu.Edit1->setText(u"2020"_s);
        QString title;
        QString year;
        auto* timer = new QTimer(&menu);
        timer->setInterval(20);
        QObject::connect(timer, &QTimer::timeout, [&] {
            if (auto* window = qobject_cast<TKessanNyuryokuForm*>(QApplication::activeModalWidget())) {
                timer->stop();
                title = window->windowTitle();
                year = window->Edit1->text();
                window->CloseBtn->click();
            }
        });
        timer->start();
        QTest::mouseClick(menu.ButtonByTag(c.tag), Qt::LeftButton);
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(year, u"2020"_s);
        EXPECT_EQ(menu.ButtonByTag(c.tag)->toolTip(), c.hint);
    }
}
