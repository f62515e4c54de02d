#include "core/Errors.h"
#include "sheet/Application.h"
#include "sheet/Chart.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Package.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/sheet/BookFixture.h"
#include "tests/support/LibreOffice.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QFileInfo>

using namespace sheet;

namespace {

class ChartTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WritePackage(templatePath, TemplateParts());
        book = &app.Workbooks().Add(templatePath);
    }

    // A small table on a new sheet: labels in A2:A4, budget in B, actual in C
    // (one actual read from another sheet by a formula).
    Worksheet& TableSheet() {
        Worksheet& s = book->AddSheet(u"グラフ"_qs);
        s.Cells(1, 1).SetValue(u"科目"_qs);
        s.Cells(1, 2).SetValue(u"予算額"_qs);
        s.Cells(1, 3).SetValue(u"決算額"_qs);
        const char16_t* labels[] = {u"会費", u"事業費", u"雑費"};
        const double budget[] = {120000, 80000, 5000};
        for (int i = 0; i < 3; ++i) {
            s.Cells(2 + i, 1).SetValue(QString::fromUtf16(labels[i]));
            s.Cells(2 + i, 2).SetValue(budget[i]);
        }
        s.Cells(2, 3).SetValue(110000.0);
        s.Cells(3, 3).SetValue(u"=Sheet1!A6*1000"_qs);
        s.Cells(4, 3).SetValue(4200.0);
        return s;
    }

    TempFolder folder;
    QString templatePath = folder.File(QStringLiteral("template.xltx"));
    Application app;
    Workbook* book = nullptr;
};

const Area kLabels{2, 1, 4, 1};
const Area kBudget{2, 2, 4, 2};
const Area kActual{2, 3, 4, 3};

// Every relationship of every part leads to a part that exists and has a content type.
void ExpectRelationshipsWhole(Package& package) {
    for (const QString& part : package.PartNames()) {
        if (!part.endsWith(u".rels"))
            continue;
        QString source = part;
        source.remove(QStringLiteral("_rels/"));
        source.chop(5);
        for (const Relationship& rel : ReadRelationships(package, source)) {
            if (rel.external)
                continue;
            const QString target = ResolveTarget(source, rel.target);
            SCOPED_TRACE((part + QStringLiteral(" -> ") + target).toStdString());
            EXPECT_TRUE(package.Has(target));
            EXPECT_FALSE(ContentTypeOf(package, target).isEmpty());
        }
    }
}

// The cells a chart's reference names, as the saved book holds them (values,
// or the formula where a cell has one).
QStringList CellsOf(Workbook& saved, const QString& reference) {
    const qsizetype bang = reference.lastIndexOf(u'!');
    QString sheetName = reference.left(bang);
    if (sheetName.startsWith(u'\''))
        sheetName = sheetName.mid(1).chopped(1).replace(QStringLiteral("''"), QStringLiteral("'"));
    const std::optional<Area> area = ParseArea(reference.mid(bang + 1).remove(u'$'));
    EXPECT_TRUE(area.has_value()) << reference.toStdString();
    QStringList cells;
    if (!area)
        return cells;
    Worksheet& s = saved.Sheets().Item(sheetName);
    for (int row = area->row1; row <= area->row2; ++row) {
        for (int col = area->col1; col <= area->col2; ++col) {
            const QString formula = s.CellFormula(row, col);
            cells << (formula.isEmpty() ? s.CellValue(row, col).toString() : formula);
        }
    }
    return cells;
}

}  // namespace

TEST_F(ChartTest, ChartsReadBackWholeWithSeriesOnTheirCells) {
    Worksheet& s = TableSheet();
    AddChart(s, {ChartKind::Bar,
                 u"予算と決算"_qs,
                 {{u"予算額"_qs, {}, kLabels, kBudget}, {u"決算額"_qs, {}, kLabels, kActual}},
                 u"#,##0\"円\""_qs,
                 {6, 1, 25, 8}});
    AddChart(s, {ChartKind::Pie,
                 u"支出の内訳"_qs,
                 {{u"決算額"_qs, {}, kLabels, kActual}},
                 u"#,##0\"円\""_qs,
                 {27, 1, 46, 8}});
    AddChart(s, {ChartKind::Line,
                 u"月末残高"_qs,
                 {{u"残高"_qs, u"グラフ"_qs, kLabels, kBudget}},
                 u"#,##0\"円\""_qs,
                 {48, 1, 67, 8}});
    book->SetPrintArea(s, {1, 1, 67, 8});
    const QString out = folder.File(QStringLiteral("charts.xlsx"));
    book->SaveAs(out);

    Package package = Package::Load(out);
    ExpectRelationshipsWhole(package);
    const QString drawing = QStringLiteral("xl/drawings/drawing1.xml");
    ASSERT_TRUE(package.Has(drawing));
    EXPECT_EQ(package.Xml(drawing).document_element().select_nodes("*[local-name()='twoCellAnchor']").size(),
              3u);

    Workbook& saved = app.Workbooks().Open(out);
    const QStringList labels{u"会費"_qs, u"事業費"_qs, u"雑費"_qs};
    struct Expected {
        const char* part;
        const char* plot;
        QList<QStringList> values;  // per series
    } cases[] = {
        {"xl/charts/chart1.xml",
         "barChart",
         {{u"120000"_qs, u"80000"_qs, u"5000"_qs}, {u"110000"_qs, u"=Sheet1!A6*1000"_qs, u"4200"_qs}}},
        {"xl/charts/chart2.xml", "pieChart", {{u"110000"_qs, u"=Sheet1!A6*1000"_qs, u"4200"_qs}}},
        {"xl/charts/chart3.xml", "lineChart", {{u"120000"_qs, u"80000"_qs, u"5000"_qs}}},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.part);
        pugi::xml_node plotArea =
            package.Xml(QString::fromUtf8(c.part)).child("c:chartSpace").child("c:chart").child("c:plotArea");
        pugi::xml_node plot = plotArea.child((std::string("c:") + c.plot).c_str());
        ASSERT_TRUE(plot);
        int i = 0;
        for (pugi::xml_node ser : plot.children("c:ser")) {
            ASSERT_LT(i, c.values.size());
            EXPECT_EQ(CellsOf(saved, Text(ser.child("c:cat").child("c:strRef").child_value("c:f"))), labels);
            EXPECT_EQ(CellsOf(saved, Text(ser.child("c:val").child("c:numRef").child_value("c:f"))),
                      c.values[i]);
            ++i;
        }
        EXPECT_EQ(i, c.values.size());
    }

    const QString soffice = FindSoffice();
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    const QStringList pdf = ConvertBooksToPdf(soffice, {out}, folder.File(QStringLiteral("lo")));
    // The titles are drawn as text on the chart sheet's page.
    const QString text = PdfText(pdf.value(0));
    for (const char16_t* title : {u"予算と決算", u"支出の内訳", u"月末残高"})
        EXPECT_TRUE(text.contains(QString::fromUtf16(title))) << text.toStdString();
}

