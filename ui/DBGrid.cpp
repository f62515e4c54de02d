#include "ui/DBGrid.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <QStyledItemDelegate>

#include "core/ErrorHandler.h"
#include "data/DataSet.h"
#include "data/DataSetTableModel.h"
#include "ui/EditMask.h"
#include "ui/Fonts.h"
#include "ui/NumberInput.h"

// ---------------------------------------------------------------- model

// The dataset's rows with what the grid adds: cells read-only per row, list texts
// for coded columns and the row indicator.
class TDBGridModel : public data::DataSetTableModel {
  public:
    TDBGridModel(data::DataSet& dataSet, TDBGrid& grid) : DataSetTableModel(dataSet, &grid), grid_(grid) {}

    Qt::ItemFlags flags(const QModelIndex& index) const override {
        Qt::ItemFlags result = DataSetTableModel::flags(index);
        if (index.isValid() && grid_.IsCellReadOnly(index.row(), index.column()))
            result &= ~Qt::ItemIsEditable;
        return result;
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if ((role == Qt::DisplayRole || role == Qt::EditRole) && index.isValid()) {
            if (const data::Field* field = FieldAt(index.column())) {
                if (index.row() < rowCount()) {
                    const db::Value value = Source().DisplayValue(index.row(), *field);
                    if (auto text = grid_.ListTextOf(*field, value))
                        return *text;
                    if (role == Qt::DisplayRole)
                        if (auto text = grid_.MaskedTextOf(*field, value))
                            return *text;
                }
            }
        }
        return DataSetTableModel::data(index, role);
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
        if (orientation != Qt::Vertical)
            return DataSetTableModel::headerData(section, orientation, role);
        if (role != Qt::DisplayRole)
            return {};
        const data::DataSet& ds = Source();
        if (!ds.Active() || section != ds.DisplayRowOfCursor())
            return QString();
        switch (ds.State()) {
            case data::DataSetState::Insert:
                return QStringLiteral("*");
            case data::DataSetState::Edit:
                return QStringLiteral("I");
            default:
                return QStringLiteral("▶");
        }
    }

    // Only the cursor's row shows the indicator: the row that showed it and the row
    // that shows it now are announced, not every row (that made each posting cost
    // more the more rows the grid holds).
    void IndicatorChanged() {
        const int rows = rowCount();
        const data::DataSet& ds = Source();
        const int now = ds.Active() ? ds.DisplayRowOfCursor() : -1;
        for (const int row : {indicatorRow_, now})
            if (row >= 0 && row < rows)
                emit headerDataChanged(Qt::Vertical, row, row);
        indicatorRow_ = now;
    }

  private:
    TDBGrid& grid_;
    int indicatorRow_ = -1;
};

// ---------------------------------------------------------------- delegate

