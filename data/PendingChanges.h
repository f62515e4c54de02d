#pragma once
// Whether a dataset holds what the user changed and has not yet saved: the test every
// entry window makes before 閉じる, キャンセル or Esc throws its load away.

#include "data/DataSet.h"

namespace data {

// An edit under way that changed a field: the row being typed.
inline bool HasPendingEdit(const DataSet& ds) {
    return ds.Active() && ds.IsEditing() && ds.Modified();
}

// Rows posted or deleted since the last apply, or an edit under way that changed a
// field.
inline bool HasPendingChanges(const DataSet& ds) {
    return ds.Active() && (ds.ChangeCount() > 0 || HasPendingEdit(ds));
}

}  // namespace data
