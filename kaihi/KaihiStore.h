#pragma once
// The dues ledger in the organisation database: the 班 and households (with their
// 班 history), a year's kinds of dues, exemptions and payments, and the saving of a
// collection together with the journal lines it makes.

#include "db/Connection.h"
#include "db/WorkKeys.h"
#include "kaihi/KaihiRules.h"
#include "kaihi/RyosyusyoRules.h"

#include <QDate>
#include <QString>

#include <map>
#include <optional>
#include <vector>

// Everyone the ledger knows, whatever the year.
struct KaihiMeibo {
    std::vector<KaihiHan> han;           // by JUNJYO, then code
    std::vector<SetaiMembership> setai;  // by code
    std::vector<KaihiSetaiName> names;   // the same households, by code
};
KaihiMeibo LoadMeibo(db::Connection& connection);

// One year of the ledger.
struct KaihiYear {
    int nendo = 0;
    QDate kisyubi;
    std::vector<KaihiSyurui> syurui;
    std::vector<KaihiMenjyo> menjyo;
    std::vector<KaihiNoufu> noufu;
    std::vector<int> noufuNos;  // NOUFU_NO of each payment, in the same order
};
// EAppError when the year is not registered.
KaihiYear LoadKaihiYear(db::Connection& connection, int nendo);

// Saves a collection of `nendo`: its payments and, made from them, the journal lines
// (one per 班 and kind, JournalLinesOf) with fresh line numbers, in one transaction
// that takes the year as a journal save does — a closed year, or a save of the year
// running elsewhere, is refused. The lines go straight into MEISAI, or, when
// `journalLoad` is the work-table key of this program's journal window holding the
// year, into that load's work rows as unsaved lines, to be saved with the journal
// (the payments are saved at once either way, tied to the lines by number). Refused
// while any other journal window holds the year loaded (its save would replace the
// year's lines): the message names the computer. Every payment is checked first
// (date within the year, a kind of the year, a household the ledger knows, an
// amount above 0, the months of a monthly kind within the year); the first fault
// raises EAppError and nothing is written. Returns the journal line numbers made,
// in JournalLinesOf's order.
std::vector<int> SaveCollection(db::Connection& connection, int nendo,
                                const std::vector<KaihiNoufu>& collection,
                                const std::optional<db::WorkKey>& journalLoad = std::nullopt);

// The line numbers that payments of `nendo` are tied to and the journal lacks: not
// in MEISAI, or, with `journalLoad`, not in that load's work rows (the year as its
// save will leave it). A journal window closed without saving leaves these.
std::vector<int> MissingJournalLines(db::Connection& connection, int nendo,
                                     const std::optional<db::WorkKey>& journalLoad = std::nullopt);
// Makes the lines of MissingJournalLines again from their payments, under the same
// numbers, where SaveCollection would write them and refused as it would be.
// Returns the line numbers made.
std::vector<int> RemakeJournalLines(db::Connection& connection, int nendo,
                                    const std::optional<db::WorkKey>& journalLoad = std::nullopt);

// Gives each payment of `noufuNos` that has none a receipt number from the
// sequence, in the order given, and returns every payment's number. A number is
// never given twice, even after its payment is deleted.
std::vector<int> GiveReceiptNumbers(db::Connection& connection, const std::vector<int>& noufuNos);

// A journal line made from payments that no longer says what they add up to: the
// line deleted (journal empty) or its amount changed in the journal window.
struct KaihiMismatch {
    int seqNo = 0;
    qint64 noufu = 0;
    std::optional<qint64> journal;
    bool operator==(const KaihiMismatch&) const = default;
};
std::vector<KaihiMismatch> KaihiJournalMismatches(db::Connection& connection, int nendo);

// The receipt items a kind of dues can be booked on in `nendo`: code and name, in
// the order of the chart of accounts, with the division the item belongs to.
struct KaihiKamoku {
    int kamoku = 0;
    QString name;
    int kaikeiKubun = 0;
};
std::vector<KaihiKamoku> ReceiptItemsOf(db::Connection& connection, int nendo);

// Replaces the year's kinds of dues with `syurui` in one transaction: a kind keeps
// its code (0: a new one gets the next). Each needs a name (10 characters at most),
// an amount above 0 and a receipt item of the year; a kind with payments cannot be
// dropped. EAppError for a fault, nothing written.
void SaveSyurui(db::Connection& connection, int nendo, const std::vector<KaihiSyurui>& syurui);

// An exemption of one household from one kind of dues for the months `from` to `to`
// (first days of months within the year, `from` first) and why. One starting in the
// same month replaces it. EAppError for a fault, nothing written.
void SaveMenjyo(db::Connection& connection, int nendo, const KaihiMenjyo& menjyo, const QString& riyu);
void DeleteMenjyo(db::Connection& connection, int nendo, const KaihiMenjyo& menjyo);
// The reasons of the year's exemptions, in LoadKaihiYear's order of `menjyo`.
std::vector<QString> MenjyoRiyu(db::Connection& connection, int nendo);

// One line of what is still owed (未納一覧).
struct KaihiMinouLine {
    int hanCd = 0;
    int setaiCd = 0;
    int syuruiCd = 0;
    std::vector<QDate> months;
    qint64 kingaku = 0;
    bool operator==(const KaihiMinouLine&) const = default;
};
// What is owed of `year` on `asOf`: months after it are not yet due. By 班 order,
// household, kind.
std::vector<KaihiMinouLine> MinouLines(const KaihiMeibo& meibo, const KaihiYear& year, const QDate& asOf);

// The receipt numbers the payments of `nendo` have been given, by NOUFU_NO; a
// payment without a receipt is not there.
std::map<int, int> ReceiptNumbersOf(db::Connection& connection, int nendo);

// Who gives the receipts of `nendo`, from the year's texts.
KaihiIssuer ReceiptIssuerOf(db::Connection& connection, int nendo);
