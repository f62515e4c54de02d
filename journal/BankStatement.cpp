#include "journal/BankStatement.h"

#include <QRegularExpression>

#include <algorithm>
#include <initializer_list>

#include "core/JapaneseText.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Blanks of either width and the control characters a cell may carry.
QString WithoutBlanks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        if (c.unicode() > 0x20 && c != u'\u3000')
            out += c;
    return out;
}

// The first year of an era less one: 令和1 is 2019.
std::optional<int> EraBase(const QString& era) {
    const QString e = era.toUpper();
    if (e == u"令和"_s || e == u"R"_s)
        return 2018;
    if (e == u"平成"_s || e == u"H"_s)
        return 1988;
    if (e == u"昭和"_s || e == u"S"_s)
        return 1925;
    return std::nullopt;
}

QString Ymd(int year, const QString& month, const QString& day) {
    return QString::number(year).rightJustified(4, u'0') + month.rightJustified(2, u'0') +
           day.rightJustified(2, u'0');
}

}  // namespace

BankAmount ParseBankAmount(const QString& cell) {
    QString t = WithoutBlanks(ToHankaku(cell));
    for (const QChar c : {QChar(u','), QChar(u'¥'), QChar(u'\\'), QChar(u'￥'), QChar(u'円')})
        t.remove(c);
    if (t.isEmpty())
        return {};
    bool negative = false;
    if (t.size() >= 2 && t.front() == u'(' && t.back() == u')') {
        negative = true;
        t = t.mid(1, t.size() - 2);
    }
    // Minus as a hyphen, the minus sign, the full-width hyphen ToHankaku leaves,
    // and the triangles of Japanese bookkeeping.
    static const QString minus = u"-\u2212\u2010\u2012\u2013\u2014\u25B3\u25B2"_s;
    if (!t.isEmpty() && minus.contains(t.front())) {
        if (negative)
            return {BankAmount::Invalid, 0, {}};
        negative = true;
        t.remove(0, 1);
    } else if (!t.isEmpty() && t.front() == u'+' && !negative) {
        t.remove(0, 1);
    }
    static const QRegularExpression digits(u"^[0-9]+$"_s);
    if (!digits.match(t).hasMatch())
        return {BankAmount::Invalid, 0, {}};
    while (t.size() > 1 && t.front() == u'0')
        t.remove(0, 1);
    if (t.size() > 18)
        return {BankAmount::TooLarge, 0, (negative ? u"-"_s : QString()) + t};
    const qint64 v = t.toLongLong();
    return {BankAmount::Number, negative ? -v : v, {}};
}

QString ParseBankDate(const QString& cell) {
    QString t = ToHankaku(TrimZen(cell));
    static const QRegularExpression time(u"\\s+[0-9]{1,2}:[0-9]{2}(:[0-9]{2})?$"_s);
    t.remove(time);
    t = WithoutBlanks(t);
    static const QRegularExpression western(u"^([0-9]{4})[/.\\-年]([0-9]{1,2})[/.\\-月]([0-9]{1,2})日?$"_s);
    if (const auto m = western.match(t); m.hasMatch())
        return Ymd(m.captured(1).toInt(), m.captured(2), m.captured(3));
    static const QRegularExpression compact(u"^[0-9]{8}$"_s);
    if (compact.match(t).hasMatch())
        return t;
    static const QRegularExpression era(
        u"^(令和|平成|昭和|[RHSrhs])([0-9]{1,2}|元)[/.\\-年]([0-9]{1,2})[/.\\-月]([0-9]{1,2})日?$"_s);
    if (const auto m = era.match(t); m.hasMatch()) {
        const int year = m.captured(2) == u"元"_s ? 1 : m.captured(2).toInt();
        if (const auto base = EraBase(m.captured(1)); base && year > 0)
            return Ymd(*base + year, m.captured(3), m.captured(4));
    }
    return t;
}

AmountColumn AmountColumnOf(const QString& heading) {
    QString h = ToZenkaku(WithoutBlanks(heading));
    const auto has = [&h](std::initializer_list<const char16_t*> words) {
        return std::any_of(words.begin(), words.end(),
                           [&h](const char16_t* w) { return h.contains(QString::fromUtf16(w)); });
    };
    // Order matters: 入出金額 holds 出金, お預り金額 holds 金額.
    if (has({u"残高"}))
        return AmountColumn::Zandaka;
    if (has({u"入出金", u"入払", u"出入金"}))
        return AmountColumn::Signed;
    if (has({u"収入", u"入金", u"預入", u"預け入", u"お預り", u"預り", u"預かり"}))
        return AmountColumn::Syunyu;
    if (has({u"支出", u"支払", u"出金", u"引出", u"引き出", u"払出", u"払戻"}))
        return AmountColumn::Sisyutsu;
    if (has({u"金額"}))
        return AmountColumn::Signed;
    return AmountColumn::None;
}

namespace {

// The breaks reading the rows oldest first in the order given.
template <typename It>
std::vector<BalanceBreak> BreaksInOrder(It first, It last) {
    std::vector<BalanceBreak> breaks;
    std::optional<qint64> balance;  // the last balance written
    qint64 pending = 0;             // what the rows since then moved
    for (It it = first; it != last; ++it) {
        pending += it->net;
        if (!it->zandaka)
            continue;
        if (balance && *balance + pending != *it->zandaka)
            breaks.push_back({it->row, *balance + pending, *it->zandaka});
        balance = *it->zandaka;
        pending = 0;
    }
    return breaks;
}

}  // namespace

std::vector<BalanceBreak> CheckRunningBalance(const std::vector<BalanceRow>& rows) {
    std::vector<BalanceBreak> forward = BreaksInOrder(rows.begin(), rows.end());
    if (forward.empty())
        return forward;
    // Newest first: read from the bottom up, the rows are oldest first.
    std::vector<BalanceBreak> backward = BreaksInOrder(rows.rbegin(), rows.rend());
    if (backward.size() < forward.size()) {
        std::reverse(backward.begin(), backward.end());
        return backward;
    }
    return forward;
}
