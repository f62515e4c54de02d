#pragma once
// DataSource1 and its kind: the link between one dataset and the controls that show
// it. Switching it off unbinds every control at once (they show nothing and take no
// input); switching it on binds them again. Declare it after the dataset it serves,
// so that it is gone before the dataset is.

#include <QObject>

#include <vector>

#include "data/DataSetObserver.h"

namespace data {
class DataSet;
class Field;
}  // namespace data

class TDataSource;

// What a data-bound control does for its data source.
class TDataLink {
  public:
    virtual ~TDataLink() = default;
    // The row, the state or the binding changed: show the field's value again. A
    // control keeps text the user is typing while only its own row changes.
    virtual void DataChanged(bool rowOnly) = 0;
    // Writes what the user typed and has not yet written into the row (may raise).
    virtual void UpdateData() {}
    // The data source is going away.
    virtual void SourceDestroyed() = 0;
};

class TDataSource : public QObject, private data::DataSetObserver {
    Q_OBJECT
  public:
    explicit TDataSource(data::DataSet* dataSet = nullptr, QObject* parent = nullptr);
    ~TDataSource() override;

    data::DataSet* DataSet() const { return dataSet_; }
    void SetDataSet(data::DataSet* dataSet);
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    // Bound: enabled, with an open dataset.
    bool IsBound() const;
    // The field `name` of the dataset when bound; nullptr otherwise.
    data::Field* FieldOf(const QString& name) const;

    // Writes every control's unwritten text into the row (before a post).
    void UpdateRecord();

    void AddLink(TDataLink* link);
    void RemoveLink(TDataLink* link);

  signals:
    // DataSource1StateChange: the dataset's state (or the binding) changed.
    void StateChange();
    // The current row, its values or the rows changed.
    void DataChange();

  private:
    void EndReset() override;
    void EndInsertRow() override;
    void EndRemoveRow() override;
    void RowChanged(int row) override;
    void StateChanged() override;
    void Scrolled() override;
    void Notify(bool rowOnly);

    data::DataSet* dataSet_ = nullptr;
    bool enabled_ = true;
    std::vector<TDataLink*> links_;
};
