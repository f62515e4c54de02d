#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>

namespace platform {
namespace {

QByteArray LockPath(const QString& name) {
    return QFile::encodeName(RuntimeFolder() + u'/' + name + QStringLiteral(".lock"));
}

// Opens the lock file and takes the lock without waiting; -1 when taken elsewhere.
int TryLock(const QString& name) {
    const int fd = ::open(LockPath(name).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

}  // namespace

QString RuntimeFolder() {
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && QDir(xdg).exists()) return xdg;
    const QString folder = QStringLiteral("/tmp/tsubaki-%1").arg(::getuid());
    ::mkdir(QFile::encodeName(folder).constData(), 0700);
    return folder;
}

InstanceLock::InstanceLock(const QString& name) : fd_(TryLock(name)) {}

InstanceLock::~InstanceLock() {
    if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the lock
}

bool InstanceLock::IsHeldElsewhere(const QString& name) {
    const int fd = ::open(LockPath(name).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;  // no lock file can be made: nothing to guard against
    const bool taken = ::flock(fd, LOCK_EX | LOCK_NB) != 0;
    ::close(fd);
    return taken;
}

}  // namespace platform
