#pragma once
#include "ui/TsubakiGridBaseUnit.h"

// 科目分類設定: the classifications of account items (BUNRUI), one grid row each.
// The built-in transfer classifications 30 and 60 are never listed; other built-in
// rows keep their code, name and kinds and only take a new display order.
class TBunruiMaintForm : public TTsubakiGridBaseForm {
    Q_OBJECT
  public:
    explicit TBunruiMaintForm(QWidget* parent = nullptr);
    ~TBunruiMaintForm() override;

    QPushButton* YousiBtn;  // 登録用紙

    // The lists of the drop-down columns.
    data::SqlCommand SyusiKubunSQL{QStringLiteral("SyusiKubunSQL")};
    data::DataSet SyusiKubunDS{QStringLiteral("SyusiKubunDS")};
    data::SqlCommand HyoujiKubunSQL{QStringLiteral("HyoujiKubunSQL")};
    data::DataSet HyoujiKubunDS{QStringLiteral("HyoujiKubunDS")};

  protected:
    void PrepareWindow() override;

  private:
    void ClientDataSet1NewRecord(data::DataSet& ds);
    void ClientDataSet1AfterScroll(data::DataSet& ds);
    void ClientDataSet1BeforePost(data::DataSet& ds);
    void ClientDataSet1BeforeDelete(data::DataSet& ds);
    bool IsUntouchedNewRow(data::DataSet& ds) const;
    bool IsReadOnlyCell(const data::Field& field, int row) const;

    int oldCode_ = 0;
};
