#include "db/Error.h"

#include <firebird/Interface.h>

namespace db {

Error::Error(QString message, int code) : EAppError(std::move(message)), code_(code) {}

bool Error::IsLockConflict() const noexcept {
    return code_ == isc_deadlock || code_ == isc_lock_conflict || code_ == isc_update_conflict;
}

}  // namespace db
