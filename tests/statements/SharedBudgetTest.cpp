// Two computers, one budget, one server: each loads the year into its work rows
// (W_YOSAN, under a key it claims), types its own amounts and saves through the
// budget's save, the second save 0, 10, 50 ms or 1 s after the first, many times
// over. Every trial must end with the budget of the save that went through, whole
// and once, and the other computer asked (the year was saved since its load) or
// told that another computer is saving. Two computers whose names share their
// first 15 characters, loading in the same second, hold two keys: both saves go
// through (the second after its question) and nothing is written twice.

#include "db/Connection.h"
#include "db/WorkKeys.h"
#include "db/YearSave.h"
#include "statements/BudgetYear.h"
#include "tests/support/FirebirdServer.h"
#include "tests/support/SaveRace.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QStringList>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kNendo = 2021;
const db::SavedRows kBudget{u"YOSAN"_s, u"(NENDO = :Nendo)"_s, {{u"Nendo"_s, kNendo}}};

// One computer: its program's connection and its budget window's load.
struct Computer {
    Computer(db::Connection::DatabaseStringProvider provider, QString hostName, int number)
        : connection(std::move(provider)), host(std::move(hostName)), id(number) {}

    // 入力(表示) of the year, then this computer's amount typed on every line and
    // in the breakdown.
    void LoadAndType(const QDateTime& at = QDateTime::currentDateTime()) {
        claim.reset();
        claim.emplace(connection, u"W_YOSAN"_s, kNendo, host, at);
        loaded = db::StampOf(connection, kBudget);
        amount = id * 100000 + ++edition;
        connection.Execute(
            u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) "
            u"select :C, :J, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, :A from YOSAN where NENDO = 2021"_s,
            {{u"C"_s, claim->Key().cpuName}, {u"J"_s, claim->Key().jikoku}, {u"A"_s, amount}});
    }

    // 保存, answering `answer` when asked.
    SaveOutcome Save(bool answer = false) {
        return SaveOutcomeOf(
            connection,
            [&](const std::function<bool()>& confirm) {
                db::SaveYearRows(connection, kNendo, u"データ"_s, *claim, kBudget, loaded, confirm, [&] {
                    ReplaceBudgetYear(connection, kNendo, &claim->Key(), {{0, 4001, amount}});
                });
            },
            answer);
    }

    db::Connection connection;
    const db::Connection::DatasetUse use = connection.UseDataset();  // the program stays attached
    QString host;
    int id;
    std::optional<db::WorkKeyClaim> claim;
    db::YearStamp loaded;
    int edition = 0;
    int amount = 0;
};

class SharedBudget : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Available())
            GTEST_SKIP() << server.Reason().toStdString();
        for (
            const QString& sql : {
                u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI) values (2021, '20210401', '20220331')"_s,
                u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) values (2021, 0, 100, 1, 0)"_s,
                u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) values (2021, 0, 1001, 2, 0)"_s,
                u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) values (2021, 2, 2001, 3, 0)"_s,
                // Another year's budget, which no save of 2021 touches.
                u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, YOSAN) values (2020, 0, 1001, 1, 5)"_s,
            })
            observer.Execute(sql);
    }

    // The saved budget: every line's division, item and amount, and the breakdown.
    QStringList SavedBudget() {
        QStringList rows;
        for (const auto& row :
             observer
                 .Select(u"select 'Y', KAIKEI_KUBUN, KAMOKU, YOSAN from YOSAN where NENDO = 2021 "
                         u"union all select 'K', KAIKEI_KUBUN, KAMOKU, KURIKOSI from KURIKOSI "
                         u"where NENDO = 2021 order by 1, 2, 3"_s)
                 .rows)
            rows << u"%1|%2|%3|%4"_s.arg(row[0].AsString(), row[1].AsString(), row[2].AsString(),
                                         row[3].AsString());
        return rows;
    }
    static QStringList BudgetOf(const Computer& c) {
        const QString a = QString::number(c.amount);
        return {u"K|0|4001|"_s + a, u"Y|0|100|"_s + a, u"Y|0|1001|"_s + a, u"Y|2|2001|"_s + a};
    }

    FirebirdServer server;
    ScratchDatabase scratch;
    db::Connection::DatabaseStringProvider viaServer = [s = server.DatabaseString(scratch.Path())] {
        return s;
    };
    db::Connection observer{viaServer};
};

TEST_F(SharedBudget, TwoComputersSavingOneBudgetNeverBothSucceedAndTheBudgetStaysWhole) {
    Computer computers[] = {{viaServer, u"KAIKEI-PC-1"_s, 1}, {viaServer, u"KAIKEI-PC-2"_s, 2}};
    RunSaveRaces(
        {{0, 15}, {10, 15}, {50, 10}, {1000, 3}}, [&](int i) { computers[i].LoadAndType(); },
        [&](int i) { return computers[i].Save(); },
        [&](const SaveOutcome(&outcomes)[2], const SaveTiming& timing) {
            const int savedCount = (outcomes[0] == SaveOutcome::Saved) + (outcomes[1] == SaveOutcome::Saved);
            ASSERT_EQ(savedCount, 1) << NameOf(outcomes[0]) << " / " << NameOf(outcomes[1]);
            const int winner = outcomes[0] == SaveOutcome::Saved ? 0 : 1;
            EXPECT_EQ(SavedBudget(), BudgetOf(computers[winner]));
            if (timing.delayMs >= 1000) {
                EXPECT_EQ(outcomes[1], SaveOutcome::Asked)
                    << "a save after the first ended meets the question";
            }
        });
    EXPECT_EQ(observer.Select(u"select YOSAN from YOSAN where NENDO = 2020"_s).rows.at(0).at(0).AsInteger(),
              5);
}

TEST_F(SharedBudget, ComputersWithOneCutNameLoadingInOneSecondHoldTwoKeysAndSaveNothingTwice) {
    const QDateTime at = QDateTime::fromString(u"20220401093000"_s, u"yyyyMMddhhmmss"_s);
    Computer first(viaServer, u"TREASURER-NOTEPC-1"_s, 1);
    Computer second(viaServer, u"TREASURER-NOTEPC-2"_s, 2);
    first.LoadAndType(at);
    second.LoadAndType(at);
    EXPECT_EQ(first.claim->Key().cpuName, second.claim->Key().cpuName);
    EXPECT_NE(first.claim->Key().jikoku, second.claim->Key().jikoku);

    EXPECT_EQ(first.Save(), SaveOutcome::Saved);
    EXPECT_EQ(SavedBudget(), BudgetOf(first));
    EXPECT_EQ(second.Save(true), SaveOutcome::Saved) << "asked, and answered はい";
    EXPECT_EQ(SavedBudget(), BudgetOf(second));
    // Each window's rows stay its own until it closes.
    for (const Computer* c : {&first, &second})
        EXPECT_EQ(observer
                      .Select(u"select count(*) from W_YOSAN where CPU_NAME = :C and JIKOKU = :J"_s,
                              {{u"C"_s, c->claim->Key().cpuName}, {u"J"_s, c->claim->Key().jikoku}})
                      .rows.at(0)
                      .at(0)
                      .AsInteger(),
                  3);
}

}  // namespace