// The cell editors: a line edit (with the field's length, a mask, a picker button)
// or a drop-down list. What they hold is written by the grid, not the model.
class TDBGridDelegate : public QStyledItemDelegate {
  public:
    explicit TDBGridDelegate(TDBGrid& grid) : QStyledItemDelegate(&grid), grid_(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        const data::Field* field = grid_.Model() ? grid_.Model()->FieldAt(index.column()) : nullptr;
        if (!field)
            return nullptr;
        QWidget* editor = nullptr;
        const TPickList items = grid_.ItemsOf(*field);
        if (!items.empty()) {
            auto* combo = new QComboBox(parent);
            for (const auto& item : items)
                combo->addItem(item.first);
            combo->setMaxVisibleItems(20);
            QObject::connect(combo, &QComboBox::activated, &grid_, [this] { grid_.BeginRowEdit(); });
            editor = combo;
        } else {
            auto* edit = new QLineEdit(parent);
            const TDBGrid::ColumnSpec* spec = grid_.SpecOf(field->FieldName());
            if (spec && !spec->mask.isEmpty())
                edit->setInputMask(QtInputMask(spec->mask));
            else if (field->Type() == data::FieldType::Text && field->Size() > 0)
                edit->setMaxLength(field->Size());
            else
                ApplyNumberInput(edit, field);
            if (spec && spec->button) {
                QAction* action =
                    edit->addAction(grid_.style()->standardIcon(QStyle::SP_FileDialogContentsView),
                                    QLineEdit::TrailingPosition);
                action->setToolTip(QStringLiteral("一覧から選択します。(F4, Alt+↓)"));
                QObject::connect(action, &QAction::triggered, &grid_, [this] {
                    QMetaObject::invokeMethod(
                        &grid_, [this] { grid_.PressEditButton(); }, Qt::QueuedConnection);
                });
            }
            QObject::connect(edit, &QLineEdit::textEdited, &grid_, [this] { grid_.BeginRowEdit(); });
            editor = edit;
        }
        editor->setFont(grid_.font());
        grid_.EditorOpened(editor, index);
        return editor;
    }

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        if (!grid_.Model())
            return;
        const QString text = index.data(Qt::EditRole).toString();
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            combo->setCurrentIndex(combo->findText(text));
            return;
        }
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (!edit)
            return;
        const data::Field* field = grid_.Model()->FieldAt(index.column());
        const TDBGrid::ColumnSpec* spec = field ? grid_.SpecOf(field->FieldName()) : nullptr;
        QString shown = text;
        if (spec && !spec->mask.isEmpty())
            shown = ValueToMaskedText(text, spec->mask, spec->saveLiterals);
        if (grid_.reopenText_)
            shown = *std::exchange(grid_.reopenText_, std::nullopt);
        if (edit->displayText() != shown)
            edit->setText(shown);
        edit->selectAll();
    }

    void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
        if (!grid_.Model())
            return;
        if (auto* combo = qobject_cast<QComboBox*>(editor)) {
            const data::Field* field = grid_.Model()->FieldAt(index.column());
            const TPickList items = field ? grid_.ItemsOf(*field) : TPickList();
            const int chosen = combo->currentIndex();
            if (chosen >= 0 && chosen < static_cast<int>(items.size()) &&
                combo->currentText() != index.data(Qt::EditRole).toString())
                grid_.WriteCell(index, combo->currentText(), items[static_cast<std::size_t>(chosen)].second);
            return;
        }
        auto* edit = qobject_cast<QLineEdit*>(editor);
        if (!edit)
            return;
        const data::Field* field = grid_.Model()->FieldAt(index.column());
        const TDBGrid::ColumnSpec* spec = field ? grid_.SpecOf(field->FieldName()) : nullptr;
        const QString text = spec && !spec->mask.isEmpty()
                                 ? MaskedTextToValue(edit->displayText(), spec->mask, spec->saveLiterals)
                                 : edit->text();
        if (text != index.data(Qt::EditRole).toString())
            grid_.WriteCell(index, text, std::nullopt);
    }

    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex&) const override {
        editor->setGeometry(option.rect);
    }

  protected:
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            auto* key = static_cast<QKeyEvent*>(event);
            const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
            if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) &&
                (key->modifiers() & Qt::ControlModifier)) {
                QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
                grid_.keyPressEvent(&copy);  // leaves the grid
                return true;
            }
            if (key->key() == Qt::Key_Tab && plain && !(key->modifiers() & Qt::ShiftModifier)) {
                grid_.MoveCell(+1);
                return true;
            }
            if (key->key() == Qt::Key_Backtab || (key->key() == Qt::Key_Tab && plain)) {
                grid_.MoveCell(-1);
                return true;
            }
            if (key->key() == Qt::Key_Escape) {
                const data::DataSet* ds = grid_.DataSet();
                if (ds && ds->IsEditing()) {
                    grid_.CancelEdit();
                    return true;
                }
                return false;
            }
            auto* combo = qobject_cast<QComboBox*>(object);
            const bool pickerKey = key->key() == Qt::Key_F4 ||
                                   (key->key() == Qt::Key_Down && (key->modifiers() & Qt::AltModifier));
            if (pickerKey) {
                if (combo)
                    combo->showPopup();
                else
                    grid_.PressEditButton();
                return true;
            }
            // The arrows move between lines in every cell: a closed drop-down list
            // would step to the neighbouring item and post it unasked. Items are
            // chosen by typing or from the opened list.
            const bool lineKey = key->key() == Qt::Key_Up || key->key() == Qt::Key_Down ||
                                 key->key() == Qt::Key_PageUp || key->key() == Qt::Key_PageDown;
            const bool itemStepKey = combo && (key->key() == Qt::Key_Home || key->key() == Qt::Key_End);
            if (lineKey || itemStepKey) {
                if (lineKey) {
                    QKeyEvent copy(QEvent::KeyPress, key->key(), key->modifiers());
                    grid_.keyPressEvent(&copy);
                }
                return true;
            }
        }
        // Nor does the wheel over a closed list change its item.
        if (event->type() == QEvent::Wheel && qobject_cast<QComboBox*>(object))
            return true;
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    TDBGrid& grid_;
};

