// The finished workbooks opened by a real spreadsheet program: LibreOffice
// computes the templates' formulas over the rows the reports wrote and
// inserted. Runs only where soffice is installed.

#include "reports/ExlSyusiMeisaiUnit.h"
#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "tests/reports/ReportFixture.h"
#include "tests/support/LibreOffice.h"

#include <algorithm>

namespace {

class ReportsCalcTest : public ReportFixture {
  protected:
    void SetUp() override {
        soffice_ = FindSoffice();
        if (soffice_.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        ReportFixture::SetUp();
        AddYear(2021, u"20210401"_qs, u"20220331"_qs);
        AddBunrui(10, u"会費"_qs, 1, 1);
        AddBunrui(20, u"事業費"_qs, 2, 1);
        AddKamoku(110, u"会費収入"_qs, 10);
        AddKamoku(120, u"寄付金"_qs, 10, 2);
        AddKamoku(210, u"行事費"_qs, 20);
        AddYosan(2021, 0, 100, 300000);
    }

    // The values of the saved book's first sheet as LibreOffice computes them.
    std::vector<QStringList> Compute(const QString& xlsx) {
        return ComputeWithLibreOffice(soffice_, xlsx, temp_.Path());
    }

    static QString At(const std::vector<QStringList>& rows, int row, int col) {
        return row - 1 < int(rows.size()) ? rows[std::size_t(row - 1)].value(col - 1) : QString();
    }

    QString soffice_;
};

TEST_F(ReportsCalcTest, ListingTotalsAndRunningBalanceCoverInsertedRows) {
    AddLine(1, 0, u"20210401"_qs, 110, 10000, std::nullopt);
    AddLine(2, 0, u"20210401"_qs, 210, std::nullopt, 3000);
    AddLine(3, 0, u"20210402"_qs, 120, 5000, std::nullopt);
    AddLine(4, 0, u"20210403"_qs, 210, std::nullopt, 2000);
    AddLine(5, 0, u"20210404"_qs, 110, 1000, std::nullopt);
    TExlSyusiMeisaiModule report;
    report.SetNendo(2021);
    report.SetJikoku(kJikoku);
    report.Execute();
    ASSERT_EQ(report.SavedFiles().size(), 1);
    const auto rows = Compute(report.SavedFiles().front());
    // Running balance after each line, then the totals row (row 11 after two inserted rows).
    const char* const balances[] = {"310000", "307000", "312000", "310000", "311000"};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(At(rows, 6 + i, 7).remove(u','), QString::fromLatin1(balances[i])) << "row " << 6 + i;
    EXPECT_EQ(At(rows, 11, 5).remove(u','), u"16000"_qs);
    EXPECT_EQ(At(rows, 11, 6).remove(u','), u"5000"_qs);
    EXPECT_EQ(At(rows, 11, 7).remove(u','), u"311000"_qs);
}

// Hundreds of streamed rows: LibreOffice's running balance after every line
// and the totals under them, against the same sums made here.
TEST_F(ReportsCalcTest, ListingOfAGeneratedYearComputesEveryBalance) {
    std::vector<Line> lines = AddGeneratedLines(300, 1, u"20210401"_qs, u"20220331"_qs, {110, 120, 210});
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return std::tie(a.hizuke, a.seq) < std::tie(b.hizuke, b.seq);
    });
    TExlSyusiMeisaiModule report;
    report.SetNendo(2021);
    report.SetJikoku(kJikoku);
    report.Execute();
    ASSERT_EQ(report.SavedFiles().size(), 1);
    const auto rows = Compute(report.SavedFiles().front());
    qint64 balance = 300000, receipts = 0, payments = 0;
    for (int i = 0; i < int(lines.size()); ++i) {
        const Line& line = lines[std::size_t(i)];
        receipts += line.syunyu.value_or(0);
        payments += line.sisyutsu.value_or(0);
        balance += line.syunyu.value_or(0) - line.sisyutsu.value_or(0);
        ASSERT_EQ(At(rows, 6 + i, 7).remove(u','), QString::number(balance)) << "row " << 6 + i;
    }
    const int total = 6 + int(lines.size());
    EXPECT_EQ(At(rows, total, 1), u"合計"_qs);
    EXPECT_EQ(At(rows, total, 5).remove(u','), QString::number(receipts));
    EXPECT_EQ(At(rows, total, 6).remove(u','), QString::number(payments));
    EXPECT_EQ(At(rows, total, 7).remove(u','), QString::number(balance));
}

TEST_F(ReportsCalcTest, MonthlySummaryTotalsCoverInsertedRows) {
    AddBunrui(11, u"事業収入"_qs, 1, 1, 2);
    AddKamoku(130, u"バザー"_qs, 11);
    AddKamoku(131, u"廃品回収"_qs, 11, 2);
    AddLine(1, 0, u"20210410"_qs, 110, 10000, std::nullopt);
    AddLine(2, 0, u"20210510"_qs, 120, 5000, std::nullopt);
    AddLine(3, 0, u"20210510"_qs, 130, 2000, std::nullopt);
    AddLine(4, 0, u"20210610"_qs, 131, 1000, std::nullopt);
    AddLine(5, 0, u"20210610"_qs, 210, std::nullopt, 4000);
    TExlTsukibetsuSyukeiModule report;
    report.SetNendo(2021);
    report.SetJikoku(kJikoku);
    report.Execute();
    ASSERT_EQ(report.SavedFiles().size(), 1);
    const auto rows = Compute(report.SavedFiles().front());
    // Four receipts items: one row inserted, the receipts total in row 11.
    EXPECT_EQ(At(rows, 11, 1), u"収入計"_qs);
    EXPECT_EQ(At(rows, 11, 3).remove(u','), u"10000"_qs);
    EXPECT_EQ(At(rows, 11, 4).remove(u','), u"7000"_qs);
    EXPECT_EQ(At(rows, 11, 15).remove(u','), u"18000"_qs);
    // Payments total and the balance at the end of June.
    EXPECT_EQ(At(rows, 18, 5).remove(u','), u"4000"_qs);
    EXPECT_EQ(At(rows, 19, 5).remove(u','), u"314000"_qs);
}

}  // namespace
