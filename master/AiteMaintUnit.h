#pragma once
#include "master/TekiyoMaintUnit.h"

// 入金先／支払先 設定: the stored counterparties (AITE), kept as the descriptions are.
class TAiteMaintForm : public TTekiyoMaintForm {
    Q_OBJECT
  public:
    explicit TAiteMaintForm(QWidget* parent = nullptr);
    ~TAiteMaintForm() override;
};
