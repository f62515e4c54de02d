#pragma once
#include "ui/TsubakiGridBaseUnit.h"

// 班設定: the 班 of the dues ledger, one grid row each: a code, a name, its 班長 (the
// counterparty of the journal lines its collections make) and the order the lists
// show them in. A 班 a household belongs or belonged to keeps its code and stays.
class THanMaintForm : public TTsubakiGridBaseForm {
    Q_OBJECT
  public:
    explicit THanMaintForm(QWidget* parent = nullptr);
    ~THanMaintForm() override;

  private:
    void ClientDataSet1AfterScroll(data::DataSet& ds);
    void ClientDataSet1BeforePost(data::DataSet& ds);
    void ClientDataSet1BeforeDelete(data::DataSet& ds);
    bool IsUntouchedNewRow(data::DataSet& ds) const;

    int oldCode_ = 0;
};
