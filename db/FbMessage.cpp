#include "db/FbMessage.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace db::fb {

namespace {

constexpr unsigned kCharSetUnicodeFss = 3;
constexpr unsigned kCharSetUtf8 = 4;
constexpr unsigned kMaxVarchar = 32765;

std::vector<Field> FieldsOf(Firebird::IMessageMetadata* meta, Firebird::ThrowStatusWrapper* status) {
    const unsigned count = meta->getCount(status);
    std::vector<Field> fields(count);
    for (unsigned i = 0; i < count; ++i) {
        Field& f = fields[i];
        f.type = meta->getType(status, i);
        f.subType = meta->getSubType(status, i);
        f.length = meta->getLength(status, i);
        f.scale = meta->getScale(status, i);
        f.charSet = meta->getCharSet(status, i);
        f.offset = meta->getOffset(status, i);
        f.nullOffset = meta->getNullOffset(status, i);
    }
    return fields;
}

unsigned BytesPerChar(unsigned charSet) {
    if (charSet == kCharSetUnicodeFss)
        return 3;
    if (charSet == kCharSetUtf8)
        return 4;
    return 1;
}

template <class T>
T Load(const unsigned char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <class T>
void Store(unsigned char* p, T v) {
    std::memcpy(p, &v, sizeof v);
}

Value Scaled(qint64 v, int scale) {
    if (scale == 0)
        return Value(v);
    return Value(static_cast<double>(v) * std::pow(10.0, scale));
}

Connection::Column::Type TypeOf(const Field& f) {
    using T = Connection::Column::Type;
    switch (f.type) {
        case SQL_SHORT:
        case SQL_LONG:
        case SQL_INT64:
            return f.scale == 0 ? T::Integer : T::Float;
        case SQL_FLOAT:
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return T::Float;
        case SQL_TEXT:
        case SQL_VARYING:
            return T::Text;
        case SQL_BLOB:
            return f.subType == isc_blob_text ? T::Text : T::Other;
        default:
            return T::Other;
    }
}

QString DateText(ISC_DATE date) {
    unsigned y = 0, m = 0, d = 0;
    Util()->decodeDate(date, &y, &m, &d);
    return QDate(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d)).toString(Qt::ISODate);
}

QString TimeText(ISC_TIME time) {
    unsigned h = 0, m = 0, s = 0, frac = 0;
    Util()->decodeTime(time, &h, &m, &s, &frac);
    return QTime(static_cast<int>(h), static_cast<int>(m), static_cast<int>(s)).toString(Qt::ISODate);
}

qsizetype CharacterCount(const QString& text) {
    qsizetype count = 0;
    for (const QChar c : text) {
        if (!c.isLowSurrogate())
            ++count;
    }
    return count;
}

// The server checks a multi-byte text only against the bytes of its column (three
// per character in UNICODE_FSS), which lets up to three times the declared number
// of characters in. A text bound to a text parameter is held to the parameter's
// length in characters, and refused the way the server refuses a longer text.
void CheckCharacterLength(const Field& described, const QString& text) {
    if (described.type != SQL_TEXT && described.type != SQL_VARYING)
        return;
    const unsigned perChar = BytesPerChar(described.charSet);
    if (perChar == 1)
        return;  // the server's own check counts characters here
    const qsizetype limit = described.length / perChar;
    const qsizetype actual = CharacterCount(text);
    if (actual <= limit)
        return;
    throw Error(QStringLiteral("arithmetic exception, numeric overflow, or string truncation\n"
                               "-string right truncation\n"
                               "-expected length %1, actual %2")
                    .arg(limit)
                    .arg(actual),
                static_cast<int>(isc_arith_except));
}

}  // namespace

OutputMessage::OutputMessage(Firebird::IMessageMetadata* described, Firebird::ThrowStatusWrapper* status) {
    const std::vector<Field> original = FieldsOf(described, status);
    Ref<Firebird::IMetadataBuilder> builder(described->getBuilder(status));
    for (unsigned i = 0; i < original.size(); ++i) {
        if (original[i].type == SQL_TEXT)
            builder->setType(status, i, SQL_VARYING);
    }
    metadata_.reset(builder->getMetadata(status));
    fields_ = FieldsOf(metadata_.get(), status);
    buffer_.Resize(metadata_->getMessageLength(status));

    columns_.reserve(fields_.size());
    for (unsigned i = 0; i < fields_.size(); ++i) {
        const Field& f = fields_[i];
        Connection::Column column;
        column.name = QString::fromUtf8(metadata_->getAlias(status, i));
        column.type = TypeOf(f);
        const bool text = f.type == SQL_TEXT || f.type == SQL_VARYING;
        column.length = text ? static_cast<int>(f.length / BytesPerChar(f.charSet)) : 0;
        column.nullable = metadata_->isNullable(status, i);
        column.scale = (column.type == Connection::Column::Type::Float) ? f.scale : 0;
        columns_.push_back(std::move(column));
    }
}

std::vector<Value> OutputMessage::Read(const BlobReader& readBlob) const {
    std::vector<Value> values;
    values.reserve(fields_.size());
    for (const Field& f : fields_)
        values.push_back(ReadField(f, readBlob));
    return values;
}

