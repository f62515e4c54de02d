#pragma once
// A bank's statement as the bank writes it: amounts with separators, yen signs,
// full-width digits and the several ways of marking a minus; dates in the
// western calendar or in an era; the headings banks give their amount columns;
// and the 残高 column, whose running balance tells whether a row is missing or
// doubled. Nothing here touches the database or a window.

#include <QString>

#include <optional>
#include <vector>

// An amount cell: "12,345", "￥12,345", "12,345円", "１２，３４５", "-1,200",
// "−1,200", "△1,200", "▲1,200", "(1,200)". Blanks around and inside are passed
// over.
struct BankAmount {
    enum Kind { Empty, Number, TooLarge, Invalid };
    Kind kind = Empty;
    qint64 value = 0;  // Number only
    QString digits;    // TooLarge: the digits as written, with their sign
};
BankAmount ParseBankAmount(const QString& cell);

// A date cell as yyyymmdd: "2026/4/5", "2026-04-05", "2026.4.5", "20260405",
// "2026年4月5日", "令和8年4月5日", "令和元年5月1日", "R8.4.5", "R08/04/05", "H31.4.30",
// full-width digits and letters, a time of day after it. Any other text comes
// back as it was written (trimmed and in half width), so that the date check
// refuses it with the cell shown. The date itself is not checked: "2026/2/30"
// gives 20260230.
QString ParseBankDate(const QString& cell);

// What a column heading says its column holds, among the amounts of a bank file.
enum class AmountColumn { None, Syunyu, Sisyutsu, Signed, Zandaka };
AmountColumn AmountColumnOf(const QString& heading);

// One row of a file with a 残高 column: what it moves and the balance it shows
// after it (nullopt when the cell is empty).
struct BalanceRow {
    int row = 0;
    qint64 net = 0;  // receipts less payments
    std::optional<qint64> zandaka;
};

// A row whose balance differs from the one the rows before it give.
struct BalanceBreak {
    int row = 0;
    qint64 expected = 0;  // the previous balance plus this row's net
    qint64 written = 0;   // what the file says
    bool operator==(const BalanceBreak&) const = default;
};

// The rows whose 残高 does not follow from the row before them. The first row
// with a balance fixes the opening; after a break the count goes on from the
// balance written, so one missing or doubled row is one break. Banks list either
// oldest or newest first: the order with fewer breaks is taken.
std::vector<BalanceBreak> CheckRunningBalance(const std::vector<BalanceRow>& rows);
