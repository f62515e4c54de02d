#pragma once
#include <QString>

namespace platform {

// The folder of the program's own files (Template/, OrgDB/, the list files),
// without a trailing "/": the runnable folder, or share/tsubaki when installed
// (see ProgramFolders.h). Tests point it elsewhere with OverrideProgramFolder.
QString ProgramFolder();
// The folder the program writes its settings file and the schema upgrade's files
// to: beside the program in a writable runnable folder, else
// $XDG_CONFIG_HOME/tsubaki (made when missing).
QString SettingsFolder();
// Test seam: makes ProgramFolder() and SettingsFolder() both return `folder`, as in
// a runnable folder (empty restores the real ones).
void OverrideProgramFolder(const QString& folder);

// The all-users application data folder: the first folder of $XDG_CONFIG_DIRS
// (default /etc/xdg). With `create` set, it is made when missing.
QString CommonAppDataFolder(bool create);

// The user's home folder.
QString HomeFolder();

// The computer's network name, cut to 15 characters.
QString HostName();
// The computer's network name in full: what tells two computers apart when their
// names share the first 15 characters.
QString FullHostName();
// Test seam: makes both host names come from `name` (empty restores the real one),
// so that one test program can act as several computers.
void OverrideHostName(const QString& name);

}  // namespace platform
