#include <gtest/gtest.h>

#include "journal/ImportDuplicates.h"
#include "journal/ImportRules.h"
#include "journal/MeisaiImport.h"

using namespace Qt::Literals::StringLiterals;

namespace {

ImportRule Rule(RuleTarget target, RuleMatch match, const QString& text, int kamoku) {
    ImportRule r;
    r.target = target;
    r.match = match;
    r.text = text;
    r.kamoku = kamoku;
    return r;
}

}  // namespace

TEST(ImportRules, MatchTheTextsARuleLooksAt) {
    const struct {
        ImportRule rule;
        const char16_t* aite;
        const char16_t* tekiyo;
        bool matches;
    } cases[] = {
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"デンキ"_s, 2001), u"", u"ﾃﾞﾝｷﾀﾞｲ ﾄｳｷﾖｳ", true},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"abc"_s, 2001), u"", u"振込 ＡＢＣ商店", true},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"会費"_s, 1001), u"会費", u"振込", false},
        {Rule(RuleTarget::Aite, RuleMatch::Contains, u"会費"_s, 1001), u"会費", u"振込", true},
        {Rule(RuleTarget::Either, RuleMatch::Contains, u"会費"_s, 1001), u"会費", u"振込", true},
        {Rule(RuleTarget::Either, RuleMatch::Contains, u"会費"_s, 1001), u"", u"", false},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Pattern, u"^振込\\s*[0-9]+班"_s, 1001), u"", u"振込 3班 会費",
         true},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Pattern, u"^振込\\s*[0-9]+班"_s, 1001), u"", u"会費 振込 3班",
         false},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Pattern, u"nhk"_s, 2001), u"", u"NHK受信料", true},
        // A rule that cannot be kept matches nothing.
        {Rule(RuleTarget::Tekiyo, RuleMatch::Pattern, u"(振込"_s, 1001), u"", u"(振込", false},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"振込"_s, 0), u"", u"振込", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE((c.rule.text + u" / "_s + QString::fromUtf16(c.tekiyo)).toStdString());
        EXPECT_EQ(RuleMatches(c.rule, QString::fromUtf16(c.aite), QString::fromUtf16(c.tekiyo)), c.matches);
    }
}

TEST(ImportRules, TheFirstRuleThatMatchesWins) {
    const std::vector<ImportRule> rules{Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"電気"_s, 2001),
                                        Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"振込"_s, 1001),
                                        Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"電気"_s, 2002)};
    EXPECT_EQ(FirstMatchingRule(rules, {}, u"電気代 振込"_s), 0u);
    EXPECT_EQ(FirstMatchingRule(rules, {}, u"振込 会費"_s), 1u);
    EXPECT_EQ(FirstMatchingRule(rules, {}, u"水道"_s), std::nullopt);
}

TEST(ImportRules, SayWhyARuleCannotBeKept) {
    const std::pair<ImportRule, std::optional<QString>> cases[] = {
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"電気"_s, 2001), std::nullopt},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"　"_s, 2001), u"探す文字を入力してください。"_s},
        {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"電気"_s, 0),
         u"科目(集計項目)を入力してください。"_s},
    };
    for (const auto& [rule, problem] : cases)
        EXPECT_EQ(RuleProblem(rule), problem) << rule.text.toStdString();
    const auto bad = RuleProblem(Rule(RuleTarget::Tekiyo, RuleMatch::Pattern, u"[電気"_s, 2001));
    ASSERT_TRUE(bad);
    EXPECT_TRUE(bad->startsWith(u"パターンが正しくありません。"_s)) << bad->toStdString();

    // A rule from a journal line looks for its description, else its counterparty.
    const ImportRule fromLine = RuleFromLine(u"東電"_s, u"電気代"_s, 2001, 0);
    EXPECT_EQ(fromLine.target, RuleTarget::Tekiyo);
    EXPECT_EQ(fromLine.text, u"電気代"_s);
    EXPECT_EQ(fromLine.kaikeiKubun, 0);
    EXPECT_EQ(RuleFromLine(u"東電"_s, {}, 2001, 2).target, RuleTarget::Aite);
}

