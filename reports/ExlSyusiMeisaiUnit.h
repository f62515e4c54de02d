#pragma once
// 収支明細書: the journal listing workbook. One sheet per accounting division
// (copies of the template's sheet, named after the divisions, in code order),
// each with the title, the opening row and one row per journal line of the
// journal window's load, saved or not.
//
// How the journal window runs it (button "収支明細表"):
//
//   TExlSyusiMeisaiModule report;
//   report.SetNendo(loadedYear);
//   report.SetJikoku(Jikoku);              // the window's load stamp
//   report.SetKaisibi(dateFrom);           // yyyymmdd, or empty for the year's first day
//   report.SetSyuryobi(dateTo);            // yyyymmdd, or empty for the year's last day
//   report.SetSiteiKamoku(filterItem);     // 0 for every item
//   report.SetTaisyoKubun(division);       // with an item: its division; -1 for all
//                                          // (the command line: one division, any items)
//   report.Execute();
//
// The command line sets SetSavedYear(true) instead of a stamp: the saved year's lines.
//
// Errors (spreadsheet start, template, database) come out of Execute as exceptions.

#include "reports/TsubakiExcelBaseModuleUnit.h"

#include <QHash>

class TExlSyusiMeisaiModule : public TTsubakiExcelBaseModule {
  public:
    // Bookmei := <program folder>/Template/収支明細書.xltx; no sheet is connected
    // when the book opens; every item and every division.
    TExlSyusiMeisaiModule();
    ~TExlSyusiMeisaiModule() override;

    // Right-trimmed date texts; each reads as the year's first (last) day while empty.
    QString Kaisibi() const;
    void SetKaisibi(const QString& value);
    QString Syuryobi() const;
    void SetSyuryobi(const QString& value);
    int SiteiKamoku() const { return FSiteiKamoku; }
    void SetSiteiKamoku(int value) { FSiteiKamoku = value; }
    int TaisyoKubun() const { return FTaisyoKubun; }
    void SetTaisyoKubun(int value) { FTaisyoKubun = value; }

  protected:
    void WriteBook() override;
    void WriteSheet() override;
    virtual void MakeDivisionSheets();

    // The year's valid divisions in code order.
    data::SqlCommand KaikeiKubunSQL;
    data::DataSet KaikeiKubunClientDS;
    // Items with their classification's kinds.
    data::SqlCommand KamokuSQL;
    data::DataSet KamokuClientDS;
    // The division's opening balance: item 100 of the budget and the year's
    // carry-overs of the items outside the statements, signed.
    data::SqlCommand KurikosiSQL;
    data::DataSet KurikosiClientDS;
    // The division's receipts and payments dated before the start date.
    data::SqlCommand ZenzanSQL;
    data::DataSet ZenzanClientDS;

    QString Kisyubi;
    QString Kimatsubi;
    QString FKaisibi;
    QString FSyuryobi;
    int FSiteiKamoku = 0;
    int FTaisyoKubun = -1;

  private:
    struct Division {
        int code;
        QString name;
    };
    struct Item {
        QString name;
        int syusiKubun;
    };
    void LoadItems();
    QString TitleYear() const;
    QString DateText(const QString& yyyymmdd) const;
    void WriteHeader();
    void WriteOpeningRow();
    // Streams the division's lines into the detail rows, in date and line order.
    void WriteLines(sheet::RowWriter& rows);

    std::vector<Division> divisions_;
    int yearDivisionCount_ = 0;
    int lineCount_ = 0;
    QHash<int, Item> items_;
};
