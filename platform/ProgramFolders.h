#pragma once
// Where this copy of the program reads its own files and where it writes.
//
// A runnable folder (the build's app/, or a copy of it) holds the program, its
// templates, databases and list files, and, while it can be written, the settings
// file beside them. An installed program (<prefix>/bin/tsubaki beside
// <prefix>/share/tsubaki) reads its files from share/tsubaki and keeps its settings
// in $XDG_CONFIG_HOME/tsubaki, so that nothing is ever written under the prefix,
// not even when root runs it.

#include <QString>

namespace platform {

// What the decision rests on, gathered from the running program and its environment.
struct FolderFacts {
    QString programDir;         // folder of the running executable
    bool programDirWritable = false;
    QString installedFilesDir;  // <programDir>/../share/tsubaki when that folder exists, else empty
    QString xdgConfigHome;      // $XDG_CONFIG_HOME as set: possibly empty, or (wrongly) relative
    QString homeDir;
};

struct ProgramFolders {
    QString files;     // Template/, OrgDB/, the list files; only read
    QString settings;  // Tsubaki.ini, the schema upgrade's safety copies and logs
};

// The one place that decides the folders; ProgramFolder() and SettingsFolder() ask it.
ProgramFolders DecideProgramFolders(const FolderFacts& facts);

// The facts for a program in `programDir`, from the file system and the environment.
FolderFacts GatherFolderFacts(const QString& programDir);
// The folder of the running executable.
QString RunningProgramDir();

// "files=<folder>\nsettings=<folder>\n" as decided for this process: what
// `tsubaki --folders` prints for whoever installs or supports the program.
QString FoldersReport();

}  // namespace platform
