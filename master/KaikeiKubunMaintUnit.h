#pragma once
#include "ui/TsubakiGridBaseUnit.h"

// 会計区分設定: the accounting divisions (KAIKEI_KUBUN), one grid row each, with
// the years in which they exist. The general account (code 0) keeps its code and
// cannot be deleted.
class TKaikeiKubunMaintForm : public TTsubakiGridBaseForm {
    Q_OBJECT
  public:
    explicit TKaikeiKubunMaintForm(QWidget* parent = nullptr);
    ~TKaikeiKubunMaintForm() override;

  private:
    void ClientDataSet1AfterScroll(data::DataSet& ds);
    void ClientDataSet1BeforePost(data::DataSet& ds);
    void ClientDataSet1BeforeDelete(data::DataSet& ds);
    void ClientDataSet1CDSetText(data::Field& field, const QString& text);
    bool IsUntouchedNewRow(data::DataSet& ds) const;

    int oldCode_ = 0;
};
