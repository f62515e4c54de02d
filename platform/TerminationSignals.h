#pragma once
// SIGTERM, SIGINT and SIGHUP (the session ending, a kill, Ctrl+C in a terminal)
// turned into a call on the event loop, so that the program closes the way it does
// by its own close button: windows closed, the database engine shut down.
//
// Left to themselves the signals either kill the program on the spot or, once the
// database engine has installed its own handlers, shut the engine down under the
// windows and leave the program running with nothing behind it.

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace platform {

// Blocks the signals in the calling thread, which every thread started from it
// inherits. Call first thing in main, before the application object and the
// database engine start threads; the signals then wait for TerminationSignals.
// (Programs started through QProcess, such as the spreadsheet viewer, begin with
// no signal blocked: Qt clears the mask in the child.)
void BlockTerminationSignals();

// Reads the blocked signals from a descriptor watched by the event loop and calls
// `onSignal` there, once per signal received. Needs the application object.
class TerminationSignals : public QObject {
  public:
    explicit TerminationSignals(std::function<void()> onSignal);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

  private:
    void Read();

    std::function<void()> onSignal_;
    int fd_ = -1;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace platform
