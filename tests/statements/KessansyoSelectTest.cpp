// "決算書出力": the settlement list, the remembered choice in the settlement
// columns of NENDO, and 実行 running the module of the selected line, year-end
// or interim as the calling window says.

#include "core/ComputerName.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "statements/KessansyoSelectUnit.h"
#include "tests/reports/ReportFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <tuple>

namespace {

class KessansyoSelectTest : public ReportFixture {
  protected:
    void SetUp() override {
        ReportFixture::SetUp();
        ASSERT_TRUE(QFile::copy(qEnvironmentVariable("TSUBAKI_APP_DIR") + u"/KessansyoList.txt"_qs,
                                ProgramFolder() + u"/KessansyoList.txt"_qs));
        AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    }

    void TearDown() override {
        form_.reset();
        ReportFixture::TearDown();
    }

    TKessansyoSelectForm& Open(const QString& cyukanSimebi = QString()) {
        form_ = std::make_unique<TKessansyoSelectForm>(2021, kJikoku, nullptr, cyukanSimebi);
        form_->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form_.get()));
        return *form_;
    }

    std::unique_ptr<TKessansyoSelectForm> form_;
};

TEST_F(KessansyoSelectTest, RemembersItsChoiceInTheSettlementColumns) {
    Exec(
        u"update NENDO set KESSANSYO_SYOKICHI = '決算書６', KESSAN_ZERO_PRINT = 1, KESSAN_GRAPH_PRINT = 1,"
        " YOSANSYO_SYOKICHI = '予算書３', YOSAN_ZERO_PRINT = 0, YOSAN_GRAPH_PRINT = 0"_qs);
    TKessansyoSelectForm& form = Open();
    EXPECT_EQ(form.windowTitle(), u"決算書出力"_qs);
    // TSUBAKI_GRAB=<file.png> keeps a picture of the window to be looked at.
    if (const QString grab = qEnvironmentVariable("TSUBAKI_GRAB"); !grab.isEmpty())
        form.grab().save(grab);
    ASSERT_EQ(form.ListView1->topLevelItemCount(), 12);
    EXPECT_EQ(form.ListView1->topLevelItem(0)->text(0), u"簡易決算書"_qs);
    EXPECT_EQ(form.ListView1->topLevelItem(8)->text(0), u"決算書８"_qs);
    EXPECT_EQ(form.ListView1->topLevelItem(9)->text(0), u"残高照合表"_qs);
    EXPECT_EQ(form.ListView1->currentItem()->text(0), u"決算書６"_qs);
    EXPECT_FALSE(form.ZeroCheckBox->isChecked());
    EXPECT_FALSE(form.ZandakaCheckBox->isChecked());
    EXPECT_TRUE(form.GraphCheckBox->isChecked());

    form.ListView1->setCurrentItem(form.ListView1->topLevelItem(2));
    form.ZeroCheckBox->setChecked(true);
    form.ZandakaCheckBox->setChecked(true);
    form.GraphCheckBox->setChecked(false);
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    const auto row =
        module_->SQLConnection1
            .Select(
                u"select KESSANSYO_SYOKICHI, KESSAN_ZERO_PRINT, YOSANSYO_SYOKICHI, YOSAN_ZERO_PRINT,"
                " KESSAN_ZANDAKA_PRINT, KESSAN_GRAPH_PRINT, YOSAN_GRAPH_PRINT from NENDO"_qs)
            .rows.at(0);
    EXPECT_EQ(row[0].AsString(), u"決算書２"_qs);
    EXPECT_EQ(row[1].AsInteger(), 0);
    EXPECT_EQ(row[2].AsString(), u"予算書３"_qs) << "the budget choice is left alone";
    EXPECT_EQ(row[3].AsInteger(), 0);
    EXPECT_EQ(row[4].AsInteger(), 1);
    EXPECT_EQ(row[5].AsInteger(), 0);
    EXPECT_EQ(row[6].AsInteger(), 0) << "the budget's chart choice is left alone";
    // The next opening shows the 残高内訳 choice as saved; the Tab key reaches it
    // after the buttons.
    EXPECT_TRUE(Open().ZandakaCheckBox->isChecked());
    form_->activateWindow();
    QApplication::setActiveWindow(form_.get());
    EXPECT_EQ(QApplication::focusWidget(), form_->ListView1);
    for (QWidget* next : std::initializer_list<QWidget*>{form_->ExecBtn, form_->SaveBtn, form_->CloseBtn,
                                                         form_->ZandakaCheckBox}) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), next);
    }
    QTest::keyClick(form_->ZandakaCheckBox, Qt::Key_Space);
    EXPECT_FALSE(form_->ZandakaCheckBox->isChecked());
}

