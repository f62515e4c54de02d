#include "core/ComputerName.h"

#include "platform/Folders.h"

QString GetComputerNameStr() {
    return platform::HostName().left(15);
}
