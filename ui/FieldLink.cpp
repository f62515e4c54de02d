#include "ui/FieldLink.h"

#include "data/DataSet.h"

TFieldLink::TFieldLink(DataChangedHandler dataChanged, UpdateDataHandler updateData)
    : dataChanged_(std::move(dataChanged)), updateData_(std::move(updateData)) {}

TFieldLink::~TFieldLink() {
    if (source_)
        source_->RemoveLink(this);
}

void TFieldLink::SetDataSource(TDataSource* source) {
    if (source_ == source)
        return;
    if (source_)
        source_->RemoveLink(this);
    source_ = source;
    if (source_)
        source_->AddLink(this);
    DataChanged(false);
}

void TFieldLink::SetFieldName(const QString& name) {
    fieldName_ = name;
    DataChanged(false);
}

data::Field* TFieldLink::Field() const {
    return source_ ? source_->FieldOf(fieldName_) : nullptr;
}

bool TFieldLink::CanModify() const {
    const data::Field* field = Field();
    return field && !field->Def().readOnly;
}

bool TFieldLink::IsEditing() const {
    return source_ && source_->IsBound() && source_->DataSet()->IsEditing();
}

void TFieldLink::Edit() {
    if (CanModify())
        source_->DataSet()->Edit();
}

void TFieldLink::DataChanged(bool rowOnly) {
    if (dataChanged_)
        dataChanged_(rowOnly);
}

void TFieldLink::UpdateData() {
    if (updateData_ && IsBound())
        updateData_();
}

void TFieldLink::SourceDestroyed() {
    source_ = nullptr;
    DataChanged(false);
}
