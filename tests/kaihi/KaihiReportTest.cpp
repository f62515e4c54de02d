// 会費徴収一覧 of the sample organisation, recalculated by LibreOffice: each 班's sheet
// lists its households, and its totals per month and for the year are the sums of
// the payments the test reads from the tables.

#include <gtest/gtest.h>

#include <QFile>

#include <map>
#include <memory>

#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "kaihi/ExlKaihiCyosyuUnit.h"
#include "kaihi/ExlKaihiMinouUnit.h"
#include "kaihi/ExlKaihiRyosyusyoUnit.h"
#include "kaihi/KaihiStore.h"
#include "platform/Folders.h"
#include "sheet/Application.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/support/LibreOffice.h"
#include "tests/support/QueryRows.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/TempFolder.h"

using namespace Qt::Literals::StringLiterals;

namespace {

qint64 Amount(const QString& cell) {
    QString digits = cell;
    digits.remove(u',').remove(u'¥').remove(u'￥');
    return digits.trimmed().isEmpty() ? 0 : digits.trimmed().toLongLong();
}

// The sample organisation behind the program's connection, with its templates.
class KaihiReport : public ::testing::Test {
  protected:
    void SetUp() override {
        soffice = FindSoffice();
        if (soffice.isEmpty())
            GTEST_SKIP() << "LibreOffice (soffice) is not installed";
        const QString app = QString::fromLocal8Bit(qgetenv("TSUBAKI_APP_DIR"));
        path = CopyOfSampleDatabase(folder);
        module = std::make_unique<TDataModule1>([this] { return path; });
        installation = std::make_unique<DataModuleInstallation>(*module);
        CurrentDantai = u"○○○○自治会"_s;
        platform::OverrideProgramFolder(app);
    }
    void TearDown() override {
        platform::OverrideProgramFolder(QString());
        if (module)
            module->SQLConnection1.Close();
        installation.reset();
        module.reset();
    }

    QString soffice;
    const TempFolder folder;
    QString path;
    std::unique_ptr<TDataModule1> module;
    std::unique_ptr<DataModuleInstallation> installation;
};

}  // namespace

TEST_F(KaihiReport, TheCollectionListAddsUpPerHan) {
    const QString book = folder.File(u"会費徴収一覧.xlsx"_s);
    {
        TExlKaihiCyosyuModule report;
        report.SetNendo(2026);
        report.SetSyurui(1);
        report.SetOutputFile(book);
        report.Execute();
    }
    // What each 班 collected per calendar month, from the tables (the sample has no moves).
    std::map<QString, std::map<int, qint64>> expected;
    std::map<QString, int> households;
    for (const QString& row :
         RowsOf(module->SQLConnection1,
                u"select H.MEISYO, substring(N.HIZUKE from 5 for 2), sum(N.KINGAKU) from KAIHI_NOUFU N "
                u"join SETAI_HAN S on (S.SETAI_CD = N.SETAI_CD) join HAN H on (H.HAN_CD = S.HAN_CD) "
                u"where (N.NENDO = 2026) and (N.SYURUI_CD = 1) group by 1, 2"_s)) {
        const QStringList f = row.split(u'|');
        expected[f[0]][f[1].toInt()] = f[2].toLongLong();
    }
    for (const QString& row : RowsOf(module->SQLConnection1,
                                     u"select H.MEISYO, count(*) from SETAI_HAN S join HAN H on (H.HAN_CD = "
                                     u"S.HAN_CD) join SETAI T on (T.SETAI_CD = S.SETAI_CD) where "
                                     u"(T.TAIKAI_BI is null) or (T.TAIKAI_BI >= '20260401') group by 1"_s)) {
        const QStringList f = row.split(u'|');
        households[f[0]] = f[1].toInt();
    }
    ASSERT_EQ(expected.size(), 6u);

    const auto sheets = ComputeSheetsWithLibreOffice(soffice, {book}, folder.File(u"calc"_s)).at(0);
    ASSERT_EQ(sheets.size(), 6u);
    const int calendarMonth[] = {4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3};
    for (const auto& [han, months] : expected) {
        SCOPED_TRACE(han.toStdString());
        const auto sheet = sheets.find(han);
        ASSERT_NE(sheet, sheets.end());
        const std::vector<QStringList>& rows = sheet->second;
        const auto total = std::find_if(
            rows.begin(), rows.end(), [](const QStringList& r) { return !r.isEmpty() && r[0] == u"班計"_s; });
        ASSERT_NE(total, rows.end());
        EXPECT_EQ(total - rows.begin() - 4, households[han]);  // the rows between the heading and the total
        qint64 year = 0;
        for (int m = 0; m < 12; ++m) {
            const qint64 want = months.count(calendarMonth[m]) ? months.at(calendarMonth[m]) : 0;
            EXPECT_EQ(Amount(total->value(m + 1)), want) << calendarMonth[m] << "月";
            year += want;
        }
        EXPECT_EQ(Amount(total->value(13)), year);
    }
    // 5班 has not handed December over yet: every one of its households shows 未 there.
    const std::vector<QStringList>& han5 = sheets.at(u"５班"_s);
    for (int r = 4; r < 4 + households[u"５班"_s]; ++r)
        EXPECT_EQ(han5[static_cast<std::size_t>(r)].value(9), u"未"_s)
            << han5[static_cast<std::size_t>(r)].join(u'|').toStdString();
}

