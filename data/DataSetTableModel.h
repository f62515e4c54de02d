#pragma once
// The rows of a dataset or view as a table model for the grid: one column per
// visible field, texts from the field formats, edits through the field rules
// (the row goes into edit), the new row being inserted shown at its place, and
// the rows following the dataset's filter. The dataset must outlive the model.

#include "data/DataSet.h"
#include "data/DataSetObserver.h"

#include <QAbstractTableModel>

#include <vector>

namespace data {

class DataSetTableModel : public QAbstractTableModel, private DataSetObserver {
    Q_OBJECT

  public:
    explicit DataSetTableModel(DataSet& dataSet, QObject* parent = nullptr);
    ~DataSetTableModel() override;

    DataSet& Source() const { return dataSet_; }
    // The field shown in a column (nullptr outside the columns).
    Field* FieldAt(int column) const;
    int ColumnOf(const QString& fieldName) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Moves to the row, puts it in edit and sets the field from the text. A refused
    // value goes to the application's error handler and gives false.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

  signals:
    void stateChanged();
    void currentRowChanged(int row);

  private:
    void BeginReset() override;
    void EndReset() override;
    void BeginInsertRow(int row) override;
    void EndInsertRow() override;
    void BeginRemoveRow(int row) override;
    void EndRemoveRow() override;
    void RowChanged(int row) override;
    void StateChanged() override;
    void Scrolled() override;
    void RefreshColumns();

    DataSet& dataSet_;
    std::vector<Field*> columns_;
    int resetDepth_ = 0;
};

}  // namespace data
