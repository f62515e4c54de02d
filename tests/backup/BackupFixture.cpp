#include "tests/backup/BackupFixture.h"

#include <QDir>

QStringList BackupFixture::Entries(const QString& folder) {
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    entries.sort();
    return entries;
}
