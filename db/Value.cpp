#include "db/Value.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace db {

namespace {

qint64 RoundToInteger(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= 9.2e18)
        return std::numeric_limits<qint64>::max();
    if (v <= -9.2e18)
        return std::numeric_limits<qint64>::min();
    return std::llround(v);
}

template <class T>
int Sign(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}  // namespace

qint64 Value::AsInteger() const {
    if (const auto* i = std::get_if<qint64>(&data_))
        return *i;
    if (const auto* d = std::get_if<double>(&data_))
        return RoundToInteger(*d);
    if (const auto* s = std::get_if<QString>(&data_)) {
        const QString text = s->trimmed();
        bool ok = false;
        const qint64 i = text.toLongLong(&ok);
        if (ok)
            return i;
        const double d = text.toDouble(&ok);
        return ok ? RoundToInteger(d) : 0;
    }
    return 0;
}

double Value::AsFloat() const {
    if (const auto* i = std::get_if<qint64>(&data_))
        return static_cast<double>(*i);
    if (const auto* d = std::get_if<double>(&data_))
        return *d;
    if (const auto* s = std::get_if<QString>(&data_)) {
        bool ok = false;
        const double d = s->trimmed().toDouble(&ok);
        return ok ? d : 0.0;
    }
    return 0.0;
}

QString Value::AsString() const {
    if (const auto* i = std::get_if<qint64>(&data_))
        return QString::number(*i);
    if (const auto* d = std::get_if<double>(&data_))
        return QString::number(*d, 'g', QLocale::FloatingPointShortest);
    if (const auto* s = std::get_if<QString>(&data_))
        return *s;
    return {};
}

int Compare(const Value& a, const Value& b) {
    auto rank = [](const Value& v) { return v.IsNull() ? 0 : (v.IsText() ? 2 : 1); };
    const int ra = rank(a);
    const int rb = rank(b);
    if (ra != rb)
        return Sign(ra, rb);
    if (ra == 0)
        return 0;
    if (ra == 2) {
        const int c = QString::compare(a.AsString(), b.AsString());
        return Sign(c, 0);
    }
    if (a.IsInteger() && b.IsInteger())
        return Sign(a.AsInteger(), b.AsInteger());
    return Sign(a.AsFloat(), b.AsFloat());
}

}  // namespace db
