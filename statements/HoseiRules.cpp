#include "statements/HoseiRules.h"

#include "core/DateUtil.h"
#include "core/JapaneseText.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr qint64 kMaxAmount = 999999999;

}  // namespace

QString HoseiName(int hoseiNo) {
    return u"第"_s + QString::number(hoseiNo) + u"次補正"_s;
}

int NextHoseiNo(const std::vector<int>& hoseiNos) {
    return hoseiNos.empty() ? 1 : *std::max_element(hoseiNos.begin(), hoseiNos.end()) + 1;
}

HoseiSums SumHosei(const std::vector<HoseiGaku>& amounts) {
    HoseiSums sums;
    for (const HoseiGaku& amount : amounts) {
        if (amount.hosei)
            sums[{amount.kaikeiKubun, amount.kamoku}] += *amount.hosei;
    }
    return sums;
}

HoseiLine HoseiLineOf(const std::optional<qint64>& tousyo, const std::optional<qint64>& hosei) {
    if (!tousyo && !hosei)
        return {};
    return {tousyo, hosei, tousyo.value_or(0) + hosei.value_or(0)};
}

HoseiYobihi HoseiYobihiOf(const HoseiSum& syunyuGokei, const HoseiSum& syokei, const HoseiSum& jikiKurikosi) {
    const qint64 tousyo = syunyuGokei.tousyo - syokei.tousyo - jikiKurikosi.tousyo;
    const qint64 hosei = syunyuGokei.hosei - syokei.hosei - jikiKurikosi.hosei;
    return {tousyo, hosei, tousyo + hosei};
}

std::optional<QString> CheckHoseiGaku(const std::optional<qint64>& tousyo, qint64 otherHosei,
                                      const std::optional<qint64>& hosei) {
    if (!hosei)
        return std::nullopt;
    if (*hosei < -kMaxAmount || *hosei > kMaxAmount)
        return u"補正額は-999,999,999～999,999,999の範囲で入力してください。"_s;
    const qint64 hoseigo = tousyo.value_or(0) + otherHosei + *hosei;
    if (hoseigo < 0 || hoseigo > kMaxAmount)
        return u"補正後予算額が0～999,999,999の範囲を超えます。"_s;
    return std::nullopt;
}

std::optional<QString> CheckSyoninBi(const QString& syoninBi, const QString& kisyubi) {
    if (!IsValidDateText(syoninBi))
        return u"承認日を正しく入力してください。"_s;
    if (syoninBi < kisyubi)
        return u"承認日が年度の開始日より前です。"_s;
    return std::nullopt;
}

ZogenKubun ZogenKubunOf(const std::optional<int>& stored) {
    return stored == 1 ? ZogenKubun::YosanMinusKessan : ZogenKubun::KessanMinusYosan;
}

qint64 ZogenOf(const std::optional<qint64>& kessan, const std::optional<qint64>& yosan, ZogenKubun kubun) {
    const qint64 difference = kessan.value_or(0) - yosan.value_or(0);
    return kubun == ZogenKubun::KessanMinusYosan ? difference : -difference;
}

QString StatementTitle(const QString& stored, const QString& defaultTitle) {
    const QString title = TrimZen(stored);
    return title.isEmpty() ? defaultTitle : title;
}
