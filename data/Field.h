#pragma once
// One field of a dataset or view: its definition, its value in the current row
// (the edit buffer while editing) and its entry rules and events.

#include "data/FieldDef.h"
#include "data/PackedValues.h"
#include "db/Value.h"

#include <QString>

#include <functional>
#include <vector>

namespace data {

class DataSet;

class Field {
  public:
    Field(DataSet& owner, FieldDef def);
    Field(const Field&) = delete;
    Field& operator=(const Field&) = delete;

    DataSet& Owner() const { return owner_; }
    const FieldDef& Def() const { return def_; }
    // For adjusting a definition after the dataset opened (labels, formats, read-only).
    FieldDef& Def() { return def_; }
    const QString& FieldName() const { return def_.name; }
    QString DisplayLabel() const { return def_.DisplayLabel(); }
    FieldType Type() const { return def_.type; }
    bool IsLookup() const { return def_.lookup.has_value(); }
    // The column in the dataset's rows; -1 for a lookup field.
    int Column() const { return column_; }
    // Most characters a text keeps (0: no limit).
    int Size() const { return size_; }

    // The value in the current row (NULL when there is none).
    db::Value Value() const;
    bool IsNull() const { return Value().IsNull(); }
    qint64 AsInteger() const { return Value().AsInteger(); }
    double AsFloat() const { return Value().AsFloat(); }
    QString AsString() const { return Value().AsString(); }
    // The value as shown (display format, zero shown empty) and as edited.
    QString DisplayText() const { return FormatDisplay(Value()); }
    QString EditText() const { return FormatEdit(Value()); }
    QString FormatDisplay(const db::Value& v) const;
    QString FormatEdit(const db::Value& v) const;

    // Sets the value from code. Passes the field's rules: converted to the type,
    // texts trimmed (when the field says so) and cut to the size, the range
    // checked (EAppError with the range message), read-only refused; then OnChange.
    // Needs the dataset in edit or insert state.
    void SetValue(const db::Value& v);
    // The same without the range check, for values the program computes itself.
    void SetComputedValue(const db::Value& v);
    void Clear() { SetValue(db::Value()); }
    // What the user typed: OnSetText when set (it stores the value itself),
    // otherwise the text is read in the field's type and stored through SetValue.
    void SetText(const QString& text);

    // The value this field stores for `v`: converted and cut, without events.
    db::Value Normalized(const db::Value& v) const;
    // The value this field has in a row given by its column values.
    db::Value ValueIn(RowRef row) const;

    std::function<void(Field&, const QString&)> OnSetText;
    std::function<void(Field&)> OnChange;

  private:
    friend class DataSet;
    void Store(const db::Value& v, bool checkRange);
    void CheckRange(const db::Value& v) const;
    db::Value ParseText(const QString& text) const;

    DataSet& owner_;
    FieldDef def_;
    int column_ = -1;
    int size_ = 0;  // most characters of a text: the definition's size, else the column's length
};

}  // namespace data
