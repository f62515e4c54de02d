#pragma once
// What a dataset knows about one of its fields: the persistent field definition
// of a window's dataset (type, size, label, rules and formats).

#include "db/Value.h"

#include <QString>

#include <optional>

namespace data {

class DataSet;

enum class FieldType { Integer, Float, Text };

// A field whose value is looked up in another dataset: the row of `dataSet` whose
// `lookupKeyFields` equal this row's `keyFields` gives `resultField`.
struct LookupDef {
    DataSet* dataSet = nullptr;
    QString keyFields{};        // ";"-separated, in this dataset
    QString lookupKeyFields{};  // ";"-separated, in the lookup dataset
    QString resultField{};
};

struct FieldDef {
    QString name{};
    FieldType type = FieldType::Text;
    int size = 0;                      // texts: most characters kept; 0 = the column's length;
                                       // numbers: most digits typed; 0 = as the range allows
    QString label{};                   // shown in grids and messages; empty = the name
    bool required = false;             // checked when the row is posted
    std::optional<qint64> minValue{};  // range of what is entered (numbers)
    std::optional<qint64> maxValue{};
    QString rangeMessage{};    // message when out of range; empty = a standard one
    QString displayFormat{};   // "#,##0;-#,##0", "0;-0", "0000"; empty = plain
    QString editFormat{};      // empty = the display format
    bool zeroAsBlank = false;  // zero shown as an empty text
    bool trimOnEntry = false;  // blanks at both ends removed when set
    bool readOnly = false;
    bool visible = true;   // shown as a grid column
    QString origin{};      // column in the update table; empty = the name
    bool inUpdate = true;  // written back when the row is applied
    std::optional<LookupDef> lookup{};

    QString DisplayLabel() const { return label.isEmpty() ? name : label; }
    QString Origin() const { return origin.isEmpty() ? name : origin; }
};

}  // namespace data
