#include "data/PackedValues.h"

#include <cstring>

namespace data {

const QString* StringPool::Intern(const QString& text) {
    if (text.isNull())
        return nullptr;
    if (last_ && *last_ == text)
        return last_;
    last_ = &*strings_.insert(text).first;
    return last_;
}

namespace {

std::size_t CellOffsetFor(std::size_t count) {
    return (2 + count + 7) & ~std::size_t{7};
}

}  // namespace

PackedValues::PackedValues(const std::vector<db::Value>& values, StringPool& pool) {
    const std::size_t count = values.size();
    const std::size_t cells = CellOffsetFor(count);
    data_ = std::make_unique_for_overwrite<std::byte[]>(cells + count * 8);
    const auto n = static_cast<std::uint16_t>(count);
    std::memcpy(data_.get(), &n, 2);
    for (std::size_t c = 0; c < count; ++c) {
        const db::Value& v = values[c];
        Kind kind = Kind::Null;
        std::uint64_t cell = 0;
        if (v.IsInteger()) {
            kind = Kind::Integer;
            const qint64 i = v.AsInteger();
            std::memcpy(&cell, &i, 8);
        } else if (v.IsFloat()) {
            kind = Kind::Float;
            const double d = v.AsFloat();
            std::memcpy(&cell, &d, 8);
        } else if (v.IsText()) {
            kind = Kind::Text;
            const QString* text = pool.Intern(v.AsString());
            std::memcpy(&cell, &text, sizeof text);
        }
        data_[2 + c] = static_cast<std::byte>(kind);
        std::memcpy(data_.get() + cells + c * 8, &cell, 8);
    }
}

std::size_t PackedValues::Size() const {
    if (!data_)
        return 0;
    std::uint16_t n = 0;
    std::memcpy(&n, data_.get(), 2);
    return n;
}

std::size_t PackedValues::CellOffset() const {
    return CellOffsetFor(Size());
}

PackedValues::Kind PackedValues::KindAt(std::size_t column) const {
    return static_cast<Kind>(data_[2 + column]);
}

std::uint64_t PackedValues::CellAt(std::size_t column) const {
    std::uint64_t cell = 0;
    std::memcpy(&cell, data_.get() + CellOffset() + column * 8, 8);
    return cell;
}

db::Value PackedValues::At(std::size_t column) const {
    const std::uint64_t cell = CellAt(column);
    switch (KindAt(column)) {
        case Kind::Null:
            return {};
        case Kind::Integer: {
            qint64 i = 0;
            std::memcpy(&i, &cell, 8);
            return i;
        }
        case Kind::Float: {
            double d = 0;
            std::memcpy(&d, &cell, 8);
            return d;
        }
        case Kind::Text: {
            const QString* text = nullptr;
            std::memcpy(&text, &cell, sizeof text);
            return text ? *text : QString();
        }
    }
    return {};
}

bool PackedValues::SameAt(std::size_t column, const PackedValues& other) const {
    if (KindAt(column) != other.KindAt(column))
        return false;
    if (CellAt(column) == other.CellAt(column))
        return true;
    // Two integers or two pooled texts with different cells differ; floats and
    // texts of different pools are compared by value.
    return KindAt(column) != Kind::Integer && At(column) == other.At(column);
}

std::vector<db::Value> PackedValues::Unpack() const {
    std::vector<db::Value> values;
    const std::size_t count = Size();
    values.reserve(count);
    for (std::size_t c = 0; c < count; ++c)
        values.push_back(At(c));
    return values;
}

PackedValues PackedValues::Clone() const {
    PackedValues copy;
    if (!data_)
        return copy;
    const std::size_t bytes = CellOffset() + Size() * 8;
    copy.data_ = std::make_unique_for_overwrite<std::byte[]>(bytes);
    std::memcpy(copy.data_.get(), data_.get(), bytes);
    return copy;
}

}  // namespace data
