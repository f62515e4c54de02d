// The settlement statement's header and footer as written: the report year,
// "中間" of an interim statement, one signature row per signer and one audit
// row per auditor, and the rules behind them.

#include "reports/ExlKessansyoUnit.h"
#include "reports/KessansyoRules.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

namespace {

TEST(KessansyoRulesTest, ReportYearIsTheYearAfterTheLastDay) {
    struct Case {
        int kimatsubi;
        int nengoKubun;
        QString expected;
    };
    const Case cases[] = {
        {20220331, 1, u"令和４年"_qs},
        {20220331, 0, u"２０２２年"_qs},
        {20211231, 0, u"２０２２年"_qs},  // a year ending on 31 December reports in the next calendar year
        {20190331, 1, u"平成３１年"_qs},
    };
    for (const Case& c : cases)
        EXPECT_EQ(kessansyo::ReportYearText(c.kimatsubi, c.nengoKubun), c.expected) << c.kimatsubi;
}

TEST(KessansyoRulesTest, EachLineOfTheListHasItsModule) {
    using kessansyo::Module;
    const Module expected[] = {Module::Kessansyo1, Module::Kessansyo,  Module::Kessansyo,  Module::Kessansyo3,
                               Module::Kessansyo3, Module::Kessansyo5, Module::Kessansyo5, Module::Kessansyo5,
                               Module::Kessansyo5, Module::Kessansyo};
    for (int line = 1; line <= 10; ++line)
        EXPECT_EQ(kessansyo::ModuleForLine(line), expected[line - 1]) << line;
}

using KessansyoTest = ReportFixture;

// 決算書１ signs in F/G from row 23 and confirms from row 26 (before any
// further division moves the footer down).
TEST_F(KessansyoTest, SignatureAndAuditRowsFollowTheSigners) {
    AddYear(2021, u"20210401"_qs, u"20220331"_qs);
    Exec(u"update NENDO set YAKUSYOKU = '会長', DAIHYOSYA = '椿太郎', KAIKEI_YAKUSYOKU = '会計',"
         " KAIKEI1 = '山田', KAIKEI2 = '鈴木', KANSA_YAKUSYOKU = '監事', KANSA1 = '佐藤', KANSA2 = '高橋',"
         " KESSAN_COMMENT = '報告します', KESSAN_BIKOU = '備考', KANSA_COMMENT = '認めます'"_qs);
    struct Case {
        const char* what;
        int representative, treasurer1, treasurer2, auditor1, auditor2;
        QStringList signers;   // title+name from row 23 down
        QStringList auditors;  // name from the auditors' first row down
        const char* cyukan;
    };
    const Case cases[] = {
        {"everyone",
         1,
         1,
         1,
         1,
         1,
         {u"会長椿太郎"_qs, u"会計山田"_qs, u"会計鈴木"_qs},
         {u"佐藤"_qs, u"高橋"_qs},
         ""},
        {"nobody", 0, 0, 0, 0, 0, {QString()}, {QString()}, "20210930"},
        {"second treasurer, second auditor", 0, 0, 1, 0, 1, {u"会計鈴木"_qs}, {u"高橋"_qs}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Exec(u"update NENDO set KESSAN_SYOMEI_KUBUN1 = :A, KESSAN_SYOMEI_KUBUN2 = :B, KESSAN_SYOMEI_KUBUN3 = :C,"
             " KANSA_SYOMEI_KUBUN1 = :D, KANSA_SYOMEI_KUBUN2 = :E"_qs,
             {{u"A"_qs, c.representative}, {u"B"_qs, c.treasurer1}, {u"C"_qs, c.treasurer2},
              {u"D"_qs, c.auditor1}, {u"E"_qs, c.auditor2}});
        TExlKessansyoModule report;
        report.SetNendo(2021);
        report.SetJikoku(kJikoku);
        report.SetCyukanSimebi(QString::fromUtf8(c.cyukan));
        report.Execute();
        sheet::Worksheet& sheet = SavedBook(report.SavedFiles()).Sheets().Item(u"Sheet1"_qs);
        QFile::remove(report.SavedFiles().front());
        EXPECT_EQ(CellText(sheet, u"D1"_qs), u"２０２２年"_qs);
        EXPECT_EQ(CellText(sheet, u"E1"_qs), *c.cyukan ? u"中間"_qs : QString());
        EXPECT_EQ(CellText(sheet, u"A22"_qs), u"報告します"_qs);
        const int extraSigners = int(std::max<qsizetype>(c.signers.size(), 1) - 1);
        for (int i = 0; i < int(c.signers.size()); ++i) {
            const QString row = QString::number(23 + i);
            EXPECT_EQ(CellText(sheet, u"F"_qs + row) + CellText(sheet, u"G"_qs + row), c.signers[i]) << i;
        }
        const int audit = 26 + extraSigners;
        EXPECT_EQ(CellText(sheet, u"A%1"_qs.arg(audit - 1)), u"認めます"_qs);
        for (int i = 0; i < int(c.auditors.size()); ++i)
            EXPECT_EQ(CellText(sheet, u"G%1"_qs.arg(audit + i)), c.auditors[i]) << i;
        EXPECT_EQ(CellText(sheet, u"A%1"_qs.arg(28 + extraSigners + int(c.auditors.size()) - 1)), u"備考"_qs);
    }
}

}  // namespace
