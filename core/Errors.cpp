#include "core/Errors.h"

QString ErrorMessageOf(const std::exception& e) {
    if (const auto* app = dynamic_cast<const EAppError*>(&e)) return app->Message();
    return QString::fromUtf8(e.what());
}