// 残高照合表, the list's last line, is made by its own module: a page per division
// with the book balance and the places saved for the closing.
TEST_F(KessansyoSelectTest, TheLastLineMakesTheCheckOfTheBalances) {
    Exec(
        u"insert into ZANDAKA_UCHIWAKE (NENDO, SIMEBI, KAIKEI_KUBUN, JUNJYO, BASYO, KINGAKU)"
        " values (2021, '', 0, 1, '現金', 1200)"_qs);
    TKessansyoSelectForm& form = Open();
    form.ListView1->setCurrentItem(form.ListView1->topLevelItem(9));
    QTest::mouseClick(form.ExecBtn, Qt::LeftButton);
    ASSERT_EQ(form.LastSavedFiles().size(), 1);
    EXPECT_TRUE(QFileInfo(form.LastSavedFiles().front()).fileName().startsWith(u"残高照合表_"_qs));
    sheet::Worksheet& sheet = SavedBook(form.LastSavedFiles()).Sheets().Item(1);
    QFile::remove(form.LastSavedFiles().front());
    EXPECT_EQ(CellText(sheet, u"A4"_qs), u"一般会計"_qs);
    EXPECT_EQ(CellText(sheet, u"C5"_qs), u"0"_qs);  // no journal line
    EXPECT_EQ(CellText(sheet, u"A8"_qs), u"現金"_qs);
    EXPECT_EQ(CellText(sheet, u"C8"_qs), u"1200"_qs);
}

// Each line is made by its module from the settlement window's work rows; the
// interim window's closing date makes it an interim statement.
TEST_F(KessansyoSelectTest, ExecuteRunsTheModuleOfTheLineYearEndOrInterim) {
    AddBunrui(10, u"会費"_qs, 1, 1);
    AddKamoku(110, u"一般会費"_qs, 10);
    AddKamoku(120, u"特別会費"_qs, 10, 2);
    for (const auto& [kamoku, yosan, kessan] : {std::tuple{110, 30000, 32000}, std::tuple{120, 5000, 4000}}) {
        Exec(
            u"insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN, KESSAN, "
            u"SYUSI_KUBUN,"
            " BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, 2021, 0, :K, :Y, :R, 1, 10, 1, :K)"_qs,
            {{u"C"_qs, GetComputerNameStr()},
             {u"J"_qs, kJikoku},
             {u"K"_qs, kamoku},
             {u"Y"_qs, yosan},
             {u"R"_qs, kessan}});
    }
    struct Case {
        int line;
        const char* cyukan;
        QString cyukanCell;  // where "中間" goes
        // One cell that only the line's module fills so.
        QString cell;
        QString value;
    };
    const Case cases[] = {
        {1, "", u"E1"_qs, u"B6"_qs, u"32000"_qs},                 // 簡易決算書: item, amount
        {3, "20210930", u"E1"_qs, u"B6"_qs, u"36000"_qs},         // 決算書２: settlement total first
        {5, "20210930", u"E1"_qs, u"B8"_qs, u"（小    計）"_qs},  // 決算書４: subtotal row
        {7, "", u"G1"_qs, u"E6"_qs, u"=D6-C6"_qs},                // 決算書６: settlement - budget
        {9, "20210930", u"G1"_qs, u"E6"_qs, u"=C6-D6"_qs},        // 決算書８
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        const QString cyukan = QString::fromUtf8(c.cyukan);
        TKessansyoSelectForm& form = Open(cyukan);
        form.ListView1->setCurrentItem(form.ListView1->topLevelItem(c.line - 1));
        const QString key = form.ListView1->currentItem()->text(0);
        // The chart sheet comes with the box ticked only.
        const bool charts = c.line == 3;
        form.GraphCheckBox->setChecked(charts);
        QTest::mouseClick(form.ExecBtn, Qt::LeftButton);
        ASSERT_EQ(form.LastSavedFiles().size(), 1);
        // An interim book is named after its closing date too.
        EXPECT_TRUE(QFileInfo(form.LastSavedFiles().front())
                        .fileName()
                        .startsWith(key + (cyukan.isEmpty() ? u"_"_qs : u"_中間20210930_"_qs)));
        sheet::Workbook& book = SavedBook(form.LastSavedFiles());
        EXPECT_EQ(book.FindSheet(u"グラフ"_qs) != nullptr, charts);
        sheet::Worksheet& sheet = book.Sheets().Item(1);
        QFile::remove(form.LastSavedFiles().front());
        EXPECT_EQ(CellFormula(sheet, c.cell), c.value);
        EXPECT_EQ(CellText(sheet, c.cyukanCell), cyukan.isEmpty() ? QString() : u"中間"_qs);
        EXPECT_EQ(CellText(sheet, u"C1"_qs),
                  cyukan.isEmpty() ? u"2021年4月1日～2022年3月31日"_qs : u"2021年4月1日～2021年9月30日"_qs);
        EXPECT_TRUE(form.isVisible());
    }
}

}  // namespace
