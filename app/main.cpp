// Entry point: the single-instance guard, the application object, the connection
// module and the login window, which is the main window.

#include <QApplication>
#include <QLocale>

#include <cstdio>
#include <cstring>

#include "cli/CliMain.h"
#include "core/AppTitle.h"
#include "core/Dialogs.h"
#include "core/KyotsuUnit.h"
#include "core/SingleInstance.h"
#include "db/DataModule.h"
#include "db/Engine.h"
#include "db/ValidationProcess.h"
#include "login/LoginUnit.h"
#include "platform/InstanceLock.h"
#include "platform/ProgramFolders.h"
#include "platform/TerminationSignals.h"
#include "platform/Utf8CharacterType.h"
#include "ui/Fonts.h"
#include "ui/QtDialogs.h"
#include "ui/QtTranslations.h"

namespace {
const QString kInstanceName = QStringLiteral("Tsubaki1");
}

int main(int argc, char* argv[]) {
    // Organisation folders have Japanese names: they must open under any locale
    // (cron, ssh, `su -`). Set here, before any thread reads the environment.
    platform::EnsureUtf8CharacterType();
    // This program started again to validate a database file (db/ValidationProcess.h).
    db::ServeValidationRequest(argc, argv);
    // `tsubaki --folders` prints where this copy reads its files and keeps its settings.
    if (argc == 2 && std::strcmp(argv[1], "--folders") == 0)
        return std::fputs(platform::FoldersReport().toUtf8().constData(), stdout) < 0 ? 1 : 0;
    // `tsubaki report …`, `tsubaki export …`, `tsubaki --help`: no window, and not
    // held back by a window program running (tsubaki --help lists the commands).
    if (cli::WantsCommandLine(argc, argv))
        return cli::CommandLineMain(argc, argv);
    platform::BlockTerminationSignals();  // before any thread starts
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("tsubaki"));  // the menu entry's icon on the task bar
    // A termination signal ends every open window's event loop; the program then
    // closes as usual below (the engine shut down with the database closed).
    const platform::TerminationSignals termination([] { QCoreApplication::exit(0); });
    // The name only: a display name would be appended to every window's title.
    QApplication::setApplicationName(AppTitle());
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtTranslations(app);
    QApplication::setFont(GothicFont(16));
    QtDialogs dialogs;
    InstallDialogs(&dialogs);

    if (!CheckSingleInstance(AppTitle(), kInstanceName))
        return 0;
    const platform::InstanceLock instanceLock(kInstanceName);  // held for the whole run; may fail quietly

    {
        TDataModule1 dataModule;
        DataModuleInstallation installation(dataModule);
        TLoginForm login;
        login.exec();  // the login window is the main window: the program ends with it
    }
    db::ShutdownEngine();
    ClearLoginState();
    InstallDialogs(nullptr);
    return 0;
}
