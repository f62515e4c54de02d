#include "cli/WorkFolder.h"

#include "cli/CommandLine.h"
#include "cli/Interruption.h"
#include "core/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

const QString kMark = u".tsubaki-run"_s;

// The start time of process `pid` (field 22 of /proc/<pid>/stat, in clock ticks
// since boot), empty when there is no such process.
QByteArray StartTimeOf(const QString& pid) {
    QFile stat(u"/proc/"_s + pid + u"/stat"_s);
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray text = stat.read(4096);
    // The command name in parentheses may hold blanks: count after its end.
    const qsizetype close = text.lastIndexOf(')');
    if (close < 0)
        return {};
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    return fields.size() > 19 ? fields[19] : QByteArray();  // field 22 is the 20th after the name
}

QByteArray RunMark() {
    const QString self = QString::number(::getpid());
    return self.toUtf8() + ' ' + StartTimeOf(self);
}

}  // namespace

WorkFolder::WorkFolder() : dir_(QDir::tempPath() + u"/tsubaki-XXXXXX"_s) {
    if (!dir_.isValid())
        throw CliError(kExitOutput, u"作業用のフォルダを作れません。\n"_s + dir_.errorString());
    Interruption::RemoveOnStop(dir_.path());
    QFile mark(dir_.filePath(kMark));
    if (mark.open(QIODevice::WriteOnly))
        mark.write(RunMark());
}

WorkFolder::~WorkFolder() {
    Interruption::KeepOnStop(dir_.path());
}

void RemoveStaleWorkFolders() {
    const QDir temp(QDir::tempPath());
    for (const QFileInfo& folder :
         temp.entryInfoList({u"tsubaki-??????"_s}, QDir::Dirs | QDir::NoSymLinks | QDir::Hidden)) {
        if (folder.ownerId() != ::getuid())
            continue;
        QFile mark(folder.filePath() + u'/' + kMark);
        if (!mark.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> run = mark.read(256).trimmed().split(' ');
        mark.close();
        if (run.size() != 2 || run[0].isEmpty())
            continue;
        if (StartTimeOf(QString::fromLatin1(run[0])) == run[1])
            continue;  // still running
        QDir(folder.filePath()).removeRecursively();
    }
}

}  // namespace cli
