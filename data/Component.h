#pragma once
// A named data object (a dataset, a view or an SQL command). The name appears in
// the failure messages of the dataset operations.

#include <QString>

namespace data {

class Component {
  public:
    explicit Component(QString name) : name_(std::move(name)) {}
    virtual ~Component() = default;
    Component(const Component&) = delete;
    Component& operator=(const Component&) = delete;

    const QString& Name() const { return name_; }
    void SetName(QString name) { name_ = std::move(name); }

  private:
    QString name_;
};

}  // namespace data
