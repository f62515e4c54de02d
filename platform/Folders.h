#pragma once
#include <QString>

namespace platform {

// The folder of the running program, without a trailing "/". Tests point it
// elsewhere with OverrideProgramFolder.
QString ProgramFolder();
// Test seam: makes ProgramFolder() return `folder` (empty restores the real one).
void OverrideProgramFolder(const QString& folder);

// The all-users application data folder: the first folder of $XDG_CONFIG_DIRS
// (default /etc/xdg). With `create` set, it is made when missing.
QString CommonAppDataFolder(bool create);

// The user's home folder.
QString HomeFolder();

// The computer's network name, cut to 15 characters.
QString HostName();

}  // namespace platform
