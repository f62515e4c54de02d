#pragma once
// 月別集計表: the monthly summary workbook. One sheet per accounting division
// (code order) with every account item's receipts or payments per fiscal month,
// the carry-over from the previous year, and the monthly movements of the items
// outside the statements, from the journal window's work rows of its load.
//
// How the journal window runs it (button "月別集計表"):
//
//   TExlTsukibetsuSyukeiModule report;
//   report.SetNendo(loadedYear);
//   report.SetJikoku(Jikoku);   // the window's load stamp
//   report.Execute();
//
// Errors (spreadsheet start, template, database) come out of Execute as exceptions.

#include "reports/TsubakiExcelBaseModuleUnit.h"

#include <vector>

class TExlTsukibetsuSyukeiModule : public TTsubakiExcelBaseModule {
  public:
    // Bookmei := <program folder>/Template/月別集計表.xltx; no sheet is connected
    // when the book opens.
    TExlTsukibetsuSyukeiModule();
    ~TExlTsukibetsuSyukeiModule() override;

  protected:
    void WriteBook() override;
    void WriteSheet() override;
    virtual void MakeDivisionSheets();

    // The year's valid divisions, lowest code first.
    data::SqlCommand KaikeiKubunSQL;
    data::DataSet KaikeiKubunClientDS;
    // The division's carry-over from the previous year as budgeted (item 100).
    data::SqlCommand KurikosiSQL;
    data::DataSet KurikosiClientDS;
    // Receipts and payments rows of the main query (items on the statements).
    data::DataSet SyunyuClone;
    data::DataSet SisyutsuClone;
    // The same two kinds of the items outside the statements (SQLDataSet2).
    data::DataSet SonotaSyunyuClone;
    data::DataSet SonotaSisyutsuClone;
    data::SqlCommand SQLDataSet2;
    data::DataSet ClientDataSet2;
    QString Kisyubi;
    QString Kimatsubi;

  private:
    struct Division {
        int code;
        QString name;
    };
    void SetMonthParams(data::SqlCommand& command) const;
    void WriteMainSection(data::DataSet& view, int kaisiGyo);
    void WriteOutsideSection(data::DataSet& view, int kaisiGyo);
    void HideRows(int first, int last);

    std::vector<Division> divisions_;
    int simebi_ = 31;
    int kaisiNen_ = 0;
    int syuryozuki_ = 0;
};

// Row 4's labels: for each fiscal month the calendar month in which its period
// closes, in full-width digits followed by 月 (４月 … ３月 for a year from 1 April).
QStringList MonthLabels(int kisyubi);
