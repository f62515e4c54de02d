#include "data/DataSet.h"

#include "core/Errors.h"
#include "data/DataSetObserver.h"
#include "data/FieldFormat.h"
#include "data/RowStore.h"
#include "data/SqlCommand.h"
#include "data/UpdateSql.h"

#include <QStringList>

#include <algorithm>

namespace data {

namespace {

FieldType TypeOf(db::Connection::Column::Type type) {
    switch (type) {
        case db::Connection::Column::Type::Integer:
            return FieldType::Integer;
        case db::Connection::Column::Type::Float:
            return FieldType::Float;
        default:
            return FieldType::Text;
    }
}

QStringList SplitNames(const QString& names) {
    QStringList result;
    for (const QString& name : names.split(u';', Qt::SkipEmptyParts))
        result << name.trimmed();
    return result;
}

// `v` in the type of `field` for an exact comparison; nullopt when it has none.
std::optional<db::Value> AsFieldType(const Field& field, const db::Value& v) {
    if (v.IsNull())
        return v;
    switch (field.Type()) {
        case FieldType::Integer: {
            if (v.IsInteger())
                return v;
            bool ok = false;
            const qint64 i = v.AsString().trimmed().toLongLong(&ok);
            if (ok)
                return db::Value(i);
            if (v.IsFloat() && v.AsFloat() == static_cast<double>(v.AsInteger()))
                return db::Value(v.AsInteger());
            return std::nullopt;
        }
        case FieldType::Float: {
            bool ok = true;
            const double d = v.IsText() ? v.AsString().trimmed().toDouble(&ok) : v.AsFloat();
            if (!ok)
                return std::nullopt;
            return db::Value(d);
        }
        case FieldType::Text:
            return db::Value(v.AsString());
    }
    return std::nullopt;
}

bool RowHasUnpairedSurrogate(const Row& row) {
    for (std::size_t c = 0; c < row.values.Size(); ++c)
        if (const db::Value v = row.values.At(c); v.IsText() && HasUnpairedSurrogate(v.AsString()))
            return true;
    return false;
}

UpdateKind KindOf(const Row& row) {
    switch (row.status) {
        case RowStatus::Inserted:
            return UpdateKind::Insert;
        case RowStatus::Deleted:
            return UpdateKind::Delete;
        default:
            return UpdateKind::Modify;
    }
}

}  // namespace

// Tells the other datasets sharing the rows that the rows change under them.
class DataSet::SharedChange {
  public:
    SharedChange(DataSet& self, bool includeSelf) {
        for (DataSet* d : self.store_->datasets) {
            if (d == &self && !includeSelf)
                continue;
            affected_.push_back(d);
            d->NotifyReset(true);
        }
    }
    ~SharedChange() {
        for (DataSet* d : affected_)
            d->NotifyReset(false);
    }
    SharedChange(const SharedChange&) = delete;
    SharedChange& operator=(const SharedChange&) = delete;

    void Forget(const Row* row) {
        for (DataSet* d : affected_)
            d->Forget(row);
    }

