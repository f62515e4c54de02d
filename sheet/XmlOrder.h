#pragma once
// Child elements placed where the schema wants them: Excel rejects a part
// whose children are out of order.

#include <pugixml.hpp>

namespace sheet {

// The named child of a <worksheet>, created in schema order when missing.
pugi::xml_node WorksheetChild(pugi::xml_node worksheet, const char* name);
// The named child of a <workbook>, created in schema order when missing.
pugi::xml_node WorkbookChild(pugi::xml_node workbook, const char* name);
// The name of an element without its namespace prefix.
const char* LocalName(pugi::xml_node node);
// The relationship id attribute (r:id under whatever prefix) of an element.
pugi::xml_attribute RelationshipIdAttribute(pugi::xml_node node);

}  // namespace sheet
