#pragma once
// What a report run tells the window that started it: that it is busy (the
// window shows the hourglass) and, in a run of several steps, which step it is
// on (the window may show a progress bar naming it). This library links no
// GUI: the window hands the run an implementation (ui/ReportProgressDialog.h).

#include <QString>

class IReportProgress {
  public:
    virtual ~IReportProgress() = default;
    // The run starts (true) and ends (false); the end is told after a failure too.
    virtual void Busy(bool busy) = 0;
    // Step `done` + 1 of `total` starts: `text` says what it does.
    virtual void Step(const QString& text, int done, int total) = 0;
};
