#pragma once
#include <QFrame>

class QLabel;

// The footer of the login window and the main menu: the legal notice at the left
// and "Ver-" + the file version at the right, in small navy text.
class TVersionFooter : public QFrame {
    Q_OBJECT
  public:
    explicit TVersionFooter(QWidget* parent = nullptr);
    // Fills both labels from the program's version information.
    void ShowVersionInfo();

    QLabel* Cyosakuken;
    QLabel* VER_NO;
};