// ---------------------------------------------------------------- grid

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent) {
    setFont(GothicFont(16));
    setItemDelegate(new TDBGridDelegate(*this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                    QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setTabKeyNavigation(true);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("▶")) + 10);
    horizontalHeader()->setHighlightSections(false);
    connect(qApp, &QApplication::focusChanged, this, &TDBGrid::FocusChanged);
}

TDBGrid::~TDBGrid() {
    if (source_)
        source_->RemoveLink(this);
    source_ = nullptr;
    Rebind();
}

data::DataSet* TDBGrid::DataSet() const {
    return model_ ? &model_->Source() : nullptr;
}

data::DataSetTableModel* TDBGrid::Model() const {
    return model_;
}

void TDBGrid::SetDataSource(TDataSource* source) {
    if (source_ == source)
        return;
    if (source_)
        source_->RemoveLink(this);
    source_ = source;
    if (source_)
        source_->AddLink(this);
    Rebind();
}

void TDBGrid::DataChanged(bool) {
    data::DataSet* wanted = source_ && source_->Enabled() ? source_->DataSet() : nullptr;
    if (wanted != DataSet())
        Rebind();
}

void TDBGrid::SourceDestroyed() {
    source_ = nullptr;
    Rebind();
}

void TDBGrid::Rebind() {
    data::DataSet* wanted = source_ && source_->Enabled() ? source_->DataSet() : nullptr;
    if (wanted == DataSet() && (wanted || !model_))
        return;
    TDBGridModel* old = model_;
    model_ = nullptr;
    failedWrite_.reset();
    refused_.reset();
    setModel(nullptr);
    delete old;
    if (!wanted)
        return;
    model_ = new TDBGridModel(*wanted, *this);
    setModel(model_);
    connect(model_, &data::DataSetTableModel::currentRowChanged, this, [this] { SyncViewToDataSet(); });
    connect(model_, &data::DataSetTableModel::stateChanged, this, [this] {
        // A refused text dies with the edit it was typed into (the focus left it for
        // a cancel button, which cancelled the line): nothing is left to correct.
        if (failedWrite_ && !model_->Source().IsEditing())
            failedWrite_.reset();
        UpdateIndicator();
    });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] {
        ApplyColumnWidths();
        SyncViewToDataSet();
    });
    ApplyColumnWidths();
    // A dataset bound anew (a year loaded again) starts at its first editable
    // column, not at the column the grid last stood in.
    column_ = 0;
    SelectFirstEditableColumn();
    SyncViewToDataSet();
}

