#pragma once
// The in-memory dataset (ClientDataSet1, KamokuClientDS, …): the rows of one query
// or of the program's own making, with a cursor, a state, an edit buffer, fields,
// events, a filter and the pending changes that ApplyUpdates sends back.
// A view (CloneCursor) shares a dataset's rows and pending changes with a cursor,
// state and filter of its own.
//
// Semantics are those of the classic in-memory client dataset:
// - Append/Insert post a pending edit first, start a new row (at the end / before
//   the current row), run OnNewRecord (its values are not user changes), AfterInsert.
// - Post: BeforePost (may raise; the state stays), required fields, the buffer
//   becomes the row, AfterPost. An inserted row stays "inserted" through edits.
// - Cancel drops the buffer; a new row disappears; AfterCancel.
// - Delete: BeforeDelete (may raise; nothing changes); the row leaves every view.
// - Moving the cursor (First, Next, Locate, …) posts a pending edit first.

#include "data/Component.h"
#include "data/Field.h"
#include "data/Filter.h"
#include "data/RowStatus.h"
#include "db/Connection.h"
#include "db/Value.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace data {

class DataSetObserver;
class RowStore;
class SqlCommand;
struct Row;

enum class DataSetState { Inactive, Browse, Edit, Insert };
enum class UpdateKind { Insert, Modify, Delete };

class DataSet : public Component {
  public:
    using Event = std::function<void(DataSet&)>;
    // Told the failure of one row while applying: the message (the server's text)
    // and what the row was to become.
    using ReconcileEvent = std::function<void(DataSet&, const QString& message, UpdateKind kind)>;

    explicit DataSet(QString name);
    ~DataSet() override;

    // --- Fields. Declared fields (persistent fields) are matched by name to the
    // query's columns when the dataset opens; columns not declared get plain fields,
    // which live only while the dataset is open (declare the fields a window keeps).
    Field& AddField(FieldDef def);
    Field& FieldByName(const QString& name) const;  // EAppError when there is none
    Field* FindField(const QString& name) const;
    const std::vector<std::unique_ptr<Field>>& Fields() const { return fields_; }

    // --- Where the rows come from and go back to.
    // Rows made by code (CreateDataSet) may get their connection after opening.
    void SetConnection(db::Connection* connection);
    db::Connection* Connection() const { return connection_; }
    void SetCommandText(QString sql) { commandText_ = std::move(sql); }
    const QString& CommandText() const { return commandText_; }
    // The SQL command that feeds this dataset (its text and parameters); it
    // replaces CommandText while set.
    void SetCommand(SqlCommand* command) { command_ = command; }
    SqlCommand* Command() const { return command_; }
    void SetParam(const QString& name, const db::Value& value);
    const db::Connection::Params& Params() const { return params_; }
    // The table that ApplyUpdates writes and the fields (";"-separated) that find a row.
    void SetUpdateTable(QString table, QString keyFields);

    // --- Opening and closing.
    // Runs the query and loads its rows; the connection stays open while the
    // dataset (or a view of it) is. Does nothing when already open.
    void Open();
    // Opens with no rows, the columns being the declared fields (rows made by code).
    void CreateDataSet();
    // Makes this dataset a view of `source`'s rows (source must be open). Fields
    // declared on the view are kept; the others are copied from the source.
    // `keepSettings` takes over the source's filter.
    void CloneCursor(DataSet& source, bool keepSettings = false);
    void Close();
    bool Active() const { return state_ != DataSetState::Inactive; }
    DataSetState State() const { return state_; }
    bool IsEditing() const { return state_ == DataSetState::Edit || state_ == DataSetState::Insert; }

    // --- Cursor. Positions count the rows that pass the filter.
    int RecordCount() const;
    bool IsEmpty() const { return RecordCount() == 0; }
    int RecIndex() const;  // 0-based; -1 when there is no row
    bool Bof() const { return bof_; }
    bool Eof() const { return eof_; }
    void First();
    void Last();
    void Next();
    void Prior();
    void MoveTo(int index);

    // --- Editing.
    void Append();
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    void Delete();
    bool Modified() const { return modified_; }
    // Posts a pending edit (the dataset goes back to browsing).
    void CheckBrowseMode();
    // True when the last Append, Insert, Edit, Post, Cancel or Delete did its work
    // and then its After… event failed (a grid window's write-back after post).
    // Retrying such an operation means running that event again, not the operation.
    bool AfterEventFailed() const { return failedAfter_ != nullptr; }
    void RetryAfterEvent();

