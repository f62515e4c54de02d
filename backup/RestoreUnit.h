#pragma once
#include <functional>

#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QLineEdit;
class QPushButton;

// "バックアップデータの復元": puts a backup file back in place of the database of
// the organisation logged in, after checking on a copy that the backup is that
// organisation's. A restored database newer than the program ends the program.
class TRestoreForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TRestoreForm(QWidget* parent = nullptr);

    // What ends the program after a newer database was restored (the menu closes
    // itself, and the login window with it). Called after this window has closed.
    void SetOnEndProgram(std::function<void()> endProgram) { OnEndProgram = std::move(endProgram); }

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
    // Replaces the database by `backup`; returns the backup's DB_VERSION.
    QString Restore(const QString& backup);

    QString FdbPath;  // the organisation's database file on this computer
    std::function<void()> OnEndProgram;
};

// The temporary copy a backup is checked on: w_TSUBAKI.FDB beside the database.
QString RestoreWorkPath(const QString& fdbPath);

// The database string that opens `workPath` the way `registryValue` (the
// organisation's registry entry) opens its database: through the same server when
// the entry begins with "localhost", else by the path alone.
QString WorkDatabaseString(const QString& registryValue, const QString& workPath);

// Opens a copy of `backup` at `workPath` (removed afterwards, whatever happens)
// and checks that its control row names organisation `dantai`. Returns the
// backup's DB_VERSION, empty when it has none.
QString CheckBackupOwner(const QString& backup, const QString& workPath, const QString& databaseString,
                         const QString& dantai);

// Replaces the organisation's database by the backup. The copy is completed under
// a temporary name before it takes the database's place, so a copy that fails
// leaves the database as it was.
void ReplaceDatabase(const QString& backup, const QString& fdbPath);