// 未納一覧 on 11 December 2026 and 班別世帯数 on 1 December, recalculated: the unpaid
// total is December's dues of the households that have not paid it and the festival
// dues of the two newcomers, counted from the tables; the households add up per 班.
TEST_F(KaihiReport, TheUnpaidListAndTheHouseholdCount) {
    const QString minou = folder.File(u"未納一覧.xlsx"_s);
    const QString setaisu = folder.File(u"班別世帯数.xlsx"_s);
    {
        TExlKaihiMinouModule report;
        report.SetNendo(2026);
        report.SetAsOf(QDate(2026, 12, 11));
        report.SetOutputFile(minou);
        report.Execute();
        TExlHanbetsuSetaisuModule count;
        count.SetDay(QDate(2026, 12, 1));
        count.SetOutputFile(setaisu);
        count.Execute();
    }
    const auto number = [&](const QString& sql) {
        return RowsOf(module->SQLConnection1, sql).value(0).toLongLong();
    };
    const qint64 decemberUnpaid = number(
        u"select count(*) from SETAI S where (S.TAIKAI_BI is null) and not exists (select 1 from KAIHI_NOUFU "
        u"N "
        u"where (N.SETAI_CD = S.SETAI_CD) and (N.SYURUI_CD = 1) and (N.HIZUKE starting with '202612'))"_s);
    const qint64 festivalUnpaid = number(
        u"select count(*) from SETAI S where (S.TAIKAI_BI is null) and not exists (select 1 from KAIHI_NOUFU "
        u"N where (N.SETAI_CD = S.SETAI_CD) and (N.SYURUI_CD = 2))"_s);
    const qint64 members = number(u"select count(*) from SETAI where (TAIKAI_BI is null)"_s);
    ASSERT_EQ(festivalUnpaid, 2);

    const auto books = ComputeBooksWithLibreOffice(soffice, {minou, setaisu}, folder.File(u"calc"_s));
    ASSERT_EQ(books.size(), 2u);
    const auto totalRow = [](const std::vector<QStringList>& rows) {
        return std::find_if(rows.begin(), rows.end(),
                            [](const QStringList& r) { return !r.isEmpty() && r[0] == u"合計"_s; });
    };
    const auto totalOf = [&](const std::vector<QStringList>& rows, int column) {
        const auto total = totalRow(rows);
        return total == rows.end() ? -1 : Amount(total->value(column));
    };
    EXPECT_EQ(totalOf(books[0], 4), decemberUnpaid * 300 + festivalUnpaid * 500);
    EXPECT_EQ(totalRow(books[0]) - books[0].begin() - 4, decemberUnpaid + festivalUnpaid);  // a line each
    EXPECT_EQ(totalOf(books[1], 2), members);
}

