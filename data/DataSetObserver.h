#pragma once
// Notifications of a dataset to what shows its rows (the grid's table model).
// Row numbers count the rows the dataset shows, the new row being inserted included.

namespace data {

class DataSetObserver {
  public:
    virtual ~DataSetObserver() = default;
    virtual void BeginReset() {}
    virtual void EndReset() {}
    virtual void BeginInsertRow(int /*row*/) {}
    virtual void EndInsertRow() {}
    virtual void BeginRemoveRow(int /*row*/) {}
    virtual void EndRemoveRow() {}
    virtual void RowChanged(int /*row*/) {}
    virtual void StateChanged() {}
    virtual void Scrolled() {}
};

}  // namespace data
