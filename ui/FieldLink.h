#pragma once
// The part every data-bound control shares: which data source and field it shows,
// and putting the row into edit when the user starts typing.

#include <QPointer>
#include <QString>

#include <functional>

#include "ui/DataSource.h"

class TFieldLink final : public TDataLink {
  public:
    using DataChangedHandler = std::function<void(bool rowOnly)>;
    using UpdateDataHandler = std::function<void()>;

    TFieldLink(DataChangedHandler dataChanged, UpdateDataHandler updateData = {});
    ~TFieldLink() override;
    TFieldLink(const TFieldLink&) = delete;
    TFieldLink& operator=(const TFieldLink&) = delete;

    TDataSource* DataSource() const { return source_; }
    void SetDataSource(TDataSource* source);
    const QString& FieldName() const { return fieldName_; }
    void SetFieldName(const QString& name);

    // The field while the data source is bound; nullptr otherwise.
    data::Field* Field() const;
    bool IsBound() const { return Field() != nullptr; }
    // Bound to a field the user may change.
    bool CanModify() const;
    bool IsEditing() const;
    // Puts the current row into edit (an empty dataset gets a new row); may raise.
    void Edit();

    void DataChanged(bool rowOnly) override;
    void UpdateData() override;
    void SourceDestroyed() override;

  private:
    DataChangedHandler dataChanged_;
    UpdateDataHandler updateData_;
    TDataSource* source_ = nullptr;
    QString fieldName_;
};
