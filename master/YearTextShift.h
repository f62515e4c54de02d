#pragma once
// The texts of a new fiscal year made from the year before: the statements' date
// lines and the year named inside a comment moved on by one year, in Western years
// (２０２１年度) or Japanese-era years (令和３年度).

#include <QString>

// The era name ("令和") and the year within it of a date yyyymmdd.
struct EraYear {
    QString eraName;
    int year;
};
EraYear EraYearOf(int date);

// "<era> <year> 年    月    日": a date line with only the year filled in. The era
// name is empty for Western years, so the line then starts with the blank.
QString BlankDateLine(const QString& eraName, int year);
// "<era> <year> 年 <month> 月 <day> 日", numbers in full-width digits.
QString FullDateLine(const QString& eraName, int year, int month, int day);

// Western years: the year `previousYear`, written in half- or full-width digits and
// followed (full-width blanks aside) by the first 年 of the text, becomes the next
// year in full-width digits. Any other text comes back unchanged.
QString ShiftWesternYear(int previousYear, const QString& text);

// Japanese-era years: the era and era year of `previousYear` at month-day `monthDay`
// (mmdd), followed by the first 年, become the era and era year one year later, so a
// text crosses into a new era. Any other text comes back unchanged.
QString ShiftEraYear(int previousYear, int monthDay, const QString& text);
