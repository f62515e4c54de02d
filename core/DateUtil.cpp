#include "core/DateUtil.h"

#include <algorithm>
#include <climits>

#include "core/Errors.h"

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
    static constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    return days[month - 1];
}

// Stepping the largest integer dates would overflow; those are no dates at all,
// so they are returned as they came.
int JoinYmd(int year, int month, int day, int original) {
    const long long joined = year * 10000LL + month * 100LL + day;
    return joined > INT_MAX ? original : static_cast<int>(joined);
}

bool CannotStep(int value, const Ymd& d) {
    return value < 0 || d.year == 0 || d.month == 0 || d.month > 12;
}

}  // namespace

Ymd SplitYmd(int value) {
    return {value / 10000, (value / 100) % 100, value % 100};
}

bool IsValidYmd(int value) {
    if (value < 0)
        return false;
    const Ymd d = SplitYmd(value);
    if (d.year == 0 && (d.month != 0 || d.day != 0))
        return false;
    if (d.month == 0 && d.day != 0)
        return false;
    if (d.year > 9999 || d.month > 12)
        return false;
    if (d.month == 0)
        return true;
    return d.day <= DaysInMonth(d.year, d.month);
}

bool IsValidDateText(const QString& text) {
    if (text.size() != 8)
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    if (text.first(4) == u"0000" || text.sliced(4, 2) == u"00" || text.sliced(6, 2) == u"00")
        return false;
    return IsValidYmd(text.toInt());
}

Wareki ToWareki(int value) {
    if (value < 0)
        return {0, value};
    for (int i = static_cast<int>(NengoTable.size()) - 1; i >= 0; --i) {
        const NengoRow& row = NengoTable[static_cast<std::size_t>(i)];
        if (row.firstDate <= value)
            return {i, value - row.yearOffset * 10000};
    }
    return {0, value};
}

int PrevDay(int value) {
    Ymd d = SplitYmd(value);
    if (CannotStep(value, d))
        return value;
    d.day = std::min(d.day, DaysInMonth(d.year, d.month));
    if (d.day != 0)
        --d.day;
    if (d.day == 0) {
        if (--d.month == 0) {
            d.month = 12;
            --d.year;
        }
        d.day = DaysInMonth(d.year, d.month);
    }
    return JoinYmd(d.year, d.month, d.day, value);
}

int NextDay(int value) {
    Ymd d = SplitYmd(value);
    if (CannotStep(value, d))
        return value;
    if (++d.day > DaysInMonth(d.year, d.month)) {
        d.day = 1;
        if (++d.month > 12) {
            d.month = 1;
            ++d.year;
        }
    }
    return JoinYmd(d.year, d.month, d.day, value);
}

int NextMonthSameDay(int value) {
    Ymd d = SplitYmd(value);
    if (value <= 0 || CannotStep(value, d))
        return value;
    if (++d.month > 12) {
        d.month = 1;
        ++d.year;
    }
    d.day = std::min(d.day, DaysInMonth(d.year, d.month));
    return JoinYmd(d.year, d.month, d.day, value);
}

int NextYearSameDay(int value) {
    if (value <= 0)
        return value;
    Ymd d = SplitYmd(value);
    ++d.year;
    if (d.month >= 1 && d.month <= 12)
        d.day = std::min(d.day, DaysInMonth(d.year, d.month));
    return JoinYmd(d.year, d.month, d.day, value);
}

QString PadNumber(int number, int width) {
    if (width <= 0)
        return {};
    const QString digits = number == 0 ? QString() : QString::number(number).left(width);
    return digits.rightJustified(width, u' ');
}

QString FormatDateText(const QString& text, int eraFlag) {
    bool ok = false;
    int value = text.trimmed().toInt(&ok);
    if (!ok)
        throw EAppError(QStringLiteral("'") + text + QStringLiteral("' は正しい整数ではありません"));
    int eraIndex = 0;
    if (eraFlag == 1) {
        const Wareki w = ToWareki(value);
        eraIndex = w.eraIndex;
        value = w.value;
    }
    const Ymd d = SplitYmd(value);
    return PadNumber(d.year, eraIndex != 0 ? 2 : 4) + u'/' + PadNumber(d.month, 2) + u'/' +
           PadNumber(d.day, 2);
}
