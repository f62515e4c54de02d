#include "reports/YosansyoRules.h"

#include "core/DateUtil.h"
#include "core/JapaneseText.h"

#include <algorithm>

namespace yosansyo {

QString HeaderYearText(int kisyubi, int nendo, int nengoKubun) {
    if (nengoKubun == 0)
        return QString::number(nendo) + QStringLiteral("年");
    const Wareki w = ToWareki(kisyubi);
    return NengoTable[std::size_t(w.eraIndex)].name.toString() + ToZenkaku(QString::number(w.value / 10000)) +
           QStringLiteral("年");
}

QString PeriodDateText(int yyyymmdd, int nengoKubun) {
    int value = yyyymmdd;
    QString era;
    if (nengoKubun == 1) {
        const Wareki w = ToWareki(yyyymmdd);
        era = NengoTable[std::size_t(w.eraIndex)].name.toString();
        value = w.value;
    }
    const Ymd d = SplitYmd(value);
    return era + QString::number(d.year) + QStringLiteral("年") + QString::number(d.month) + QStringLiteral("月") +
           QString::number(d.day) + QStringLiteral("日");
}

QString KaikeiKikanText(int kisyubi, int kimatsubi, const QString& cyukanSimebi, int nengoKubun) {
    const QString start = PeriodDateText(kisyubi, nengoKubun);
    const QString end = PeriodDateText(cyukanSimebi.isEmpty() ? kimatsubi : cyukanSimebi.toInt(), nengoKubun);
    QString text = ToHankaku(start) + QStringLiteral("～") + ToHankaku(end);
    text.remove(u' ');
    text.remove(QChar(0x3000));
    return text;
}

QString PrintedTitle(const QString& stored, bool amendment) {
    const QString title = TrimZen(stored);
    if (title.isEmpty())
        return {};
    return amendment ? title + QStringLiteral("（補正）") : title;
}

QString DiffFormula(QChar first, QChar second, int row) {
    return u'=' + QString(first) + QString::number(row) + u'-' + QString(second) + QString::number(row);
}

std::vector<int> SurplusRows(int kaisiGyo, int meisaiGyosu, int n) {
    std::vector<int> rows;
    for (int k = 0; k < meisaiGyosu - std::max(n, 1); ++k)
        rows.push_back(kaisiGyo + meisaiGyosu - 1 - k);
    return rows;
}

QString FigureCondition(const QString& taisyoField, const QString& hikakuField, bool zeroPrint) {
    const auto present = [zeroPrint](const QString& field) {
        return zeroPrint ? QStringLiteral("(%1 is not null)").arg(field)
                         : QStringLiteral("((%1 is not null) and (%1 <> 0))").arg(field);
    };
    if (hikakuField.isEmpty())
        return present(taisyoField);
    return u'(' + present(taisyoField) + QStringLiteral(" or ") + present(hikakuField) + u')';
}

QString InStatementOrder(const QString& select) {
    // Ordered by 順序 alone, a line typed out of its classification's range would
    // split the classification, and the layouts would print its name and totals
    // once per part.
    const QString line = QStringLiteral("(case when S.KAMOKU in (7000, 8000) then 100 else S.JUNJYO end)");
    return QStringLiteral(
               "select S.*, %1 as LINE_JUNJYO,"
               " min(%1) over (partition by S.SYUSI_KUBUN, S.BUNRUI) as BUNRUI_MIN_JUNJYO from (")
               .arg(line) +
           select +
           QStringLiteral(
               ") S order by S.SYUSI_KUBUN, BUNRUI_MIN_JUNJYO, S.BUNRUI_JUNJYO, S.BUNRUI, LINE_JUNJYO,"
               " S.KAMOKU_JUNJYO, S.KAMOKU");
}

QString ReplaceFieldPlaceholders(const QString& sql, const QString& taisyoField, const QString& hikakuField) {
    QString text = sql;
    text.replace(QStringLiteral(":TaisyoField"), taisyoField, Qt::CaseInsensitive);
    text.replace(QStringLiteral(":HikakuField"), hikakuField, Qt::CaseInsensitive);
    return text;
}

std::vector<SectionLine> PlanSection(const std::vector<int>& bunrui, const std::function<int(int)>& kensu,
                                     bool subtotals) {
    std::vector<SectionLine> lines;
    int previous = 0;
    int groupStart = 0;
    const auto closeGroup = [&] {
        if (!subtotals || previous == 0 || kensu(previous) < 2)
            return;
        lines.push_back({-1, groupStart, int(lines.size()) - 1, false});
    };
    for (std::size_t i = 0; i < bunrui.size(); ++i) {
        const bool starts = bunrui[i] != previous;
        if (starts) {
            closeGroup();
            groupStart = int(lines.size());
            previous = bunrui[i];
        }
        lines.push_back({int(i), 0, 0, starts});
    }
    closeGroup();
    return lines;
}

Module ModuleForLine(int line) {
    if (line == 1)
        return Module::Yosansyo1;
    if (line == 6 || line == 7)
        return Module::Yosansyo5;
    if (line >= 8 && line <= 15)
        return Module::Yosansyo7;
    return Module::Yosansyo;
}

}  // namespace yosansyo
