#pragma once
// Path, file and folder helpers. "/" is the separator; there are no drive letters,
// so the root "/" is the only folder that keeps its trailing separator.
// "Read-only" means: no write permission for the owner.

#include <QString>
#include <QStringList>

// Trims spaces and control characters at both ends and appends "/" to a non-empty
// path that does not end in one. "" stays "".
QString AddBackslash(const QString& path);

// AddBackslash, then the folder without its trailing "/" (the root keeps it).
QString FolderOfPath(const QString& path);

// The folder that holds the file `path` names, without a trailing "/" ("/" for a
// file in the root, "" for a bare file name).
QString ExtractFileDir(const QString& path);

// Copies `source` to `target`. With `mayOverwrite` false an existing target is
// refused ("コピー先フォルダーに［name］が存在します。ファイルコピーを中止しました。").
// The copy is written to a temporary file beside the target and renamed over it,
// so a failed copy leaves an existing target as it was; it takes the source's
// permissions and modification time. A failure raises "ファイル［name］のコピー中に
// エラー(errno)が発生しました。". With `clearReadOnly` a read-only copy is given
// owner write permission.
void FileCopy(const QString& source, const QString& target, bool mayOverwrite, bool clearReadOnly);

// Which entries ListFolderEntries collects. A symbolic link to a folder counts as a
// folder but is never descended into.
enum class EntryMask { All, Folders, Files };

// The entries of `folder` ("." and ".." excepted) as AddBackslash(folder) + name, in
// the order the file system returns them; with `recursive`, followed by those of
// each sub-folder in turn. A missing folder gives an empty list.
QStringList ListFolderEntries(const QString& folder, EntryMask mask, bool recursive);

// Removes `folder` with everything in it, read-only entries included, deepest first.
// Entries that cannot be removed stay, silently; a missing folder is no error.
// Symbolic links are removed, never followed, and the root "/" is never touched.
void DeleteFolderTree(const QString& folder);
