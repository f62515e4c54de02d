// Named parameters and script splitting: what is SQL code and what is not.

#include "db/NamedParams.h"
#include "db/SqlScript.h"
#include "db/Value.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(TranslateNamedParams, ReplacesNamesOutsideLiteralsAndComments) {
    struct Case {
        QString sql;
        QString translated;
        QStringList names;
    };
    const Case cases[] = {
        {u"delete from W_YOSAN where (CPU_NAME= :CPU_NAME) and (JIKOKU = :JIKOKU)"_s,
         u"delete from W_YOSAN where (CPU_NAME= ?) and (JIKOKU = ?)"_s,
         {u"CPU_NAME"_s, u"JIKOKU"_s}},
        {u"select * from NENDO where (NENDO = :Nendo) or (NENDO = :nendo + 1)"_s,
         u"select * from NENDO where (NENDO = ?) or (NENDO = ? + 1)"_s,
         {u"NENDO"_s, u"NENDO"_s}},
        {u"select ':A', 'it''s :B', \":C\" from T where X=:D"_s,
         u"select ':A', 'it''s :B', \":C\" from T where X=?"_s,
         {u"D"_s}},
        {u"select 1 -- :A\nfrom T /* :B\n:C */ where Y = :E_1$"_s,
         u"select 1 -- :A\nfrom T /* :B\n:C */ where Y = ?"_s,
         {u"E_1$"_s}},
        {u"select a :: b, ':' , :1 from T"_s, u"select a :: b, ':' , :1 from T"_s, {}},
        {u"select 'unclosed :A"_s, u"select 'unclosed :A"_s, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql.toStdString());
        const auto result = db::TranslateNamedParams(c.sql);
        EXPECT_EQ(result.sql, c.translated);
        EXPECT_EQ(QStringList(result.names.begin(), result.names.end()), c.names);
    }
}

TEST(SplitSqlScript, SplitsAtSemicolonsInCodeOnly) {
    const QString script =
        u"-- heading; not a statement\n"
        "create table T (A varchar(5));\n"
        "insert into T values ('a;b');  /* ; */\n"
        "insert into \"T\" values ('c''d;')\n"
        ";\n  ;  -- trailing\n"_s;
    const std::vector<QString> expected = {u"-- heading; not a statement\ncreate table T (A varchar(5))"_s,
                                           u"insert into T values ('a;b')"_s,
                                           u"/* ; */\ninsert into \"T\" values ('c''d;')"_s};
    EXPECT_EQ(db::SplitSqlScript(script), expected);
}

TEST(Value, KindsConversionsAndOrder) {
    using db::Value;
    EXPECT_TRUE(Value().IsNull());
    EXPECT_FALSE(Value() == Value(0));
    EXPECT_FALSE(Value(0) == Value(u""));
    EXPECT_FALSE(Value(1) == Value(1.0)) << "same kind only";
    EXPECT_EQ(Value().AsString(), QString());
    EXPECT_EQ(Value().AsInteger(), 0);
    EXPECT_EQ(Value(u" 42 ").AsInteger(), 42);
    EXPECT_EQ(Value(u"abc").AsInteger(), 0);
    EXPECT_EQ(Value(2.5).AsInteger(), 3);
    EXPECT_EQ(Value(-2.5).AsInteger(), -3);
    EXPECT_EQ(Value(qint64{1} << 40).AsString(), u"1099511627776"_s);
    EXPECT_EQ(Value(0.1).AsString(), u"0.1"_s);

    const Value ordered[] = {Value(), Value(-5), Value(1.5), Value(2), Value(u""), Value(u"a"), Value(u"b")};
    for (std::size_t i = 0; i < std::size(ordered); ++i) {
        for (std::size_t j = 0; j < std::size(ordered); ++j) {
            SCOPED_TRACE(testing::Message() << i << " vs " << j);
            const int c = db::Compare(ordered[i], ordered[j]);
            EXPECT_EQ(c < 0, i < j);
            EXPECT_EQ(c == 0, i == j);
        }
    }
    EXPECT_EQ(db::Compare(Value(2), Value(2.0)), 0);
}

}  // namespace
