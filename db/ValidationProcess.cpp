#include "db/ValidationProcess.h"

#include "db/DatabaseServices.h"
#include "db/Error.h"
#include "platform/Utf8CharacterType.h"

#include <sys/prctl.h>
#include <unistd.h>

#include <QFile>
#include <QProcess>

#include <clocale>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace db {

namespace {

const char kOption[] = "--validate-database";
// The validating process's exit statuses; any other ending is a crash.
constexpr int kValidated = 0;     // the findings on its output, none when whole
constexpr int kNotReadable = 41;  // the engine's text on its output
// A validation reads every page once: minutes for the largest books. One that
// runs far longer is stuck on a page it cannot make sense of.
constexpr int kLongestMs = 10 * 60 * 1000;

[[noreturn]] void Answer(int status, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stdout);
    std::fflush(stdout);
    // Without the exit handlers: the engine's own shutdown would wait for what a
    // failed validation leaves attached, and nothing else is worth tidying here.
    std::_Exit(status);
}

}  // namespace

void ServeValidationRequest(int argc, char* argv[]) {
    if (argc != 4 || std::strcmp(argv[1], kOption) != 0)
        return;
    // A validation nobody waits for is of no use: it ends with the program that
    // asked for it, however that ends (checked after asking, in case it already has).
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != static_cast<pid_t>(std::strtol(argv[2], nullptr, 10)))
        std::_Exit(kNotReadable);
    // Ctrl+C in a terminal reaches the whole process group: the program decides.
    std::signal(SIGINT, SIG_IGN);
    std::signal(SIGHUP, SIG_IGN);
    // The engine turns the file name into the locale's characters; the program's
    // application object would have taken the locale from the environment.
    platform::EnsureUtf8CharacterType();
    std::setlocale(LC_ALL, "");
    try {
        Answer(kValidated, ValidationFindingsInThisProcess(QFile::decodeName(argv[3])));
    } catch (const std::exception& e) {
        const auto* error = dynamic_cast<const EAppError*>(&e);
        Answer(kNotReadable, error ? error->Message() : QString::fromLocal8Bit(e.what()));
    }
}

QString ValidationFindingsInOwnProcess(const QString& path) {
    QProcess child;
    // The running program's own executable, even when its file was replaced since.
    child.setProgram(QStringLiteral("/proc/self/exe"));
    child.setArguments({QString::fromLatin1(kOption), QString::number(::getpid()), path});
    // What a crashing engine prints is of no use to the user.
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start();
    if (!child.waitForStarted(-1))
        throw Error(QStringLiteral("データベースを検査する処理を開始できませんでした。\r\n") +
                    child.errorString());
    if (!child.waitForFinished(kLongestMs)) {
        child.kill();
        child.waitForFinished(-1);
        throw Error(QStringLiteral("データベースの検査が%1分たっても終わらないため、中止しました。")
                        .arg(kLongestMs / 60000));
    }
    const QString output = QString::fromUtf8(child.readAllStandardOutput());
    if (child.exitStatus() == QProcess::NormalExit) {
        if (child.exitCode() == kValidated)
            return output;
        if (child.exitCode() == kNotReadable)
            throw Error(output);
    }
    throw Error(QStringLiteral(
        "データベースの検査中に検査の処理が異常終了しました。ファイルが壊れている可能性があります。"));
}

}  // namespace db
