#include "journal/CsvReader.h"

#include <QBuffer>
#include <QIODevice>
#include <QLocale>
#include <QStringDecoder>

#include <algorithm>
#include <limits>

#include "core/Errors.h"
#include "journal/MeisaiImport.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kChunk = 64 * 1024;
const QByteArray kBom("\xEF\xBB\xBF");

struct ByteRecord {
    int row = 0;
    std::vector<QByteArray> fields;
    bool unterminated = false;  // a quoted field runs to the end of the file
};

QString Thousands(qint64 n) {
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(n);
}

// The records at the byte level, a part of the file at a time. The characters that
// structure a CSV file (quote, comma, CR, LF) are ASCII, and neither UTF-8 nor
// CP932 uses those bytes inside a character, so the records split the same in
// either encoding, and a row of bad bytes stays within its own row.
class RecordReader {
  public:
    RecordReader(QIODevice& device, const CsvLimits& limits, const CsvProgress& progress)
        : device_(device), limits_(limits), progress_(progress), total_(device.size()) {
        if (total_ > limits.fileBytes)
            throw EAppError(
                u"ファイルが大きすぎるため取り込めません（%1バイト）。\r\n"
                u"一度に取り込めるファイルは%2バイトまでです。"_s.arg(Thousands(total_),
                                                                      Thousands(limits.fileBytes)));
    }

    // Hands every record to `take`, in order.
    void Read(const std::function<void(ByteRecord&&)>& take) {
        bool first = true;
        for (;;) {
            QByteArray chunk = device_.read(kChunk);
            if (chunk.isEmpty())
                break;
            done_ += chunk.size();
            if (done_ > limits_.fileBytes)  // a file that grows while read, or a device
                throw EAppError(
                    u"ファイルが大きすぎるため取り込めません。\r\n"
                    u"一度に取り込めるファイルは%1バイトまでです。"_s.arg(Thousands(limits_.fileBytes)));
            if (first && chunk.startsWith(kBom)) {
                hasBom_ = true;
                chunk.remove(0, kBom.size());
            }
            first = false;
            Split(chunk, take);
            if (progress_ && !progress_(done_, std::max(total_, done_)))
                throw EAbort();
        }
        if (afterQuote_) {
            quoted_ = false;  // the file's last byte closed the field
            afterQuote_ = false;
        }
        if (quoted_) {
            record_.unterminated = true;
            recordOpen_ = true;
        }
        if (recordOpen_)
            EndRecord(take);
    }

    bool HasBom() const { return hasBom_; }

  private:
    void Split(const QByteArray& bytes, const std::function<void(ByteRecord&&)>& take) {
        for (const char c : bytes) {
            if (afterCr_) {
                afterCr_ = false;
                if (c == '\n')
                    continue;  // CR LF ends one record
            }
            if (quoted_) {
                if (afterQuote_) {
                    afterQuote_ = false;
                    if (c == '"') {
                        Add('"');
                        continue;
                    }
                    quoted_ = false;  // the quote closed the field; c is read below
                } else if (c == '"') {
                    afterQuote_ = true;
                    continue;
                } else {
                    Add(c);
                    continue;
                }
            }
            recordOpen_ = true;
            if (c == '"' && field_.isEmpty()) {
                quoted_ = true;
            } else if (c == ',') {
                EndField();
            } else if (c == '\r' || c == '\n') {
                afterCr_ = c == '\r';
                EndRecord(take);
            } else {
                // Also a quote inside an unquoted field, and whatever follows a
                // closing quote before the comma: kept as written.
                Add(c);
            }
        }
        // A quote at the end of a part: whether it closes the field or is the
        // first of two is told by the next part's first byte.
    }

    void Add(char c) {
        if (field_.size() >= limits_.fieldBytes)
            throw EAppError(
                u"%1行目の%2列の項目が長すぎるため取り込めません。\r\n"
                u"一つの項目に読めるのは%3バイトまでです。"_s.arg(row_ + 1)
                    .arg(ColumnLetters(static_cast<int>(record_.fields.size())))
                    .arg(Thousands(limits_.fieldBytes)));
        field_ += c;
    }

    void EndField() {
        if (static_cast<int>(record_.fields.size()) >= limits_.columns)
            throw EAppError(
                u"%1行目の列が多すぎるため取り込めません。\r\n"
                u"一つの行に読めるのは%2列までです。"_s.arg(row_ + 1)
                    .arg(Thousands(limits_.columns)));
        record_.fields.push_back(field_);
        field_.clear();
    }

