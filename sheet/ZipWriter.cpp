#include "sheet/ZipWriter.h"

#include "core/Errors.h"

#include <QDateTime>
#include <QDir>

#include <zlib.h>

#include <cstring>

namespace sheet {
namespace {

constexpr std::size_t kOutChunk = 64 * 1024;

// A raw deflate stream (no zlib header) at the package's level.
struct RawDeflate {
    z_stream z{};
    RawDeflate() {
        if (deflateInit2(&z, kDeflateLevel, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw EAppError(QStringLiteral("圧縮を開始できません。"));
    }
    ~RawDeflate() { deflateEnd(&z); }
    RawDeflate(const RawDeflate&) = delete;
    RawDeflate& operator=(const RawDeflate&) = delete;

    // Deflates `size` bytes with `flush`, handing each output chunk to `out`.
    template <typename Out>
    void Run(const char* data, std::size_t size, int flush, Out&& out) {
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        z.avail_in = static_cast<uInt>(size);
        char buffer[kOutChunk];
        do {
            z.next_out = reinterpret_cast<Bytef*>(buffer);
            z.avail_out = sizeof buffer;
            const int result = deflate(&z, flush);
            if (result == Z_STREAM_ERROR)
                throw EAppError(QStringLiteral("圧縮に失敗しました。"));
            out(buffer, sizeof buffer - z.avail_out);
        } while (z.avail_out == 0 || z.avail_in > 0);
    }
};

void Put16(QByteArray& out, uint32_t v) {
    out.append(char(v & 0xff)).append(char((v >> 8) & 0xff));
}
void Put32(QByteArray& out, uint32_t v) {
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

}  // namespace

struct DeflatedSegment::Stream {
    RawDeflate deflate;
};

DeflatedSegment::DeflatedSegment() : stream_(std::make_unique<Stream>()) {
    file_.setFileTemplate(QDir::tempPath() + QStringLiteral("/tsubaki-rows-XXXXXX"));
    if (!file_.open())
        throw EAppError(QStringLiteral("一時ファイルを作成できません。"));
    crc_ = uint32_t(crc32(0, nullptr, 0));
}

DeflatedSegment::~DeflatedSegment() = default;

void DeflatedSegment::Take(std::string& buffer) {
    if (finished_)
        throw EAppError(QStringLiteral("書き終えた明細行には追加できません。"));
    Deflate(buffer.data(), buffer.size(), Z_NO_FLUSH);
    buffer.clear();
}

void DeflatedSegment::Finish() {
    if (finished_)
        return;
    Deflate(nullptr, 0, Z_SYNC_FLUSH);
    finished_ = true;
    stream_.reset();
    if (!file_.flush())
        throw EAppError(QStringLiteral("一時ファイルに書き込めません。"));
}

void DeflatedSegment::Deflate(const char* data, std::size_t size, int flush) {
    if (size > 0) {
        crc_ = uint32_t(crc32(crc_, reinterpret_cast<const Bytef*>(data), uInt(size)));
        rawSize_ += size;
    }
    stream_->deflate.Run(data, size, flush, [this](const char* out, std::size_t n) {
        if (n > 0 && file_.write(out, qint64(n)) != qint64(n))
            throw EAppError(QStringLiteral("一時ファイルに書き込めません。"));
        stored_ += qint64(n);
    });
}

QByteArray DeflatedSegment::ReadChunk(qint64 offset) const {
    if (!file_.seek(offset))
        throw EAppError(QStringLiteral("一時ファイルを読み込めません。"));
    const QByteArray chunk = file_.read(std::min<qint64>(qint64(kOutChunk) * 4, stored_ - offset));
    if (chunk.isEmpty())
        throw EAppError(QStringLiteral("一時ファイルを読み込めません。"));
    return chunk;
}

ZipWriter::ZipWriter(const QString& path) : path_(path), file_(path) {
    if (!file_.open(QIODevice::WriteOnly))
        Fail();
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    dosTime_ = uint16_t((t.hour() << 11) | (t.minute() << 5) | (t.second() / 2));
    dosDate_ = uint16_t(((std::max(d.year(), 1980) - 1980) << 9) | (d.month() << 5) | d.day());
}

ZipWriter::~ZipWriter() {
    if (file_.isOpen())
        file_.cancelWriting();
}

void ZipWriter::Fail() const {
    throw EAppError(QStringLiteral("ファイル「%1」に保存できません。").arg(QDir::toNativeSeparators(path_)));
}

void ZipWriter::Write(const char* data, std::size_t size) {
    if (size > 0 && file_.write(data, qint64(size)) != qint64(size))
        Fail();
    offset_ += size;
}

void ZipWriter::Add(const QString& name, const std::vector<ZipPiece>& pieces) {
    Entry entry;
    entry.name = name.toUtf8().toStdString();
    entry.offset = offset_;
    entry.crc = uint32_t(crc32(0, nullptr, 0));

    // The local header, its sizes filled in once the data is written.
    QByteArray header;
    Put32(header, 0x04034b50);
    Put16(header, 20);        // version needed: deflate
    Put16(header, 1u << 11);  // names in UTF-8
    Put16(header, 8);         // deflate
    Put16(header, dosTime_);
    Put16(header, dosDate_);
    Put32(header, 0);  // crc, sizes: below
    Put32(header, 0);
    Put32(header, 0);
    Put16(header, uint32_t(entry.name.size()));
    Put16(header, 0);
    header.append(entry.name.data(), qsizetype(entry.name.size()));
    Write(header);

    const uint64_t dataStart = offset_;
    auto out = [this](const char* data, std::size_t n) { Write(data, n); };
    for (const ZipPiece& piece : pieces) {
        if (piece.segment) {
            piece.segment->ReadBack([this](const QByteArray& chunk) { Write(chunk); });
            entry.crc =
                uint32_t(crc32_combine(entry.crc, piece.segment->Crc(), z_off_t(piece.segment->RawSize())));
            entry.raw += piece.segment->RawSize();
        } else if (!piece.plain.isEmpty()) {
            RawDeflate deflate;
            deflate.Run(piece.plain.constData(), std::size_t(piece.plain.size()), Z_SYNC_FLUSH, out);
            entry.crc = uint32_t(crc32(entry.crc, reinterpret_cast<const Bytef*>(piece.plain.constData()),
                                       uInt(piece.plain.size())));
            entry.raw += uint64_t(piece.plain.size());
        }
    }
    // The last block of the stream, empty.
    {
        RawDeflate deflate;
        deflate.Run(nullptr, 0, Z_FINISH, out);
    }
    entry.compressed = offset_ - dataStart;
    if (entry.raw > 0xffffffffu || entry.compressed > 0xffffffffu || offset_ > 0xffffffffu)
        throw EAppError(QStringLiteral("ブックが大きすぎて保存できません。"));

    QByteArray sizes;
    Put32(sizes, entry.crc);
    Put32(sizes, uint32_t(entry.compressed));
    Put32(sizes, uint32_t(entry.raw));
    if (!file_.seek(qint64(entry.offset) + 14) || file_.write(sizes) != sizes.size() ||
        !file_.seek(qint64(offset_)))
        Fail();
    entries_.push_back(std::move(entry));
}

void ZipWriter::Commit() {
    const uint64_t directory = offset_;
    for (const Entry& entry : entries_) {
        QByteArray record;
        Put32(record, 0x02014b50);
        // Made by Unix, version 2.0: Info-ZIP's unzip reads names from an MS-DOS
        // archive in the DOS code page whatever the UTF-8 flag says.
        Put16(record, (3u << 8) | 20);
        Put16(record, 20);
        Put16(record, 1u << 11);
        Put16(record, 8);
        Put16(record, dosTime_);
        Put16(record, dosDate_);
        Put32(record, entry.crc);
        Put32(record, uint32_t(entry.compressed));
        Put32(record, uint32_t(entry.raw));
        Put16(record, uint32_t(entry.name.size()));
        Put16(record, 0);               // extra
        Put16(record, 0);               // comment
        Put16(record, 0);               // disk
        Put16(record, 0);               // internal attributes
        Put32(record, 0100644u << 16);  // external attributes: a regular file, rw-r--r--
        Put32(record, uint32_t(entry.offset));
        record.append(entry.name.data(), qsizetype(entry.name.size()));
        Write(record);
    }
    QByteArray end;
    Put32(end, 0x06054b50);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, uint32_t(entries_.size()));
    Put16(end, uint32_t(entries_.size()));
    Put32(end, uint32_t(offset_ - directory));
    Put32(end, uint32_t(directory));
    Put16(end, 0);
    Write(end);
    if (offset_ > 0xffffffffu || entries_.size() > 0xffff || !file_.commit())
        Fail();
}

}  // namespace sheet
