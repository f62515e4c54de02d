#pragma once
// `tsubaki report`: one workbook (or its PDF) from the organisation's saved data.
//
// The report modules read the work rows of a window's load, so the run loads the
// year as the window of the report does (the journal, the budget, the settlement
// or the interim settlement at its closing date), under a work-table key claimed
// like a window's, and makes the report from those rows. Everything it writes is
// inside one transaction that is rolled back at the end, whatever ends the run:
// the saved tables stay as they were and no work row is left behind, even when
// the process is killed half way.

#include "cli/CommandLine.h"
#include "cli/OpenedDantai.h"
#include "cli/ReportKinds.h"

namespace cli {

// Prints the kinds (name, tab, description), one a line, to stdout.
void ListReportKinds();

// Writes the workbook of `kind` for the opened organisation's year to `book`
// (options: the division, dates, closing date and zero printing it takes).
void MakeReportBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                    const QString& book);

// Makes the report `options` ask for. CliError with the exit status of a failure.
void RunReport(const Options& options, const OpenedDantai::PasswordPrompt& prompt);

}  // namespace cli
