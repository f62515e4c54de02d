// Builds an organisation database file at build time:
//
//   orgdb_build OUTPUT [--from BASE] SCRIPT...
//
// Without --from the database is created empty; with it, BASE is copied. Then each
// SQL script runs in order, one statement at a time, each committed by itself.
// The result is written next to OUTPUT and moved into place only when every
// statement succeeded, so a failed build never leaves a half-made database behind.

#include "core/Errors.h"
#include "db/Connection.h"
#include "db/DatabaseFile.h"
#include "db/Engine.h"
#include "db/SqlScript.h"
#include "db/WorkKeys.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

struct Arguments {
    QString output;
    QString base;
    QStringList scripts;
};

bool ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QStringLiteral("--from") && i + 1 < argc) {
            args.base = QString::fromLocal8Bit(argv[++i]);
        } else if (args.output.isEmpty()) {
            args.output = arg;
        } else {
            args.scripts << arg;
        }
    }
    return !args.output.isEmpty();
}

QString ReadScript(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw EAppError(path + QStringLiteral(": cannot be read"));
    return QString::fromUtf8(file.readAll());
}

void RunScript(db::Connection& connection, const QString& path) {
    for (const QString& statement : db::SplitSqlScript(ReadScript(path))) {
        try {
            connection.Execute(statement);
        } catch (const EAppError& e) {
            throw EAppError(path + QStringLiteral(": ") + e.Message() + QStringLiteral("\n in: ") +
                            statement);
        }
    }
}

void Build(const Arguments& args) {
    const QString part = args.output + QStringLiteral(".part");
    QDir().mkpath(QFileInfo(args.output).absolutePath());
    QFile::remove(part);
    if (args.base.isEmpty()) {
        db::CreateDatabase(part);
    } else if (!QFile::copy(args.base, part)) {
        throw EAppError(args.base + QStringLiteral(": cannot be copied to ") + part);
    }
    try {
        db::Connection connection([&] { return part; });
        const auto use = connection.UseDataset();  // one attachment for the whole build
        for (const QString& script : args.scripts)
            RunScript(connection, script);
        // Line numbers continue above the sample's lines.
        db::RaiseLineNumbers(connection);
    } catch (...) {
        QFile::remove(part);
        throw;
    }
    QFile::remove(args.output);
    if (!QFile::rename(part, args.output))
        throw EAppError(part + QStringLiteral(": cannot be renamed"));
}

}  // namespace

int main(int argc, char** argv) {
    Arguments args;
    if (!ParseArguments(argc, argv, args)) {
        std::fputs("usage: orgdb_build OUTPUT [--from BASE] SCRIPT...\n", stderr);
        return 2;
    }
    int result = 0;
    try {
        Build(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orgdb_build: %s\n", ErrorMessageOf(e).toLocal8Bit().constData());
        result = 1;
    }
    db::ShutdownEngine();
    return result;
}
