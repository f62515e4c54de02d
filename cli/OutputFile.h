#pragma once
// Putting a command's result where --out says: a file is written whole or not at
// all (a temporary beside it, renamed at the end), and a workbook becomes a PDF
// through LibreOffice run headless with a profile of its own.

#include <QString>

namespace cli {

// LibreOffice's program (soffice, else libreoffice) on the PATH; empty when it is
// not installed.
QString FindLibreOffice();

// Converts `xlsx` to a PDF in `folder` (LibreOffice's profile goes there too) and
// returns its path. CliError kExitOutput when LibreOffice fails or takes too long.
QString ConvertToPdf(const QString& soffice, const QString& xlsx, const QString& folder);

// Copies the file `source` to `target` whole: CliError kExitOutput, with the
// reason, when it cannot; `target` is then left as it was.
void PlaceFile(const QString& source, const QString& target);

// The message when PDF output is asked for without LibreOffice.
QString NoLibreOfficeText();

}  // namespace cli
