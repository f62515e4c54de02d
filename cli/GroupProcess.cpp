#include "cli/GroupProcess.h"

#include "cli/Interruption.h"

#include <QElapsedTimer>
#include <QFile>

#include <vector>

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cli {

namespace {

// The guardian, in the forked child. Only calls that are safe between fork and
// exec in a program with threads.
[[noreturn]] void Guard(pid_t command, const char* program, char* const argv[], int log) {
    ::setpgid(0, 0);
    ::prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (::getppid() != command)
        ::_exit(1);  // the command ended before the death signal was asked for
    sigset_t wait;
    sigemptyset(&wait);
    sigaddset(&wait, SIGCHLD);
    sigaddset(&wait, SIGTERM);
    sigaddset(&wait, SIGINT);
    sigaddset(&wait, SIGHUP);
    ::sigprocmask(SIG_BLOCK, &wait, nullptr);

    const pid_t child = ::fork();
    if (child < 0)
        ::_exit(127);
    if (child == 0) {
        sigset_t none;
        sigemptyset(&none);
        ::sigprocmask(SIG_SETMASK, &none, nullptr);
        ::signal(SIGPIPE, SIG_DFL);
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0)
            ::dup2(null, 0);
        ::dup2(log, 1);
        ::dup2(log, 2);
        ::execv(program, argv);
        ::_exit(127);
    }
    for (;;) {
        siginfo_t info{};
        if (::sigwaitinfo(&wait, &info) < 0)
            continue;
        if (info.si_signo == SIGCHLD) {
            int status = 0;
            if (::waitpid(child, &status, WNOHANG) != child)
                continue;
            // Whatever the converter left running goes with it (SIGTERM is
            // blocked here, so the guardian stays to report the status).
            ::kill(-::getpid(), SIGTERM);
            ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
        }
        // The command ended, or asked the group to stop.
        ::kill(-::getpid(), SIGKILL);
        ::_exit(1);
    }
}

}  // namespace

GroupProcessResult RunInOwnGroup(const QString& program, const QStringList& arguments, const QString& logFile,
                                 int timeoutMs) {
    // Everything the child needs is made before the fork.
    const QByteArray path = QFile::encodeName(program);
    std::vector<QByteArray> args{path};
    for (const QString& a : arguments)
        args.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    const int log =
        ::open(QFile::encodeName(logFile).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (log < 0)
        return {true, 127};
    const pid_t self = ::getpid();

    const pid_t guardian = ::fork();
    if (guardian == 0)
        Guard(self, path.constData(), argv.data(), log);
    ::close(log);
    if (guardian < 0)
        return {true, 127};
    // The group is the guardian's own; set here too, so that a signal that comes
    // before the child has done it still finds the group.
    ::setpgid(guardian, guardian);
    Interruption::KillGroupOnStop(guardian);
    struct Forget {
        pid_t group;
        ~Forget() { Interruption::ForgetGroup(group); }
    } forget{guardian};

    QElapsedTimer clock;
    clock.start();
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(guardian, &status, WNOHANG);
        if (done == guardian)
            return {true, WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status)};
        if (done < 0)
            return {true, 127};
        if (clock.elapsed() > timeoutMs) {
            ::kill(-guardian, SIGKILL);
            ::waitpid(guardian, &status, 0);
            return {false, -1};
        }
        ::usleep(20000);
    }
}

}  // namespace cli
