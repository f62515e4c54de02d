#pragma once
// Ctrl+C (SIGINT), SIGTERM and SIGHUP during a command stop the run where it
// is: the converter's process group is killed, the run's temporary folder is
// removed, the terminal gets its echo back, and the program ends with 128 + the
// signal (130, 143, 129). Nothing is written under the output's name before the
// file is whole, and the database transaction of a run that ends this way is
// undone by the engine, as after a kill, so nothing else needs tidying.
//
// Without this the database engine takes the signals once a database is open and
// the run carries on to the end, as if nothing had been asked.

#include <QString>

#include <sys/types.h>
#include <functional>

namespace cli {

// 128 + the signal: the exit status a shell gives a command a signal ended.
int InterruptedStatus(int signal);

class Interruption {
  public:
    // Blocks the signals in the calling thread, which every thread started later
    // inherits (the database engine's among them); call before any thread starts.
    // A thread of its own then waits for them.
    Interruption();
    ~Interruption();
    Interruption(const Interruption&) = delete;
    Interruption& operator=(const Interruption&) = delete;

    // What a stop undoes, registered for the time it exists (see the classes below).
    static void RemoveOnStop(const QString& folder);
    static void KeepOnStop(const QString& folder);
    static void KillGroupOnStop(pid_t group);
    static void ForgetGroup(pid_t group);
    // Run on the signal's thread before the program ends (the terminal's echo).
    static void SetRestore(std::function<void()> restore);

  private:
    int wake_ = -1;
    struct Thread;
    Thread* thread_ = nullptr;
};

}  // namespace cli
