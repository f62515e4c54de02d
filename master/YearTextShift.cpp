#include "master/YearTextShift.h"

#include "core/DateUtil.h"
#include "core/JapaneseText.h"

namespace {

constexpr char16_t kZenSpace = u'\u3000';

// Full-width form of every character on its own, so that positions in the result
// are positions in the text (ToZenkaku joins a half-width letter and its voiced mark).
QString WidenEach(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        out += ToZenkaku(QString(c));
    return out;
}

QString ZenNumber(int number) {
    return ToZenkaku(QString::number(number));
}

bool IsYearUpTo(const QString& wide, qsizetype from, qsizetype nen, const QString& year) {
    QString between = wide.mid(from, nen - from);
    between.remove(QChar(kZenSpace));
    return between == year;
}

}  // namespace

EraYear EraYearOf(int date) {
    const Wareki wareki = ToWareki(date);
    return {NengoTable[static_cast<std::size_t>(wareki.eraIndex)].name.toString(), wareki.value / 10000};
}

QString BlankDateLine(const QString& eraName, int year) {
    return eraName + u' ' + ZenNumber(year) + QStringLiteral(" 年    月    日");
}

QString FullDateLine(const QString& eraName, int year, int month, int day) {
    return eraName + u' ' + ZenNumber(year) + QStringLiteral(" 年 ") + ZenNumber(month) +
           QStringLiteral(" 月 ") + ZenNumber(day) + QStringLiteral(" 日");
}

QString ShiftWesternYear(int previousYear, const QString& text) {
    const QString wide = WidenEach(text);
    const QString year = ZenNumber(previousYear);
    const qsizetype at = wide.indexOf(year);
    const qsizetype nen = text.indexOf(u'年');
    if (at < 0 || nen < 0 || nen < at || !IsYearUpTo(wide, at, nen, year))
        return text;
    QString result = text;
    result.replace(at, year.size(), ZenNumber(previousYear + 1));
    return result;
}

QString ShiftEraYear(int previousYear, int monthDay, const QString& text) {
    if (monthDay <= 100 || !IsValidYmd(previousYear * 10000 + monthDay))
        monthDay = 101;
    const int date = previousYear * 10000 + monthDay;
    const EraYear before = EraYearOf(date);
    const QString wide = WidenEach(text);
    const QString year = ZenNumber(before.year);
    const qsizetype era = wide.indexOf(before.eraName);
    const qsizetype at = wide.indexOf(year);
    const qsizetype nen = text.indexOf(u'年');
    if (era < 0 || at < 0 || nen < 0 || at < era || nen < at ||
        !IsYearUpTo(wide, era + before.eraName.size(), nen, year))
        return text;
    const EraYear after = EraYearOf(NextYearSameDay(date));
    // Era and year are replaced each in its place, so a blank between them stays.
    QString result = text;
    result.replace(at, year.size(), ZenNumber(after.year));
    result.replace(era, before.eraName.size(), after.eraName);
    return result;
}
