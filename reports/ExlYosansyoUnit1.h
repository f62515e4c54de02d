#pragma once
// 簡易予算書: the budget statement with one line per item (name, budget,
// description) and no comparison. The run is that of TExlYosansyoModule.

#include "reports/ExlYosansyoUnit.h"

class TExlYosansyoModule1 : public TExlYosansyoModule {
  public:
    TExlYosansyoModule1();

  protected:
    templates::yosansyo::Family LayoutFamily() const override { return templates::yosansyo::Family::Kani; }
    QString FigureCondition() const override;
    bool WriteCarryOver(int row) override;
    void WriteSection(data::DataSet& view, int off) override;
};
