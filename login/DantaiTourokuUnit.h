#pragma once
#include "db/Connection.h"
#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QGridLayout;

// The longest organisation name: the length of KANRI.DANTAIMEI.
inline constexpr int kMaxDantaimeiLength = 30;

// The refusal of a name that differs from a registered one only in the case of
// its ASCII letters (the settings file cannot tell them apart).
QString SameNameRegisteredText(const QString& name, const QString& registered);

// Registers a new organisation: its folder, a copy of the empty database with the
// name written into it, and its registry entry. Work already done on the file
// system is undone when a later step fails.
class TDantaiTourokuForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    explicit TDantaiTourokuForm(QWidget* parent = nullptr);

    QString GetNewDantaimei() const;

    QLabel* Label3;
    QLabel* Label2;
    QLineEdit* Edit2;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;

  protected:
    // Checks the input before anything is changed.
    virtual void ValidateInput();
    virtual void BitBtn1Click();
    // Writes `name` into KANRI.DANTAIMEI of the database at `databasePath`, on the
    // window's own connection, which is closed again afterwards.
    void WriteDantaimei(const QString& databasePath, const QString& name);
    QGridLayout* FieldsLayout() const { return fields_; }
    // Refuses a name longer than the database column (focus to the name box).
    void CheckDantaimeiLength(const QString& name);

    // The window's own connection (the main one is not used for the write).
    db::Connection SQLConnection1;

    // The title bar cannot close the window: only its two buttons (and Esc, as 中止) do.
    void closeEvent(QCloseEvent* event) override;

  private:
    QGridLayout* fields_;
    QString databasePath_;
};
