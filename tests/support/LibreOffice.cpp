#include "tests/support/LibreOffice.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

QString FindSoffice() {
    return QStandardPaths::findExecutable(QStringLiteral("soffice"));
}

std::vector<QStringList> ParseCsv(const QString& text) {
    std::vector<QStringList> rows(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            rows.back() << field;
            field.clear();
        } else if (c == u'\n') {
            rows.back() << field;
            field.clear();
            rows.emplace_back();
        } else if (c != u'\r') {
            field += c;
        }
    }
    rows.back() << field;
    return rows;
}

std::vector<QStringList> ComputeWithLibreOffice(const QString& soffice, const QString& xlsx,
                                                const QString& scratch) {
    const QString outDir = scratch + QStringLiteral("/csv");
    QDir().mkpath(outDir);
    QProcess convert;
    convert.start(
        soffice,
        {QStringLiteral("--headless"), QStringLiteral("--norestore"),
         QStringLiteral("-env:UserInstallation=") +
             QUrl::fromLocalFile(scratch + QStringLiteral("/profile")).toString(),
         QStringLiteral("--convert-to"),
         QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false"),
         QStringLiteral("--outdir"), outDir, xlsx});
    EXPECT_TRUE(convert.waitForFinished(180000));
    QFile csv(outDir + u'/' + QFileInfo(xlsx).completeBaseName() + QStringLiteral(".csv"));
    EXPECT_TRUE(csv.open(QIODevice::ReadOnly)) << convert.readAllStandardError().toStdString();
    return ParseCsv(QString::fromUtf8(csv.readAll()));
}
