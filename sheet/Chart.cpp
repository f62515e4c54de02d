#include "sheet/Chart.h"

#include "core/Errors.h"
#include "sheet/FormulaRefs.h"
#include "sheet/Package.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "sheet/XmlOrder.h"

#include <functional>
#include <iterator>

namespace sheet {
namespace {

const QString kRelBase =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kDrawingType = QStringLiteral("application/vnd.openxmlformats-officedocument.drawing+xml");
const QString kChartType =
    QStringLiteral("application/vnd.openxmlformats-officedocument.drawingml.chart+xml");
const char* const kXdrNs = "http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing";
const char* const kANs = "http://schemas.openxmlformats.org/drawingml/2006/main";
const char* const kCNs = "http://schemas.openxmlformats.org/drawingml/2006/chart";
const char* const kRNs = "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
// The templates' font; a system without it substitutes its own Japanese face.
const QString kFont = QStringLiteral("ＭＳ Ｐゴシック");

QString Esc(const QString& text) {
    return text.toHtmlEscaped();
}

QString NewPart(const Package& package, const QString& folder, const QString& stem) {
    for (int n = 1;; ++n) {
        const QString name = folder + stem + QString::number(n) + QStringLiteral(".xml");
        if (!package.Has(name))
            return name;
    }
}

// Text properties: size in hundredths of a point, Japanese face.
QString RunProps(const char* tag, int size, bool bold) {
    return QStringLiteral(
               "<a:%1 lang=\"ja-JP\" sz=\"%2\" b=\"%3\"><a:latin typeface=\"%4\"/>"
               "<a:ea typeface=\"%4\"/></a:%1>")
        .arg(QLatin1String(tag))
        .arg(size)
        .arg(bold ? 1 : 0)
        .arg(kFont);
}

QString TextProps(int size) {
    return QStringLiteral("<c:txPr><a:bodyPr/><a:lstStyle/><a:p><a:pPr>") + RunProps("defRPr", size, false) +
           QStringLiteral("</a:pPr><a:endParaRPr lang=\"ja-JP\"/></a:p></c:txPr>");
}

QString Title(const QString& title) {
    return QStringLiteral("<c:title><c:tx><c:rich><a:bodyPr/><a:lstStyle/><a:p><a:pPr>") +
           RunProps("defRPr", 1400, true) + QStringLiteral("</a:pPr><a:r>") + RunProps("rPr", 1400, true) +
           QStringLiteral("<a:t>") + Esc(title) +
           QStringLiteral(
               "</a:t></a:r></a:p></c:rich></c:tx><c:overlay val=\"0\"/></c:title>"
               "<c:autoTitleDeleted val=\"0\"/>");
}

// Colours of their own: an application without the workbook's theme would
// otherwise draw the series without fill.
const char* const kPalette[] = {"4472C4", "ED7D31", "A5A5A5", "FFC000", "5B9BD5",
                                "70AD47", "264478", "9E480E", "636363", "997300"};

QString Fill(int index) {
    return QStringLiteral("<a:solidFill><a:srgbClr val=\"%1\"/></a:solidFill>")
        .arg(QLatin1String(kPalette[index % int(std::size(kPalette))]));
}

QString Series(const ChartDefinition& def, const ChartSeries& series, int index, const QString& host) {
    const QString sheet = series.sheet.isEmpty() ? host : series.sheet;
    QString xml = QStringLiteral("<c:ser><c:idx val=\"%1\"/><c:order val=\"%1\"/><c:tx><c:v>%2</c:v></c:tx>")
                      .arg(QString::number(index), Esc(series.name));
    switch (def.kind) {
        case ChartKind::Bar:
            xml += QStringLiteral("<c:spPr>") + Fill(index) +
                   QStringLiteral("</c:spPr><c:invertIfNegative val=\"0\"/>");
            break;
        case ChartKind::Pie: {
            const int slices = series.values.Rows() * series.values.Columns();
            for (int i = 0; i < slices; ++i) {
                xml += QStringLiteral("<c:dPt><c:idx val=\"%1\"/><c:bubble3D val=\"0\"/><c:spPr>").arg(i) +
                       Fill(i) +
                       QStringLiteral(
                           "<a:ln><a:solidFill><a:srgbClr val=\"FFFFFF\"/></a:solidFill></a:ln>"
                           "</c:spPr></c:dPt>");
            }
            // The figure and its label beside each slice; the share is left to the
            // eye, as a percentage would take the figures' yen format.
            xml += QStringLiteral("<c:dLbls><c:numFmt formatCode=\"%1\" sourceLinked=\"0\"/>")
                       .arg(Esc(def.numberFormat)) +
                   TextProps(900) +
                   QStringLiteral(
                       "<c:dLblPos val=\"bestFit\"/><c:showLegendKey val=\"0\"/><c:showVal val=\"1\"/>"
                       "<c:showCatName val=\"1\"/><c:showSerName val=\"0\"/><c:showPercent val=\"0\"/>"
                       "<c:showBubbleSize val=\"0\"/><c:separator>\n</c:separator>"
                       "<c:showLeaderLines val=\"1\"/></c:dLbls>");
            break;
        }
        case ChartKind::Line:
            xml += QStringLiteral("<c:spPr><a:ln w=\"28575\" cap=\"rnd\">") + Fill(index) +
                   QStringLiteral(
                       "</a:ln></c:spPr><c:marker><c:symbol val=\"circle\"/><c:size val=\"6\"/>"
                       "<c:spPr>") +
                   Fill(index) + QStringLiteral("</c:spPr></c:marker>");
            break;
    }
    xml += QStringLiteral(
               "<c:cat><c:strRef><c:f>%1</c:f></c:strRef></c:cat>"
               "<c:val><c:numRef><c:f>%2</c:f></c:numRef></c:val>")
               .arg(Esc(ChartReference(sheet, series.categories)), Esc(ChartReference(sheet, series.values)));
    if (def.kind == ChartKind::Line)
        xml += QStringLiteral("<c:smooth val=\"0\"/>");
    return xml + QStringLiteral("</c:ser>");
}

QString Axes(const ChartDefinition& def) {
    return QStringLiteral(
               "<c:catAx><c:axId val=\"1001\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
               "<c:delete val=\"0\"/><c:axPos val=\"b\"/><c:numFmt formatCode=\"General\" "
               "sourceLinked=\"0\"/><c:majorTickMark val=\"out\"/><c:minorTickMark val=\"none\"/>"
               "<c:tickLblPos val=\"low\"/>") +
           TextProps(900) +
           QStringLiteral(
               "<c:crossAx val=\"1002\"/><c:crosses val=\"autoZero\"/><c:auto val=\"1\"/>"
               "<c:lblAlgn val=\"ctr\"/><c:lblOffset val=\"100\"/><c:noMultiLvlLbl val=\"0\"/></c:catAx>"
               "<c:valAx><c:axId val=\"1002\"/><c:scaling><c:orientation val=\"minMax\"/></c:scaling>"
               "<c:delete val=\"0\"/><c:axPos val=\"l\"/><c:majorGridlines/>") +
           QStringLiteral("<c:numFmt formatCode=\"%1\" sourceLinked=\"0\"/>").arg(Esc(def.numberFormat)) +
           QStringLiteral(
               "<c:majorTickMark val=\"out\"/><c:minorTickMark val=\"none\"/><c:tickLblPos "
               "val=\"nextTo\"/>") +
           TextProps(900) +
           QStringLiteral(
               "<c:crossAx val=\"1001\"/><c:crosses val=\"autoZero\"/>"
               "<c:crossBetween val=\"between\"/></c:valAx>");
}

QByteArray ChartXml(const ChartDefinition& def, const QString& host) {
    QString series;
    for (size_t i = 0; i < def.series.size(); ++i)
        series += Series(def, def.series[i], int(i), host);
    QString plot;
    switch (def.kind) {
        case ChartKind::Bar:
            plot = QStringLiteral(
                       "<c:barChart><c:barDir val=\"col\"/><c:grouping val=\"clustered\"/>"
                       "<c:varyColors val=\"0\"/>") +
                   series +
                   QStringLiteral(
                       "<c:gapWidth val=\"80\"/><c:axId val=\"1001\"/><c:axId val=\"1002\"/>"
                       "</c:barChart>") +
                   Axes(def);
            break;
        case ChartKind::Pie:
            plot = QStringLiteral("<c:pieChart><c:varyColors val=\"1\"/>") + series +
                   QStringLiteral("<c:firstSliceAng val=\"0\"/></c:pieChart>");
            break;
        case ChartKind::Line:
            plot = QStringLiteral("<c:lineChart><c:grouping val=\"standard\"/><c:varyColors val=\"0\"/>") +
                   series +
                   QStringLiteral(
                       "<c:marker val=\"1\"/><c:axId val=\"1001\"/><c:axId val=\"1002\"/></c:lineChart>") +
                   Axes(def);
            break;
    }
    const QString xml =
        QStringLiteral(
            "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
            "<c:chartSpace xmlns:c=\"%1\" xmlns:a=\"%2\" xmlns:r=\"%3\">"
            "<c:lang val=\"ja-JP\"/><c:roundedCorners val=\"0\"/><c:chart>")
            .arg(QLatin1String(kCNs), QLatin1String(kANs), QLatin1String(kRNs)) +
        Title(def.title) + QStringLiteral("<c:plotArea><c:layout/>") + plot +
        QStringLiteral("</c:plotArea><c:legend><c:legendPos val=\"%1\"/><c:overlay val=\"0\"/>")
            .arg(def.kind == ChartKind::Pie ? QStringLiteral("r") : QStringLiteral("b")) +
        TextProps(900) +
        QStringLiteral("</c:legend><c:plotVisOnly val=\"1\"/><c:dispBlanksAs val=\"gap\"/></c:chart>") +
        TextProps(1000) + QStringLiteral("</c:chartSpace>");
    return xml.toUtf8();
}

// The sheet's drawing part, made and linked from the sheet when it has none.
QString DrawingOf(Worksheet& sheet) {
    Package& package = sheet.Parent().Parts();
    for (const Relationship& rel : ReadRelationships(package, sheet.PartName())) {
        if (!rel.external && rel.type.endsWith(u"/drawing"))
            return ResolveTarget(sheet.PartName(), rel.target);
    }
    const QString drawing = NewPart(package, QStringLiteral("xl/drawings/"), QStringLiteral("drawing"));
    package.SetBytes(drawing, QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                                             "<xdr:wsDr xmlns:xdr=\"%1\" xmlns:a=\"%2\"/>")
                                  .arg(QLatin1String(kXdrNs), QLatin1String(kANs))
                                  .toUtf8());
    SetContentTypeOverride(package, drawing, kDrawingType);
    const QString id = AddRelationship(package, sheet.PartName(), kRelBase + QStringLiteral("drawing"),
                                       RelativeTarget(sheet.PartName(), drawing));
    pugi::xml_node root = package.Xml(sheet.PartName()).child("worksheet");
    if (!root.attribute("xmlns:r"))
        root.append_attribute("xmlns:r").set_value(kRNs);
    pugi::xml_node node = WorksheetChild(root, "drawing");
    node.remove_attribute("r:id");
    node.append_attribute("r:id").set_value(Utf8(id).constData());
    return drawing;
}

void Check(const ChartDefinition& def) {
    if (def.series.empty())
        throw EAppError(QStringLiteral("グラフ「%1」に系列がありません。").arg(def.title));
    if (def.kind == ChartKind::Pie && def.series.size() > 1)
        throw EAppError(QStringLiteral("円グラフ「%1」の系列は一つだけです。").arg(def.title));
    for (const ChartSeries& series : def.series) {
        const int labels = series.categories.Rows() * series.categories.Columns();
        const int figures = series.values.Rows() * series.values.Columns();
        const bool line = [](const Area& a) { return a.Rows() == 1 || a.Columns() == 1; }(series.values);
        if (labels != figures || !line || series.categories.row1 < 1 || series.values.row1 < 1) {
            throw EAppError(QStringLiteral("グラフ「%1」の系列「%2」の項目と数値が合いません。")
                                .arg(def.title, series.name));
        }
    }
}

// Rewrites the text of every <c:f> of every chart part.
void ForEachChartReference(Package& package, const std::function<QString(const QString&)>& rewrite) {
    for (const QString& part : package.PartNames()) {
        if (ContentTypeOf(package, part) != kChartType)
            continue;
        for (const pugi::xpath_node& found : package.Xml(part).select_nodes("//*[local-name()='f']")) {
            pugi::xml_node node = found.node();
            const QString text = Text(node.text().get());
            if (const QString changed = rewrite(text); changed != text)
                node.text().set(Utf8(changed).constData());
        }
    }
}

}  // namespace

