#pragma once
// 残高内訳 in the database: the places of a closing (ZANDAKA_UCHIWAKE) and the book
// balance they are checked against, for the settlement windows, the workbooks and
// the command line alike.

#include <QString>

#include <map>
#include <vector>

#include "db/Connection.h"
#include "statements/ZandakaRules.h"

namespace statements {

// The book balance of `division` at a closing: the opening balance as the journal
// window shows it (the budget's carry-over and the carry-over rows of items outside
// the statements) plus the receipts minus the payments of every saved line of the
// year, items outside the statements included, dated up to the closing date (the
// whole year for the year-end).
qint64 BookBalance(db::Connection& connection, const ClosingKey& closing, int division);

// The places saved for a closing, per division, in their order.
std::map<int, std::vector<Place>> SavedPlaces(db::Connection& connection, const ClosingKey& closing);

// The closings of `nendo` and the years before that have places saved.
std::vector<ClosingKey> ClosingsWithPlaces(db::Connection& connection, int nendo);

// The places a closing shows when it is loaded: its own, or, when it has none, the
// names of the previous closing's places (PreviousClosing) without their amounts.
// `offered` tells which.
std::map<int, std::vector<Place>> PlacesForLoad(db::Connection& connection, const ClosingKey& closing,
                                                bool* offered = nullptr);

// Replaces the places of a closing by `places` (the kept ones, numbered in order);
// an empty map deletes them. Runs in the connection's transaction.
void ReplacePlaces(db::Connection& connection, const ClosingKey& closing,
                   const std::map<int, std::vector<Place>>& places);

}  // namespace statements
