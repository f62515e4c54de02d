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
#include "platform/Folders.h"
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
