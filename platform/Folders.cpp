#include "platform/Folders.h"

#include "platform/ProgramFolders.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <climits>

namespace platform {
namespace {
QString programFolderOverride;
QString hostNameOverride;
}

QString ProgramFolder() {
    if (!programFolderOverride.isEmpty()) return programFolderOverride;
    return DecideProgramFolders(GatherFolderFacts(RunningProgramDir())).files;
}

QString SettingsFolder() {
    if (!programFolderOverride.isEmpty()) return programFolderOverride;
    const QString folder = DecideProgramFolders(GatherFolderFacts(RunningProgramDir())).settings;
    QDir().mkpath(folder);
    return folder;
}

void OverrideProgramFolder(const QString& folder) { programFolderOverride = folder; }

QString CommonAppDataFolder(bool create) {
    QString folder = qEnvironmentVariable("XDG_CONFIG_DIRS").section(u':', 0, 0);
    if (folder.isEmpty()) folder = QStringLiteral("/etc/xdg");
    const int nul = folder.indexOf(QChar(0));
    if (nul >= 0) folder.truncate(nul);
    if (create) QDir().mkpath(folder);
    return folder;
}

QString HomeFolder() { return QDir::homePath(); }

QString FullHostName() {
    if (!hostNameOverride.isEmpty()) return hostNameOverride;
    char buffer[HOST_NAME_MAX + 1] = {};
    if (::gethostname(buffer, sizeof buffer - 1) != 0) return {};
    return QString::fromLocal8Bit(buffer);
}

QString HostName() { return FullHostName().left(15); }

void OverrideHostName(const QString& name) { hostNameOverride = name; }

}  // namespace platform
