#include "sheet/Styles.h"

#include "sheet/Package.h"

#include <algorithm>
#include <iterator>

namespace sheet {
namespace {

pugi::xml_node Alignment(pugi::xml_node xf) {
    pugi::xml_node alignment = xf.child("alignment");
    // alignment comes before protection and extLst inside an xf.
    if (!alignment)
        alignment = xf.prepend_child("alignment");
    xf.remove_attribute("applyAlignment");
    xf.append_attribute("applyAlignment").set_value("1");
    return alignment;
}

void SetAttribute(pugi::xml_node node, const char* name, const char* value) {
    pugi::xml_attribute attribute = node.attribute(name);
    if (!attribute)
        attribute = node.append_attribute(name);
    attribute.set_value(value);
}

}  // namespace

pugi::xml_node Styles::Entry(const char* list, const char* item, int index) const {
    int i = 0;
    for (pugi::xml_node node : root_.child(list).children(item)) {
        if (i++ == index)
            return node;
    }
    return {};
}

int Styles::Derive(const char* list, const char* item, int index, const Edit& edit) {
    pugi::xml_node parent = root_.child(list);
    if (!parent)
        return index;
    pugi::xml_document scratch;
    pugi::xml_node source = Entry(list, item, index);
    pugi::xml_node candidate = source ? scratch.append_copy(source) : scratch.append_child(item);
    edit(candidate);
    const QByteArray wanted = SerializeXml(candidate);
    int i = 0;
    for (pugi::xml_node node : parent.children(item)) {
        if (SerializeXml(node) == wanted)
            return i;
        ++i;
    }
    parent.append_copy(candidate);
    SetAttribute(parent, "count", QByteArray::number(i + 1).constData());
    return i;
}

int Styles::WithHorizontalAlignment(int xf, const char* horizontal) {
    return DeriveXf(xf, [&](pugi::xml_node node) {
        pugi::xml_node alignment = Alignment(node);
        alignment.remove_attribute("horizontal");
        if (horizontal)
            alignment.prepend_attribute("horizontal").set_value(horizontal);
    });
}

int Styles::WithFontName(int xf, const QString& name) {
    pugi::xml_node entry = Entry("cellXfs", "xf", xf);
    const int fontId = entry ? entry.attribute("fontId").as_int() : 0;
    const int font = Derive("fonts", "font", fontId, [&](pugi::xml_node node) {
        pugi::xml_node nameNode = node.child("name");
        if (!nameNode)
            nameNode = node.append_child("name");
        SetAttribute(nameNode, "val", Utf8(name).constData());
        // A theme font scheme would override the name.
        node.remove_child("scheme");
    });
    return DeriveXf(xf, [&](pugi::xml_node node) {
        SetAttribute(node, "fontId", QByteArray::number(font).constData());
        SetAttribute(node, "applyFont", "1");
    });
}

int Styles::WithoutVerticalEdges(int xf, bool left, bool right) {
    pugi::xml_node entry = Entry("cellXfs", "xf", xf);
    const int borderId = entry ? entry.attribute("borderId").as_int() : 0;
    const int border = Derive("borders", "border", borderId, [&](pugi::xml_node node) {
        auto clear = [](pugi::xml_node edge) {
            if (!edge)
                return;
            while (edge.first_child())
                edge.remove_child(edge.first_child());
            while (edge.first_attribute())
                edge.remove_attribute(edge.first_attribute());
        };
        if (left) {
            clear(node.child("left"));
            clear(node.child("start"));
        }
        if (right) {
            clear(node.child("right"));
            clear(node.child("end"));
        }
    });
    return DeriveXf(xf, [&](pugi::xml_node node) {
        SetAttribute(node, "borderId", QByteArray::number(border).constData());
        SetAttribute(node, "applyBorder", "1");
    });
}

int Styles::WithShrinkToFit(int xf, bool shrink) {
    return DeriveXf(xf, [&](pugi::xml_node node) {
        pugi::xml_node alignment = Alignment(node);
        alignment.remove_attribute("shrinkToFit");
        if (shrink)
            alignment.append_attribute("shrinkToFit").set_value("1");
    });
}

int Styles::WithNumberFormat(int xf, const QString& code) {
    const QByteArray wanted = Utf8(code);
    pugi::xml_node formats = root_.child("numFmts");
    if (!formats)
        formats = root_.prepend_child("numFmts");
    // Ids below 164 are the application's built-in formats.
    int id = 0;
    int highest = 163;
    for (pugi::xml_node format : formats.children("numFmt")) {
        highest = std::max(highest, format.attribute("numFmtId").as_int());
        if (wanted == format.attribute("formatCode").value())
            id = format.attribute("numFmtId").as_int();
    }
    if (id == 0) {
        id = highest + 1;
        pugi::xml_node format = formats.append_child("numFmt");
        format.append_attribute("numFmtId").set_value(id);
        format.append_attribute("formatCode").set_value(wanted.constData());
        SetAttribute(formats, "count",
                     QByteArray::number(qsizetype(std::distance(formats.children("numFmt").begin(),
                                                                formats.children("numFmt").end())))
                         .constData());
    }
    return DeriveXf(xf, [&](pugi::xml_node node) {
        SetAttribute(node, "numFmtId", QByteArray::number(id).constData());
        SetAttribute(node, "applyNumberFormat", "1");
    });
}

int Styles::WithBold(int xf) {
    pugi::xml_node entry = Entry("cellXfs", "xf", xf);
    const int fontId = entry ? entry.attribute("fontId").as_int() : 0;
    const int font = Derive("fonts", "font", fontId, [&](pugi::xml_node node) {
        if (!node.child("b"))
            node.prepend_child("b");
    });
    return DeriveXf(xf, [&](pugi::xml_node node) {
        SetAttribute(node, "fontId", QByteArray::number(font).constData());
        SetAttribute(node, "applyFont", "1");
    });
}

QString Styles::FontName(int xf) const {
    pugi::xml_node entry = Entry("cellXfs", "xf", xf);
    pugi::xml_node font = Entry("fonts", "font", entry ? entry.attribute("fontId").as_int() : 0);
    return Text(font.child("name").attribute("val").value());
}

}  // namespace sheet
