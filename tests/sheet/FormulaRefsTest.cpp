#include "sheet/FormulaRefs.h"

#include <gtest/gtest.h>

using namespace sheet;

namespace {

struct InsertCase {
    const char16_t* formula;
    const char16_t* host;  // sheet holding the formula
    int row;
    int count;
    const char16_t* expected;
};

// Rows inserted into "Sheet1".
const InsertCase kInsertCases[] = {
    {u"A5", u"Sheet1", 5, 1, u"A6"},
    {u"A5", u"Sheet1", 6, 1, u"A5"},
    {u"$A$5", u"Sheet1", 3, 2, u"$A$7"},
    {u"$A5:B$7", u"Sheet1", 6, 2, u"$A5:B$9"},
    {u"SUM(A6:A8)", u"Sheet1", 8, 3, u"SUM(A6:A11)"},  // inside: grows
    {u"SUM(A6:A8)", u"Sheet1", 6, 3, u"SUM(A9:A11)"},  // at its first row: moves
    {u"SUM(A6:A8)", u"Sheet1", 9, 3, u"SUM(A6:A8)"},   // right below: stays
    {u"SUM(A:A)", u"Sheet1", 1, 5, u"SUM(A:A)"},
    {u"SUM($3:$5)", u"Sheet1", 4, 1, u"SUM($3:$6)"},
    {u"SUM(3:5)", u"Sheet1", 1, 1, u"SUM(4:6)"},
    {u"\"A5\"&A5", u"Sheet1", 1, 1, u"\"A5\"&A6"},
    {u"\"say \"\"B2\"\"\"&B2", u"Sheet1", 1, 1, u"\"say \"\"B2\"\"\"&B3"},
    {u"Other!A5+A5", u"Sheet1", 1, 1, u"Other!A5+A6"},
    {u"Sheet1!A5+A5", u"Other", 1, 1, u"Sheet1!A6+A5"},
    {u"sheet1!a5", u"Other", 1, 1, u"sheet1!A6"},
    {u"'Sheet1'!A5:B6*2", u"Other", 6, 1, u"'Sheet1'!A5:B7*2"},
    {u"'It''s'!A5", u"Sheet1", 1, 1, u"'It''s'!A5"},
    {u"[1]Sheet1!A5+A5", u"Sheet1", 1, 1, u"[1]Sheet1!A5+A6"},
    {u"'[Book.xlsx]Sheet1'!A5", u"Sheet1", 1, 1, u"'[Book.xlsx]Sheet1'!A5"},
    {u"Sheet1:Sheet3!A5", u"Sheet1", 1, 1, u"Sheet1:Sheet3!A5"},
    {u"Table1[Amount]+MyName5+A5", u"Sheet1", 1, 1, u"Table1[Amount]+MyName5+A6"},
    {u"LOG10(A5)+ROUND(E5,0)+1E5", u"Sheet1", 1, 1, u"LOG10(A6)+ROUND(E6,0)+1E5"},
    {u"IF(TRUE,#N/A,#REF!)&A5", u"Sheet1", 1, 1, u"IF(TRUE,#N/A,#REF!)&A6"},
    {u"A1048576", u"Sheet1", 5, 1, u"#REF!"},
    {u"Sheet1!A1048576", u"Other", 5, 1, u"Sheet1!#REF!"},
    {u"SUM(A1:A1048576)", u"Sheet1", 5, 1, u"SUM(A1:A1048576)"},
    {u"SUM(A1048575:A1048576)", u"Sheet1", 5, 2, u"SUM(#REF!)"},
    {u"A5", u"", 1, 1, u"A5"},  // a defined name's unqualified reference names no sheet
};

}  // namespace

TEST(FormulaRefs, ShiftsReferencesForInsertedRows) {
    for (const InsertCase& c : kInsertCases) {
        const QString formula = QString::fromUtf16(c.formula);
        SCOPED_TRACE(formula.toStdString());
        EXPECT_EQ(ShiftFormulaForRowInsert(formula, QString::fromUtf16(c.host), QStringLiteral("Sheet1"),
                                           c.row, c.count),
                  QString::fromUtf16(c.expected));
    }
}

TEST(FormulaRefs, ShiftsQualifiedReferencesIntoJapaneseSheetNames) {
    EXPECT_EQ(ShiftFormulaForRowInsert(u"収支!B5+'一般 会計'!B5"_qs, u"表紙"_qs, u"収支"_qs, 5, 1),
              u"収支!B6+'一般 会計'!B5"_qs);
    EXPECT_EQ(ShiftFormulaForRowInsert(u"収支!B5+'一般 会計'!B5"_qs, u"表紙"_qs, u"一般 会計"_qs, 5, 1),
              u"収支!B5+'一般 会計'!B6"_qs);
}

TEST(FormulaRefs, MovesRelativePartsOnly) {
    struct Case {
        const char16_t* formula;
        int rows;
        int cols;
        const char16_t* expected;
    };
    const Case cases[] = {
        {u"A1+$A$1+A$1+$A1", 2, 1, u"B3+$A$1+B$1+$A3"},
        {u"SUM(A6:A7)*Data!B7", 3, 0, u"SUM(A9:A10)*Data!B10"},
        {u"SUM(A:A)+SUM(1:1)+SUM($2:$2)", 4, 0, u"SUM(A:A)+SUM(5:5)+SUM($2:$2)"},
        {u"\"A1\"&A1", 1, 0, u"\"A1\"&A2"},
        {u"A2+B$1", -1, 0, u"A1+B$1"},
        {u"A1+1", -1, 0, u"#REF!+1"},
        {u"[1]Sheet1!A1", 5, 0, u"[1]Sheet1!A1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.formula).toStdString());
        EXPECT_EQ(MoveFormula(QString::fromUtf16(c.formula), c.rows, c.cols), QString::fromUtf16(c.expected));
    }
}

TEST(FormulaRefs, RenamesQualifiersOfTheRenamedSheetOnly) {
    EXPECT_EQ(RenameSheetInFormula(u"Sheet1!A1+'sheet1'!B2+Other!C3+\"Sheet1!A1\""_qs, u"Sheet1"_qs,
                                   u"一般 会計"_qs),
              u"'一般 会計'!A1+'一般 会計'!B2+Other!C3+\"Sheet1!A1\""_qs);
    EXPECT_EQ(RenameSheetInFormula(u"Old!A1"_qs, u"Old"_qs, u"Kaikei"_qs), u"Kaikei!A1"_qs);
    EXPECT_EQ(QuoteSheetName(u"A1"_qs), u"'A1'"_qs);
    EXPECT_EQ(QuoteSheetName(u"It's"_qs), u"'It''s'"_qs);
}

TEST(FormulaRefs, ShiftsAreaListsAndDropsAreasPushedOffTheSheet) {
    EXPECT_EQ(ShiftSqrefForRowInsert(u"A1:B2 A5 C4:C9"_qs, 5, 2), u"A1:B2 A7 C4:C11"_qs);
    EXPECT_EQ(ShiftSqrefForRowInsert(u"A1048576"_qs, 5, 1), QString());
}
