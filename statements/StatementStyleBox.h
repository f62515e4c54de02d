#pragma once
// The organisation's own title of a statement and the sign it prints 増減 with
// on each side, on the signature tab of the budget and settlement windows (and
// the interim settlement window). They are kept in the statement-texts row
// beside the other texts (YOSAN_TITLE or KESSAN_TITLE, SYUNYU_ZOGEN_KUBUN,
// SISYUTSU_ZOGEN_KUBUN) and saved with them. An empty title prints the
// statement's usual one; the signs are shared by the budget and the settlement:
// 0 (or empty) prints the statement's own figure less the one it is compared
// with (決算額－予算額, 本年度予算額－前年度), 1 the reverse.

#include <QGroupBox>
#include <QString>

#include "data/DataSet.h"

class QLabel;
class TDataSource;
class TDBComboBox;
class TDBEdit;

class TStatementStyleBox : public QGroupBox {
    Q_OBJECT
  public:
    enum class Kind { Budget, Settlement };

    TStatementStyleBox(Kind kind, TDataSource* texts, QWidget* parent);

    // Declares the three columns on the statement-texts dataset: the title cut to
    // 30 characters and trimmed as typed, the two signs.
    static void DefineFields(data::DataSet& texts, Kind kind);
    static QString TitleField(Kind kind);

    TDBEdit* TitleEdit;
    TDBComboBox* SyunyuCombo;
    TDBComboBox* SisyutsuCombo;
};