// Receipts of seven of the sample's payments: read back from the package, each slip
// carries its payment; printed by LibreOffice, three slips to a page and none cut
// by a page break. Printed again with a new payment, a receipt keeps its number and
// says 再発行, and the new one takes the next number.
TEST_F(KaihiReport, ReceiptsKeepTheirNumbersAndAreNeverCutByAPage) {
    db::Connection& connection = module->SQLConnection1;
    const KaihiYear year = LoadKaihiYear(connection, 2026);
    ASSERT_GE(year.noufu.size(), 8u);
    // Six of April's dues and the first festival payment (a yearly kind).
    const auto festival = std::find_if(year.noufu.begin(), year.noufu.end(),
                                       [](const KaihiNoufu& n) { return n.syuruiCd == 2; });
    ASSERT_NE(festival, year.noufu.end());
    std::vector<int> seven(year.noufuNos.begin(), year.noufuNos.begin() + 6);
    seven.push_back(year.noufuNos[static_cast<std::size_t>(festival - year.noufu.begin())]);
    const QString first = folder.File(u"領収書1.xlsx"_s);
    const QString again = folder.File(u"領収書2.xlsx"_s);
    std::vector<int> numbers;
    {
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(2026);
        report.SetNoufu(seven);
        report.SetOutputFile(first);
        report.Execute();
        numbers = report.Numbers();
    }
    ASSERT_EQ(numbers.size(), 7u);
    for (std::size_t k = 1; k < numbers.size(); ++k)
        EXPECT_EQ(numbers[k], numbers[0] + static_cast<int>(k));
    {
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(2026);
        report.SetNoufu({seven[1], year.noufuNos[6]});
        report.SetOutputFile(again);
        report.Execute();
        EXPECT_EQ(report.Numbers(), (std::vector<int>{numbers[1], numbers[6] + 1}));
    }
    // A book that cannot be written gives no number: printed afterwards, the receipt
    // is no reprint.
    const std::map<int, int> given = ReceiptNumbersOf(connection, 2026);
    const auto unnumbered = std::find_if(year.noufuNos.begin(), year.noufuNos.end(),
                                         [&](int no) { return !given.contains(no); });
    ASSERT_NE(unnumbered, year.noufuNos.end());
    {
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(2026);
        report.SetNoufu({*unnumbered});
        report.SetOutputFile(folder.File(u"無いフォルダ/領収書.xlsx"_s));
        EXPECT_ANY_THROW(report.Execute());
    }
    EXPECT_FALSE(ReceiptNumbersOf(connection, 2026).contains(*unnumbered));
    const QString late = folder.File(u"領収書3.xlsx"_s);
    {
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(2026);
        report.SetNoufu({*unnumbered});
        report.SetOutputFile(late);
        report.Execute();
        EXPECT_GT(report.Numbers().at(0), numbers[6] + 1);
    }

    // The first slip, every text of it, and the amount and purpose of the yearly kind's.
    sheet::Application reader;
    sheet::Worksheet& slips = reader.Workbooks().Open(first).Sheets().Item(1);
    const auto cell = [&](int slip, int line, int col) {
        return slips.CellValue(slip * 11 + line + 1, col).toString();
    };
    const struct {
        int line, col;
        QString text;
    } firstSlip[] = {
        {0, 1, u"領　収　書"_s},
        {1, 1, QString()},
        {2, 1, u"山口 由美　様"_s},
        {4, 2, u"￥300－"_s},
        {5, 2, u"金参百円也"_s},
        {6, 1, u"但し　一般会費 4月分として"_s},
        {7, 1, u"上記の金額を正に領収いたしました。"_s},
        {8, 1, u"2026年4月6日"_s},
        {8, 4, u"○○○○自治会"_s},
        {9, 4, u"受領者　１班 班長　山口 由美"_s},
    };
    for (const auto& c : firstSlip)
        EXPECT_EQ(cell(0, c.line, c.col), c.text) << "line " << c.line + 1;
    EXPECT_EQ(cell(6, 4, 2), u"￥500－"_s);
    EXPECT_EQ(cell(6, 5, 2), u"金伍百円也"_s);
    EXPECT_EQ(cell(6, 6, 1), u"但し　夏祭り協賛として"_s);
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(cell(k, 1, 5), u"No. %1"_s.arg(numbers[static_cast<std::size_t>(k)], 6, 10, QChar(u'0')));
    sheet::Worksheet& reprinted = reader.Workbooks().Open(again).Sheets().Item(1);
    EXPECT_EQ(reprinted.CellValue(2, 1).toString(), u"（再発行）"_s);
    EXPECT_EQ(reprinted.CellValue(13, 1).toString(), QString());
    EXPECT_EQ(reader.Workbooks().Open(late).Sheets().Item(1).CellValue(2, 1).toString(), QString());

    // Printed: pages of three slips, each slip's number, amount and words on one page.
    const QStringList pdf = ConvertBooksToPdf(soffice, {first}, folder.File(u"pdf"_s));
    const QString text = PdfText(pdf.value(0));
    if (text.isEmpty())
        GTEST_SKIP() << "pdftotext is not installed";
    QStringList pages = text.split(u'\f');
    while (!pages.isEmpty() && pages.back().trimmed().isEmpty())
        pages.removeLast();
    ASSERT_EQ(pages.size(), 3);
    for (int k = 0; k < 7; ++k) {
        SCOPED_TRACE(k);
        const QString& page = pages[k / 3];
        const QString number = u"No. %1"_s.arg(numbers[static_cast<std::size_t>(k)], 6, 10, QChar(u'0'));
        for (int p = 0; p < pages.size(); ++p)
            EXPECT_EQ(pages[p].contains(number), p == k / 3) << "page " << p + 1;
        EXPECT_TRUE(page.contains(k < 6 ? u"金参百円也"_s : u"金伍百円也"_s));
    }
    for (int p = 0; p < 3; ++p)
        EXPECT_EQ(pages[p].count(u"上記の金額を正に領収いたしました。"_s), p < 2 ? 3 : 1) << "page " << p + 1;
}
