#include "reports/ZandakaBlock.h"

#include "reports/TsubakiExcelBaseModuleUnit.h"
#include "sheet/Application.h"
#include "sheet/Range.h"
#include "sheet/Styles.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

using namespace Qt::Literals::StringLiterals;

namespace kessansyo {

namespace {

constexpr int kSpareColumns = 4;

// The looks of one kind of line: the label's columns and the amount's.
struct LineLook {
    int labelFirst = 0;  // the label's first column
    int labelMiddle = 0;
    int labelLast = 0;
    int amount = 0;
};

// The look of `row`'s first column and amount column, the label run over the
// columns before the amount without lines between them.
LineLook LookOf(sheet::Worksheet& sheet, int row, int amountCol, bool leftAligned) {
    sheet::Styles& styles = sheet.Parent().StyleSheet();
    int label = sheet.CellStyle(row, 1);
    if (leftAligned)
        label = styles.WithHorizontalAlignment(label, "left");
    LineLook look;
    look.amount = sheet.CellStyle(row, amountCol);
    if (amountCol <= 2) {
        look.labelFirst = label;
        return look;
    }
    // A long name spills over the columns after the first, which stay empty.
    const int spilling = styles.WithShrinkToFit(label, false);
    look.labelFirst = styles.WithoutVerticalEdges(spilling, false, true);
    look.labelMiddle = styles.WithoutVerticalEdges(spilling, true, true);
    look.labelLast = styles.WithoutVerticalEdges(spilling, true, false);
    return look;
}

}  // namespace

int WriteBalanceBlock(sheet::Application& exl, sheet::Worksheet& sheet, const BalanceBlockPlace& at,
                      const statements::BalanceBlock& block, const QString& carryOverLabel) {
    const LineLook heading = LookOf(sheet, at.headingRow, at.amountCol, true);
    const LineLook place = LookOf(sheet, at.carryOverRow, at.amountCol, false);
    const LineLook total = LookOf(sheet, at.balanceRow, at.amountCol, false);

    struct Line {
        QString label;
        QVariant amount;  // a number, a formula, or nothing
        const LineLook* look;
    };
    const auto amountText = [&](int row) { return sheet::ColumnName(at.amountCol) + QString::number(row); };
    const int first = at.balanceRow + 2;  // below a row of space
    std::vector<Line> lines;
    lines.push_back({u"残高内訳"_s, u"金　額"_s, &heading});
    for (const statements::Place& p : block.places)
        lines.push_back({p.name, p.amount ? QVariant(*p.amount) : QVariant(), &place});
    const int totalRow = first + int(lines.size());
    lines.push_back({u"合計"_s,
                     block.places.empty()
                         ? QVariant(0)
                         : QVariant(u"=SUM(%1:%2)"_s.arg(amountText(first + 1), amountText(totalRow - 1))),
                     &total});
    if (block.EndsWithCarryOver()) {
        QString formula = u"="_s + amountText(totalRow);
        if (block.outside != 0) {
            formula += u"-"_s + amountText(first + int(lines.size()));
            lines.push_back({u"うち決算書外の資金（預り金など）"_s, QVariant(block.outside), &place});
        }
        if (block.unexplained != 0) {
            formula += u"-"_s + amountText(first + int(lines.size()));
            lines.push_back({u"帳簿残高との差額（残高照合表を参照）"_s, QVariant(block.unexplained), &place});
        }
        lines.push_back({carryOverLabel, formula, &total});
    }

    // Plain new rows (not copies of anything on the clipboard), one of space first.
    exl.ClearClipboard();
    const int count = int(lines.size()) + 1;
    sheet.Range(sheet.Cells(at.balanceRow + 1, 1).Address(), sheet.Cells(at.balanceRow + count, 1).Address())
        .EntireRow()
        .Insert(sheet::xlShiftDown);
    const auto restyle = [&](int row, int col, int xf) {
        sheet.Restyle({row, col, row, col}, false, [xf](int, bool, bool) { return xf; });
    };
    // The new rows took the 収支差額 row's formats, over every column the template
    // formats (a layout's description may run past its last written column).
    const int lastCol = at.lastCol + kSpareColumns;
    for (int col = 1; col <= lastCol; ++col)
        restyle(at.balanceRow + 1, col, 0);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        const int row = first + int(i);
        for (int col = 1; col <= lastCol; ++col) {
            int xf = 0;
            if (col == at.amountCol)
                xf = line.look->amount;
            else if (col == 1)
                xf = line.look->labelFirst;
            else if (col == at.amountCol - 1)
                xf = line.look->labelLast;
            else if (col < at.amountCol)
                xf = line.look->labelMiddle;
            restyle(row, col, xf);
        }
        sheet.Cells(row, 1).SetValue(LiteralText(line.label));
        if (line.amount.typeId() == QMetaType::QString && !line.amount.toString().startsWith(u'='))
            sheet.Cells(row, at.amountCol).SetValue(LiteralText(line.amount.toString()));
        else
            sheet.Cells(row, at.amountCol).SetValue(line.amount);
    }
    return count;
}

}  // namespace kessansyo
