#include "db/Error.h"

#include <firebird/Interface.h>
#include <iberror.h>

namespace db {

Error::Error(QString message, int code) : EAppError(std::move(message)), code_(code) {
    if (code != 0)
        codes_.push_back(code);
}

Error::Error(QString message, std::vector<int> codes)
    : EAppError(std::move(message)), code_(codes.empty() ? 0 : codes.front()), codes_(std::move(codes)) {}

bool Error::HasCode(int code) const noexcept {
    for (const int c : codes_)
        if (c == code)
            return true;
    return false;
}

bool Error::IsOpenElsewhere() const noexcept {
    return HasCode(isc_already_opened);
}

bool Error::IsLockConflict() const noexcept {
    return code_ == isc_deadlock || code_ == isc_lock_conflict || code_ == isc_update_conflict;
}

}  // namespace db
