#pragma once
// The temporary folder of one command run ($TMPDIR/tsubaki-XXXXXX): the workbook
// and the converter's profile and output. It goes with the object, or with the
// run when a signal stops it; a run killed outright leaves it behind, marked with
// the run's process, and the next run removes it (RemoveStaleWorkFolders).

#include <QString>
#include <QTemporaryDir>

namespace cli {

class WorkFolder {
  public:
    // CliError (kExitOutput) when the folder cannot be made.
    WorkFolder();
    ~WorkFolder();
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QString Path() const { return dir_.path(); }
    QString File(const QString& name) const { return dir_.filePath(name); }

  private:
    QTemporaryDir dir_;
};

// Removes the work folders of this user's runs whose process has ended (by its
// number and its start time, so a number used again does not keep one alive).
// Folders without the mark are not the program's and stay.
void RemoveStaleWorkFolders();

}  // namespace cli
