#pragma once
// 月別集計表: the monthly summary workbook. One sheet per accounting division
// (code order) with every account item's receipts or payments per fiscal month,
// the carry-over from the previous year, and the monthly movements of the items
// outside the statements, from the journal window's work rows of its load.
//
// The figures come from one grouped statement over the whole load (division,
// item, day; the days then summed into their month columns) and a few small lists (divisions, items,
// carry-overs); every sheet is written from those, without reading the lines again.
//
// How the journal window runs it (button "月別集計表"):
//
//   TExlTsukibetsuSyukeiModule report;
//   report.SetNendo(loadedYear);
//   report.SetJikoku(Jikoku);   // the window's load stamp
//   report.Execute();
//
// The command line sets SetSavedYear(true) instead of a stamp: the saved year's lines.
//
// Errors (spreadsheet start, template, database) come out of Execute as exceptions.

#include "reports/TsubakiExcelBaseModuleUnit.h"

#include <array>
#include <map>
#include <optional>
#include <vector>

// The twelve month columns of a fiscal year. The monthly closing day is the
// last day's day of the month (31 when the year starts on a 1st); a day after
// it belongs to the next month. Column 1 is the month in which the period of
// the year's first day closes, and every later month is one column further, so
// each line of a year of at most twelve months lands in exactly one column,
// whatever month the year starts or ends in.
class FiscalMonths {
  public:
    FiscalMonths(int kisyubi, int kimatsubi);
    int ClosingDay() const { return closingDay_; }
    // 12 × year + month − 1 of column 1's month.
    int FirstMonth() const { return firstMonth_; }
    // 1-12, or 0 for a date outside the year.
    int Column(int yyyymmdd) const;
    // Row 4's labels: each column's month in full-width digits followed by 月.
    QStringList Labels() const;

  private:
    int kisyubi_;
    int kimatsubi_;
    int closingDay_;
    int firstMonth_;
};

namespace db {
class Connection;
}

// Each division's balance at the end of each fiscal month as the summary's
// 差引残高 row computes it: the carry-over from the previous year and every
// month's receipts less payments of the statements' items so far, from the
// saved lines of year `nendo`. Empty when the year has no NENDO row.
struct MonthEndBalances {
    QStringList labels;  // the month columns' labels
    FiscalMonths months{0, 0};
    std::map<int, std::array<qint64, 12>> balances;  // division -> months
};
MonthEndBalances ReadMonthEndBalances(db::Connection& connection, int nendo);

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
    // Every item with its classification.
    data::SqlCommand KamokuSQL;
    // The carry-over from the previous year as budgeted (item 100), per division.
    data::SqlCommand KurikosiSQL;
    // The carry-overs into the year of the items outside the statements, per division.
    data::SqlCommand SQLDataSet2;
    // SQLDataSet1 (the base's main query): the load's lines summed per division,
    // item and day, in one statement.
    QString Kisyubi;
    QString Kimatsubi;

  private:
    struct Division {
        int code;
        QString name;
    };
    struct Item {
        int code;
        QString name;
        int junjyo;
        int bunrui;
        QString bunruiName;
        int bunruiJunjyo;
        int syusiKubun;
        int kessansyoKubun;  // 1 on the statements, 0 outside them
    };
    // One row of a section: an item's carry-over (outside items) and months.
    struct SectionRow {
        const Item* item;
        std::optional<qint64> carry;
        std::array<qint64, 12> months{};
    };
    struct Sections {
        std::vector<SectionRow> receipts, payments, outsideReceipts, outsidePayments;
    };
    void ReadYear();
    Sections SectionsOf(int division) const;
    void WriteMainSection(sheet::RowWriter& rows, const std::vector<SectionRow>& section);
    void WriteOutsideSection(sheet::RowWriter& rows, const std::vector<SectionRow>& section);
    sheet::RowWriter* ReserveOutsideSection(int kaisiGyo, int n);
    void HideRows(int first, int last);

    std::vector<Division> divisions_;
    std::vector<Item> items_;  // in the order the sections list them
    // Division -> item -> month sums (index 0 holds lines outside the twelve months).
    std::map<int, std::map<int, std::array<qint64, 13>>> sums_;
    std::map<int, qint64> kurikosi_;                    // division -> item 100's budget
    std::map<std::pair<int, int>, qint64> carryOvers_;  // (division, item) -> KURIKOSI
};
