#include "sheet/Application.h"
#include "sheet/Package.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/templates/TemplateFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <pugixml.hpp>

using namespace sheet;

namespace {

const QString kJournal = u"収支明細書.xltx"_qs;
const QString kMonthly = u"月別集計表.xltx"_qs;

struct CellFormula {
    const char* cell;
    QString formula;
};

pugi::xml_node SheetRoot(Worksheet& s) {
    return s.Parent().Parts().Xml(s.PartName()).child("worksheet");
}

// Whether the template holds the cell itself (a place prepared for the report),
// not merely a column default.
bool HasCell(Worksheet& s, const QString& address) {
    const QByteArray ref = address.toUtf8();
    for (pugi::xml_node row : SheetRoot(s).child("sheetData").children("row")) {
        if (row.find_child_by_attribute("c", "r", ref.constData()))
            return true;
    }
    return false;
}

void ExpectCellsExist(Worksheet& s, const QString& first, const QString& last) {
    const Range area = s.Range(first, last);
    for (int row = area.Row(); row < area.Row() + area.RowsCount(); ++row) {
        for (int col = area.Column(); col < area.Column() + area.ColumnsCount(); ++col) {
            const QString address = s.Cells(row, col).Address();
            EXPECT_TRUE(HasCell(s, address)) << address.toStdString();
        }
    }
}

void ExpectFormulas(Worksheet& s, std::initializer_list<CellFormula> cases) {
    for (const CellFormula& c : cases) {
        EXPECT_EQ(s.Range(QString::fromUtf8(c.cell)).Formula().toString(), c.formula) << c.cell;
    }
}

QString DefinedName(Workbook& book, const char* name) {
    pugi::xml_node names = book.Parts().Xml(u"xl/workbook.xml"_qs).child("workbook").child("definedNames");
    for (pugi::xml_node node : names.children("definedName")) {
        if (std::strcmp(node.attribute("name").value(), name) == 0)
            return QString::fromUtf8(node.text().get());
    }
    return u"<none>"_qs;
}

class TemplatesTest : public ::testing::Test {
  protected:
    Worksheet& Open(const QString& name) { return app.Workbooks().Add(TemplatePath(name)).Sheets().Item(1); }
    Application app;
};

TEST_F(TemplatesTest, AreA4TemplatesOnePageWideWithPrintAreaAndTitles) {
    struct Case {
        QString file;
        const char* orientation;
        QString printArea;
    } const cases[] = {
        {kJournal, "portrait", u"'収支明細書'!$A$1:$G$9"_qs},
        {kMonthly, "landscape", u"'月別集計表'!$A$1:$O$27"_qs},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        Package package = Package::Load(TemplatePath(c.file));
        EXPECT_EQ(ContentTypeOf(package, u"xl/workbook.xml"_qs),
                  u"application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"_qs);

        Worksheet& s = Open(c.file);
        Workbook& book = s.Parent();
        EXPECT_EQ(book.Sheets().Count(), 1);
        const pugi::xml_node root = SheetRoot(s);
        const pugi::xml_node page = root.child("pageSetup");
        EXPECT_STREQ(page.attribute("paperSize").value(), "9");
        EXPECT_STREQ(page.attribute("orientation").value(), c.orientation);
        EXPECT_EQ(page.attribute("fitToWidth").as_int(1), 1);
        EXPECT_EQ(page.attribute("fitToHeight").as_int(1), 0);
        EXPECT_TRUE(root.child("sheetPr").child("pageSetUpPr").attribute("fitToPage").as_bool());
        EXPECT_EQ(DefinedName(book, "_xlnm.Print_Area"), c.printArea);
        EXPECT_TRUE(DefinedName(book, "_xlnm.Print_Titles").endsWith(u"!$4:$4"_qs));
    }
}

TEST_F(TemplatesTest, JournalListingHasTheCellsTheReportFills) {
    Worksheet& s = Open(kJournal);
    for (const char16_t* cell : {u"A2", u"A3", u"G3", u"G4", u"A5", u"C5", u"G5"})
        EXPECT_TRUE(HasCell(s, QString::fromUtf16(cell))) << QString::fromUtf16(cell).toStdString();
    ExpectCellsExist(s, u"A6"_qs, u"G8"_qs);
    EXPECT_EQ(s.Range(u"B1"_qs).Value(), QVariant(1.0));
    EXPECT_EQ(s.Range(u"A4:G4"_qs).Value(),
              QVariant(QVariantList{QVariantList{u"日付"_qs, u"相手先"_qs, u"摘要"_qs, u"科目"_qs,
                                                 u"収入金額"_qs, u"支出金額"_qs, u"残高"_qs}}));
    ExpectFormulas(s, {
                          {"H5", u"=N(G5)"_qs},
                          {"G6", uR"(=IF(COUNTA(A6:F6)=0,"",H6))"_qs},
                          {"H6", u"=N(H5)+(N(E6)-N(F6))*$B$1"_qs},
                          {"H7", u"=N(H6)+(N(E7)-N(F7))*$B$1"_qs},
                          {"G8", uR"(=IF(COUNTA(A8:F8)=0,"",H8))"_qs},
                          {"H8", u"=N($G$5)+(SUM($E$6:E8)-SUM($F$6:F8))*$B$1"_qs},
                          {"E9", u"=SUM(E6:E8)"_qs},
                          {"F9", u"=SUM(F6:F8)"_qs},
                          {"G9", u"=N(G5)+(E9-F9)*$B$1"_qs},
                      });
}

TEST_F(TemplatesTest, JournalListingTotalsCoverInsertedLines) {
    Worksheet& s = Open(kJournal);
    ExtendDetailRows(s, 6, 3, 6);
    s.Range(u"A6"_qs, u"F11"_qs)
        .SetFormula(
            QVariantList(6, QVariantList{u"2021/ 4/ 1"_qs, u"相手"_qs, u"摘要"_qs, u"会費"_qs, 1000, 0}));

    ExpectFormulas(s,
                   {
                       {"G9", uR"(=IF(COUNTA(A9:F9)=0,"",H9))"_qs},
                       {"H9", u"=N(H8)+(N(E9)-N(F9))*$B$1"_qs},
                       {"H10", u"=N(H9)+(N(E10)-N(F10))*$B$1"_qs},
                       // The last template row, now below the copies, still counts every line.
                       {"G11", uR"(=IF(COUNTA(A11:F11)=0,"",H11))"_qs},
                       {"H11", u"=N($G$5)+(SUM($E$6:E11)-SUM($F$6:F11))*$B$1"_qs},
                       {"E12", u"=SUM(E6:E11)"_qs},
                       {"F12", u"=SUM(F6:F11)"_qs},
                       {"G12", u"=N(G5)+(E12-F12)*$B$1"_qs},
                   });
    EXPECT_EQ(s.Range(u"A12"_qs).Value(), QVariant(u"合計"_qs));
    EXPECT_EQ(DefinedName(s.Parent(), "_xlnm.Print_Area"), u"'収支明細書'!$A$1:$G$12"_qs);
    EXPECT_EQ(s.CellStyle(10, 5), s.CellStyle(7, 5));
}

TEST_F(TemplatesTest, MonthlySummaryHasTheCellsTheReportFills) {
    Worksheet& s = Open(kMonthly);
    for (const char16_t* cell : {u"A1", u"A3", u"O3", u"C5"})
        EXPECT_TRUE(HasCell(s, QString::fromUtf16(cell))) << QString::fromUtf16(cell).toStdString();
    ExpectCellsExist(s, u"C4"_qs, u"N4"_qs);
    ExpectCellsExist(s, u"A7"_qs, u"O9"_qs);
    ExpectCellsExist(s, u"A14"_qs, u"O16"_qs);
    ExpectCellsExist(s, u"A23"_qs, u"O26"_qs);
    EXPECT_EQ(s.Range(u"C6"_qs).Value(), QVariant(0.0));
    EXPECT_EQ(s.Range(u"C4"_qs).Value(), QVariant(u"４月"_qs));
    EXPECT_EQ(s.Range(u"N4"_qs).Value(), QVariant(u"３月"_qs));
    ExpectFormulas(s, {
                          {"O7", u"=IF(COUNT(C7:N7)=0,\"\",SUM(C7:N7))"_qs},
                          {"C10", u"=SUM(C7:C9)"_qs},
                          {"N11", u"=N6+N10"_qs},
                          {"C17", u"=SUM(C14:C16)"_qs},
                          {"D18", u"=SUM($C$11:D11)-SUM($C$17:D17)"_qs},
                          {"O18", u"=O11-O17"_qs},
                          {"C22", u"=C$4"_qs},
                          {"O23", u"=IF(COUNT(B23:N23)=0,\"\",SUM(B23:N23))"_qs},
                          {"B27", u"=SUM(B23:B24)-SUM(B25:B26)"_qs},
                      });
}

// The report grows the lowest section first: outside payments (four items),
// outside receipts (one item, second row hidden), payments (five), receipts (four).
TEST_F(TemplatesTest, MonthlySummaryTotalsFollowEveryGrownSection) {
    Worksheet& s = Open(kMonthly);
    ExtendDetailRows(s, 24, 3, 4 + 1);
    s.Range(u"A24"_qs).EntireRow().SetHidden(true);
    ExtendDetailRows(s, 14, 3, 5);
    ExtendDetailRows(s, 7, 3, 4);

    ExpectFormulas(s, {
                          {"O10", u"=IF(COUNT(C10:N10)=0,\"\",SUM(C10:N10))"_qs},
                          {"C11", u"=SUM(C7:C10)"_qs},
                          {"O11", u"=SUM(O7:O10)"_qs},
                          {"C12", u"=C6+C11"_qs},
                          {"O19", u"=IF(COUNT(C19:N19)=0,\"\",SUM(C19:N19))"_qs},
                          {"C20", u"=SUM(C15:C19)"_qs},
                          {"N21", u"=SUM($C$12:N12)-SUM($C$20:N20)"_qs},
                          {"O21", u"=O12-O20"_qs},
                          {"D25", u"=D$4"_qs},
                          {"O30", u"=IF(COUNT(B30:N30)=0,\"\",SUM(B30:N30))"_qs},
                          {"B32", u"=SUM(B26:B27)-SUM(B28:B31)"_qs},
                          {"O32", u"=SUM(O26:O27)-SUM(O28:O31)"_qs},
                      });
    EXPECT_TRUE(s.Range(u"A27"_qs).EntireRow().Hidden());
    EXPECT_FALSE(s.Range(u"A26"_qs).EntireRow().Hidden());
    EXPECT_EQ(s.Range(u"A14"_qs).Value(), QVariant(u"支出の部"_qs));
    EXPECT_EQ(DefinedName(s.Parent(), "_xlnm.Print_Area"), u"'月別集計表'!$A$1:$O$32"_qs);
}

}  // namespace
