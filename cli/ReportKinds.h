#pragma once
// The reports the command line makes (its --kind): the journal listing, the
// monthly summary, and every line of the statement lists beside the program, by
// the template name the statement choice windows show, so that a layout added to
// a list is offered here too.

#include <QString>

#include <optional>
#include <vector>

namespace cli {

// Balances: 残高照合表, a line of the settlement list made by a module of its own.
// The dues ledger's: 会費徴収一覧, 未納一覧, 班別世帯数 and 領収書.
enum class ReportFamily {
    Journal,
    Monthly,
    Budget,
    Settlement,
    Balances,
    Collection,
    Unpaid,
    Households,
    Receipts
};

struct ReportKind {
    QString name;
    QString description;
    ReportFamily family = ReportFamily::Journal;
    int line = 0;  // the 1-based line of its list file (the statements)
};

// Every kind, in the order listed: the two journal workbooks, the budget and the
// settlement lists of `programFolder`, then the dues ledger's workbooks. EAppError when a list cannot be
// read.
std::vector<ReportKind> ReportKinds(const QString& programFolder);

// The kind named `name` (half-width digits match full-width ones: 予算書1 is
// 予算書１), or nullopt.
std::optional<ReportKind> FindReportKind(const std::vector<ReportKind>& kinds, const QString& name);

}  // namespace cli
