// The monthly summary: month labels, the month a line counts in, the sections
// on the statements and outside them, and one sheet per division.

#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

#include <QDate>
#include <QDir>
#include <QHash>

#include <algorithm>
#include <array>
#include <map>
#include <set>

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

TEST(FiscalMonthsTest, LabelsNameTheMonthEachPeriodClosesIn) {
    struct Case {
        int kisyubi;
        int kimatsubi;
        const char16_t* first;
        const char16_t* last;
    };
    for (const Case c :
         {Case{20210401, 20220331, u"４月", u"３月"}, Case{20210421, 20220420, u"５月", u"４月"},
          Case{20210101, 20211231, u"１月", u"１２月"}, Case{20211001, 20220930, u"１０月", u"９月"},
          Case{20241221, 20251220, u"１月", u"１２月"}, Case{20240715, 20250714, u"８月", u"７月"}}) {
        SCOPED_TRACE(c.kisyubi);
        const QStringList labels = FiscalMonths(c.kisyubi, c.kimatsubi).Labels();
        ASSERT_EQ(labels.size(), 12);
        EXPECT_EQ(labels.front(), QString::fromUtf16(c.first));
        EXPECT_EQ(labels.back(), QString::fromUtf16(c.last));
    }
}

// Every day of a year lands in exactly one column, the columns in date order
// and each used, whatever month the year starts or ends in.
TEST(FiscalMonthsTest, EveryDayOfTheYearLandsInOneColumn) {
    struct Case {
        QDate first;
        QDate last;
    };
    for (const Case c :
         {Case{QDate(2024, 4, 1), QDate(2025, 3, 31)}, Case{QDate(2024, 7, 15), QDate(2025, 7, 14)},
          Case{QDate(2024, 12, 21), QDate(2025, 12, 20)}, Case{QDate(2024, 1, 1), QDate(2024, 12, 31)},
          Case{QDate(2024, 7, 15), QDate(2025, 3, 31)}, Case{QDate(2024, 4, 21), QDate(2025, 4, 20)}}) {
        SCOPED_TRACE(c.first.toString(Qt::ISODate).toStdString());
        auto number = [](QDate d) { return d.year() * 10000 + d.month() * 100 + d.day(); };
        const FiscalMonths months(number(c.first), number(c.last));
        int previous = 1;
        std::set<int> used;
        for (QDate d = c.first; d <= c.last; d = d.addDays(1)) {
            const int column = months.Column(number(d));
            ASSERT_GE(column, previous) << d.toString(Qt::ISODate).toStdString();
            ASSERT_LE(column, 12);
            previous = column;
            used.insert(column);
        }
        EXPECT_EQ(*used.begin(), 1);
        EXPECT_EQ(int(used.size()), *used.rbegin());
        EXPECT_EQ(months.Column(number(c.first.addDays(-1))), 0);
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

// The sheets against sums made here from the generated lines, for a year from
// 1 April and one from 15 July: every line of the year in the column of the
// month-long period it falls in (periods start on the first day's day of each
// month), each item in its section and order, signed to read positive.
TEST_F(TsukibetsuSyukeiTest, CellsEqualAnIndependentGroupedSum) {
    AddDivision(1, u"特別会計"_qs);
    struct ItemInfo {
        int code;
        int syusi;
        bool onStatements;
    };
    // In the order the sections list them (classification order, then item order).
    const ItemInfo items[] = {{110, 1, true}, {111, 1, true},  {120, 1, true},  {121, 1, true},
                              {210, 2, true}, {401, 1, false}, {411, 2, false}, {412, 2, false}};
    const QHash<int, QString> names{
        {110, u"会費収入"_qs}, {111, u"賛助会費"_qs},     {120, u"バザー"_qs},      {121, u"廃品回収"_qs},
        {210, u"行事費"_qs},   {401, u"共同募金預り"_qs}, {411, u"預り金払出1"_qs}, {412, u"預り金払出2"_qs}};
    for (const auto& [first, last] :
         {std::pair{u"20240401"_qs, u"20250331"_qs}, std::pair{u"20240715"_qs, u"20250714"_qs}}) {
        SCOPED_TRACE(first.toStdString());
        for (const char* table : {"NENDO", "W_MEISAI", "KURIKOSI"})
            Exec(u"delete from "_qs + QLatin1String(table));
        QDir(ReportFolder()).removeRecursively();
        AddYear(2021, first, last);
        AddKurikosi(2021, 1, 411, 9000);
        std::vector<Line> lines =
            AddGeneratedLines(500, 2, first, last, {110, 111, 120, 121, 210, 401, 411, 412});
        // Outside the year: the item is listed, the amount in no column.
        const QDate start = QDate::fromString(first, u"yyyyMMdd"_qs);
        AddLine(9001, 0, start.addDays(-1).toString(u"yyyyMMdd"_qs), 121, 777, std::nullopt);
        lines.push_back({9001, 0, QString(), 121, std::nullopt, std::nullopt, {}, {}});

        // division -> item -> twelve signed sums; items with any line of the load
        std::map<int, std::map<int, std::array<qint64, 12>>> sums;
        for (const Line& line : lines) {
            auto& months = sums[line.division][line.kamoku];
            const QDate date = QDate::fromString(line.hizuke, u"yyyyMMdd"_qs);
            if (!date.isValid())
                continue;
            int column = 0;
            for (int i = 0; i < 12; ++i) {
                if (start.addMonths(i) <= date)
                    column = i + 1;
            }
            const int syusi = line.kamoku == 210 || line.kamoku > 410 ? 2 : 1;
            const qint64 amount = qint64(line.syunyu.value_or(0)) - line.sisyutsu.value_or(0);
            months[std::size_t(column - 1)] += syusi == 1 ? amount : -amount;
        }

        sheet::Workbook& book = Run();
        for (int division = 0; division < 2; ++division) {
            SCOPED_TRACE(division);
            sheet::Worksheet& s = book.Sheets().Item(division + 1);
            std::vector<std::pair<int, std::vector<int>>> sections;  // first template row, items
            std::vector<int> receipts, payments, outsideReceipts, outsidePayments;
            for (const ItemInfo& item : items) {
                const auto found = sums[division].find(item.code);
                const bool used = found != sums[division].end();
                const bool moved = used && std::any_of(found->second.begin(), found->second.end(),
                                                       [](qint64 v) { return v != 0; });
                const bool carried = division == 1 && item.code == 411;
                if (item.onStatements && used)
                    (item.syusi == 1 ? receipts : payments).push_back(item.code);
                if (!item.onStatements && (moved || carried))
                    (item.syusi == 1 ? outsideReceipts : outsidePayments).push_back(item.code);
            }
            const int grown = std::max(0, int(receipts.size()) - 3) + std::max(0, int(payments.size()) - 3);
            const int outsideGrown = std::max(0, int(outsideReceipts.size()) - 2);
            auto check = [&](int firstRow, const std::vector<int>& codes, bool outside) {
                for (std::size_t i = 0; i < codes.size(); ++i) {
                    const int row = firstRow + int(i);
                    SCOPED_TRACE(row);
                    const auto& months = sums[division][codes[i]];
                    QStringList expected;
                    for (qint64 v : months)
                        expected << QString::number(v);
                    EXPECT_EQ(RowTexts(s, row, 3, 14), expected);
                    EXPECT_EQ(CellText(s, (outside ? u"A"_qs : u"B"_qs) + QString::number(row)),
                              names.value(codes[i]));
                    if (outside) {
                        EXPECT_EQ(CellText(s, QStringLiteral("B%1").arg(row)),
                                  division == 1 && codes[i] == 411 ? u"9000"_qs : QString());
                    }
                }
            };
            check(7, receipts, false);
            check(14 + std::max(0, int(receipts.size()) - 3), payments, false);
            check(23 + grown, outsideReceipts, true);
            check(25 + grown + outsideGrown, outsidePayments, true);
        }
    }
}

}  // namespace
