#include "cli/ReportCommand.h"

#include "cli/OutputFile.h"
#include "cli/ReportKinds.h"
#include "cli/Terminal.h"
#include "cli/WorkFolder.h"
#include "core/Errors.h"
#include "data/DataSet.h"
#include "data/DataSetOperation.h"
#include "data/SqlCommand.h"
#include "db/WorkKeys.h"
#include "db/YearQueries.h"
#include "journal/MeisaiRules.h"
#include "kaihi/ExlKaihiCyosyuUnit.h"
#include "kaihi/ExlKaihiMinouUnit.h"
#include "kaihi/ExlKaihiRyosyusyoUnit.h"
#include "kaihi/KaihiStore.h"
#include "platform/Folders.h"
#include "reports/ExlKessansyoUnit.h"
#include "reports/ExlSyusiMeisaiUnit.h"
#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "reports/ExlZandakaSyogoUnit.h"
#include "reports/YosansyoModules.h"
#include "reports/YosansyoRules.h"
#include "statements/KessanRules.h"
#include "statements/StatementLoads.h"
#include "statements/ZandakaUchiwake.h"

#include <QDateTime>
#include <QFile>

#include <algorithm>
#include <cstdio>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace cli {

namespace {

// Rolls back the run's transaction however the run ends; a snapshot for a run
// that only reads.
class RolledBack {
  public:
    explicit RolledBack(db::Connection& connection, bool snapshot = false) : connection_(connection) {
        if (snapshot)
            connection_.StartSnapshot();
        else
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

// A dataset opened on `sql` through a command of its own, as the windows hold
// theirs (the statement modules read the texts row from a client dataset).
class OpenedRows {
  public:
    OpenedRows(db::Connection& connection, const QString& name, const QString& sql,
               const db::Connection::Params& params = {})
        : command_(name + u"SQL"_s, &connection), rows_(name) {
        command_.SetCommandText(sql);
        for (const auto& [param, value] : params)
            command_.SetParam(param, value);
        rows_.SetCommand(&command_);
        data::DsOpen(rows_);
    }
    ~OpenedRows() { rows_.Close(); }
    OpenedRows(const OpenedRows&) = delete;
    OpenedRows& operator=(const OpenedRows&) = delete;
    data::DataSet& Rows() { return rows_; }

  private:
    data::SqlCommand command_;
    data::DataSet rows_;
};

// The chosen statement from the load's work rows, set up as the choice window sets it.
void WriteStatement(TExlYosansyoModule& report, const OpenedDantai& dantai, const db::WorkKey& key,
                    data::DataSet& texts, const ReportKind& kind, const Options& options,
                    const QString& book) {
    report.SetNendo(dantai.Nendo());
    report.SetJikoku(key.jikoku);
    report.SetNendoDS(&texts);
    report.SetTemplatemei(kind.name);
    report.SetZeroPrint(options.zero);
    report.SetCharts(options.charts);
    report.SetOutputFile(book);
    report.Execute();
}

void CheckOptionsFit(const Options& options, const ReportKind& kind) {
    const bool journal = kind.family == ReportFamily::Journal;
    if (!journal && (options.division || !options.from.isEmpty() || !options.to.isEmpty()))
        throw CliError(kExitUsage, u"--division、--from、--to は収支明細表にだけ指定できます。"_s);
    const bool settlement = kind.family == ReportFamily::Settlement;
    if (!settlement && kind.family != ReportFamily::Balances && !options.closing.isEmpty())
        throw CliError(kExitUsage, u"--closing は決算書と残高照合表にだけ指定できます。"_s);
    if (!settlement && options.balances)
        throw CliError(kExitUsage, u"--balances は決算書にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Budget && kind.family != ReportFamily::Settlement && options.zero)
        throw CliError(kExitUsage, u"--zero は予算書と決算書にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Budget && kind.family != ReportFamily::Settlement && options.charts)
        throw CliError(kExitUsage, u"--charts は予算書と決算書にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Collection && !options.dues.isEmpty())
        throw CliError(kExitUsage, u"--dues は会費徴収一覧にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Unpaid && kind.family != ReportFamily::Households &&
        options.date.isValid())
        throw CliError(kExitUsage, u"--date は未納一覧と班別世帯数にだけ指定できます。"_s);
    if (kind.family != ReportFamily::Receipts && options.numbers)
        throw CliError(kExitUsage, u"--numbers は領収書にだけ指定できます。"_s);
}

// The day of 未納一覧 and 班別世帯数 without --date: today while the year runs (as
// the windows make them), else the year's last day.
QDate LedgerDayOf(const OpenedDantai& dantai, const Options& options) {
    if (options.date.isValid())
        return options.date;
    const QDate first = QDate::fromString(dantai.Kisyubi(), u"yyyyMMdd"_s);
    const QDate last = QDate::fromString(dantai.Kimatsubi(), u"yyyyMMdd"_s);
    const QDate today = QDate::currentDate();
    return first <= today && today <= last ? today : last;
}

// The kind of dues of --dues, by name or code; the year's first kind (the one the
// collection window shows first) without it.
int SyuruiOf(const KaihiYear& year, const Options& options) {
    if (year.syurui.empty())
        throw CliError(kExitNotFound, u"%1年度の会費の種別が登録されていません。"_s.arg(year.nendo));
    if (options.dues.isEmpty())
        return year.syurui.front().syuruiCd;
    for (const KaihiSyurui& s : year.syurui)
        if (s.name == options.dues || QString::number(s.syuruiCd) == options.dues)
            return s.syuruiCd;
    QStringList names;
    for (const KaihiSyurui& s : year.syurui)
        names << u"%1 %2"_s.arg(s.syuruiCd).arg(s.name);
    throw CliError(kExitNotFound,
                   u"会費の種別「%1」は %2年度にはありません。この年度の種別: %3"_s.arg(options.dues)
                       .arg(year.nendo)
                       .arg(names.join(u"、"_s)));
}

// The payments whose receipts are printed: those with numbers in --numbers (by
// number), else every payment of the year not yet given a receipt (by date).
std::vector<int> ReceiptPaymentsOf(db::Connection& connection, int nendo, const Options& options) {
    const KaihiYear year = LoadKaihiYear(connection, nendo);
    const std::map<int, int> numbers = ReceiptNumbersOf(connection, nendo);
    std::vector<int> chosen;
    if (options.numbers) {
        std::vector<std::pair<int, int>> byNumber;
        for (const auto& [noufuNo, number] : numbers)
            if (options.numbers->first <= number && number <= options.numbers->second)
                byNumber.emplace_back(number, noufuNo);
        std::sort(byNumber.begin(), byNumber.end());
        for (const auto& entry : byNumber)
            chosen.push_back(entry.second);
        if (chosen.empty())
            throw CliError(kExitNotFound, u"%1年度に番号 %2～%3 の領収書はありません。"_s.arg(nendo)
                                              .arg(options.numbers->first)
                                              .arg(options.numbers->second));
        return chosen;
    }
    for (const int noufuNo : year.noufuNos)
        if (!numbers.contains(noufuNo))
            chosen.push_back(noufuNo);
    if (chosen.empty())
        throw CliError(kExitNotFound,
                       u"%1年度に領収書を作成していない納付はありません。\n"
                       u"作成済みの領収書は --numbers で番号を指定して再発行できます。"_s.arg(nendo));
    return chosen;
}

// The dues ledger's workbooks, as the 会費徴収 and 班・世帯 windows make them.
// Receipts write their numbers (a number once given is the payment's for good);
// the lists only read, in one snapshot.
void MakeLedgerBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                    const QString& book) {
    db::Connection& connection = dantai.Connection();
    if (kind.family == ReportFamily::Receipts) {
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(dantai.Nendo());
        report.SetNoufu(ReceiptPaymentsOf(connection, dantai.Nendo(), options));
        report.SetOutputFile(book);
        report.Execute();
        return;
    }
    RolledBack snapshot(connection, true);
    std::unique_ptr<TExcelBaseModule1> report;
    if (kind.family == ReportFamily::Collection) {
        auto list = std::make_unique<TExlKaihiCyosyuModule>();
        list->SetNendo(dantai.Nendo());
        list->SetSyurui(SyuruiOf(LoadKaihiYear(connection, dantai.Nendo()), options));
        report = std::move(list);
    } else if (kind.family == ReportFamily::Unpaid) {
        auto list = std::make_unique<TExlKaihiMinouModule>();
        list->SetNendo(dantai.Nendo());
        list->SetAsOf(LedgerDayOf(dantai, options));
        report = std::move(list);
    } else {
        auto count = std::make_unique<TExlHanbetsuSetaisuModule>();
        count->SetDay(LedgerDayOf(dantai, options));
        report = std::move(count);
    }
    report->SetOutputFile(book);
    report->Execute();
}

// One of the journal's two workbooks, read from the saved year: nothing is
// loaded, claimed or written (the window's load would copy the year into work
// rows only to read them back).
void MakeJournalBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                     const QString& book) {
    db::Connection& connection = dantai.Connection();
    if (options.division) {
        const auto divisions =
            connection.Select(db::DivisionsOfYearSql(u"CD"_s),
                              {{u"KAISI_NENDO"_s, dantai.Nendo()}, {u"SYURYO_NENDO"_s, dantai.Nendo()}});
        if (std::none_of(divisions.rows.begin(), divisions.rows.end(),
                         [&](const auto& row) { return row[0].AsInteger() == *options.division; }))
            throw CliError(
                kExitNotFound,
                u"会計区分 %1 は %2年度にはありません。"_s.arg(*options.division).arg(dantai.Nendo()));
    }
    // The count of a division's lines and the lines themselves agree even while a
    // window program saves the year through a server.
    RolledBack snapshot(connection, true);
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
    report->SetSavedYear(true);
    report->SetOutputFile(book);
    report->Execute();
}

// The budget window's load and the statement of the chosen line.
void MakeBudgetBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                    const QString& book) {
    db::Connection& connection = dantai.Connection();
    RolledBack transaction(connection);
    OpenedRows texts(connection, u"NendoClientDS"_s, u"select * from NENDO where (NENDO = :Nendo)"_s,
                     {{u"Nendo"_s, dantai.Nendo()}});
    statements::FillYosanDefaultTexts(texts.Rows(), dantai.Nendo(), dantai.Name());
    db::WorkKeyClaim claim(connection, u"W_YOSAN"_s, dantai.Nendo(), platform::FullHostName(),
                           QDateTime::currentDateTime());
    statements::CopyYosanToWorkRows(connection, dantai.Nendo(), claim.Key());
    statements::CopyHoseiToWorkRows(connection, dantai.Nendo(), claim.Key());
    WriteStatement(*NewYosansyoModule(yosansyo::ModuleForLine(kind.line)), dantai, claim.Key(), texts.Rows(),
                   kind, options, book);
}

// The closing date of --closing (yyyymmdd), empty for the year-end.
QString ClosingOf(const OpenedDantai& dantai, const Options& options) {
    if (options.closing.isEmpty())
        return {};
    const QString simebi = SimebiOf(options.closing, dantai.Kisyubi());
    if (const auto error = SimebiError(simebi, dantai.Kimatsubi()))
        throw CliError(kExitNotFound, *error);
    return simebi;
}

// The statement-texts row of the settlement or interim settlement window, as it
// fills it on a load.
class SettlementTexts {
  public:
    SettlementTexts(OpenedDantai& dantai, const QString& simebi)
        : rows_(dantai.Connection(), u"NendoClientDS"_s,
                simebi.isEmpty()
                    ? u"select * from NENDO where (NENDO = :Nendo)"_s
                    : u"select * from CYUKAN_KESSAN_NENDO where (NENDO = :Nendo) and (SIMEBI = :Simebi)"_s,
                simebi.isEmpty()
                    ? db::Connection::Params{{u"Nendo"_s, dantai.Nendo()}}
                    : db::Connection::Params{{u"Nendo"_s, dantai.Nendo()}, {u"Simebi"_s, simebi}}) {
        if (!simebi.isEmpty())
            statements::StartCyukanTextsRow(rows_.Rows(), dantai.Connection(), dantai.Nendo(), simebi);
        statements::FillKessanDefaultTexts(rows_.Rows(), dantai.Nendo(), simebi, dantai.Name());
    }
    data::DataSet& Rows() { return rows_.Rows(); }

  private:
    OpenedRows rows_;
};

// 残高照合表 from the saved journal and the closing's places as its window loads them.
void MakeBalancesBook(OpenedDantai& dantai, const Options& options, const QString& book) {
    const QString simebi = ClosingOf(dantai, options);
    RolledBack transaction(dantai.Connection());
    SettlementTexts texts(dantai, simebi);
    TExlZandakaSyogoModule report;
    report.SetNendo(dantai.Nendo());
    report.SetNendoDS(&texts.Rows());
    report.SetCyukanSimebi(simebi);
    // The places the window would show on this load.
    report.SetPlaces(statements::PlacesForLoad(dantai.Connection(), {dantai.Nendo(), simebi}));
    report.SetOutputFile(book);
    report.Execute();
}

// The settlement (or interim settlement) window's load and the chosen statement.
void MakeSettlementBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                        const QString& book) {
    db::Connection& connection = dantai.Connection();
    const QString simebi = ClosingOf(dantai, options);
    RolledBack transaction(connection);
    OpenedRows kamoku(connection, u"KamokuClientDS"_s, statements::StatementKamokuSql());
    SettlementTexts texts(dantai, simebi);

    db::WorkKeyClaim claim(connection, u"W_KESSAN"_s, dantai.Nendo(), platform::FullHostName(),
                           QDateTime::currentDateTime());
    if (!statements::SettleToWorkRows(connection, dantai.Nendo(), simebi, claim.Key(), kamoku.Rows()))
        PrintError(statements::NoBudgetNote(dantai.Nendo()));  // a note: the statement is still made
    std::unique_ptr<TExlYosansyoModule> report = NewKessansyoModule(kind.line);
    report->SetCyukanSimebi(simebi);
    if (auto* balances = dynamic_cast<kessansyo::BalancesOption*>(report.get())) {
        balances->SetBalances(options.balances);
        balances->SetPlaces(statements::PlacesForLoad(connection, {dantai.Nendo(), simebi}));
    }
    WriteStatement(*report, dantai, claim.Key(), texts.Rows(), kind, options, book);
}

}  // namespace

void MakeReportBook(OpenedDantai& dantai, const Options& options, const ReportKind& kind,
                    const QString& book) {
    switch (kind.family) {
        case ReportFamily::Journal:
        case ReportFamily::Monthly:
            MakeJournalBook(dantai, options, kind, book);
            break;
        case ReportFamily::Budget:
            MakeBudgetBook(dantai, options, kind, book);
            break;
        case ReportFamily::Settlement:
            MakeSettlementBook(dantai, options, kind, book);
            break;
        case ReportFamily::Balances:
            MakeBalancesBook(dantai, options, book);
            break;
        case ReportFamily::Collection:
        case ReportFamily::Unpaid:
        case ReportFamily::Households:
        case ReportFamily::Receipts:
            MakeLedgerBook(dantai, options, kind, book);
            break;
    }
}

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

    RemoveStaleWorkFolders();
    const WorkFolder work;
    // Every temporary file of the run (the workbook's parts, LibreOffice's) goes
    // into its folder, and with it. Set before the engine starts its threads.
    qputenv("TMPDIR", QFile::encodeName(work.Path()));
    const QString book = work.File(u"book.xlsx"_s);
    {
        OpenedDantai dantai(options, prompt);
        MakeReportBook(dantai, options, *kind, book);
    }
    PlaceFile(pdf ? ConvertToPdf(soffice, book, work.Path()) : book, options.out);
}

}  // namespace cli