Value OutputMessage::ReadField(const Field& f, const BlobReader& readBlob) const {
    const unsigned char* base = buffer_.Data();
    if (Load<short>(base + f.nullOffset) != 0)
        return Value();
    const unsigned char* p = base + f.offset;
    switch (f.type) {
        case SQL_VARYING: {
            const auto len = Load<unsigned short>(p);
            return Value(QString::fromUtf8(reinterpret_cast<const char*>(p + 2), len));
        }
        case SQL_TEXT:
            return Value(QString::fromUtf8(reinterpret_cast<const char*>(p), f.length));
        case SQL_SHORT:
            return Scaled(Load<qint16>(p), f.scale);
        case SQL_LONG:
            return Scaled(Load<qint32>(p), f.scale);
        case SQL_INT64:
            return Scaled(Load<qint64>(p), f.scale);
        case SQL_FLOAT:
            return Value(static_cast<double>(Load<float>(p)));
        case SQL_DOUBLE:
        case SQL_D_FLOAT:
            return Value(Load<double>(p));
        case SQL_BOOLEAN:
            return Value(Load<unsigned char>(p) != 0 ? 1 : 0);
        case SQL_TYPE_DATE:
            return Value(DateText(Load<ISC_DATE>(p)));
        case SQL_TYPE_TIME:
            return Value(TimeText(Load<ISC_TIME>(p)));
        case SQL_TIMESTAMP: {
            const auto ts = Load<ISC_TIMESTAMP>(p);
            return Value(DateText(ts.timestamp_date) + u' ' + TimeText(ts.timestamp_time));
        }
        case SQL_BLOB:
            return Value(QString::fromUtf8(readBlob(Load<ISC_QUAD>(p))));
        default:
            return Value();
    }
}

InputMessage::InputMessage(Firebird::IMessageMetadata* described, Firebird::ThrowStatusWrapper* status)
    : described_(FieldsOf(described, status)) {
    described->addRef();
    describedMetadata_.reset(described);
    // Until values say otherwise, NULLs go in the described types (CHAR as VARCHAR).
    fields_ = described_;
    for (Field& f : fields_) {
        if (f.type == SQL_TEXT)
            f.type = SQL_VARYING;
    }
    Rebuild(status);
}

void InputMessage::Bind(const std::vector<const Value*>& values, Firebird::ThrowStatusWrapper* status) {
    bool changed = false;
    std::vector<QByteArray> texts(fields_.size());
    for (unsigned i = 0; i < fields_.size(); ++i) {
        const Value& v = *values[i];
        Field& f = fields_[i];
        Field wanted = f;
        if (v.IsInteger()) {
            wanted.type = SQL_INT64;
            wanted.length = 8;
            wanted.scale = 0;
            wanted.subType = 0;
        } else if (v.IsFloat()) {
            wanted.type = SQL_DOUBLE;
            wanted.length = 8;
            wanted.scale = 0;
            wanted.subType = 0;
        } else if (v.IsText()) {
            CheckCharacterLength(described_[i], v.AsString());
            texts[i] = v.AsString().toUtf8();
            const auto needed = static_cast<unsigned>(texts[i].size());
            if (needed > kMaxVarchar) {
                throw Error(QStringLiteral("文字列が長すぎます。(%1 バイト)").arg(needed));
            }
            wanted.type = SQL_VARYING;
            wanted.charSet = kCharSetUnicodeFss;
            wanted.scale = 0;
            wanted.subType = 0;
            if (f.type != SQL_VARYING || f.charSet != kCharSetUnicodeFss || f.length < needed) {
                // Room to spare, so that a loop of similar texts does not rebuild each time.
                wanted.length =
                    std::clamp(std::max(needed * 2, f.type == SQL_VARYING ? f.length : 0u), 32u, kMaxVarchar);
            }
        }
        if (wanted.type != f.type || wanted.length != f.length || wanted.scale != f.scale ||
            wanted.charSet != f.charSet) {
            f = wanted;
            changed = true;
        }
    }
    if (changed)
        Rebuild(status);

    unsigned char* base = buffer_.Data();
    for (unsigned i = 0; i < fields_.size(); ++i) {
        const Value& v = *values[i];
        const Field& f = fields_[i];
        Store<short>(base + f.nullOffset, v.IsNull() ? short{-1} : short{0});
        unsigned char* p = base + f.offset;
        if (v.IsInteger()) {
            Store<qint64>(p, v.AsInteger());
        } else if (v.IsFloat()) {
            Store<double>(p, v.AsFloat());
        } else if (v.IsText()) {
            Store<unsigned short>(p, static_cast<unsigned short>(texts[i].size()));
            std::memcpy(p + 2, texts[i].constData(), static_cast<size_t>(texts[i].size()));
        }
    }
}

void InputMessage::Rebuild(Firebird::ThrowStatusWrapper* status) {
    Ref<Firebird::IMetadataBuilder> builder(describedMetadata_->getBuilder(status));
    for (unsigned i = 0; i < fields_.size(); ++i) {
        const Field& f = fields_[i];
        builder->setType(status, i, f.type);
        builder->setSubType(status, i, f.subType);
        builder->setLength(status, i, f.length);
        builder->setScale(status, i, f.scale);
        builder->setCharSet(status, i, f.charSet);
    }
    metadata_.reset(builder->getMetadata(status));
    const std::vector<Field> laidOut = FieldsOf(metadata_.get(), status);
    for (unsigned i = 0; i < fields_.size(); ++i) {
        fields_[i].offset = laidOut[i].offset;
        fields_[i].nullOffset = laidOut[i].nullOffset;
    }
    buffer_.Resize(metadata_->getMessageLength(status));
}

}  // namespace db::fb
