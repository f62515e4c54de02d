#include "statements/StatementRules.h"

#include <limits>

#include "core/DateUtil.h"

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

EraYear StatementEraYear(int yyyymmdd, int nengoKubun) {
    if (nengoKubun == 0)
        return {QString(), yyyymmdd / 10000};
    const Wareki wareki = ToWareki(yyyymmdd);
    const NengoRow& era = NengoTable[static_cast<std::size_t>(wareki.eraIndex)];
    return {era.name.toString(), wareki.value / 10000};
}