  private:
    std::vector<DataSet*> affected_;
};

DataSet::DataSet(QString name) : Component(std::move(name)) {}

DataSet::~DataSet() {
    Detach();
}

// ---------------------------------------------------------------- fields

Field& DataSet::AddField(FieldDef def) {
    if (Active())
        throw EAppError(Name() + QStringLiteral("は開いているためフィールドを追加できません。"));
    if (FindField(def.name))
        throw EAppError(QStringLiteral("フィールド '%1' が重複しています。").arg(def.name));
    fields_.push_back(std::make_unique<Field>(*this, std::move(def)));
    ++declaredCount_;
    return *fields_.back();
}

Field* DataSet::FindField(const QString& name) const {
    for (const auto& f : fields_)
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field& DataSet::FieldByName(const QString& name) const {
    if (Field* f = FindField(name))
        return *f;
    throw EAppError(Name() + QStringLiteral(": フィールド '%1' が見つかりません。").arg(name));
}

void DataSet::SetConnection(db::Connection* connection) {
    connection_ = connection;
    if (store_ && !store_->use)
        store_->connection = connection;
}

RowStatus DataSet::UpdateStatus() const {
    const Row* row = Active() ? CurrentRow() : nullptr;
    return row ? row->status : RowStatus::Unmodified;
}

void DataSet::SetParam(const QString& name, const db::Value& value) {
    SetParamValue(params_, name, value);
}

void DataSet::SetUpdateTable(QString table, QString keyFields) {
    updateTable_ = std::move(table);
    keyFields_ = std::move(keyFields);
    if (store_) {
        store_->updateTable = updateTable_;
        store_->keyFields = SplitNames(keyFields_);
    }
}

// ---------------------------------------------------------------- open / close

void DataSet::Open() {
    if (Active())
        return;
    db::Connection* connection = command_ ? command_->Connection() : connection_;
    if (!connection)
        throw EAppError(Name() + QStringLiteral("の接続が設定されていません。"));
    auto store = std::make_shared<RowStore>();
    store->connection = connection;
    store->use.emplace(connection->UseDataset());
    // Each row is packed as it is fetched: the query's rows are never held unpacked.
    connection->SelectEach(
        command_ ? command_->CommandText() : commandText_, command_ ? command_->Params() : params_,
        [&](const std::vector<db::Connection::Column>& columns) {
            for (const auto& c : columns)
                store->columns.push_back({c.name, c.name, true, TypeOf(c.type), c.length});
        },
        [&](const std::vector<db::Value>& values) { store->Load(values); });
    store->updateTable = updateTable_;
    store->keyFields = SplitNames(keyFields_);
    for (std::size_t i = 0; i < declaredCount_; ++i) {
        const FieldDef& def = fields_[i]->Def();
        const int column = def.lookup ? -1 : store->ColumnIndex(def.name);
        if (column < 0)
            continue;
        StoreColumn& c = store->columns[static_cast<std::size_t>(column)];
        c.origin = def.Origin();
        c.inUpdate = def.inUpdate;
        c.type = def.type;
    }
    Attach(std::move(store));
}

void DataSet::CreateDataSet() {
    if (Active())
        return;
    auto store = std::make_shared<RowStore>();
    store->connection = connection_;
    for (std::size_t i = 0; i < declaredCount_; ++i) {
        const FieldDef& def = fields_[i]->Def();
        if (!def.lookup)
            store->columns.push_back({def.name, def.Origin(), def.inUpdate, def.type, def.size});
    }
    store->updateTable = updateTable_;
    store->keyFields = SplitNames(keyFields_);
    Attach(std::move(store));
}

void DataSet::CloneCursor(DataSet& source, bool keepSettings) {
    source.RequireActive();
    Close();
    for (const auto& f : source.fields_) {
        if (!FindField(f->FieldName()))
            fields_.push_back(std::make_unique<Field>(*this, f->Def()));
    }
    if (keepSettings) {
        filterText_ = source.filterText_;
        filter_ = FilterExpression::Parse(filterText_);
        filtered_ = source.filtered_;
    }
    Attach(source.store_);
}

void DataSet::Attach(std::shared_ptr<RowStore> store) {
    NotifyReset(true);
    store_ = std::move(store);
    store_->datasets.push_back(this);
    try {
        BindFields();
    } catch (...) {
        Detach();
        fields_.resize(declaredCount_);
        NotifyReset(false);
        throw;
    }
    dirty_ = true;
    current_ = nullptr;
    index_ = -1;
    state_ = DataSetState::Browse;
    EnsureVisible();
    index_ = visible_.empty() ? -1 : 0;
    current_ = visible_.empty() ? nullptr : visible_.front();
    bof_ = true;
    eof_ = visible_.empty();
    NotifyReset(false);
    for (DataSetObserver* o : observers_)
        o->StateChanged();
    if (OnStateChange)
        OnStateChange(*this);
    if (AfterOpen)
        AfterOpen(*this);
    Scrolled();
}

void DataSet::BindFields() {
    for (std::size_t i = 0; i < declaredCount_; ++i) {
        Field& f = *fields_[i];
        if (f.IsLookup())
            continue;
        const int column = store_->ColumnIndex(f.FieldName());
        if (column < 0)
            throw EAppError(Name() +
                            QStringLiteral(": フィールド '%1' が見つかりません。").arg(f.FieldName()));
        f.column_ = column;
    }
    for (std::size_t c = 0; c < store_->columns.size(); ++c) {
        const StoreColumn& column = store_->columns[c];
        Field* f = FindField(column.name);
        if (!f) {
            FieldDef def;
            def.name = column.name;
            def.type = column.type;
            def.origin = column.origin;
            def.inUpdate = column.inUpdate;
            fields_.push_back(std::make_unique<Field>(*this, std::move(def)));
            f = fields_.back().get();
        }
        f->column_ = static_cast<int>(c);
    }
    for (const auto& f : fields_) {
        if (f->IsLookup() || f->column_ < 0)
            continue;
        f->size_ =
            f->Def().size > 0 ? f->Def().size : store_->columns[static_cast<std::size_t>(f->column_)].length;
    }
    filterFields_ = ResolveFilterFields(filter_);
}

void DataSet::Detach() {
    if (!store_)
        return;
    auto& list = store_->datasets;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    store_.reset();
}

void DataSet::Close() {
    if (!Active())
        return;
    NotifyReset(true);
    buffer_.clear();
    modified_ = false;
    editRow_ = nullptr;
    insertBefore_ = nullptr;
    visible_.clear();
    current_ = nullptr;
    index_ = -1;
    Detach();
    fields_.resize(declaredCount_);
    for (const auto& f : fields_)
        f->column_ = -1;
    state_ = DataSetState::Inactive;
    NotifyReset(false);
    for (DataSetObserver* o : observers_)
        o->StateChanged();
    if (OnStateChange)
        OnStateChange(*this);
}

void DataSet::RequireActive() const {
    if (!Active())
        throw EAppError(Name() + QStringLiteral("が開かれていません。"));
}

void DataSet::RequireEditing() const {
    if (!IsEditing())
        throw EAppError(Name() + QStringLiteral("が編集状態ではありません。"));
}

void DataSet::SetState(DataSetState state) {
    if (state_ == state)
        return;
    state_ = state;
    for (DataSetObserver* o : observers_)
        o->StateChanged();
    if (OnStateChange)
        OnStateChange(*this);
}

// ---------------------------------------------------------------- rows and cursor

bool DataSet::Matches(RowRef values) const {
    return filter_.Evaluate(
        [&](int i) { return filterFields_[static_cast<std::size_t>(i)]->ValueIn(values); });
}

bool DataSet::PassesFilter(RowRef values) const {
    return !filtered_ || filter_.IsEmpty() || Matches(values);
}

void DataSet::EnsureVisible() const {
    if (dirty_)
        Rebuild();
}

void DataSet::Rebuild() const {
    const int oldIndex = index_;
    visible_.clear();
    dirty_ = false;
    index_ = -1;
    if (!store_) {
        current_ = nullptr;
        return;
    }
    for (const auto& row : store_->rows) {
        if (row->status == RowStatus::Deleted || !PassesFilter(row->values))
            continue;
        if (row.get() == current_)
            index_ = static_cast<int>(visible_.size());
        visible_.push_back(row.get());
    }
    if (index_ < 0 && !visible_.empty()) {
        index_ = std::clamp(oldIndex, 0, static_cast<int>(visible_.size()) - 1);
    }
    current_ = index_ >= 0 ? visible_[static_cast<std::size_t>(index_)] : nullptr;
}

void DataSet::Forget(const Row* row) {
    if (current_ == row)
        current_ = nullptr;
    if (insertBefore_ == row)
        insertBefore_ = nullptr;
    if (editRow_ == row) {
        editRow_ = nullptr;
        buffer_.clear();
        modified_ = false;
        state_ = DataSetState::Browse;
    }
    dirty_ = true;
}

void DataSet::NotifyReset(bool begin) {
    if (begin) {
        for (DataSetObserver* o : observers_)
            o->BeginReset();
        return;
    }
    dirty_ = true;
    if (editRow_ && editRow_->status == RowStatus::Deleted)
        Forget(editRow_);
    for (DataSetObserver* o : observers_)
        o->EndReset();
}

Row* DataSet::CurrentRow() const {
    EnsureVisible();
    return index_ >= 0 ? visible_[static_cast<std::size_t>(index_)] : nullptr;
}

std::optional<RowRef> DataSet::CurrentValues() const {
    if (IsEditing())
        return RowRef(buffer_);
    const Row* row = Active() ? CurrentRow() : nullptr;
    if (!row)
        return std::nullopt;
    return RowRef(row->values);
}

int DataSet::RecordCount() const {
    if (!Active())
        return 0;
    EnsureVisible();
    return static_cast<int>(visible_.size());
}

int DataSet::RecIndex() const {
    if (!Active())
        return -1;
    EnsureVisible();
    return index_;
}

void DataSet::Scrolled() {
    for (DataSetObserver* o : observers_)
        o->Scrolled();
    if (AfterScroll)
        AfterScroll(*this);
}

void DataSet::MoveTo(int index) {
    RequireActive();
    CheckBrowseMode();
    EnsureVisible();
    const int count = static_cast<int>(visible_.size());
    index_ = count == 0 ? -1 : std::clamp(index, 0, count - 1);
    current_ = index_ >= 0 ? visible_[static_cast<std::size_t>(index_)] : nullptr;
    // Bof and Eof tell that a move went past an end (or that there is no row).
    bof_ = eof_ = count == 0;
    Scrolled();
}

void DataSet::First() {
    MoveTo(0);
    bof_ = true;
}

void DataSet::Last() {
    MoveTo(RecordCount() - 1);
    eof_ = true;
}

void DataSet::Next() {
    Step(+1);
}

void DataSet::Prior() {
    Step(-1);
}

void DataSet::Step(int delta) {
    RequireActive();
    CheckBrowseMode();
    EnsureVisible();
    const int target = index_ + delta;
    if (target >= 0 && target < static_cast<int>(visible_.size())) {
        index_ = target;
        current_ = visible_[static_cast<std::size_t>(index_)];
        bof_ = eof_ = false;
        Scrolled();
    } else if (delta > 0) {
        eof_ = true;
    } else {
        bof_ = true;
    }
}

// ---------------------------------------------------------------- editing

void DataSet::CheckBrowseMode() {
    if (IsEditing())
        Post();
}

int DataSet::PhantomRow() const {
    if (state_ != DataSetState::Insert)
        return -1;
    EnsureVisible();
    if (insertBefore_) {
        const auto it = std::find(visible_.begin(), visible_.end(), insertBefore_);
        if (it != visible_.end())
            return static_cast<int>(it - visible_.begin());
    }
    return static_cast<int>(visible_.size());
}

void DataSet::StartNewRow(bool append) {
    RequireActive();
    failedAfter_ = nullptr;
    CheckBrowseMode();
    if (BeforeInsert)
        BeforeInsert(*this);
    insertBefore_ = append ? nullptr : CurrentRow();
    buffer_.assign(store_->columns.size(), db::Value());
    modified_ = false;
    state_ = DataSetState::Insert;
    const int row = PhantomRow();
    state_ = DataSetState::Browse;
    for (DataSetObserver* o : observers_)
        o->BeginInsertRow(row);
    state_ = DataSetState::Insert;
    for (DataSetObserver* o : observers_)
        o->EndInsertRow();
    for (DataSetObserver* o : observers_)
        o->StateChanged();
    if (OnStateChange)
        OnStateChange(*this);
    try {
        if (OnNewRecord)
            OnNewRecord(*this);
    } catch (...) {
        // A failing OnNewRecord leaves no new row behind.
        for (DataSetObserver* o : observers_)
            o->BeginRemoveRow(row);
        state_ = DataSetState::Browse;
        buffer_.clear();
        insertBefore_ = nullptr;
        for (DataSetObserver* o : observers_)
            o->EndRemoveRow();
        for (DataSetObserver* o : observers_)
            o->StateChanged();
        if (OnStateChange)
            OnStateChange(*this);
        throw;
    }
    modified_ = false;  // the defaults are not the user's changes
    RunAfter(AfterInsert);
    Scrolled();
}

void DataSet::Append() {
    StartNewRow(true);
}

void DataSet::Insert() {
    StartNewRow(false);
}

void DataSet::Edit() {
    RequireActive();
    if (IsEditing())
        return;
    failedAfter_ = nullptr;
    if (RecordCount() == 0) {
        Insert();
        return;
    }
    if (BeforeEdit)
        BeforeEdit(*this);
    editRow_ = CurrentRow();
    buffer_ = editRow_->values.Unpack();
    modified_ = false;
    SetState(DataSetState::Edit);
    RunAfter(AfterEdit);
}

void DataSet::SetBufferValue(int column, db::Value value) {
    buffer_[static_cast<std::size_t>(column)] = std::move(value);
    modified_ = true;
    const int row = DisplayRowOfCursor();
    for (DataSetObserver* o : observers_)
        o->RowChanged(row);
}

void DataSet::CheckRequired() const {
    for (const auto& f : fields_) {
        if (!f->Def().required || f->IsLookup())
            continue;
        if (f->ValueIn(buffer_).IsNull())
            throw EAppError(f->DisplayLabel() + QStringLiteral("を入力してください。"));
    }
}

void DataSet::Post() {
    RequireEditing();
    failedAfter_ = nullptr;
    if (BeforePost)
        BeforePost(*this);
    if (!IsEditing())
        return;  // the handler ended the edit itself
    CheckRequired();
    const bool passes = PassesFilter(buffer_);
    Row* posted = nullptr;
    int row = -1;
    if (state_ == DataSetState::Insert) {
        row = PhantomRow();
        const qsizetype position = insertBefore_ ? store_->IndexOf(insertBefore_) : -1;
        {
            SharedChange change(*this, false);
            posted = store_->Insert(position, buffer_);
        }
        insertBefore_ = nullptr;
        if (passes)
            visible_.insert(visible_.begin() + row, posted);
    } else {
        posted = editRow_;
        if (!posted)
            throw EAppError(Name() + QStringLiteral("の編集中の行は削除されています。"));
        EnsureVisible();
        row = index_;
        {
            SharedChange change(*this, false);
            store_->Modify(posted, buffer_);
        }
        editRow_ = nullptr;
    }
    buffer_.clear();
    modified_ = false;
    if (passes) {
        index_ = row;
        current_ = posted;
        state_ = DataSetState::Browse;
        for (DataSetObserver* o : observers_)
            o->RowChanged(row);
    } else {
        // The row no longer passes this dataset's filter: it leaves the dataset.
        for (DataSetObserver* o : observers_)
            o->BeginRemoveRow(row);
        state_ = DataSetState::Browse;
        if (row < static_cast<int>(visible_.size()) && visible_[static_cast<std::size_t>(row)] == posted)
            visible_.erase(visible_.begin() + row);
        const int count = static_cast<int>(visible_.size());
        index_ = count == 0 ? -1 : std::min(row, count - 1);
        current_ = index_ >= 0 ? visible_[static_cast<std::size_t>(index_)] : nullptr;
        for (DataSetObserver* o : observers_)
            o->EndRemoveRow();
    }
    for (DataSetObserver* o : observers_)
        o->StateChanged();
    if (OnStateChange)
        OnStateChange(*this);
    RunAfter(AfterPost);
}

void DataSet::Cancel() {
    if (!IsEditing())
        return;
    failedAfter_ = nullptr;
    if (BeforeCancel)
        BeforeCancel(*this);
    bool moved = false;
    if (state_ == DataSetState::Insert) {
        const int row = PhantomRow();
        const bool appended = insertBefore_ == nullptr;
        for (DataSetObserver* o : observers_)
            o->BeginRemoveRow(row);
        state_ = DataSetState::Browse;
        buffer_.clear();
        insertBefore_ = nullptr;
        for (DataSetObserver* o : observers_)
            o->EndRemoveRow();
        // An appended row went at the end: dropping it leaves the cursor on the last
        // row, where the user was, not back where the cursor stood before the append.
        const int last = static_cast<int>(visible_.size()) - 1;
        if (appended && last >= 0 && index_ != last) {
            index_ = last;
            current_ = visible_.back();
            moved = true;
        }
    } else {
        EnsureVisible();
        state_ = DataSetState::Browse;
        buffer_.clear();
        editRow_ = nullptr;
        for (DataSetObserver* o : observers_)
            o->RowChanged(index_);
    }
    modified_ = false;
    for (DataSetObserver* o : observers_)
        o->StateChanged();
    if (moved)
        for (DataSetObserver* o : observers_)
            o->Scrolled();
    if (OnStateChange)
        OnStateChange(*this);
    RunAfter(AfterCancel);
}

void DataSet::Delete() {
    RequireActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    failedAfter_ = nullptr;
    if (RecordCount() == 0)
        throw EAppError(QStringLiteral("削除する行がありません。"));
    if (BeforeDelete)
        BeforeDelete(*this);
    if (state_ == DataSetState::Insert || RecordCount() == 0)
        return;  // the handler moved on to a new row or removed the rows itself
    EnsureVisible();
    const int row = index_;
    Row* target = visible_[static_cast<std::size_t>(row)];
    const bool wasEditing = state_ == DataSetState::Edit;
    for (DataSetObserver* o : observers_)
        o->BeginRemoveRow(row);
    state_ = DataSetState::Browse;
    buffer_.clear();
    editRow_ = nullptr;
    modified_ = false;
    std::unique_ptr<Row> gone;
    {
        SharedChange change(*this, false);
        gone = store_->Delete(target);
        if (gone)
            change.Forget(gone.get());
    }
    visible_.erase(visible_.begin() + row);
    const int count = static_cast<int>(visible_.size());
    index_ = count == 0 ? -1 : std::min(row, count - 1);
    current_ = index_ >= 0 ? visible_[static_cast<std::size_t>(index_)] : nullptr;
    for (DataSetObserver* o : observers_)
        o->EndRemoveRow();
    if (wasEditing) {
        for (DataSetObserver* o : observers_)
            o->StateChanged();
        if (OnStateChange)
            OnStateChange(*this);
    }
    RunAfter(AfterDelete);
    Scrolled();
}

void DataSet::RunAfter(const Event& event) {
    failedAfter_ = nullptr;
    if (!event)
        return;
    try {
        event(*this);
    } catch (...) {
        failedAfter_ = &event;
        throw;
    }
}

void DataSet::RetryAfterEvent() {
    const Event* event = failedAfter_;
    if (event)
        RunAfter(*event);
}

// ---------------------------------------------------------------- searching

std::vector<const Field*> DataSet::ResolveFilterFields(const FilterExpression& filter) const {
    std::vector<const Field*> fields;
    for (const QString& name : filter.FieldNames()) {
        const Field* f = FindField(name);
        if (!f)
            throw EAppError(QStringLiteral("フィルタ式のフィールド '%1' が見つかりません。").arg(name));
        fields.push_back(f);
    }
    return fields;
}

std::vector<const Field*> DataSet::FieldsOf(const QString& names, std::size_t count) const {
    std::vector<const Field*> fields;
    for (const QString& name : SplitNames(names))
        fields.push_back(&FieldByName(name));
    if (fields.size() != count)
        throw EAppError(Name() + QStringLiteral(": 検索するフィールドと値の数が一致しません。"));
    return fields;
}

int DataSet::FindRow(const std::vector<const Field*>& fields, const std::vector<db::Value>& values) const {
    std::vector<db::Value> wanted;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        auto v = AsFieldType(*fields[k], values[k]);
        if (!v)
            return -1;
        wanted.push_back(std::move(*v));
    }
    EnsureVisible();
    for (std::size_t i = 0; i < visible_.size(); ++i) {
        bool equal = true;
        for (std::size_t k = 0; k < fields.size() && equal; ++k)
            equal = fields[k]->ValueIn(visible_[i]->values) == wanted[k];
        if (equal)
            return static_cast<int>(i);
    }
    return -1;
}

bool DataSet::Locate(const QString& keyFields, const std::vector<db::Value>& values) {
    RequireActive();
    const auto fields = FieldsOf(keyFields, values.size());
    CheckBrowseMode();
    const int row = FindRow(fields, values);
    if (row < 0)
        return false;
    MoveTo(row);
    return true;
}

std::optional<db::Value> DataSet::Lookup(const QString& keyFields, const std::vector<db::Value>& values,
                                         const QString& resultField) const {
    if (!Active())
        return std::nullopt;
    const auto fields = FieldsOf(keyFields, values.size());
    const Field& result = FieldByName(resultField);
    const int row = FindRow(fields, values);
    if (row < 0)
        return std::nullopt;
    return result.ValueIn(visible_[static_cast<std::size_t>(row)]->values);
}

bool DataSet::FindFirst() {
    RequireActive();
    CheckBrowseMode();
    EnsureVisible();
    for (std::size_t i = 0; i < visible_.size(); ++i) {
        if (filter_.IsEmpty() || Matches(visible_[i]->values)) {
            MoveTo(static_cast<int>(i));
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- filter

void DataSet::SetFilter(const QString& text) {
    FilterExpression parsed = FilterExpression::Parse(text);
    if (Active()) {
        auto fields = ResolveFilterFields(parsed);
        CheckBrowseMode();
        filterFields_ = std::move(fields);
    }
    filterText_ = text;
    filter_ = std::move(parsed);
    if (Active() && filtered_)
        Refilter();
}

void DataSet::SetFiltered(bool on) {
    if (filtered_ == on)
        return;
    if (Active())
        CheckBrowseMode();
    filtered_ = on;
    if (Active())
        Refilter();
}

void DataSet::Refilter() {
    NotifyReset(true);
    dirty_ = true;
    NotifyReset(false);
    First();
}

// ---------------------------------------------------------------- pending changes

int DataSet::ChangeCount() const {
    return store_ ? static_cast<int>(store_->log.size()) : 0;
}

std::vector<int> DataSet::KeyColumns() const {
    std::vector<int> keys;
    for (const QString& name : store_->keyFields) {
        const int c = store_->ColumnIndex(name);
        if (c < 0)
            throw EAppError(Name() + QStringLiteral(": キーフィールド '%1' が見つかりません。").arg(name));
        keys.push_back(c);
    }
    return keys;
}

int DataSet::ApplyUpdates(int maxErrors) {
    RequireActive();
    CheckBrowseMode();
    RowStore& store = *store_;
    if (store.log.empty())
        return 0;
    if (store.updateTable.isEmpty())
        throw EAppError(Name() + QStringLiteral("の更新テーブルが設定されていません。"));
    if (!store.connection)
        throw EAppError(Name() + QStringLiteral("の接続が設定されていません。"));
    const std::vector<int> keys = KeyColumns();
    db::Connection& connection = *store.connection;
    const bool own = !connection.InTransaction();
    if (own)
        connection.StartTransaction();
    const std::vector<Row*> pending = store.log;
    std::vector<Row*> applied;
    int errors = 0;
    bool stopped = false;
    try {
        for (Row* row : pending) {
            try {
                if (RowHasUnpairedSurrogate(*row))
                    throw EAppError(QStringLiteral("使用できない文字が含まれています。"));
                if (row->status != RowStatus::Inserted && keys.empty())
                    throw EAppError(Name() + QStringLiteral("のキーフィールドが設定されていません。"));
                if (auto statement = BuildUpdateStatement(store.updateTable, store.columns, keys, *row)) {
                    const int changed = connection.Execute(statement->sql, statement->params);
                    if (statement->mustFindRow && changed == 0)
                        throw EAppError(
                            QStringLiteral("更新する行が見つかりません。他のユーザーによって変更または削除さ"
                                           "れた可能性があります。"));
                }
                applied.push_back(row);
            } catch (const EAbort&) {
                throw;
            } catch (const std::exception& e) {
                ++errors;
                if (!OnReconcileError)
                    throw;
                OnReconcileError(*this, ErrorMessageOf(e), KindOf(*row));
                if (maxErrors >= 0 && errors > maxErrors) {
                    stopped = true;
                    break;
                }
            }
        }
        if (stopped) {
            if (own)
                connection.Rollback();
            return errors;
        }
        if (own)
            connection.Commit();
    } catch (...) {
        if (own && connection.InTransaction())
            connection.Rollback();
        throw;
    }
    // Rows applied leave the change log; deleted ones are gone for good (none is shown).
    // Inside the caller's transaction that waits for its commit: after a rollback the
    // changes are still pending and a second save sends them again.
    if (own) {
        const auto gone = store.Commit(applied);
    } else {
        connection.OnTransactionEnd([weak = std::weak_ptr<RowStore>(store_), applied](bool committed) {
            if (const auto s = weak.lock(); s && committed)
                const auto gone = s->Commit(applied);
        });
    }
    return errors;
}

void DataSet::CancelUpdates() {
    RequireActive();
    Cancel();
    SharedChange change(*this, true);
    const auto gone = store_->CancelUpdates();
    for (const auto& row : gone)
        change.Forget(row.get());
}

void DataSet::MergeChangeLog() {
    RequireActive();
    std::vector<Row*> all = store_->log;
    const auto gone = store_->Commit(all);
}

// ---------------------------------------------------------------- display

int DataSet::DisplayRowCount() const {
    return RecordCount() + (state_ == DataSetState::Insert ? 1 : 0);
}

int DataSet::DisplayRowOfCursor() const {
    if (state_ == DataSetState::Insert)
        return PhantomRow();
    return RecIndex();
}

db::Value DataSet::DisplayValue(int row, const Field& field) const {
    if (!Active() || row < 0)
        return {};
    if (state_ == DataSetState::Insert) {
        const int phantom = PhantomRow();
        if (row == phantom)
            return field.ValueIn(buffer_);
        if (row > phantom)
            --row;
    }
    EnsureVisible();
    if (row >= static_cast<int>(visible_.size()))
        return {};
    const Row* r = visible_[static_cast<std::size_t>(row)];
    if (state_ == DataSetState::Edit && r == editRow_)
        return field.ValueIn(buffer_);
    return field.ValueIn(r->values);
}

void DataSet::MoveToDisplayRow(int row) {
    RequireActive();
    if (row == DisplayRowOfCursor())
        return;
    if (state_ == DataSetState::Insert && row > PhantomRow())
        --row;
    EnsureVisible();
    if (row < 0 || row >= static_cast<int>(visible_.size()))
        return;
    Row* target = visible_[static_cast<std::size_t>(row)];
    CheckBrowseMode();
    EnsureVisible();
    const auto it = std::find(visible_.begin(), visible_.end(), target);
    if (it != visible_.end())
        MoveTo(static_cast<int>(it - visible_.begin()));
}

void DataSet::AddObserver(DataSetObserver* observer) {
    observers_.push_back(observer);
}

void DataSet::RemoveObserver(DataSetObserver* observer) {
    observers_.erase(std::remove(observers_.begin(), observers_.end(), observer), observers_.end());
}

}  // namespace data
