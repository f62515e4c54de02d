#include "tests/sheet/BookFixture.h"

#include <gtest/gtest.h>

#include <zip.h>
#include <QFile>
#include <vector>

void WritePackage(const QString& path, const std::map<QString, QByteArray>& parts) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const auto& [name, bytes] : parts) {
        zip_source_t* source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        ASSERT_GE(zip_file_add(archive, name.toUtf8().constData(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

QByteArray ReadPart(const QString& path, const QString& part) {
    int error = 0;
    zip_t* archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return {};
    QByteArray bytes;
    zip_stat_t stat;
    if (zip_stat(archive, part.toUtf8().constData(), 0, &stat) == 0) {
        bytes.resize(qsizetype(stat.size));
        zip_file_t* file = zip_fopen(archive, part.toUtf8().constData(), 0);
        zip_fread(file, bytes.data(), stat.size);
        zip_fclose(file);
    }
    zip_discard(archive);
    return bytes;
}

std::map<QString, QByteArray> TemplateParts() {
    std::map<QString, QByteArray> parts;
    parts[QStringLiteral("[Content_Types].xml")] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.template.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/worksheets/sheet2.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/><Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/><Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/><Override PartName="/xl/calcChain.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.calcChain+xml"/></Types>)";
    parts[QStringLiteral("_rels/.rels")] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    parts[QStringLiteral("xl/workbook.xml")] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><bookViews><workbookView activeTab="0"/></bookViews><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/><sheet name="Data" sheetId="2" r:id="rId2"/></sheets><definedNames><definedName name="_xlnm.Print_Area" localSheetId="0">Sheet1!$A$1:$H$20</definedName><definedName name="Total">Sheet1!$A$9</definedName></definedNames><calcPr calcId="191029"/></workbook>)";
    parts[QStringLiteral("xl/_rels/workbook.xml.rels")] =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet2.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId5" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/calcChain" Target="calcChain.xml"/></Relationships>)";
    parts[QStringLiteral("xl/worksheets/sheet1.xml")] =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><dimension ref="A1:C10"/><sheetViews><sheetView tabSelected="1" workbookViewId="0"/></sheetViews><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row><row r="6"><c r="A6"><v>1</v></c><c r="B6"><f>A6*2</f><v>2</v></c></row><row r="7" ht="20" customHeight="1"><c r="A7" s="1"><v>2</v></c><c r="B7"><f t="shared" ref="B7:B8" si="0">A7*2+$A$1</f><v>4</v></c><c r="C7"><f>SUM($A$6:A7)</f></c></row><row r="8"><c r="A8"><v>3</v></c><c r="B8"><f t="shared" si="0"/><v>6</v></c></row><row r="9"><c r="A9"><f>SUM(A6:A8)</f><v>6</v></c></row><row r="10"><c r="A10" t="s"><v>1</v></c><c r="B10"><f>Data!A1</f><v>5</v></c></row></sheetData><mergeCells count="1"><mergeCell ref="A10:C10"/></mergeCells><conditionalFormatting sqref="A6:A8"><cfRule type="expression" priority="1"><formula>A6&gt;Data!$A$1</formula></cfRule></conditionalFormatting><dataValidations count="1"><dataValidation type="whole" sqref="C6:C8"><formula1>0</formula1></dataValidation></dataValidations><pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/><rowBreaks count="1" manualBreakCount="1"><brk id="9" max="16383" man="1"/></rowBreaks></worksheet>)";
    parts[QStringLiteral("xl/worksheets/sheet2.xml")] =
        R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData><row r="1"><c r="A1"><v>5</v></c></row><row r="2"><c r="A2"><f>SUM(Sheet1!A6:A8)+A1</f><v>11</v></c></row></sheetData></worksheet>)";
    parts[QStringLiteral("xl/styles.xml")] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><fonts count="1"><font><sz val="11"/><name val="Calibri"/><family val="2"/><scheme val="minor"/></font></fonts><fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill></fills><borders count="2"><border><left/><right/><top/><bottom/><diagonal/></border><border><left style="thin"><color auto="1"/></left><right style="thin"><color auto="1"/></right><top style="thin"/><bottom style="thin"/><diagonal/></border></borders><cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs><cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/><xf numFmtId="3" fontId="0" fillId="0" borderId="1" xfId="0" applyBorder="1"/></cellXfs></styleSheet>)";
    parts[QStringLiteral("xl/sharedStrings.xml")] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="2" uniqueCount="2"><si><t>Title</t></si><si><t xml:space="preserve"> 合計 </t></si></sst>)";
    parts[QStringLiteral("xl/calcChain.xml")] = R"(<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<calcChain xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><c r="A9" i="1"/></calcChain>)";
    parts[QStringLiteral("customXml/item1.xml")] = "<keep>unknown part, carried through</keep>";
    return parts;
}
