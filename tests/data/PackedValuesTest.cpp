#include "data/PackedValues.h"

#include <gtest/gtest.h>

#include <limits>

namespace data {
namespace {

// Every kind of value comes back as it went in: NULL apart from 0 and "", a null
// text apart from an empty one, the extremes of the integers, floats bit for bit.
TEST(PackedValuesTest, KeepsEveryValueAndItsKind) {
    const std::vector<db::Value> values{db::Value(),
                                        qint64{0},
                                        std::numeric_limits<qint64>::min(),
                                        std::numeric_limits<qint64>::max(),
                                        0.0,
                                        -1.5e300,
                                        QString(),
                                        QString(u""_qs),
                                        u"祭礼会計へ繰出"_qs,
                                        u"😀"_qs};
    StringPool pool;
    const PackedValues packed(values, pool);
    ASSERT_EQ(packed.Size(), values.size());
    for (std::size_t c = 0; c < values.size(); ++c) {
        const db::Value v = packed.At(c);
        EXPECT_EQ(v, values[c]) << c;
        EXPECT_EQ(v.IsNull(), values[c].IsNull()) << c;
        EXPECT_EQ(v.IsInteger(), values[c].IsInteger()) << c;
        EXPECT_EQ(v.IsFloat(), values[c].IsFloat()) << c;
        EXPECT_EQ(v.IsText(), values[c].IsText()) << c;
        if (v.IsText()) {
            EXPECT_EQ(v.AsString().isNull(), values[c].AsString().isNull()) << c;
        }
    }
    EXPECT_EQ(packed.Unpack(), values);
    EXPECT_EQ(packed.Clone().Unpack(), values);
    EXPECT_EQ(PackedValues().Size(), 0U);
}

// Rows share their texts, and a changed column is told from an unchanged one
// (what an update statement writes).
TEST(PackedValuesTest, SharesTextsAndComparesColumns) {
    StringPool pool;
    const PackedValues a({u"銀行"_qs, qint64{1000}, u"利息"_qs, db::Value()}, pool);
    const PackedValues b({u"銀行"_qs, qint64{1000}, u"会費"_qs, qint64{0}}, pool);
    const PackedValues c({u"利息"_qs, 1000.0, u"銀行"_qs, db::Value()}, pool);
    EXPECT_EQ(pool.Size(), 3U);
    EXPECT_TRUE(a.SameAt(0, b));
    EXPECT_TRUE(a.SameAt(1, b));
    EXPECT_FALSE(a.SameAt(2, b));
    EXPECT_FALSE(a.SameAt(3, b)) << "NULL is not 0";
    EXPECT_FALSE(a.SameAt(1, c)) << "an integer is not a float";
    EXPECT_TRUE(a.SameAt(3, c));

    StringPool other;
    const PackedValues d({u"銀行"_qs}, other);
    EXPECT_TRUE(a.SameAt(0, d)) << "equal texts of two pools";
}

}  // namespace
}  // namespace data