void TDBGrid::ApplyColumnWidths() {
    if (!model_)
        return;
    const int charWidth = fontMetrics().horizontalAdvance(u'0');
    for (int c = 0; c < model_->columnCount(); ++c) {
        const data::Field* field = model_->FieldAt(c);
        const ColumnSpec* spec = SpecOf(field->FieldName());
        int width = spec && spec->width > 0 ? spec->width : -1;
        if (width < 0) {
            const int label = fontMetrics().horizontalAdvance(field->DisplayLabel()) + 16;
            const int chars =
                field->Type() == data::FieldType::Text ? std::clamp(field->Size(), 4, 20) * 2 : 10;
            width = std::max(label, chars * charWidth + 8);
        }
        setColumnWidth(c, width);
    }
}

TDBGrid::ColumnSpec& TDBGrid::SpecFor(const QString& fieldName) {
    return specs_[fieldName.toUpper()];
}

const TDBGrid::ColumnSpec* TDBGrid::SpecOf(const QString& fieldName) const {
    const auto it = specs_.find(fieldName.toUpper());
    return it == specs_.end() ? nullptr : &it->second;
}

void TDBGrid::SetColumnWidth(const QString& fieldName, int width) {
    SpecFor(fieldName).width = width;
    ApplyColumnWidths();
}

void TDBGrid::SetPickList(const QString& fieldName, TPickList items) {
    SpecFor(fieldName).pickList = std::move(items);
}

void TDBGrid::SetLookupList(const QString& fieldName, data::DataSet* list, const QString& keyField,
                            const QString& listField) {
    ColumnSpec& spec = SpecFor(fieldName);
    spec.lookupList = list;
    spec.lookupKey = keyField;
    spec.lookupText = listField;
}

void TDBGrid::SetEditButton(const QString& fieldName, std::function<void()> onClick) {
    SpecFor(fieldName).button = std::move(onClick);
}

void TDBGrid::SetEditMask(const QString& fieldName, const QString& picture, bool saveLiterals) {
    ColumnSpec& spec = SpecFor(fieldName);
    spec.mask = picture;
    spec.saveLiterals = saveLiterals;
}

TPickList TDBGrid::ItemsOf(const data::Field& field) const {
    const ColumnSpec* spec = SpecOf(field.FieldName());
    if (spec && spec->pickList)
        return *spec->pickList;
    data::DataSet* list = nullptr;
    QString keyName, textName;
    if (spec && spec->lookupList) {
        list = spec->lookupList;
        keyName = spec->lookupKey;
        textName = spec->lookupText;
    } else if (field.IsLookup() && !(spec && spec->button)) {
        // A lookup column with a picker button edits as text beside its button.
        list = field.Def().lookup->dataSet;
        keyName = textName = field.Def().lookup->resultField;
    }
    TPickList items;
    const data::Field* key = list && list->Active() ? list->FindField(keyName) : nullptr;
    const data::Field* text = list && list->Active() ? list->FindField(textName) : nullptr;
    if (!key || !text)
        return items;
    for (int row = 0; row < list->DisplayRowCount(); ++row)
        items.emplace_back(text->FormatDisplay(list->DisplayValue(row, *text)),
                           list->DisplayValue(row, *key));
    return items;
}

std::optional<QString> TDBGrid::ListTextOf(const data::Field& field, const db::Value& value) const {
    const ColumnSpec* spec = SpecOf(field.FieldName());
    if (!spec || (!spec->pickList && !spec->lookupList))
        return std::nullopt;
    if (value.IsNull())
        return QString();
    if (spec->pickList) {
        for (const auto& item : *spec->pickList)
            if (field.Normalized(item.second) == value)
                return item.first;
        return field.FormatDisplay(value);
    }
    const auto text = spec->lookupList->Lookup(spec->lookupKey, {value}, spec->lookupText);
    return text ? text->AsString() : QString();
}

