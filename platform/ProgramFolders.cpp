#include "platform/ProgramFolders.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace platform {

ProgramFolders DecideProgramFolders(const FolderFacts& facts) {
    if (facts.installedFilesDir.isEmpty() && facts.programDirWritable)
        return {facts.programDir, facts.programDir};
    const QString files = facts.installedFilesDir.isEmpty() ? facts.programDir : facts.installedFilesDir;
    // XDG base directories: an unset, empty or relative $XDG_CONFIG_HOME means $HOME/.config.
    const QString configHome =
        QDir::isAbsolutePath(facts.xdgConfigHome) ? facts.xdgConfigHome : facts.homeDir + QStringLiteral("/.config");
    return {files, QDir::cleanPath(configHome + QStringLiteral("/tsubaki"))};
}

FolderFacts GatherFolderFacts(const QString& programDir) {
    FolderFacts facts;
    facts.programDir = programDir;
    // access() answers for this user, root and read-only mounts included.
    facts.programDirWritable = ::access(QFile::encodeName(facts.programDir).constData(), W_OK) == 0;
    const QString installed =
        QDir::cleanPath(facts.programDir + u'/' + QStringLiteral(TSUBAKI_BIN_TO_FILES));
    if (QFileInfo(installed).isDir())
        facts.installedFilesDir = installed;
    facts.xdgConfigHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    facts.homeDir = QDir::homePath();
    return facts;
}

QString RunningProgramDir() {
    // /proc/self/exe works before (and without) a QCoreApplication.
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

QString FoldersReport() {
    const ProgramFolders folders = DecideProgramFolders(GatherFolderFacts(RunningProgramDir()));
    return QStringLiteral("files=") + folders.files + QStringLiteral("\nsettings=") + folders.settings + u'\n';
}

}  // namespace platform
