#include "db/Error.h"

namespace db {

Error::Error(QString message, int code) : EAppError(std::move(message)), code_(code) {}

}  // namespace db
