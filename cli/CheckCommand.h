#pragma once
// `tsubaki check`: the year's books checked read-only (statements/BookCheck.h),
// each finding printed with its severity; the exit status tells whether an error
// was found.

#include "cli/CommandLine.h"
#include "cli/OpenedDantai.h"

namespace cli {

// kExitOk when no error was found (warnings may be), kExitFindings otherwise.
int RunCheck(const Options& options, const OpenedDantai::PasswordPrompt& prompt);

}  // namespace cli
