#pragma once
// The dues ledger's rules that need no window: which months a household owes, in
// which 班, what it still owes after its payments, how many households a 班 has on
// a date, the journal lines a collection makes, and the amount in words a receipt
// prints.
//
// Months are the first days of the months (QDate); a year's months run from the
// month of its first day (期首) for twelve months.

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

// A date as treasurers type it or their lists hold it: 2026/4/1, 2026-04-01,
// 2026.4.1 or 20260401, in full-width digits too; an invalid date for anything else.
QDate TypedHizuke(const QString& text);

// The twelve months of the year that starts on `kisyubi`, in order.
std::vector<QDate> NendoMonths(const QDate& kisyubi);

// A household's place in a 班 from `from` on (a move is a new entry).
struct HanZaiseki {
    QDate from;
    int hanCd = 0;
};

// A household: joined on `nyukai`, left after `taikai` (its last day as a member,
// null while it belongs), its 班 history sorted by `from`.
struct SetaiMembership {
    int setaiCd = 0;
    QDate nyukai;
    QDate taikai;
    std::vector<HanZaiseki> han;
};

// Whether the household belongs on `day`.
bool IsMemberOn(const SetaiMembership& setai, const QDate& day);
// Its 班 on `day` (0 when it does not belong then).
int HanOn(const SetaiMembership& setai, const QDate& day);
// Whether it belongs on some day of `month`, and in which 班: the one it is in on
// the first day it belongs in that month.
bool IsMemberInMonth(const SetaiMembership& setai, const QDate& month);
int HanOfMonth(const SetaiMembership& setai, const QDate& month);

// A kind of dues for a year: `perMonth` ones are owed for every month a household
// belongs, the others once a year.
struct KaihiSyurui {
    int syuruiCd = 0;
    QString name;
    bool perMonth = true;
    qint64 kingaku = 0;
    int kaikeiKubun = 0;
    int kamoku = 0;
};

// An exemption of one household from one kind for the months from `from` to `to`
// (first days of months, both included).
struct KaihiMenjyo {
    int setaiCd = 0;
    int syuruiCd = 0;
    QDate from;
    QDate to;
};

// One month's (or the year's) dues a household owes: a yearly kind is owed once, in
// the first month the household belongs, and waived when that month is exempted.
struct KaihiOwed {
    QDate month;
    int hanCd = 0;
    qint64 kingaku = 0;
    bool operator==(const KaihiOwed&) const = default;
};
std::vector<KaihiOwed> OwedDues(const SetaiMembership& setai, const KaihiSyurui& syurui,
                                const std::vector<KaihiMenjyo>& menjyo, const std::vector<QDate>& months);

// A payment: the months it covers (none for a yearly kind), the 班 whose 班長 took
// it (0 for a bank transfer).
struct KaihiNoufu {
    int setaiCd = 0;
    int syuruiCd = 0;
    QDate hizuke;
    std::vector<QDate> months;
    qint64 kingaku = 0;
    int viaHanCd = 0;
};

// What a household still owes of one kind: the owed less the paid (negative when it
// paid ahead), and the owed months no payment covers (for a yearly kind, its one
// month while less than the year's amount is paid).
struct KaihiMinou {
    qint64 kingaku = 0;
    std::vector<QDate> months;
    bool operator==(const KaihiMinou&) const = default;
};
KaihiMinou MinouOf(const std::vector<KaihiOwed>& owed, const KaihiSyurui& syurui,
                   const std::vector<KaihiNoufu>& paid);

// The households of a 班 on `day`.
int SetaiCountOn(const std::vector<SetaiMembership>& setai, int hanCd, const QDate& day);

// The months as the journal's description writes them, in the order given: runs of
// consecutive months as "4～6月", others joined by "・" ("4～6月・9月").
QString TsukiText(const std::vector<QDate>& months);

// The journal lines a collection makes: one per 班 and kind for what the 班長 handed
// over (counterparty the 班長, "○班 ○月分会費"), one per household and kind for
// transfers (counterparty the household). The counterparty is cut to the journal's
// 10 characters, the description to its 50.
struct KaihiHan {
    int hanCd = 0;
    QString name;
    QString hancyo;
};
struct KaihiSetaiName {
    int setaiCd = 0;
    QString name;
};
struct KaihiJournalLine {
    QDate hizuke;
    int kaikeiKubun = 0;
    int kamoku = 0;
    qint64 kingaku = 0;
    QString aite;
    QString tekiyo;
    bool operator==(const KaihiJournalLine&) const = default;
};
// The lines in the order their first payment comes, and for each payment the index
// of the line that books it.
struct KaihiJournal {
    std::vector<KaihiJournalLine> lines;
    std::vector<std::size_t> lineOf;
};
KaihiJournal JournalLinesOf(const std::vector<KaihiNoufu>& collection, const std::vector<KaihiSyurui>& syurui,
                            const std::vector<KaihiHan>& han, const std::vector<KaihiSetaiName>& setai);

// A receipt's amount in words, in the figures that cannot be altered by a stroke
// (大字): 12,300 → "壱萬弐阡参百". Amounts from 0 to 9,999,999,999,999,999.
QString KingakuDaiji(qint64 kingaku);
