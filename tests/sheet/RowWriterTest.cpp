// The row writer against the object model it stands in for: detail rows
// streamed into a template sheet must read back exactly as rows inserted,
// copied, pasted and filled cell by cell; and the rules that keep streamed
// rows from going stale.

#include "core/Errors.h"
#include "sheet/Application.h"
#include "sheet/RowWriter.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/sheet/BookFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <pugixml.hpp>

using namespace sheet;

// Readable texts in failure messages.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QVariant& value, std::ostream* os) {
    *os << value.typeName() << ' ' << value.toString().toStdString();
}
QT_END_NAMESPACE

namespace {

// Everything of a saved book that the detail rows touch, as comparable text.
struct Snapshot {
    QStringList cells;       // address, style and formula or value of every cell of Sheet1
    QStringList rows;        // row attributes of Sheet1
    QStringList sheetParts;  // merges, conditional formats, validations, breaks, dimension
    QStringList names;       // defined names
    QString dataFormula;     // Data!A2, which refers to Sheet1's detail rows
};

Snapshot Read(const QString& path, int lastRow) {
    Snapshot snap;
    Application app;
    Workbook& book = app.Workbooks().Open(path);
    Worksheet& s = book.Sheets().Item(1);
    for (int row = 1; row <= lastRow; ++row) {
        for (int col = 1; col <= 4; ++col) {
            snap.cells << QStringLiteral("%1 s%2 %3")
                              .arg(s.Cells(row, col).Address())
                              .arg(s.CellStyle(row, col))
                              .arg(s.Cells(row, col).Formula().toString());
        }
    }
    snap.dataFormula = book.Sheets().Item(2).Range(u"A2"_qs).Formula().toString();

    pugi::xml_document sheet;
    const QByteArray bytes = ReadPart(path, u"xl/worksheets/sheet1.xml"_qs);
    EXPECT_TRUE(sheet.load_buffer(bytes.constData(), size_t(bytes.size())));
    const pugi::xml_node root = sheet.child("worksheet");
    for (pugi::xml_node row : root.child("sheetData").children("row")) {
        QString attributes;
        for (pugi::xml_attribute a : row.attributes())
            attributes +=
                QStringLiteral("%1=%2 ").arg(QString::fromUtf8(a.name()), QString::fromUtf8(a.value()));
        snap.rows << attributes;
    }
    for (pugi::xml_node merge : root.child("mergeCells").children("mergeCell"))
        snap.sheetParts << u"merge "_qs + QString::fromUtf8(merge.attribute("ref").value());
    snap.sheetParts << u"cf "_qs +
                           QString::fromUtf8(root.child("conditionalFormatting").attribute("sqref").value());
    snap.sheetParts
        << u"dv "_qs + QString::fromUtf8(
                           root.child("dataValidations").child("dataValidation").attribute("sqref").value());
    snap.sheetParts << u"brk "_qs +
                           QString::fromUtf8(root.child("rowBreaks").child("brk").attribute("id").value());
    snap.sheetParts << u"dim "_qs + QString::fromUtf8(root.child("dimension").attribute("ref").value());

    pugi::xml_document workbook;
    const QByteArray wb = ReadPart(path, u"xl/workbook.xml"_qs);
    workbook.load_buffer(wb.constData(), size_t(wb.size()));
    for (pugi::xml_node name : workbook.child("workbook").child("definedNames").children("definedName"))
        snap.names << QString::fromUtf8(name.attribute("name").value()) + u'=' +
                          QString::fromUtf8(name.text().get());
    return snap;
}

class RowWriterTest : public ::testing::Test {
  protected:
    void SetUp() override { WritePackage(templatePath, TemplateParts()); }

