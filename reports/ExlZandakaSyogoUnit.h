#pragma once
// 残高照合表: the sheet the auditors sign at the year-end audit. One page per
// accounting division of the year: the book balance at the closing (the journal's
// balance, items outside the statements included), the places the money is held
// with their amounts and total, the difference, the audit date and a signature
// line for each of the two auditors (title, name and 印, from the statement texts).
//
//   TExlZandakaSyogoModule report;
//   report.SetNendo(year);
//   report.SetNendoDS(&textsRow);        // the settlement's texts row (the interim one for an interim
//   closing) report.SetCyukanSimebi(simebi);      // empty: the year-end report.SetPlaces(windowPlaces); //
//   optional: the places as a window holds them, saved or not report.Execute();
//
// Without SetPlaces the saved places of the closing are printed. The book balance
// is always the saved journal's.

#include "reports/TsubakiExcelBaseModuleUnit.h"
#include "statements/ZandakaRules.h"

#include <optional>

class TExlZandakaSyogoModule : public TTsubakiExcelBaseModule {
  public:
    TExlZandakaSyogoModule();

    void Execute() override;

    // The statement-texts row (NENDO, or CYUKAN_KESSAN_NENDO of the closing);
    // without one the year's NENDO row is read.
    void SetNendoDS(data::DataSet* value) { FNendoDS = value; }
    const QString& CyukanSimebi() const { return FCyukanSimebi; }
    void SetCyukanSimebi(const QString& value) { FCyukanSimebi = value; }
    void SetPlaces(std::optional<statements::PlacesByDivision> places) { FPlaces = std::move(places); }

  protected:
    void StartExcel() override;
    void WriteBook() override;

  private:
    QString Text(const QString& field) const;
    // One division's block at row offset `off`: every cell but the places, then
    // the places' rows made (written once every block has its rows).
    sheet::RowWriter& WriteBlock(int off, const QString& division, qint64 book, std::size_t places);

    data::DataSet* FNendoDS = nullptr;
    QString FCyukanSimebi;
    std::optional<statements::PlacesByDivision> FPlaces;
};
