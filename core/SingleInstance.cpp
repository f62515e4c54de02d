#include "core/SingleInstance.h"

#include "core/Dialogs.h"
#include "platform/InstanceLock.h"

bool CheckSingleInstance(const QString& title, const QString& mutexName) {
    if (!platform::InstanceLock::IsHeldElsewhere(mutexName)) return true;
    ShowMessage(QStringLiteral("「") + title + QStringLiteral("」または「") + title +
                QStringLiteral("」の動作に影響を与えるプログラムが実行中です。"));
    return false;
}
