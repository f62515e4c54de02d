#pragma once
// 定期明細: lines that recur every month or in chosen months (a membership fee, the
// rent, a standing order), kept as templates and made into journal lines for a
// range of months. A month whose line the year has already is not made again,
// so running it twice over the same months adds nothing. The templates are kept
// per organisation in TEIKI_MEISAI.

#include <QString>

#include <array>
#include <vector>

#include "journal/ImportDuplicates.h"
#include "journal/MeisaiImport.h"

namespace db {
class Connection;
}

struct TeikiTemplate {
    int kaikeiKubun = 0;
    int kamoku = 0;
    QString aite;
    QString tekiyo;
    qint64 syunyu = 0;  // one of the two amounts; 0 none
    qint64 sisyutsu = 0;
    int hi = 1;                     // day of the month; past the month's end: its last day
    std::array<bool, 12> months{};  // January .. December
    bool operator==(const TeikiTemplate&) const = default;
};

// Why a template cannot be kept; nullopt when it can.
std::optional<QString> TeikiProblem(const TeikiTemplate& t);

// One line to make: the template's values on a date.
struct TeikiLine {
    std::size_t from = 0;  // the template's index
    QString hizuke;        // yyyymmdd
};

// The lines of `templates` for the months from `fromYm` to `toYm` (yyyymm, both
// included), within the year from `kisyubi` to `kimatsubi`, in date order (then
// template order), leaving out each line the year has already (`year`: the
// lines of the load, every division).
std::vector<TeikiLine> TeikiLines(const std::vector<TeikiTemplate>& templates, const QString& fromYm,
                                  const QString& toYm, const QString& kisyubi, const QString& kimatsubi,
                                  const std::vector<LineKey>& year);

// The lines to enter for `lines`, each checked as a typed line is against the
// load (`context`: the year, its items and divisions). A template that no longer
// fits (its division gone from the year, an item the division may not take)
// refuses them all: the message names it.
struct TeikiEntries {
    std::vector<ImportLine> lines;
    QString error;
};
TeikiEntries TeikiImportLines(const std::vector<TeikiTemplate>& templates,
                              const std::vector<TeikiLine>& lines, const ImportContext& context);

// The months of the year beginning on `kisyubi`, as yyyymm, in order.
std::vector<QString> MonthsOfYear(const QString& kisyubi, const QString& kimatsubi);

std::vector<TeikiTemplate> LoadTeikiTemplates(db::Connection& connection);
// Replaces the stored templates by `templates`, in one transaction.
void SaveTeikiTemplates(db::Connection& connection, const std::vector<TeikiTemplate>& templates);
