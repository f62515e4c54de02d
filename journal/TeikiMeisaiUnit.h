#pragma once
// 定期明細設定: the recurring lines' templates, edited in the fields below their
// list (追加, 変更, 削除; every change is stored at once), and 定期明細の作成: the
// range of months to make the lines for, from the journal window.

#include <optional>
#include <vector>

#include "journal/MeisaiImport.h"
#include "journal/TeikiMeisai.h"
#include "ui/TsubakiBaseFormUnit.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTableWidget;

namespace db {
class Connection;
}

class TTeikiMeisaiForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    TTeikiMeisaiForm(db::Connection& connection, const std::vector<ImportItemName>& items,
                     const std::vector<ImportDivision>& divisions, QWidget* parent = nullptr);

    const std::vector<TeikiTemplate>& Templates() const { return templates_; }

    QTableWidget* TeikiGrid;  // 会計区分, 日, 月, 科目, 入金先／支払先, 摘要, 収入金額, 支払金額
    QComboBox* KubunCombo;
    QComboBox* KamokuCombo;
    QLineEdit* AiteEdit;
    QLineEdit* TekiyoEdit;
    QLineEdit* SyunyuEdit;
    QLineEdit* SisyutsuEdit;
    QSpinBox* HiSpin;
    QCheckBox* MonthChecks[12];  // 1月 .. 12月
    QPushButton* TsuikaBtn;      // 追加
    QPushButton* HenkouBtn;      // 変更
    QPushButton* SakujyoBtn;     // 削除
    QPushButton* CloseBtn;       // 閉じる

  protected:
    void PrepareWindow() override;

  private:
    TeikiTemplate FieldsTemplate() const;
    void ShowFields(int row);
    void ShowTemplates(int current);
    void Store(std::vector<TeikiTemplate> templates, int current);
    int CurrentTemplate() const;

    db::Connection& connection_;
    std::vector<ImportItemName> items_;
    std::vector<ImportDivision> divisions_;
    std::vector<TeikiTemplate> templates_;
};

class TTeikiSakuseiForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    // `months`: the year's months as yyyymm.
    TTeikiSakuseiForm(db::Connection& connection, const std::vector<QString>& months,
                      const std::vector<ImportItemName>& items, const std::vector<ImportDivision>& divisions,
                      QWidget* parent = nullptr);

    QString FromMonth() const;  // yyyymm
    QString ToMonth() const;

    QComboBox* FromCombo;
    QComboBox* ToCombo;
    QPushButton* SakuseiBtn;  // 作成
    QPushButton* SetteiBtn;   // 定期明細設定
    QPushButton* ChushiBtn;   // 中止

  protected:
    void PrepareWindow() override;

  private:
    db::Connection& connection_;
    std::vector<ImportItemName> items_;
    std::vector<ImportDivision> divisions_;
};
