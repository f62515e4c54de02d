#include "reports/ExlYosansyoUnit1.h"

#include "reports/YosansyoRules.h"

TExlYosansyoModule1::TExlYosansyoModule1() {
    SetTemplatemei(QStringLiteral("簡易予算書"));
}

QString TExlYosansyoModule1::FigureCondition() const {
    return yosansyo::FigureCondition(QStringLiteral(":TaisyoField"), QString(), FZeroPrint);
}

bool TExlYosansyoModule1::WriteCarryOver(int row) {
    QVariant f;
    if (!JikiKurikosiClone.IsEmpty()) {
        JikiKurikosiClone.First();
        f = Amount(JikiKurikosiClone, TaisyoField);
    }
    if (f.toLongLong() == 0)
        return false;
    const QString name =
        CyukanSimebi().isEmpty() ? Kamokumei(JikiKurikosiClone) : QStringLiteral("次月繰越金");
    WriteRow(row, {Text(name), f, Text(JikiKurikosiClone.FieldByName(QStringLiteral("TEKIYO")).AsString())});
    return true;
}

void TExlYosansyoModule1::WriteSection(data::DataSet& view, int off) {
    KaisiGyo = (&view == &SyunyuClone ? SyunyuKaisigyo : SisyutsuKaisigyo) + off;
    const data::Field& tekiyo = view.FieldByName(QStringLiteral("TEKIYO"));
    std::vector<DetailLine> lines;
    for (view.First(); !view.Eof(); view.Next()) {
        DetailLine line = EmptyLine();
        line[0] = TextCell(Kamokumei(view));
        line[1] = Tallied(AmountCell(Amount(view, TaisyoField)), view, TaisyoField);
        line[2] = TextCell(tekiyo.AsString());
        lines.push_back(std::move(line));
    }
    QueueSection(std::move(lines));
}
