#pragma once
// `tsubaki export`: the year's saved journal as CSV or as a ledger journal
// (journal/JournalExport.h), written whole or not at all.

#include "cli/CommandLine.h"
#include "cli/OpenedDantai.h"

namespace cli {

void RunExport(const Options& options, const OpenedDantai::PasswordPrompt& prompt);

}  // namespace cli
