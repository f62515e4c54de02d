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

namespace {

const QString kCsvFilter = QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false");

// Runs the converter once over `xlsx` into a fresh folder under `scratch`; returns it.
QString ConvertToCsv(const QString& soffice, const QStringList& xlsx, const QString& scratch, bool allSheets) {
    static int run = 0;
    const QString outDir = scratch + QStringLiteral("/csv%1").arg(++run);
    QDir().mkpath(outDir);
    QStringList args{QStringLiteral("--headless"), QStringLiteral("--norestore"),
                     QStringLiteral("-env:UserInstallation=") +
                         QUrl::fromLocalFile(scratch + QStringLiteral("/profile")).toString(),
                     QStringLiteral("--convert-to"), allSheets ? kCsvFilter + QStringLiteral(",-1") : kCsvFilter,
                     QStringLiteral("--outdir"), outDir};
    args << xlsx;
    QProcess convert;
    convert.start(soffice, args);
    EXPECT_TRUE(convert.waitForFinished(600000));
    return outDir;
}

std::vector<QStringList> ReadCsvFile(const QString& path) {
    QFile csv(path);
    EXPECT_TRUE(csv.open(QIODevice::ReadOnly)) << path.toStdString();
    return ParseCsv(QString::fromUtf8(csv.readAll()));
}

}  // namespace

std::vector<std::vector<QStringList>> ComputeBooksWithLibreOffice(const QString& soffice, const QStringList& xlsx,
                                                                  const QString& scratch) {
    const QString outDir = ConvertToCsv(soffice, xlsx, scratch, false);
    std::vector<std::vector<QStringList>> books;
    for (const QString& file : xlsx)
        books.push_back(ReadCsvFile(outDir + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".csv")));
    return books;
}

std::vector<std::map<QString, std::vector<QStringList>>> ComputeSheetsWithLibreOffice(const QString& soffice,
                                                                                     const QStringList& xlsx,
                                                                                     const QString& scratch) {
    const QString outDir = ConvertToCsv(soffice, xlsx, scratch, true);
    std::vector<std::map<QString, std::vector<QStringList>>> books;
    const QStringList written = QDir(outDir).entryList({QStringLiteral("*.csv")}, QDir::Files);
    for (const QString& file : xlsx) {
        // One file per sheet: <book>-<sheet>.csv.
        const QString prefix = QFileInfo(file).completeBaseName() + u'-';
        std::map<QString, std::vector<QStringList>> sheets;
        for (const QString& name : written)
            if (name.startsWith(prefix))
                sheets[name.mid(prefix.size()).chopped(4)] = ReadCsvFile(outDir + u'/' + name);
        EXPECT_FALSE(sheets.empty()) << file.toStdString();
        books.push_back(std::move(sheets));
    }
    return books;
}

QStringList ConvertBooksToPdf(const QString& soffice, const QStringList& xlsx, const QString& scratch) {
    static int run = 0;
    const QString outDir = scratch + QStringLiteral("/pdf%1").arg(++run);
    QDir().mkpath(outDir);
    QStringList args{QStringLiteral("--headless"),
                     QStringLiteral("--norestore"),
                     QStringLiteral("-env:UserInstallation=") +
                         QUrl::fromLocalFile(scratch + QStringLiteral("/profile")).toString(),
                     QStringLiteral("--convert-to"),
                     QStringLiteral("pdf"),
                     QStringLiteral("--outdir"),
                     outDir};
    args << xlsx;
    QProcess convert;
    convert.start(soffice, args);
    EXPECT_TRUE(convert.waitForFinished(600000));
    QStringList pdfs;
    for (const QString& file : xlsx) {
        const QString pdf = outDir + u'/' + QFileInfo(file).completeBaseName() + QStringLiteral(".pdf");
        EXPECT_TRUE(QFileInfo(pdf).size() > 0)
            << pdf.toStdString() << convert.readAllStandardError().toStdString();
        pdfs << pdf;
    }
    return pdfs;
}

QString PdfText(const QString& pdf) {
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (tool.isEmpty())
        return {};
    QProcess extract;
    extract.start(tool, {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    EXPECT_TRUE(extract.waitForFinished(60000));
    return QString::fromUtf8(extract.readAllStandardOutput());
}
