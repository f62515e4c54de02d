#pragma once
// A helper program (LibreOffice's converter) run so that it never outlives the
// command: it runs in a process group of its own under a small guardian process,
// which the kernel tells when the command ends in any way (a parent-death signal)
// and which then kills the whole group — the converter and whatever it started.
// A signal that stops the command kills the group at once (cli/Interruption.h).

#include <QString>
#include <QStringList>

namespace cli {

struct GroupProcessResult {
    bool finished = false;  // false: still running after the time allowed, then killed
    int exitCode = -1;      // 127 when the program could not be started
};

// Runs `program` with `arguments`, its output and errors into `logFile`, and
// waits for it at most `timeoutMs`.
GroupProcessResult RunInOwnGroup(const QString& program, const QStringList& arguments, const QString& logFile,
                                 int timeoutMs);

}  // namespace cli
