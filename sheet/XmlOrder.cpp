#include "sheet/XmlOrder.h"

#include <cstring>
#include <iterator>

namespace sheet {
namespace {

// ECMA-376 CT_Worksheet and CT_Workbook sequences.
const char* const kWorksheetOrder[] = {"sheetPr",
                                       "dimension",
                                       "sheetViews",
                                       "sheetFormatPr",
                                       "cols",
                                       "sheetData",
                                       "sheetCalcPr",
                                       "sheetProtection",
                                       "protectedRanges",
                                       "scenarios",
                                       "autoFilter",
                                       "sortState",
                                       "dataConsolidate",
                                       "customSheetViews",
                                       "mergeCells",
                                       "phoneticPr",
                                       "conditionalFormatting",
                                       "dataValidations",
                                       "hyperlinks",
                                       "printOptions",
                                       "pageMargins",
                                       "pageSetup",
                                       "headerFooter",
                                       "rowBreaks",
                                       "colBreaks",
                                       "customProperties",
                                       "cellWatches",
                                       "ignoredErrors",
                                       "smartTags",
                                       "drawing",
                                       "legacyDrawing",
                                       "legacyDrawingHF",
                                       "drawingHF",
                                       "picture",
                                       "oleObjects",
                                       "controls",
                                       "webPublishItems",
                                       "tableParts",
                                       "extLst"};
const char* const kWorkbookOrder[] = {"fileVersion",    "fileSharing",
                                      "workbookPr",     "workbookProtection",
                                      "bookViews",      "sheets",
                                      "functionGroups", "externalReferences",
                                      "definedNames",   "calcPr",
                                      "oleSize",        "customWorkbookViews",
                                      "pivotCaches",    "smartTagPr",
                                      "smartTagTypes",  "webPublishing",
                                      "fileRecoveryPr", "webPublishObjects",
                                      "extLst"};

template <size_t N>
int Rank(const char* const (&order)[N], const char* name) {
    for (size_t i = 0; i < N; ++i) {
        if (std::strcmp(order[i], name) == 0)
            return int(i);
    }
    return -1;
}

template <size_t N>
pugi::xml_node OrderedChild(pugi::xml_node parent, const char* name, const char* const (&order)[N]) {
    for (pugi::xml_node child : parent.children()) {
        if (std::strcmp(LocalName(child), name) == 0)
            return child;
    }
    const int rank = Rank(order, name);
    for (pugi::xml_node child : parent.children()) {
        if (child.type() != pugi::node_element)
            continue;
        const int other = Rank(order, LocalName(child));
        if (other > rank)
            return parent.insert_child_before(name, child);
    }
    return parent.append_child(name);
}

}  // namespace

const char* LocalName(pugi::xml_node node) {
    const char* name = node.name();
    const char* colon = std::strrchr(name, ':');
    return colon ? colon + 1 : name;
}

pugi::xml_attribute RelationshipIdAttribute(pugi::xml_node node) {
    for (pugi::xml_attribute attribute : node.attributes()) {
        const char* name = attribute.name();
        const char* colon = std::strchr(name, ':');
        if (colon && std::strcmp(colon, ":id") == 0)
            return attribute;
    }
    return {};
}

pugi::xml_node WorksheetChild(pugi::xml_node worksheet, const char* name) {
    return OrderedChild(worksheet, name, kWorksheetOrder);
}

pugi::xml_node WorkbookChild(pugi::xml_node workbook, const char* name) {
    return OrderedChild(workbook, name, kWorkbookOrder);
}

}  // namespace sheet
