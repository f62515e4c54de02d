// Windows drawn for screenshots under a real X server and window manager
// (scripts/screenshots.sh): the program's own windows and dialogs service, with
// Qt's Japanese texts, on a generated organisation.
//   screens backup <db>    the backup window, its folder dialog opened
//   screens error          a long error in the error box
//   screens journal <db>   the journal: load 2021, the listing workbook, a line, 保存

#include <QApplication>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

#include "backup/BackupUnit.h"
#include "core/AppTitle.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "db/Engine.h"
#include "journal/MeisaiNyuryokuUnit.h"
#include "ui/DBGrid.h"
#include "ui/Fonts.h"
#include "ui/QtDialogs.h"
#include "ui/QtTranslations.h"
#include "ui/YearEdit.h"

namespace {

// Runs `step` after `ms` and prints `name` when it starts, for the script to time its shots.
void After(int ms, const char* name, std::function<void()> step) {
    QTimer::singleShot(ms, [name, step = std::move(step)] {
        std::printf("%s\n", name);
        std::fflush(stdout);
        RunGuarded(step);
    });
}

int Backup(const QString& path) {
    WriteDBListEntry(CurrentDantai, path);
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    TBackupForm form;
    After(800, "folder", [&form] { form.SansyoBtn->click(); });
    form.exec();
    return 0;
}

int Error() {
    After(300, "error", [] {
        throw EAppError(QStringLiteral(
            "この年度の明細は、読み込んだ後に他のコンピュータまたは他の画面で保存されています。"
            "このまま保存すると、その明細は失われます。金額を入力したときは科目(集計項目)を入力してください。"));
    });
    After(4000, "quit", [] { QApplication::exit(0); });
    return QApplication::exec();
}

int Journal(const QString& path) {
    TDataModule1 module([path] { return path; });
    DataModuleInstallation installation(module);
    TMeisaiNyuryokuForm form;
    After(800, "load", [&form] {
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        form.Edit1->insert(QStringLiteral("2021"));
        form.NyuryokuBtn->setFocus(Qt::TabFocusReason);  // entering 入力(表示) loads the year
    });
    // One step after the other: the listing lets the windows repaint while it runs.
    After(6000, "listing", [&form] {
        form.SyusiMeisaiBtn->click();
        After(3000, "save", [&form] {
            form.SaveBtn->click();
            std::printf("saved\n");  // the save is over: the window shows its status
            std::fflush(stdout);
            After(8000, "close", [&form] { form.reject(); });
        });
    });
    form.exec();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(AppTitle());
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtTranslations(app);
    QApplication::setFont(GothicFont(16));
    QtDialogs dialogs;
    InstallDialogs(&dialogs);
    CurrentDantai = QStringLiteral("ベンチ町会");
    CurrentNendo = 2021;
    const QByteArrayView mode = argc >= 2 ? QByteArrayView(argv[1]) : QByteArrayView();
    const QString path = argc >= 3 ? QString::fromLocal8Bit(argv[2]) : QString();
    int result = 2;
    if (mode == "backup")
        result = Backup(path);
    else if (mode == "error")
        result = Error();
    else if (mode == "journal")
        result = Journal(path);
    db::ShutdownEngine();
    InstallDialogs(nullptr);
    return result;
}
