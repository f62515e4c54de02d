// 残高内訳 on paper, computed by a real spreadsheet program: the 残高照合表 (the book
// balance, the places, their total and the difference per division) and the block
// under each carry-over of a settlement statement, made from the places the
// settlement window holds (unsaved) and from the places saved for an interim
// closing, on the fixture's year with a refund, a transfer, a carry-over of an item
// outside the statements and a deposit received outside them. Runs only where
// soffice is installed.

#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QTabBar>
#include <QTemporaryDir>

#include "platform/Folders.h"
#include "reports/ExlKessansyoUnit.h"
#include "reports/ExlZandakaSyogoUnit.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/KessanNyuryokuUnit.h"
#include "tests/statements/KessanFixture.h"
#include "tests/support/LibreOffice.h"

using namespace Qt::Literals::StringLiterals;

namespace {

using Csv = std::vector<QStringList>;

// "154,000" and "△1,000" as numbers.
qint64 Number(QString text) {
    text.remove(u',');
    if (text.startsWith(u'△'))
        text = u'-' + text.mid(1);
    return text.toLongLong();
}

QString Cell(const Csv& csv, std::size_t row, char col) {
    return row < csv.size() ? csv[row].value(col - 'A') : QString();
}

// The rows whose column A reads `label`, top to bottom.
std::vector<std::size_t> RowsLabelled(const Csv& csv, const QString& label) {
    std::vector<std::size_t> rows;
    for (std::size_t r = 0; r < csv.size(); ++r)
        if (Cell(csv, r, 'A') == label)
            rows.push_back(r);
    return rows;
}

// The figures of each division's block of a 残高照合表, top to bottom.
struct Check {
    qint64 book, total, difference;
    QStringList places;  // name|amount
};
std::vector<Check> ChecksOf(const Csv& csv) {
    std::vector<Check> checks;
    const auto book = RowsLabelled(csv, u"帳簿残高（収支明細表の最終残高）"_s);
    const auto heading = RowsLabelled(csv, u"保管場所（現金・預金口座・定期預金など）"_s);
    const auto total = RowsLabelled(csv, u"内訳合計"_s);
    const auto difference = RowsLabelled(csv, u"差額（帳簿残高－内訳合計）"_s);
    EXPECT_TRUE(book.size() == total.size() && total.size() == difference.size() &&
                heading.size() == book.size());
    for (std::size_t i = 0;
         i < book.size() && i < total.size() && i < difference.size() && i < heading.size(); ++i) {
        Check c{Number(Cell(csv, book[i], 'C')),
                Number(Cell(csv, total[i], 'C')),
                Number(Cell(csv, difference[i], 'C')),
                {}};
        for (std::size_t r = heading[i] + 1; r < total[i]; ++r)
            if (!Cell(csv, r, 'A').isEmpty() || !Cell(csv, r, 'C').isEmpty())
                c.places << Cell(csv, r, 'A') + u'|' + QString::number(Number(Cell(csv, r, 'C')));
        checks.push_back(c);
    }
    return checks;
}

class ZandakaReportTest : public KessanTest {
  protected:
    ZandakaReportTest() {
        Execute(
            u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 0, 4001, 5000)"_s);
    }
    void SetUp() override {
        soffice_ = FindSoffice();
        if (soffice_.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        platform::OverrideProgramFolder(qEnvironmentVariable("TSUBAKI_APP_DIR"));
    }
    void TearDown() override { platform::OverrideProgramFolder(QString()); }

    // Appends a place to the division shown in the settlement window's tab.
    static void AddPlace(TKessanNyuryokuForm& form, const QString& name, const QString& amount) {
        if (form.UchiwakeClone.State() == data::DataSetState::Insert)
            form.UchiwakeClone.Cancel();  // the blank row the grid offered
        form.UchiwakeClone.Append();
        form.UchiwakeClone.FieldByName(u"BASYO"_s).SetText(name);
        form.UchiwakeClone.FieldByName(u"KINGAKU"_s).SetText(amount);
        form.UchiwakeClone.Post();
    }

    QString soffice_;
    QTemporaryDir out_;
};

TEST_F(ZandakaReportTest, TheCheckAndTheBlockShowTheBooksAgainstThePlaces) {
    // Saved places of an interim closing; the general account's agree with its books.
    ExecuteAll(module.SQLConnection1,
               {u"insert into ZANDAKA_UCHIWAKE (NENDO, SIMEBI, KAIKEI_KUBUN, JUNJYO, BASYO, KINGAKU) "
                u"values (2021, '20210930', 0, 1, '現金', 34000)"_s,
                u"insert into ZANDAKA_UCHIWAKE (NENDO, SIMEBI, KAIKEI_KUBUN, JUNJYO, BASYO, KINGAKU) "
                u"values (2021, '20210930', 0, 2, '○○銀行 本店 普通 1234567', 300000)"_s});
    const QString statement = out_.filePath(u"kessansyo.xlsx"_s);
    const QString check = out_.filePath(u"syogo.xlsx"_s);
    const QString interimCheck = out_.filePath(u"syogo-interim.xlsx"_s);

    // The year-end from the settlement window, its places typed and not saved:
    // the general account holds the deposit too, the festival account 1,000 more
    // than its books say.
    TKessanNyuryokuForm form;
    ShowActive(form);
    Load(form);
    ASSERT_TRUE(form.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    form.PageControl1->setCurrentIndex(3);
    // The interim closing's places are offered by name; their amounts are typed.
    for (const qint64 amount : {4000, 150000}) {
        if (amount == 4000)
            form.UchiwakeClone.First();
        else
            form.UchiwakeClone.Next();
        form.UchiwakeClone.Edit();
        form.UchiwakeClone.FieldByName(u"KINGAKU"_s).SetText(QString::number(amount));
        form.UchiwakeClone.Post();
    }
    ChooseDivision(form, 2);
    AddPlace(form, u"現金"_s, u"16000"_s);
    form.OpenKessansyoSelect = [&](TKessanNyuryokuForm& f) {
        TExlKessansyoModule report;  // 決算書１: the settlement in C
        report.SetNendo(f.LoadedNendo());
        report.SetJikoku(f.Jikoku);
        report.SetNendoDS(&f.NendoClientDS);
        report.SetBalances(true);
        report.SetPlaces(f.UchiwakePlaces());
        report.SetOutputFile(statement);
        report.Execute();
        TExlZandakaSyogoModule syogo;
        syogo.SetNendo(f.LoadedNendo());
        syogo.SetNendoDS(&f.NendoClientDS);
        syogo.SetPlaces(f.UchiwakePlaces());
        syogo.SetOutputFile(check);
        syogo.Execute();
    };
    Click(form.KessansyoBtn);
    ASSERT_TRUE(QFile::exists(check)) << dialogs.Last().text.toStdString();
    // The interim closing from what is saved, with the year's own texts.
    TExlZandakaSyogoModule interim;
    interim.SetNendo(2021);
    interim.SetCyukanSimebi(u"20210930"_s);
    interim.SetOutputFile(interimCheck);
    interim.Execute();
    // The interim statement from its window, whose places are the saved ones.
    const QString interimStatement = out_.filePath(u"cyukan.xlsx"_s);
    TCyukanKessanNyuryokuForm cyukan;
    ShowActive(cyukan);
    cyukan.SimebiEdit->setFocus();
    cyukan.SimebiEdit->setText(u"0930"_s);
    Load(cyukan);
    ASSERT_TRUE(cyukan.SaveBtn->isEnabled()) << dialogs.Last().text.toStdString();
    cyukan.OpenKessansyoSelect = [&](TKessanNyuryokuForm& f) {
        TExlKessansyoModule report;
        report.SetNendo(f.LoadedNendo());
        report.SetJikoku(f.Jikoku);
        report.SetNendoDS(&f.NendoClientDS);
        report.SetCyukanSimebi(f.CyukanSimebi());
        report.SetBalances(true);
        report.SetPlaces(f.UchiwakePlaces());
        report.SetOutputFile(interimStatement);
        report.Execute();
    };
    Click(cyukan.KessansyoBtn);
    ASSERT_TRUE(QFile::exists(interimStatement)) << dialogs.Last().text.toStdString();

    const auto books = ComputeBooksWithLibreOffice(
        soffice_, {statement, check, interimCheck, interimStatement}, out_.filePath(u"calc"_s));
    ASSERT_EQ(books.size(), 4u);

    // The block: the places, their total, the deposit and the unexplained 1,000,
    // down to the carry-over printed above it.
    const Csv& kessan = books[0];
    const auto blocks = RowsLabelled(kessan, u"残高内訳"_s);
    const auto carryOvers = RowsLabelled(kessan, u"次期繰越金"_s);
    ASSERT_EQ(blocks.size(), 2u);
    const QStringList expected[] = {
        {u"現金|4000"_s, u"○○銀行 本店 普通 1234567|150000"_s, u"合計|154000"_s,
         u"うち決算書外の資金（預り金など）|14000"_s, u"次期繰越金|140000"_s},
        {u"現金|16000"_s, u"合計|16000"_s, u"帳簿残高との差額（残高照合表を参照）|1000"_s,
         u"次期繰越金|15000"_s},
    };
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        SCOPED_TRACE(b);
        QStringList printed;
        for (std::size_t r = blocks[b] + 1; r < kessan.size() && !Cell(kessan, r, 'A').isEmpty(); ++r)
            printed << Cell(kessan, r, 'A') + u'|' + QString::number(Number(Cell(kessan, r, 'C')));
        EXPECT_EQ(printed, expected[b]);
        // The statement's own carry-over line of the division, above the block.
        const auto line = std::find_if(carryOvers.rbegin(), carryOvers.rend(),
                                       [&](std::size_t r) { return r < blocks[b]; });
        ASSERT_NE(line, carryOvers.rend());
        EXPECT_EQ(u"次期繰越金|"_s + QString::number(Number(Cell(kessan, *line, 'C'))),
                  printed.value(printed.size() - 1));
    }

    // The check: the journal window's balances (ZandakaTest), the places and the
    // differences, and two auditors to sign.
    const auto yearEnd = ChecksOf(books[1]);
    ASSERT_EQ(yearEnd.size(), 2u);
    EXPECT_EQ(yearEnd[0].book, 154000);
    EXPECT_EQ(yearEnd[0].total, 154000);
    EXPECT_EQ(yearEnd[0].difference, 0);
    EXPECT_EQ(yearEnd[0].places, (QStringList{u"現金|4000"_s, u"○○銀行 本店 普通 1234567|150000"_s}));
    EXPECT_EQ(yearEnd[1].book, 15000);
    EXPECT_EQ(yearEnd[1].total, 16000);
    EXPECT_EQ(yearEnd[1].difference, -1000);
    EXPECT_EQ(RowsLabelled(books[1], u"監事　"_s).size(), 4u);
    const auto signer = RowsLabelled(books[1], u"監事　"_s);
    EXPECT_EQ(Cell(books[1], signer[0], 'B') + Cell(books[1], signer[1], 'B'), u"佐藤鈴木"_s);
    EXPECT_EQ(Cell(books[1], 3, 'A'), u"一般会計"_s);
    EXPECT_EQ(Cell(books[1], 2, 'A'), u"基準日　2022年3月31日（年度末）　（単位：円）"_s);

    const auto atClosing = ChecksOf(books[2]);
    ASSERT_EQ(atClosing.size(), 2u);
    EXPECT_EQ(atClosing[0].book, 334000);
    EXPECT_EQ(atClosing[0].difference, 0);
    EXPECT_EQ(atClosing[1].book, 60000);  // no place saved: nothing accounts for it
    EXPECT_EQ(atClosing[1].total, 0);
    EXPECT_EQ(atClosing[1].difference, 60000);
    EXPECT_TRUE(atClosing[1].places.isEmpty());
    EXPECT_EQ(Cell(books[2], 2, 'A'), u"基準日　2021年9月30日（中間決算）　（単位：円）"_s);

    // The interim statement: a block for the general account only (the festival
    // account has no place at that date), ending at its 次月繰越金.
    const Csv& interimBook = books[3];
    const auto interimBlocks = RowsLabelled(interimBook, u"残高内訳"_s);
    ASSERT_EQ(interimBlocks.size(), 1u);
    QStringList printed;
    for (std::size_t r = interimBlocks[0] + 1; r < interimBook.size() && !Cell(interimBook, r, 'A').isEmpty();
         ++r)
        printed << Cell(interimBook, r, 'A') + u'|' + QString::number(Number(Cell(interimBook, r, 'C')));
    EXPECT_EQ(printed, (QStringList{u"現金|34000"_s, u"○○銀行 本店 普通 1234567|300000"_s, u"合計|334000"_s,
                                    u"うち決算書外の資金（預り金など）|14000"_s, u"次月繰越金|320000"_s}));
    const auto monthly = RowsLabelled(interimBook, u"次月繰越金"_s);
    ASSERT_FALSE(monthly.empty());
    EXPECT_EQ(Number(Cell(interimBook, monthly.front(), 'C')), 320000);
}

}  // namespace
