#pragma once
// The households of the dues ledger as the household window keeps them: one record
// each, its 班 history beside it. A move adds a 班 from a day on; the earlier 班
// stays in the history, so past years are counted where the household was.

#include "db/Connection.h"

#include <QDate>
#include <QString>

#include <vector>

struct SetaiRecord {
    int setaiCd = 0;  // 0 for a new household
    QString meisyo;
    QString furigana;
    QString jyusyo;
    QString tel;
    QDate nyukai;
    QDate taikai;  // null while it belongs
    QString biko;
    int hanCd = 0;  // its 班 today (or on its last day); the first 班 of a new household
};

// Every household, by code, with its 班 as of `day`.
std::vector<SetaiRecord> LoadSetaiRecords(db::Connection& connection, const QDate& day);

// Checks the record (a name, a joining day, a leaving day not before it, a 班 the
// ledger knows for a new household) and writes it in one transaction: a new
// household gets the next code and its first 班 from the joining day. Returns the
// code. EAppError for a fault, nothing written.
int SaveSetai(db::Connection& connection, const SetaiRecord& record);

// Moves the household to `hanCd` from `from` on (a day within its membership, after
// its joining day). A move on a day that already has one replaces it.
void MoveSetai(db::Connection& connection, int setaiCd, const QDate& from, int hanCd);

// Deletes a household with its history and exemptions; refused while payments of
// it are kept (a household that leaves gets a leaving day instead).
void DeleteSetai(db::Connection& connection, int setaiCd);
