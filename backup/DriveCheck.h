#pragma once
#include <QString>

#include "core/Errors.h"
#include "core/NameChecks.h"

// A path typed with a drive letter ("C:…") names a drive this computer does not
// have: refused with the drive-not-ready message, the letter as typed.
inline void CheckDriveOfPath(const QString& path) {
    if (path.size() >= 2 && path.at(1) == u':' && path.at(0).isLetter() && path.at(0).unicode() < 0x80 &&
        !IsDriveReady(path.at(0)))
        throw EDriveNotReady(path.at(0) + QStringLiteral("ﾄﾞﾗｲﾌﾞの準備ができていません"));
}
