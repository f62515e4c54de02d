#include "reports/ExlYosansyoUnit5.h"

#include "reports/YosansyoRules.h"
#include "sheet/Styles.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

#include <algorithm>

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
    KaisiGyo = (&view == &SyunyuClone ? SyunyuKaisigyo : SisyutsuKaisigyo) + off;

    // Which classification each item belongs to decides where the subtotal rows go.
    const data::Field& bunrui = view.FieldByName(QStringLiteral("BUNRUI"));
    std::vector<int> codes;
    for (view.First(); !view.Eof(); view.Next())
        codes.push_back(int(bunrui.AsInteger()));
    const auto plan = yosansyo::PlanSection(
        codes, [this](int code) { return Kensu(code); }, HasSubtotalRows() && !OmitsSubtotalRows());

    // The formats of the lines that differ from the template's detail row.
    sheet::Styles& styles = Sheet->Parent().StyleSheet();
    const auto base = [this](int col) { return Sheet->CellStyle(KaisiGyo, col); };
    const QString font = QStringLiteral("ＭＳ Ｐゴシック");
    // The classification's name alone stands for its one item, across A and B.
    const int nameA = styles.WithShrinkToFit(styles.WithoutVerticalEdges(base(1), false, true), false);
    const int nameB = styles.WithShrinkToFit(styles.WithoutVerticalEdges(base(2), true, false), false);
    std::vector<int> subtotalStyles;
    for (int col = 2; col <= Syuryoretsu; ++col) {
        const int xf = styles.WithFontName(base(col), font);
        subtotalStyles.push_back(col == 2 ? styles.WithHorizontalAlignment(xf, "center") : xf);
    }

    std::vector<DetailLine> lines;
    view.First();
    for (const yosansyo::SectionLine& planned : plan) {
        DetailLine line = EmptyLine();
        if (planned.item < 0) {
            line[1] = TextCell(QStringLiteral("（小    計）"));
            const std::vector<DetailCell> amounts = SubtotalAmounts(planned.first, planned.last);
            std::copy(amounts.begin(), amounts.end(), line.begin() + 2);
            for (std::size_t i = 1; i < line.size(); ++i)
                line[i].style = subtotalStyles[i - 1];
        } else {
            const int code = codes[std::size_t(planned.item)];
            const QString bunruimei = Bunruimei(code);
            const QString kamokumei = Kamokumei(view);
            if (planned.startsGroup)
                line[0] = TextCell(bunruimei);
            if (Kensu(code) == 1 && bunruimei == kamokumei) {
                line[0].style = nameA;
                line[1].style = nameB;
            } else {
                line[1] = TextCell(kamokumei);
            }
            const std::vector<DetailCell> amounts = ItemAmounts(view);
            std::copy(amounts.begin(), amounts.end(), line.begin() + 2);
            view.Next();
        }
        lines.push_back(std::move(line));
    }
    QueueSection(std::move(lines));
}
