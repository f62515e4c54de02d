#pragma once
// 領収書: receipts for chosen payments of dues, three slips to an A4 page to be cut
// apart. Each payment gets its receipt number when it is first printed and keeps
// it: printing it again prints the same number, marked 再発行. A run whose book
// is not written gives no number (the sequence's values it drew are skipped,
// never given to another payment).
//
//   TExlKaihiRyosyusyoModule report;
//   report.SetNendo(2026);
//   report.SetNoufu({12, 13});   // NOUFU_NO, in the order the slips come
//   report.Execute();

#include "reports/ExcelBaseModuleUnit1.h"

#include <vector>

class TExlKaihiRyosyusyoModule : public TExcelBaseModule1 {
  public:
    TExlKaihiRyosyusyoModule();
    void Execute() override;
    void SetNendo(int nendo) { nendo_ = nendo; }
    void SetNoufu(std::vector<int> noufuNos) { noufuNos_ = std::move(noufuNos); }
    // After the run: the receipt number of each payment, in SetNoufu's order.
    const std::vector<int>& Numbers() const { return numbers_; }

  protected:
    void WriteBook() override;

  private:
    int nendo_ = 0;
    std::vector<int> noufuNos_;
    std::vector<int> numbers_;
};
