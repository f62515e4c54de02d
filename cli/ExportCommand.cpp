#include "cli/ExportCommand.h"

#include "core/Errors.h"
#include "db/Error.h"
#include "journal/JournalExport.h"

#include <QSaveFile>

using namespace Qt::Literals::StringLiterals;

namespace cli {

void RunExport(const Options& options, const OpenedDantai::PasswordPrompt& prompt) {
    OpenedDantai dantai(options, prompt);
    QSaveFile out(options.out);
    if (!out.open(QIODevice::WriteOnly))
        throw CliError(kExitOutput,
                       u"ファイル「%1」に書き出せません。\n%2"_s.arg(options.out, out.errorString()));
    const JournalSource source{dantai.Nendo(), std::nullopt};
    try {
        if (options.format == u"csv"_s)
            WriteJournalCsv(dantai.Connection(), source, out);
        else
            WriteJournalLedger(dantai.Connection(), source, out);
    } catch (const db::Error&) {
        throw;
    } catch (const EAppError& e) {
        // The writers' own failure is the file's.
        throw CliError(kExitOutput, u"ファイル「%1」に書き出せません。\n%2"_s.arg(options.out, e.Message()));
    }
    if (!out.commit())
        throw CliError(kExitOutput,
                       u"ファイル「%1」に書き出せません。\n%2"_s.arg(options.out, out.errorString()));
}

}  // namespace cli