TEST(ImportRules, RowsWithoutAnItemTakeTheFirstRuleOrTheDefault) {
    ImportContext c;
    c.kisyubi = u"20260401"_s;
    c.kimatsubi = u"20270331"_s;
    c.items = {{0, 0, 0}, {1001, 1, 0}, {2001, 2, 0}, {2002, 2, 0}, {1900, 1, 0}};
    c.divisions = {{0, u"一般会計"_s}, {2, u"祭礼会計"_s}};
    ImportRule festival = Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"祭礼"_s, 2002);
    festival.kaikeiKubun = 2;
    festival.tekiyo = u"祭礼費"_s;
    ImportRule away = Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"旅行"_s, 2002);
    away.kaikeiKubun = 5;  // a division the year has not
    c.rules = {Rule(RuleTarget::Tekiyo, RuleMatch::Contains, u"ｶｲﾋ"_s, 1001), festival, away};
    ColumnMapping m;
    m.hizuke = 0;
    m.tekiyo = 1;
    m.syunyu = 2;
    m.sisyutsu = 3;
    m.firstRowIsHeading = false;
    std::vector<CsvRow> rows;
    for (const QStringList& fields : {QStringList{u"2026/4/5"_s, u"振込 カイヒ 3班"_s, u"3,000"_s, {}},
                                      QStringList{u"2026/4/6"_s, u"祭礼 お供え"_s, {}, u"5,000"_s},
                                      QStringList{u"2026/4/7"_s, u"利息"_s, u"12"_s, {}},
                                      QStringList{u"2026/4/8"_s, u"旅行"_s, {}, u"100"_s}})
        rows.push_back({static_cast<int>(rows.size()) + 1, fields, {}});

    const struct {
        int defaultKamoku;
        std::vector<QString> outcome;
    } cases[] = {
        {1900,
         {u"0|1001|振込 カイヒ 3班|Rule0"_s, u"2|2002|祭礼費|Rule1"_s, u"0|1900|利息|Default"_s,
          u"!ルール「旅行」の会計区分はこの年度にありません。"_s}},
        {0,
         {u"0|1001|振込 カイヒ 3班|Rule0"_s, u"2|2002|祭礼費|Rule1"_s,
          u"!どのルールにも合わず、ルールに合わない行の科目(集計項目)も選ばれていません。"_s,
          u"!ルール「旅行」の会計区分はこの年度にありません。"_s}},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.defaultKamoku);
        m.defaultKamoku = test.defaultKamoku;
        EXPECT_EQ(MappingProblem(m, true), std::nullopt);
        const ImportCheck check = CheckImportRows(rows, m, c);
        std::map<int, QString> outcome;
        for (const ImportLine& l : check.lines)
            outcome[l.row] = u"%1|%2|%3|%4"_s.arg(l.kaikeiKubun)
                                 .arg(l.kamoku.AsInteger())
                                 .arg(l.tekiyo.AsString(), l.itemFrom == ImportLine::ItemFrom::Default
                                                               ? u"Default"_s
                                                               : u"Rule%1"_s.arg(l.rule));
        for (const RowError& e : check.errors)
            outcome[e.row] = u'!' + e.message;
        ASSERT_EQ(outcome.size(), test.outcome.size());
        for (std::size_t i = 0; i < test.outcome.size(); ++i)
            EXPECT_EQ(outcome[static_cast<int>(i) + 1], test.outcome[i]);
    }
    // Without rules or a default item the file needs its item column.
    m.defaultKamoku = 0;
    EXPECT_EQ(MappingProblem(m), u"科目(集計項目)の列を選んでください。"_s);
}

TEST(ImportDuplicates, EachLineOfTheYearStandsForOneRow) {
    const auto key = [](const char* date, int division, qint64 in, qint64 out, const QString& tekiyo) {
        return LineKey{QString::fromLatin1(date), division, in, out, tekiyo};
    };
    const std::vector<LineKey> year{key("20260405", 0, 3000, 0, u"会費"_s),
                                    key("20260410", 0, 0, 800, u"電気代"_s),
                                    key("20260410", 0, 0, 800, u"電気代"_s)};
    const struct {
        const char* name;
        LineKey row;
    } rows[] = {
        {"in the year", key("20260405", 0, 3000, 0, u" 会費 "_s)},
        {"another date", key("20260406", 0, 3000, 0, u"会費"_s)},
        {"another division", key("20260405", 2, 3000, 0, u"会費"_s)},
        {"another amount", key("20260405", 0, 3001, 0, u"会費"_s)},
        {"another description", key("20260405", 0, 3000, 0, u"会費 4月"_s)},
        {"the same again: a second payment", key("20260405", 0, 3000, 0, u"会費"_s)},
        {"twice in the year", key("20260410", 0, 0, 800, u"電気代"_s)},
        {"twice in the year, second", key("20260410", 0, 0, 800, u"電気代"_s)},
        {"three times in the file", key("20260410", 0, 0, 800, u"電気代"_s)},
    };
    const bool expected[] = {true, false, false, false, false, false, true, true, false};
    std::vector<LineKey> keys;
    for (const auto& r : rows)
        keys.push_back(r.row);
    const std::vector<bool> duplicate = ProbableDuplicates(keys, year);
    ASSERT_EQ(duplicate.size(), std::size(rows));
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(duplicate[i], expected[i]) << rows[i].name;
}
