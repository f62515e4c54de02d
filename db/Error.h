#pragma once
// A failure reported by the database: the server's own text and its error code.

#include "core/Errors.h"

namespace db {

class Error : public EAppError {
  public:
    // `code` is the Firebird error code (isc_…), 0 when there is none.
    explicit Error(QString message, int code = 0);
    int Code() const noexcept { return code_; }
    // True when a row another transaction holds was refused (no waiting on locks).
    bool IsLockConflict() const noexcept;

  private:
    int code_;
};

}  // namespace db