    void EndRecord(const std::function<void(ByteRecord&&)>& take) {
        EndField();
        if (++row_ > limits_.rows)
            throw EAppError(
                u"ファイルの行が多すぎるため取り込めません。\r\n"
                u"一度に取り込めるのは%1行（1年分の明細の目安）までです。"_s.arg(Thousands(kMaxImportLines)));
        record_.row = row_;
        take(std::move(record_));
        record_ = ByteRecord{};
        recordOpen_ = false;
    }

    QIODevice& device_;
    const CsvLimits& limits_;
    const CsvProgress& progress_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    bool hasBom_ = false;
    ByteRecord record_;
    QByteArray field_;
    int row_ = 0;
    bool quoted_ = false;      // inside a quoted field
    bool afterQuote_ = false;  // a quote inside a quoted field, not yet known to close it
    bool afterCr_ = false;     // the last byte ended a record with CR
    bool recordOpen_ = false;  // something of the current record has been read
};

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Stateless: a character cut off at the end of a field counts as an error.
QStringDecoder Decoder(CsvEncoding encoding) {
    return encoding == CsvEncoding::Cp932
               ? QStringDecoder("windows-31j", QStringConverter::Flag::Stateless)
               : QStringDecoder(QStringDecoder::Utf8, QStringConverter::Flag::Stateless);
}

bool FieldsDecode(QStringDecoder& decoder, const ByteRecord& record) {
    decoder.resetState();
    for (const QByteArray& field : record.fields)
        [[maybe_unused]] const QString text = decoder.decode(field);
    return !decoder.hasError();
}

CsvRow Decoded(QStringDecoder& decoder, const ByteRecord& record) {
    CsvRow row;
    row.row = record.row;
    decoder.resetState();
    for (const QByteArray& field : record.fields)
        row.fields << decoder.decode(field);
    if (decoder.hasError())
        row.error = u"文字コードが正しくありません。"_s;
    else if (record.unterminated)
        row.error = u"「\"」で始まる項目が閉じられていません。"_s;
    return row;
}

}  // namespace

CsvSurvey SurveyCsv(QIODevice& device, const CsvLimits& limits, const CsvProgress& progress, int keepRows) {
    RecordReader reader(device, limits, progress);
    QStringDecoder utf8 = Decoder(CsvEncoding::Utf8);
    QStringDecoder cp932 = Decoder(CsvEncoding::Cp932);
    // A UTF-8 file with a few rows of Shift_JIS often decodes as CP932 throughout
    // too, into nonsense: the rows that are valid UTF-8 tell the two apart.
    bool allUtf8 = true;
    bool allCp932 = cp932.isValid();
    int utf8Rows = 0;
    int otherRows = 0;
    CsvSurvey survey;
    std::vector<ByteRecord> kept;
    reader.Read([&](ByteRecord&& record) {
        ++survey.rowCount;
        survey.columnCount = std::max(survey.columnCount, static_cast<int>(record.fields.size()));
        bool ascii = true;
        for (const QByteArray& field : record.fields)
            ascii = ascii && IsAscii(field);
        if (!ascii) {
            const bool isUtf8 = FieldsDecode(utf8, record);
            allUtf8 = allUtf8 && isUtf8;
            ++(isUtf8 ? utf8Rows : otherRows);
            if (allCp932)
                allCp932 = FieldsDecode(cp932, record);
        }
        if (static_cast<int>(kept.size()) < keepRows)
            kept.push_back(std::move(record));
    });
    if (!reader.HasBom() && !allUtf8 && allCp932 && otherRows > utf8Rows)
        survey.encoding = CsvEncoding::Cp932;
    QStringDecoder decoder = Decoder(survey.encoding);
    for (const ByteRecord& record : kept)
        survey.firstRows.push_back(Decoded(decoder, record));
    return survey;
}

void ForEachCsvRow(QIODevice& device, CsvEncoding encoding, const CsvLimits& limits,
                   const std::function<void(CsvRow&&)>& take, const CsvProgress& progress) {
    RecordReader reader(device, limits, progress);
    QStringDecoder decoder = Decoder(encoding);
    reader.Read([&](ByteRecord&& record) { take(Decoded(decoder, record)); });
}

CsvFile ReadCsv(const QByteArray& bytes) {
    CsvLimits unbounded;
    unbounded.fileBytes = std::numeric_limits<qint64>::max();
    unbounded.rows = unbounded.columns = unbounded.fieldBytes = std::numeric_limits<int>::max();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    CsvFile file;
    file.encoding = SurveyCsv(buffer, unbounded, {}, 0).encoding;
    buffer.seek(0);
    ForEachCsvRow(buffer, file.encoding, unbounded,
                  [&file](CsvRow&& row) { file.rows.push_back(std::move(row)); });
    return file;
}
