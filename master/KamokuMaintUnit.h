#pragma once
#include "ui/TsubakiGridBaseUnit.h"

// 科目(集計項目)設定: the account items (KAMOKU), one grid row each, with their
// classification, years of validity, order and, for transfer items, the accounting
// division they transfer with. Built-in items keep their classification, code and
// division.
class TKamokuMaintForm : public TTsubakiGridBaseForm {
    Q_OBJECT
  public:
    explicit TKamokuMaintForm(QWidget* parent = nullptr);
    ~TKamokuMaintForm() override;

    QPushButton* YousiBtn;  // 登録用紙

    // The classifications (display name with the receipts/payments kind of the
    // aggregated ones) and the divisions (the general account shown empty).
    data::SqlCommand BunruiSQL{QStringLiteral("BunruiSQL")};
    data::DataSet BunruiDS{QStringLiteral("BunruiDS")};
    data::SqlCommand KaikeiKubunSQL{QStringLiteral("KaikeiKubunSQL")};
    data::DataSet KaikeiKubunDS{QStringLiteral("KaikeiKubunDS")};

  protected:
    void PrepareWindow() override;

  private:
    void ClientDataSet1NewRecord(data::DataSet& ds);
    void ClientDataSet1AfterScroll(data::DataSet& ds);
    void ClientDataSet1BeforePost(data::DataSet& ds);
    void ClientDataSet1BeforeDelete(data::DataSet& ds);
    void BunruiChange(data::Field& field);
    bool IsUntouchedNewRow(data::DataSet& ds) const;
    bool IsReadOnlyCell(const data::Field& field, int row) const;

    int oldCode_ = 0;
    int oldKubun_ = 0;
};
