#pragma once
// Writing a workbook package: a zip archive whose entries are deflated here
// or put together from pieces deflated earlier. A worksheet's detail rows are
// compressed while they are written (DeflatedSegment, kept in a temporary
// file); saving copies those bytes into the archive unchanged, between the
// sheet's head and tail deflated at save time. Every piece ends on a byte
// boundary without a final block (a sync flush), so pieces made apart follow
// each other as one deflate stream.

#include <QByteArray>
#include <QSaveFile>
#include <QString>
#include <QTemporaryFile>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sheet {

// zlib's level for every part. Level 1 against 6 on a 100,000-line listing:
// see bench/README.md (the detail rows dominate both size and time).
inline constexpr int kDeflateLevel = 1;

// Bytes deflated as they come, into a temporary file: the memory it holds does
// not grow with the amount written.
class DeflatedSegment {
  public:
    DeflatedSegment();
    ~DeflatedSegment();
    DeflatedSegment(const DeflatedSegment&) = delete;
    DeflatedSegment& operator=(const DeflatedSegment&) = delete;

    // Takes the text of `buffer` (and empties it) once it has grown large.
    void TakeIfLarge(std::string& buffer) {
        if (buffer.size() >= kChunk)
            Take(buffer);
    }
    void Take(std::string& buffer);
    // Flushes what is pending; no more text after this.
    void Finish();

    uint32_t Crc() const { return crc_; }
    uint64_t RawSize() const { return rawSize_; }
    // Reads the deflated bytes back from the start, chunk by chunk, to `sink`.
    template <typename Sink>
    void ReadBack(Sink&& sink) const;

  private:
    static constexpr std::size_t kChunk = 256 * 1024;
    void Deflate(const char* data, std::size_t size, int flush);
    QByteArray ReadChunk(qint64 offset) const;

    struct Stream;
    std::unique_ptr<Stream> stream_;
    mutable QTemporaryFile file_;
    qint64 stored_ = 0;
    uint32_t crc_ = 0;
    uint64_t rawSize_ = 0;
    bool finished_ = false;
};

template <typename Sink>
void DeflatedSegment::ReadBack(Sink&& sink) const {
    for (qint64 offset = 0; offset < stored_;) {
        const QByteArray chunk = ReadChunk(offset);
        sink(chunk);
        offset += chunk.size();
    }
}

// One piece of an entry: plain bytes to deflate now, or a segment deflated before.
struct ZipPiece {
    QByteArray plain;
    const DeflatedSegment* segment = nullptr;
};

class ZipWriter {
  public:
    // Opens `path` for writing; the file is replaced only by Commit.
    explicit ZipWriter(const QString& path);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void Add(const QString& name, const std::vector<ZipPiece>& pieces);
    // Writes the central directory and puts the file in place.
    void Commit();

  private:
    struct Entry {
        std::string name;
        uint32_t crc = 0;
        uint64_t compressed = 0;
        uint64_t raw = 0;
        uint64_t offset = 0;
    };
    void Write(const char* data, std::size_t size);
    void Write(const QByteArray& bytes) { Write(bytes.constData(), std::size_t(bytes.size())); }
    [[noreturn]] void Fail() const;

    QString path_;
    QSaveFile file_;
    std::vector<Entry> entries_;
    uint64_t offset_ = 0;
    uint16_t dosTime_ = 0;
    uint16_t dosDate_ = 0;
};

}  // namespace sheet
