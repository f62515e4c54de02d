#pragma once
// Dates as integers yyyymmdd (month 0 or day 0 stand for a whole year or month),
// the Japanese era table, and the right-aligned numbers the reports print.

#include <QString>
#include <QStringView>
#include <array>

// One era of the Japanese calendar. Row 0 stands for the Gregorian calendar.
struct NengoRow {
    char16_t letter;
    QStringView name;
    int yearOffset;  // era year = Gregorian year - yearOffset
    int firstDate;   // yyyymmdd of the era's first day
};

inline constexpr std::array<NengoRow, 6> NengoTable{{
    {u' ', u"西暦", 0, 0},
    {u'M', u"明治", 1867, 18680000},
    {u'T', u"大正", 1911, 19120730},
    {u'S', u"昭和", 1925, 19261225},
    {u'H', u"平成", 1988, 19890108},
    {u'R', u"令和", 2018, 20190501},
}};

struct Ymd {
    int year;
    int month;
    int day;
};

Ymd SplitYmd(int value);
bool IsValidYmd(int value);
// True only for eight ASCII digits naming a full date (year, month and day all set).
bool IsValidDateText(const QString& text);

struct Wareki {
    int eraIndex;  // row of NengoTable
    int value;     // the date with the era year in place of the Gregorian year
};
Wareki ToWareki(int value);

int PrevDay(int value);
int NextDay(int value);
int NextMonthSameDay(int value);
int NextYearSameDay(int value);

// The number without leading zeros (zero prints nothing), cut to `width`
// characters and right-aligned in `width` characters.
QString PadNumber(int number, int width);

// "yyyy/mm/dd" with month and day right-aligned in blanks; with eraFlag 1 the
// year is the two-character era year. Throws EAppError for a text that is not an integer.
QString FormatDateText(const QString& text, int eraFlag);
