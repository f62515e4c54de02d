#pragma once
#include "ui/TsubakiGridBaseUnit.h"

// 摘要設定: the stored descriptions (TEKIYO), each with its kana reading for the
// kana-index search. Names are unique; readings are kept in their normalised form.
class TTekiyoMaintForm : public TTsubakiGridBaseForm {
    Q_OBJECT
  public:
    explicit TTekiyoMaintForm(QWidget* parent = nullptr);
    ~TTekiyoMaintForm() override;

    // What differs between the lists kept this way.
    struct ListDef {
        QString caption;
        QString sql;
        QString table;
        QString nameLabel;
        int nameLength;
        QString readingField;
        int readingLength;
        QString duplicateMessage;
    };

  protected:
    explicit TTekiyoMaintForm(ListDef list, QWidget* parent);

  private:
    void ClientDataSet1AfterScroll(data::DataSet& ds);
    void ClientDataSet1BeforePost(data::DataSet& ds);
    void ReadingSetText(data::Field& field, const QString& text);
    bool IsUntouchedNewRow(data::DataSet& ds) const;

    ListDef list_;
    QString oldName_;
};
