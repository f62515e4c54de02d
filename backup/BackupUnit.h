#pragma once
#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QLineEdit;
class QPushButton;

// "データのバックアップ": copies the database file of the organisation logged in
// to a backup file in a folder of the user's choice, and remembers the folder.
class TBackupForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TBackupForm(QWidget* parent = nullptr);

    QLabel* Panel1;  // the organisation's name
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* SansyoBtn;  // 参照
    QLineEdit* Edit1;        // the folder
    QLabel* Label3;
    QLineEdit* Edit2;      // the file name, without ".FDB"
    QPushButton* BitBtn1;  // 実 行
    QPushButton* BitBtn2;  // 閉じる

  protected:
    void PrepareWindow() override;

  private:
    void SansyoBtnClick();
    void BitBtn1Click();
    // Checks the folder (creating it when the user agrees) and fills in a blank
    // file name; returns the folder to copy into.
    QString ValidateInput();

    QString FdbPath;  // the organisation's database file on this computer
};

// Copies the database to `target` and validates the copy (every page and record)
// before it takes the target's place: a copy that is not a whole organisation
// database is removed and reported, and an existing target stays as it was. A
// database this program opens itself (`databaseString` a plain path) is copied as
// the file `fdbPath`; one on a server is copied by the server's backup and restore
// services, never by reading the file it holds open.
void MakeBackupFile(const QString& databaseString, const QString& fdbPath, const QString& target);
void MakeBackupFile(const QString& fdbPath, const QString& target);
