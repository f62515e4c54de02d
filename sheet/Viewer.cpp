#include "sheet/Viewer.h"

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "sheet/Workbook.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>

#include <exception>

namespace sheet {
namespace {

EAppError StartFailed(const QString& detail) {
    return EAppError(ViewerStartFailedText() + QStringLiteral("\r\n\r\n") + detail);
}

// Where the book is, for a user whose viewer did not show it.
QString SavedAtText(const QString& file) {
    return QStringLiteral("帳票は［") + QDir::toNativeSeparators(file) + QStringLiteral("］に保存しました。");
}

// The last lines a viewer wrote about its failure, at most a few hundred characters.
QString TailOf(QFile& log) {
    if (!log.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = log.size();
    log.seek(std::max<qint64>(0, size - 600));
    return QString::fromUtf8(log.readAll()).trimmed().right(400);
}

// A viewer that gave up may leave its lock file (LibreOffice's ".~lock.<name>#")
// beside the book; nothing holds the book any more.
void RemoveLockFiles(const QString& file) {
    const QFileInfo book(file);
    QFile::remove(book.dir().filePath(QStringLiteral(".~lock.") + book.fileName() + u'#'));
}

const QString kAutomatic = QStringLiteral("xdg-open");

// Whether the desktop names a program for .xlsx files (xdg-mime's answer is a
// .desktop file); without one xdg-open falls back to a web browser.
bool DesktopHasSpreadsheetProgram() {
    const QString xdgMime = QStandardPaths::findExecutable(QStringLiteral("xdg-mime"));
    if (xdgMime.isEmpty())
        return false;
    QProcess query;
    query.setStandardErrorFile(QProcess::nullDevice());
    query.start(xdgMime,
                {QStringLiteral("query"), QStringLiteral("default"),
                 QStringLiteral("application/vnd.openxmlformats-officedocument.spreadsheetml.sheet")});
    if (!query.waitForFinished(5000)) {
        query.kill();
        query.waitForFinished();
        return false;
    }
    return query.exitStatus() == QProcess::NormalExit && query.exitCode() == 0 &&
           query.readAllStandardOutput().trimmed().endsWith(".desktop");
}

}  // namespace

QStringList AutomaticViewerCommand() {
    if (!QStandardPaths::findExecutable(kAutomatic).isEmpty() && DesktopHasSpreadsheetProgram())
        return {kAutomatic};
    for (const QString& office :
         {QStringLiteral("libreoffice"), QStringLiteral("localc"), QStringLiteral("soffice")})
        if (!QStandardPaths::findExecutable(office).isEmpty())
            return {office};
    return {};
}

QString ViewerStartFailedText() {
    return QStringLiteral("Excelの起動を失敗しました。");
}

QString SafeFileNamePart(const QString& text, int maxBytes) {
    static const QString refused = QStringLiteral("/\\:*?\"<>|");
    QString safe;
    safe.reserve(text.size());
    for (QChar c : text)
        safe.append(refused.contains(c) || c.unicode() < 0x20 || c.unicode() == 0x7f ? u'_' : c);
    safe = safe.trimmed();
    // A leading dot would hide the file (and ".." names the parent folder).
    while (safe.startsWith(u'.'))
        safe.remove(0, 1);
    // Cut between characters so that the name stays within the file system's limit.
    while (safe.toUtf8().size() > maxBytes) {
        safe.chop(safe.size() >= 2 && safe.back().isLowSurrogate() ? 2 : 1);
    }
    return safe.trimmed();
}

QString ReportFileName(const QString& templateName, const QString& dantai, int nendo, const QDateTime& stamp,
                       const QString& note) {
    QStringList parts;
    const QString name = SafeFileNamePart(templateName);
    parts << (name.isEmpty() ? QStringLiteral("Book") : name);
    if (const QString safe = SafeFileNamePart(note); !safe.isEmpty())
        parts << safe;
    if (const QString organisation = SafeFileNamePart(dantai); !organisation.isEmpty())
        parts << organisation;
    if (nendo != 0)
        parts << QString::number(nendo);
    parts << stamp.toString(QStringLiteral("yyyyMMddhhmmss"));
    return parts.join(u'_') + QStringLiteral(".xlsx");
}

Viewer::Viewer(QString outputFolder, QString command)
    : outputFolder_(std::move(outputFolder)), command_(QProcess::splitCommand(command)) {}

Viewer Viewer::FromSettings() {
    return Viewer(ReadReportOutputFolder(), ReadReportViewer());
}

void Viewer::Prepare() {
    program_.clear();
    if (command_ == QStringList{kAutomatic} || automatic_) {
        automatic_ = true;
        command_ = AutomaticViewerCommand();
    }
    if (!command_.isEmpty()) {
        const QString& name = command_.first();
        if (name.contains(u'/')) {
            const QFileInfo file(name);
            if (file.isFile() && file.isExecutable())
                program_ = file.absoluteFilePath();
        } else {
            program_ = QStandardPaths::findExecutable(name);
        }
        if (program_.isEmpty())
            throw StartFailed(QStringLiteral("表示プログラム「%1」が見つかりません。").arg(name));
    }
    if (outputFolder_.isEmpty() || !QDir().mkpath(outputFolder_)) {
        throw StartFailed(QStringLiteral("帳票の保存フォルダ「%1」を作成できません。")
                              .arg(QDir::toNativeSeparators(outputFolder_)));
    }
}

QString Viewer::Save(Workbook& book, const QString& dantai, int nendo, const QDateTime& stamp,
                     const QString& note) {
    const QString fileName =
        ReportFileName(QFileInfo(book.SourcePath()).completeBaseName(), dantai, nendo, stamp, note);
    const QDir folder(outputFolder_);
    QString path = folder.filePath(fileName);
    // Two books of one template within a second must not overwrite each other.
    for (int n = 2; QFileInfo::exists(path); ++n) {
        path = folder.filePath(QFileInfo(fileName).completeBaseName() + QStringLiteral("_%1.xlsx").arg(n));
    }
    book.SaveAs(path);
    return path;
}

void Viewer::Show(const QStringList& files) const {
    if (files.isEmpty())
        return;
    if (automatic_ && command_.isEmpty()) {
        QStringList where;
        for (const QString& file : files)
            where << SavedAtText(file);
        Dialogs().ShowSavedFile(
            where.join(QStringLiteral("\r\n")) +
                QStringLiteral("\r\n\r\n表計算ソフト(LibreOffice Calc など)が見つからないため、"
                               "帳票を開いていません。"),
            QFileInfo(files.front()).absolutePath());
        return;
    }
    for (const QString& file : files)
        Start(file);
}

void Viewer::Start(const QString& file) const {
    if (command_.isEmpty())
        return;
    // The viewer's errors go to a file rather than a pipe: a viewer that outlives
    // the program must not die writing to a closed pipe.
    auto errors = std::make_shared<QTemporaryFile>(QDir::temp().filePath(QStringLiteral("tsubaki-viewer-XXXXXX.log")));
    const bool logged = errors->open();
    if (logged)
        errors->close();
    // Not parented: the viewer keeps running when the program ends, and the
    // process object is deleted once the viewer has finished.
    auto* process = new QProcess;
    process->setProgram(program_);
    process->setArguments(command_.mid(1) << file);
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(logged ? errors->fileName() : QProcess::nullDevice());
    const QString viewer = command_.first();
    QObject::connect(process, &QProcess::finished, process,
                     [process, errors, file, viewer](int exitCode, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status == QProcess::NormalExit && exitCode == 0)
                             return;
                         RemoveLockFiles(file);
                         QString detail = QStringLiteral("表示プログラム「%1」が帳票を開けませんでした").arg(viewer) +
                                          (status == QProcess::NormalExit
                                               ? QStringLiteral("(終了コード %1)。").arg(exitCode)
                                               : QStringLiteral("(異常終了)。"));
                         if (const QString said = TailOf(*errors); !said.isEmpty())
                             detail += QStringLiteral("\r\n") + said;
                         HandleException(std::make_exception_ptr(
                             StartFailed(detail + QStringLiteral("\r\n\r\n") + SavedAtText(file))));
                     });
    process->start();
    if (!process->waitForStarted()) {
        delete process;
        throw StartFailed(QStringLiteral("表示プログラム「%1」を起動できません。").arg(viewer) +
                          QStringLiteral("\r\n\r\n") + SavedAtText(file));
    }
}

}  // namespace sheet
