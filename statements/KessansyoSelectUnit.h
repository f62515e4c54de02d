#pragma once
// "決算書出力": the choice of settlement statement, the budget choice window
// (YosansyoSelectUnit.h) on KessansyoList.txt, the settlement modules
// (reports/ExlKessansyoUnit.h) and the NENDO columns KESSANSYO_SYOKICHI,
// KESSAN_ZERO_PRINT and KESSAN_GRAPH_PRINT. The interim window remembers into the same columns.
//
// Beside the statements the list offers 残高照合表 (reports/ExlZandakaSyogoUnit.h),
// and the check box "残高内訳を出力する" adds the 残高内訳 block under each
// division's carry-over (remembered in KESSAN_ZANDAKA_PRINT).
//
// The "決算書" button of the settlement window, after posting its pending edits:
//
//   TKessansyoSelectForm form(loadedYear, Jikoku, &NendoClientDS, QString(), this);
//   form.SetPlaces(the places of its 残高内訳 tab);
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
#include "statements/ZandakaRules.h"

#include <optional>

class TKessansyoSelectForm : public TYosansyoSelectForm {
    Q_OBJECT
  public:
    TKessansyoSelectForm(int nendo, const QString& jikoku, data::DataSet* nendoDS,
                         const QString& cyukanSimebi, QWidget* parent = nullptr);

    const QString& CyukanSimebi() const { return cyukanSimebi_; }
    // The places the calling window shows (saved or not); without them the saved ones print.
    void SetPlaces(statements::PlacesByDivision places) { places_ = std::move(places); }

    QCheckBox* ZandakaCheckBox;

    void ExecBtnClick() override;
    void SaveBtnClick() override;

  protected:
    void PrepareWindow() override;
    QString ListFile() const override;
    QString SyokichiSql() const override;
    QString SaveSql() const override;
    std::unique_ptr<TExlYosansyoModule> NewModule(int line) const override;
    void SetupModule(TExlYosansyoModule& module) const override;

  private:
    QString cyukanSimebi_;
    std::optional<statements::PlacesByDivision> places_;
};
