#include "core/Errors.h"
#include "sheet/Application.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/sheet/BookFixture.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <pugixml.hpp>

using namespace sheet;

namespace {

pugi::xml_document ParsePart(const QString& book, const QString& part) {
    pugi::xml_document doc;
    const QByteArray bytes = ReadPart(book, part);
    doc.load_buffer(bytes.constData(), size_t(bytes.size()));
    return doc;
}

QString DefinedName(const pugi::xml_document& workbook, const char* name, const char* localSheetId) {
    for (pugi::xml_node node : workbook.child("workbook").child("definedNames").children("definedName")) {
        if (std::strcmp(node.attribute("name").value(), name) != 0)
            continue;
        if (std::strcmp(node.attribute("localSheetId").value(), localSheetId) != 0)
            continue;
        return QString::fromUtf8(node.text().get());
    }
    return QStringLiteral("<none>");
}

QString Formula(Worksheet& sheet, const char16_t* address) {
    return sheet.Range(QString::fromUtf16(address)).Formula().toString();
}

class BookTest : public ::testing::Test {
  protected:
    void SetUp() override {
        WritePackage(templatePath, TemplateParts());
        book = &app.Workbooks().Add(templatePath);
    }
    Worksheet& Sheet1() { return book->Sheets().Item(1); }

