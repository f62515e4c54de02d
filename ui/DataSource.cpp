#include "ui/DataSource.h"

#include <algorithm>

#include "data/DataSet.h"

TDataSource::TDataSource(data::DataSet* dataSet, QObject* parent) : QObject(parent) {
    SetDataSet(dataSet);
}

TDataSource::~TDataSource() {
    if (dataSet_)
        dataSet_->RemoveObserver(this);
    const auto links = links_;
    for (TDataLink* link : links)
        link->SourceDestroyed();
}

void TDataSource::SetDataSet(data::DataSet* dataSet) {
    if (dataSet_ == dataSet)
        return;
    if (dataSet_)
        dataSet_->RemoveObserver(this);
    dataSet_ = dataSet;
    if (dataSet_)
        dataSet_->AddObserver(this);
    Notify(false);
    emit StateChange();
}

void TDataSource::SetEnabled(bool enabled) {
    if (enabled_ == enabled)
        return;
    enabled_ = enabled;
    Notify(false);
    emit StateChange();
}

bool TDataSource::IsBound() const {
    return enabled_ && dataSet_ && dataSet_->Active();
}

data::Field* TDataSource::FieldOf(const QString& name) const {
    return IsBound() && !name.isEmpty() ? dataSet_->FindField(name) : nullptr;
}

void TDataSource::UpdateRecord() {
    if (!IsBound())
        return;
    const auto links = links_;
    for (TDataLink* link : links)
        link->UpdateData();
}

void TDataSource::AddLink(TDataLink* link) {
    if (std::find(links_.begin(), links_.end(), link) == links_.end())
        links_.push_back(link);
}

void TDataSource::RemoveLink(TDataLink* link) {
    links_.erase(std::remove(links_.begin(), links_.end(), link), links_.end());
}

void TDataSource::Notify(bool rowOnly) {
    const auto links = links_;
    for (TDataLink* link : links)
        link->DataChanged(rowOnly);
    emit DataChange();
}

void TDataSource::EndReset() {
    Notify(false);
}

void TDataSource::EndInsertRow() {
    Notify(false);
}

void TDataSource::EndRemoveRow() {
    Notify(false);
}

void TDataSource::RowChanged(int) {
    Notify(true);
}

void TDataSource::StateChanged() {
    Notify(true);
    emit StateChange();
}

void TDataSource::Scrolled() {
    Notify(false);
}
