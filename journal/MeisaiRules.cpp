#include "journal/MeisaiRules.h"

#include <QStringList>

#include <cstdlib>

#include "core/DateUtil.h"

namespace {

QString RightTrimmed(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

bool IsTransferCode(int cd) {
    const int q = cd / 100;
    return q == 30 || q == 60;
}

// The first item of the opposite kind that transfers with `division`.
std::optional<int> CounterItem(const KamokuFacts& item, int division, const std::vector<KamokuFacts>& items) {
    const int opposite = std::abs(item.syusiKubun - 3);
    for (const KamokuFacts& k : items)
        if (k.syusiKubun == opposite && k.tokubetsuCd == division)
            return k.cd;
    return std::nullopt;
}

}  // namespace

QString MmddToHizuke(const QString& mmdd, const QString& kisyubi) {
    QString md = RightTrimmed(mmdd);
    if (md.isEmpty())
        return {};
    md.replace(u' ', u'0');
    const int start = kisyubi.mid(4, 4).toInt();
    const int year = kisyubi.left(4).toInt();
    return QString::number(md.toInt() >= start ? year : year + 1) + md;
}

QString DisplayFilterText(const QString& hizukeFrom, const QString& hizukeTo, int kamoku) {
    QStringList parts;
    const bool emptyRange = !hizukeFrom.isEmpty() && !hizukeTo.isEmpty() && hizukeTo <= hizukeFrom;
    if (!emptyRange) {
        if (!hizukeFrom.isEmpty())
            parts << QStringLiteral("(HIZUKE >= '%1')").arg(hizukeFrom);
        if (!hizukeTo.isEmpty())
            parts << QStringLiteral("(HIZUKE <= '%1')").arg(hizukeTo);
    }
    if (kamoku != 0)
        parts << QStringLiteral("(KAMOKU = %1)").arg(kamoku);
    return parts.join(QStringLiteral(" and "));
}

std::optional<MirrorHalf> MirroredHalf(int division, const KamokuFacts& item,
                                       const std::vector<KamokuFacts>& items) {
    const int n = item.tokubetsuCd;
    if (division == 0) {
        if (n == 0)
            return std::nullopt;
        return MirrorHalf{n, item.syusiKubun == 1 ? 6000 : 3000};
    }
    if (n == 0 || n == division) {
        if (!IsTransferCode(item.cd))
            return std::nullopt;
    }
    // Between two special accounts, or a special account's transfer with the
    // division its item names (the general account when it names none).
    const std::optional<int> counter = CounterItem(item, division, items);
    if (!counter)
        return std::nullopt;
    return MirrorHalf{n, *counter};
}

bool IsItemAllowedIn(int division, int kamoku, int tokubetsuCd) {
    if (division == 0)
        return kamoku != 3000 && kamoku != 6000;
    return tokubetsuCd != division;
}

QString AllowedItemsFilter(int division) {
    return division == 0 ? QStringLiteral("(CD <> 3000) AND (CD <> 6000)")
                         : QStringLiteral("(TOKUBETSU_CD <> %1)").arg(division);
}

std::optional<LineError> CheckLine(const LineValues& line, const QString& kisyubi, const QString& kimatsubi,
                                   int division, const std::function<std::optional<int>(int)>& tokubetsuOf) {
    const QString hizuke = RightTrimmed(line.hizuke);
    if (hizuke.isEmpty())
        return LineError{QStringLiteral("日付を入力してください。"), LineColumn::Hizuke};
    if (!IsValidDateText(hizuke))
        return LineError{QStringLiteral("日付が正しくありません。"), LineColumn::Hizuke};
    if (hizuke < kisyubi || hizuke > kimatsubi)
        return LineError{QStringLiteral("日付が会計期間の範囲外です。"), LineColumn::Hizuke};
    const int kamoku = static_cast<int>(line.kamoku.AsInteger());
    if (kamoku != 0) {
        const std::optional<int> tokubetsu = tokubetsuOf(kamoku);
        if (!tokubetsu)
            return LineError{QStringLiteral("科目(集計項目)が登録されていません。"), LineColumn::Kamoku};
        if (!IsItemAllowedIn(division, kamoku, *tokubetsu))
            return LineError{QStringLiteral("この科目(集計項目)は入力できません。"), LineColumn::Kamoku};
    } else if (!line.syunyu.IsNull() || !line.sisyutsu.IsNull()) {
        return LineError{QStringLiteral("金額を入力したときは科目(集計項目)を入力してください。"),
                         LineColumn::Kamoku};
    }
    if (!line.syunyu.IsNull() && !line.sisyutsu.IsNull())
        return LineError{QStringLiteral("収入と支出の両方に金額が入力されています。"), LineColumn::Syunyu};
    return std::nullopt;
}

bool IsListedNameOf(const QString& listed, const QString& typed) {
    if (typed.isEmpty())
        return false;
    if (listed == typed)
        return true;
    const qsizetype blank = listed.indexOf(u' ');
    return blank > 0 && listed.mid(blank + 1) == typed;
}
