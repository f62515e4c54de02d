#pragma once
// The grid windows of the master data: the 16-pixel font, hints, the cell editor
// always shown, and CloneDS, a second cursor on ClientDataSet1's rows for looking
// other rows up (duplicate checks) without moving the grid.

#include "ui/DbExpGridFormUnit.h"

class TTsubakiGridBaseForm : public TDbExpGridForm {
    Q_OBJECT
  public:
    explicit TTsubakiGridBaseForm(QWidget* parent = nullptr);

    data::DataSet CloneDS{QStringLiteral("CloneDS")};

  protected:
    void PrepareWindow() override;
    void SakujyoBtnClick() override;
};
