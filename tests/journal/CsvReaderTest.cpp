// The streaming reader of 取込: the same records whichever way the file falls
// into parts, and a file beyond a limit refused as soon as the limit is passed.

#include <gtest/gtest.h>

#include <QBuffer>

#include "core/Errors.h"
#include "journal/CsvReader.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qsizetype kPart = 64 * 1024;  // what the reader takes at a time

CsvLimits Unbounded() {
    CsvLimits limits;
    limits.fileBytes = 1 << 30;
    limits.rows = limits.columns = limits.fieldBytes = 1 << 30;
    return limits;
}

std::vector<QStringList> AllRows(const QByteArray& bytes, const CsvLimits& limits = {}) {
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const CsvSurvey survey = SurveyCsv(buffer, limits);
    buffer.seek(0);
    std::vector<QStringList> rows;
    ForEachCsvRow(buffer, survey.encoding, limits, [&](CsvRow&& row) {
        EXPECT_EQ(row.row, static_cast<int>(rows.size()) + 1);
        rows.push_back(row.fields << row.error);
    });
    EXPECT_EQ(survey.rowCount, static_cast<int>(rows.size()));
    return rows;
}

}  // namespace

// A quote written twice, a closing quote, CR LF, a byte-order mark's worth of
// offset and a Japanese character each cut by the end of a part.
TEST(CsvReader, RecordsDoNotDependOnWhereThePartsEnd) {
    const QByteArray tail = "\"a\"\"b\",\"c\"\r\nd,\xE6\x97\xA5\r\n\"e\"";
    for (qsizetype cut = 0; cut <= tail.size(); ++cut) {
        SCOPED_TRACE(cut);
        // The mark (3 bytes), the padding and its comma end where `cut` bytes of the tail fit.
        const QByteArray pad(kPart - 4 - cut, 'x');
        const auto rows = AllRows("\xEF\xBB\xBF" + pad + ',' + tail, Unbounded());
        const std::vector<QStringList> expected = {
            {QString::fromLatin1(pad), u"a\"b"_s, u"c"_s, QString()},
            {u"d"_s, u"日"_s, QString()},
            {u"e"_s, QString()},
        };
        EXPECT_EQ(rows, expected);
    }
}

TEST(CsvReader, AFileBeyondALimitIsRefusedWithTheLimitNamed) {
    CsvLimits small;
    small.fileBytes = 100000;
    small.rows = 3;
    small.columns = 4;
    small.fieldBytes = 10;
    const struct {
        const char* name;
        QByteArray bytes;
        QString message;  // what the message begins with; empty: read
    } cases[] = {
        {"at every limit", "a,b,c,d\n1234567890\n\"123456789\"\"\"\n", {}},
        {"too many rows", "a\nb\nc\nd\n", u"ファイルの行が多すぎるため取り込めません。"_s},
        {"too many columns", "a\nb,c,d,e,f\n", u"2行目の列が多すぎるため取り込めません。"_s},
        {"a field too long", "a,12345678901\n", u"1行目のB列の項目が長すぎるため取り込めません。"_s},
        {"a quoted field too long", "\"1234567890\n\"\n",
         u"1行目のA列の項目が長すぎるため取り込めません。"_s},
        {"a file too large", QByteArray(100001, '\n'),
         u"ファイルが大きすぎるため取り込めません（100,001バイト）。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            AllRows(c.bytes, small);
            EXPECT_TRUE(c.message.isEmpty());
        } catch (const EAppError& e) {
            EXPECT_TRUE(!c.message.isEmpty() && e.Message().startsWith(c.message))
                << e.Message().toStdString();
        }
    }
}

// キャンセル stops the reading where it is.
TEST(CsvReader, ProgressThatSaysStopEndsTheReading) {
    QBuffer buffer;
    buffer.setData(QByteArray(3 * kPart, '\n'));
    buffer.open(QIODevice::ReadOnly);
    qint64 told = 0;
    EXPECT_THROW(SurveyCsv(buffer, Unbounded(),
                           [&](qint64 done, qint64 total) {
                               EXPECT_EQ(total, 3 * kPart);
                               told = done;
                               return done < 2 * kPart;
                           }),
                 EAbort);
    EXPECT_EQ(told, 2 * kPart);
}
