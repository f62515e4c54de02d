#include "statements/StatementRules.h"

#include <limits>

#include "core/DateUtil.h"
#include "core/Errors.h"

QString KamokuListFilter(int syusiKubun, int division, int paymentsBelow) {
    QString filter = QStringLiteral("(SYUSI_KUBUN = %1) AND ").arg(syusiKubun);
    if (syusiKubun == 2)
        filter += QStringLiteral("(KAMOKU < %1) AND ").arg(paymentsBelow);
    if (division != 0)
        filter += QStringLiteral("(KAIKEI_KUBUN <> %1)").arg(division);
    else
        filter += QStringLiteral("(KAMOKU <> 3000) AND (KAMOKU <> 6000)");
    return filter;
}

qint64 SignedNet(int syusiKubun, qint64 syunyu, qint64 sisyutsu) {
    return syusiKubun == 1 ? syunyu - sisyutsu : sisyutsu - syunyu;
}

qint64 SignedAmount(int syusiKubun, qint64 amount) {
    return syusiKubun == 1 ? amount : -amount;
}

std::optional<int> AsStoredAmount(qint64 amount) {
    if (amount < std::numeric_limits<int>::min() || amount > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(amount);
}

db::Value StoredAmount(const std::optional<qint64>& amount, int kamoku) {
    if (!amount)
        return {};
    const auto stored = AsStoredAmount(*amount);
    if (!stored)
        throw EAppError(QStringLiteral("科目コード[%1]の金額が計算できる範囲を超えています。").arg(kamoku));
    return *stored;
}

std::optional<qint64> AmountOf(const db::Value& v) {
    return v.IsNull() ? std::nullopt : std::optional<qint64>(v.AsInteger());
}

int IntOf(const db::Value& v) {
    return v.IsNull() ? 0 : static_cast<int>(v.AsInteger());
}

EraYear StatementEraYear(int yyyymmdd, int nengoKubun) {
    if (nengoKubun == 0)
        return {QString(), yyyymmdd / 10000};
    const Wareki wareki = ToWareki(yyyymmdd);
    const NengoRow& era = NengoTable[static_cast<std::size_t>(wareki.eraIndex)];
    return {era.name.toString(), wareki.value / 10000};
}
