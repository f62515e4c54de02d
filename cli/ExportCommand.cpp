#include "cli/ExportCommand.h"

#include "core/Errors.h"
#include "journal/JournalExport.h"

using namespace Qt::Literals::StringLiterals;

namespace cli {

void RunExport(const Options& options, const OpenedDantai::PasswordPrompt& prompt) {
    OpenedDantai dantai(options, prompt);
    try {
        WriteJournalFile(dantai.Connection(), {dantai.Nendo(), std::nullopt},
                         options.format == u"csv"_s ? JournalFormat::Csv : JournalFormat::Ledger,
                         options.out);
    } catch (const JournalFileError& e) {
        throw CliError(kExitOutput, e.Message());
    }
}

}  // namespace cli
