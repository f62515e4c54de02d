#pragma once
// A stored row's values packed into one block: eight bytes a value and one byte
// for its kind, texts shared through the store's string pool. A loaded row of a
// dozen columns takes about 130 bytes instead of a vector of variants and a heap
// string for every text. Internal to the data layer.

#include "db/Value.h"

#include <QHashFunctions>  // std::hash<QString>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_set>
#include <vector>

namespace data {

// Texts kept once however many values hold them. A pooled text stays until the
// pool goes (with its rows): a text an edit replaced is not looked for.
class StringPool {
  public:
    // The pooled copy of `text` (the same object for every equal text); nullptr
    // for a null QString, which stays apart from "".
    const QString* Intern(const QString& text);
    std::size_t Size() const { return strings_.size(); }

  private:
    std::unordered_set<QString> strings_;  // nodes do not move: pointers into it stay valid
    const QString* last_ = nullptr;        // consecutive rows often repeat a text
};

class PackedValues {
  public:
    PackedValues() = default;
    PackedValues(const std::vector<db::Value>& values, StringPool& pool);
    PackedValues(PackedValues&&) noexcept = default;
    PackedValues& operator=(PackedValues&&) noexcept = default;

    bool Empty() const { return !data_; }
    std::size_t Size() const;
    db::Value At(std::size_t column) const;
    // Equal kind and value (texts compared by their pooled copy when both are pooled).
    bool SameAt(std::size_t column, const PackedValues& other) const;
    std::vector<db::Value> Unpack() const;
    PackedValues Clone() const;
    void Clear() { data_.reset(); }

  private:
    enum class Kind : std::uint8_t { Null, Integer, Float, Text };
    std::size_t CellOffset() const;
    Kind KindAt(std::size_t column) const;
    std::uint64_t CellAt(std::size_t column) const;

    // [count: 2 bytes][kinds: count bytes][padding to 8][cells: count × 8 bytes]
    std::unique_ptr<std::byte[]> data_;
};

// The values a field reads: the edit buffer or a stored row.
class RowRef {
  public:
    RowRef(const std::vector<db::Value>& values) : values_(&values) {}  // NOLINT(google-explicit-constructor)
    RowRef(const PackedValues& packed) : packed_(&packed) {}            // NOLINT(google-explicit-constructor)
    db::Value At(std::size_t column) const { return values_ ? (*values_)[column] : packed_->At(column); }

  private:
    const std::vector<db::Value>* values_ = nullptr;
    const PackedValues* packed_ = nullptr;
};

}  // namespace data
