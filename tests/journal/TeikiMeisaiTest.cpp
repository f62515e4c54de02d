#include <gtest/gtest.h>

#include "journal/TeikiMeisai.h"

using namespace Qt::Literals::StringLiterals;

namespace {

TeikiTemplate Template(int hi, qint64 sisyutsu, const QString& tekiyo,
                       std::initializer_list<int> months = {}) {
    TeikiTemplate t;
    t.kamoku = 2001;
    t.hi = hi;
    t.sisyutsu = sisyutsu;
    t.tekiyo = tekiyo;
    if (months.size() == 0)
        t.months.fill(true);
    for (int m : months)
        t.months[static_cast<std::size_t>(m - 1)] = true;
    return t;
}

QStringList Shown(const std::vector<TeikiLine>& lines) {
    QStringList shown;
    for (const TeikiLine& l : lines)
        shown << u"%1:%2"_s.arg(l.from).arg(l.hizuke);
    return shown;
}

}  // namespace

TEST(TeikiMeisai, LinesForTheChosenMonthsOnce) {
    const std::vector<TeikiTemplate> templates{
        Template(25, 3000, u"家賃"_s),              // every month
        Template(31, 500, u"月末手数料"_s),         // the month's last day
        Template(10, 12000, u"保険料"_s, {4, 10}),  // twice a year
        Template(10, 0, u"金額なし"_s),             // cannot be kept: never made
    };
    const QString kisyubi = u"20260401"_s;
    const QString kimatsubi = u"20270331"_s;

    const std::vector<TeikiLine> year =
        TeikiLines(templates, u"202604"_s, u"202703"_s, kisyubi, kimatsubi, {});
    EXPECT_EQ(year.size(), 12u + 12u + 2u);
    EXPECT_EQ(Shown(year).mid(0, 4),
              (QStringList{u"2:20260410"_s, u"0:20260425"_s, u"1:20260430"_s, u"0:20260525"_s}));
    EXPECT_TRUE(Shown(year).contains(u"1:20270228"_s));
    EXPECT_TRUE(Shown(year).contains(u"2:20261010"_s));

    // Made once: the lines of the load stand for them, a second run adds nothing.
    std::vector<LineKey> made;
    for (const TeikiLine& l : year) {
        const TeikiTemplate& t = templates[l.from];
        made.push_back({l.hizuke, t.kaikeiKubun, t.syunyu, t.sisyutsu, t.tekiyo});
    }
    EXPECT_TRUE(TeikiLines(templates, u"202604"_s, u"202703"_s, kisyubi, kimatsubi, made).empty());

    // A range of months, one of them made already.
    const std::vector<LineKey> may{{u"20260525"_s, 0, 0, 3000, u"家賃"_s}};
    EXPECT_EQ(Shown(TeikiLines(templates, u"202605"_s, u"202606"_s, kisyubi, kimatsubi, may)),
              (QStringList{u"1:20260531"_s, u"0:20260625"_s, u"1:20260630"_s}));

    const std::vector<QString> months = MonthsOfYear(kisyubi, kimatsubi);
    ASSERT_EQ(months.size(), 12u);
    EXPECT_EQ(months.front(), u"202604"_s);
    EXPECT_EQ(months.back(), u"202703"_s);
}

TEST(TeikiMeisai, SayWhyATemplateCannotBeKept) {
    const auto with = [](auto change) {
        TeikiTemplate t = Template(25, 3000, u"家賃"_s);
        change(t);
        return TeikiProblem(t);
    };
    EXPECT_EQ(with([](TeikiTemplate&) {}), std::nullopt);
    EXPECT_EQ(with([](TeikiTemplate& t) { t.kamoku = 0; }), u"科目(集計項目)を入力してください。"_s);
    EXPECT_EQ(with([](TeikiTemplate& t) { t.syunyu = 1; }), u"収入と支出の両方に金額が入力されています。"_s);
    EXPECT_EQ(with([](TeikiTemplate& t) { t.sisyutsu = 0; }), u"金額を入力してください。"_s);
    EXPECT_EQ(with([](TeikiTemplate& t) { t.hi = 32; }), u"日は1～31で入力してください。"_s);
    EXPECT_EQ(with([](TeikiTemplate& t) { t.months.fill(false); }), u"作成する月を選んでください。"_s);
}
