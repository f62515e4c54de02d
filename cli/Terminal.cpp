#include "cli/Terminal.h"

#include "cli/Interruption.h"

#include <cstdio>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace cli {

void PrintError(const QString& text) {
    QString message = text;
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QByteArray bytes = (QStringLiteral("tsubaki: ") + message + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stderr);
    std::fflush(stderr);
}

std::optional<QString> AskPassword(const QString& prompt) {
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return std::nullopt;
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{tty};
    termios saved{};
    if (::tcgetattr(tty, &saved) != 0)
        return std::nullopt;
    const QByteArray question = prompt.toUtf8();
    if (::write(tty, question.constData(), static_cast<std::size_t>(question.size())) < 0)
        return std::nullopt;
    termios silent = saved;
    silent.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    silent.c_lflag |= ECHONL;
    ::tcsetattr(tty, TCSAFLUSH, &silent);
    // The terminal's echo comes back whatever ends the reading, Ctrl+C too.
    Interruption::SetRestore([tty, saved] { ::tcsetattr(tty, TCSAFLUSH, &saved); });
    struct Restore {
        int fd;
        const termios& t;
        ~Restore() {
            Interruption::SetRestore({});
            ::tcsetattr(fd, TCSAFLUSH, &t);
        }
    } restore{tty, saved};
    QByteArray typed;
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n')
        typed.append(c);
    return QString::fromUtf8(typed);
}

void TerminalDialogs::ShowMessage(const QString& text) {
    PrintError(text);
    told_ = true;
}

ModalResult TerminalDialogs::MessageDlg(const QString& text, MsgDlgType, MsgDlgButtons buttons,
                                        std::optional<MsgDlgBtn>) {
    PrintError(text);
    told_ = true;
    if (buttons & mbAbort)
        return ModalResult::Abort;
    return DismissalAnswer(buttons);
}

void TerminalDialogs::ErrorBox(const QString& text) {
    PrintError(text);
    told_ = true;
}

}  // namespace cli
