#include "tests/support/SaveRace.h"

#include "core/Errors.h"

#include <gtest/gtest.h>

#include <chrono>
#include <iostream>
#include <latch>
#include <map>
#include <string>
#include <thread>

using namespace Qt::Literals::StringLiterals;

const char* NameOf(SaveOutcome outcome) {
    return outcome == SaveOutcome::Saved ? "saved" : outcome == SaveOutcome::Asked ? "asked" : "told";
}

void RunSaveRaces(const std::vector<SaveTiming>& timings, const std::function<void(int)>& load,
                  const std::function<SaveOutcome(int)>& save,
                  const std::function<void(const SaveOutcome (&)[2], const SaveTiming&)>& check) {
    for (const SaveTiming& timing : timings) {
        std::map<std::string, int> seen;
        for (int trial = 0; trial < timing.trials; ++trial) {
            SCOPED_TRACE("second save " + std::to_string(timing.delayMs) + " ms later, trial " +
                         std::to_string(trial));
            SaveOutcome outcomes[2] = {SaveOutcome::Told, SaveOutcome::Told};
            std::latch loaded(2);
            std::vector<std::thread> threads;
            for (int i = 0; i < 2; ++i)
                threads.emplace_back([&, i] {
                    load(i);  // both load at once
                    loaded.arrive_and_wait();
                    if (i == 1)
                        std::this_thread::sleep_for(std::chrono::milliseconds(timing.delayMs));
                    outcomes[i] = save(i);
                });
            for (auto& t : threads)
                t.join();
            check(outcomes, timing);
            if (::testing::Test::HasFatalFailure())
                return;
            for (const SaveOutcome o : outcomes)
                if (o != SaveOutcome::Saved)
                    ++seen[NameOf(o)];
        }
        std::cout << "second save " << timing.delayMs << " ms later: ";
        for (const auto& [what, count] : seen)
            std::cout << what << ' ' << count << "  ";
        std::cout << '\n';
    }
}

SaveOutcome SaveOutcomeOf(db::Connection& connection,
                          const std::function<void(const std::function<bool()>&)>& body, bool answer) {
    bool asked = false;
    connection.StartTransaction();
    try {
        body([&] {
            asked = true;
            return answer;
        });
        connection.Commit();
        return SaveOutcome::Saved;
    } catch (const EAbort&) {
        connection.Rollback();
        EXPECT_TRUE(asked);
        return SaveOutcome::Asked;
    } catch (const EAppError& e) {
        connection.Rollback();
        EXPECT_TRUE(e.Message().contains(u"保存しています"_s)) << e.Message().toStdString();
        return SaveOutcome::Told;
    } catch (const std::exception& e) {
        connection.Rollback();
        ADD_FAILURE() << e.what();
        return SaveOutcome::Told;
    }
}
