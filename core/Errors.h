#pragma once
// The program's error kinds. Every action that fails raises one of these; the
// application-wide handler shows it (see ErrorHandler.h).

#include <QByteArray>
#include <QString>
#include <exception>

// An error with a Japanese message for the user.
class EAppError : public std::exception {
public:
    explicit EAppError(QString message) : message_(std::move(message)), utf8_(message_.toUtf8()) {}
    const QString& Message() const noexcept { return message_; }
    const char* what() const noexcept override { return utf8_.constData(); }

private:
    QString message_;
    QByteArray utf8_;
};

// A drive (or storage location) that cannot be used right now.
class EDriveNotReady : public EAppError {
public:
    using EAppError::EAppError;
};

// The silent abort: ends the current user action without any message. It is
// deliberately not an EAppError, so a handler that reports EAppError lets it pass.
class EAbort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The text of any exception as the user should read it.
QString ErrorMessageOf(const std::exception& e);
