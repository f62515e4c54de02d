#pragma once
// A real spreadsheet program for end-to-end checks: LibreOffice opens a saved book,
// computes its formulas and writes the active sheet as CSV.

#include <QString>
#include <QStringList>
#include <vector>

// The soffice program, or empty when LibreOffice is not installed.
QString FindSoffice();

// Splits CSV text with quoted fields ("" inside quotes is one quote).
std::vector<QStringList> ParseCsv(const QString& text);

// The active sheet of `xlsx` as LibreOffice computes it, one list of cells per row.
// `scratch` holds the converter's profile and output. Fails the test when the
// conversion fails.
std::vector<QStringList> ComputeWithLibreOffice(const QString& soffice, const QString& xlsx,
                                                const QString& scratch);
