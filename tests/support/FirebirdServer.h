#pragma once
// A Firebird server of the test's own, for what goes through the network as it does
// when several computers share one organisation database: the standard server
// program on a free loopback port, stopped when the object goes.

#include <QProcess>
#include <QString>

class FirebirdServer {
  public:
    // Starts the server; when it cannot, Available() is false and Reason() says why.
    FirebirdServer();
    ~FirebirdServer();
    FirebirdServer(const FirebirdServer&) = delete;
    FirebirdServer& operator=(const FirebirdServer&) = delete;

    bool Available() const { return reason_.isEmpty(); }
    const QString& Reason() const { return reason_; }
    // The database string that reaches `path` through this server.
    QString DatabaseString(const QString& path) const;

  private:
    QProcess server_;
    int port_ = 0;
    QString reason_;
};
