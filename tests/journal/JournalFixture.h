#pragma once
// A scratch organisation with the fiscal year 2021 (1 April to 31 March), two
// special accounts and a small chart of accounts with transfer items, and helpers
// that drive the journal window the way the keyboard does.

#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

#include "core/KyotsuUnit.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "tests/support/EntryWindowFixture.h"
#include "ui/DBControls.h"
#include "ui/DBGrid.h"

class JournalTest : public EntryWindowTest {
  protected:
    JournalTest();

    // Seeds the organisation through a connection (the window's own one).
    static void Seed(db::Connection& connection);

    std::unique_ptr<TMeisaiNyuryokuForm> Open();
    // Types the cells of the line under the cursor (日付, 入金先／支払先, 摘要,
    // 科目(集計項目), 収入金額, 支払金額), Tab after each; the last Tab leaves the line.
    static void TypeLine(const QStringList& cells);
    // Chooses the division with the keyboard on the drop-down (the grid is left
    // first, as when the user goes there).
    static void ChooseDivision(TMeisaiNyuryokuForm& form, int code);

    // The window's work rows: SEQ_NO|KAIKEI_KUBUN|HIZUKE|KAMOKU|SYUNYU|SISYUTSU.
    QStringList WorkRows(const TMeisaiNyuryokuForm& form);
    // The grid's lines as shown: 日付|入金先|摘要|科目|収入|支払 (the empty new line left out).
    static QStringList GridLines(const TMeisaiNyuryokuForm& form);
};

// The keyboard helpers for code outside the fixture (the crash test's child).
struct JournalTestAccess : JournalTest {
    using JournalTest::Load;
    using JournalTest::TypeLine;
};
