#pragma once
#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QLineEdit;
class QPushButton;

// Adds the description of the current journal line to the stored descriptions,
// with a reading for the kana-index search. The journal line is not changed.
//
//   TTekiyoTourokuForm form(text, this);
//   form.exec();  // Accepted: the description was added
class TTekiyoTourokuForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    // `text`: the journal line's description, shown trimmed for editing.
    explicit TTekiyoTourokuForm(const QString& text, QWidget* parent = nullptr);
    ~TTekiyoTourokuForm() override;

    QLabel* Label1;
    QLineEdit* Edit1;  // the name
    QLabel* Label2;
    QLineEdit* Edit2;  // the reading
    QLabel* Label3;
    QPushButton* BitBtn1;  // 登録
    QPushButton* BitBtn2;  // 中止

    // What differs between the lists a text can be added to.
    struct ListDef {
        QString caption;
        QString nameLabel;
        int nameLength;     // characters of the name
        int readingTyped;   // characters typed for the reading; half of them are kept
        QString selectSql;  // :MEISYO
        QString insertSql;  // :MEISYO, :KENSAKU_MOJI
    };

  protected:
    TTekiyoTourokuForm(ListDef list, const QString& text, QWidget* parent);

    void PrepareWindow() override;

  private:
    int ReadingLength() const { return list_.readingTyped / 2; }
    void Edit2Exit();
    void BitBtn1Click();
    bool Registered(const QString& name) const;

    ListDef list_;
    QString text_;
};
