#include "cli/OutputFile.h"

#include "cli/CommandLine.h"
#include "cli/GroupProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUrl>

using namespace Qt::Literals::StringLiterals;

namespace cli {

QString FindLibreOffice() {
    for (const QString& name : {u"soffice"_s, u"libreoffice"_s})
        if (const QString found = QStandardPaths::findExecutable(name); !found.isEmpty())
            return found;
    return {};
}

QString NoLibreOfficeText() {
    return u"PDF を作るには LibreOffice が必要ですが、見つかりません。\n"
           u"LibreOffice Calc を入れてください (例: sudo apt install libreoffice-calc-nogui)。\n"
           u".xlsx を指定すればブックのまま書き出せます。"_s;
}

QString ConvertToPdf(const QString& soffice, const QString& xlsx, const QString& folder) {
    const QString outDir = folder + u"/pdf"_s;
    QDir().mkpath(outDir);
    const QString log = folder + u"/convert.log"_s;
    // A profile of its own: LibreOffice refuses to start beside another copy that
    // holds the user's profile (a spreadsheet the treasurer has open).
    const GroupProcessResult result =
        RunInOwnGroup(soffice,
                      {u"--headless"_s, u"--norestore"_s, u"--nolockcheck"_s,
                       u"-env:UserInstallation="_s + QUrl::fromLocalFile(folder + u"/profile"_s).toString(),
                       u"--convert-to"_s, u"pdf"_s, u"--outdir"_s, outDir, xlsx},
                      log, 600000);
    const QString pdf = outDir + u'/' + QFileInfo(xlsx).completeBaseName() + u".pdf"_s;
    if (!result.finished)
        throw CliError(kExitOutput, u"LibreOffice の PDF 変換が終わりません。"_s);
    if (result.exitCode == 127)
        throw CliError(kExitOutput, u"LibreOffice (%1) を起動できません。"_s.arg(soffice));
    if (result.exitCode != 0 || !QFileInfo(pdf).isFile() || QFileInfo(pdf).size() == 0) {
        QFile output(log);
        const QByteArray said = output.open(QIODevice::ReadOnly) ? output.read(4096) : QByteArray();
        throw CliError(kExitOutput, u"LibreOffice で PDF に変換できませんでした。\n"_s +
                                        QString::fromLocal8Bit(said).trimmed());
    }
    return pdf;
}

void PlaceFile(const QString& source, const QString& target) {
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly))
        throw CliError(kExitOutput, u"ファイル「%1」を読めません。\n%2"_s.arg(source, in.errorString()));
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly))
        throw CliError(kExitOutput, u"ファイル「%1」に書き出せません。\n%2"_s.arg(target, out.errorString()));
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(1 << 20);
        if (out.write(chunk) != chunk.size())
            throw CliError(kExitOutput,
                           u"ファイル「%1」に書き出せません。\n%2"_s.arg(target, out.errorString()));
    }
    if (!out.commit())
        throw CliError(kExitOutput, u"ファイル「%1」に書き出せません。\n%2"_s.arg(target, out.errorString()));
}

}  // namespace cli
