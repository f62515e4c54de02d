#pragma once
// The grid windows of the master data: the 16-pixel font, hints, the cell editor
// always shown, and CloneDS, a second cursor on ClientDataSet1's rows for looking
// other rows up (duplicate checks) without moving the grid.

#include "ui/DbExpGridFormUnit.h"

#include <functional>
#include <initializer_list>

class TTsubakiGridBaseForm : public TDbExpGridForm {
    Q_OBJECT
  public:
    explicit TTsubakiGridBaseForm(QWidget* parent = nullptr);

    data::DataSet CloneDS{QStringLiteral("CloneDS")};

  protected:
    void PrepareWindow() override;
    // Runs `handler` after every scroll of ClientDataSet1 and, so that a posted or
    // cancelled row shows what it now stores (its code, its name), after every post
    // and cancel too, beside what those events already do.
    void OnRowSettled(std::function<void(data::DataSet&)> handler);
    // Opens the lists the grid's columns look their names up in, on the program's
    // connection.
    static void OpenLookupLists(std::initializer_list<data::DataSet*> lists);
    void SakujyoBtnClick() override;
};
