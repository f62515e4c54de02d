#pragma once
// 取込の列の指定: which column of a CSV file holds the date, the counterparty, the
// description, the item (by code or by name), the receipts, the payments and,
// when the file has one, the division. Opened by the journal's 取込 for a file
// that is not of the journal's own export shape; the columns are preset from a
// heading row that names them.
//
//   TTorikomiSetteiForm form(fileName, survey, divisionName, this);
//   if (form.exec() == QDialog::Accepted) use(form.Mapping());

#include "journal/MeisaiImport.h"
#include "ui/TsubakiBaseFormUnit.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

class TTorikomiSetteiForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    // `divisionName`: the division the rows go to when no column names one.
    // `survey`: the file's encoding, size and first rows (journal/CsvReader.h).
    TTorikomiSetteiForm(const QString& fileName, const CsvSurvey& survey, const QString& divisionName,
                        QWidget* parent = nullptr);

    // Offers the item for rows that name none and match no import rule (the
    // journal's item list, code and name); with rules or such an item the file
    // needs no item column.
    void OfferDefaultItems(const std::vector<ImportItemName>& items, bool haveRules);

    // The columns as chosen.
    ColumnMapping Mapping() const;

    QLabel* FileLabel;
    QTableWidget* PreviewGrid;  // the file's first rows
    QCheckBox* HeadingCheck;    // 1行目は見出し
    QComboBox* HizukeCombo;
    QComboBox* AiteCombo;
    QComboBox* TekiyoCombo;
    QComboBox* KamokuCombo;
    QComboBox* KamokuByCombo;  // 科目コード / 科目名
    QComboBox* SyunyuCombo;
    QComboBox* SisyutsuCombo;
    QComboBox* KingakuCombo;  // one signed amount column
    QComboBox* ZandakaCombo;  // the bank's balance, checked
    QComboBox* KaikeiKubunCombo;
    QComboBox* DefaultKamokuCombo;  // ルールに合わない行の科目
    QPushButton* TorikomiBtn;       // 取込
    QPushButton* ChushiBtn;         // 中止

  protected:
    void PrepareWindow() override;

  private:
    bool haveRules_ = false;
    QComboBox* ColumnCombo(bool optional, const QStringList& firstRow);
    void SetMapping(const ColumnMapping& mapping);
    void TorikomiBtnClick();
};
