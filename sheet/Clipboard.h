#pragma once
// Whole rows copied with EntireRow.Copy, waiting to be pasted or inserted.

#include "sheet/CellRef.h"

#include <memory>
#include <pugixml.hpp>
#include <vector>

namespace sheet {

class Workbook;

struct CopiedRows {
    const Workbook* book = nullptr;
    int firstRow = 0;
    int rowCount = 0;
    // Copies of the <row> elements that exist in the copied rows, with their own row numbers.
    std::shared_ptr<pugi::xml_document> rows;
    // Merged areas lying within the copied rows.
    std::vector<Area> merges;
};

}  // namespace sheet
