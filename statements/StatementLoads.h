#pragma once
// What the budget, settlement and interim settlement windows do when they load a
// year, without a window: the year's saved lines copied (or, for a settlement,
// computed from the budget and the journal) into the work table under a key, and
// the statement texts of a row that was never given any. The windows run these on
// their own rows; the command line runs them to make a statement from saved data,
// so a statement made either way is the same.
//
// The work rows are written in the connection's explicit transaction when one is
// active (the command line rolls it back at the end), else in one of their own.

#include "data/DataSet.h"
#include "db/Connection.h"
#include "db/WorkKeys.h"
#include "statements/HoseiRules.h"

#include <QString>

namespace statements {

// The statement windows' account list: the items of aggregated classifications,
// each with its TOKUBETSU_CD as KAIKEI_KUBUN, its kind, classification and order
// (columns KAIKEI_KUBUN, SYUSI_KUBUN, BUNRUI, BUNRUIMEI, BUNRUI_JUNJYO, KAMOKU,
// KAMOKUMEI, KAMOKU_JUNJYO, KAISI_NENDO, SYURYO_NENDO).
QString StatementKamokuSql();

// The budget window's load: the year's saved budget (YOSAN) into W_YOSAN under
// `key`, with each item's facts beside its line.
void CopyYosanToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key);

// What the settlement says of a year that has no budget.
QString NoBudgetNote(int nendo);

// The budget window's load of the year's amendments into the work rows of `key`
// (after CopyYosanToWorkRows): the latest amendment's amounts as 今回補正額
// (KONKAI_HOSEI), the earlier ones summed (HOSEI_ZEN), their sum (HOSEI) and the
// amended budget (HOSEIGO). The amendments' numbers and the latest one's date.
struct HoseiLoad {
    std::vector<int> hoseiNos;
    QString syoninBi;  // of the latest
};
HoseiLoad CopyHoseiToWorkRows(db::Connection& connection, int nendo, const db::WorkKey& key);
// HOSEI and HOSEIGO of the work rows of `key` recomputed from the other columns.
void RefreshHoseiColumns(db::Connection& connection, const db::WorkKey& key);

// The year's budget amendments summed per division and item.
HoseiSums ReadHoseiSums(db::Connection& connection, int nendo);

// The settlement window's load into W_KESSAN under `key`: the saved lines
// (KESSAN, or CYUKAN_KESSAN of the closing date `simebi` when it is not empty)
// with the amended budget (補正後予算額) as 予算額 and the journal summed as 決算額 (up to `simebi`),
// and the carry-over to the next year; `kamokuList` is the account list
// (StatementKamokuSql) the items' facts come from. EAppError when the year has no
// budget, an amount leaves its range, or a line cannot be written.
// A year without any budget is settled with the budget columns empty (small
// circles keep none): false then, for the caller to say so.
bool SettleToWorkRows(db::Connection& connection, int nendo, const QString& simebi, const db::WorkKey& key,
                      const data::DataSet& kamokuList);

// The budget texts of the year's NENDO row `row` when they were never set
// (YOSAN_COMMENT_KUBUN is NULL): the row is put in edit and left there.
void FillYosanDefaultTexts(data::DataSet& row, int nendo, const QString& dantai);

// The settlement texts of the statement-texts row `row` (the NENDO row, or the
// interim CYUKAN_KESSAN_NENDO row of closing date `simebi`) when they were never
// set (KESSAN_SYOMEI_KUBUN1 is NULL): put in edit and left there.
void FillKessanDefaultTexts(data::DataSet& row, int nendo, const QString& simebi, const QString& dantai);
// The settlement texts and signature defaults, into `row` already in edit.
void SetKessanTexts(data::DataSet& row, int nendo, const QString& simebi, const QString& dantai);

// The interim window's texts row of closing date `simebi`: `row` is open on the
// year's CYUKAN_KESSAN_NENDO row of that date; when there is none yet, a new
// row starts from the year's NENDO row (its texts and officers), posted, not
// saved. EAppError when the year has no NENDO row.
void StartCyukanTextsRow(data::DataSet& row, db::Connection& connection, int nendo, const QString& simebi);

}  // namespace statements
