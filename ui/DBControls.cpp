#include "ui/DBControls.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/ErrorHandler.h"
#include "data/DataSet.h"
#include "ui/plnBaseFormUnit.h"

namespace {

// Puts the row into edit and stores `value` in the link's field.
bool StoreChoice(TFieldLink& link, const db::Value& value) {
    return RunGuarded([&] {
        data::Field* field = link.Field();
        if (!field || !link.CanModify())
            return;
        link.Edit();
        field->SetValue(value);
    });
}

// True when the field holds `value` (compared in the field's type).
bool Holds(const data::Field& field, const db::Value& value) {
    try {
        return field.Normalized(value) == field.Value();
    } catch (...) {
        return false;
    }
}

}  // namespace

// ---------------------------------------------------------------- TDBCheckBox

TDBCheckBox::TDBCheckBox(const QString& caption, QWidget* parent)
    : QCheckBox(caption, parent), link_([this](bool) { DataChanged(); }) {}

void TDBCheckBox::SetValues(db::Value checked, db::Value unchecked) {
    checked_ = std::move(checked);
    unchecked_ = std::move(unchecked);
    DataChanged();
}

void TDBCheckBox::nextCheckState() {
    if (!link_.CanModify())
        return;
    StoreChoice(link_, isChecked() ? unchecked_ : checked_);
    DataChanged();
}

void TDBCheckBox::DataChanged() {
    const QSignalBlocker blocker(this);
    const data::Field* field = link_.Field();
    setChecked(field && Holds(*field, checked_));
}

// ---------------------------------------------------------------- TDBRadioGroup

TDBRadioGroup::TDBRadioGroup(const QString& title, QWidget* parent)
    : QGroupBox(title, parent), link_([this](bool) { DataChanged(); }), group_(new QButtonGroup(this)) {
    group_->setExclusive(false);  // no button checked is a state of its own (NULL)
    new QVBoxLayout(this);
    connect(group_, &QButtonGroup::idClicked, this, &TDBRadioGroup::ButtonClicked);
}

void TDBRadioGroup::SetItems(const QStringList& captions, const std::vector<db::Value>& values) {
    for (QAbstractButton* b : group_->buttons())
        delete b;
    values_ = values;
    for (int i = 0; i < captions.size(); ++i) {
        auto* button = new QRadioButton(captions.at(i), this);
        button->setAutoExclusive(false);
        group_->addButton(button, i);
        layout()->addWidget(button);
    }
    DataChanged();
}

QAbstractButton* TDBRadioGroup::Button(int index) const {
    return group_->button(index);
}

int TDBRadioGroup::ItemIndex() const {
    for (QAbstractButton* b : group_->buttons())
        if (b->isChecked())
            return group_->id(b);
    return -1;
}

void TDBRadioGroup::ButtonClicked(int index) {
    if (index >= 0 && index < static_cast<int>(values_.size()) && link_.CanModify())
        StoreChoice(link_, values_[static_cast<std::size_t>(index)]);
    DataChanged();
}

void TDBRadioGroup::DataChanged() {
    const data::Field* field = link_.Field();
    for (QAbstractButton* b : group_->buttons()) {
        const int id = group_->id(b);
        const QSignalBlocker blocker(b);
        b->setChecked(field && id < static_cast<int>(values_.size()) &&
                      Holds(*field, values_[static_cast<std::size_t>(id)]));
    }
}

// ---------------------------------------------------------------- TDBComboBox

TDBComboBox::TDBComboBox(QWidget* parent) : QComboBox(parent), link_([this](bool) { DataChanged(); }) {
    connect(this, &QComboBox::activated, this, &TDBComboBox::Chosen);
}

void TDBComboBox::SetItems(TPickList items) {
    items_ = std::move(items);
    const QSignalBlocker blocker(this);
    clear();
    for (const auto& item : items_)
        addItem(item.first);
    DataChanged();
}

void TDBComboBox::SetNullIndex(int index) {
    nullIndex_ = index;
    DataChanged();
}

void TDBComboBox::Chosen(int index) {
    if (index >= 0 && index < static_cast<int>(items_.size()))
        StoreChoice(link_, items_[static_cast<std::size_t>(index)].second);
    DataChanged();
}

void TDBComboBox::DataChanged() {
    const QSignalBlocker blocker(this);
    const data::Field* field = link_.Field();
    int index = -1;
    for (std::size_t i = 0; field && i < items_.size() && index < 0; ++i)
        if (Holds(*field, items_[i].second))
            index = static_cast<int>(i);
    if (index < 0 && field && field->IsNull() && nullIndex_ < static_cast<int>(items_.size()))
        index = nullIndex_;
    setCurrentIndex(index);
}

// ---------------------------------------------------------------- TDBLookupComboBox

