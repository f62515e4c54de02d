#pragma once
// A scratch organisation with the fiscal years 2020 and 2021 (1 April to 31 March),
// the special account 2 (祭礼会計), a small chart of accounts with a transfer pair
// and two items outside the statements, and helpers that drive the budget window.

#include <QStringList>

#include <memory>

#include "core/KyotsuUnit.h"
#include "statements/YosanNyuryokuUnit.h"
#include "tests/ui/DataWindowFixture.h"

class YosanTest : public DataWindowTest {
  protected:
    YosanTest();
    ~YosanTest() override;

    static void Seed(db::Connection& connection);

    std::unique_ptr<TYosanNyuryokuForm> Open();
    // Types the year and presses Enter in the year box, which loads it.
    static void Load(TYosanNyuryokuForm& form, const QString& year = QStringLiteral("2021"));
    static void ChooseDivision(TYosanNyuryokuForm& form, int code);
    static void Click(QWidget* button);
    static void ShowPage(TYosanNyuryokuForm& form, int index);

    // Sets cells of the division's row of `kamoku` through `view` as the grid does
    // (edit, the typed texts, post); `cells` are field name and typed text.
    static void SetRow(data::DataSet& view, int kamoku,
                       const std::vector<std::pair<QString, QString>>& cells);
    // The breakdown amount of an item in the division shown.
    static void SetKurikosi(TYosanNyuryokuForm& form, int kamoku, const QString& typed);

    QStringList Rows(const QString& sql);
    // The window's work rows: KAIKEI_KUBUN|KAMOKU|YOSAN|ZENNEN_YOSAN|ZENNEN_KESSAN.
    QStringList WorkRows(const TYosanNyuryokuForm& form);
    // A grid's rows as shown, cells joined by "|".
    static QStringList GridRows(const TDBGrid* grid);
    // A total line: label|本年度予算額|前年度決算額|前年度予算額.
    static QString Total(const TTotalLine* line);
};

void PrintTo(const QString& text, std::ostream* os);
