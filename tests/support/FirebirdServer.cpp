#include "tests/support/FirebirdServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

const QString kServerProgram = QStringLiteral("/usr/sbin/firebird");
const QString kSecurityDatabase = QStringLiteral("/var/lib/firebird/3.0/system/security3.fdb");

// A loopback TCP socket, closed with the object.
class Socket {
  public:
    Socket() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {}
    ~Socket() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    Socket(const Socket&) = delete;
    Socket& operator=(const Socket&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

sockaddr_in Loopback(int port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return address;
}

// A port nobody listens on now (the system hands out one when asked for port 0).
int FreePort() {
    Socket socket;
    sockaddr_in address = Loopback(0);
    socklen_t length = sizeof address;
    if (socket.fd() < 0 || ::bind(socket.fd(), reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::getsockname(socket.fd(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return 0;
    return ntohs(address.sin_port);
}

bool Accepts(int port) {
    Socket socket;
    const sockaddr_in address = Loopback(port);
    return socket.fd() >= 0 &&
           ::connect(socket.fd(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
}

// The server checks passwords against its security database; the program's
// connections log in as SYSDBA with the program's password.
QString SetAdministratorPassword() {
    QProcess isql;
    isql.start(QStringLiteral("isql-fb"),
               {QStringLiteral("-user"), QStringLiteral("SYSDBA"), kSecurityDatabase});
    if (!isql.waitForStarted(10000))
        return QStringLiteral("isql-fb (firebird3.0-utils) cannot be started");
    isql.write("create or alter user SYSDBA password 'hollyfern' using plugin Srp; commit; exit;\n");
    isql.closeWriteChannel();
    if (!isql.waitForFinished(30000)) {
        isql.kill();
        isql.waitForFinished();
        return QStringLiteral("the server's security database is in use");
    }
    if (isql.exitCode() != 0)
        return QStringLiteral("cannot write the server's security database: ") +
               QString::fromLocal8Bit(isql.readAllStandardError()).trimmed();
    return QString();
}

}  // namespace

FirebirdServer::FirebirdServer() {
    if (!QFileInfo(kServerProgram).isExecutable()) {
        reason_ = QStringLiteral("the Firebird server (firebird3.0-server) is not installed");
        return;
    }
    reason_ = SetAdministratorPassword();
    if (!reason_.isEmpty())
        return;
    port_ = FreePort();
    if (port_ == 0) {
        reason_ = QStringLiteral("no free loopback port");
        return;
    }
    server_.setProcessChannelMode(QProcess::ForwardedChannels);
    server_.start(kServerProgram, {QStringLiteral("-p"), QString::number(port_)});
    if (!server_.waitForStarted(10000)) {
        reason_ = QStringLiteral("the Firebird server does not start");
        return;
    }
    QElapsedTimer waited;
    waited.start();
    while (!Accepts(port_)) {
        if (server_.state() != QProcess::Running || waited.elapsed() > 20000) {
            reason_ = QStringLiteral("the Firebird server does not listen on port ") + QString::number(port_);
            return;
        }
        QThread::msleep(50);
    }
}

FirebirdServer::~FirebirdServer() {
    if (server_.state() == QProcess::NotRunning)
        return;
    server_.terminate();
    if (!server_.waitForFinished(10000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

QString FirebirdServer::DatabaseString(const QString& path) const {
    return QStringLiteral("localhost/") + QString::number(port_) + u':' + path;
}
