#pragma once
// 会費徴収一覧: the collection list workbook of one kind of dues in a year, a sheet
// per 班 (in the 班's order) with its households by month: the amount paid for each
// month, 未 where a month is owed and unpaid, blank where nothing is owed there.
// The households' totals and each 班's totals are the template's formulas.
//
//   TExlKaihiCyosyuModule report;
//   report.SetNendo(2026);
//   report.SetSyurui(1);
//   report.Execute();          // or SetOutputFile(path) first, for the command line

#include "kaihi/KaihiStore.h"
#include "reports/ExcelBaseModuleUnit1.h"

class TExlKaihiCyosyuModule : public TExcelBaseModule1 {
  public:
    // Bookmei := <program folder>/Template/会費徴収一覧.xltx.
    TExlKaihiCyosyuModule();

    void SetNendo(int nendo) { nendo_ = nendo; }
    void SetSyurui(int syuruiCd) { syuruiCd_ = syuruiCd; }

  protected:
    void WriteBook() override;

  private:
    int nendo_ = 0;
    int syuruiCd_ = 0;
};

// What one household's row of one 班 shows per month: the amount paid for it, or
// that it is owed and unpaid, or nothing. Payments covering several months are
// spread over them (the remainder on the first); a yearly kind's payment falls in
// the month of its date.
struct KaihiIchiranCell {
    std::optional<qint64> paid;
    bool unpaid = false;
    bool operator==(const KaihiIchiranCell&) const = default;
};
std::vector<KaihiIchiranCell> IchiranRow(const SetaiMembership& setai, int hanCd, const KaihiSyurui& syurui,
                                         const KaihiYear& year);
