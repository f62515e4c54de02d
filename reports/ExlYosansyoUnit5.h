#pragma once
// 予算書５ and 予算書６: one line per item with its classification named on the
// classification's first line, the budget and the description; 予算書６ adds a
// subtotal row below every classification with at least two printed items.
// TExlYosansyoModule7 (予算書７-１４) builds on the same sections.

#include "reports/ExlYosansyoUnit.h"

class TExlYosansyoModule5 : public TExlYosansyoModule {
  public:
    TExlYosansyoModule5();

  protected:
    templates::yosansyo::Family LayoutFamily() const override { return templates::yosansyo::Family::Kamoku; }
    QString FigureCondition() const override;
    bool WriteCarryOver(int row) override;
    void WriteSection(data::DataSet& view, int off) override;
    virtual bool HasSubtotalRows() const;
    virtual bool OmitsSubtotalRows() const;

    // The cells from column C of an item's line and of a subtotal row (its
    // group stands in the section's lines first..last).
    virtual std::vector<DetailCell> ItemAmounts(const data::DataSet& view) const;
    virtual std::vector<DetailCell> SubtotalAmounts(int first, int last) const;
};
