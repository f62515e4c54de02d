#pragma once
// Private to db/: the buffers of Firebird messages, laid out from a statement's
// metadata, and the conversion between them and db::Value.

#include "db/Connection.h"
#include "db/FbApi.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace db::fb {

// One field of a message buffer.
struct Field {
    unsigned type = 0;
    int subType = 0;
    unsigned length = 0;  // bytes
    int scale = 0;
    unsigned charSet = 0;
    unsigned offset = 0;
    unsigned nullOffset = 0;
};

// A buffer suitably aligned for every field type.
class MessageBuffer {
  public:
    void Resize(unsigned bytes) { words_.assign((bytes + 7) / 8, 0); }
    unsigned char* Data() { return reinterpret_cast<unsigned char*>(words_.data()); }
    const unsigned char* Data() const { return reinterpret_cast<const unsigned char*>(words_.data()); }

  private:
    std::vector<std::uint64_t> words_;
};

// The rows a query returns: CHAR read as VARCHAR, everything else as described.
class OutputMessage {
  public:
    // Reads a blob whole, given its id.
    using BlobReader = std::function<QByteArray(const ISC_QUAD&)>;

    OutputMessage(Firebird::IMessageMetadata* described, Firebird::ThrowStatusWrapper* status);
    Firebird::IMessageMetadata* Metadata() const { return metadata_.get(); }
    unsigned char* Buffer() { return buffer_.Data(); }
    const std::vector<Connection::Column>& Columns() const { return columns_; }
    bool Empty() const { return fields_.empty(); }
    // The values of the row in the buffer.
    std::vector<Value> Read(const BlobReader& readBlob) const;

  private:
    Value ReadField(const Field& f, const BlobReader& readBlob) const;

    Ref<Firebird::IMessageMetadata> metadata_;
    std::vector<Field> fields_;
    std::vector<Connection::Column> columns_;
    MessageBuffer buffer_;
};

// The parameters of a statement. Each value is sent in a type of its own kind
// (integer as BIGINT, float as DOUBLE PRECISION, text as VARCHAR in the
// connection's character set, long enough for the whole text) and the server
// converts it to the parameter's type, so a text too long for its column meets
// the server's own check. The layout is rebuilt only when a value needs another
// type or more room than before.
class InputMessage {
  public:
    InputMessage(Firebird::IMessageMetadata* described, Firebird::ThrowStatusWrapper* status);
    unsigned Count() const { return static_cast<unsigned>(described_.size()); }
    void Bind(const std::vector<const Value*>& values, Firebird::ThrowStatusWrapper* status);
    Firebird::IMessageMetadata* Metadata() const { return metadata_.get(); }
    unsigned char* Buffer() { return buffer_.Data(); }

  private:
    void Rebuild(Firebird::ThrowStatusWrapper* status);

    Ref<Firebird::IMessageMetadata> describedMetadata_;
    std::vector<Field> described_;
    std::vector<Field> fields_;  // the layout in use
    Ref<Firebird::IMessageMetadata> metadata_;
    MessageBuffer buffer_;
};

}  // namespace db::fb
