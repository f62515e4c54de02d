#include "tests/support/ScratchDatabase.h"

#include <QDir>
#include <QFile>

#include <stdexcept>

QString EmptyOrgDbPath() {
    return QString::fromLocal8Bit(qgetenv("TSUBAKI_APP_DIR")) + QStringLiteral("/OrgDB/TSUBAKI.FDB");
}

ScratchDatabase::ScratchDatabase() {
    const QString folder = folder_.File(QStringLiteral("東町会"));
    path_ = folder + QStringLiteral("/TSUBAKI.FDB");
    if (!QDir().mkpath(folder) || !QFile::copy(EmptyOrgDbPath(), path_)) {
        throw std::runtime_error("cannot copy the empty organisation database " +
                                 EmptyOrgDbPath().toStdString());
    }
    QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

QString CopyOfSampleDatabase(const TempFolder& folder) {
    const QString sample =
        QString::fromLocal8Bit(qgetenv("TSUBAKI_APP_DIR")) + QStringLiteral("/OrgDB/SampleDB/TSUBAKI.FDB");
    const QString path = folder.File(QStringLiteral("TSUBAKI.FDB"));
    if (!QFile::copy(sample, path))
        throw std::runtime_error("cannot copy the sample organisation database " + sample.toStdString());
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    return path;
}

void db::PrintTo(const Value& value, std::ostream* os) {
    if (value.IsNull()) {
        *os << "NULL";
    } else if (value.IsText()) {
        *os << '"' << value.AsString().toStdString() << '"';
    } else {
        *os << (value.IsInteger() ? "integer " : "float ") << value.AsString().toStdString();
    }
}
