#include "journal/ImportRules.h"

#include <QRegularExpression>

#include "core/JapaneseText.h"
#include "data/FieldFormat.h"
#include "db/Connection.h"
#include "db/Transaction.h"
#include "journal/MeisaiRules.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// Both sides of a "contains" compared in full width and upper case.
QString Folded(const QString& text) {
    return ToZenkaku(TrimZen(text)).toUpper();
}

QRegularExpression PatternOf(const QString& text) {
    return QRegularExpression(
        text, QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
}

bool TextMatches(const ImportRule& rule, const QString& text) {
    if (text.isEmpty())
        return false;
    if (rule.match == RuleMatch::Pattern)
        return PatternOf(rule.text).match(text).hasMatch();
    return Folded(text).contains(Folded(rule.text));
}

db::Value TextOrNull(const QString& text) {
    return text.isEmpty() ? db::Value() : db::Value(text);
}

}  // namespace

std::optional<QString> RuleProblem(const ImportRule& rule) {
    if (TrimZen(rule.text).isEmpty())
        return u"探す文字を入力してください。"_s;
    if (rule.match == RuleMatch::Pattern) {
        const QRegularExpression pattern = PatternOf(rule.text);
        if (!pattern.isValid())
            return u"パターンが正しくありません。（%1）"_s.arg(pattern.errorString());
    }
    if (rule.kamoku == 0)
        return u"科目(集計項目)を入力してください。"_s;
    if (data::CharacterCount(rule.aite) > kAiteLength)
        return u"入金先／支払先が%1文字を超えています。"_s.arg(kAiteLength);
    if (data::CharacterCount(rule.tekiyo) > kTekiyoLength)
        return u"摘要が%1文字を超えています。"_s.arg(kTekiyoLength);
    return std::nullopt;
}

bool RuleMatches(const ImportRule& rule, const QString& aite, const QString& tekiyo) {
    if (RuleProblem(rule))
        return false;
    switch (rule.target) {
        case RuleTarget::Tekiyo:
            return TextMatches(rule, tekiyo);
        case RuleTarget::Aite:
            return TextMatches(rule, aite);
        case RuleTarget::Either:
            return TextMatches(rule, tekiyo) || TextMatches(rule, aite);
    }
    return false;
}

std::optional<std::size_t> FirstMatchingRule(const std::vector<ImportRule>& rules, const QString& aite,
                                             const QString& tekiyo) {
    for (std::size_t i = 0; i < rules.size(); ++i)
        if (RuleMatches(rules[i], aite, tekiyo))
            return i;
    return std::nullopt;
}

ImportRule RuleFromLine(const QString& aite, const QString& tekiyo, int kamoku, int kaikeiKubun) {
    ImportRule rule;
    const QString t = TrimZen(tekiyo);
    const QString a = TrimZen(aite);
    rule.target = t.isEmpty() ? RuleTarget::Aite : RuleTarget::Tekiyo;
    rule.text = t.isEmpty() ? a : t;
    rule.kamoku = kamoku;
    rule.kaikeiKubun = kaikeiKubun;
    rule.aite = a;
    rule.tekiyo = t;
    return rule;
}

std::vector<ImportRule> LoadImportRules(db::Connection& connection) {
    std::vector<ImportRule> rules;
    const auto text = [](const db::Value& v) { return v.IsNull() ? QString() : v.AsString(); };
    for (const auto& r : connection
                             .Select(u"select CD, TAISYO, HOUHOU, MOJI, KAMOKU, KAIKEI_KUBUN, AITE, TEKIYO "
                                     u"from TORIKOMI_RULE order by JUNJYO, CD"_s)
                             .rows) {
        ImportRule rule;
        rule.cd = static_cast<int>(r[0].AsInteger());
        rule.target = static_cast<RuleTarget>(r[1].AsInteger());
        rule.match = static_cast<RuleMatch>(r[2].AsInteger());
        rule.text = text(r[3]);
        rule.kamoku = static_cast<int>(r[4].AsInteger());
        if (!r[5].IsNull())
            rule.kaikeiKubun = static_cast<int>(r[5].AsInteger());
        rule.aite = text(r[6]);
        rule.tekiyo = text(r[7]);
        rules.push_back(std::move(rule));
    }
    return rules;
}

void SaveImportRules(db::Connection& connection, const std::vector<ImportRule>& rules) {
    db::InOneTransaction(connection, [&] {
        connection.Execute(u"delete from TORIKOMI_RULE"_s);
        int junjyo = 0;
        for (const ImportRule& rule : rules) {
            ++junjyo;
            connection.Execute(
                u"insert into TORIKOMI_RULE (CD, JUNJYO, TAISYO, HOUHOU, MOJI, KAMOKU, KAIKEI_KUBUN, AITE, "
                u"TEKIYO) values (:CD, :JUNJYO, :TAISYO, :HOUHOU, :MOJI, :KAMOKU, :KAIKEI_KUBUN, :AITE, :TEKIYO)"_s,
                {{u"CD"_s, junjyo},
                 {u"JUNJYO"_s, junjyo},
                 {u"TAISYO"_s, static_cast<int>(rule.target)},
                 {u"HOUHOU"_s, static_cast<int>(rule.match)},
                 {u"MOJI"_s, rule.text},
                 {u"KAMOKU"_s, rule.kamoku},
                 {u"KAIKEI_KUBUN"_s, rule.kaikeiKubun ? db::Value(*rule.kaikeiKubun) : db::Value()},
                 {u"AITE"_s, TextOrNull(rule.aite)},
                 {u"TEKIYO"_s, TextOrNull(rule.tekiyo)}});
        }
    });
}
