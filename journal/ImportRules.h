#pragma once
// 取込ルール: which item (and division, counterparty, description) a row of an
// imported file gets from its texts. A rule looks at the description, the
// counterparty or either, for a text it contains or a pattern it matches; rules
// are tried in their order and the first that matches wins. The rules are kept
// per organisation in TORIKOMI_RULE.

#include <QString>

#include <optional>
#include <vector>

namespace db {
class Connection;
}

enum class RuleTarget { Either = 0, Tekiyo = 1, Aite = 2 };
enum class RuleMatch { Contains = 0, Pattern = 1 };

struct ImportRule {
    int cd = 0;  // the rule's key; 0 for a rule not stored yet
    RuleTarget target = RuleTarget::Either;
    RuleMatch match = RuleMatch::Contains;
    QString text;
    int kamoku = 0;
    std::optional<int> kaikeiKubun;  // nullopt: the row's own division
    QString aite;                    // empty: the row's own counterparty
    QString tekiyo;                  // empty: the row's own description
    bool operator==(const ImportRule&) const = default;
};

// Why a rule cannot be kept (no text, a pattern that does not compile, no item);
// nullopt when it can.
std::optional<QString> RuleProblem(const ImportRule& rule);

// Whether the rule matches a row with these texts. "Contains" ignores the width
// of letters, digits and katakana and the case of letters (ﾃﾞﾝｷ matches デンキ, ABC
// matches ａｂｃ); a pattern is a regular expression on the text as written,
// letter case ignored. A rule with a problem matches nothing.
bool RuleMatches(const ImportRule& rule, const QString& aite, const QString& tekiyo);

// The first of `rules` (in their order) that matches; nullopt for none.
std::optional<std::size_t> FirstMatchingRule(const std::vector<ImportRule>& rules, const QString& aite,
                                             const QString& tekiyo);

// The rule a journal line suggests: its description as the text looked for, its
// item, division, counterparty and description.
ImportRule RuleFromLine(const QString& aite, const QString& tekiyo, int kamoku, int kaikeiKubun);

// The organisation's rules in their order.
std::vector<ImportRule> LoadImportRules(db::Connection& connection);
// Replaces the stored rules by `rules`, in this order, in one transaction of its
// own (or of the connection's explicit one when it is active).
void SaveImportRules(db::Connection& connection, const std::vector<ImportRule>& rules);