    // --- Searching. Locate moves to the first row whose fields (";"-separated)
    // equal the values exactly (case-sensitive); false leaves the cursor.
    bool Locate(const QString& keyFields, const std::vector<db::Value>& values);
    // The first row that passes the filter text, whether or not Filtered is on.
    bool FindFirst();
    // The value of `resultField` in the first row whose key fields equal `values`,
    // without moving the cursor; nullopt when no row matches.
    std::optional<db::Value> Lookup(const QString& keyFields, const std::vector<db::Value>& values,
                                    const QString& resultField) const;

    // --- Filter.
    void SetFilter(const QString& text);  // EAppError when malformed
    const QString& Filter() const { return filterText_; }
    void SetFiltered(bool on);
    bool Filtered() const { return filtered_; }

    // --- Pending changes (shared with the views).
    int ChangeCount() const;
    // The change status of the current row (Unmodified while there is none).
    RowStatus UpdateStatus() const;
    // Sends the pending changes in the order made (each changed row once, where it
    // was first changed, with its final values) as statements on the update table,
    // inside the connection's explicit transaction when one is active, else in one
    // of its own. Each failing row goes to OnReconcileError (without a handler the
    // error is raised). Stops when more than `maxErrors` rows failed (0: at the
    // first; -1: never): its own transaction is then rolled back and every change
    // stays pending. Otherwise applied rows leave the change log. Returns the
    // number of rows that failed.
    int ApplyUpdates(int maxErrors);
    void CancelUpdates();
    // Makes the pending changes the dataset's own rows without sending them.
    void MergeChangeLog();

    // --- Rows for display (row numbers count the new row being inserted).
    int DisplayRowCount() const;
    int DisplayRowOfCursor() const;
    db::Value DisplayValue(int row, const Field& field) const;
    // Puts the cursor on a display row (posting a pending edit of another row).
    void MoveToDisplayRow(int row);

    void AddObserver(DataSetObserver* observer);
    void RemoveObserver(DataSetObserver* observer);

    // --- Events.
    Event BeforeInsert, AfterInsert, OnNewRecord, BeforeEdit, AfterEdit, BeforePost, AfterPost, BeforeCancel,
        AfterCancel, BeforeDelete, AfterDelete, AfterScroll, AfterOpen, OnStateChange;
    ReconcileEvent OnReconcileError;

  private:
    friend class Field;
    class SharedChange;

    std::optional<RowRef> CurrentValues() const;
    void SetBufferValue(int column, db::Value value);

    void Attach(std::shared_ptr<RowStore> store);
    void Detach();
    void BindFields();
    void SetState(DataSetState state);
    void StartNewRow(bool append);
    void CheckRequired() const;
    bool Matches(RowRef values) const;
    bool PassesFilter(RowRef values) const;
    void Refilter();
    void EnsureVisible() const;
    void Rebuild() const;
    void Forget(const Row* row);
    Row* CurrentRow() const;
    int PhantomRow() const;
    void Scrolled();
    // One row on (+1) or back (-1); past the last or first row nothing moves and
    // Eof or Bof is set.
    void Step(int delta);
    std::vector<const Field*> ResolveFilterFields(const FilterExpression& filter) const;
    std::vector<const Field*> FieldsOf(const QString& names, std::size_t count) const;
    int FindRow(const std::vector<const Field*>& fields, const std::vector<db::Value>& values) const;
    std::vector<int> KeyColumns() const;
    void RequireActive() const;
    void RequireEditing() const;
    void NotifyReset(bool begin);
    void RunAfter(const Event& event);

    std::vector<std::unique_ptr<Field>> fields_;
    std::size_t declaredCount_ = 0;  // fields_ begins with the declared fields
    db::Connection* connection_ = nullptr;
    QString commandText_;
    SqlCommand* command_ = nullptr;
    db::Connection::Params params_;
    QString updateTable_;
    QString keyFields_;

    std::shared_ptr<RowStore> store_;
    DataSetState state_ = DataSetState::Inactive;
    mutable std::vector<Row*> visible_;
    mutable bool dirty_ = true;
    mutable int index_ = -1;          // position of current_ in visible_
    mutable Row* current_ = nullptr;  // the current row
    bool bof_ = true;
    bool eof_ = true;

    std::vector<db::Value> buffer_;
    bool modified_ = false;
    Row* editRow_ = nullptr;       // the row being edited
    Row* insertBefore_ = nullptr;  // the new row goes before this one; nullptr: at the end

    QString filterText_;
    FilterExpression filter_;
    std::vector<const Field*> filterFields_;
    bool filtered_ = false;

    std::vector<DataSetObserver*> observers_;
    const Event* failedAfter_ = nullptr;
};

}  // namespace data
