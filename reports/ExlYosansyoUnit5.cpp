#include "reports/ExlYosansyoUnit5.h"

#include "reports/YosansyoRules.h"

TExlYosansyoModule5::TExlYosansyoModule5() {
    SetTemplatemei(QStringLiteral("予算書５"));
}

QString TExlYosansyoModule5::FigureCondition() const {
    return yosansyo::FigureCondition(QStringLiteral(":TaisyoField"), QString(), FZeroPrint);
}

bool TExlYosansyoModule5::HasSubtotalRows() const {
    return Templatemei() == QStringLiteral("予算書６");
}

bool TExlYosansyoModule5::OmitsSubtotalRows() const {
    return Templatemei() == QStringLiteral("予算書５");
}

bool TExlYosansyoModule5::WriteCarryOver(int row) {
    QVariant f;
    if (!JikiKurikosiClone.IsEmpty()) {
        JikiKurikosiClone.First();
        f = Amount(JikiKurikosiClone, TaisyoField);
    }
    if (f.toLongLong() == 0)
        return false;
    const QString name =
        CyukanSimebi().isEmpty() ? Kamokumei(JikiKurikosiClone) : QStringLiteral("次月繰越金");
    WriteRow(row, {Text(name), QVariant(), f,
                   Text(JikiKurikosiClone.FieldByName(QStringLiteral("TEKIYO")).AsString())});
    return true;
}

std::vector<TExlYosansyoModule::DetailCell> TExlYosansyoModule5::ItemAmounts(
    const data::DataSet& view) const {
    return {Tallied(AmountCell(Amount(view, TaisyoField)), view, TaisyoField),
            TextCell(view.FieldByName(QStringLiteral("TEKIYO")).AsString())};
}

std::vector<TExlYosansyoModule::DetailCell> TExlYosansyoModule5::SubtotalAmounts(int first, int last) const {
    return {SubtotalCell(u'C', first, last)};
}

void TExlYosansyoModule5::WriteSection(data::DataSet& view, int off) {
    WriteGroupedSection(
        view, off, HasSubtotalRows() && !OmitsSubtotalRows(),
        [this](const data::DataSet& v) { return ItemAmounts(v); },
        [this](int first, int last) { return SubtotalAmounts(first, last); });
}
