#include "cli/ReportCommand.h"

#include "cli/OutputFile.h"
#include "cli/ReportKinds.h"
#include "core/Errors.h"
#include "data/DataSet.h"
#include "data/DataSetOperation.h"
#include "data/SqlCommand.h"
#include "db/WorkKeys.h"
#include "journal/JournalYear.h"
#include "journal/MeisaiRules.h"
#include "platform/Folders.h"
#include "reports/ExlKessansyoUnit.h"
#include "reports/ExlSyusiMeisaiUnit.h"
#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "reports/YosansyoModules.h"
#include "reports/YosansyoRules.h"
#include "statements/KessanRules.h"
#include "statements/StatementLoads.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

// Rolls back the run's transaction however the run ends.
class RolledBack {
  public:
    explicit RolledBack(db::Connection& connection) : connection_(connection) {
        connection_.StartTransaction();
    }
    ~RolledBack() {
        if (connection_.InTransaction())
            connection_.Rollback();
    }
    RolledBack(const RolledBack&) = delete;
    RolledBack& operator=(const RolledBack&) = delete;

  private:
    db::Connection& connection_;
};

void CheckOptionsFit(const Options& options, const ReportKind& kind) {
    const bool journal = kind.family == ReportFamily::Journal;
    if (!journal && (options.division || !options.from.isEmpty() || !options.to.isEmpty()))
        throw CliError(kExitUsage, u"--division、--from、--to は収支明細表にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Settlement && !options.closing.isEmpty())
        throw CliError(kExitUsage, u"--closing は決算書にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Budget && kind.family != ReportFamily::Settlement && options.zero)
        throw CliError(kExitUsage, u"--zero は予算書と決算書にだけ指定できます。"_s);
}

// The journal window's load and one of its two workbooks.
void MakeJournalBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                     const QString& book) {
    db::Connection& connection = dantai.Connection();
    if (options.division) {
        const auto found = connection.Select(
            u"select CD from KAIKEI_KUBUN where (CD = :CD) and (coalesce(KAISI_NENDO, 0) <= :Nendo) "
            u"and (coalesce(SYURYO_NENDO, 9999) >= :Nendo)"_s,
            {{u"CD"_s, *options.division}, {u"Nendo"_s, dantai.Nendo()}});
        if (found.rows.empty())
            throw CliError(
                kExitNotFound,
                u"会計区分 %1 は %2年度にはありません。"_s.arg(*options.division).arg(dantai.Nendo()));
    }
    RolledBack transaction(connection);
    db::WorkKeyClaim claim(connection, u"W_MEISAI"_s, dantai.Nendo(), platform::FullHostName(),
                           QDateTime::currentDateTime());
    CopyYearToWorkRows(connection, dantai.Nendo(), claim.Key());
    std::unique_ptr<TTsubakiExcelBaseModule> report;
    if (kind.family == ReportFamily::Journal) {
        auto listing = std::make_unique<TExlSyusiMeisaiModule>();
        listing->SetKaisibi(MmddToHizuke(options.from, dantai.Kisyubi()));
        listing->SetSyuryobi(MmddToHizuke(options.to, dantai.Kisyubi()));
        listing->SetTaisyoKubun(options.division.value_or(-1));
        report = std::move(listing);
    } else {
        report = std::make_unique<TExlTsukibetsuSyukeiModule>();
    }
    report->SetNendo(dantai.Nendo());
    report->SetJikoku(claim.Key().jikoku);
    report->SetOutputFile(book);
    report->Execute();
}

// The budget window's load and the statement of the chosen line.
void MakeBudgetBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                    const QString& book) {
    db::Connection& connection = dantai.Connection();
    RolledBack transaction(connection);
    data::SqlCommand NendoSQL(u"NendoSQL"_s, &connection);
    NendoSQL.SetCommandText(u"select * from NENDO where (NENDO = :Nendo)"_s);
    NendoSQL.SetParam(u"Nendo"_s, dantai.Nendo());
    data::DataSet NendoDS(u"NendoClientDS"_s);
    NendoDS.SetCommand(&NendoSQL);
    data::DsOpen(NendoDS);
    statements::FillYosanDefaultTexts(NendoDS, dantai.Nendo(), dantai.Name());
    db::WorkKeyClaim claim(connection, u"W_YOSAN"_s, dantai.Nendo(), platform::FullHostName(),
                           QDateTime::currentDateTime());
    statements::CopyYosanToWorkRows(connection, dantai.Nendo(), claim.Key());
    std::unique_ptr<TExlYosansyoModule> report = NewYosansyoModule(yosansyo::ModuleForLine(kind.line));
    report->SetNendo(dantai.Nendo());
    report->SetJikoku(claim.Key().jikoku);
    report->SetNendoDS(&NendoDS);
    report->SetTemplatemei(kind.name);
    report->SetZeroPrint(options.zero);
    report->SetOutputFile(book);
    report->Execute();
    NendoDS.Close();
}