    TempFolder folder;
    QString templatePath = folder.File(QStringLiteral("template.xltx"));
    Application app;
    Workbook* book = nullptr;
};

TEST_F(BookTest, ReadsCellsAndExpandsSharedFormulas) {
    Worksheet& s = Sheet1();
    EXPECT_EQ(s.Range(u"A1"_qs).Value(), QVariant(u"Title"_qs));
    EXPECT_EQ(s.Range(u"A10"_qs).Value(), QVariant(u" 合計 "_qs));
    EXPECT_EQ(s.Cells(6, 1).Value(), QVariant(1.0));
    EXPECT_EQ(Formula(s, u"B7"), u"=A7*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"B8"), u"=A8*2+$A$1"_qs);
    EXPECT_EQ(s.Range(u"A6"_qs, u"B6"_qs).Formula(),
              QVariant(QVariantList{QVariantList{u"1"_qs, u"=A6*2"_qs}}));
    EXPECT_EQ(s.Cells(12, 3).Address(), u"C12"_qs);
    EXPECT_EQ(s.Range(u"B8:C9"_qs).EntireRow().Address(), u"8:9"_qs);

    EXPECT_EQ(book->Sheets().Count(), 2);
    EXPECT_EQ(book->Sheets().Item(u"data"_qs).Index(), 2);
    EXPECT_THROW(book->Sheets().Item(u"Missing"_qs), EAppError);
    EXPECT_THROW(book->Sheets().Item(3), EAppError);
    EXPECT_THROW(s.Range(u"A0"_qs), EAppError);
}

// The detail-row extension of the reports: insert below the second template
// row, copy that row, paste it into the inserted rows.
TEST_F(BookTest, ExtendingDetailRowsGrowsTotalsAndMovesWhatLiesBelow) {
    Worksheet& s = Sheet1();
    s.Select();
    s.Range(u"A8"_qs, u"A9"_qs).EntireRow().Insert(xlShiftDown);
    s.Range(u"A7"_qs, u"A7"_qs).EntireRow().Copy();
    s.Range(u"A8"_qs, u"A9"_qs).EntireRow().Select();
    s.Paste();

    EXPECT_EQ(Formula(s, u"A11"), u"=SUM(A6:A10)"_qs);
    EXPECT_EQ(Formula(s, u"B8"), u"=A8*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"B9"), u"=A9*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"B10"), u"=A10*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"C9"), u"=SUM($A$6:A9)"_qs);
    EXPECT_EQ(s.Range(u"A9"_qs).Value(), QVariant(2.0));
    EXPECT_EQ(s.Range(u"A10"_qs).Value(), QVariant(3.0));
    EXPECT_EQ(Formula(s, u"B12"), u"=Data!A1"_qs);
    EXPECT_EQ(Formula(book->Sheets().Item(2), u"A2"), u"=SUM(Sheet1!A6:A10)+A1"_qs);

    const QString saved = folder.File(u"out.xlsx"_qs);
    book->SaveAs(saved);
    const pugi::xml_document sheet = ParsePart(saved, u"xl/worksheets/sheet1.xml"_qs);
    const pugi::xml_node root = sheet.child("worksheet");
    const pugi::xml_node row9 = root.child("sheetData").find_child_by_attribute("row", "r", "9");
    EXPECT_STREQ(row9.attribute("ht").value(), "20");
    EXPECT_STREQ(row9.find_child_by_attribute("c", "r", "A9").attribute("s").value(), "1");
    EXPECT_STREQ(root.child("mergeCells").child("mergeCell").attribute("ref").value(), "A12:C12");
    EXPECT_STREQ(root.child("conditionalFormatting").attribute("sqref").value(), "A6:A10");
    EXPECT_STREQ(root.child("dataValidations").child("dataValidation").attribute("sqref").value(), "C6:C10");
    EXPECT_STREQ(root.child("rowBreaks").child("brk").attribute("id").value(), "11");
    EXPECT_STREQ(root.child("dimension").attribute("ref").value(), "A1:C12");
    const pugi::xml_document workbook = ParsePart(saved, u"xl/workbook.xml"_qs);
    EXPECT_EQ(DefinedName(workbook, "_xlnm.Print_Area", "0"), u"Sheet1!$A$1:$H$22"_qs);
    EXPECT_EQ(DefinedName(workbook, "Total", ""), u"Sheet1!$A$11"_qs);
}

// Page breaks added above rows stay in row order, once each, and move with their rows.
TEST_F(BookTest, AddedPageBreaksMoveWithTheirRows) {
    Worksheet& s = Sheet1();
    s.AddPageBreakBefore(20);
    s.AddPageBreakBefore(5);
    s.AddPageBreakBefore(20);
    s.AddPageBreakBefore(1);  // nothing lies above row 1
    s.Range(u"A6:A7"_qs).EntireRow().Insert(xlShiftDown);
    const QString saved = folder.File(u"out.xlsx"_qs);
    book->SaveAs(saved);
    const pugi::xml_document sheet = ParsePart(saved, u"xl/worksheets/sheet1.xml"_qs);
    const pugi::xml_node breaks = sheet.child("worksheet").child("rowBreaks");
    std::vector<int> ids;
    for (pugi::xml_node brk : breaks.children("brk"))
        ids.push_back(brk.attribute("id").as_int());
    EXPECT_EQ(ids, (std::vector<int>{4, 11, 21}));
    EXPECT_STREQ(breaks.attribute("count").value(), "3");
}

TEST_F(BookTest, PasteRepeatsTheCopiedBlockAndMovesRelativeReferences) {
    Worksheet& s = Sheet1();
    s.Range(u"A6:A7"_qs).EntireRow().Copy();
    s.Range(u"A20:A25"_qs).EntireRow().Select();
    s.Paste();
    EXPECT_EQ(Formula(s, u"B20"), u"=A20*2"_qs);
    EXPECT_EQ(Formula(s, u"B21"), u"=A21*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"C23"), u"=SUM($A$6:A23)"_qs);
    EXPECT_EQ(Formula(s, u"B24"), u"=A24*2"_qs);
    EXPECT_EQ(s.Range(u"A25"_qs).Value(), QVariant(2.0));

    // A selection that is no multiple of the block takes it once.
    s.Range(u"A6"_qs).EntireRow().Copy();
    s.Range(u"A6"_qs).EntireRow().Copy();
    s.Range(u"A7:A8"_qs).EntireRow().Copy();
    s.Range(u"A30:A32"_qs).EntireRow().Select();
    s.Paste();
    EXPECT_EQ(s.Range(u"A31"_qs).Value(), QVariant(3.0));
    EXPECT_EQ(s.Range(u"A32"_qs).Value(), QVariant());

    // Merged cells travel with their rows.
    s.Range(u"A10"_qs).EntireRow().Copy();
    s.Range(u"A40"_qs).EntireRow().Select();
    s.Paste();
    EXPECT_EQ(s.Range(u"A40"_qs).Value(), QVariant(u" 合計 "_qs));
    const pugi::xml_node merges =
        book->Parts().Xml(u"xl/worksheets/sheet1.xml"_qs).child("worksheet").child("mergeCells");
    EXPECT_TRUE(merges.find_child_by_attribute("mergeCell", "ref", "A10:C10"));
    EXPECT_TRUE(merges.find_child_by_attribute("mergeCell", "ref", "A40:C40"));
}

TEST_F(BookTest, InsertWhileRowsAreCopiedInsertsCopies) {
    Worksheet& s = Sheet1();
    s.Range(u"A7"_qs).EntireRow().Copy();
    s.Range(u"A9:A10"_qs).EntireRow().Insert();
    EXPECT_EQ(Formula(s, u"B9"), u"=A9*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"B10"), u"=A10*2+$A$1"_qs);
    EXPECT_EQ(Formula(s, u"A11"), u"=SUM(A6:A8)"_qs);

    // Writing a cell ends the copy: the next insertion gives empty rows formatted as the row above.
    s.Range(u"D1"_qs).SetValue(1);
    s.Range(u"A8"_qs).EntireRow().Insert();
    EXPECT_EQ(s.Range(u"B8"_qs).Formula(), QVariant(QString()));
    EXPECT_EQ(s.CellStyle(8, 1), 1);
}

TEST_F(BookTest, CopiedAndRenamedSheetKeepsItsPrintArea) {
    Worksheet& copy = Sheet1().Copy(book->Sheets().Item(2));
    EXPECT_EQ(copy.Name(), u"Sheet1 (2)"_qs);
    EXPECT_EQ(copy.Index(), 3);
    copy.SetName(u"一般会計"_qs);
    Worksheet& second = Sheet1().Copy(Sheet1());  // between Sheet1 and Data
    second.SetName(u"特別会計"_qs);
    second.Range(u"A6"_qs).SetValue(100);
    EXPECT_EQ(Sheet1().Range(u"A6"_qs).Value(), QVariant(1.0));
    EXPECT_EQ(book->Sheets().Item(4).Name(), u"一般会計"_qs);

    const QString saved = folder.File(u"copies.xlsx"_qs);
    book->SaveAs(saved);
    const pugi::xml_document workbook = ParsePart(saved, u"xl/workbook.xml"_qs);
    EXPECT_EQ(DefinedName(workbook, "_xlnm.Print_Area", "0"), u"Sheet1!$A$1:$H$20"_qs);
    EXPECT_EQ(DefinedName(workbook, "_xlnm.Print_Area", "1"), u"'特別会計'!$A$1:$H$20"_qs);
    EXPECT_EQ(DefinedName(workbook, "_xlnm.Print_Area", "3"), u"'一般会計'!$A$1:$H$20"_qs);
    std::vector<std::string> ids;
    for (pugi::xml_node entry : workbook.child("workbook").child("sheets").children("sheet")) {
        ids.emplace_back(entry.attribute("sheetId").value());
    }
    EXPECT_EQ(ids, (std::vector<std::string>{"1", "4", "2", "3"}));

    Workbook& reopened = app.Workbooks().Open(saved);
    ASSERT_EQ(reopened.Sheets().Count(), 4);
    Worksheet& general = reopened.Sheets().Item(u"一般会計"_qs);
    EXPECT_EQ(Formula(general, u"A9"), u"=SUM(A6:A8)"_qs);
    EXPECT_EQ(reopened.Sheets().Item(2).Range(u"A6"_qs).Value(), QVariant(100.0));
    const pugi::xml_document copyPart = ParsePart(saved, general.PartName());
    EXPECT_FALSE(copyPart.child("worksheet").child("sheetViews").child("sheetView").attribute("tabSelected"));
}

TEST_F(BookTest, RefusesSheetNamesTheApplicationRefuses) {
    const QString refused[] = {QString(), QString(32, u'x'), u"a/b"_qs, u"a\\b"_qs,    u"a[1]"_qs, u"a:b"_qs,
                               u"a*b"_qs, u"a?b"_qs,         u"'ab"_qs, u"History"_qs, u"DATA"_qs};
    for (const QString& name : refused) {
        SCOPED_TRACE(name.toStdString());
        try {
            Sheet1().SetName(name);
            ADD_FAILURE() << "accepted";
        } catch (const EAppError& e) {
            EXPECT_TRUE(e.Message().contains(name)) << e.what();
        }
        EXPECT_EQ(Sheet1().Name(), u"Sheet1"_qs);
    }
    Sheet1().SetName(QString(31, u'会'));
    EXPECT_EQ(Formula(book->Sheets().Item(2), u"A2"), u"=SUM('"_qs + QString(31, u'会') + u"'!A6:A8)+A1"_qs);
}

TEST_F(BookTest, SavedBookOpensAgainWithTheSameCells) {
    Worksheet& s = Sheet1();
    s.Range(u"B1"_qs).SetValue(u"収支明細書"_qs);
    s.Range(u"C1"_qs).SetValue(u"=A6+1"_qs);
    s.Range(u"D1"_qs).SetValue(u"0415"_qs);
    s.Range(u"A1"_qs).SetValue(QVariant());
    s.Range(u"A20"_qs, u"C21"_qs)
        .SetFormula(QVariantList{QVariantList{u"2021/ 4/ 1"_qs, 1200, u"=SUM(B20:B21)"_qs},
                                 QVariantList{QString(), -5.5, u" 会費 "_qs}});
    s.Range(u"A21"_qs).EntireRow().SetHidden(true);
    const QVariant before = s.Range(u"A1:D21"_qs).Formula();

    const QString saved = folder.File(u"book.xlsx"_qs);
    book->SaveAs(saved);
    Worksheet& again = app.Workbooks().Open(saved).Sheets().Item(1);
    EXPECT_EQ(again.Range(u"A1:D21"_qs).Formula(), before);
    EXPECT_EQ(again.Range(u"D1"_qs).Value(), QVariant(415.0));
    EXPECT_EQ(again.Range(u"C21"_qs).Value(), QVariant(u" 会費 "_qs));
    EXPECT_EQ(again.Range(u"A1"_qs).Value(), QVariant());
    EXPECT_TRUE(again.Range(u"A21"_qs).EntireRow().Hidden());

    // The package asks for a full calculation and holds no cached results.
    const QByteArray types = ReadPart(saved, u"[Content_Types].xml"_qs);
    EXPECT_TRUE(
        types.contains("/xl/workbook.xml\" ContentType=\"application/vnd.openxmlformats-officedocument."
                       "spreadsheetml.sheet.main+xml\""));
    EXPECT_FALSE(types.contains("calcChain"));
    EXPECT_FALSE(ReadPart(saved, u"xl/_rels/workbook.xml.rels"_qs).contains("calcChain"));
    EXPECT_TRUE(ReadPart(saved, u"xl/calcChain.xml"_qs).isEmpty());
    EXPECT_STREQ(ParsePart(saved, u"xl/workbook.xml"_qs)
                     .child("workbook")
                     .child("calcPr")
                     .attribute("fullCalcOnLoad")
                     .value(),
                 "1");
    for (const char* part : {"xl/worksheets/sheet1.xml", "xl/worksheets/sheet2.xml"}) {
        const pugi::xml_document doc = ParsePart(saved, QString::fromUtf8(part));
        for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
            for (pugi::xml_node cell : row.children("c")) {
                if (cell.child("f")) {
                    EXPECT_FALSE(cell.child("v") || cell.attribute("t"))
                        << part << cell.attribute("r").value();
                }
            }
        }
    }
    EXPECT_EQ(ReadPart(saved, u"customXml/item1.xml"_qs), TemplateParts()[u"customXml/item1.xml"_qs]);

    // Children in schema order.
    std::vector<std::string> children;
    const pugi::xml_document sheetPart = ParsePart(saved, u"xl/worksheets/sheet1.xml"_qs);
    for (pugi::xml_node child : sheetPart.child("worksheet").children()) {
        children.emplace_back(child.name());
    }
    EXPECT_EQ(children, (std::vector<std::string>{"dimension", "sheetViews", "sheetData", "mergeCells",
                                                  "conditionalFormatting", "dataValidations", "pageMargins",
                                                  "rowBreaks"}));

    // Saved as a template it stays one.
    const QString asTemplate = folder.File(u"again.xltx"_qs);
    book->SaveAs(asTemplate);
    EXPECT_TRUE(ReadPart(asTemplate, u"[Content_Types].xml"_qs).contains("spreadsheetml.template.main+xml"));
}

TEST_F(BookTest, FormattingDerivesNewFormatsAndReusesEqualOnes) {
    Worksheet& s = Sheet1();
    pugi::xml_node styles = book->Parts().Xml(u"xl/styles.xml"_qs).child("styleSheet");
    auto xf = [&](int row, int col) {
        int i = s.CellStyle(row, col);
        pugi::xml_node node = styles.child("cellXfs").first_child();
        while (i-- > 0)
            node = node.next_sibling();
        return node;
    };
    auto border = [&](int row, int col) {
        int i = xf(row, col).attribute("borderId").as_int();
        pugi::xml_node node = styles.child("borders").first_child();
        while (i-- > 0)
            node = node.next_sibling();
        return node;
    };

    s.Range(u"A6:C6"_qs).SetHorizontalAlignment(xlCenter);
    EXPECT_STREQ(xf(6, 3).child("alignment").attribute("horizontal").value(), "center");
    EXPECT_EQ(s.CellStyle(6, 1), s.CellStyle(6, 3));
    const auto count = styles.child("cellXfs").attribute("count").as_int();
    s.Range(u"A6:C6"_qs).SetHorizontalAlignment(xlCenter);
    EXPECT_EQ(styles.child("cellXfs").attribute("count").as_int(), count);

    s.Range(u"A7"_qs).Font().SetName(u"IPAGothic"_qs);
    EXPECT_EQ(s.Range(u"A7"_qs).Font().Name(), u"IPAGothic"_qs);
    EXPECT_EQ(s.Range(u"A6"_qs).Font().Name(), u"Calibri"_qs);
    EXPECT_STREQ(xf(7, 1).attribute("numFmtId").value(), "3");  // the rest of the format stays

    // Inside vertical lines go; the outer edges of the range stay.
    s.Range(u"A7:C7"_qs).SetHorizontalAlignment(xlGeneral);
    for (int col = 1; col <= 3; ++col)
        s.Cells(7, col).Borders(xlInsideVertical).SetLineStyle(xlNone);  // no-op per cell
    EXPECT_STREQ(border(7, 1).child("right").attribute("style").value(), "thin");
    s.Range(u"A7:B7"_qs).Borders(xlInsideVertical).SetLineStyle(xlLineStyleNone);
    EXPECT_STREQ(border(7, 1).child("left").attribute("style").value(), "thin");
    EXPECT_FALSE(border(7, 1).child("right").attribute("style"));
    EXPECT_THROW(s.Range(u"A7"_qs).Borders(7).SetLineStyle(xlNone), EAppError);

    s.Range(u"A8"_qs).SetShrinkToFit(true);
    EXPECT_STREQ(xf(8, 1).child("alignment").attribute("shrinkToFit").value(), "1");
    s.Range(u"A8"_qs).SetShrinkToFit(false);
    EXPECT_FALSE(xf(8, 1).child("alignment").attribute("shrinkToFit"));
}

TEST(Workbooks, MissingOrDamagedFilesRaiseErrors) {
    TempFolder folder;
    Application app;
    EXPECT_THROW(app.Workbooks().Open(folder.File(u"missing.xlsx"_qs)), EAppError);
    WriteFile(folder.File(u"broken.xlsx"_qs), "not a zip file");
    EXPECT_THROW(app.Workbooks().Add(folder.File(u"broken.xlsx"_qs)), EAppError);
    EXPECT_EQ(app.Workbooks().Count(), 0);
    EXPECT_THROW(app.SetCalculation(0), EAppError);
    app.SetCalculation(xlCalculationManual);
    EXPECT_EQ(app.Calculation(), xlCalculationManual);
}

}  // namespace