TDBLookupComboBox::TDBLookupComboBox(QWidget* parent)
    : QComboBox(parent), link_([this](bool) { DataChanged(); }) {
    TplnBaseForm::ExemptFromNavigation(this);
    connect(this, &QComboBox::activated, this, &TDBLookupComboBox::Chosen);
}

void TDBLookupComboBox::SetListSource(data::DataSet* list, const QString& keyField,
                                      const QString& listField) {
    list_ = list;
    keyField_ = keyField;
    listField_ = listField;
    RefreshList();
}

void TDBLookupComboBox::RefreshList() {
    const db::Value key = KeyValue();
    const QSignalBlocker blocker(this);
    clear();
    keys_.clear();
    const data::Field* keyField = list_ && list_->Active() ? list_->FindField(keyField_) : nullptr;
    const data::Field* listField = list_ && list_->Active() ? list_->FindField(listField_) : nullptr;
    if (keyField && listField) {
        for (int row = 0; row < list_->DisplayRowCount(); ++row) {
            keys_.push_back(list_->DisplayValue(row, *keyField));
            addItem(listField->FormatDisplay(list_->DisplayValue(row, *listField)));
        }
    }
    if (link_.DataSource())
        DataChanged();
    else
        SelectKey(key);
}

db::Value TDBLookupComboBox::KeyValue() const {
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(keys_.size()) ? keys_[static_cast<std::size_t>(index)]
                                                                : db::Value();
}

void TDBLookupComboBox::SetKeyValue(const db::Value& key) {
    SelectKey(key);
}

void TDBLookupComboBox::SelectKey(const db::Value& key) {
    const QSignalBlocker blocker(this);
    int index = -1;
    for (std::size_t i = 0; i < keys_.size() && index < 0 && !key.IsNull(); ++i)
        if (keys_[i] == key || (!keys_[i].IsText() && !key.IsText() && keys_[i].AsFloat() == key.AsFloat()))
            index = static_cast<int>(i);
    setCurrentIndex(index);
}

void TDBLookupComboBox::showPopup() {
    RefreshList();
    QComboBox::showPopup();
}

void TDBLookupComboBox::Chosen(int index) {
    if (link_.DataSource()) {
        if (index >= 0 && index < static_cast<int>(keys_.size()))
            StoreChoice(link_, keys_[static_cast<std::size_t>(index)]);
        DataChanged();
    }
    emit KeyChosen();
}

void TDBLookupComboBox::DataChanged() {
    const data::Field* field = link_.Field();
    SelectKey(field ? field->Value() : db::Value());
}

// ---------------------------------------------------------------- TDBNavigator

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent), link_([this](bool) { UpdateButtons(); }) {
    setFocusPolicy(Qt::StrongFocus);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    const QStyle::StandardPixmap icons[] = {QStyle::SP_MediaSkipBackward, QStyle::SP_MediaSeekBackward,
                                            QStyle::SP_MediaSeekForward, QStyle::SP_MediaSkipForward};
    const QString hints[] = {QStringLiteral("先頭"), QStringLiteral("前"), QStringLiteral("次"),
                             QStringLiteral("最後")};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(this);
        button->setIcon(style()->standardIcon(icons[i]));
        button->setToolTip(hints[i]);
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        layout->addWidget(button);
        connect(button, &QToolButton::clicked, this, [this, i] { Move(static_cast<Button>(i)); });
        buttons_[i] = button;
    }
    UpdateButtons();
}

void TDBNavigator::SetDataSource(TDataSource* source) {
    link_.SetDataSource(source);
    UpdateButtons();
}

void TDBNavigator::Move(Button button) {
    TDataSource* source = link_.DataSource();
    if (!source || !source->IsBound())
        return;
    data::DataSet& ds = *source->DataSet();
    RunGuarded([&] {
        switch (button) {
            case nbFirst:
                ds.First();
                break;
            case nbPrior:
                ds.Prior();
                break;
            case nbNext:
                ds.Next();
                break;
            case nbLast:
                ds.Last();
                break;
        }
    });
    UpdateButtons();
}

void TDBNavigator::UpdateButtons() {
    const TDataSource* source = link_.DataSource();
    const bool bound = source && source->IsBound();
    const int count = bound ? source->DataSet()->RecordCount() : 0;
    const int at = bound ? source->DataSet()->RecIndex() : -1;
    const bool inserting = bound && source->DataSet()->State() == data::DataSetState::Insert;
    buttons_[nbFirst]->setEnabled(count > 0 && (at > 0 || inserting));
    buttons_[nbPrior]->setEnabled(count > 0 && (at > 0 || inserting));
    buttons_[nbNext]->setEnabled(count > 0 && (at < count - 1 || inserting));
    buttons_[nbLast]->setEnabled(count > 0 && (at < count - 1 || inserting));
}
