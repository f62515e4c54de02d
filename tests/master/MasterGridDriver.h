#pragma once
// Drives a master-data grid window the way the keyboard and mouse do, over the
// scratch database of DataWindowTest.

#include <QPushButton>

#include <cstdlib>

#include "data/DataSet.h"
#include "data/DataSetTableModel.h"
#include "tests/master/MasterDbFixture.h"  // PrintTo for texts
#include "tests/support/DataWindowFixture.h"
#include "ui/DBGrid.h"
#include "ui/TsubakiGridBaseUnit.h"

class MasterGridTest : public DataWindowTest {
  protected:
    // Puts the grid's cursor on a cell (by clicking it); its editor opens.
    static void GoTo(TDBGrid& grid, int row, const QString& field) {
        grid.setFocus();
        Settle();
        grid.setCurrentIndex(grid.model()->index(row, grid.Model()->ColumnOf(field)));
        Settle();
    }
    static void TypeInto(TDBGrid& grid, int row, const QString& field, const QString& text) {
        GoTo(grid, row, field);
        Type(text);
    }
    // Leaves the current row for a neighbour, which posts it.
    static void LeaveRow(TDBGrid& grid) {
        const int row = grid.currentIndex().row();
        Press(row + 1 < grid.model()->rowCount() ? Qt::Key_Down : Qt::Key_Up);
    }
    // Opens the current cell's drop-down list (Alt+↓) and picks the name `steps`
    // below the one shown (above when negative); ↑/↓ outside the list move lines.
    static void PickInList(int steps) {
        Press(Qt::Key_Down, Qt::AltModifier);
        for (int i = 0; i < std::abs(steps); ++i)
            Press(steps > 0 ? Qt::Key_Down : Qt::Key_Up);
        Press(Qt::Key_Return);
    }
    static QString Cell(const TDBGrid& grid, int row, const QString& field) {
        return grid.model()->index(row, grid.Model()->ColumnOf(field)).data().toString();
    }
    static bool Editable(const TDBGrid& grid, int row, const QString& field) {
        return grid.model()->flags(grid.model()->index(row, grid.Model()->ColumnOf(field))) &
               Qt::ItemIsEditable;
    }
    // The display row showing `text` in column `field`; -1 when none does.
    static int RowOf(const TDBGrid& grid, const QString& field, const QString& text) {
        for (int row = 0; row < grid.model()->rowCount(); ++row)
            if (Cell(grid, row, field) == text)
                return row;
        return -1;
    }
    static void Add(TTsubakiGridBaseForm& form) {
        QTest::mouseClick(form.TsuikaBtn, Qt::LeftButton);
        Settle();
    }
    static void Delete(TTsubakiGridBaseForm& form) {
        QTest::mouseClick(form.SakujyoBtn, Qt::LeftButton);
        Settle();
    }
    // The one error shown since the last check (the error box may add a full stop).
    QString TakeError() {
        EXPECT_EQ(dialogs.Shown().size(), 1u);
        const QString text = dialogs.Shown().empty() ? QString() : dialogs.Last().text;
        if (!dialogs.Shown().empty()) {
            EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
        }
        dialogs.Clear();
        return text.endsWith(u'.') ? text.chopped(1) : text;
    }
    // A refused post: the row stays in edit, the cursor on `field`.
    static void ExpectHeldAt(const TTsubakiGridBaseForm& form, const QString& field) {
        EXPECT_TRUE(form.ClientDataSet1.IsEditing());
        ASSERT_NE(form.DBGrid1->SelectedField(), nullptr);
        EXPECT_EQ(form.DBGrid1->SelectedField()->FieldName(), field);
    }
};
