#pragma once

namespace data {

// The change status of a row: pending changes are the rows not Unmodified.
enum class RowStatus { Unmodified, Inserted, Modified, Deleted };

}  // namespace data
