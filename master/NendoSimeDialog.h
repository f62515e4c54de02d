#pragma once
// The question before 年度を締める and 締めを解除: the reason (required to reopen), and
// the organisation's password when reopening one that has a password.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TNendoSimeDialog : public QDialog {
    Q_OBJECT
  public:
    // `reopen`: 締めを解除 (else 年度を締める); `askPassword`: the organisation has one.
    TNendoSimeDialog(int nendo, bool reopen, bool askPassword, QWidget* parent = nullptr);

    QString Reason() const;
    QString Password() const;

    QLabel* MessageLabel;
    QLineEdit* PasswordEdit;  // nullptr unless asked
    QLineEdit* ReasonEdit;
    QPushButton* OkBtn;
    QPushButton* CancelBtn;
};