std::optional<QString> TDBGrid::MaskedTextOf(const data::Field& field, const db::Value& value) const {
    const ColumnSpec* spec = SpecOf(field.FieldName());
    if (!spec || spec->mask.isEmpty())
        return std::nullopt;
    const QString text = field.FormatDisplay(value);
    if (text.isEmpty())
        return QString();
    // Blank positions read as spaces here; the underscores are an editing aid.
    return ValueToMaskedText(text, spec->mask, spec->saveLiterals).replace(u'_', u' ');
}

// ---------------------------------------------------------------- cells

bool TDBGrid::IsCellReadOnly(int row, int column) const {
    const data::Field* field = model_ ? model_->FieldAt(column) : nullptr;
    if (!field)
        return true;
    if (field->Def().readOnly)
        return true;
    return IsReadOnlyCell && IsReadOnlyCell(*field, row);
}

bool TDBGrid::IsEditable(int row, int column) const {
    return !isColumnHidden(column) && !IsCellReadOnly(row, column);
}

int TDBGrid::SelectedIndex() const {
    return currentIndex().isValid() ? currentIndex().column() : column_;
}

void TDBGrid::SetSelectedIndex(int column) {
    if (!model_ || column < 0 || column >= model_->columnCount())
        return;
    column_ = column;
    const data::DataSet& ds = model_->Source();
    const int row = ds.Active() ? ds.DisplayRowOfCursor() : -1;
    if (row >= 0)
        SetCurrentCell(row, column);
}

data::Field* TDBGrid::SelectedField() const {
    return model_ ? model_->FieldAt(SelectedIndex()) : nullptr;
}

void TDBGrid::SetSelectedField(const QString& fieldName) {
    if (model_)
        SetSelectedIndex(model_->ColumnOf(fieldName));
}

void TDBGrid::SelectFirstEditableColumn() {
    if (!model_)
        return;
    const int row = model_->Source().Active() ? model_->Source().DisplayRowOfCursor() : -1;
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (IsEditable(std::max(row, 0), c)) {
            SetSelectedIndex(c);
            return;
        }
    }
}

void TDBGrid::SetCurrentCell(int row, int column) {
    if (!model_ || row < 0 || row >= model_->rowCount())
        return;
    column = std::clamp(column, 0, std::max(model_->columnCount() - 1, 0));
    const QModelIndex target = model_->index(row, column);
    if (target != currentIndex()) {
        const bool was = std::exchange(syncing_, true);
        setCurrentIndex(target);
        syncing_ = was;
    }
    column_ = column;
    scrollTo(target);
    UpdateIndicator();
    OpenEditorLater();
}

void TDBGrid::SyncViewToDataSet() {
    if (!model_)
        return;
    const data::DataSet& ds = model_->Source();
    const int row = ds.Active() ? ds.DisplayRowOfCursor() : -1;
    if (row >= 0)
        SetCurrentCell(row, currentIndex().isValid() ? currentIndex().column() : column_);
    UpdateIndicator();
}

void TDBGrid::UpdateIndicator() {
    if (model_)
        model_->IndicatorChanged();
}

// ---------------------------------------------------------------- editing

void TDBGrid::EditorOpened(QWidget* editor, const QModelIndex&) {
    editor_ = editor;
}

void TDBGrid::BeginRowEdit() {
    refused_.reset();  // a new text, to be judged afresh
    data::DataSet* ds = DataSet();
    if (!ds || ds->IsEditing())
        return;
    const QModelIndex index = currentIndex();
    RunGuarded([&] {
        if (index.isValid())
            ds->MoveToDisplayRow(index.row());
        ds->Edit();
    });
}

void TDBGrid::WriteCell(const QModelIndex& index, const QString& text,
                        const std::optional<db::Value>& chosen) {
    data::DataSet* ds = DataSet();
    data::Field* field = model_ ? model_->FieldAt(index.column()) : nullptr;
    if (!ds || !field || IsCellReadOnly(index.row(), index.column()))
        return;
    try {
        ds->MoveToDisplayRow(index.row());
        ds->Edit();
        if (chosen)
            field->SetValue(*chosen);
        else
            field->SetText(text);
        refused_.reset();
    } catch (...) {
        failedWrite_ = FailedWrite{std::current_exception(), index.row(), index.column(), text};
    }
}