TEST_F(ChartTest, RefusesChartsItCannotDrawAndLeavesTheSheetAlone) {
    Worksheet& s = TableSheet();
    const Area shortLabels{2, 1, 3, 1};
    const Area block{2, 2, 3, 3};
    const ChartDefinition refused[] = {
        {ChartKind::Bar, u"系列なし"_qs, {}, {}, {6, 1, 20, 8}},
        {ChartKind::Pie,
         u"二系列の円"_qs,
         {{u"予算額"_qs, {}, kLabels, kBudget}, {u"決算額"_qs, {}, kLabels, kActual}},
         {},
         {6, 1, 20, 8}},
        {ChartKind::Line, u"数が合わない"_qs, {{u"予算額"_qs, {}, shortLabels, kBudget}}, {}, {6, 1, 20, 8}},
        {ChartKind::Bar, u"面の数値"_qs, {{u"予算額"_qs, {}, {2, 1, 5, 1}, block}}, {}, {6, 1, 20, 8}},
    };
    for (const ChartDefinition& def : refused) {
        SCOPED_TRACE(def.title.toStdString());
        EXPECT_THROW(AddChart(s, def), EAppError);
    }
    for (const QString& part : book->Parts().PartNames())
        EXPECT_FALSE(part.startsWith(u"xl/charts/") || part.startsWith(u"xl/drawings/"))
            << part.toStdString();

    EXPECT_THROW(book->AddSheet(u"グラフ"_qs), EAppError);
    EXPECT_THROW(book->AddSheet(u"a/b"_qs), EAppError);
}

// A chart drawn from another sheet keeps pointing at the same cells when rows
// are inserted above them and when that sheet is renamed.
TEST_F(ChartTest, SeriesFollowTheirCellsWhenRowsMoveAndSheetsAreRenamed) {
    Worksheet& s = book->AddSheet(u"グラフ"_qs);
    const Area labels{6, 1, 8, 1};
    const Area figures{6, 2, 8, 2};
    AddChart(s, {ChartKind::Bar,
                 u"明細"_qs,
                 {{u"金額"_qs, u"Sheet1"_qs, labels, figures}},
                 u"#,##0"_qs,
                 {1, 1, 20, 8}});
    pugi::xml_node ser = book->Parts()
                             .Xml(u"xl/charts/chart1.xml"_qs)
                             .child("c:chartSpace")
                             .child("c:chart")
                             .child("c:plotArea")
                             .child("c:barChart")
                             .child("c:ser");
    const auto refs = [&] {
        return QStringList{Text(ser.child("c:cat").child("c:strRef").child_value("c:f")),
                           Text(ser.child("c:val").child("c:numRef").child_value("c:f"))};
    };

    Worksheet& sheet1 = book->Sheets().Item(1);
    sheet1.Range(u"A3:A4"_qs).EntireRow().Insert(xlShiftDown);
    EXPECT_EQ(refs(), (QStringList{ChartReference(u"Sheet1"_qs, {8, 1, 10, 1}),
                                   ChartReference(u"Sheet1"_qs, {8, 2, 10, 2})}));
    // Rows inserted on the chart's own sheet leave references elsewhere alone.
    s.Range(u"A1"_qs).EntireRow().Insert(xlShiftDown);
    sheet1.SetName(u"収支 計算書"_qs);
    EXPECT_EQ(refs(), (QStringList{u"'収支 計算書'!$A$8:$A$10"_qs, u"'収支 計算書'!$B$8:$B$10"_qs}));
}
