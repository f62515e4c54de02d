#pragma once
// `tsubaki handover`: everything an outgoing treasurer hands over for a year, in
// one folder or one .zip, written whole or not at all: a validated backup of the
// database, the statements as PDFs, the journal exports, and a manifest of the
// files' SHA-256 sums that `sha256sum -c` checks.

#include "cli/CommandLine.h"
#include "cli/OpenedDantai.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace cli {

enum class HandoverPart {
    Backup,        // the database, backed up, restored and validated
    Statement,     // the settlement statement remembered by 決算書出力
    Report,        // a report kind of `tsubaki report`, by name, as a PDF
    CsvExport,     // the journal, as `tsubaki export --format csv`
    LedgerExport,  // the journal, as `tsubaki export --format ledger`
};

struct HandoverDocument {
    HandoverPart part;
    QString kind;  // the report kind (Report only)
    QString file;  // its name in the handover
};

// The documents of a handover, in the order written: the one list to extend when
// a report joins the handover.
std::vector<HandoverDocument> HandoverDocuments(int nendo);

// The manifest of `files` (name and bytes): a line "<sha-256 in hex>  <name>" each,
// as `sha256sum` writes and `sha256sum -c` reads.
QByteArray Sha256Manifest(const std::vector<std::pair<QString, QString>>& namesAndPaths);

// The manifest's file name.
inline constexpr char16_t kManifestName[] = u"SHA256SUMS";

// Writes the handover `options` ask for. CliError with the exit status of a failure;
// nothing is left under --out then.
void RunHandover(const Options& options, const OpenedDantai::PasswordPrompt& prompt);

}  // namespace cli
