#include "data/Field.h"

#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "data/DataSet.h"
#include "data/FieldFormat.h"

#include <cmath>

namespace data {

Field::Field(DataSet& owner, FieldDef def) : owner_(owner), def_(std::move(def)) {}

db::Value Field::ValueIn(RowRef row) const {
    if (!IsLookup())
        return column_ >= 0 ? row.At(static_cast<std::size_t>(column_)) : db::Value();
    const LookupDef& lookup = *def_.lookup;
    if (!lookup.dataSet || !lookup.dataSet->Active())
        return {};
    std::vector<db::Value> keys;
    for (const QString& name : lookup.keyFields.split(u';')) {
        const Field* key = owner_.FindField(name.trimmed());
        if (!key || key->IsLookup())
            return {};
        db::Value v = key->ValueIn(row);
        if (v.IsNull())
            return {};
        keys.push_back(std::move(v));
    }
    return lookup.dataSet->Lookup(lookup.lookupKeyFields, keys, lookup.resultField).value_or(db::Value());
}

db::Value Field::Value() const {
    const std::optional<RowRef> row = owner_.CurrentValues();
    return row ? ValueIn(*row) : db::Value();
}

QString Field::FormatDisplay(const db::Value& v) const {
    if (v.IsNull())
        return {};
    if (def_.zeroAsBlank && (v.IsInteger() || v.IsFloat()) && v.AsFloat() == 0)
        return {};
    if (v.IsInteger())
        return FormatNumber(v.AsInteger(), def_.displayFormat);
    if (v.IsFloat())
        return QString::number(v.AsFloat(), 'g', 15);
    return v.AsString();
}

QString Field::FormatEdit(const db::Value& v) const {
    if (v.IsNull())
        return {};
    if (v.IsInteger())
        return FormatNumber(v.AsInteger(), def_.editFormat.isEmpty() ? def_.displayFormat : def_.editFormat);
    if (v.IsFloat())
        return QString::number(v.AsFloat(), 'g', 15);
    return v.AsString();
}

db::Value Field::Normalized(const db::Value& v) const {
    if (v.IsNull())
        return v;
    switch (def_.type) {
        case FieldType::Integer:
            if (v.IsInteger())
                return v;
            if (v.IsFloat())
                return db::Value(static_cast<qint64>(std::llround(v.AsFloat())));
            return ParseText(v.AsString());
        case FieldType::Float:
            if (v.IsText())
                return ParseText(v.AsString());
            return db::Value(v.AsFloat());
        case FieldType::Text: {
            QString text = v.AsString();
            if (def_.trimOnEntry)
                text = TrimZen(text);
            if (size_ > 0)
                text = CutToCharacters(text, size_);
            if (text.isEmpty())
                return {};
            return db::Value(text);
        }
    }
    return v;
}

db::Value Field::ParseText(const QString& text) const {
    if (def_.type == FieldType::Text)
        return db::Value(text);
    QString t = ToHankaku(TrimZen(text));
    t.remove(u',');
    if (t.isEmpty())
        return {};
    bool ok = false;
    if (def_.type == FieldType::Integer) {
        const qint64 v = t.toLongLong(&ok);
        if (ok)
            return db::Value(v);
        throw EAppError(QStringLiteral("'%1' は正しい整数ではありません。").arg(text));
    }
    const double d = t.toDouble(&ok);
    if (ok)
        return db::Value(d);
    throw EAppError(QStringLiteral("'%1' は正しい数値ではありません。").arg(text));
}

void Field::CheckRange(const db::Value& v) const {
    if (v.IsNull() || def_.type == FieldType::Text)
        return;
    if (!def_.minValue && !def_.maxValue)
        return;
    const double x = v.AsFloat();
    const bool below = def_.minValue && x < static_cast<double>(*def_.minValue);
    const bool above = def_.maxValue && x > static_cast<double>(*def_.maxValue);
    if (!below && !above)
        return;
    if (!def_.rangeMessage.isEmpty())
        throw EAppError(def_.rangeMessage);
    const QString low = def_.minValue ? QString::number(*def_.minValue) : QString();
    const QString high = def_.maxValue ? QString::number(*def_.maxValue) : QString();
    throw EAppError(QStringLiteral("%1は%2の範囲外です。%3～%4の範囲で入力してください。")
                        .arg(FormatEdit(v), DisplayLabel(), low, high));
}

void Field::Store(const db::Value& v, bool checkRange) {
    owner_.RequireEditing();
    if (def_.readOnly)
        throw EAppError(QStringLiteral("フィールド '%1' は変更できません。").arg(DisplayLabel()));
    if (IsLookup()) {
        // Choosing a lookup value stores the key of the row that has it.
        const LookupDef& lookup = *def_.lookup;
        Field& key = owner_.FieldByName(lookup.keyFields.trimmed());
        if (v.IsNull() || !lookup.dataSet) {
            key.Store(db::Value(), checkRange);
            return;
        }
        const auto found = lookup.dataSet->Lookup(lookup.resultField, {v}, lookup.lookupKeyFields.trimmed());
        if (!found)
            throw EAppError(QStringLiteral("'%1' は一覧にありません。").arg(v.AsString()));
        key.Store(*found, checkRange);
        return;
    }
    const db::Value value = Normalized(v);
    if (value.IsText() && HasUnpairedSurrogate(value.AsString()))
        throw EAppError(QStringLiteral("%1に使用できない文字が含まれています。").arg(DisplayLabel()));
    if (checkRange)
        CheckRange(value);
    owner_.SetBufferValue(column_, value);
    if (OnChange)
        OnChange(*this);
}

void Field::SetValue(const db::Value& v) {
    Store(v, true);
}

void Field::SetComputedValue(const db::Value& v) {
    Store(v, false);
}

void Field::SetText(const QString& text) {
    if (OnSetText) {
        OnSetText(*this, text);
        return;
    }
    Store(ParseText(text), true);
}

}  // namespace data
