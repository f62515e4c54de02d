#include "reports/ExlYosansyoUnit7.h"

#include "reports/YosansyoRules.h"

TExlYosansyoModule7::TExlYosansyoModule7() {
    SetTemplatemei(QStringLiteral("予算書７"));
}

QString TExlYosansyoModule7::FigureCondition() const {
    return TExlYosansyoModule::FigureCondition();
}

bool TExlYosansyoModule7::HasSubtotalRows() const {
    return Layout && Layout->subtotals;
}

bool TExlYosansyoModule7::OmitsSubtotalRows() const {
    return Layout && !Layout->subtotals;
}

bool TExlYosansyoModule7::WriteCarryOver(int row) {
    QVariant f1, f2;
    if (!JikiKurikosiClone.IsEmpty()) {
        JikiKurikosiClone.First();
        f1 = Amount(JikiKurikosiClone, KingakuField1);
        f2 = Amount(JikiKurikosiClone, KingakuField2);
    }
    if (f1.toLongLong() == 0 && f2.toLongLong() == 0)
        return false;
    const QString name = CyukanSimebi().isEmpty() ? Kamokumei(JikiKurikosiClone) : QStringLiteral("次月繰越金");
    WriteRow(row, {Text(name), QVariant(), f1.isNull() ? QVariant(0) : f1, f2.isNull() ? QVariant(0) : f2,
                   ZogenFormula(row, true),
                   Text(JikiKurikosiClone.FieldByName(QStringLiteral("TEKIYO")).AsString())});
    return true;
}

std::vector<TExlYosansyoModule::DetailCell> TExlYosansyoModule7::ItemAmounts(
    const data::DataSet& view) const {
    return {Tallied(AmountCell(Amount(view, KingakuField1)), view, KingakuField1),
            Tallied(AmountCell(Amount(view, KingakuField2)), view, KingakuField2), DiffCell(),
            TextCell(view.FieldByName(QStringLiteral("TEKIYO")).AsString())};
}

std::vector<TExlYosansyoModule::DetailCell> TExlYosansyoModule7::SubtotalAmounts(int first, int last) const {
    return {SubtotalCell(u'C', first, last), SubtotalCell(u'D', first, last), DiffCell()};
}
