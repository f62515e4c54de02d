#pragma once
// The rules of budget amendments (補正予算) that need no window. A year's budget is
// amended any number of times; each amendment has a number (第1次補正, …), a date
// of approval and an amount per division and item, positive or negative. The
// original budget (当初予算額) is never changed: what the settlement compares with
// and what the next year imports is the amended budget (補正後予算額), the original
// plus the sum of the amendments.
//
// Also the sign of 増減 that an organisation prints for each side.

#include <QString>

#include <map>
#include <optional>
#include <utility>
#include <vector>

// "第N次補正".
QString HoseiName(int hoseiNo);
// The number the next amendment of a year takes: one more than the highest so far.
int NextHoseiNo(const std::vector<int>& hoseiNos);

// One amount of one amendment.
struct HoseiGaku {
    int hoseiNo = 0;
    int kaikeiKubun = 0;
    int kamoku = 0;
    std::optional<qint64> hosei;  // empty: not amended by this amendment
};
// The sum of the amendments per (division, item); an item no amendment touches
// has no entry, one whose amounts cancel out has 0.
using HoseiSums = std::map<std::pair<int, int>, qint64>;
HoseiSums SumHosei(const std::vector<HoseiGaku>& amounts);

// One budget line as the budget window and the amendment statements show it.
struct HoseiLine {
    std::optional<qint64> tousyo;   // 当初予算額
    std::optional<qint64> hosei;    // 補正額 (empty: never amended)
    std::optional<qint64> hoseigo;  // 補正後予算額 (empty only when both are)
    bool operator==(const HoseiLine&) const = default;
};
HoseiLine HoseiLineOf(const std::optional<qint64>& tousyo, const std::optional<qint64>& hosei);

// The budget lines with the amendments added: `Row` has kaikeiKubun, kamoku and an
// optional yosan (the settlement's and the previous-year import's budget rows). A
// division and item amended but without a line gets one, after the others.
template <class Row>
std::vector<Row> AmendedBudget(std::vector<Row> rows, const HoseiSums& sums) {
    std::map<std::pair<int, int>, bool> seen;
    for (Row& row : rows) {
        const auto found = sums.find({row.kaikeiKubun, row.kamoku});
        if (found != sums.end())
            row.yosan = HoseiLineOf(row.yosan, found->second).hoseigo;
        seen[{row.kaikeiKubun, row.kamoku}] = true;
    }
    for (const auto& [key, hosei] : sums) {
        if (seen.count(key))
            continue;
        Row row{};
        row.kaikeiKubun = key.first;
        row.kamoku = key.second;
        row.yosan = hosei;
        rows.push_back(row);
    }
    return rows;
}

// The two columns of a total line (empty sums count 0).
struct HoseiSum {
    qint64 tousyo = 0;
    qint64 hosei = 0;
};
// The reserve fund (item 7000) of the amended budget balances it as it balances the
// original: receipts less the ordinary payments less the carry-over to the next
// year, in each column. Its 補正額 is what the amendments leave unbalanced.
struct HoseiYobihi {
    qint64 tousyo = 0;
    qint64 hosei = 0;
    qint64 hoseigo = 0;
    bool operator==(const HoseiYobihi&) const = default;
};
HoseiYobihi HoseiYobihiOf(const HoseiSum& syunyuGokei, const HoseiSum& syokei, const HoseiSum& jikiKurikosi);

// Why one amount of an amendment cannot be posted (the message), or nullopt: the
// amount itself must stay within ±999,999,999 and the amended budget of its line
// within 0..999,999,999 (the range of a budget amount). The reserve fund's is
// computed and not checked.
std::optional<QString> CheckHoseiGaku(const std::optional<qint64>& tousyo, qint64 otherHosei,
                                      const std::optional<qint64>& hosei);

// Why an amendment's date of approval (yyyymmdd) cannot be taken, or nullopt: it
// is a date within the year `kisyubi`..`kimatsubi`, or after the year's end (a
// settlement meeting may approve an amendment late), but not before its start.
std::optional<QString> CheckSyoninBi(const QString& syoninBi, const QString& kisyubi);

// --- The sign of 増減.

// Which way 増減 is printed on one side (receipts or payments). Stored in
// SYUNYU_ZOGEN_KUBUN / SISYUTSU_ZOGEN_KUBUN; empty reads as the first.
enum class ZogenKubun { KessanMinusYosan = 0, YosanMinusKessan = 1 };
ZogenKubun ZogenKubunOf(const std::optional<int>& stored);
// 増減 of a settlement line: 決算額 − 補正後予算額, or the reverse (empty amounts
// count 0).
qint64 ZogenOf(const std::optional<qint64>& kessan, const std::optional<qint64>& yosan, ZogenKubun kubun);

// The statement's title: the organisation's own when it set one, else the default.
QString StatementTitle(const QString& stored, const QString& defaultTitle);
