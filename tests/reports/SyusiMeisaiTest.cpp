// The journal listing on a small journal: detail rows, dates, the opening row,
// the listing of one item, and one sheet per division.

#include "reports/ExlSyusiMeisaiUnit.h"
#include "sheet/Package.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/reports/ReportFixture.h"

#include <QDir>
#include <QHash>

#include <algorithm>
#include <pugixml.hpp>

namespace {

class SyusiMeisaiTest : public ReportFixture {
  protected:
    void SetUp() override {
        ReportFixture::SetUp();
        AddYear(2021, QStringLiteral("20210401"), QStringLiteral("20220331"));
        AddBunrui(10, QStringLiteral("会費"), 1, 1);
        AddBunrui(20, QStringLiteral("事業費"), 2, 1);
        AddBunrui(40, QStringLiteral("預り金"), 2, 0);
        AddKamoku(110, QStringLiteral("会費収入"), 10);
        AddKamoku(210, QStringLiteral("行事費"), 20);
        AddKamoku(410, QStringLiteral("預り金払出"), 40);
        AddYosan(2021, 0, 100, 300000);
        // A carry-over of a payments item outside the statements lowers the opening balance.
        AddKurikosi(2021, 0, 410, 20000);
    }

    sheet::Workbook& Run(TExlSyusiMeisaiModule& report) {
        report.SetNendo(2021);
        report.SetJikoku(kJikoku);
        report.Execute();
        return SavedBook(report.SavedFiles());
    }
};

TEST_F(SyusiMeisaiTest, ThreeLinesUseTheTemplateRowsAndFiveInsertTwo) {
    struct Case {
        int lines;
        int totalRow;
    };
    for (const Case c : {Case{1, 9}, Case{3, 9}, Case{5, 11}}) {
        SCOPED_TRACE(c.lines);
        Exec(QStringLiteral("delete from W_MEISAI"));
        for (int i = 0; i < c.lines; ++i)
            AddLine(i + 1, 0, QStringLiteral("202104%1").arg(10 + i), 110, 1000 * (i + 1), std::nullopt);
        TExlSyusiMeisaiModule report;
        sheet::Worksheet& s = Run(report).Sheets().Item(1);
        EXPECT_EQ(CellText(s, QStringLiteral("A%1").arg(c.totalRow)), QStringLiteral("合計"));
        EXPECT_EQ(CellFormula(s, QStringLiteral("E%1").arg(c.totalRow)),
                  QStringLiteral("=SUM(E6:E%1)").arg(c.totalRow - 1));
        for (int i = 0; i < c.lines; ++i) {
            EXPECT_EQ(CellText(s, QStringLiteral("E%1").arg(6 + i)), QString::number(1000 * (i + 1)));
            EXPECT_EQ(CellText(s, QStringLiteral("D%1").arg(6 + i)), QStringLiteral("会費収入"));
        }
        // Rows the lines do not fill stay as the template made them.
        for (int row = 6 + c.lines; row < c.totalRow; ++row)
            EXPECT_EQ(CellText(s, QStringLiteral("C%1").arg(row)), QString());
        QDir(ReportFolder()).removeRecursively();
    }
}

TEST_F(SyusiMeisaiTest, WholeYearShowsOpeningBalanceAndEachDateOnce) {
    AddLine(3, 0, QStringLiteral("20210402"), 210, std::nullopt, 5000, QStringLiteral("商店"),
            QStringLiteral("=花代"));
    AddLine(1, 0, QStringLiteral("20210401"), 110, 2000, std::nullopt, QStringLiteral("0120"),
            QStringLiteral("会費"));
    AddLine(2, 0, QStringLiteral("20210401"), 999, 0, std::nullopt);
    // Another load of the journal and another division are not listed.
    AddLine(4, 0, QStringLiteral("20210403"), 110, 1, std::nullopt, {}, {}, QStringLiteral("20240101000000"));
    TExlSyusiMeisaiModule report;
    sheet::Workbook& book = Run(report);
    ASSERT_EQ(book.Sheets().Count(), 1);
    sheet::Worksheet& s = book.Sheets().Item(1);
    EXPECT_EQ(s.Name(), QStringLiteral("一般会計"));
    EXPECT_EQ(CellText(s, QStringLiteral("A2")), QStringLiteral("2021年度 東町会 収支明細書"));
    EXPECT_EQ(CellText(s, QStringLiteral("G3")), QString());
    EXPECT_EQ(CellText(s, QStringLiteral("A5")), QStringLiteral("2021/ 3/31"));
    EXPECT_EQ(CellText(s, QStringLiteral("C5")), QStringLiteral("前年度繰越金"));
    EXPECT_EQ(CellText(s, QStringLiteral("G5")), QStringLiteral("280000"));

    const QStringList expected[] = {
        {u"2021/ 4/ 1"_qs, u"0120"_qs, u"会費"_qs, u"会費収入"_qs, u"2000"_qs, u""_qs},
        {u""_qs, u""_qs, u""_qs, u""_qs, u"0"_qs, u""_qs},
        {u"2021/ 4/ 2"_qs, u"商店"_qs, u"=花代"_qs, u"行事費"_qs, u""_qs, u"5000"_qs},
    };
    for (int i = 0; i < 3; ++i) {
        QStringList row;
        for (const char* col : {"A", "B", "C", "D", "E", "F"})
            row << CellText(s, QString::fromLatin1(col) + QString::number(6 + i));
        EXPECT_EQ(row, expected[i]) << "row " << 6 + i;
    }
    // Texts that look like formulas or numbers stay texts.
    EXPECT_EQ(s.Range(u"B6"_qs).Value().typeId(), QMetaType::QString);
    EXPECT_EQ(CellFormula(s, u"C8"_qs), u"=花代"_qs);
}

TEST_F(SyusiMeisaiTest, ListingFromMayCarriesAprilOver) {
    AddLine(1, 0, u"20210410"_qs, 110, 50000, std::nullopt);
    AddLine(2, 0, u"20210420"_qs, 210, std::nullopt, 70000);
    AddLine(3, 0, u"20210501"_qs, 110, 1000, std::nullopt);
    TExlSyusiMeisaiModule report;
    report.SetKaisibi(u"20210501  "_qs);
    sheet::Worksheet& s = Run(report).Sheets().Item(1);
    EXPECT_EQ(CellText(s, u"G3"_qs), u"2021/ 5/ 1 ～ 2022/ 3/31"_qs);
    EXPECT_EQ(CellText(s, u"A5"_qs), u"2021/ 4/30"_qs);
    EXPECT_EQ(CellText(s, u"C5"_qs), u"繰越"_qs);
    EXPECT_EQ(CellText(s, u"G5"_qs), u"260000"_qs);
    EXPECT_EQ(CellText(s, u"A6"_qs), u"2021/ 5/ 1"_qs);
    EXPECT_EQ(CellText(s, u"A7"_qs), QString());
}

TEST_F(SyusiMeisaiTest, OnePaymentsItemOfOneDivision) {
    AddDivision(1, u"特別会計"_qs);
    AddLine(1, 0, u"20210410"_qs, 210, std::nullopt, 3000);
    AddLine(2, 0, u"20210411"_qs, 110, 9000, std::nullopt);
    AddLine(3, 1, u"20210412"_qs, 210, std::nullopt, 4000);
    TExlSyusiMeisaiModule report;
    report.SetSiteiKamoku(210);
    report.SetTaisyoKubun(0);
    sheet::Workbook& book = Run(report);
    ASSERT_EQ(book.Sheets().Count(), 1);
    sheet::Worksheet& s = book.Sheets().Item(1);
    EXPECT_EQ(CellText(s, u"A2"_qs), u"2021年度 東町会 収支明細書    (一般会計)"_qs);
    EXPECT_EQ(CellText(s, u"B1"_qs), u"-1"_qs);
    EXPECT_EQ(CellText(s, u"A3"_qs), u"行事費"_qs);
    EXPECT_EQ(CellText(s, u"G4"_qs), QString());
    for (const QString& cell : {u"A5"_qs, u"C5"_qs, u"G5"_qs})
        EXPECT_EQ(CellText(s, cell), QString()) << cell.toStdString();
    EXPECT_EQ(CellText(s, u"F6"_qs), u"3000"_qs);
    EXPECT_EQ(CellText(s, u"F7"_qs), QString());
}

TEST_F(SyusiMeisaiTest, OneSheetPerDivisionInCodeOrderOpeningOnTheFirst) {
    AddDivision(5, u"施設会計"_qs);
    AddDivision(2, u"祭礼会計"_qs);
    AddLine(1, 5, u"20210410"_qs, 110, 100, std::nullopt);
    AddLine(2, 2, u"20210411"_qs, 110, 200, std::nullopt);
    TExlSyusiMeisaiModule report;
    sheet::Workbook& book = Run(report);
    ASSERT_EQ(book.Sheets().Count(), 3);
    const QString names[] = {u"一般会計"_qs, u"祭礼会計"_qs, u"施設会計"_qs};
    for (int i = 0; i < 3; ++i) {
        sheet::Worksheet& s = book.Sheets().Item(i + 1);
        EXPECT_EQ(s.Name(), names[i]);
        EXPECT_EQ(CellText(s, u"A2"_qs), u"2021年度 東町会 収支明細書    ("_qs + names[i] + u')');
    }
    EXPECT_EQ(book.ActiveSheet().Name(), names[0]);
    EXPECT_EQ(CellText(book.Sheets().Item(2), u"E6"_qs), u"200"_qs);
    EXPECT_EQ(CellText(book.Sheets().Item(3), u"E6"_qs), u"100"_qs);
    // Only the general account has a budgeted carry-over.
    EXPECT_EQ(CellText(book.Sheets().Item(2), u"G5"_qs), u"0"_qs);
}

TEST_F(SyusiMeisaiTest, JapaneseEraYears) {
    Exec(u"update NENDO set NENGO_KUBUN = 1"_qs);
    AddLine(1, 0, u"20210401"_qs, 110, 100, std::nullopt);
    TExlSyusiMeisaiModule report;
    sheet::Worksheet& s = Run(report).Sheets().Item(1);
    EXPECT_EQ(CellText(s, u"A2"_qs), u"令和3年度 東町会 収支明細書"_qs);
    EXPECT_EQ(CellText(s, u"A5"_qs), u" 3/ 3/31"_qs);
    EXPECT_EQ(CellText(s, u"A6"_qs), u" 3/ 4/ 1"_qs);
}

// A generated year read back: every detail cell against the line it came from,
// the template's formulas moved onto every row, and what lies below the rows.
TEST_F(SyusiMeisaiTest, GeneratedYearReadsBackLineByLine) {
    AddDivision(1, u"特別会計"_qs);
    const std::vector<Line> lines =
        AddGeneratedLines(600, 2, u"20210401"_qs, u"20220331"_qs, {110, 210, 410});
    TExlSyusiMeisaiModule report;
    sheet::Workbook& book = Run(report);
    ASSERT_EQ(book.Sheets().Count(), 2);
    sheet::Package package = sheet::Package::Load(report.SavedFiles().front());
    const pugi::xml_node names = package.Xml(u"xl/workbook.xml"_qs).child("workbook").child("definedNames");
    const QHash<int, QString> itemNames{{110, u"会費収入"_qs}, {210, u"行事費"_qs}, {410, u"預り金払出"_qs}};

    for (int division = 0; division < 2; ++division) {
        SCOPED_TRACE(division);
        std::vector<Line> mine;
        for (const Line& line : lines) {
            if (line.division == division)
                mine.push_back(line);
        }
        std::stable_sort(mine.begin(), mine.end(), [](const Line& a, const Line& b) {
            return std::tie(a.hizuke, a.seq) < std::tie(b.hizuke, b.seq);
        });
        sheet::Worksheet& s = book.Sheets().Item(division + 1);
        const int last = 5 + int(mine.size());
        const int total = last + 1;
        for (int i = 0; i < int(mine.size()); ++i) {
            const Line& line = mine[std::size_t(i)];
            const int row = 6 + i;
            SCOPED_TRACE(row);
            const bool firstOfDay = i == 0 || mine[std::size_t(i - 1)].hizuke != line.hizuke;
            const QString date = QStringLiteral("%1/%2/%3")
                                     .arg(line.hizuke.left(4))
                                     .arg(line.hizuke.mid(4, 2).toInt(), 2)
                                     .arg(line.hizuke.mid(6, 2).toInt(), 2);
            const auto amount = [](std::optional<int> v) { return v ? QString::number(*v) : QString(); };
            const QStringList expected{
                firstOfDay ? date : QString(), line.aite,           line.tekiyo,
                itemNames.value(line.kamoku),  amount(line.syunyu), amount(line.sisyutsu)};
            QStringList cells;
            for (int col = 1; col <= 6; ++col)
                cells << s.Cells(row, col).Value().toString();
            ASSERT_EQ(cells, expected);
            EXPECT_EQ(CellFormula(s, QStringLiteral("G%1").arg(row)),
                      QStringLiteral("=IF(COUNTA(A%1:F%1)=0,\"\",H%1)").arg(row));
            const QString balance =
                row == last ? QStringLiteral("=N($G$5)+(SUM($E$6:E%1)-SUM($F$6:F%1))*$B$1").arg(row)
                            : QStringLiteral("=N(H%1)+(N(E%2)-N(F%2))*$B$1").arg(row - 1).arg(row);
            EXPECT_EQ(CellFormula(s, QStringLiteral("H%1").arg(row)), balance);
        }
        EXPECT_EQ(CellText(s, QStringLiteral("A%1").arg(total)), u"合計"_qs);
        EXPECT_EQ(CellFormula(s, QStringLiteral("E%1").arg(total)), QStringLiteral("=SUM(E6:E%1)").arg(last));
        EXPECT_EQ(CellFormula(s, QStringLiteral("G%1").arg(total)),
                  QStringLiteral("=N(G5)+(E%1-F%1)*$B$1").arg(total));

        const QString sheetPart = s.PartName();
        QStringList merges;
        for (pugi::xml_node merge : package.Xml(sheetPart).child("worksheet").child("mergeCells").children())
            merges << QString::fromUtf8(merge.attribute("ref").value());
        EXPECT_EQ(merges, (QStringList{u"A2:G2"_qs, QStringLiteral("A%1:D%1").arg(total)}));
        QStringList printNames;
        for (pugi::xml_node name : names.children("definedName")) {
            if (name.attribute("localSheetId").as_int() == division)
                printNames << QString::fromUtf8(name.attribute("name").value()) + u'=' +
                                  QString::fromUtf8(name.text().get());
        }
        const QString quoted = u'\'' + s.Name() + u"'!"_qs;
        printNames.sort();
        EXPECT_EQ(printNames,
                  (QStringList{u"_xlnm.Print_Area="_qs + quoted + QStringLiteral("$A$1:$G$%1").arg(total),
                               u"_xlnm.Print_Titles="_qs + quoted + u"$4:$4"_qs}));
    }
}

}  // namespace

// The window that started the listing hears of each division's sheet as it is
// written and of the saving, with the hourglass around the whole run.
TEST_F(SyusiMeisaiTest, TellsEachDivisionAndTheSavingAsTheyStart) {
    AddDivision(2, u"祭礼会計"_qs);
    struct Recorder : IReportProgress {
        QStringList told;
        void Busy(bool on) override { told << (on ? u"busy"_qs : u"done"_qs); }
        void Step(const QString& text, int done, int total) override {
            told << u"%1 %2/%3"_qs.arg(text).arg(done).arg(total);
        }
    } progress;
    TExlSyusiMeisaiModule report;
    report.SetProgress(&progress);
    Run(report);
    EXPECT_EQ(progress.told, (QStringList{u"busy"_qs, u"「一般会計」を作成しています。 0/3"_qs,
                                          u"「祭礼会計」を作成しています。 1/3"_qs,
                                          u"ブックを保存しています。 2/3"_qs, u"done"_qs}));
}
