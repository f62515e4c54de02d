#pragma once
// Small workbook packages written part by part, for the spreadsheet layer's tests.

#include <QByteArray>
#include <QString>
#include <map>

// Zips the given parts (name -> content) into `path`.
void WritePackage(const QString& path, const std::map<QString, QByteArray>& parts);
// The parts of one stored part of a package file, or empty when it is missing.
QByteArray ReadPart(const QString& path, const QString& part);

// A template book: "Sheet1" with three detail rows 6-8 (row 7 carries a shared
// formula, a height and a style), a total in row 9, a merged footer in row 10,
// a print area, a conditional format, a data validation, a row break, a
// calcChain and an unknown part; "Data" refers to Sheet1's detail rows.
std::map<QString, QByteArray> TemplateParts();
