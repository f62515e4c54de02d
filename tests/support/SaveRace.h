#pragma once
// Two computers saving one year at once, through their own attachments: the race
// that the serialised save must survive, run at several timings, many times over,
// so that the races happen. Each trial both computers load at once (two threads),
// then both save, the second `delayMs` after the first; the test checks every
// trial's outcome and the saved year. A table of what the losing computer met at
// each timing is printed.

#include "db/Connection.h"

#include <functional>
#include <vector>

enum class SaveOutcome { Saved, Asked, Told };

const char* NameOf(SaveOutcome outcome);

struct SaveTiming {
    int delayMs;  // the second save starts this long after the first
    int trials;
};

// `load(i)` and `save(i)` act for computer 0 or 1; `check(outcomes, timing)` runs
// after each trial, in the test's thread.
void RunSaveRaces(const std::vector<SaveTiming>& timings, const std::function<void(int)>& load,
                  const std::function<SaveOutcome(int)>& save,
                  const std::function<void(const SaveOutcome (&)[2], const SaveTiming&)>& check);

// One save on `connection` in a transaction of its own: `body` gets the question
// "saved since this load" to ask, which answers `answer`. Committed: Saved. The
// user asked and declining (EAbort): Asked. Told that another computer is saving
// (EAppError "…保存しています…"): Told. Anything else fails the test.
SaveOutcome SaveOutcomeOf(db::Connection& connection,
                          const std::function<void(const std::function<bool()>&)>& body, bool answer = false);
