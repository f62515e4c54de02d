#pragma once
// 予算書７ to 予算書１４: the lines of 予算書５ with two amounts, this year's
// budget and the previous year's settlement or budget, and their difference;
// the even-numbered layouts add the classification subtotal rows.

#include "reports/ExlYosansyoUnit5.h"

class TExlYosansyoModule7 : public TExlYosansyoModule5 {
  public:
    TExlYosansyoModule7();

  protected:
    templates::yosansyo::Family LayoutFamily() const override { return templates::yosansyo::Family::Hikaku; }
    QString FigureCondition() const override;
    bool WriteCarryOver(int row) override;
    bool HasSubtotalRows() const override;
    bool OmitsSubtotalRows() const override;
    std::vector<DetailCell> ItemAmounts(const data::DataSet& view) const override;
    std::vector<DetailCell> SubtotalAmounts(int first, int last) const override;
};
