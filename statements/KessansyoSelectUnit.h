#pragma once
// "決算書出力": the choice of settlement statement, the budget choice window
// (YosansyoSelectUnit.h) on KessansyoList.txt, the settlement modules
// (reports/ExlKessansyoUnit.h) and the NENDO columns KESSANSYO_SYOKICHI and
// KESSAN_ZERO_PRINT. The interim window remembers into the same columns.
//
// The "決算書" button of the settlement window, after posting its pending edits:
//
//   TKessansyoSelectForm form(loadedYear, Jikoku, &NendoClientDS, QString(), this);
//   form.exec();
//
// and of the interim settlement window, with its statement-texts row and the
// closing date of its load (yyyymmdd):
//
//   TKessansyoSelectForm form(loadedYear, Jikoku, &CyukanNendoDS, simebi, this);
//   form.exec();
//
// The workbooks read that window's W_KESSAN rows under this computer and
// `jikoku`; `nendoDS` must stay open while the form is up.

#include "statements/YosansyoSelectUnit.h"

class TKessansyoSelectForm : public TYosansyoSelectForm {
    Q_OBJECT
  public:
    TKessansyoSelectForm(int nendo, const QString& jikoku, data::DataSet* nendoDS, const QString& cyukanSimebi,
                         QWidget* parent = nullptr);

    const QString& CyukanSimebi() const { return cyukanSimebi_; }

  protected:
    QString ListFile() const override;
    QString SyokichiSql() const override;
    QString SaveSql() const override;
    std::unique_ptr<TExlYosansyoModule> NewModule(int line) const override;
    void SetupModule(TExlYosansyoModule& module) const override;

  private:
    QString cyukanSimebi_;
};
