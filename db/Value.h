#pragma once
// One value read from or written to the database: NULL, an integer, a floating
// number or a text. NULL stays apart from 0 and "".

#include <QString>
#include <QtGlobal>

#include <variant>

namespace db {

class Value {
  public:
    Value() = default;
    Value(qint64 v) : data_(v) {}
    Value(int v) : data_(qint64{v}) {}
    Value(double v) : data_(v) {}
    Value(QString v) : data_(std::move(v)) {}
    // Keeps "Value(u"…"_s)" and string literals from turning into a bool or a pointer.
    Value(const char16_t* v) : data_(QString::fromUtf16(v)) {}

    bool IsNull() const { return std::holds_alternative<std::monostate>(data_); }
    bool IsInteger() const { return std::holds_alternative<qint64>(data_); }
    bool IsFloat() const { return std::holds_alternative<double>(data_); }
    bool IsText() const { return std::holds_alternative<QString>(data_); }

    // NULL gives 0; a float is rounded to the nearest integer; a text is parsed
    // (a text that is no number gives 0).
    qint64 AsInteger() const;
    // NULL gives 0; a text is parsed (no number gives 0).
    double AsFloat() const;
    // NULL gives ""; numbers in decimal.
    QString AsString() const;

    // Same kind and same value; NULL equals NULL.
    bool operator==(const Value& other) const { return data_ == other.data_; }

  private:
    std::variant<std::monostate, qint64, double, QString> data_;
};

// A total order: NULL first, then numbers (integers and floats compared by value),
// then texts (QString::compare). Returns <0, 0 or >0.
int Compare(const Value& a, const Value& b);

}  // namespace db
