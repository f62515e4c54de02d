#pragma once
#include <QTableView>

// A read-only list of rows to choose one from: whole rows are selected, nothing is
// edited, and a row is chosen by a click or by Enter on the current row. The
// arrow keys and Enter stay with the list (the window's key navigation leaves
// them alone); Tab leaves it.
class TChoiceList : public QTableView {
    Q_OBJECT
  public:
    explicit TChoiceList(QWidget* parent = nullptr);

    // Lets `stretchColumn` fill the width that the other columns, sized to their
    // contents, leave.
    void FitColumns(int stretchColumn);
    // Gives `column` the width of `characters` full-width characters.
    void FixColumnWidth(int column, int characters);

  signals:
    void Chosen(int row);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
};