    TempFolder folder;
    QString templatePath = folder.File(QStringLiteral("template.xltx"));
};

// The template's detail rows are 6-8 (row 7 repeated); column A takes values.
TEST_F(RowWriterTest, StreamedRowsReadBackAsTheObjectModelMakesThem) {
    for (const int n : {1, 2, 3, 4, 7}) {
        SCOPED_TRACE(n);
        const QString modelPath = folder.File(QStringLiteral("model%1.xlsx").arg(n));
        const QString streamPath = folder.File(QStringLiteral("stream%1.xlsx").arg(n));
        {
            Application app;
            Worksheet& s = app.Workbooks().Add(templatePath).Sheets().Item(1);
            if (n > 3) {
                const QString a3 = s.Cells(8, 1).Address(), a4 = s.Cells(n + 4, 1).Address();
                s.Select();
                s.Range(a3, a4).EntireRow().Insert(xlShiftDown);
                s.Range(u"A7"_qs, u"A7"_qs).EntireRow().Copy();
                s.Range(a3, a4).EntireRow().Select();
                s.Paste();
            }
            QVariantList values;
            for (int i = 0; i < n; ++i)
                values << QVariant(QVariantList{10 * (i + 1)});
            s.Range(u"A6"_qs, s.Cells(5 + n, 1).Address()).SetFormula(values);
            s.Parent().SaveAs(modelPath);
        }
        {
            Application app;
            Worksheet& s = app.Workbooks().Add(templatePath).Sheets().Item(1);
            RowWriter& rows = s.InsertDetailRows(
                {.firstRow = 6, .templateRows = 3, .repeatFirst = 7, .firstCol = 1, .lastCol = 1}, n);
            for (int i = 0; i < n; ++i) {
                EXPECT_EQ(rows.Row(), 6 + i);
                rows.Integer(1, 10 * (i + 1));
                rows.NextRow();
            }
            rows.Finish();
            s.Parent().SaveAs(streamPath);
        }
        const Snapshot model = Read(modelPath, n + 12);
        const Snapshot stream = Read(streamPath, n + 12);
        EXPECT_EQ(stream.cells, model.cells);
        EXPECT_EQ(stream.rows, model.rows);
        EXPECT_EQ(stream.sheetParts, model.sheetParts);
        EXPECT_EQ(stream.names, model.names);
        EXPECT_EQ(stream.dataFormula, model.dataFormula);
    }
}

TEST_F(RowWriterTest, TextsFormulasAndSeveralAreasOnOneSheet) {
    const QString saved = folder.File(u"out.xlsx"_qs);
    int centred = 0;
    {
        Application app;
        Workbook& book = app.Workbooks().Add(templatePath);
        Worksheet& s = book.Sheets().Item(1);
        // The lower area first, then the upper one, which moves it down by two rows.
        RowWriter& lower = s.InsertDetailRows(
            {.firstRow = 10, .templateRows = 1, .repeatFirst = 10, .firstCol = 1, .lastCol = 2}, 2);
        RowWriter& upper = s.InsertDetailRows({.firstRow = 6,
                                               .templateRows = 3,
                                               .repeatFirst = 7,
                                               .firstCol = 1,
                                               .lastCol = 1,
                                               .sharedStrings = true},
                                              5);
        EXPECT_EQ(lower.Row(), 12);
        s.Range(u"D1"_qs).SetValue(u"head"_qs);
        const QString texts[] = {u" 3/ 4/ 1"_qs, u"A&B <c>"_qs, u"0120"_qs, u"=花代"_qs, u"tab\tend"_qs};
        for (const QString& text : texts) {
            upper.Text(1, text);
            upper.NextRow();
        }
        upper.Finish();
        lower.Text(1, u"下0"_qs);
        lower.Number(2, 0.5);
        lower.NextRow();
        lower.Text(1, u"下1"_qs);
        lower.Formula(2, QStringLiteral("=A%1&\"!\"").arg(lower.Row()));
        // One line formatted apart from its template row.
        centred = book.StyleSheet().WithHorizontalAlignment(s.CellStyle(12, 1), "center");
        lower.Style(1, centred);
        lower.NextRow();
        lower.Finish();
        book.SaveAs(saved);
    }
    Application app;
    Worksheet& s = app.Workbooks().Open(saved).Sheets().Item(1);
    EXPECT_EQ(s.Range(u"A6"_qs).Value(), QVariant(u" 3/ 4/ 1"_qs));
    EXPECT_EQ(s.Range(u"A7"_qs).Value(), QVariant(u"A&B <c>"_qs));
    EXPECT_EQ(s.Range(u"A8"_qs).Value(), QVariant(u"0120"_qs));
    EXPECT_EQ(s.Range(u"A9"_qs).Formula(), QVariant(u"=花代"_qs));
    EXPECT_EQ(s.Range(u"A10"_qs).Value(), QVariant(u"tab\tend"_qs));
    // Columns outside the area keep the template's cells, moved on the copies.
    EXPECT_EQ(s.Range(u"B9"_qs).Formula(), QVariant(u"=A9*2+$A$1"_qs));
    EXPECT_EQ(s.Range(u"C9"_qs).Formula(), QVariant(u"=SUM($A$6:A9)"_qs));
    EXPECT_EQ(s.Range(u"A11"_qs).Formula(), QVariant(u"=SUM(A6:A10)"_qs));
    EXPECT_EQ(s.Range(u"A12"_qs).Value(), QVariant(u"下0"_qs));
    EXPECT_EQ(s.Range(u"B12"_qs).Value(), QVariant(0.5));
    EXPECT_EQ(s.Range(u"B13"_qs).Formula(), QVariant(u"=A13&\"!\""_qs));
    EXPECT_EQ(s.CellStyle(13, 1), centred);
    EXPECT_NE(s.CellStyle(12, 1), centred);
    EXPECT_EQ(s.Range(u"D1"_qs).Value(), QVariant(u"head"_qs));
}

// Each broken rule is refused before anything changes.
TEST_F(RowWriterTest, RefusesWhatWouldLeaveWrittenRowsStale) {
    const DetailLayout area{.firstRow = 6, .templateRows = 3, .repeatFirst = 7, .firstCol = 1, .lastCol = 1};
    struct Case {
        const char* what;
        std::function<void(Workbook&, Worksheet&)> act;
    };
    auto written = [&](Worksheet& s, int n) -> RowWriter& {
        RowWriter& rows = s.InsertDetailRows(area, n);
        for (int i = 0; i < n; ++i)
            rows.NextRow();
        rows.Finish();
        return rows;
    };
    const Case cases[] = {
        {"more rows than inserted",
         [&](Workbook&, Worksheet& s) {
             RowWriter& rows = s.InsertDetailRows(area, 1);
             rows.NextRow();
             rows.NextRow();
         }},
        {"fewer rows than inserted",
         [&](Workbook&, Worksheet& s) {
             RowWriter& rows = s.InsertDetailRows(area, 4);
             rows.NextRow();
             rows.Finish();
         }},
        {"saving before the rows are written",
         [&](Workbook& b, Worksheet& s) {
             s.InsertDetailRows(area, 4);
             b.SaveAs(folder.File(u"unfinished.xlsx"_qs));
         }},
        {"a column outside the area",
         [&](Workbook&, Worksheet& s) { s.InsertDetailRows(area, 4).Text(2, u"x"_qs); }},
        {"writing into written rows",
         [&](Workbook&, Worksheet& s) {
             written(s, 5);
             s.Range(u"A8"_qs).SetValue(1);
         }},
        {"reading written rows",
         [&](Workbook&, Worksheet& s) {
             written(s, 5);
             (void)s.Range(u"A7"_qs).Value();
         }},
        {"writing into rows still to be made",
         [&](Workbook&, Worksheet& s) {
             s.InsertDetailRows(area, 5);
             s.Range(u"A9"_qs).SetValue(1);
         }},
        {"inserting rows above written rows",
         [&](Workbook&, Worksheet& s) {
             written(s, 5);
             s.Range(u"A2"_qs).EntireRow().Insert();
         }},
        {"inserting rows in the middle of an area",
         [&](Workbook&, Worksheet& s) {
             s.InsertDetailRows(area, 5);
             s.Range(u"A8"_qs).EntireRow().Insert();
         }},
        {"inserting rows a written formula refers to",
         [&](Workbook& b, Worksheet& s) {
             RowWriter& rows = s.InsertDetailRows(area, 1);
             rows.Formula(1, u"=Data!A5"_qs);
             rows.NextRow();
             rows.Finish();
             b.Sheets().Item(2).Range(u"A3"_qs).EntireRow().Insert();
         }},
        {"renaming a sheet a written formula names",
         [&](Workbook& b, Worksheet& s) {
             RowWriter& rows = s.InsertDetailRows(area, 1);
             rows.Formula(1, u"=Data!A5"_qs);
             rows.NextRow();
             rows.Finish();
             b.Sheets().Item(2).SetName(u"Other"_qs);
         }},
        {"copying a sheet with detail rows",
         [&](Workbook&, Worksheet& s) {
             written(s, 2);
             s.Copy(s);
         }},
        {"copying rows of an area",
         [&](Workbook&, Worksheet& s) {
             s.InsertDetailRows(area, 2);
             s.Range(u"A6"_qs).EntireRow().Copy();
         }},
        {"a repeat that does not divide the rows",
         [&](Workbook&, Worksheet& s) {
             s.InsertDetailRows(
                 {.firstRow = 5, .templateRows = 4, .repeatFirst = 7, .repeatRows = 2, .lastCol = 1}, 5);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Application app;
        Workbook& book = app.Workbooks().Add(templatePath);
        EXPECT_THROW(c.act(book, book.Sheets().Item(1)), EAppError);
    }
    // What stays allowed: rows inserted below everything written rows reach.
    Application app;
    Workbook& book = app.Workbooks().Add(templatePath);
    Worksheet& s = book.Sheets().Item(1);
    written(s, 5);
    s.Range(u"A12"_qs).EntireRow().Insert();
    book.Sheets().Item(2).Range(u"A1"_qs).EntireRow().Insert();
    EXPECT_EQ(book.Sheets().Item(2).Range(u"A3"_qs).Formula(), QVariant(u"=SUM(Sheet1!A6:A10)+A2"_qs));
}

}  // namespace
