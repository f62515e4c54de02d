#include "cli/HandoverCommand.h"

#include "cli/Interruption.h"
#include "cli/OutputFile.h"
#include "cli/ReportCommand.h"
#include "cli/ReportKinds.h"
#include "cli/WorkFolder.h"
#include "core/KyotsuUnit.h"
#include "db/DatabaseServices.h"
#include "journal/JournalExport.h"
#include "platform/Folders.h"
#include "sheet/ZipWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

[[noreturn]] void OutputError(const QString& what) {
    throw CliError(kExitOutput, what);
}

// The settlement statement 決算書出力 remembers for the year (the first of the
// list when none was chosen yet), and whether it prints items of 0.
std::pair<ReportKind, bool> RememberedStatement(OpenedDantai& dantai, const std::vector<ReportKind>& kinds) {
    const auto rows = dantai.Connection().Select(
        u"select KESSANSYO_SYOKICHI, KESSAN_ZERO_PRINT from NENDO where (NENDO = :Nendo)"_s,
        {{u"Nendo"_s, dantai.Nendo()}});
    const QString remembered =
        rows.rows.empty() || rows.rows[0][0].IsNull() ? QString() : rows.rows[0][0].AsString();
    const bool zero = !rows.rows.empty() && !rows.rows[0][1].IsNull() && rows.rows[0][1].AsInteger() == 1;
    if (const auto kind = FindReportKind(kinds, remembered); kind && kind->family == ReportFamily::Settlement)
        return {*kind, zero};
    for (const ReportKind& kind : kinds)
        if (kind.family == ReportFamily::Settlement)
            return {kind, zero};
    throw CliError(kExitNotFound, u"決算書の一覧 (KessansyoList.txt) に帳票がありません。"_s);
}

// A backup made by the engine's backup service, restored beside it as a database
// file and validated: a copy that is not whole never reaches the handover.
void WriteBackup(OpenedDantai& dantai, const QString& work, const QString& target) {
    const QString databaseString = GetDbPath(dantai.Name());
    const QString server = db::IsServerDatabase(databaseString)
                               ? databaseString.left(databaseString.indexOf(u':') + 1)
                               : QString();
    const QString transfer = work + u"/backup.fbk"_s;
    db::BackupDatabase(databaseString, transfer);
    db::RestoreDatabase(transfer, server + target, false);
    QFile::remove(transfer);
    const QString findings = db::ValidationFindings(server + target);
    if (!findings.isEmpty())
        OutputError(u"バックアップを検査したところ異常が見つかったため、引継ぎを中止しました。\n"_s +
                    findings);
}

QString MakePdf(OpenedDantai& dantai, const Options& options, const ReportKind& kind, const QString& soffice,
                const QString& folder) {
    QDir().mkpath(folder);
    const QString book = folder + u"/book.xlsx"_s;
    MakeReportBook(dantai, options, kind, book);
    return ConvertToPdf(soffice, book, folder);
}

void Export(OpenedDantai& dantai, JournalFormat format, const QString& target) {
    try {
        WriteJournalFile(dantai.Connection(), {dantai.Nendo(), std::nullopt}, format, target);
    } catch (const JournalFileError& e) {
        OutputError(e.Message());
    }
}

// Puts the finished folder `staged` in place as `out`: moved whole into a hidden
// folder beside `out`, then renamed, so that `out` never stands half written.
void PlaceFolder(const QString& staged, const std::vector<QString>& names, const QString& out) {
    const QFileInfo target(out);
    const QString partial = target.absolutePath() + u"/."_s + target.fileName() + u".partial"_s;
    QDir(partial).removeRecursively();
    if (!QDir().mkpath(partial))
        OutputError(u"フォルダ「%1」を作れません。"_s.arg(partial));
    Interruption::RemoveOnStop(partial);
    struct RemovePartial {
        QString path;
        ~RemovePartial() {
            if (!path.isEmpty())
                QDir(path).removeRecursively();
        }
    } removePartial{partial};
    for (const QString& name : names)
        PlaceFile(staged + u'/' + name, partial + u'/' + name);
    if (!QDir().rename(partial, out))
        OutputError(u"フォルダ「%1」を作れません。"_s.arg(out));
    removePartial.path.clear();
    Interruption::KeepOnStop(partial);
}

void PlaceZip(const QString& staged, const std::vector<QString>& names, const QString& out) {
    try {
        sheet::ZipWriter zip(out);
        for (const QString& name : names) {
            QFile file(staged + u'/' + name);
            if (!file.open(QIODevice::ReadOnly))
                OutputError(u"ファイル「%1」を読めません。"_s.arg(file.fileName()));
            zip.Add(name, {sheet::ZipPiece{file.readAll(), nullptr}});
        }
        zip.Commit();
    } catch (const CliError&) {
        throw;
    } catch (const std::exception& e) {
        OutputError(u"ファイル「%1」に書き出せません。\n%2"_s.arg(out, QString::fromUtf8(e.what())));
    }
}

}  // namespace

