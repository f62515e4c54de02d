#pragma once
// A scratch organisation for the report modules: a copy of the empty database
// installed as the program's connection, a program folder with the generated
// templates and a settings file whose empty viewer makes reports only save
// their books, and helpers to add rows and to read the saved book back.

#include "db/DataModule.h"
#include "sheet/Application.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace sheet {
class Workbook;
class Worksheet;
}  // namespace sheet

class ReportFixture : public ::testing::Test {
  protected:
    static const QString kJikoku;

    void SetUp() override;
    void TearDown() override;

    void Exec(const QString& sql, const db::Connection::Params& params = {});
    void AddYear(int nendo, const QString& kisyubi, const QString& kimatsubi, int nengoKubun = 0);
    void AddBunrui(int cd, const QString& name, int syusiKubun, int kessansyoKubun, int junjyo = 1);
    void AddKamoku(int cd, const QString& name, int bunrui, int junjyo = 1);
    void AddDivision(int cd, const QString& name);
    void AddYosan(int nendo, int division, int kamoku, int amount);
    void AddKurikosi(int nendo, int division, int kamoku, int amount);
    // One work row of the journal window's load (this computer, kJikoku).
    void AddLine(int seq, int division, const QString& hizuke, int kamoku, std::optional<int> syunyu,
                 std::optional<int> sisyutsu, const QString& aite = QString(),
                 const QString& tekiyo = QString(), const QString& jikoku = kJikoku);

    // A year's worth of work rows made up for read-back tests: `count` lines over
    // the divisions 0 .. divisions-1, dates spread from `first` to `last` (several
    // on a day), items from `items` (some lines with an item that does not
    // exist), receipts or payments, texts that look like numbers or formulas.
    struct Line {
        int seq;
        int division;
        QString hizuke;
        int kamoku;
        std::optional<int> syunyu;
        std::optional<int> sisyutsu;
        QString aite;
        QString tekiyo;
    };
    std::vector<Line> AddGeneratedLines(int count, int divisions, const QString& first, const QString& last,
                                        const std::vector<int>& items);

    // The one book the report saved, opened with our own reader.
    sheet::Workbook& SavedBook(const QStringList& files);
    QString ReportFolder() const { return temp_.File(QStringLiteral("out")); }
    QString ProgramFolder() const { return temp_.File(QStringLiteral("app")); }
    void WriteSettings(const QString& viewer);

    ScriptedDialogs dialogs_;
    TempFolder temp_;
    ScratchDatabase database_;
    std::unique_ptr<TDataModule1> module_;
    std::unique_ptr<DataModuleInstallation> installation_;
    sheet::Application reader_;
};

// The cell's value as text ("" for an empty cell; numbers without decimals).
QString CellText(sheet::Worksheet& sheet, const QString& address);
// The cell's value or formula ("=SUM(E6:E10)").
QString CellFormula(sheet::Worksheet& sheet, const QString& address);
