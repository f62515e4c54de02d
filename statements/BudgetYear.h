#pragma once
// The budget's save without its window: the year's YOSAN and KURIKOSI rows replaced
// by a window's work rows and carry-over breakdown, inside the caller's transaction
// (the window's serialised save; computers sharing the database race through it).

#include <vector>

#include "db/Connection.h"
#include "db/Value.h"
#include "db/WorkKeys.h"

// One amount of the carry-over breakdown (an item outside the statements).
struct KurikosiAmount {
    db::Value kaikeiKubun;
    db::Value kamoku;
    db::Value kurikosi;  // empty or 0: nothing saved
};

// The amendment `hoseiNo` of the year, approved on `syoninBi` (yyyymmdd), replaced
// by the 今回補正額 (KONKAI_HOSEI) of the work rows of `key`; amounts of 0 are not
// stored. Inside the caller's transaction.
void ReplaceHosei(db::Connection& connection, int nendo, int hoseiNo, const QString& syoninBi,
                  const db::WorkKey& key);
// Every amendment of the year deleted (the budget is deleted).
void DeleteHosei(db::Connection& connection, int nendo);

// Deletes the year's YOSAN and KURIKOSI rows; with `key`, then writes YOSAN from the
// work rows of `key` and KURIKOSI from `kurikosi`. Without it (削除) the year keeps
// no budget.
void ReplaceBudgetYear(db::Connection& connection, int nendo, const db::WorkKey* key,
                       const std::vector<KurikosiAmount>& kurikosi);