std::vector<HandoverDocument> HandoverDocuments(int nendo) {
    const QString year = QString::number(nendo) + u"年度"_s;
    return {
        {HandoverPart::Backup, {}, year + u"_バックアップ.FDB"_s},
        {HandoverPart::Statement, {}, year + u"_決算書.pdf"_s},
        {HandoverPart::Report, u"収支明細表"_s, year + u"_収支明細表.pdf"_s},
        {HandoverPart::Report, u"月別集計表"_s, year + u"_月別集計表.pdf"_s},
        {HandoverPart::Report, u"残高照合表"_s, year + u"_残高照合表.pdf"_s},
        {HandoverPart::CsvExport, {}, year + u"_仕訳.csv"_s},
        {HandoverPart::LedgerExport, {}, year + u"_仕訳.journal"_s},
    };
}

QByteArray Sha256Manifest(const std::vector<std::pair<QString, QString>>& namesAndPaths) {
    QByteArray manifest;
    for (const auto& [name, path] : namesAndPaths) {
        QFile file(path);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
            OutputError(u"ファイル「%1」を読めません。"_s.arg(path));
        manifest += hash.result().toHex() + "  " + name.toUtf8() + '\n';
    }
    return manifest;
}

void RunHandover(const Options& options, const OpenedDantai::PasswordPrompt& prompt) {
    const bool zip = options.out.endsWith(u".zip"_s, Qt::CaseInsensitive);
    const QFileInfo out(options.out);
    if (out.exists())
        throw CliError(kExitOutput,
                       u"「%1」は既にあります。まだ無い名前を指定してください。"_s.arg(options.out));
    if (!QFileInfo(out.absolutePath()).isDir())
        throw CliError(kExitOutput, u"フォルダ「%1」がありません。"_s.arg(out.absolutePath()));
    const QString soffice = FindLibreOffice();
    if (soffice.isEmpty())
        throw CliError(kExitOutput, NoLibreOfficeText());
    const std::vector<ReportKind> kinds = ReportKinds(platform::ProgramFolder());

    RemoveStaleWorkFolders();
    const WorkFolder work;
    qputenv("TMPDIR", QFile::encodeName(work.Path()));
    const QString staged = work.File(u"handover"_s);
    QDir().mkpath(staged);
    std::vector<std::pair<QString, QString>> written;  // name, path
    {
        OpenedDantai dantai(options, prompt);
        const std::vector<HandoverDocument> documents = HandoverDocuments(dantai.Nendo());
        int step = 0;
        for (const HandoverDocument& document : documents) {
            const QString target = staged + u'/' + document.file;
            const QString folder = work.File(u"doc%1"_s.arg(++step));
            Options reportOptions;
            switch (document.part) {
                case HandoverPart::Backup:
                    WriteBackup(dantai, work.Path(), target);
                    break;
                case HandoverPart::Statement: {
                    const auto [kind, zero] = RememberedStatement(dantai, kinds);
                    reportOptions.zero = zero;
                    PlaceFile(MakePdf(dantai, reportOptions, kind, soffice, folder), target);
                    break;
                }
                case HandoverPart::Report: {
                    const std::optional<ReportKind> kind = FindReportKind(kinds, document.kind);
                    if (!kind)
                        throw CliError(kExitNotFound, u"帳票の種類「%1」はありません。"_s.arg(document.kind));
                    PlaceFile(MakePdf(dantai, reportOptions, *kind, soffice, folder), target);
                    break;
                }
                case HandoverPart::CsvExport:
                    Export(dantai, JournalFormat::Csv, target);
                    break;
                case HandoverPart::LedgerExport:
                    Export(dantai, JournalFormat::Ledger, target);
                    break;
            }
            written.emplace_back(document.file, target);
        }
    }
    const QString manifest = QString::fromUtf16(kManifestName);
    QFile sums(staged + u'/' + manifest);
    if (!sums.open(QIODevice::WriteOnly) || sums.write(Sha256Manifest(written)) < 0 || !sums.flush())
        OutputError(u"ファイル「%1」に書き出せません。"_s.arg(sums.fileName()));
    sums.close();
    std::vector<QString> names;
    for (const auto& [name, path] : written)
        names.push_back(name);
    names.push_back(manifest);
    if (zip)
        PlaceZip(staged, names, options.out);
    else
        PlaceFolder(staged, names, options.out);
}

}  // namespace cli
