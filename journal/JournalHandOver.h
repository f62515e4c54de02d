#pragma once
// The journal window's load as another window of this program reaches it to add
// lines to it (会費徴収 hands it the lines of a collection): the lines are written
// into the load's work rows by the caller, in the caller's own transaction, and the
// window is then told so that it shows them as unsaved lines.

#include "db/WorkKeys.h"

#include <optional>
#include <vector>

struct JournalLoad {
    int nendo = 0;
    db::WorkKey key;
};

class JournalHandOver {
  public:
    virtual ~JournalHandOver() = default;
    // The year loaded and the key of its work rows; none while no year is loaded.
    virtual std::optional<JournalLoad> CurrentLoad() const = 0;
    // Raises EAppError when lines cannot be added now: a line is being typed, and
    // redrawing the grid would lose it.
    virtual void ReadyForLines() = 0;
    // Lines `seqNos` were written into the work rows: shown at once (grid, balance),
    // and counted as unsaved work.
    virtual void LinesHandedOver(const std::vector<int>& seqNos) = 0;
};
