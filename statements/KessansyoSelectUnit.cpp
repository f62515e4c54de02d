#include "statements/KessansyoSelectUnit.h"

#include "core/ErrorHandler.h"
#include "db/DataModule.h"
#include "reports/ExlKessansyoUnit.h"
#include "reports/ExlZandakaSyogoUnit.h"
#include "templates/ZandakaSyogohyoLayout.h"
#include "ui/ReportProgressDialog.h"

#include <QCheckBox>
#include <QLayout>
#include <QPushButton>

using namespace Qt::Literals::StringLiterals;

TKessansyoSelectForm::TKessansyoSelectForm(int nendo, const QString& jikoku, data::DataSet* nendoDS,
                                           const QString& cyukanSimebi, QWidget* parent)
    : TYosansyoSelectForm(nendo, jikoku, nendoDS, parent),
      ZandakaCheckBox(new QCheckBox(u"残高内訳を出力する(&B)"_s, this)),
      cyukanSimebi_(cyukanSimebi) {
    setWindowTitle(QStringLiteral("決算書出力"));
    ZandakaCheckBox->setToolTip(
        u"決算書の次期繰越金の下に、会計区分ごとの残高内訳（現金・預金などの内訳と合計）を出力します。"_s);
    layout()->addWidget(ZandakaCheckBox);
    setTabOrder(CloseBtn, ZandakaCheckBox);
}

QString TKessansyoSelectForm::ListFile() const {
    return QStringLiteral("KessansyoList.txt");
}

QString TKessansyoSelectForm::SyokichiSql() const {
    return QStringLiteral(
        "select KESSANSYO_SYOKICHI as SYOKICHI, KESSAN_ZERO_PRINT as ZERO_PRINT, KESSAN_GRAPH_PRINT as "
        "GRAPH_PRINT"
        " from NENDO where (NENDO = :NENDO)");
}

QString TKessansyoSelectForm::SaveSql() const {
    return QStringLiteral(
        "update NENDO set KESSANSYO_SYOKICHI = :SYOKICHI, KESSAN_ZERO_PRINT = :ZeroPrint,"
        " KESSAN_GRAPH_PRINT = :GraphPrint where (NENDO = :NENDO)");
}

void TKessansyoSelectForm::PrepareWindow() {
    TYosansyoSelectForm::PrepareWindow();
    RunGuarded([this] {
        const auto rows = DataModule1().SQLConnection1.Select(
            u"select KESSAN_ZANDAKA_PRINT from NENDO where (NENDO = :NENDO)"_s, {{u"NENDO"_s, Nendo}});
        ZandakaCheckBox->setChecked(!rows.rows.empty() && !rows.rows.front()[0].IsNull() &&
                                    rows.rows.front()[0].AsInteger() == 1);
    });
}

void TKessansyoSelectForm::SaveBtnClick() {
    TYosansyoSelectForm::SaveBtnClick();
    if (SelectedLine() == 0)
        return;
    DataModule1().SQLConnection1.Execute(
        u"update NENDO set KESSAN_ZANDAKA_PRINT = :Print where (NENDO = :NENDO)"_s,
        {{u"Print"_s, ZandakaCheckBox->isChecked() ? 1 : 0}, {u"NENDO"_s, Nendo}});
}

void TKessansyoSelectForm::ExecBtnClick() {
    if (SelectedKey() != QString::fromUtf8(templates::zandaka::kName)) {
        TYosansyoSelectForm::ExecBtnClick();
        return;
    }
    TExlZandakaSyogoModule module;
    module.SetNendo(Nendo);
    module.SetNendoDS(NendoDS);
    module.SetCyukanSimebi(cyukanSimebi_);
    module.SetPlaces(places_);
    TReportProgressDialog progress(this, windowTitle());
    module.SetProgress(&progress);
    module.Execute();
    lastSaved_ = module.SavedFiles();
}

std::unique_ptr<TExlYosansyoModule> TKessansyoSelectForm::NewModule(int line) const {
    return NewKessansyoModule(line);
}

void TKessansyoSelectForm::SetupModule(TExlYosansyoModule& module) const {
    module.SetCyukanSimebi(cyukanSimebi_);
    if (auto* balances = dynamic_cast<kessansyo::BalancesOption*>(&module)) {
        balances->SetBalances(ZandakaCheckBox->isChecked());
        balances->SetPlaces(places_);
    }
}
