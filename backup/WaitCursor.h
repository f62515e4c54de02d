#pragma once
#include <QApplication>

// The busy cursor while a file is copied; the normal one comes back however the
// copy ends.
class TWaitCursor {
  public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};
