#pragma once
// A scratch organisation with the fiscal years 2020 and 2021 (1 April to 31 March),
// the special account 2 (祭礼会計), a small chart of accounts with a transfer pair
// and two items outside the statements, and helpers that drive the budget window.

#include <QStringList>

#include <memory>

#include "core/KyotsuUnit.h"
#include "statements/YosanNyuryokuUnit.h"
#include "tests/support/EntryWindowFixture.h"

class YosanTest : public EntryWindowTest {
  protected:
    YosanTest();

    static void Seed(db::Connection& connection);

    std::unique_ptr<TYosanNyuryokuForm> Open();
    static void ShowPage(TYosanNyuryokuForm& form, int index);

    // Sets cells of the division's row of `kamoku` through `view` as the grid does
    // (edit, the typed texts, post); `cells` are field name and typed text.
    static void SetRow(data::DataSet& view, int kamoku,
                       const std::vector<std::pair<QString, QString>>& cells);
    // The breakdown amount of an item in the division shown.
    static void SetKurikosi(TYosanNyuryokuForm& form, int kamoku, const QString& typed);

    // The window's work rows: KAIKEI_KUBUN|KAMOKU|YOSAN|ZENNEN_YOSAN|ZENNEN_KESSAN.
    QStringList WorkRows(const TYosanNyuryokuForm& form);
    // A total line: label|本年度予算額|前年度決算額|前年度予算額.
    static QString Total(const TTotalLine* line);
};
