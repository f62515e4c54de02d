#pragma once
// A failure reported by the database: the server's own text and its error code.

#include "core/Errors.h"

#include <vector>

namespace db {

class Error : public EAppError {
  public:
    // `code` is the Firebird error code (isc_…), 0 when there is none.
    explicit Error(QString message, int code = 0);
    // `codes`: every error code of the status, the first one first.
    Error(QString message, std::vector<int> codes);
    int Code() const noexcept { return code_; }
    // Whether `code` is among the status's codes (a reason often follows the first).
    bool HasCode(int code) const noexcept;
    // True when the database file is open in another program's embedded engine
    // (a database opened embedded is one program's at a time).
    bool IsOpenElsewhere() const noexcept;
    // True when a row another transaction holds was refused (no waiting on locks).
    bool IsLockConflict() const noexcept;

  private:
    int code_;
    std::vector<int> codes_;
};

}  // namespace db
