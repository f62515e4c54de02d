#pragma once
// The database side of every report module: the report's main query on the
// organisation connection, the fiscal year and the work-table key of the
// window that started it, the detail-area settings of the sheet being written,
// and the two steps every report shares: filling the key parameters of a query
// and growing a section's detail rows.
//
// Report modules read the database and never write to it. Work rows are found
// by (CPU_NAME, JIKOKU): the computer's name and the stamp of the window's load.
// The journal's reports can read the saved year instead (SetSavedYear), for a run
// that has no window and so no load: they then read MEISAI by NENDO, the same
// statements otherwise, and no work row is written or read.

#include "data/DataSet.h"
#include "data/SqlCommand.h"
#include "reports/ExcelBaseModuleUnit1.h"
#include "sheet/RowWriter.h"

#include <QString>

class TTsubakiExcelBaseModule : public TExcelBaseModule1 {
  public:
    // Nendo := CurrentNendo, Jikoku := now as yyyymmddhhmmss; the queries use
    // the program's connection (DataModule1).
    TTsubakiExcelBaseModule();
    ~TTsubakiExcelBaseModule() override;

    int Nendo() const { return FNendo; }
    void SetNendo(int value) { FNendo = value; }
    const QString& Jikoku() const { return FJikoku; }
    void SetJikoku(const QString& value) { FJikoku = value; }
    // The journal's lines from the saved year rather than a load's work rows.
    bool SavedYear() const { return FSavedYear; }
    void SetSavedYear(bool value) { FSavedYear = value; }

  protected:
    void StartExcel() override;
    // Opens the main query, WriteSheet, closes the query again.
    void WriteBook() override;
    virtual void WriteSheet() {}
    // Sets the parameters that `command` uses, by name without regard to case:
    // CPU_NAME, JIKOKU, NENDO and KAIKEI_KUBUN. Others are left alone.
    virtual void FillReportParams(data::SqlCommand& command);
    // Makes the detail area of the current section hold `n` records and returns
    // the writer that streams their rows (sheet/RowWriter.h), the one way a
    // report writes detail rows. With more records than the template provides,
    // the rows below the template's second record move down and the new rows
    // are copies of that record; with fewer, the surplus template rows stay.
    virtual sheet::RowWriter& ExtendDetailRows(int n);
    // The current section's detail area: KaisiGyo, MeisaiGyosu records of RecGyo
    // rows, columns KaisiRetsu..Syuryoretsu, the second record repeated.
    sheet::DetailLayout DetailArea() const;
    // Tells that the sheet of the division KaikeiKubunmei is being written.
    void NextDivisionStep();
    // " from <table> where (<the lines of the year or of the load>)", the
    // journal's lines as SavedYear chooses; its parameters are those
    // FillReportParams fills.
    QString JournalLinesFrom() const;

    // The main query: SQLDataSet1 feeds ClientDataSet1 (the dataset loads the
    // command's rows itself, so there is no separate provider object).
    data::SqlCommand SQLDataSet1;
    data::DataSet ClientDataSet1;
    // "select * from NENDO where (NENDO = :Nendo)", read through NendoClientDS.
    data::SqlCommand NendoSQL;
    data::DataSet NendoClientDS;

    int FNendo = 0;
    QString FJikoku;
    bool FSavedYear = false;
    int KaisiGyo = 0;
    int KaisiRetsu = 0;
    int Syuryoretsu = 0;
    int RecGyo = 1;
    int MeisaiGyosu = 0;
    int KaikeiKubun = 0;
    QString KaikeiKubunmei;
    int NengoKubun = 0;
};

// Feeds `dataSet` from `command`.
void Bind(data::DataSet& dataSet, data::SqlCommand& command);

// `text` as the spreadsheet should show it: a text the application would read
// as a formula or a number ("=...", "0120") gets the quote prefix that keeps
// it a text.
QString LiteralText(const QString& text);
