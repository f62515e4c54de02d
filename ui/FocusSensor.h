#pragma once
#include <QFrame>

// An invisible tab stop that reports when the focus enters it: a check that runs
// when the user leaves the control before it.
class TFocusSensor : public QFrame {
    Q_OBJECT
  public:
    explicit TFocusSensor(QWidget* parent = nullptr) : QFrame(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setFixedSize(8, 8);
    }

  signals:
    void Entered();

  protected:
    void focusInEvent(QFocusEvent* event) override {
        QFrame::focusInEvent(event);
        // Reported after the focus change has finished, so the handler may move the
        // focus and show a message box.
        QMetaObject::invokeMethod(this, &TFocusSensor::Entered, Qt::QueuedConnection);
    }
};
