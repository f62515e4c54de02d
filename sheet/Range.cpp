#include "sheet/Range.h"

#include "core/Errors.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

namespace sheet {
namespace {

const char* HorizontalValue(int alignment) {
    switch (alignment) {
        case xlGeneral:
            return nullptr;
        case xlCenter:
            return "center";
        case xlLeft:
            return "left";
        case xlRight:
            return "right";
        case xlFill:
            return "fill";
        case xlJustify:
            return "justify";
        case xlCenterAcrossSelection:
            return "centerContinuous";
        case xlDistributed:
            return "distributed";
        default:
            throw EAppError(QStringLiteral("横位置の指定 %1 は正しくありません。").arg(alignment));
    }
}

bool IsRowList(const QVariant& value) {
    return value.typeId() == QMetaType::QVariantList;
}

}  // namespace

Range::Range(Worksheet& sheet, Area area, bool entireRows)
    : sheet_(&sheet), area_(area), entireRows_(entireRows) {}

QString Range::Address() const {
    if (entireRows_)
        return QStringLiteral("%1:%2").arg(area_.row1).arg(area_.row2);
    return AreaAddress(area_);
}

void Range::CheckCells() const {
    if (entireRows_)
        throw EAppError(QStringLiteral("行全体の値は扱えません。セル範囲を指定してください。"));
}

QVariant Range::Read(bool formulas) const {
    CheckCells();
    auto one = [&](int r, int c) -> QVariant {
        return formulas ? QVariant(sheet_->CellFormula(r, c)) : sheet_->CellValue(r, c);
    };
    if (area_.Rows() == 1 && area_.Columns() == 1)
        return one(area_.row1, area_.col1);
    QVariantList rows;
    for (int r = area_.row1; r <= area_.row2; ++r) {
        QVariantList row;
        for (int c = area_.col1; c <= area_.col2; ++c)
            row << one(r, c);
        rows << QVariant(row);
    }
    return rows;
}

QVariant Range::Value() const {
    return Read(false);
}
QVariant Range::Formula() const {
    return Read(true);
}

void Range::SetValue(const QVariant& value) {
    CheckCells();
    if (!IsRowList(value)) {
        for (int r = area_.row1; r <= area_.row2; ++r) {
            for (int c = area_.col1; c <= area_.col2; ++c)
                sheet_->WriteCell(r, c, value);
        }
        return;
    }
    // Row index first; cells beyond the array's shape get #N/A, as the application does.
    const QVariantList rows = value.toList();
    for (int r = area_.row1; r <= area_.row2; ++r) {
        const qsizetype i = r - area_.row1;
        const QVariantList row = i < rows.size() ? rows[i].toList() : QVariantList();
        for (int c = area_.col1; c <= area_.col2; ++c) {
            const qsizetype j = c - area_.col1;
            sheet_->WriteCell(r, c,
                              i < rows.size() && j < row.size() ? row[j] : QVariant(QStringLiteral("#N/A")));
        }
    }
}

void Range::SetFormula(const QVariant& value) {
    SetValue(value);
}

Range Range::EntireRow() const {
    return Range(*sheet_, Area{area_.row1, 1, area_.row2, kMaxColumn}, true);
}

void Range::Insert(int shift) {
    if (!entireRows_ || shift != xlShiftDown) {
        throw EAppError(QStringLiteral("行全体を下方向へ挿入する操作のみ使用できます。"));
    }
    sheet_->InsertRows(area_.row1, area_.Rows());
}

void Range::Copy() {
    if (!entireRows_)
        throw EAppError(QStringLiteral("コピーできるのは行全体だけです。"));
    sheet_->CopyRows(area_.row1, area_.Rows());
}

void Range::Select() {
    sheet_->SelectArea(area_);
}

bool Range::Hidden() const {
    return sheet_->RowHidden(area_.row1);
}

void Range::SetHidden(bool hidden) {
    if (!entireRows_)
        throw EAppError(QStringLiteral("表示・非表示を切り替えられるのは行全体だけです。"));
    sheet_->SetRowsHidden(area_.row1, area_.row2, hidden);
}

void Range::SetHorizontalAlignment(int alignment) {
    const char* value = HorizontalValue(alignment);
    Styles& styles = sheet_->Parent().StyleSheet();
    sheet_->Restyle(area_, entireRows_,
                    [&](int xf, bool, bool) { return styles.WithHorizontalAlignment(xf, value); });
}

void Range::SetShrinkToFit(bool shrink) {
    Styles& styles = sheet_->Parent().StyleSheet();
    sheet_->Restyle(area_, entireRows_,
                    [&](int xf, bool, bool) { return styles.WithShrinkToFit(xf, shrink); });
}

QString RangeFont::Name() const {
    return sheet_->Parent().StyleSheet().FontName(sheet_->CellStyle(area_.row1, area_.col1));
}

void RangeFont::SetName(const QString& name) {
    Styles& styles = sheet_->Parent().StyleSheet();
    sheet_->Restyle(area_, entireRows_, [&](int xf, bool, bool) { return styles.WithFontName(xf, name); });
}

void RangeBorder::SetLineStyle(int style) {
    if (index_ != xlInsideVertical || style != xlLineStyleNone) {
        throw EAppError(
            QStringLiteral("この罫線の指定(%1, %2)には対応していません。").arg(index_).arg(style));
    }
    Styles& styles = sheet_->Parent().StyleSheet();
    // Only the lines between the range's columns go; its outer edges stay.
    sheet_->Restyle(area_, entireRows_, [&](int xf, bool firstCol, bool lastCol) {
        return styles.WithoutVerticalEdges(xf, !firstCol, !lastCol);
    });
}

}  // namespace sheet
