#pragma once
// 取込ルール設定: the organisation's import rules, in the order they are tried.
// A rule is edited in the fields below the list; 追加 adds the fields as a new
// rule, 変更 puts them into the rule chosen, 削除, 上へ and 下へ act on it. Every
// change is stored at once. ファイルで試す reads a CSV file and shows, row by row,
// the rule each row would get.
//
//   TTorikomiRuleForm form(connection, items, divisions, this);
//   form.Propose(RuleFromLine(...));  // optional: a rule to add, in the fields
//   form.exec();

#include <optional>
#include <vector>

#include "journal/ImportRules.h"
#include "journal/MeisaiImport.h"
#include "ui/TsubakiBaseFormUnit.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace db {
class Connection;
}

class TTorikomiRuleForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    // `items`: the journal's items (code, name as listed); `divisions`: the year's.
    TTorikomiRuleForm(db::Connection& connection, const std::vector<ImportItemName>& items,
                      const std::vector<ImportDivision>& divisions, QWidget* parent = nullptr);

    // Puts `rule` into the fields, ready for 追加.
    void Propose(const ImportRule& rule);
    // The rules as stored.
    const std::vector<ImportRule>& Rules() const { return rules_; }

    QTableWidget* RuleGrid;
    QComboBox* TaisyoCombo;  // 摘要か入金先／支払先, 摘要, 入金先／支払先
    QComboBox* HouhouCombo;  // を含む, パターンに合う
    QLineEdit* MojiEdit;
    QComboBox* KamokuCombo;
    QComboBox* KubunCombo;  // （明細の会計区分） or a division
    QLineEdit* AiteEdit;
    QLineEdit* TekiyoEdit;
    QPushButton* TsuikaBtn;   // 追加
    QPushButton* HenkouBtn;   // 変更
    QPushButton* SakujyoBtn;  // 削除
    QPushButton* UeBtn;       // 上へ
    QPushButton* SitaBtn;     // 下へ
    QPushButton* TamesuBtn;   // ファイルで試す
    QPushButton* CloseBtn;    // 閉じる
    QLabel* TestLabel;
    QTableWidget* TestGrid;  // 行, 入金先／支払先, 摘要, ルール, 科目(集計項目), 会計区分

  protected:
    void PrepareWindow() override;

  private:
    ImportRule FieldsRule() const;
    void ShowRules(int current);
    void ShowFields(int row);
    void Store(std::vector<ImportRule> rules, int current);
    int CurrentRule() const;
    QString ItemName(int kamoku) const;
    QString DivisionName(const std::optional<int>& division) const;
    void TsuikaBtnClick();
    void HenkouBtnClick();
    void SakujyoBtnClick();
    void Move(int by);
    void TamesuBtnClick();

    db::Connection& connection_;
    std::vector<ImportItemName> items_;
    std::vector<ImportDivision> divisions_;
    std::vector<ImportRule> rules_;
    QString folder_;
};
