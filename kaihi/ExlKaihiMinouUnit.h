#pragma once
// 未納一覧 and 班別世帯数, through the report family.
//
// 未納一覧: every household that still owes dues of the year, by 班 (its 班 in the
// first unpaid month) and kind, with the months and the amount (a yearly kind's
// month is the one it fell due). 班別世帯数: the households of each 班 on a day (as
// the city's subsidy application asks), with the total.

#include "kaihi/KaihiStore.h"
#include "reports/ExcelBaseModuleUnit1.h"

#include <QDate>

class TExlKaihiMinouModule : public TExcelBaseModule1 {
  public:
    TExlKaihiMinouModule();
    void SetNendo(int nendo) { nendo_ = nendo; }
    // Dues owed up to this day count (later months are not yet due); default today.
    void SetAsOf(const QDate& day) { asOf_ = day; }

  protected:
    void WriteBook() override;

  private:
    int nendo_ = 0;
    QDate asOf_ = QDate::currentDate();
};

class TExlHanbetsuSetaisuModule : public TExcelBaseModule1 {
  public:
    TExlHanbetsuSetaisuModule();
    void SetDay(const QDate& day) { day_ = day; }

  protected:
    void WriteBook() override;

  private:
    QDate day_ = QDate::currentDate();
};
