#include "cli/Interruption.h"

#include "platform/TerminationSignals.h"

#include <QDir>
#include <QStringList>

#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace cli {

namespace {

struct StopState {
    std::mutex mutex;
    QStringList folders;
    std::vector<pid_t> groups;
    std::function<void()> restore;
};

StopState& State() {
    static StopState state;
    return state;
}

[[noreturn]] void Stop(int signal) {
    StopState& state = State();
    std::lock_guard lock(state.mutex);
    for (const pid_t group : state.groups)
        ::kill(-group, SIGKILL);
    if (state.restore)
        state.restore();
    for (const QString& folder : state.folders)
        QDir(folder).removeRecursively();
    // No destructors, no engine shutdown: another thread is in the middle of its
    // work, and the engine treats the open transaction as a killed run's.
    ::_exit(InterruptedStatus(signal));
}

}  // namespace

int InterruptedStatus(int signal) {
    return 128 + signal;
}

struct Interruption::Thread {
    std::thread thread;
};

Interruption::Interruption() {
    platform::BlockTerminationSignals();
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGHUP);
    const int signalFd = ::signalfd(-1, &set, SFD_CLOEXEC);
    wake_ = ::eventfd(0, EFD_CLOEXEC);
    if (signalFd < 0 || wake_ < 0) {
        if (signalFd >= 0)
            ::close(signalFd);
        return;  // the signalFd stay blocked: the run ends as it would have
    }
    thread_ = new Thread;
    thread_->thread = std::thread([signalFd, wake = wake_] {
        pollfd fds[] = {{signalFd, POLLIN, 0}, {wake, POLLIN, 0}};
        for (;;) {
            if (::poll(fds, 2, -1) < 0)
                continue;
            if (fds[1].revents & POLLIN)
                break;
            signalfd_siginfo info{};
            if ((fds[0].revents & POLLIN) &&
                ::read(signalFd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
                Stop(static_cast<int>(info.ssi_signo));
        }
        ::close(signalFd);
    });
}

Interruption::~Interruption() {
    if (thread_) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const ssize_t written = ::write(wake_, &one, sizeof one);
        thread_->thread.join();
        delete thread_;
    }
    if (wake_ >= 0)
        ::close(wake_);
}

void Interruption::RemoveOnStop(const QString& folder) {
    std::lock_guard lock(State().mutex);
    State().folders << folder;
}

void Interruption::KeepOnStop(const QString& folder) {
    std::lock_guard lock(State().mutex);
    State().folders.removeAll(folder);
}

void Interruption::KillGroupOnStop(pid_t group) {
    std::lock_guard lock(State().mutex);
    State().groups.push_back(group);
}

void Interruption::ForgetGroup(pid_t group) {
    std::lock_guard lock(State().mutex);
    std::erase(State().groups, group);
}

void Interruption::SetRestore(std::function<void()> restore) {
    std::lock_guard lock(State().mutex);
    State().restore = std::move(restore);
}

}  // namespace cli
