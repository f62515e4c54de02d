#pragma once
// 取込の確認: the rows of a file about to be imported, each with the item it
// gets and where from (the file, an import rule, or the item for rows no rule
// takes), and the rows that are probably in the year already, which are left
// out unless the user ticks them. Nothing is written until 取込 is pressed.
//
//   TTorikomiKakuninForm form(fileName, rows, this);
//   if (form.exec() == QDialog::Accepted) use(form.Kept());

#include <vector>

#include "journal/MeisaiImport.h"
#include "ui/TsubakiBaseFormUnit.h"

class QLabel;
class QPushButton;
class QTableWidget;

class TTorikomiKakuninForm : public TTsubakiBaseForm {
    Q_OBJECT
  public:
    // One row as the list shows it.
    struct Row {
        int row = 0;  // the file's row number
        QString hizuke;
        QString kubun;  // the division's name
        QString aite;
        QString tekiyo;
        QString kamoku;  // the item as the list shows it
        qint64 syunyu = 0;
        qint64 sisyutsu = 0;
        QString source;          // ルール「…」, ルールなし, …
        bool unmatched = false;  // took the item for rows no rule takes
        bool duplicate = false;  // probably in the year already
    };

    TTorikomiKakuninForm(const QString& fileName, const std::vector<Row>& rows, QWidget* parent = nullptr);

    // Whether each row is to be imported, in the order given.
    std::vector<bool> Kept() const;

    QLabel* Label1;
    QTableWidget* RowGrid;  // 取込, 行, 日付, 会計区分, 入金先／支払先, 摘要, 科目, 収入, 支出, 科目の決め方
    QPushButton* TorikomiBtn;  // 取込
    QPushButton* ChushiBtn;    // 中止

  protected:
    void PrepareWindow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The rows of the list for the lines of a checked file: names from the
// context's lists, the rule's text from its rules.
std::vector<TTorikomiKakuninForm::Row> KakuninRows(const std::vector<ImportLine>& lines,
                                                   const std::vector<bool>& duplicate,
                                                   const ImportContext& context);

// Whether the lines need the list before they are written: some are probable
// duplicates, or took their item from a rule or as rows no rule takes.
bool NeedsKakunin(const std::vector<ImportLine>& lines, const std::vector<bool>& duplicate);
