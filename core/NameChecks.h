#pragma once
// Checks of file, folder and organisation names, and the drive checks.
//
// Paths are POSIX paths: "/" separates folders and a well-formed folder is an
// absolute path. There are no drive letters, so the drive checks never find a
// ready drive and HasDriveOrUNC asks for an absolute path.

#include <QChar>
#include <QString>

// Whether `path` is a well-formed file path. The folder part (up to the last
// "/") may hold "." only when `dotsInFolder` is set; "*" and "?" are accepted
// in the file name only when `wildcards` is set.
bool IsValidFileName(const QString& path, bool wildcards, bool dotsInFolder);
// Whether `name` is one plain file name: no folder part ("/", "\\"), not "." or
// "..", none of the characters file systems elsewhere refuse, no control
// characters or blanks at either end, short enough for a file name.
bool IsPlainFileName(const QString& name);
// Whether `folder` is a well-formed folder path.
bool IsValidFolderName(const QString& folder, bool dotsInFolder);
// Whether the trimmed path is absolute (the place of a drive or network prefix).
bool HasDriveOrUNC(const QString& path);
// The total size of drive `letter`. Throws EAppError for a character that is no
// drive letter, EDriveNotReady for a letter (this platform has no drive letters).
qint64 CheckDrive(QChar letter);
// CheckDrive without the not-ready error: false for every letter.
bool IsDriveReady(QChar letter);

// Whether an organisation name (already trimmed) can be both one folder name and
// one key of the settings file.
bool IsValidDantaiName(const QString& name);
