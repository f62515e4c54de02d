// Which blocks a level runs, for the levels the databases carry and for levels in
// between that no release wrote; and how a level is read.

#include "db/SchemaLevel.h"
#include "db/UpgradeSteps.h"

#include <gtest/gtest.h>

#include <QStringList>

using namespace Qt::Literals::StringLiterals;

namespace {

QString HeadersFor(const QString& level) {
    QStringList headers;
    for (const db::UpgradeBlock& block : db::UpgradeBlocksFor(level))
        headers << (block.header.isEmpty() ? u"*"_s : block.header.left(block.header.indexOf(u' ')));
    return headers.join(u',');
}

TEST(UpgradeBlocks, FollowTheChainFromEachLevel) {
    struct Case {
        const char16_t* level;
        const char16_t* headers;  // block headers up to the first blank; * the version step
    } const cases[] = {
        {u"1.0.0.0",
         u"表示区分マスタ修正,v-1.0.1.0レベルへのアップデート,v-1.0.2.1レベルへのアップデート,"
         u"v-1.0.2.4レベルへのアップデート,v-1.0.2.6レベルへのアップデート,"
         u"v-1.0.2.8レベルへのアップデート,v-1.0.3.0レベルへのアップデート,v-1.0.4.0レベルへのアップデート,*"},
        {u"1.0.2.1",
         u"表示区分マスタ修正,v-1.0.2.4レベルへのアップデート,v-1.0.2.6レベルへのアップデート,"
         u"v-1.0.2.8レベルへのアップデート,v-1.0.3.0レベルへのアップデート,v-1.0.4.0レベルへのアップデート,*"},
        {u"1.0.2.8", u"v-1.0.3.0レベルへのアップデート,v-1.0.4.0レベルへのアップデート,*"},
        // Levels no release wrote only fix the code names (when below 1.0.2.4) and
        // record the level; text order puts 1.0.2.10 below 1.0.2.4.
        {u"1.0.1.5", u"表示区分マスタ修正,*"},
        {u"1.0.2.10", u"表示区分マスタ修正,*"},
        {u"1.0.2.5", u"*"},
        {u"1.0.2.9", u"*"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.level).toStdString());
        EXPECT_EQ(HeadersFor(QString::fromUtf16(c.level)).toStdString(),
                  QString::fromUtf16(c.headers).toStdString());
    }
}

TEST(UpgradeBlocks, EndByRecordingTheCurrentLevel) {
    const auto blocks = db::UpgradeBlocksFor(u"1.0.2.6"_s);
    ASSERT_FALSE(blocks.empty());
    ASSERT_EQ(blocks.back().steps.size(), 1u);
    const db::UpgradeStep& last = blocks.back().steps.front();
    EXPECT_EQ(last.sql, u"update KANRI set DB_VERSION = :DbVersion"_s);
    ASSERT_EQ(last.params.size(), 1u);
    EXPECT_EQ(last.params[0].first, u"DbVersion"_s);
    EXPECT_EQ(last.params[0].second, db::Value(u"1.0.4.0"));
}

TEST(SchemaLevel, IsTheStoredVersionElseTellsOldDatabasesByTheirTables) {
    EXPECT_EQ(db::SchemaLevelOf(u"1.0.2.6"_s, false), u"1.0.2.6"_s);
    EXPECT_EQ(db::SchemaLevelOf(u"1.0.9.0"_s, true), u"1.0.9.0"_s);
    EXPECT_EQ(db::SchemaLevelOf(QString(), true), u"1.0.1.0"_s);
    EXPECT_EQ(db::SchemaLevelOf(QString(), false), u"1.0.0.0"_s);
    EXPECT_GT(db::CompareSchemaLevels(u"1.0.9.0"_s, db::CurrentSchemaLevel()), 0);
    EXPECT_LT(db::CompareSchemaLevels(u"1.0.2.10"_s, u"1.0.2.4"_s), 0);
}

}  // namespace
