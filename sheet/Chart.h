#pragma once
// Native workbook charts: a DrawingML chart part per chart, placed on a
// worksheet through the sheet's drawing part. The series refer to cells of
// the workbook, so a spreadsheet application draws them from the sheet's
// current figures and redraws them when a figure changes.

#include "sheet/CellRef.h"

#include <QString>
#include <vector>

namespace sheet {

class Worksheet;

enum class ChartKind {
    Bar,   // clustered columns, one colour per series
    Pie,   // one series, one colour per category, with value and share labels
    Line,  // one line with markers per series
};

struct ChartSeries {
    QString name;     // legend text
    QString sheet;    // the sheet holding the cells; empty for the chart's own sheet
    Area categories;  // labels, one column or one row
    Area values;      // figures, as many cells as labels
};

struct ChartDefinition {
    ChartKind kind = ChartKind::Bar;
    QString title;
    std::vector<ChartSeries> series;
    // The figures' format on the value axis and in the labels.
    QString numberFormat = QStringLiteral("#,##0\"円\"");
    // The cells the chart covers, corners included.
    Area place;
};

// "'グラフ'!$A$2:$A$5": an area as an absolute reference qualified by its sheet.
QString ChartReference(const QString& sheet, const Area& area);

// Adds the chart `def` to `sheet` (its drawing part made when it has none).
// EAppError for a chart without series, a pie with more than one, or a series
// whose labels and figures differ in count.
void AddChart(Worksheet& sheet, const ChartDefinition& def);

class Package;

// Book-wide upkeep of the series' references in every chart part of the
// package: rows inserted into `changedSheet`, a sheet renamed.
void ShiftChartReferences(Package& package, const QString& changedSheet, int row, int count);
void RenameInChartReferences(Package& package, const QString& oldName, const QString& newName);

}  // namespace sheet