void TDBGrid::UpdateData() {
    QWidget* editor = editor_;
    if (!editor)
        return;
    keyCommit_ = true;
    QTableView::commitData(editor);
    keyCommit_ = false;
    if (failedWrite_) {
        const FailedWrite failed = *std::exchange(failedWrite_, std::nullopt);
        refused_ = Refusal{failed.row, failed.column, failed.text};  // the caller shows it
        editor->setFocus();
        std::rethrow_exception(failed.error);
    }
}

bool TDBGrid::IsRefusedAgain(const FailedWrite& failed) const {
    return refused_ && refused_->row == failed.row && refused_->column == failed.column &&
           refused_->text == failed.text;
}

void TDBGrid::commitData(QWidget* editor) {
    QTableView::commitData(editor);
    if (failedWrite_ && !keyCommit_ && IsRefusedAgain(*failedWrite_)) {
        // The refusal's message box (or the focus moving on after it) took the focus
        // from the editor, which committed the same text again: its message is out
        // already. The editor stays open with the text for the user to correct.
        failedWrite_.reset();
        keepEditor_ = true;
        return;
    }
    if (failedWrite_ && !keyCommit_ && !viewMovePending_) {
        // Left by the mouse or by a focus change: reported once that is over.
        viewMovePending_ = true;
        QMetaObject::invokeMethod(
            this, [this] { ViewMoved(); }, Qt::QueuedConnection);
    }
}

void TDBGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (std::exchange(keepEditor_, false) && editor == editor_)
        return;
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem)
        hint = QAbstractItemDelegate::NoHint;  // the grid moves itself
    if (editor == editor_)
        editor_ = nullptr;
    QTableView::closeEditor(editor, hint);
}

bool TDBGrid::CommitEditor() {
    try {
        UpdateData();
    } catch (...) {
        HandleException(std::current_exception());
        // Once the box is closed the keyboard is back in the cell, at the text.
        if (QWidget* editor = editor_)
            editor->setFocus();
        return false;
    }
    if (QWidget* editor = editor_) {
        editor_ = nullptr;
        QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    }
    return true;
}

void TDBGrid::CancelEdit() {
    if (QWidget* editor = editor_) {
        editor_ = nullptr;
        QTableView::closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    }
    failedWrite_.reset();
    refused_.reset();
    if (data::DataSet* ds = DataSet(); ds && ds->IsEditing())
        RunGuarded([ds] { ds->Cancel(); });
    SyncViewToDataSet();
    setFocus();
    OpenEditorLater();
}

void TDBGrid::PressEditButton() {
    const data::Field* field = SelectedField();
    const ColumnSpec* spec = field ? SpecOf(field->FieldName()) : nullptr;
    if (!spec || !spec->button || IsCellReadOnly(currentIndex().row(), SelectedIndex()))
        return;
    if (!CommitEditor())
        return;
    const auto onClick = spec->button;
    RunGuarded(onClick);
    setFocus();
    OpenEditorLater();
}

void TDBGrid::OpenEditorLater() {
    if (alwaysShowEditor_)
        QMetaObject::invokeMethod(
            this, [this] { OpenEditor(); }, Qt::QueuedConnection);
}

void TDBGrid::OpenEditor() {
    const QModelIndex index = currentIndex();
    if (!alwaysShowEditor_ || editor_ || !index.isValid() || !hasFocus())
        return;
    if (model_->flags(index) & Qt::ItemIsEditable)
        edit(index);
}

void TDBGrid::SetAlwaysShowEditor(bool on) {
    alwaysShowEditor_ = on;
    OpenEditorLater();
}

// ---------------------------------------------------------------- moving

