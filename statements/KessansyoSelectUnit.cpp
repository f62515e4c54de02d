#include "statements/KessansyoSelectUnit.h"

#include "reports/ExlKessansyoUnit.h"

TKessansyoSelectForm::TKessansyoSelectForm(int nendo, const QString& jikoku, data::DataSet* nendoDS,
                                           const QString& cyukanSimebi, QWidget* parent)
    : TYosansyoSelectForm(nendo, jikoku, nendoDS, parent), cyukanSimebi_(cyukanSimebi) {
    setWindowTitle(QStringLiteral("決算書出力"));
}

QString TKessansyoSelectForm::ListFile() const {
    return QStringLiteral("KessansyoList.txt");
}

QString TKessansyoSelectForm::SyokichiSql() const {
    return QStringLiteral(
        "select KESSANSYO_SYOKICHI as SYOKICHI, KESSAN_ZERO_PRINT as ZERO_PRINT from NENDO where (NENDO = :NENDO)");
}

QString TKessansyoSelectForm::SaveSql() const {
    return QStringLiteral(
        "update NENDO set KESSANSYO_SYOKICHI = :SYOKICHI, KESSAN_ZERO_PRINT = :ZeroPrint where (NENDO = :NENDO)");
}

std::unique_ptr<TExlYosansyoModule> TKessansyoSelectForm::NewModule(int line) const {
    return NewKessansyoModule(line);
}

void TKessansyoSelectForm::SetupModule(TExlYosansyoModule& module) const {
    module.SetCyukanSimebi(cyukanSimebi_);
}
