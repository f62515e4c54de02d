#pragma once
#include <QDialog>

// The first window of the program until the login window takes its place.
class StartWindow : public QDialog {
    Q_OBJECT
  public:
    explicit StartWindow(QWidget* parent = nullptr);
};
