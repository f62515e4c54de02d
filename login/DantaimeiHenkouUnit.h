#pragma once
#include "login/DantaiTourokuUnit.h"

// Renames an organisation: moves its folder, writes the new name into its database
// and replaces its registry entry; the folder moves back when the write fails.
class TDantaimeiHenkouForm : public TDantaiTourokuForm {
    Q_OBJECT
  public:
    explicit TDantaimeiHenkouForm(QWidget* parent = nullptr);

    QString GetOldDantaimei() const;
    void SetOldDantaimei(const QString& name);

    QLabel* Label1;
    QLabel* Panel1;  // the old name, display only

  protected:
    void PrepareWindow() override;
    void ValidateInput() override;
    void BitBtn1Click() override;

  private:
    QString FdbPath;  // the folder holding the organisation's folder
};
