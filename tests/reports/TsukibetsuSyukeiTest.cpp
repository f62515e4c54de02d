// The monthly summary: month labels, the month a line counts in, the sections
// on the statements and outside them, and one sheet per division.

#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

namespace {

class TsukibetsuSyukeiTest : public ReportFixture {
  protected:
    void SetUp() override {
        ReportFixture::SetUp();
        AddBunrui(10, u"会費"_qs, 1, 1, 1);
        AddBunrui(11, u"事業収入"_qs, 1, 1, 2);
        AddBunrui(20, u"事業費"_qs, 2, 1, 1);
        AddBunrui(40, u"預り金受入"_qs, 1, 0, 1);
        AddBunrui(41, u"預り金払出"_qs, 2, 0, 1);
        AddKamoku(110, u"会費収入"_qs, 10, 1);
        AddKamoku(111, u"賛助会費"_qs, 10, 2);
        AddKamoku(120, u"バザー"_qs, 11, 1);
        AddKamoku(121, u"廃品回収"_qs, 11, 2);
        AddKamoku(210, u"行事費"_qs, 20);
        AddKamoku(401, u"共同募金預り"_qs, 40);
        for (int i = 1; i <= 4; ++i)
            AddKamoku(410 + i, u"預り金払出"_qs + QString::number(i), 41, i);
    }

    sheet::Workbook& Run() {
        TExlTsukibetsuSyukeiModule report;
        report.SetNendo(2021);
        report.SetJikoku(kJikoku);
        report.Execute();
        return SavedBook(report.SavedFiles());
    }

    static QStringList RowTexts(sheet::Worksheet& s, int row, int firstCol, int lastCol) {
        QStringList texts;
        for (int col = firstCol; col <= lastCol; ++col)
            texts << CellText(s, s.Cells(row, col).Address());
        return texts;
    }
};

TEST(MonthLabelsTest, NameTheMonthEachPeriodClosesIn) {
    struct Case {
        int kisyubi;
        const char16_t* first;
        const char16_t* last;
    };
    for (const Case c : {Case{20210401, u"４月", u"３月"}, Case{20210421, u"５月", u"４月"},
                         Case{20210101, u"１月", u"１２月"}, Case{20211001, u"１０月", u"９月"}}) {
        SCOPED_TRACE(c.kisyubi);
        const QStringList labels = MonthLabels(c.kisyubi);
        ASSERT_EQ(labels.size(), 12);
        EXPECT_EQ(labels.front(), QString::fromUtf16(c.first));
        EXPECT_EQ(labels.back(), QString::fromUtf16(c.last));
    }
}

TEST_F(TsukibetsuSyukeiTest, YearFromTheTwentyFirstCountsLinesAfterTheClosingDayInTheNextMonth) {
    AddYear(2021, u"20210421"_qs, u"20220420"_qs);
    AddYosan(2021, 0, 100, 123456);
    AddLine(1, 0, u"20210421"_qs, 110, 1000, std::nullopt);
    AddLine(2, 0, u"20210520"_qs, 110, 2000, std::nullopt);
    AddLine(3, 0, u"20210521"_qs, 110, 4000, std::nullopt);
    AddLine(4, 0, u"20220420"_qs, 110, 8000, std::nullopt);
    AddLine(5, 0, u"20220421"_qs, 110, 16000, std::nullopt);  // after the year: no column
    AddLine(6, 0, u"20210601"_qs, 210, std::nullopt, 500);
    AddLine(7, 0, u"20210602"_qs, 210, 100, std::nullopt);  // a refund lowers the payments
    sheet::Worksheet& s = Run().Sheets().Item(1);
    EXPECT_EQ(CellText(s, u"A1"_qs), u"２０２１年度 東町会 月別集計表"_qs);
    EXPECT_EQ(CellText(s, u"A3"_qs), u"東町会"_qs);
    EXPECT_TRUE(CellText(s, u"O3"_qs).startsWith(u"作成日："_qs));
    EXPECT_EQ(RowTexts(s, 4, 3, 14),
              (QStringList{u"５月"_qs, u"６月"_qs, u"７月"_qs, u"８月"_qs, u"９月"_qs, u"１０月"_qs,
                           u"１１月"_qs, u"１２月"_qs, u"１月"_qs, u"２月"_qs, u"３月"_qs, u"４月"_qs}));
    EXPECT_EQ(CellText(s, u"C6"_qs), u"123456"_qs);
    EXPECT_EQ(RowTexts(s, 7, 1, 5),
              (QStringList{u"会費"_qs, u"会費収入"_qs, u"3000"_qs, u"4000"_qs, u"0"_qs}));
    EXPECT_EQ(CellText(s, u"N7"_qs), u"8000"_qs);
    EXPECT_EQ(RowTexts(s, 14, 1, 4), (QStringList{u"事業費"_qs, u"行事費"_qs, u"0"_qs, u"400"_qs}));
    // Template rows the items do not fill stay empty.
    EXPECT_EQ(CellText(s, u"B8"_qs), QString());
}

TEST_F(TsukibetsuSyukeiTest, FourReceiptsItemsGrowTheSectionAndNameEachClassificationOnce) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    int seq = 0;
    for (const int item : {121, 110, 120, 111})
        AddLine(++seq, 0, u"20210430"_qs, item, 100 * item, std::nullopt);
    sheet::Worksheet& s = Run().Sheets().Item(1);
    EXPECT_EQ(CellText(s, u"C6"_qs), u"0"_qs);
    const QStringList expected[] = {
        {u"会費"_qs, u"会費収入"_qs, u"11000"_qs},
        {u""_qs, u"賛助会費"_qs, u"11100"_qs},
        {u"事業収入"_qs, u"バザー"_qs, u"12000"_qs},
        {u""_qs, u"廃品回収"_qs, u"12100"_qs},
    };
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(RowTexts(s, 7 + i, 1, 3), expected[i]) << "row " << 7 + i;
    EXPECT_EQ(CellFormula(s, u"C11"_qs), u"=SUM(C7:C10)"_qs);
    // No payments: the three template rows stay, one row lower.
    EXPECT_EQ(CellText(s, u"A14"_qs), u"支出の部"_qs);
    EXPECT_EQ(RowTexts(s, 15, 1, 3), (QStringList{QString(), QString(), QString()}));
}