bool TDBGrid::Untouched() {
    data::DataSet& ds = model_->Source();
    if (ds.State() != data::DataSetState::Insert)
        return false;
    return IsUntouchedNewRow ? IsUntouchedNewRow(ds) : !ds.Modified();
}

int TDBGrid::LeaveRow(int target) {
    data::DataSet& ds = model_->Source();
    if (Untouched()) {
        const int phantom = ds.DisplayRowOfCursor();
        ds.Cancel();
        if (target > phantom)
            --target;
    }
    ds.MoveToDisplayRow(target);
    return ds.DisplayRowOfCursor();
}

bool TDBGrid::GoToRow(int row, int column) {
    if (!model_ || !model_->Source().Active())
        return false;
    data::DataSet& ds = model_->Source();
    if (row != ds.DisplayRowOfCursor()) {
        try {
            row = LeaveRow(row);
        } catch (...) {
            // The cursor stays on the row that could not be left.
            SyncViewToDataSet();
            HandleException(std::current_exception());
            SyncViewToDataSet();
            return false;
        }
    }
    SetCurrentCell(row, column);
    return true;
}

bool TDBGrid::AppendRow() {
    data::DataSet& ds = model_->Source();
    if (Untouched())
        return true;  // already on a new row
    const bool ok = RunGuarded([&] {
        ds.CheckBrowseMode();
        ds.Append();
    });
    SyncViewToDataSet();
    if (ok)
        SelectFirstEditableColumn();
    return ok;
}

bool TDBGrid::MoveCell(int direction) {
    if (!model_ || !model_->Source().Active() || model_->columnCount() == 0)
        return false;
    if (!CommitEditor())
        return true;
    const int columns = model_->columnCount();
    const QModelIndex current = currentIndex();
    const int row = current.isValid() ? current.row() : 0;
    const int column = current.isValid() ? current.column() : 0;
    if (model_->rowCount() > 0) {
        for (int c = column + direction; c >= 0 && c < columns; c += direction) {
            if (IsEditable(row, c)) {
                SetCurrentCell(row, c);
                return true;
            }
        }
    }
    if (direction > 0) {
        if (row + 1 < model_->rowCount()) {
            if (!GoToRow(row + 1, column))
                return true;
            SelectFirstEditableColumn();
            return true;
        }
        if (!allowAppend_)
            return false;
        AppendRow();
        return true;
    }
    if (row > 0) {
        if (!GoToRow(row - 1, column))
            return true;
        const int at = currentIndex().row();
        for (int c = columns - 1; c >= 0; --c) {
            if (IsEditable(at, c)) {
                SetCurrentCell(at, c);
                break;
            }
        }
        return true;
    }
    return false;
}

void TDBGrid::keyPressEvent(QKeyEvent* event) {
    if (!model_) {
        QTableView::keyPressEvent(event);
        return;
    }
    const auto mods = event->modifiers();
    const bool plain = !(mods & (Qt::ControlModifier | Qt::AltModifier));
    if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) && (mods & Qt::ControlModifier)) {
        // Ctrl+Tab leaves the grid (Tab moves from cell to cell).
        const bool back = event->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier);
        if (CommitEditor())
            QWidget::focusNextPrevChild(!back);
        event->accept();
        return;
    }
    switch (event->key()) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            const int direction = event->key() == Qt::Key_Backtab || (mods & Qt::ShiftModifier) ? -1 : +1;
            if (plain && MoveCell(direction))
                event->accept();
            else
                event->ignore();
            return;
        }
        case Qt::Key_Escape:
            if (model_->Source().IsEditing()) {
                CancelEdit();
                event->accept();
            } else {
                event->ignore();
            }
            return;
        case Qt::Key_F4:
            PressEditButton();
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown: {
            if (mods & Qt::AltModifier) {
                if (event->key() == Qt::Key_Down)
                    PressEditButton();
                return;
            }
            if (!CommitEditor())
                return;
            const data::DataSet& ds = model_->Source();
            const int row = currentIndex().isValid() ? currentIndex().row() : 0;
            if (event->key() == Qt::Key_Down && row + 1 >= model_->rowCount()) {
                if (allowAppend_ && ds.Active() && (ds.IsEditing() ? ds.Modified() : ds.RecordCount() > 0))
                    AppendRow();
                return;
            }
            const CursorAction action = event->key() == Qt::Key_Up       ? MoveUp
                                        : event->key() == Qt::Key_Down   ? MoveDown
                                        : event->key() == Qt::Key_PageUp ? MovePageUp
                                                                         : MovePageDown;
            const QModelIndex target = moveCursor(action, mods);
            if (target.isValid())
                GoToRow(target.row(), SelectedIndex());
            return;
        }
        default:
            // Typing into an empty grid that kept the focus (its only line was just
            // cancelled) starts the first row with the character typed.
            if (plain && !event->text().isEmpty() && event->text().at(0).isPrint())
                OfferFirstRow();
            break;
    }
    QTableView::keyPressEvent(event);
}

