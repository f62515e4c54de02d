#pragma once
// DBGrid1 and its kind: a data grid over a data source's dataset (or view).
// - Typing in a cell puts the row into edit; the cell's text is written through the
//   field's rules when the cell is left. Leaving the row posts it; a refused post
//   shows its error and keeps the cursor on the row. Esc cancels the row's edit.
// - Tab and Enter move from cell to cell, skipping cells that cannot be edited, and
//   from the last cell of a row to the first editable cell of the next; past the
//   last row a new row is appended when the grid allows it. Ctrl+Tab leaves the grid.
// - A new row still untouched (the window's test, IsUntouchedNewRow) is dropped
//   when the cursor moves away from it or the focus leaves the grid.
// - Columns follow the dataset's visible fields, titled with their labels; a
//   column may be read-only per row, carry a drop-down list, a button that opens a
//   picker (also on F4 and Alt+Down), or an input mask.
// - The dataset's cursor follows the grid's current row and the other way round.

#include <QPointer>
#include <QTableView>

#include <exception>
#include <functional>
#include <map>
#include <optional>

#include "ui/DBControls.h"
#include "ui/DataSource.h"

namespace data {
class DataSet;
class DataSetTableModel;
class Field;
}  // namespace data

class TDBGridModel;

class TDBGrid : public QTableView, private TDataLink {
    Q_OBJECT
  public:
    explicit TDBGrid(QWidget* parent = nullptr);
    ~TDBGrid() override;

    void SetDataSource(TDataSource* source);
    TDataSource* DataSource() const { return source_; }
    // The dataset shown; nullptr while unbound.
    data::DataSet* DataSet() const;
    data::DataSetTableModel* Model() const;

    // --- Options.
    // Tab past the last cell (and Down on the last row) appends a new row.
    void SetAllowAppend(bool on) { allowAppend_ = on; }
    bool AllowAppend() const { return allowAppend_; }
    // The current cell's editor stays open while the grid has the focus.
    void SetAlwaysShowEditor(bool on);
    bool AlwaysShowEditor() const { return alwaysShowEditor_; }

    // The window's test of a new row nobody has filled in; without it a new row is
    // untouched while none of its fields was set.
    std::function<bool(data::DataSet&)> IsUntouchedNewRow;
    // Cells read-only in some rows: the field and the display row.
    std::function<bool(const data::Field&, int row)> IsReadOnlyCell;

    // --- Columns, named by their field.
    void SetColumnWidth(const QString& fieldName, int width);
    // A drop-down list of fixed items: choosing one stores its value.
    void SetPickList(const QString& fieldName, TPickList items);
    // A drop-down list of another dataset's rows: `listField` shown, `keyField` stored.
    void SetLookupList(const QString& fieldName, data::DataSet* list, const QString& keyField,
                       const QString& listField);
    // A button in the cell that opens a picker; also pressed by F4 and Alt+Down.
    void SetEditButton(const QString& fieldName, std::function<void()> onClick);
    void SetEditMask(const QString& fieldName, const QString& picture, bool saveLiterals);
    // Items offered in a column's drop-down list (empty: the column has none).
    // Lookup fields offer the rows of their lookup dataset, unless the column has
    // a picker button: it then edits as text beside the button.
    TPickList ItemsOf(const data::Field& field) const;
    // The text a column with a list shows for a value (nullopt: no list).
    std::optional<QString> ListTextOf(const data::Field& field, const db::Value& value) const;
    // The text of a masked column outside editing, its literals in place ("03/15");
    // nothing for a column without a mask.
    std::optional<QString> MaskedTextOf(const data::Field& field, const db::Value& value) const;

    // --- The column cursor.
    int SelectedIndex() const;
    void SetSelectedIndex(int column);
    data::Field* SelectedField() const;
    void SetSelectedField(const QString& fieldName);
    // The first column, from the left, that can be edited in the current row.
    void SelectFirstEditableColumn();
    bool IsCellReadOnly(int row, int column) const;

    // Writes the open cell editor's text into the row; raises when refused.
    void UpdateData() override;
    // Presses the current column's picker button.
    void PressEditButton();
    // Drops the current row's edit (Esc).
    void CancelEdit();

  signals:
    // The focus went from the grid to another control of its window (reported
    // once the focus change is over).
    void Exited(QWidget* newFocus);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    friend class TDBGridDelegate;
    struct ColumnSpec {
        int width = -1;
        std::optional<TPickList> pickList;
        data::DataSet* lookupList = nullptr;
        QString lookupKey, lookupText;
        std::function<void()> button;
        QString mask;
        bool saveLiterals = false;
    };
    struct FailedWrite {
        std::exception_ptr error;
        int row = -1;
        int column = -1;
        QString text;
    };

    // TDataLink
    void DataChanged(bool rowOnly) override;
    void SourceDestroyed() override;

    void Rebind();
    void ApplyColumnWidths();
    const ColumnSpec* SpecOf(const QString& fieldName) const;
    ColumnSpec& SpecFor(const QString& fieldName);
    bool IsEditable(int row, int column) const;
    bool Untouched();

    // Called by the delegate: writes an editor's text or chosen value into a cell.
    void WriteCell(const QModelIndex& index, const QString& text, const std::optional<db::Value>& chosen);
    void BeginRowEdit();
    void EditorOpened(QWidget* editor, const QModelIndex& index);

    // Keyboard moves, each done on the dataset first and then shown.
    bool CommitEditor();
    // An empty grid's first row, started when the grid is entered or typed into.
    void OfferFirstRow();
    bool MoveCell(int direction);
    bool GoToRow(int row, int column);
    int LeaveRow(int target);
    bool AppendRow();
    void SetCurrentCell(int row, int column);
    void SyncViewToDataSet();
    void ViewMoved();
    void ReportFailedWrite();
    // The same text refused at the same cell as the refusal last reported.
    bool IsRefusedAgain(const FailedWrite& failed) const;
    void OpenEditorLater();
    void OpenEditor();
    void FocusChanged(QWidget* old, QWidget* now);
    void UpdateIndicator();

    TDataSource* source_ = nullptr;
    TDBGridModel* model_ = nullptr;
    std::map<QString, ColumnSpec> specs_;  // by upper-case field name
    bool allowAppend_ = true;
    bool alwaysShowEditor_ = false;
    bool syncing_ = false;    // the view is being set to the dataset's cursor
    bool keyCommit_ = false;  // a commit whose failure the caller reports
    bool viewMovePending_ = false;
    bool keepEditor_ = false;  // the next close of the editor is dropped (a repeated refusal)
    int column_ = 0;
    QPointer<QWidget> editor_;
    std::optional<FailedWrite> failedWrite_;
    // The text last refused (its message shown), until a text is written.
    struct Refusal {
        int row = -1;
        int column = -1;
        QString text;
    };
    std::optional<Refusal> refused_;
    std::optional<QString> reopenText_;  // text for the editor reopened after a refusal
};
