#pragma once
// Opens a dataset for the length of a scope: DsOpen on entry (a failure offers
// 再試行/中止) and DsClose of the dataset and its feeding command on exit.

#include "data/DataSetOperation.h"

namespace data {

class ScopedOpen {
  public:
    ScopedOpen(DataSet& dataSet, SqlCommand& command) : dataSet_(dataSet), command_(command) {
        DsOpen(dataSet_);
    }
    ~ScopedOpen() {
        DsClose(dataSet_);
        DsClose(command_);
    }
    ScopedOpen(const ScopedOpen&) = delete;
    ScopedOpen& operator=(const ScopedOpen&) = delete;

  private:
    DataSet& dataSet_;
    SqlCommand& command_;
};

}  // namespace data
