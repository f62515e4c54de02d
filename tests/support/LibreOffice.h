#pragma once
// A real spreadsheet program for end-to-end checks: LibreOffice opens a saved book,
// computes its formulas and writes the active sheet as CSV.

#include <QString>
#include <QStringList>
#include <map>
#include <vector>

// The soffice program, or empty when LibreOffice is not installed.
QString FindSoffice();

// Splits CSV text with quoted fields ("" inside quotes is one quote).
std::vector<QStringList> ParseCsv(const QString& text);

// The active sheet of each book of `xlsx` as LibreOffice computes it, in one run of
// the converter (one start of LibreOffice for many books). `scratch` holds the
// converter's profile and its output (a fresh folder per call).
std::vector<std::vector<QStringList>> ComputeBooksWithLibreOffice(const QString& soffice, const QStringList& xlsx,
                                                                  const QString& scratch);
// Every sheet of each book, by sheet name, in one run of the converter.
std::vector<std::map<QString, std::vector<QStringList>>> ComputeSheetsWithLibreOffice(const QString& soffice,
                                                                                     const QStringList& xlsx,
                                                                                     const QString& scratch);

// The active sheet of `xlsx` as LibreOffice computes it, one list of cells per row.
// `scratch` holds the converter's profile and output. Fails the test when the
// conversion fails.
std::vector<QStringList> ComputeWithLibreOffice(const QString& soffice, const QString& xlsx,
                                                const QString& scratch);

// Prints each book of `xlsx` to PDF in one run of the converter; returns the PDF
// files in the same order (a missing file fails the test).
QStringList ConvertBooksToPdf(const QString& soffice, const QStringList& xlsx, const QString& scratch);
// The text of a PDF as pdftotext extracts it, or empty when the tool is missing.
QString PdfText(const QString& pdf);
