#pragma once
// Rows of an imported file that are probably in the year already: a row equal to
// a line of the year in date, division, amounts and description. Importing two
// monthly statements that overlap so gives each line once.

#include <QString>

#include <vector>

#include "db/WorkKeys.h"

namespace db {
class Connection;
}

struct LineKey {
    QString hizuke;
    int kaikeiKubun = 0;
    qint64 syunyu = 0;  // an empty amount counts 0
    qint64 sisyutsu = 0;
    QString tekiyo;  // compared trimmed
};

// For each of `rows`, whether it is a probable duplicate of a line of `year`.
// Each line of the year stands for one row only: two equal rows against one
// equal line give one duplicate (the second row is a second, real payment), as
// do the rows of one file against each other (never duplicates of themselves).
std::vector<bool> ProbableDuplicates(const std::vector<LineKey>& rows, const std::vector<LineKey>& year);

// The lines of one window's load (every division), as keys.
std::vector<LineKey> WorkLineKeys(db::Connection& connection, const db::WorkKey& key);
