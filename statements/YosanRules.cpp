#include "statements/YosanRules.h"

#include <map>

#include "core/JapaneseText.h"
#include "statements/StatementRules.h"

namespace {

bool IsZero(const db::Value& v) {
    return v.IsNull() || v.AsInteger() == 0;
}

qint64 Or0(const std::optional<qint64>& v) {
    return v.value_or(0);
}

qint64 Or0(const db::Value& v) {
    return v.IsNull() ? 0 : v.AsInteger();
}

}  // namespace

Yobihi YobihiOf(const YosanSums& i, const YosanSums& s, const YosanSums& c) {
    return {i.yosan - s.yosan - c.yosan, i.zennenYosan - s.zennenYosan - c.zennenYosan};
}

qint64 JikiKurikosiZennenKessan(const YosanSums& syunyuGokei, const YosanSums& sisyutsuSyokei) {
    return syunyuGokei.zennenKessan - sisyutsuSyokei.zennenKessan;
}

bool TakesDefaultRow(int kamoku, int division, int year, const db::Value& kaisiNendo,
                     const db::Value& syuryoNendo) {
    const bool transfer = kamoku == 3000 || kamoku == 6000;
    const bool taken = kamoku == 100 || kamoku == 7000 || kamoku == 8000 || (division == 0) != transfer;
    const qint64 start = Or0(kaisiNendo);
    const qint64 end = IsZero(syuryoNendo) ? 9999 : syuryoNendo.AsInteger();
    return taken && start <= year && year <= end;
}

bool IsBlankNewLine(const YosanLine& line) {
    return IsZero(line.kamoku) && IsZero(line.yosan) && IsZero(line.zennenYosan) &&
           IsZero(line.zennenKessan) && (line.tekiyo.IsNull() || TrimZen(line.tekiyo.AsString()).isEmpty()) &&
           !line.junjyo.IsNull() && line.junjyo.AsInteger() == 99;
}

std::optional<QString> CheckYosanLine(const YosanLineCheck& line) {
    if (line.kamoku == 0)
        return QStringLiteral("科目(集計項目)を入力してください。");
    if (!line.tokubetsuCd)
        return QStringLiteral("科目(集計項目)が登録されていません。");
    if (line.division != 0 && *line.tokubetsuCd == line.division)
        return QStringLiteral("この科目(集計項目)は入力できません。");
    if (line.kamokuUnchanged)
        return std::nullopt;
    if (line.kamokuElsewhereInDivision)
        return QStringLiteral("科目(集計項目)が重複しています。");
    return std::nullopt;
}

YosanTexts YosanDefaultTexts(int year, int kisyubi, int nengoKubun) {
    const EraYear at = StatementEraYear(kisyubi % 10000 + year * 10000, nengoKubun);
    const QString nendo = ToZenkaku(at.era + QString::number(at.year));
    return {QStringLiteral("上記の通り") + nendo + QStringLiteral("年度の収支予算を提案します。"),
            at.era + QStringLiteral(" ") + ToZenkaku(QString::number(at.year)) +
                QStringLiteral(" 年    月    日")};
}

ZennenImport ImportZennen(std::vector<YosanWorkRow> rows, const std::vector<ZennenYosanRow>& zennenYosan,
                          const std::vector<ZennenMeisaiSum>& zennenMeisai,
                          const std::function<std::optional<int>(int kamoku)>& kindOfItem) {
    ZennenImport result;
    StatementRowIndex<YosanWorkRow> index(rows, kindOfItem, [](int division, int kamoku, int kind) {
        return YosanWorkRow{division, kamoku, kind, std::nullopt, std::nullopt, std::nullopt, true};
    });

    for (YosanWorkRow& row : rows) {
        row.zennenKessan.reset();
        row.zennenYosan.reset();
    }
    // The previous year's budget; its carry-over in was fixed by that budget.
    for (const ZennenYosanRow& y : zennenYosan) {
        if (Or0(y.yosan) == 0)
            continue;
        YosanWorkRow* row = index.FindOrAdd(y.kaikeiKubun, y.kamoku, result.error);
        if (!row)
            return result;
        row->zennenYosan = y.yosan;
        if (y.kamoku == 100)
            row->zennenKessan = y.yosan;
    }
    // The previous year's settlement, from its journal.
    for (const ZennenMeisaiSum& m : zennenMeisai) {
        const qint64 net = Or0(m.syunyu) - Or0(m.sisyutsu);
        if (net == 0)
            continue;
        YosanWorkRow* row = index.FindOrAdd(m.kaikeiKubun, m.kamoku, result.error);
        if (!row)
            return result;
        row->zennenKessan = row->syusiKubun == 2 ? -net : net;
    }
    // Per division: a sum over its rows as they stand now.
    const auto perDivision = [&](auto amountOf, int skipKamoku) {
        std::map<int, qint64> sums;
        for (const YosanWorkRow& row : rows) {
            qint64& sum = sums[row.kaikeiKubun];
            if (row.kamoku == skipKamoku)
                continue;
            if (const std::optional<qint64> amount = amountOf(row))
                sum += SignedAmount(row.syusiKubun, *amount);
        }
        return sums;
    };
    // The carry-over: last year's carry-in plus its receipts less its payments is both
    // last year's carry-over out and this year's carry-over in.
    for (const auto& [division, kurikosi] :
         perDivision([](const YosanWorkRow& r) { return r.zennenKessan; }, -1)) {
        YosanWorkRow* out = index.FindOrAdd(division, 8000, result.error);
        if (!out)
            return result;
        out->zennenKessan = kurikosi;
        YosanWorkRow* in = index.FindOrAdd(division, 100, result.error);
        if (!in)
            return result;
        in->yosan = kurikosi;
    }
    // The reserve fund balances this year's budget again.
    for (const auto& [division, yobihi] : perDivision([](const YosanWorkRow& r) { return r.yosan; }, 7000)) {
        YosanWorkRow* row = index.FindOrAdd(division, 7000, result.error);
        if (!row)
            return result;
        row->yosan = yobihi;
    }
    result.rows = std::move(rows);
    return result;
}

qint64 ZennenKurikosiOf(int syusiKubun, const db::Value& kurikosi, const db::Value& syunyu,
                        const db::Value& sisyutsu) {
    return Or0(kurikosi) + SignedNet(syusiKubun, Or0(syunyu), Or0(sisyutsu));
}
