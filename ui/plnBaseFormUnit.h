#pragma once
#include <QDialog>

// The root of every window: centred, the small Gothic font, and the key navigation
// by which Enter and Down move to the next control and Up to the previous one.
class TplnBaseForm : public QDialog {
    Q_OBJECT
  public:
    explicit TplnBaseForm(QWidget* parent = nullptr);

    // Marks a control whose keys the navigation leaves alone (lookup lists and
    // other controls that use Enter and the arrows themselves).
    static void ExemptFromNavigation(QWidget* control);

    // Moves the focus to the first control in tab order.
    void FocusFirstControl();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Handles a key that went down in one of this window's controls; true when consumed.
    bool CMChildKey(QWidget* focused, QKeyEvent* key);
    bool centred_ = false;
};
