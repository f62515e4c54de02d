#include "data/DataSetTableModel.h"

#include "core/ErrorHandler.h"

namespace data {

DataSetTableModel::DataSetTableModel(DataSet& dataSet, QObject* parent)
    : QAbstractTableModel(parent), dataSet_(dataSet) {
    RefreshColumns();
    dataSet_.AddObserver(this);
}

DataSetTableModel::~DataSetTableModel() {
    dataSet_.RemoveObserver(this);
}

void DataSetTableModel::RefreshColumns() {
    columns_.clear();
    for (const auto& f : dataSet_.Fields())
        if (f->Def().visible)
            columns_.push_back(f.get());
}

Field* DataSetTableModel::FieldAt(int column) const {
    if (column < 0 || column >= static_cast<int>(columns_.size()))
        return nullptr;
    return columns_[static_cast<std::size_t>(column)];
}

int DataSetTableModel::ColumnOf(const QString& fieldName) const {
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i]->FieldName().compare(fieldName, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataSet_.DisplayRowCount();
}

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    const Field* field = index.isValid() ? FieldAt(index.column()) : nullptr;
    if (!field || index.row() >= rowCount())
        return {};
    switch (role) {
        case Qt::DisplayRole:
            return field->FormatDisplay(dataSet_.DisplayValue(index.row(), *field));
        case Qt::EditRole:
            return field->FormatEdit(dataSet_.DisplayValue(index.row(), *field));
        case Qt::TextAlignmentRole:
            if (field->Type() != FieldType::Text)
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        default:
            return {};
    }
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    const Field* field = FieldAt(section);
    return field ? QVariant(field->DisplayLabel()) : QVariant();
}

Qt::ItemFlags DataSetTableModel::flags(const QModelIndex& index) const {
    const Field* field = index.isValid() ? FieldAt(index.column()) : nullptr;
    if (!field)
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!field->Def().readOnly)
        result |= Qt::ItemIsEditable;
    return result;
}

bool DataSetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    Field* field = index.isValid() ? FieldAt(index.column()) : nullptr;
    if (!field || role != Qt::EditRole || field->Def().readOnly || index.row() >= rowCount())
        return false;
    return RunGuarded([&] {
        dataSet_.MoveToDisplayRow(index.row());
        dataSet_.Edit();
        field->SetText(value.toString());
    });
}

void DataSetTableModel::BeginReset() {
    if (resetDepth_++ == 0)
        beginResetModel();
}

void DataSetTableModel::EndReset() {
    if (resetDepth_ == 0 || --resetDepth_ > 0)
        return;
    RefreshColumns();
    endResetModel();
}

void DataSetTableModel::BeginInsertRow(int row) {
    beginInsertRows({}, row, row);
}

void DataSetTableModel::EndInsertRow() {
    endInsertRows();
}

void DataSetTableModel::BeginRemoveRow(int row) {
    beginRemoveRows({}, row, row);
}

void DataSetTableModel::EndRemoveRow() {
    endRemoveRows();
}

void DataSetTableModel::RowChanged(int row) {
    if (resetDepth_ > 0 || row < 0 || columns_.empty())
        return;
    emit dataChanged(index(row, 0), index(row, static_cast<int>(columns_.size()) - 1));
}

void DataSetTableModel::StateChanged() {
    emit stateChanged();
}

void DataSetTableModel::Scrolled() {
    emit currentRowChanged(dataSet_.DisplayRowOfCursor());
}

}  // namespace data
