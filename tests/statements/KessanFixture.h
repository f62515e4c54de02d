#pragma once
// The settlement windows on a scratch organisation: the year 2021 (1 April to
// 31 March) with a general account and the special account 2 (祭礼会計), a saved
// budget, and journal lines with a refund, a transfer between the two divisions
// (one half in each) and a line on an item outside the statements; and the check
// every settlement test shares: the window's amounts against the journal summed by
// one plain query.

#include <QStringList>

#include <map>

#include "db/Connection.h"
#include "statements/KessanNyuryokuUnit.h"
#include "tests/support/EntryWindowFixture.h"

class KessanTest : public EntryWindowTest {
  protected:
    KessanTest();

    // Types the year and moves to 入力(表示), which loads it (in the interim window
    // Enter in the year box goes to the closing date).
    static void Load(TStatementEntryForm& form, const QString& year = QStringLiteral("2021"));
};

// The settlement the window holds under `jikoku` (every division and item) equals
// the journal of `nendo` (up to `simebi` when not empty) summed by one group by,
// each item with its sign, item 100 at its budget, and item 8000 as the division's
// balance. Returns the carry-over per division.
std::map<int, qint64> ExpectSettlementMatchesJournal(db::Connection& c, const QString& jikoku, int nendo,
                                                     const QString& simebi = {});
