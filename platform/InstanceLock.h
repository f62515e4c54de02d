#pragma once
#include <QString>

namespace platform {

// An exclusive lock on the file <runtime folder>/<name>.lock, held while the object
// lives. It stands for a named mutex: one holder per desktop login.
class InstanceLock {
public:
    explicit InstanceLock(const QString& name);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool Held() const { return fd_ >= 0; }

    // True when another holder has the lock right now.
    static bool IsHeldElsewhere(const QString& name);

private:
    int fd_ = -1;
};

// The folder for per-login runtime files: $XDG_RUNTIME_DIR, else /tmp/tsubaki-<uid>.
QString RuntimeFolder();

}  // namespace platform
