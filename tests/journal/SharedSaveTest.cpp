// Two computers, one year, one server: each loads the year into its work rows,
// posts a line and saves, the second save 0, 10, 50 ms or 1 s after the first,
// many times over so that the races happen. Every trial must end with exactly the
// lines of the save that went through, each once, and the other computer asked
// (the year was saved since its load) or told that another computer is saving —
// never two saves that both report success, never a lost or doubled line.

#include "db/Connection.h"
#include "db/WorkKeys.h"
#include "journal/JournalYear.h"
#include "tests/support/FirebirdServer.h"
#include "tests/support/SaveRace.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <QDateTime>

#include <optional>
#include <set>

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kNendo = 2021;

// One computer: its program's connection and its window's load.
struct Computer {
    Computer(db::Connection::DatabaseStringProvider provider, QString hostName)
        : connection(std::move(provider)), host(std::move(hostName)) {}

    // 入力(表示), then one line typed and posted.
    void LoadAndPost() {
        claim.reset();
        claim.emplace(connection, u"W_MEISAI"_s, kNendo, host, QDateTime::currentDateTime());
        loaded = SavedYearStamp(connection, kNendo);
        CopyYearToWorkRows(connection, kNendo, claim->Key());
        line = db::NextLineNumber(connection);
        connection.Execute(u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, "
                           u"KAMOKU, SYUNYU, KOUSIN_FLAG) values (:C, :J, :S, 0, 2021, '20210501', 1001, 100, 2)"_s,
                           {{u"C"_s, claim->Key().cpuName}, {u"J"_s, claim->Key().jikoku}, {u"S"_s, line}});
    }

    // 保存, answering いいえ when asked.
    SaveOutcome Save() {
        return SaveOutcomeOf(connection, [&](const std::function<bool()>& confirm) {
            SaveYear(connection, kNendo, *claim, loaded, confirm);
        });
    }

    db::Connection connection;
    const db::Connection::DatasetUse use = connection.UseDataset();  // the program stays attached
    QString host;
    std::optional<db::WorkKeyClaim> claim;
    YearStamp loaded;
    int line = 0;
};

std::vector<int> SavedLines(db::Connection& c) {
    std::vector<int> lines;
    for (const auto& row : c.Select(u"select SEQ_NO from MEISAI where NENDO = 2021 order by SEQ_NO"_s).rows)
        lines.push_back(static_cast<int>(row.at(0).AsInteger()));
    return lines;
}

TEST(SharedSave, TwoComputersSavingOneYearNeverBothSucceedNorLoseALine) {
    const FirebirdServer server;
    if (!server.Available())
        GTEST_SKIP() << server.Reason().toStdString();
    const ScratchDatabase scratch;
    const auto viaServer = [s = server.DatabaseString(scratch.Path())] { return s; };
    db::Connection observer(viaServer);
    observer.Execute(u"insert into NENDO (NENDO, KISYUBI, KIMATSUBI) values (2021, '20210401', '20220331')"_s);
    observer.Execute(u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE) values (1, 0, 2021, '20210401')"_s);
    ASSERT_TRUE(db::EnsureSharingObjects(observer));

    Computer computers[] = {{viaServer, u"TREASURER-NOTEPC-1"_s}, {viaServer, u"TREASURER-NOTEPC-2"_s}};
    std::set<int> expected{1};
    RunSaveRaces(
        {{0, 15}, {10, 15}, {50, 10}, {1000, 3}},
        [&](int i) { computers[i].LoadAndPost(); },  // both post at once
        [&](int i) { return computers[i].Save(); },
        [&](const SaveOutcome(&outcomes)[2], const SaveTiming& timing) {
            ASSERT_NE(computers[0].line, computers[1].line) << "one line number for two lines";
            const int savedCount = (outcomes[0] == SaveOutcome::Saved) + (outcomes[1] == SaveOutcome::Saved);
            ASSERT_EQ(savedCount, 1) << NameOf(outcomes[0]) << " / " << NameOf(outcomes[1]);
            const int winner = outcomes[0] == SaveOutcome::Saved ? 0 : 1;
            expected.insert(computers[winner].line);
            const std::vector<int> saved = SavedLines(observer);
            EXPECT_EQ(std::set<int>(saved.begin(), saved.end()), expected);
            EXPECT_EQ(saved.size(), expected.size()) << "a line saved twice";
            if (timing.delayMs >= 1000) {
                EXPECT_EQ(outcomes[1], SaveOutcome::Asked)
                    << "a save after the first ended meets the question";
            }
        });
}

}  // namespace
