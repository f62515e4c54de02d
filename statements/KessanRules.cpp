#include "statements/KessanRules.h"

#include <map>

#include "core/DateUtil.h"
#include "core/JapaneseText.h"
#include "statements/StatementRules.h"

KessanAmounts SettleYear(std::vector<KessanWorkRow> rows, const std::vector<KessanYosanRow>& yosan,
                         const std::vector<KessanMeisaiSum>& meisai,
                         const std::function<std::optional<int>(int kamoku)>& kindOfItem) {
    KessanAmounts result;
    StatementRowIndex<KessanWorkRow> index(rows, kindOfItem, [](int division, int kamoku, int kind) {
        return KessanWorkRow{division, kamoku, kind, std::nullopt, std::nullopt, true};
    });
    for (const KessanYosanRow& y : yosan) {
        KessanWorkRow* row = index.FindOrAdd(y.kaikeiKubun, y.kamoku, result.error);
        if (!row)
            return result;
        row->yosan = y.yosan;
        if (y.kamoku == 100)
            row->kessan = y.yosan;
    }
    for (const KessanMeisaiSum& m : meisai) {
        KessanWorkRow* row = index.FindOrAdd(m.kaikeiKubun, m.kamoku, result.error);
        if (!row)
            return result;
        row->kessan = SignedNet(row->syusiKubun, m.syunyu.value_or(0), m.sisyutsu.value_or(0));
    }
    // Per division, in division order, as the rows stand now.
    std::map<int, qint64> balance;
    for (const KessanWorkRow& row : rows) {
        if (row.kamoku == 8000)
            continue;
        qint64& b = balance[row.kaikeiKubun];
        if (row.syusiKubun == 1)
            b += row.kessan.value_or(0);
        else if (row.syusiKubun == 2)
            b -= row.kessan.value_or(0);
    }
    for (const auto& [division, amount] : balance) {
        KessanWorkRow* row = index.FindOrAdd(division, 8000, result.error);
        if (!row)
            return result;
        row->kessan = amount;
    }
    result.rows = std::move(rows);
    return result;
}

bool KessanLineDeletable(const std::optional<qint64>& yosan, const std::optional<qint64>& kessan) {
    return yosan.value_or(0) == 0 && kessan.value_or(0) == 0;
}

QString SimebiOf(const QString& monthDay, const QString& kisyubi) {
    if (monthDay.trimmed().isEmpty())
        return {};
    QString md = monthDay;
    md.replace(u' ', u'0');
    int year = kisyubi.left(4).toInt();
    if (md.toInt() < kisyubi.mid(4, 4).toInt())
        ++year;
    return QStringLiteral("%1").arg(year, 4, 10, QChar(u'0')) + md;
}

std::optional<QString> SimebiError(const QString& simebi, const QString& kimatsubi) {
    if (simebi.isEmpty())
        return QStringLiteral("締日を入力してください。");
    if (!IsValidDateText(simebi))
        return QStringLiteral("締日が正しくありません。");
    if (simebi > kimatsubi)
        return QStringLiteral("期末日以後の締日は入力できません。");
    return std::nullopt;
}

namespace {

QString Zen(int number) {
    return ToZenkaku(QString::number(number));
}

// "E ｙｙ 年 ｍ 月 ｄ 日" of the date `yyyymmdd`.
QString DateText(int yyyymmdd, int nengoKubun) {
    const EraYear at = StatementEraYear(yyyymmdd, nengoKubun);
    const int md = yyyymmdd % 10000;
    return at.era + QStringLiteral(" ") + Zen(at.year) + QStringLiteral(" 年 ") + Zen(md / 100) +
           QStringLiteral(" 月 ") + Zen(md % 100) + QStringLiteral(" 日");
}

}  // namespace

KessanTexts KessanDefaultTexts(int year, const QString& kisyubi, const QString& kimatsubi, int nengoKubun) {
    KessanTexts texts;
    const EraYear first = StatementEraYear(kisyubi.toInt(), nengoKubun);
    const QString nendo = nengoKubun == 0 ? QString::number(year) : first.era + QString::number(first.year);
    texts.comment =
        QStringLiteral("上記の通り") + ToZenkaku(nendo) + QStringLiteral("年度の収支決算を報告します。");
    bool ok = false;
    int last = kimatsubi.toInt(&ok);
    if (!ok)
        last = 0;
    texts.hizuke = DateText(last, nengoKubun);
    const EraYear audit = StatementEraYear(NextDay(last), nengoKubun);
    texts.kansaHizuke = audit.era + QStringLiteral(" ") + Zen(audit.year) + QStringLiteral(" 年    月    日");
    return texts;
}

KessanTexts CyukanKessanDefaultTexts(const QString& simebi, int nengoKubun) {
    KessanTexts texts;
    texts.hizuke = DateText(simebi.toInt(), nengoKubun == 1 ? 1 : 0);
    texts.comment = QStringLiteral("上記の通り") + QString(texts.hizuke).remove(u' ') +
                    QStringLiteral("現在の中間収支決算を報告します。");
    texts.kansaHizuke = QStringLiteral("        年    月    日");
    return texts;
}
