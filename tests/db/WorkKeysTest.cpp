// Abandoned loads on an embedded database: the loads under keys nobody claims are
// found key by key, in the work table with an index on the key and in those
// without one, and only those.

#include "db/Connection.h"
#include "db/WorkKeys.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

TEST(WorkKeys, LoadsUnderUnclaimedKeysAreFoundKeyByKeyInEveryWorkTable) {
    ScratchDatabase scratch;
    db::Connection c(scratch.Provider());
    ASSERT_TRUE(db::EnsureSharingObjects(c));
    const auto use = c.UseDataset();
    std::optional<db::WorkKeyClaim> claim;
    claim.emplace(c, u"W_MEISAI"_s, 2021, u"PC-B"_s,
                  QDateTime::fromString(u"20220401093000"_s, u"yyyyMMddhhmmss"_s));
    // Several rows under each key; keys on two computers, one of them claimed.
    const struct {
        const char16_t* cpu;
        const char16_t* jikoku;
        int nendo;
    } rows[] = {{u"PC-A", u"20200101000000", 2020},
                {u"PC-A", u"20210101000000", 2021},
                {u"PC-C", u"20190101000000", 2019},
                {u"PC-B", u"20220401093000", 2021}};
    int seq = 0;
    for (const auto& r : rows)
        for (int n = 0; n < 3; ++n) {
            const db::Connection::Params params{{u"C"_s, QString::fromUtf16(r.cpu)},
                                                {u"J"_s, QString::fromUtf16(r.jikoku)},
                                                {u"N"_s, r.nendo},
                                                {u"S"_s, ++seq}};
            c.Execute(
                u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO) "
                u"values (:C, :J, :S, 0, :N)"_s,
                params);
            c.Execute(
                u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU) "
                u"values (:C, :J, :N, 0, :S)"_s,
                params);
        }
    for (const QString& table : {u"W_MEISAI"_s, u"W_YOSAN"_s}) {
        SCOPED_TRACE(table.toStdString());
        QStringList found;
        for (const db::AbandonedLoad& load : db::AbandonedLoads(c, table)) {
            EXPECT_FALSE(load.claimed);
            found << load.key.cpuName + u'/' + load.key.jikoku + u'/' + QString::number(load.nendo);
        }
        EXPECT_EQ(found, (QStringList{u"PC-C/20190101000000/2019"_s, u"PC-A/20200101000000/2020"_s,
                                      u"PC-A/20210101000000/2021"_s}));
    }
    // Discarded by key: the claimed load's rows stay.
    for (const db::AbandonedLoad& load : db::AbandonedLoads(c, u"W_MEISAI"_s))
        EXPECT_TRUE(db::DiscardLoad(c, u"W_MEISAI"_s, load));
    EXPECT_TRUE(db::AbandonedLoads(c, u"W_MEISAI"_s).empty());
    EXPECT_EQ(c.Select(u"select count(*) from W_MEISAI"_s).rows.at(0).at(0).AsInteger(), 3);
    claim.reset();
    EXPECT_EQ(c.Select(u"select count(*) from W_MEISAI"_s).rows.at(0).at(0).AsInteger(), 0);
}

}  // namespace