void TDBGrid::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    OfferFirstRow();
    OpenEditorLater();
}

void TDBGrid::OfferFirstRow() {
    if (!model_ || !allowAppend_)
        return;
    data::DataSet& ds = model_->Source();
    if (!ds.Active() || ds.State() != data::DataSetState::Browse || ds.RecordCount() != 0)
        return;
    RunGuarded([&] { ds.Append(); });
    SyncViewToDataSet();
    SelectFirstEditableColumn();
}

void TDBGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        column_ = current.column();
    UpdateIndicator();
    if (syncing_ || !model_ || !current.isValid())
        return;
    const data::DataSet& ds = model_->Source();
    if (ds.Active() && current.row() != ds.DisplayRowOfCursor() && !viewMovePending_) {
        // Moved by the mouse: the dataset follows once the click is over.
        viewMovePending_ = true;
        QMetaObject::invokeMethod(
            this, [this] { ViewMoved(); }, Qt::QueuedConnection);
        return;
    }
    OpenEditorLater();
}

void TDBGrid::ViewMoved() {
    viewMovePending_ = false;
    if (!model_)
        return;
    if (failedWrite_) {
        ReportFailedWrite();
        return;
    }
    const QModelIndex current = currentIndex();
    if (current.isValid())
        GoToRow(current.row(), current.column());
}

void TDBGrid::ReportFailedWrite() {
    FailedWrite failed = *std::exchange(failedWrite_, std::nullopt);
    SyncViewToDataSet();
    refused_ = Refusal{failed.row, failed.column, failed.text};
    HandleException(failed.error);
    // Back to the cell with what was typed, for the user to correct.
    SetCurrentCell(model_->Source().DisplayRowOfCursor(), failed.column);
    setFocus();
    const QModelIndex index = currentIndex();
    if (index.isValid() && (model_->flags(index) & Qt::ItemIsEditable) && !editor_) {
        reopenText_ = failed.text;
        edit(index);
        reopenText_.reset();
    }
}

void TDBGrid::FocusChanged(QWidget* old, QWidget* now) {
    const bool wasIn = old && (old == this || isAncestorOf(old));
    const bool isIn = now && (now == this || isAncestorOf(now));
    if (!wasIn || isIn || !now || now->window() != window() || !model_)
        return;
    // Within the window only: message boxes and drop-down lists take the focus for a while.
    if (!failedWrite_ && Untouched()) {
        try {
            model_->Source().Cancel();
        } catch (...) {
            auto error = std::current_exception();
            QMetaObject::invokeMethod(
                this, [error] { HandleException(error); }, Qt::QueuedConnection);
        }
    }
    QPointer<QWidget> target = now;
    QMetaObject::invokeMethod(
        this, [this, target] { emit Exited(target); }, Qt::QueuedConnection);
}
