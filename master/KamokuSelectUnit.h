#pragma once
#include <QRect>
#include <array>
#include <memory>

#include "data/DataSet.h"
#include "db/Value.h"
#include "ui/TsubakiBaseFormUnit.h"

class QCheckBox;
class QPushButton;
class TChoiceList;
namespace data {
class DataSetTableModel;
}

// Where a window whose frame has `frameSize` goes beside its caller: centred on the
// caller, then moved so that its right edge lines up with the caller's, and kept
// inside `screenArea`. Returns the frame's top-left corner.
QPoint PlaceAgainstCaller(const QSize& frameSize, const QRect& caller, const QRect& screenArea);

// The account picker "科目(集計項目)選択": the items of a fiscal year in four lists
// (receipts, payments, and receipts and payments outside the statements). Items
// outside their years of validity show only while the check box is checked.
//
//   TKamokuSelectForm picker(year, cellRectInGlobalCoordinates, this);
//   if (picker.exec() == QDialog::Accepted) field.SetValue(picker.SelectedKamoku());
class TKamokuSelectForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    // `nendo`: the caller's fiscal year. `caller`: the calling cell or control in
    // global coordinates; an empty rectangle leaves the window centred on the screen.
    TKamokuSelectForm(int nendo, const QRect& caller, QWidget* parent = nullptr);
    ~TKamokuSelectForm() override;

    // Narrows all four lists by a filter of the item list (fields CD, TOKUBETSU_CD,
    // …), for a caller that accepts only some items. Set before the window shows.
    void SetItemFilter(const QString& filter) { itemFilter_ = filter; }

    // Once the window closed as accepted: the chosen item's code, or NULL after
    // "選択無し(空白)". NULL too when it was closed without a choice.
    const db::Value& SelectedKamoku() const { return selected_; }

    // The list of receipts (0), payments (1), and those outside the statements (2, 3).
    TChoiceList* List(int index) const { return lists_[static_cast<std::size_t>(index)]; }

    QCheckBox* CheckBox1;
    QPushButton* CloseBtn;
    TChoiceList* DBGrid1;
    TChoiceList* DBGrid2;
    TChoiceList* DBGrid3;
    TChoiceList* DBGrid4;
    QPushButton* BitBtn1;  // 選択無し(空白)

    data::DataSet ClientDataSet1;
    data::DataSet SyunyuClone;
    data::DataSet SisyutsuClone;
    data::DataSet GaiSyunyuClone;
    data::DataSet GaiSisyutsuClone;

  protected:
    void PrepareWindow() override;

  private:
    void CheckBox1Click();
    void ListClick(int list, int row);
    void BitBtn1Click();
    void PlaceWindow();

    int nendo_;
    QRect caller_;
    std::array<TChoiceList*, 4> lists_;
    std::array<data::DataSet*, 4> views_;
    std::array<std::unique_ptr<data::DataSetTableModel>, 4> models_;
    db::Value selected_;
    QString itemFilter_;
};
