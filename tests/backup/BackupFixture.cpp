#include "tests/backup/BackupFixture.h"

#include <QDir>
#include <QtEndian>

#include <gtest/gtest.h>

QStringList BackupFixture::Entries(const QString& folder) {
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    entries.sort();
    return entries;
}

QByteArray BackupFixture::Damaged(QByteArray file, PageDamage damage) {
    // The header page gives the page size; a pointer page is of type 4, with its
    // entry count at byte 24 and its table's id at byte 26 (below 128: a system table).
    constexpr char kPointerPage = 4;
    const qsizetype pageSize = qFromLittleEndian<quint16>(file.constData() + 16);
    for (qsizetype page = pageSize; page + pageSize <= file.size(); page += pageSize) {
        if (file[page] != kPointerPage)
            continue;
        const bool system = qFromLittleEndian<quint16>(file.constData() + page + 26) < 128;
        if (system != (damage == PageDamage::OfASystemTable))
            continue;
        qToLittleEndian<quint16>(60000, file.data() + page + 24);
        return file;
    }
    ADD_FAILURE() << "no pointer page to damage";
    return file;
}