void ShiftChartReferences(Package& package, const QString& changedSheet, int row, int count) {
    ForEachChartReference(package, [&](const QString& text) {
        return ShiftFormulaForRowInsert(text, QString(), changedSheet, row, count);
    });
}

void RenameInChartReferences(Package& package, const QString& oldName, const QString& newName) {
    ForEachChartReference(package,
                          [&](const QString& text) { return RenameSheetInFormula(text, oldName, newName); });
}

QString ChartReference(const QString& sheet, const Area& area) {
    const auto absolute = [](int row, int col) {
        return QStringLiteral("$%1$%2").arg(ColumnName(col)).arg(row);
    };
    QString text = QuoteSheetName(sheet) + u'!' + absolute(area.row1, area.col1);
    if (area.row1 != area.row2 || area.col1 != area.col2)
        text += u':' + absolute(area.row2, area.col2);
    return text;
}

void AddChart(Worksheet& sheet, const ChartDefinition& def) {
    Check(def);
    Package& package = sheet.Parent().Parts();
    const QString drawing = DrawingOf(sheet);
    const QString chart = NewPart(package, QStringLiteral("xl/charts/"), QStringLiteral("chart"));
    package.SetBytes(chart, ChartXml(def, sheet.Name()));
    SetContentTypeOverride(package, chart, kChartType);
    const QString id =
        AddRelationship(package, drawing, kRelBase + QStringLiteral("chart"), RelativeTarget(drawing, chart));

    pugi::xml_node root = package.Xml(drawing).document_element();
    unsigned shapeId = 1;
    for (pugi::xml_node anchor : root.children()) {
        for (const pugi::xpath_node& node : anchor.select_nodes(".//*[@id]"))
            shapeId = std::max(shapeId, node.node().attribute("id").as_uint());
    }
    ++shapeId;
    // From the top left of the first cell to the bottom right of the last one;
    // the chart moves with its cells but keeps its size.
    const QByteArray anchor =
        QStringLiteral(
            "<xdr:twoCellAnchor xmlns:xdr=\"%1\" xmlns:a=\"%2\" editAs=\"oneCell\">"
            "<xdr:from><xdr:col>%3</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>%4</xdr:row><xdr:rowOff>0</"
            "xdr:rowOff>"
            "</xdr:from><xdr:to><xdr:col>%5</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>%6</xdr:row>"
            "<xdr:rowOff>0</xdr:rowOff></xdr:to><xdr:graphicFrame macro=\"\"><xdr:nvGraphicFramePr>"
            "<xdr:cNvPr id=\"%7\" name=\"%8\"/><xdr:cNvGraphicFramePr/></xdr:nvGraphicFramePr>"
            "<xdr:xfrm><a:off x=\"0\" y=\"0\"/><a:ext cx=\"0\" cy=\"0\"/></xdr:xfrm><a:graphic>"
            "<a:graphicData uri=\"%9\"><c:chart xmlns:c=\"%9\" xmlns:r=\"%10\" r:id=\"%11\"/>"
            "</a:graphicData></a:graphic></xdr:graphicFrame><xdr:clientData/></xdr:twoCellAnchor>")
            .arg(QLatin1String(kXdrNs), QLatin1String(kANs))
            .arg(def.place.col1 - 1)
            .arg(def.place.row1 - 1)
            .arg(def.place.col2)
            .arg(def.place.row2)
            .arg(shapeId)
            .arg(Esc(QStringLiteral("グラフ %1").arg(shapeId - 1)))
            .arg(QLatin1String(kCNs), QLatin1String(kRNs), id)
            .toUtf8();
    pugi::xml_document piece;
    if (!piece.load_buffer(anchor.constData(), size_t(anchor.size())))
        throw EAppError(QStringLiteral("グラフ「%1」を配置できません。").arg(def.title));
    pugi::xml_node placed = root.append_copy(piece.first_child());
    // The namespaces are declared on the drawing's root already.
    placed.remove_attribute("xmlns:xdr");
    placed.remove_attribute("xmlns:a");
}

}  // namespace sheet
