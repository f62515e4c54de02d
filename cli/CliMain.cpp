#include "cli/CliMain.h"

#include "cli/CheckCommand.h"
#include "cli/CommandLine.h"
#include "cli/ExportCommand.h"
#include "cli/HandoverCommand.h"
#include "cli/Interruption.h"
#include "cli/ReportCommand.h"
#include "cli/Terminal.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "db/Engine.h"
#include "db/Error.h"

#include <QCoreApplication>
#include <QLocale>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

QStringList Arguments(int argc, char* argv[]) {
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    return args;
}

int Run(const QStringList& args, TerminalDialogs& dialogs) {
    try {
        const Options options = ParseCommandLine(args);
        const OpenedDantai::PasswordPrompt prompt = [] { return AskPassword(u"パスワード: "_s); };
        switch (options.command) {
            case Command::Help: {
                const QByteArray text = HelpText().toUtf8();
                std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
                return kExitOk;
            }
            case Command::List:
                ListReportKinds();
                return kExitOk;
            case Command::Report:
                RunReport(options, prompt);
                return kExitOk;
            case Command::Export:
                RunExport(options, prompt);
                return kExitOk;
            case Command::Check:
                return RunCheck(options, prompt);
            case Command::Handover:
                RunHandover(options, prompt);
                return kExitOk;
        }
        return kExitOk;
    } catch (const CliError& e) {
        PrintError(e.Message());
        return e.Code();
    } catch (const EAbort&) {
        // A step that failed has said why (the dialogs service writes to stderr).
        if (!dialogs.Told())
            PrintError(u"処理を中止しました。"_s);
        return kExitFailed;
    } catch (const db::Error& e) {
        PrintError(e.IsOpenElsewhere() ? u"データベースは他のプログラムで使用中です。\n"_s + e.Message()
                                       : e.Message());
        return e.IsOpenElsewhere() ? kExitBusy : kExitFailed;
    } catch (const std::exception& e) {
        PrintError(ErrorMessageOf(e));
        return kExitFailed;
    }
}

}  // namespace

bool WantsCommandLine(int argc, char* argv[]) {
    return IsCommandLine(Arguments(argc, argv));
}

int CommandLineMain(int argc, char* argv[]) {
    // Before anything starts a thread (the application object, the engine).
    const Interruption interruption;
    // No window: the reports need only the core of Qt.
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    TerminalDialogs dialogs;
    IDialogs* previous = InstallDialogs(&dialogs);
    const int status = Run(Arguments(argc, argv), dialogs);
    db::ShutdownEngine();
    ClearLoginState();
    InstallDialogs(previous);
    return status;
}

}  // namespace cli
