#pragma once
#include <QDateTime>

#include <functional>

#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QLineEdit;
class QPushButton;

// "バックアップデータの復元": puts a backup file back in place of the database of
// the organisation logged in. The backup is checked on a copy first — a whole
// database (every page validated), of this organisation, of a level this program
// knows — the user confirms, and the database it replaces is kept as a safety copy
// beside the backup. A database on a server is replaced through the server's own
// services, and only while no other program is attached to it.
class TRestoreForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TRestoreForm(QWidget* parent = nullptr);

    QLabel* Panel1;  // the organisation's name
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* SansyoBtn;  // 参照
    QLineEdit* Edit1;        // the backup file
    QPushButton* BitBtn1;    // 実 行
    QPushButton* BitBtn2;    // 閉じる

  protected:
    void PrepareWindow() override;

  private:
    void SansyoBtnClick();
    void BitBtn1Click();
    // The trimmed file field, checked; raises with the focus in the field.
    QString ValidateInput();
    // Replaces the database by `backup` once checked and confirmed; returns the
    // safety copy of the database it replaced.
    QString Restore(const QString& backup);
    void ConfirmReplacing(const QString& backup);

    QString FdbPath;  // the organisation's database file on this computer
};

// The temporary copy a backup is checked on: w_TSUBAKI.FDB beside the database.
QString RestoreWorkPath(const QString& fdbPath);

// The database string that opens `workPath` the way `registryValue` (the
// organisation's registry entry) opens its database: through the same server when
// the entry begins with "localhost", else by the path alone.
QString WorkDatabaseString(const QString& registryValue, const QString& workPath);

// Opens a copy of `backup` at `workPath` (removed afterwards, whatever happens)
// and checks it as CheckBackup does. Returns the backup's DB_VERSION, empty when
// it has none.
QString CheckBackupOwner(const QString& backup, const QString& workPath, const QString& databaseString,
                         const QString& dantai);

// A copy of the chosen backup at `workPath`, removed when the object goes (a
// backup chosen under the work file's own name is used where it lies and kept).
class TWorkCopy {
  public:
    TWorkCopy(const QString& backup, const QString& workPath);
    ~TWorkCopy();
    TWorkCopy(const TWorkCopy&) = delete;
    TWorkCopy& operator=(const TWorkCopy&) = delete;

  private:
    QString removed_;
};

// Refuses a backup that cannot take the database's place: the copy opened as
// `workDatabase` (a file on this computer, possibly through a server here) must
// pass a validation of every page and record, hold the control row of organisation
// `dantai`, and be of a level this program knows.
// Messages name `backup`, the file the user chose. Returns its DB_VERSION.
QString CheckBackup(const QString& backup, const QString& workDatabase, const QString& dantai);

// For a database on a server: refuses while other programs are attached to it,
// naming how many and the computers the server reports.
void RefuseWhileOthersAttached(const QString& databaseString);

// Where the database is kept before a restore replaces it: in `folder`, named
// after the organisation and the time (a later second when that name is taken).
QString SafetyCopyPath(const QString& folder, const QString& dantai, const QDateTime& at);

// Copies the database (`databaseString`; `fdbPath` its file) to `target`: a file
// copy for a database this program opens itself, through the server's backup and
// restore services for one on a server. The copy is validated before it takes
// `target`'s name.
void CopyDatabase(const QString& databaseString, const QString& fdbPath, const QString& target);

// Replaces the organisation's database by the checked copy. A database this
// program opens itself is a file: the copy is completed under a temporary name
// before it takes the database's place, so a copy that fails leaves the database
// as it was. A database on a server is replaced through the server's backup and
// restore services, never behind the server's back.
void ReplaceDatabase(const QString& checkedCopy, const QString& databaseString, const QString& fdbPath);
void ReplaceDatabase(const QString& backup, const QString& fdbPath);
