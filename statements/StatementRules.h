#pragma once
// Rules the budget, settlement and interim windows share that need no window: the
// item lists each grid offers, how a journal sum becomes an item's amount, and the
// era and year the statements' default texts speak of.

#include <QString>

#include <optional>

// The filter of a grid's item list: items of `syusiKubun` (1 receipts, 2 payments),
// for payments only codes below `paymentsBelow` (the computed lines stay out), and
// in the general account (division 0) no transfer items 3000/6000, in a special
// division none of the items that transfer with that very division.
QString KamokuListFilter(int syusiKubun, int division, int paymentsBelow);

// What a journal sum means for an item: receipts minus payments for a receipts
// item (kind 1), payments minus receipts for any other kind.
qint64 SignedNet(int syusiKubun, qint64 syunyu, qint64 sisyutsu);

// +amount for a receipts item (kind 1), -amount for any other kind.
qint64 SignedAmount(int syusiKubun, qint64 amount);

// An amount the window computed, as the INTEGER column stores it; nullopt when it
// does not fit (a figure that would be silently cut must not be written).
std::optional<int> AsStoredAmount(qint64 amount);

// The era name and year in which a statement text names the date `yyyymmdd`:
// with `nengoKubun` other than 0 the Japanese era and its year, otherwise no era
// and the Western year.
struct EraYear {
    QString era;
    int year = 0;
};
EraYear StatementEraYear(int yyyymmdd, int nengoKubun);
