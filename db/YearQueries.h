#pragma once
// Queries that the journal window and the workbooks run on a fiscal year alike.

#include <QString>

namespace db {

// The accounting divisions valid in a year (:KAISI_NENDO and :SYURYO_NENDO both set
// to it), in code order: CD named `codeAlias`, MEISYO, KAISI_NENDO.
QString DivisionsOfYearSql(const QString& codeAlias);

// KURIKOSI, the opening balance of one division (:KAIKEI_KUBUN) of a year (:Nendo):
// the budget's carry-over (item 100) and the carry-over rows, as a set union so that
// identical rows count once, each signed by its item's classification (receipts
// add). Items or classifications that are missing drop out.
QString OpeningBalanceSql();

}  // namespace db