TEST_F(TsukibetsuSyukeiTest, OutsideItemsWithOneAndFourRows) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddKurikosi(2021, 0, 401, 7000);
    AddLine(1, 0, u"20210405"_qs, 401, 5000, std::nullopt);
    for (int i = 1; i <= 4; ++i)
        AddLine(1 + i, 0, u"20210506"_qs, 410 + i, std::nullopt, 100 * i);
    sheet::Worksheet& s = Run().Sheets().Item(1);
    EXPECT_EQ(RowTexts(s, 23, 1, 4), (QStringList{u"共同募金預り"_qs, u"7000"_qs, u"5000"_qs, u"0"_qs}));
    EXPECT_TRUE(s.RowHidden(24));
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(RowTexts(s, 24 + i, 1, 4), (QStringList{u"預り金払出"_qs + QString::number(i), QString(),
                                                          u"0"_qs, QString::number(100 * i)}));
        EXPECT_FALSE(s.RowHidden(24 + i));
    }
    EXPECT_EQ(CellText(s, u"A29"_qs), u"受入－払出"_qs);
    EXPECT_EQ(CellFormula(s, u"D29"_qs), u"=SUM(D23:D24)-SUM(D25:D28)"_qs);
}

TEST_F(TsukibetsuSyukeiTest, WithoutOutsideItemsTheirPartIsHidden) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    AddLine(1, 0, u"20210405"_qs, 110, 5000, std::nullopt);
    sheet::Worksheet& s = Run().Sheets().Item(1);
    for (int row = 18; row <= 28; ++row)
        EXPECT_EQ(s.RowHidden(row), row >= 19 && row <= 27) << "row " << row;
}

TEST_F(TsukibetsuSyukeiTest, OneSheetPerDivisionInCodeOrder) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs, 1);
    AddDivision(7, u"施設会計"_qs);
    AddDivision(3, u"祭礼会計"_qs);
    AddLine(1, 7, u"20210405"_qs, 110, 700, std::nullopt);
    AddLine(2, 3, u"20210405"_qs, 110, 300, std::nullopt);
    sheet::Workbook& book = Run();
    ASSERT_EQ(book.Sheets().Count(), 3);
    const QString names[] = {u"一般会計"_qs, u"祭礼会計"_qs, u"施設会計"_qs};
    const QString amounts[] = {QString(), u"300"_qs, u"700"_qs};
    for (int i = 0; i < 3; ++i) {
        sheet::Worksheet& s = book.Sheets().Item(i + 1);
        SCOPED_TRACE(names[i].toStdString());
        EXPECT_EQ(s.Name(), names[i]);
        EXPECT_EQ(CellText(s, u"A1"_qs), u"令和３年度 東町会 月別集計表    ("_qs + names[i] + u')');
        EXPECT_EQ(CellText(s, u"C7"_qs), amounts[i]);
        EXPECT_TRUE(CellText(s, u"O3"_qs).contains(u'年'));
    }
    EXPECT_EQ(book.ActiveSheet().Name(), names[0]);
}

}  // namespace
