#include "cli/ReportKinds.h"

#include "core/JapaneseText.h"
#include "reports/StatementList.h"
#include "templates/ZandakaSyogohyoLayout.h"

using namespace Qt::Literals::StringLiterals;

namespace cli {

std::vector<ReportKind> ReportKinds(const QString& programFolder) {
    std::vector<ReportKind> kinds{
        {u"収支明細表"_s, u"会計区分ごとの収支明細と残高"_s, ReportFamily::Journal, 0},
        {u"月別集計表"_s, u"会計区分ごとの科目別・月別の集計"_s, ReportFamily::Monthly, 0},
    };
    const std::pair<QString, ReportFamily> lists[] = {{u"YosansyoList.txt"_s, ReportFamily::Budget},
                                                      {u"KessansyoList.txt"_s, ReportFamily::Settlement}};
    for (const auto& [file, family] : lists) {
        int line = 0;
        for (const StatementListLine& entry : ReadStatementList(programFolder + u'/' + file)) {
            const bool balances = family == ReportFamily::Settlement &&
                                  entry.key == QString::fromUtf8(templates::zandaka::kName);
            kinds.push_back(
                {entry.key, entry.description, balances ? ReportFamily::Balances : family, ++line});
        }
    }
    return kinds;
}

std::optional<ReportKind> FindReportKind(const std::vector<ReportKind>& kinds, const QString& name) {
    // The template's own name of the journal listing is 収支明細書.
    const QString wanted = ToHankaku(name.trimmed() == u"収支明細書"_s ? u"収支明細表"_s : name.trimmed());
    for (const ReportKind& kind : kinds)
        if (ToHankaku(kind.name) == wanted)
            return kind;
    return std::nullopt;
}

}  // namespace cli