// The settlement (or interim settlement) window's load and the chosen statement.
void MakeSettlementBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                        const QString& book) {
    db::Connection& connection = dantai.Connection();
    QString simebi;
    if (!options.closing.isEmpty()) {
        simebi = SimebiOf(options.closing, dantai.Kisyubi());
        if (const auto error = SimebiError(simebi, dantai.Kimatsubi()))
            throw CliError(kExitNotFound, *error);
    }
    const bool interim = !simebi.isEmpty();
    RolledBack transaction(connection);
    data::SqlCommand KamokuSQL(u"KamokuSQL"_s, &connection);
    KamokuSQL.SetCommandText(statements::StatementKamokuSql());
    data::DataSet KamokuClientDS(u"KamokuClientDS"_s);
    KamokuClientDS.SetCommand(&KamokuSQL);
    data::DsOpen(KamokuClientDS);

    data::SqlCommand NendoSQL(u"NendoSQL"_s, &connection);
    NendoSQL.SetCommandText(
        interim ? u"select * from CYUKAN_KESSAN_NENDO where (NENDO = :Nendo) and (SIMEBI = :Simebi)"_s
                : u"select * from NENDO where (NENDO = :Nendo)"_s);
    NendoSQL.SetParam(u"Nendo"_s, dantai.Nendo());
    if (interim)
        NendoSQL.SetParam(u"Simebi"_s, simebi);
    data::DataSet NendoDS(u"NendoClientDS"_s);
    NendoDS.SetCommand(&NendoSQL);
    data::DsOpen(NendoDS);
    if (interim)
        statements::StartCyukanTextsRow(NendoDS, connection, dantai.Nendo(), simebi);
    statements::FillKessanDefaultTexts(NendoDS, dantai.Nendo(), simebi, dantai.Name());

    db::WorkKeyClaim claim(connection, u"W_KESSAN"_s, dantai.Nendo(), platform::FullHostName(),
                           QDateTime::currentDateTime());
    statements::SettleToWorkRows(connection, dantai.Nendo(), simebi, claim.Key(), KamokuClientDS);
    std::unique_ptr<TExlYosansyoModule> report = NewKessansyoModule(kind.line);
    report->SetNendo(dantai.Nendo());
    report->SetJikoku(claim.Key().jikoku);
    report->SetNendoDS(&NendoDS);
    report->SetTemplatemei(kind.name);
    report->SetZeroPrint(options.zero);
    // The interim window hands its closing date as its texts row shows it.
    report->SetCyukanSimebi(interim ? NendoDS.FieldByName(u"KESSAN_HIZUKE"_s).AsString().remove(u' ')
                                    : QString());
    report->SetOutputFile(book);
    report->Execute();
    NendoDS.Close();
    KamokuClientDS.Close();
}

}  // namespace

void ListReportKinds() {
    QByteArray text;
    for (const ReportKind& kind : ReportKinds(platform::ProgramFolder()))
        text += (kind.name + u'\t' + kind.description + u'\n').toUtf8();
    std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
    std::fflush(stdout);
}

void RunReport(const Options& options, const OpenedDantai::PasswordPrompt& prompt) {
    const std::vector<ReportKind> kinds = ReportKinds(platform::ProgramFolder());
    const std::optional<ReportKind> kind = FindReportKind(kinds, options.kind);
    if (!kind)
        throw CliError(kExitNotFound,
                       u"帳票の種類「%1」はありません。\n一覧は tsubaki report --list で見られます。"_s.arg(
                           options.kind));
    CheckOptionsFit(options, *kind);
    const bool pdf = options.out.endsWith(u".pdf"_s, Qt::CaseInsensitive);
    // Found out before any work is done.
    const QString soffice = pdf ? FindLibreOffice() : QString();
    if (pdf && soffice.isEmpty())
        throw CliError(kExitOutput, NoLibreOfficeText());

    QTemporaryDir work;
    if (!work.isValid())
        throw CliError(kExitOutput, u"作業用のフォルダを作れません。\n"_s + work.errorString());
    const QString book = work.filePath(u"book.xlsx"_s);
    {
        OpenedDantai dantai(options, prompt);
        switch (kind->family) {
            case ReportFamily::Journal:
            case ReportFamily::Monthly:
                MakeJournalBook(dantai, options, *kind, book);
                break;
            case ReportFamily::Budget:
                MakeBudgetBook(dantai, options, *kind, book);
                break;
            case ReportFamily::Settlement:
                MakeSettlementBook(dantai, options, *kind, book);
                break;
        }
    }
    PlaceFile(pdf ? ConvertToPdf(soffice, book, work.path()) : book, options.out);
}

}  // namespace cli
