#pragma once
// A CSV file for 取込 read as a stream within limits, so that a file of any size
// or shape costs a bounded amount of memory and is refused at once when it holds
// more than one import can take: a year's lines, a spreadsheet's width of
// columns, a field no journal text needs. The file is read twice: once to learn
// its text encoding, its size in rows and its first rows (enough for choosing the
// columns), then once more handing each decoded row on as it is read.
//
//   QFile file(path); file.open(QIODevice::ReadOnly);
//   const CsvSurvey survey = SurveyCsv(file, CsvLimits());
//   file.seek(0);
//   ForEachCsvRow(file, survey.encoding, CsvLimits(), [&](CsvRow&& row) { … });

#include <QByteArray>
#include <QStringList>

#include <functional>
#include <vector>

class QIODevice;

enum class CsvEncoding { Utf8, Cp932 };

struct CsvRow {
    int row = 0;  // the row as a spreadsheet numbers it: the file's first record is 1
    QStringList fields;
    QString error;  // why the row cannot be read; empty when it can
};

struct CsvFile {
    CsvEncoding encoding = CsvEncoding::Utf8;
    std::vector<CsvRow> rows;
};

// What one import reads at most. Beyond a limit the file is refused (EAppError
// with a message that names the limit and, for a row, the row).
struct CsvLimits {
    qint64 fileBytes = 64LL * 1024 * 1024;
    int rows = 100001;  // a year's lines (kMaxImportLines) and a heading
    int columns = 1000;
    int fieldBytes = 4096;
};

// Lines one import makes at most: a busy organisation's year.
constexpr int kMaxImportLines = 100000;

// Told after each part of the file read: bytes done of the file's size. Returns
// false to stop: the reading then raises EAbort.
using CsvProgress = std::function<bool(qint64 done, qint64 total)>;

// What a first reading learns of a file.
struct CsvSurvey {
    CsvEncoding encoding = CsvEncoding::Utf8;
    int rowCount = 0;
    int columnCount = 0;  // of its widest row
    std::vector<CsvRow> firstRows;
};

// Reads `device` (open, at its start) through. The records follow RFC 4180
// (fields in double quotes may hold commas, quotes written twice and line breaks;
// records end with CR LF, LF or CR). The text is UTF-8 when the file begins with
// a byte-order mark or is valid UTF-8 throughout; otherwise it is CP932 (what
// Excel in Japan saves) when it decodes as CP932 throughout and most of its rows
// with non-ASCII bytes are not UTF-8. Keeps the first `keepRows` rows, decoded.
CsvSurvey SurveyCsv(QIODevice& device, const CsvLimits& limits, const CsvProgress& progress = {},
                    int keepRows = 6);

// Reads `device` (open, at its start) through once more, handing each row,
// decoded in `encoding`, to `take`. A row holding bytes that are not of the
// encoding carries the error "文字コードが正しくありません。", as does a row whose
// quote is never closed.
void ForEachCsvRow(QIODevice& device, CsvEncoding encoding, const CsvLimits& limits,
                   const std::function<void(CsvRow&&)>& take, const CsvProgress& progress = {});

// The whole of a file in memory (no limits): its encoding and every row.
CsvFile ReadCsv(const QByteArray& bytes);
