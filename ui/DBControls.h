#pragma once
// Data-bound check box, radio group, drop-down lists and record navigator. Each
// shows its field in the current row of its data source; a change made by the user
// puts the row into edit and goes through the field's rules (a refused value is
// shown by the error handler and the control shows the field again).

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QStringList>

#include <utility>
#include <vector>

#include "db/Value.h"
#include "ui/FieldLink.h"

class QButtonGroup;
class QToolButton;

// A check box storing one value when checked and another when not (1 and 0).
class TDBCheckBox : public QCheckBox {
    Q_OBJECT
  public:
    explicit TDBCheckBox(const QString& caption = {}, QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    void SetValues(db::Value checked, db::Value unchecked);

  protected:
    void nextCheckState() override;

  private:
    void DataChanged();

    TFieldLink link_;
    db::Value checked_{1};
    db::Value unchecked_{0};
};

// Radio buttons, one value each; the field's value checks its button.
class TDBRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    explicit TDBRadioGroup(const QString& title = {}, QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    // One button per caption, in order, each storing the value of the same place.
    void SetItems(const QStringList& captions, const std::vector<db::Value>& values);
    QAbstractButton* Button(int index) const;
    // The checked button's place; -1 when none.
    int ItemIndex() const;

  private:
    void DataChanged();
    void ButtonClicked(int index);

    TFieldLink link_;
    QButtonGroup* group_;
    std::vector<db::Value> values_;
};

// Display text ↔ stored value pairs of a drop-down list.
using TPickList = std::vector<std::pair<QString, db::Value>>;

// A drop-down list of fixed items bound to a field: choosing an item stores its value.
// The navigation keys walk past it like an edit box; Alt+Down or F4 opens it.
class TDBComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit TDBComboBox(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    void SetItems(TPickList items);
    // The item shown while the field is empty (a column that reads empty as that
    // item's value); -1 (the default) shows none.
    void SetNullIndex(int index);

  private:
    void DataChanged();
    void Chosen(int index);

    TFieldLink link_;
    TPickList items_;
    int nullIndex_ = -1;
};

// A drop-down list filled from another dataset (its key and list fields). Bound to
// a field it stores the chosen key; unbound it simply holds a key (KeyValue). It
// keeps the arrow keys and Enter for itself.
class TDBLookupComboBox : public QComboBox {
    Q_OBJECT
  public:
    explicit TDBLookupComboBox(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    // The rows offered: `keyField` is stored, `listField` shown. The list dataset
    // must outlive the box or be replaced before it goes.
    void SetListSource(data::DataSet* list, const QString& keyField, const QString& listField);
    // Reads the list dataset's rows again.
    void RefreshList();

    db::Value KeyValue() const;
    void SetKeyValue(const db::Value& key);

    void showPopup() override;

  signals:
    // The user chose a row (bound or not).
    void KeyChosen();

  private:
    void DataChanged();
    void Chosen(int index);
    void SelectKey(const db::Value& key);

    TFieldLink link_;
    data::DataSet* list_ = nullptr;
    QString keyField_;
    QString listField_;
    std::vector<db::Value> keys_;
};

// Record navigation: first, previous, next, last. One tab stop.
class TDBNavigator : public QWidget {
    Q_OBJECT
  public:
    enum Button { nbFirst, nbPrior, nbNext, nbLast };
    explicit TDBNavigator(QWidget* parent = nullptr);

    void SetDataSource(TDataSource* source);
    QToolButton* ButtonOf(Button button) const { return buttons_[button]; }

  private:
    void Move(Button button);
    void UpdateButtons();

    TFieldLink link_;  // bound to no field: it follows the rows only
    QToolButton* buttons_[4];
};
