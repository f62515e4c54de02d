#pragma once
#include <memory>
#include <vector>

#include "data/DataSet.h"
#include "ui/TsubakiBaseFormUnit.h"

class QButtonGroup;
class QPushButton;
class TChoiceList;
struct KanaIndexButton;
namespace data {
class DataSetTableModel;
}

// The kana-index search shared by the counterparty and description searches: a
// list of stored names beside a table of index buttons that narrow it to the
// readings beginning with a kana or letter. A clicked row closes the window as
// accepted with its name; the close button leaves without one. Writes nothing.
class TKanaKensakuForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    ~TKanaKensakuForm() override;

    // The chosen row's MEISYO once the window closed as accepted.
    const QString& SelectedMeisyo() const { return selectedMeisyo_; }

    // The index button with `text` ("指定無し", "か", "Ａ", …), or nullptr.
    QPushButton* IndexButton(const QString& text) const;
    // The index button shown marked (magenta text).
    QPushButton* MarkedButton() const { return marked_; }

    TChoiceList* DBGrid1;
    QPushButton* CloseBtn;
    data::DataSet ClientDataSet1;

  protected:
    struct SearchDef {
        QString caption;
        QString sql;         // columns MEISYO and FURIGANA
        QString nameTitle;   // title of the MEISYO column
        int nameLength;      // characters of MEISYO and of FURIGANA: the longer
        int readingLength;   // of the two takes the width the other leaves
        QString buttonHint;  // hint of the kana and letter buttons
        QString listHint;
    };
    TKanaKensakuForm(SearchDef search, QWidget* parent);

    void PrepareWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QWidget* BuildIndexPanel();
    void IndexButtonClick(QPushButton* button, const KanaIndexButton& index);
    void Mark(QPushButton* button);
    void DBGrid1CellClick(int row);

    SearchDef search_;
    std::unique_ptr<data::DataSetTableModel> model_;
    QButtonGroup* indexGroup_;
    std::vector<QPushButton*> indexButtons_;
    QPushButton* marked_ = nullptr;
    QString selectedMeisyo_;
};
