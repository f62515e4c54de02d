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
    const ReportKind ledger[] = {
        {u"会費徴収一覧"_s, u"会費の種別ごとの班別・世帯×月の徴収一覧 (--dues)"_s, ReportFamily::Collection,
         0},
        {u"未納一覧"_s, u"会費を納めていない世帯・種別・月と金額 (--date)"_s, ReportFamily::Unpaid, 0},
        {u"班別世帯数"_s, u"班ごとの世帯数 (--date)"_s, ReportFamily::Households, 0},
        {u"領収書"_s, u"会費の領収書 (領収書を作成していない納付、または --numbers)"_s,
         ReportFamily::Receipts, 0},
    };
    kinds.insert(kinds.end(), std::begin(ledger), std::end(ledger));
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
