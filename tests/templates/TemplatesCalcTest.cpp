// The templates' own formulas as a real spreadsheet program computes them,
// after the sections have grown: LibreOffice converts the saved book to CSV.

#include "sheet/Application.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/support/LibreOffice.h"
#include "tests/support/TempFolder.h"
#include "tests/templates/TemplateFixture.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

class TemplatesCalcTest : public ::testing::Test {
  protected:
    void SetUp() override {
        soffice_ = FindSoffice();
        if (soffice_.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    }

    Worksheet& Open(const QString& name) { return app_.Workbooks().Add(TemplatePath(name)).Sheets().Item(1); }

    // Saves the book and lets LibreOffice compute it; the values of its active sheet.
    void Compute(Workbook& book) {
        const QString xlsx = temp_.File(u"book.xlsx"_qs);
        book.SaveAs(xlsx);
        rows_ = ComputeWithLibreOffice(soffice_, xlsx, temp_.Path());
    }

    // The computed text at `address`.
    QString Text(Worksheet& s, const QString& address) const {
        const Range cell = s.Range(address);
        const size_t row = size_t(cell.Row() - 1);
        const qsizetype col = cell.Column() - 1;
        return row < rows_.size() && col < rows_[row].size() ? rows_[row][col] : u"<no cell>"_qs;
    }

    // The computed number at `address` (thousands separators ignored).
    double Number(Worksheet& s, const QString& address) const {
        const Range cell = s.Range(address);
        const size_t row = size_t(cell.Row() - 1);
        const qsizetype col = cell.Column() - 1;
        if (row >= rows_.size() || col >= rows_[row].size())
            return -1e300;
        QString text = rows_[row][col];
        bool ok = false;
        const double value = text.remove(u',').toDouble(&ok);
        return ok ? value : -1e300;
    }

    Application app_;
    TempFolder temp_;
    QString soffice_;
    std::vector<QStringList> rows_;
};

TEST_F(TemplatesCalcTest, JournalListingComputesTotalsAndRunningBalanceOverInsertedLines) {
    Worksheet& s = Open(u"収支明細書.xltx"_qs);
    s.Range(u"G5"_qs).SetValue(1000);
    ExtendDetailRows(s, 6, 3, 6);
    s.Range(u"A6"_qs, u"F11"_qs)
        .SetFormula(QVariantList{
            QVariantList{u"2021/ 4/ 1"_qs, u"A"_qs, u"会費"_qs, u"会費"_qs, 500, QVariant()},
            QVariantList{QString(), u"B"_qs, u"会費"_qs, u"会費"_qs, 300, QVariant()},
            // A work line with nothing in it yet: no balance shown, none lost.
            QVariantList{QString(), QString(), QString(), QString(), QVariant(), QVariant()},
            QVariantList{u"2021/ 4/ 2"_qs, u"C"_qs, u"文具"_qs, u"事務費"_qs, QVariant(), 200},
            QVariantList{QString(), u"D"_qs, u"切手"_qs, u"事務費"_qs, QVariant(), 100},
            QVariantList{u"2021/ 4/ 3"_qs, u"E"_qs, u"利息"_qs, u"雑収入"_qs, 50, QVariant()},
        });
    Compute(s.Parent());

    EXPECT_EQ(Number(s, u"G7"_qs), 1800);
    EXPECT_EQ(Text(s, u"G8"_qs), QString());
    EXPECT_EQ(Number(s, u"G9"_qs), 1600);
    EXPECT_EQ(Number(s, u"G11"_qs), 1550);
    EXPECT_EQ(Number(s, u"E12"_qs), 850);
    EXPECT_EQ(Number(s, u"F12"_qs), 300);
    EXPECT_EQ(Number(s, u"G12"_qs), 1550);
}

TEST_F(TemplatesCalcTest, MonthlySummaryComputesSectionTotalsAndBalances) {
    Worksheet& s = Open(u"月別集計表.xltx"_qs);
    s.Range(u"C6"_qs).SetValue(10000);
    // Payments first, as the report writes them: two items, no rows added.
    s.Range(u"A14"_qs, u"D15"_qs)
        .SetFormula(QVariantList{QVariantList{u"事業費"_qs, u"行事費"_qs, 500, 0},
                                 QVariantList{QString(), u"備品費"_qs, 250, 100}});
    ExtendDetailRows(s, 7, 3, 4);
    s.Range(u"A7"_qs, u"D10"_qs)
        .SetFormula(QVariantList{
            QVariantList{u"会費"_qs, u"会費"_qs, 100, 1000}, QVariantList{QString(), u"賛助会費"_qs, 200, 0},
            QVariantList{u"雑収入"_qs, u"利息"_qs, 300, 0}, QVariantList{QString(), u"寄付"_qs, 400, 0}});
    Compute(s.Parent());

    EXPECT_EQ(Number(s, u"C11"_qs), 1000);   // receipts of month 1
    EXPECT_EQ(Number(s, u"O11"_qs), 2000);   // receipts of the year
    EXPECT_EQ(Number(s, u"C12"_qs), 11000);  // with the carry-over
    EXPECT_EQ(Number(s, u"C18"_qs), 750);
    EXPECT_EQ(Number(s, u"C19"_qs), 10250);
    EXPECT_EQ(Number(s, u"D19"_qs), 11150);
    EXPECT_EQ(Number(s, u"N19"_qs), 11150);
    EXPECT_EQ(Number(s, u"O19"_qs), 11150);
    // The payments' third template row (moved down by the receipts' added row) took
    // no item: blank, its total too.
    EXPECT_EQ(Number(s, u"O16"_qs), 350);
    EXPECT_EQ(Text(s, u"O17"_qs), QString());
}

}  // namespace
