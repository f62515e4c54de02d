#include "reports/KessansyoRules.h"

#include "core/DateUtil.h"
#include "core/JapaneseText.h"

namespace kessansyo {

QString ReportYearText(int kimatsubi, int nengoKubun) {
    const int day = NextDay(kimatsubi);
    if (nengoKubun == 0)
        return ToZenkaku(QString::number(day / 10000)) + QStringLiteral("年");
    const Wareki w = ToWareki(day);
    return NengoTable[std::size_t(w.eraIndex)].name.toString() + ToZenkaku(QString::number(w.value / 10000)) +
           QStringLiteral("年");
}

Module ModuleForLine(int line) {
    if (line == 1)
        return Module::Kessansyo1;
    if (line == 4 || line == 5)
        return Module::Kessansyo3;
    if (line >= 6 && line <= 9)
        return Module::Kessansyo5;
    return Module::Kessansyo;
}

}  // namespace kessansyo
