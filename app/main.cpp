// Entry point: the single-instance guard, the application object, the first window.

#include <QApplication>
#include <QFont>

#include "app/StartWindow.h"
#include "core/AppTitle.h"
#include "core/SingleInstance.h"
#include "platform/InstanceLock.h"
#include "ui/QtDialogs.h"

namespace {
const QString kInstanceName = QStringLiteral("Tsubaki1");
}

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle());
    QApplication::setApplicationDisplayName(AppTitle());
    QApplication::setFont(QFont(QStringList{QStringLiteral("MS PGothic"), QStringLiteral("IPAPGothic"),
                                            QStringLiteral("Noto Sans CJK JP")}));
    QtDialogs dialogs;
    InstallDialogs(&dialogs);

    if (!CheckSingleInstance(AppTitle(), kInstanceName))
        return 0;
    const platform::InstanceLock instanceLock(kInstanceName);  // held for the whole run; may fail quietly

    StartWindow window;
    window.exec();  // the first window is the main window: the program ends with it
    InstallDialogs(nullptr);
    return 0;
}
