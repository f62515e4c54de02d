#pragma once
#include <QLineEdit>

// The fiscal-year box: four characters, digits and Backspace only. Everything else
// typed, pasting included, is dropped.
class TYearEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TYearEdit(QWidget* parent = nullptr);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent*) override {}
    void dropEvent(QDropEvent*) override {}
};
