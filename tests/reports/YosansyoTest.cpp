// The budget statement's blocks as written: one per division with its name,
// sections grown or shortened to their items, the carry-over line hidden
// where there is none, and the footer pushed below the last block.

#include "core/ComputerName.h"
#include "core/Errors.h"
#include "reports/ExlYosansyoUnit.h"
#include "reports/ExlYosansyoUnit7.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

namespace {

class YosansyoTest : public ReportFixture {
  protected:
    void AddWork(int division, int kamoku, int syusi, int bunrui, int yosan, int kessan) {
        Exec(u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN, ZENNEN_KESSAN,"
             " SYUSI_KUBUN, BUNRUI, BUNRUI_JUNJYO, KAMOKU_JUNJYO) values (:C, :J, 2021, :D, :K, :Y, :Z, :S, :B,"
             " :B, :K)"_qs,
             {{u"C"_qs, GetComputerNameStr()},
              {u"J"_qs, kJikoku},
              {u"D"_qs, division},
              {u"K"_qs, kamoku},
              {u"Y"_qs, yosan},
              {u"Z"_qs, kessan},
              {u"S"_qs, syusi},
              {u"B"_qs, bunrui}});
    }
};

TEST_F(YosansyoTest, OneBlockPerDivisionShapedToItsItems) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    Exec(u"update NENDO set YOSAN_COMMENT_KUBUN = 1, YOSAN_COMMENT = 'コメント', YOSAN_BIKOU = '備考'"_qs);
    AddDivision(1, u"祭礼会計"_qs);
    AddBunrui(10, u"会費"_qs, 1, 1);
    AddBunrui(20, u"事業費"_qs, 2, 1);
    AddKamoku(110, u"会費収入"_qs, 10);
    for (int k = 0; k < 4; ++k)
        AddKamoku(210 + k, u"事業費%1"_qs.arg(k), 20);
    AddWork(0, 110, 1, 10, 50000, 40000);
    for (int k = 0; k < 4; ++k)
        AddWork(0, 210 + k, 2, 20, 1000 * (k + 1), 0);
    AddWork(0, 8000, 2, 80, 40000, 30000);
    // Division 1 has no work rows at all.

    TExlYosansyoModule report;
    report.SetNendo(2021);
    report.SetJikoku(kJikoku);
    report.SetTemplatemei(u"予算書１"_qs);
    report.Execute();
    sheet::Worksheet& sheet = SavedBook(report.SavedFiles()).Sheets().Item(u"Sheet1"_qs);

    EXPECT_EQ(CellText(sheet, u"A1"_qs), u"2021年"_qs);
    EXPECT_EQ(CellText(sheet, u"B1"_qs), u"東町会"_qs);
    EXPECT_EQ(CellText(sheet, u"C1"_qs), u"2021年4月1日～2022年3月31日"_qs);
    // General division: one receipts item (rows 7, 8 hidden), four payments items
    // (one row inserted: 13-16), the carry-over on row 18.
    EXPECT_EQ(CellText(sheet, u"A4"_qs), u"一般会計"_qs);
    EXPECT_EQ(CellText(sheet, u"A6"_qs), u"会費"_qs);
    EXPECT_EQ(CellText(sheet, u"B6"_qs), u"50000"_qs);
    EXPECT_EQ(CellFormula(sheet, u"D6"_qs), u"=B6-C6"_qs);
    EXPECT_EQ(CellText(sheet, u"E6"_qs), u"会費収入 "_qs);
    EXPECT_EQ(CellText(sheet, u"H6"_qs), u"50000"_qs);
    EXPECT_TRUE(sheet.RowHidden(7) && sheet.RowHidden(8));
    EXPECT_EQ(CellText(sheet, u"B13"_qs), u"10000"_qs);  // the classification's total on its first line
    EXPECT_EQ(CellText(sheet, u"B14"_qs), QString());
    EXPECT_EQ(CellText(sheet, u"H16"_qs), u"4000"_qs);
    for (int row = 13; row <= 16; ++row)
        EXPECT_FALSE(sheet.RowHidden(row)) << row;
    EXPECT_EQ(CellText(sheet, u"A18"_qs), u"次期繰越金"_qs);
    EXPECT_EQ(CellText(sheet, u"C18"_qs), u"30000"_qs);
    EXPECT_FALSE(sheet.RowHidden(18) || sheet.RowHidden(19));
    // Division 1 below it (rows 21-36): its name, one empty row per section, no carry-over.
    EXPECT_EQ(CellText(sheet, u"A21"_qs), u"祭礼会計"_qs);
    EXPECT_EQ(CellText(sheet, u"A23"_qs), QString());
    EXPECT_FALSE(sheet.RowHidden(23));
    EXPECT_TRUE(sheet.RowHidden(24) && sheet.RowHidden(25));
    EXPECT_FALSE(sheet.RowHidden(30));
    EXPECT_TRUE(sheet.RowHidden(31) && sheet.RowHidden(32));
    EXPECT_TRUE(sheet.RowHidden(34) && sheet.RowHidden(35));
    EXPECT_EQ(CellFormula(sheet, u"B26"_qs), u"=SUBTOTAL(9,B23:B25)"_qs);
    // The footer below the last block.
    EXPECT_EQ(CellText(sheet, u"A37"_qs), u"コメント"_qs);
    EXPECT_EQ(CellText(sheet, u"A40"_qs), u"備考"_qs);
}

TEST_F(YosansyoTest, OneDivisionWritesNoDivisionNameAndMissingYearOrForeignLayoutIsRefused) {
    TExlYosansyoModule report;
    report.SetNendo(2021);
    report.SetJikoku(kJikoku);
    EXPECT_THROW(report.Execute(), EAppError);
    EXPECT_TRUE(report.SavedFiles().isEmpty());

    AddYear(2021, u"20210401"_qs, u"20220331"_qs, 1);
    TExlYosansyoModule7 second;
    second.SetNendo(2021);
    second.SetJikoku(kJikoku);
    second.SetTemplatemei(u"予算書７"_qs);
    second.Execute();
    sheet::Worksheet& sheet = SavedBook(second.SavedFiles()).Sheets().Item(u"Sheet1"_qs);
    EXPECT_EQ(CellText(sheet, u"A1"_qs), u"令和３年"_qs);
    EXPECT_EQ(CellText(sheet, u"A4"_qs), QString());

    // A module refuses a layout of another kind than its own.
    TExlYosansyoModule7 third;
    third.SetNendo(2021);
    third.SetJikoku(kJikoku);
    third.SetTemplatemei(u"予算書１"_qs);
    EXPECT_THROW(third.Execute(), EAppError);
    EXPECT_TRUE(third.SavedFiles().isEmpty());
}

}  // namespace
