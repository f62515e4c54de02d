#pragma once
// An edit box bound to a field: shows the field with its display format, and with
// its edit format while focused; the first change puts the row into edit; what was
// typed is written through the field's rules when the box is left (or when the
// window posts). A refused value is shown and the focus comes back to the box.

#include <QLineEdit>

#include <optional>

#include "ui/FieldLink.h"

class TDBEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TDBEdit(QWidget* parent = nullptr);

    TDataSource* DataSource() const { return link_.DataSource(); }
    void SetDataSource(TDataSource* source) { link_.SetDataSource(source); }
    const QString& DataField() const { return link_.FieldName(); }
    void SetDataField(const QString& name) { link_.SetFieldName(name); }
    // An input mask picture ("9999/99/99"); `saveLiterals` keeps its literal
    // characters in the stored value. An empty picture removes the mask.
    void SetEditMask(const QString& picture, bool saveLiterals);

    // True while the box holds typed text not yet written to the field.
    bool IsModified() const { return modified_; }
    // Writes the typed text to the field; raises when the field refuses it (the
    // focus is then put back into the box).
    void UpdateData();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void DataChanged(bool rowOnly);
    void ShowField();
    // Puts the row into edit before a change; false (after showing why) when it cannot.
    bool BeginChange();
    QString TypedValue() const;
    void WriteField();

    TFieldLink link_;
    QString picture_;
    bool saveLiterals_ = false;
    bool modified_ = false;
    bool pendingError_ = false;  // a refused value whose message is still to be shown
    std::optional<QString> refusedText_;  // the text whose refusal was last shown
    const data::Field* typedField_ = nullptr;  // the field whose typing rule the box has
};
