#pragma once
// The entry windows (journal, budget, settlements) on a scratch organisation: the
// organisation 東町会 logged in with the year 2021 chosen, and the helpers that drive
// a window as the keyboard and the mouse do and read back what it wrote.

#include <QStringList>

#include <memory>
#include <ostream>

#include "tests/support/DataWindowFixture.h"
#include "tests/support/QueryRows.h"

class FirebirdServer;
class QWidget;
class TDBGrid;
class TDBLookupComboBox;
class TTsubakiBaseForm2;

// The test's program reaching the scratch database through a Firebird server: a
// connection module of its own, installed while the object lives.
struct ServerProgram {
    explicit ServerProgram(const QString& viaServer);
    const QString databaseString;
    TDataModule1 module;
    DataModuleInstallation installation{module};
};

class EntryWindowTest : public DataWindowTest {
  protected:
    EntryWindowTest();
    ~EntryWindowTest() override;

    // Types the year and presses Enter in the year box, which loads it.
    static void Load(TTsubakiBaseForm2& form, const QString& year = QStringLiteral("2021"));
    // Types the year into the year box (in place of what it shows).
    static void TypeYear(TTsubakiBaseForm2& form, const QString& year);
    // Chooses the division `code` in the window's drop-down (KaikeiKubunCombo).
    template <class Form>
    static void ChooseDivision(Form& form, int code) {
        ChooseKey(form.KaikeiKubunCombo, code);
    }
    static void ChooseKey(TDBLookupComboBox* combo, int code);
    static void Click(QWidget* button);

    // Rows of a query on the window's connection, each row's values joined by "|"
    // (NULL as "-").
    QStringList Rows(const QString& sql) { return RowsOf(module.SQLConnection1, sql); }
    // A grid's rows as shown, cells joined by "|".
    static QStringList GridRows(const TDBGrid* grid);

    // From now on every program reaches the scratch database through `server`: the
    // fixture's own connection is closed (the embedded engine lets one process at a
    // time open the file).
    std::unique_ptr<ServerProgram> ThroughServer(const FirebirdServer& server);
};

// Shows texts in test failures as text.
void PrintTo(const QString& text, std::ostream* os);
