#include "reports/ExlYosansyoUnit.h"

#include "core/ComputerName.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "data/ScopedOpen.h"
#include "db/DataModule.h"
#include "platform/Folders.h"
#include "reports/YosansyoRules.h"
#include "sheet/Application.h"
#include "sheet/Range.h"
#include "sheet/Styles.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "templates/KessansyoLayouts.h"

#include <algorithm>

#include <algorithm>

namespace {

namespace layout = templates::yosansyo;

const QString kKaikeiKubunSql = QStringLiteral(
    "select CD as KAIKEI_KUBUN, MEISYO , KAISI_NENDO from KAIKEI_KUBUN"
    " where ((case when (KAISI_NENDO is null) then 0 else KAISI_NENDO end)<= :KAISI_NENDO)"
    " and ((case when (SYURYO_NENDO is null) then 9999 else SYURYO_NENDO end) >= :SYURYO_NENDO)"
    " order by CD desc");

const QString kWorkKey = QStringLiteral(
    " where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and ");

// A view of the division's rows through `filter`, closed with the scope.
class FilteredView {
  public:
    FilteredView(data::DataSet& view, data::DataSet& source, const QString& filter) : view_(view) {
        view_.CloneCursor(source);
        view_.SetFilter(filter);
        view_.SetFiltered(true);
    }
    ~FilteredView() { view_.Close(); }
    FilteredView(const FilteredView&) = delete;
    FilteredView& operator=(const FilteredView&) = delete;

  private:
    data::DataSet& view_;
};

}  // namespace

TExlYosansyoModule::TExlYosansyoModule()
    : KamokuSQL(QStringLiteral("KamokuSQL")),
      KamokuClientDS(QStringLiteral("KamokuClientDS")),
      BunruiSQL(QStringLiteral("BunruiSQL")),
      BunruiClientDS(QStringLiteral("BunruiClientDS")),
      SyunyuClone(QStringLiteral("SyunyuClone")),
      SisyutsuClone(QStringLiteral("SisyutsuClone")),
      JikiKurikosiClone(QStringLiteral("JikiKurikosiClone")),
      KaikeiKubunSQL(QStringLiteral("KaikeiKubunSQL")),
      KaikeiKubunClientDS(QStringLiteral("KaikeiKubunClientDS")),
      SQLDataSet2(QStringLiteral("SQLDataSet2")),
      ClientDataSet2(QStringLiteral("ClientDataSet2")),
      SQLDataSet1A(QStringLiteral("SQLDataSet1A")),
      SQLDataSet2A(QStringLiteral("SQLDataSet2A")),
      FTemplatemei(QStringLiteral("予算書１")) {
    db::Connection* connection = &DataModule1().SQLConnection1;
    for (data::SqlCommand* command :
         {&KamokuSQL, &BunruiSQL, &KaikeiKubunSQL, &SQLDataSet2, &SQLDataSet1A, &SQLDataSet2A})
        command->SetConnection(connection);
    KamokuSQL.SetCommandText(QStringLiteral("select * from KAMOKU K order by CD"));
    BunruiSQL.SetCommandText(QStringLiteral("select * from BUNRUI order by CD"));
    KaikeiKubunSQL.SetCommandText(kKaikeiKubunSql);
    Bind(KamokuClientDS, KamokuSQL);
    Bind(BunruiClientDS, BunruiSQL);
    Bind(KaikeiKubunClientDS, KaikeiKubunSQL);
}

TExlYosansyoModule::~TExlYosansyoModule() = default;

data::DataSet& TExlYosansyoModule::NendoRow() const {
    return FNendoDS ? *FNendoDS : const_cast<data::DataSet&>(NendoClientDS);
}

QString TExlYosansyoModule::NendoText(const QString& field) const {
    const data::DataSet& row = NendoRow();
    const data::Field* f = row.Active() && !row.IsEmpty() ? row.FindField(field) : nullptr;
    return f ? f->AsString() : QString();
}

int TExlYosansyoModule::NendoInt(const QString& field) const {
    const data::DataSet& row = NendoRow();
    const data::Field* f = row.Active() && !row.IsEmpty() ? row.FindField(field) : nullptr;
    return f && !f->IsNull() ? int(f->AsInteger()) : 0;
}

void TExlYosansyoModule::Execute() {
    SetBookmei(platform::ProgramFolder() + QStringLiteral("/Template/") + FTemplatemei +
               QStringLiteral(".xltx"));
    SetSheetmei(QStringLiteral("Sheet1"));
    // Without the caller's row the saved one is read; it stays open for the run.
    std::optional<data::ScopedOpen> saved;
    if (!FNendoDS) {
        FillReportParams(NendoSQL);
        saved.emplace(NendoClientDS, NendoSQL);
    }
    if (NendoRow().IsEmpty())
        throw EAppError(QString::number(FNendo) + QStringLiteral("年度の基礎データが設定されていません。"));
    KaikeiKikan = yosansyo::KaikeiKikanText(NendoText(QStringLiteral("KISYUBI")).toInt(),
                                            NendoText(QStringLiteral("KIMATSUBI")).toInt(), FCyukanSimebi,
                                            NendoInt(QStringLiteral("NENGO_KUBUN")));
    TTsubakiExcelBaseModule::Execute();
}

void TExlYosansyoModule::StartExcel() {
    TTsubakiExcelBaseModule::StartExcel();
    // An interim statement's book is told from the year-end one and from the
    // other closing dates by its name.
    if (!FCyukanSimebi.isEmpty())
        Exl->SetReportNote(QStringLiteral("中間") + FCyukanSimebi);
}

void TExlYosansyoModule::SetupLayout() {
    ApplyLayout(layout::FindLayout(FTemplatemei.toStdString()), QStringLiteral("予算書"));
}

void TExlYosansyoModule::ApplyLayout(const layout::Layout* found, const QString& what) {
    Layout = found;
    // The amendment statements are written by the module of the lists' later lines.
    const bool served =
        Layout && (Layout->family == LayoutFamily() ||
                   (Layout->family == layout::Family::Hosei && LayoutFamily() == layout::Family::Bunrui));
    if (!served)
        throw EAppError(what + QStringLiteral("の様式「") + FTemplatemei +
                        QStringLiteral("」はありません。"));
    TaisyoField = QStringLiteral("YOSAN");
    ZennenField = QString::fromUtf8(Layout->zennenField.data(), qsizetype(Layout->zennenField.size()));
    HikakuField = QString::fromUtf8(Layout->hikakuField.data(), qsizetype(Layout->hikakuField.size()));
    KingakuField1 = QString::fromUtf8(Layout->kingakuField1.data(), qsizetype(Layout->kingakuField1.size()));
    KingakuField2 = QString::fromUtf8(Layout->kingakuField2.data(), qsizetype(Layout->kingakuField2.size()));
    HikakuRetsu = Layout->hikaku1
                      ? QString(QChar::fromLatin1(Layout->hikaku1)) + QChar::fromLatin1(Layout->hikaku2)
                      : QString();
    KaisiRetsu = layout::kKaisiRetsu;
    Syuryoretsu = Layout->syuryoretsu;
    RecGyo = layout::kRecGyo;
    MeisaiGyosu = layout::kMeisaiGyosu;
    SyunyuTitlegyo = layout::kSyunyuTitlegyo;
    SyunyuKaisigyo = layout::kSyunyuKaisigyo;
    SisyutsuKaisigyo = layout::kSisyutsuKaisigyo;
    JikiKurikosigyo = layout::kJikiKurikosigyo;
    SisyutsuSyuryogyo = layout::kSisyutsuSyuryogyo;
    CopySyuryogyo = layout::kCopySyuryogyo;
    TokubetsuKaikeiOffset = CopySyuryogyo - SyunyuTitlegyo + 1;
}

QString TExlYosansyoModule::MainSelect() const {
    return QStringLiteral(
               "select CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO, SYUSI_KUBUN, BUNRUI,"
               " BUNRUI_JUNJYO, KAMOKU_JUNJYO, YOSAN, ZENNEN_KESSAN as KESSAN, ZENNEN_YOSAN,"
               " YOSAN as TOUSYO_YOSAN, HOSEI, HOSEIGO from W_YOSAN") +
           kWorkKey;
}

QString TExlYosansyoModule::TotalsSelect() const {
    return QStringLiteral(
               "select BUNRUI, cast(count(*) as integer) as KENSU, cast(sum(YOSAN) as integer) as YOSAN,"
               " cast(sum(ZENNEN_KESSAN) as integer) as KESSAN, cast(sum(ZENNEN_YOSAN) as integer) as "
               "ZENNEN_YOSAN"
               " from W_YOSAN") +
           kWorkKey;
}

QString TExlYosansyoModule::FigureCondition() const {
    return yosansyo::FigureCondition(QStringLiteral(":TaisyoField"),
                                     HikakuField.isEmpty() ? QString() : QStringLiteral(":HikakuField"),
                                     FZeroPrint);
}

void TExlYosansyoModule::PrepareQueries() {
    const QString group = QStringLiteral(" group by BUNRUI order by BUNRUI");
    data::SqlCommand& main = FZeroPrint ? SQLDataSet1 : SQLDataSet1A;
    data::SqlCommand& totals = FZeroPrint ? SQLDataSet2 : SQLDataSet2A;
    main.SetCommandText(yosansyo::InStatementOrder(MainSelect() + FigureCondition()));
    totals.SetCommandText(TotalsSelect() + FigureCondition() + group);
    Bind(ClientDataSet1, main);
    Bind(ClientDataSet2, totals);
}

void TExlYosansyoModule::FillReportParams(data::SqlCommand& command) {
    command.SetCommandText(
        yosansyo::ReplaceFieldPlaceholders(command.CommandText(), TaisyoField, HikakuField));
    TTsubakiExcelBaseModule::FillReportParams(command);
}

QString TExlYosansyoModule::DiffFormula(int row) const {
    return yosansyo::DiffFormula(HikakuRetsu.at(0), HikakuRetsu.at(1), row);
}

QString TExlYosansyoModule::ZogenFormula(int row, bool payments) const {
    if (payments ? sisyutsuReversed_ : syunyuReversed_)
        return yosansyo::DiffFormula(HikakuRetsu.at(1), HikakuRetsu.at(0), row);
    return DiffFormula(row);
}

void TExlYosansyoModule::LoadNames() {
    kamokuNames_.clear();
    bunruiNames_.clear();
    {
        data::ScopedOpen kamoku(KamokuClientDS, KamokuSQL);
        const data::Field& cd = KamokuClientDS.FieldByName(QStringLiteral("CD"));
        const data::Field& name = KamokuClientDS.FieldByName(QStringLiteral("MEISYO"));
        for (KamokuClientDS.First(); !KamokuClientDS.Eof(); KamokuClientDS.Next())
            kamokuNames_.insert(int(cd.AsInteger()), name.AsString());
    }
    data::ScopedOpen bunrui(BunruiClientDS, BunruiSQL);
    const data::Field& cd = BunruiClientDS.FieldByName(QStringLiteral("CD"));
    const data::Field& name = BunruiClientDS.FieldByName(QStringLiteral("MEISYO"));
    for (BunruiClientDS.First(); !BunruiClientDS.Eof(); BunruiClientDS.Next())
        bunruiNames_.insert(int(cd.AsInteger()), name.AsString());
}

void TExlYosansyoModule::LoadTotals() {
    totals_.clear();
    const data::Field& bunrui = ClientDataSet2.FieldByName(QStringLiteral("BUNRUI"));
    const data::Field& kensu = ClientDataSet2.FieldByName(QStringLiteral("KENSU"));
    for (ClientDataSet2.First(); !ClientDataSet2.Eof(); ClientDataSet2.Next()) {
        BunruiTotals& t = totals_[int(bunrui.AsInteger())];
        t.kensu = int(kensu.AsInteger());
        for (const QString& field :
             {QStringLiteral("YOSAN"), QStringLiteral("KESSAN"), QStringLiteral("ZENNEN_YOSAN")}) {
            if (const data::Field* f = ClientDataSet2.FindField(field))
                t.sums.insert(field, f->IsNull() ? QVariant() : QVariant(f->AsInteger()));
        }
    }
}

QString TExlYosansyoModule::Kamokumei(const data::DataSet& view) const {
    return kamokuNames_.value(int(view.FieldByName(QStringLiteral("KAMOKU")).AsInteger()));
}

QString TExlYosansyoModule::Bunruimei(int bunrui) const {
    return bunruiNames_.value(bunrui);
}

int TExlYosansyoModule::Kensu(int bunrui) const {
    const auto it = totals_.constFind(bunrui);
    return it == totals_.constEnd() ? 0 : it->kensu;
}

QVariant TExlYosansyoModule::BunruiTotal(int bunrui, const QString& field) const {
    const auto it = totals_.constFind(bunrui);
    return it == totals_.constEnd() ? QVariant() : it->sums.value(field);
}

QVariant TExlYosansyoModule::Amount(const data::DataSet& view, const QString& field) {
    const data::Field& f = view.FieldByName(field);
    return f.IsNull() ? QVariant() : QVariant(f.AsInteger());
}

QVariant TExlYosansyoModule::Text(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(LiteralText(text));
}

void TExlYosansyoModule::HideRow(int row) {
    Sheet->Range(Sheet->Cells(row, 1).Address()).EntireRow().SetHidden(true);
}

void TExlYosansyoModule::WriteRow(int row, const QVariantList& cells) {
    Sheet->Range(Sheet->Cells(row, 1).Address(), Sheet->Cells(row, int(cells.size())).Address())
        .SetFormula(QVariantList{QVariant(cells)});
}

void TExlYosansyoModule::WriteBook() {
    SetupLayout();
    PrepareQueries();

    FillReportParams(NendoSQL);
    data::ScopedOpen nendo(NendoClientDS, NendoSQL);
    NengoKubun = NendoClientDS.IsEmpty()
                     ? 0
                     : int(NendoClientDS.FieldByName(QStringLiteral("NENGO_KUBUN")).AsInteger());
    syunyuReversed_ = NendoInt(QStringLiteral("SYUNYU_ZOGEN_KUBUN")) == 1;
    sisyutsuReversed_ = NendoInt(QStringLiteral("SISYUTSU_ZOGEN_KUBUN")) == 1;
    LoadNames();

    struct Division {
        int code;
        QString name;
    };
    std::vector<Division> divisions;
    KaikeiKubunSQL.SetParam(QStringLiteral("KAISI_NENDO"), FNendo);
    KaikeiKubunSQL.SetParam(QStringLiteral("SYURYO_NENDO"), FNendo);
    {
        data::ScopedOpen list(KaikeiKubunClientDS, KaikeiKubunSQL);
        const data::Field& code = KaikeiKubunClientDS.FieldByName(QStringLiteral("KAIKEI_KUBUN"));
        const data::Field& name = KaikeiKubunClientDS.FieldByName(QStringLiteral("MEISYO"));
        for (KaikeiKubunClientDS.First(); !KaikeiKubunClientDS.Eof(); KaikeiKubunClientDS.Next())
            divisions.push_back({int(code.AsInteger()), name.AsString()});
    }

    WriteHeader();
    KaikeiKubunKensu = int(divisions.size());
    // Every division's block first: the detail rows of a block are streamed
    // only once no rows are inserted above them any more. The divisions come
    // highest code first and each copy goes directly below the template block,
    // so the blocks end up in code order with the general division on top.
    for (const Division& division : divisions) {
        KaikeiKubun = division.code;
        KaikeiKubunmei = division.name;
        if (KaikeiKubun != 0)
            CopyDivisionBlock();
    }
    // Then the sections, from the lowest block upwards, so that the rows a
    // block's sections insert never move a block still to be laid out.
    queued_.clear();
    for (std::size_t k = 0; k < divisions.size(); ++k) {
        const Division& division = divisions[k];
        BlockIndex = int(divisions.size() - 1 - k);
        KaikeiKubun = division.code;
        KaikeiKubunmei = division.name;
        data::SqlCommand& totals = *ClientDataSet2.Command();
        FillReportParams(totals);
        data::ScopedOpen totalsOpen(ClientDataSet2, totals);
        LoadTotals();
        data::SqlCommand& main = *ClientDataSet1.Command();
        FillReportParams(main);
        data::ScopedOpen mainOpen(ClientDataSet1, main);
        FilteredView receipts(SyunyuClone, ClientDataSet1, QStringLiteral("(SYUSI_KUBUN = 1)"));
        FilteredView payments(SisyutsuClone, ClientDataSet1,
                              QStringLiteral("(SYUSI_KUBUN = 2) and (KAMOKU <> 8000)"));
        FilteredView carryOver(JikiKurikosiClone, ClientDataSet1, QStringLiteral("KAMOKU = 8000"));
        WriteSheet();
        if (FCharts)
            CollectChartFigures();
    }
    WriteQueuedSections();
    if (FCharts)
        AddChartSheet();
}

QString TExlYosansyoModule::ChartBudgetSelect() const {
    // The amended budget where the year has amendments.
    return QStringLiteral(
               "select BUNRUI, cast(sum(coalesce(HOSEIGO, YOSAN)) as bigint) as YOSAN from W_YOSAN") +
           kWorkKey + QStringLiteral("(KAMOKU <> 8000) group by BUNRUI");
}

void TExlYosansyoModule::CollectChartFigures() {
    std::map<int, qint64> budgets;
    for (const auto& row :
         DataModule1()
             .SQLConnection1
             .Select(ChartBudgetSelect(), {{QStringLiteral("CPU_NAME"), GetComputerNameStr()},
                                           {QStringLiteral("JIKOKU"), FJikoku},
                                           {QStringLiteral("KAIKEI_KUBUN"), KaikeiKubun}})
             .rows)
        budgets[int(row[0].AsInteger())] = row[1].IsNull() ? 0 : row[1].AsInteger();

    statementcharts::Division division;
    division.name = KaikeiKubunmei;
    // The classifications in the statement's order with the figures it prints.
    const auto side = [&](data::DataSet& view, std::vector<statementcharts::Classification>& list) {
        std::map<int, qint64> printedBudget;
        for (view.First(); !view.Eof(); view.Next()) {
            const int code = int(view.FieldByName(QStringLiteral("BUNRUI")).AsInteger());
            if (list.empty() || list.back().code != code) {
                statementcharts::Classification c;
                c.code = code;
                c.name = Bunruimei(code);
                c.budget.value = budgets[code];
                list.push_back(c);
            }
            printedBudget[code] += Amount(view, QStringLiteral("YOSAN")).toLongLong();
            list.back().actual.value += Amount(view, QStringLiteral("KESSAN")).toLongLong();
        }
        for (const statementcharts::Classification& c : list) {
            if (printedBudget[c.code] != c.budget.value)
                budgetNotPrinted_.insert({KaikeiKubun, c.code});
        }
    };
    side(SyunyuClone, division.receipts);
    side(SisyutsuClone, division.payments);
    AddChartExtras(division);
    chartDivisions_.emplace_back(KaikeiKubun, std::move(division));
}

void TExlYosansyoModule::AddChartSheet() {
    std::sort(chartDivisions_.begin(), chartDivisions_.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<statementcharts::Division> divisions;
    for (auto& [code, division] : chartDivisions_) {
        for (auto* list : {&division.receipts, &division.payments}) {
            for (statementcharts::Classification& c : *list) {
                if (!budgetNotPrinted_.count({code, c.code}))
                    c.budget.cells = chartCells_[{code, c.code, QStringLiteral("YOSAN")}];
                c.actual.cells = chartCells_[{code, c.code, QStringLiteral("KESSAN")}];
            }
        }
        divisions.push_back(std::move(division));
    }
    chartDivisions_.clear();
    chartCells_.clear();
    budgetNotPrinted_.clear();
    statementcharts::AddChartSheet(*Book, Sheet->Name(), ChartKind(), divisions);
}

void TExlYosansyoModule::CopyDivisionBlock() {
    const QString a3 = Sheet->Cells(SyunyuTitlegyo + TokubetsuKaikeiOffset, 1).Address();
    const QString a4 = Sheet->Cells(CopySyuryogyo + TokubetsuKaikeiOffset, 1).Address();
    Sheet->Select();
    Sheet->Range(a3, a4).EntireRow().Insert(sheet::xlShiftDown);
    Sheet->Range(Sheet->Cells(SyunyuTitlegyo, 1).Address(), Sheet->Cells(CopySyuryogyo, 1).Address())
        .EntireRow()
        .Copy();
    Sheet->Range(a3, a4).EntireRow().Select();
    Sheet->Paste();
    // Every division starts a page of its own; the breaks of the blocks copied
    // before this one move down with them.
    Sheet->AddPageBreakBefore(SyunyuTitlegyo + TokubetsuKaikeiOffset);
}

void TExlYosansyoModule::WriteHeader() {
    Sheet->Range(QStringLiteral("A1"))
        .SetValue(LiteralText(yosansyo::HeaderYearText(NendoText(QStringLiteral("KISYUBI")).toInt(), FNendo,
                                                       NendoInt(QStringLiteral("NENGO_KUBUN")))));
    Sheet->Range(QStringLiteral("B1")).SetValue(LiteralText(CurrentDantai));
    Sheet->Range(QStringLiteral("C1")).SetValue(LiteralText(KaikeiKikan));
    // The template's own title stays unless the organisation set one.
    const QString title = yosansyo::PrintedTitle(
        NendoText(TitleField()), Layout->family == layout::Family::Hosei && !Layout->settlement);
    if (!title.isEmpty())
        Sheet->Range(QString(QChar::fromLatin1(layout::TitleColumn(*Layout))) + u'1')
            .SetValue(LiteralText(title));
    WriteFooter();
}

void TExlYosansyoModule::WriteFooter() {
    if (NendoInt(QStringLiteral("YOSAN_COMMENT_KUBUN")) != 1)
        return;
    const auto put = [this](QChar column, int row, const QString& field) {
        Sheet->Range(QString(column) + QString::number(row)).SetValue(Text(NendoText(field)));
    };
    put(u'A', layout::kCommentRow, QStringLiteral("YOSAN_COMMENT"));
    put(u'B', layout::kSignatureRow, QStringLiteral("YOSAN_HIZUKE"));
    put(u'C', layout::kSignatureRow, QStringLiteral("YOSAN_SYOMEI"));
    put(QChar::fromLatin1(Layout->yakusyokuColumn), layout::kSignatureRow, QStringLiteral("YOSAN_YAKUSYOKU"));
    put(QChar::fromLatin1(Layout->daihyosyaColumn), layout::kSignatureRow, QStringLiteral("YOSAN_DAIHYOSYA"));
    put(u'A', layout::kBikouRow, QStringLiteral("YOSAN_BIKOU"));
}

void TExlYosansyoModule::WriteSheet() {
    const int off = BlockOffset();
    if (KaikeiKubunKensu > 1)
        Sheet->Cells(SyunyuTitlegyo + off, 1).SetValue(LiteralText(KaikeiKubunmei));
    WriteTotalZogen(off);
    const bool carried = Layout->family == layout::Family::Hosei ? WriteHoseiCarryOver(JikiKurikosigyo + off)
                                                                 : WriteCarryOver(JikiKurikosigyo + off);
    if (!carried) {
        HideRow(JikiKurikosigyo + off);
        HideRow(SisyutsuSyuryogyo + off);
    }
    // The lower section first, so that its inserted rows never move the other.
    WriteSection(SisyutsuClone, off);
    WriteSection(SyunyuClone, off);
    Sheet->Cells(SyunyuKaisigyo, 1).Select();
}

bool TExlYosansyoModule::WriteCarryOver(int row) {
    QVariant f1, f2;
    if (!JikiKurikosiClone.IsEmpty()) {
        JikiKurikosiClone.First();
        f1 = Amount(JikiKurikosiClone, KingakuField1);
        f2 = Amount(JikiKurikosiClone, KingakuField2);
    }
    if (f1.toLongLong() == 0 && f2.toLongLong() == 0)
        return false;
    const QString name =
        FCyukanSimebi.isEmpty() ? Kamokumei(JikiKurikosiClone) : QStringLiteral("次月繰越金");
    WriteRow(row, {Text(name), f1.isNull() ? QVariant(0) : f1, f2.isNull() ? QVariant(0) : f2,
                   ZogenFormula(row, true),
                   Text(JikiKurikosiClone.FieldByName(QStringLiteral("TEKIYO")).AsString())});
    return true;
}

sheet::RowWriter& TExlYosansyoModule::ExtendDetailRows(int n) {
    for (const int row : yosansyo::SurplusRows(KaisiGyo, MeisaiGyosu, n))
        HideRow(row);
    return TTsubakiExcelBaseModule::ExtendDetailRows(n);
}

TExlYosansyoModule::DetailCell TExlYosansyoModule::TextCell(const QString& text) {
    DetailCell cell;
    if (!text.isEmpty()) {
        cell.kind = DetailCell::Kind::Text;
        cell.text = text;
    }
    return cell;
}

TExlYosansyoModule::DetailCell TExlYosansyoModule::AmountCell(const QVariant& amount) {
    DetailCell cell;
    if (!amount.isNull()) {
        cell.kind = DetailCell::Kind::Integer;
        cell.value = amount.toLongLong();
    }
    return cell;
}

TExlYosansyoModule::DetailCell TExlYosansyoModule::Tallied(DetailCell cell, const data::DataSet& view,
                                                           const QString& field) {
    cell.bunrui = int(view.FieldByName(QStringLiteral("BUNRUI")).AsInteger());
    cell.field = field;
    return cell;
}

TExlYosansyoModule::DetailCell TExlYosansyoModule::DiffCell() {
    DetailCell cell;
    cell.kind = DetailCell::Kind::Diff;
    return cell;
}

TExlYosansyoModule::DetailCell TExlYosansyoModule::SubtotalCell(QChar column, int first, int last) {
    DetailCell cell;
    cell.kind = DetailCell::Kind::Subtotal;
    cell.column = column;
    cell.first = first;
    cell.last = last;
    return cell;
}

void TExlYosansyoModule::QueueSection(std::vector<DetailLine> lines) {
    const bool payments = KaisiGyo == SisyutsuKaisigyo + BlockOffset();
    sheet::RowWriter& rows = ExtendDetailRows(int(lines.size()));
    queued_.push_back({&rows, std::move(lines), KaikeiKubun, payments});
}

void TExlYosansyoModule::WriteQueuedSections() {
    for (auto& [rows, lines, division, payments] : queued_) {
        const int first = rows->Row();
        for (const DetailLine& line : lines) {
            const int row = rows->Row();
            for (std::size_t i = 0; i < line.size(); ++i) {
                const DetailCell& cell = line[i];
                const int col = KaisiRetsu + int(i);
                switch (cell.kind) {
                    case DetailCell::Kind::Empty:
                        break;
                    case DetailCell::Kind::Text:
                        rows->Text(col, cell.text);
                        break;
                    case DetailCell::Kind::Integer:
                        rows->Integer(col, cell.value);
                        break;
                    case DetailCell::Kind::Diff:
                        rows->Formula(col, ZogenFormula(row, payments));
                        break;
                    case DetailCell::Kind::Subtotal:
                        rows->Formula(col, QStringLiteral("=SUBTOTAL(9,%1%2:%1%3)")
                                               .arg(cell.column)
                                               .arg(first + cell.first)
                                               .arg(first + cell.last));
                        break;
                }
                if (cell.style >= 0)
                    rows->Style(col, cell.style);
                if (!cell.field.isEmpty())
                    chartCells_[{division, cell.bunrui, cell.field}].push_back({row, col});
            }
            rows->NextRow();
        }
        rows->Finish();
    }
    queued_.clear();
}

void TExlYosansyoModule::WriteSection(data::DataSet& view, int off) {
    if (Layout->family == layout::Family::Hosei) {
        WriteGroupedSection(
            view, off, Layout->subtotals, [this](const data::DataSet& v) { return HoseiItemAmounts(v); },
            [this](int first, int last) { return HoseiSubtotalAmounts(first, last); });
        return;
    }
    KaisiGyo = (&view == &SyunyuClone ? SyunyuKaisigyo : SisyutsuKaisigyo) + off;
    const data::Field& bunrui = view.FieldByName(QStringLiteral("BUNRUI"));
    const data::Field& tekiyo = view.FieldByName(QStringLiteral("TEKIYO"));
    std::vector<DetailLine> lines;
    int previous = 0;
    for (view.First(); !view.Eof(); view.Next()) {
        DetailLine line = EmptyLine();
        const int code = int(bunrui.AsInteger());
        // The classification's totals and difference stand on its first line.
        if (code != previous) {
            line[0] = TextCell(Bunruimei(code));
            line[1] = Tallied(AmountCell(BunruiTotal(code, KingakuField1)), view, KingakuField1);
            line[2] = Tallied(AmountCell(BunruiTotal(code, KingakuField2)), view, KingakuField2);
            line[3] = DiffCell();
            previous = code;
        }
        line[4] = TextCell(Kamokumei(view) + u' ' + tekiyo.AsString());
        line[7] = AmountCell(Amount(view, TaisyoField));
        lines.push_back(std::move(line));
    }
    QueueSection(std::move(lines));
}

void TExlYosansyoModule::WriteGroupedSection(data::DataSet& view, int off, bool subtotals,
                                             const ItemCells& itemAmounts,
                                             const SubtotalCells& subtotalAmounts) {
    KaisiGyo = (&view == &SyunyuClone ? SyunyuKaisigyo : SisyutsuKaisigyo) + off;

    // Which classification each item belongs to decides where the subtotal rows go.
    const data::Field& bunrui = view.FieldByName(QStringLiteral("BUNRUI"));
    std::vector<int> codes;
    for (view.First(); !view.Eof(); view.Next())
        codes.push_back(int(bunrui.AsInteger()));
    const auto plan = yosansyo::PlanSection(
        codes, [this](int code) { return Kensu(code); }, subtotals);

    // The formats of the lines that differ from the template's detail row.
    sheet::Styles& styles = Sheet->Parent().StyleSheet();
    const auto base = [this](int col) { return Sheet->CellStyle(KaisiGyo, col); };
    const QString font = QStringLiteral("ＭＳ Ｐゴシック");
    // The classification's name alone stands for its one item, across A and B.
    const int nameA = styles.WithShrinkToFit(styles.WithoutVerticalEdges(base(1), false, true), false);
    const int nameB = styles.WithShrinkToFit(styles.WithoutVerticalEdges(base(2), true, false), false);
    std::vector<int> subtotalStyles;
    for (int col = 2; col <= Syuryoretsu; ++col) {
        const int xf = styles.WithFontName(base(col), font);
        subtotalStyles.push_back(col == 2 ? styles.WithHorizontalAlignment(xf, "center") : xf);
    }

    std::vector<DetailLine> lines;
    view.First();
    for (const yosansyo::SectionLine& planned : plan) {
        DetailLine line = EmptyLine();
        if (planned.item < 0) {
            line[1] = TextCell(QStringLiteral("（小    計）"));
            const std::vector<DetailCell> amounts = subtotalAmounts(planned.first, planned.last);
            std::copy(amounts.begin(), amounts.end(), line.begin() + 2);
            for (std::size_t i = 1; i < line.size(); ++i)
                line[i].style = subtotalStyles[i - 1];
        } else {
            const int code = codes[std::size_t(planned.item)];
            const QString bunruimei = Bunruimei(code);
            const QString kamokumei = Kamokumei(view);
            if (planned.startsGroup)
                line[0] = TextCell(bunruimei);
            if (Kensu(code) == 1 && bunruimei == kamokumei) {
                line[0].style = nameA;
                line[1].style = nameB;
            } else {
                line[1] = TextCell(kamokumei);
            }
            const std::vector<DetailCell> amounts = itemAmounts(view);
            std::copy(amounts.begin(), amounts.end(), line.begin() + 2);
            view.Next();
        }
        lines.push_back(std::move(line));
    }
    QueueSection(std::move(lines));
}

std::vector<TExlYosansyoModule::DetailCell> TExlYosansyoModule::HoseiItemAmounts(
    const data::DataSet& view) const {
    std::vector<DetailCell> cells{
        AmountCell(Amount(view, QStringLiteral("TOUSYO_YOSAN"))),
        AmountCell(Amount(view, QStringLiteral("HOSEI"))),
        // The amended budget is the one the charts compare with.
        Tallied(AmountCell(Amount(view, QStringLiteral("HOSEIGO"))), view, QStringLiteral("YOSAN"))};
    if (Layout->settlement) {
        cells.push_back(
            Tallied(AmountCell(Amount(view, QStringLiteral("KESSAN"))), view, QStringLiteral("KESSAN")));
        cells.push_back(DiffCell());
    }
    cells.push_back(TextCell(view.FieldByName(QStringLiteral("TEKIYO")).AsString()));
    return cells;
}

std::vector<TExlYosansyoModule::DetailCell> TExlYosansyoModule::HoseiSubtotalAmounts(int first,
                                                                                     int last) const {
    std::vector<DetailCell> cells{SubtotalCell(u'C', first, last), SubtotalCell(u'D', first, last),
                                  SubtotalCell(u'E', first, last)};
    if (Layout->settlement) {
        cells.push_back(SubtotalCell(u'F', first, last));
        cells.push_back(DiffCell());
    }
    return cells;
}

bool TExlYosansyoModule::WriteHoseiCarryOver(int row) {
    if (JikiKurikosiClone.IsEmpty())
        return false;
    JikiKurikosiClone.First();
    QStringList fields{QStringLiteral("TOUSYO_YOSAN"), QStringLiteral("HOSEI"), QStringLiteral("HOSEIGO")};
    if (Layout->settlement)
        fields << QStringLiteral("KESSAN");
    QVariantList cells{
        Text(CyukanSimebi().isEmpty() ? Kamokumei(JikiKurikosiClone) : QStringLiteral("次月繰越金")),
        QVariant()};
    bool any = false;
    for (const QString& field : fields) {
        const QVariant amount = Amount(JikiKurikosiClone, field);
        any = any || amount.toLongLong() != 0;
        cells << (amount.isNull() ? QVariant(0) : amount);
    }
    if (!any)
        return false;
    if (Layout->settlement)
        cells << ZogenFormula(row, true);
    cells << Text(JikiKurikosiClone.FieldByName(QStringLiteral("TEKIYO")).AsString());
    WriteRow(row, cells);
    return true;
}

void TExlYosansyoModule::WriteTotalZogen(int off) {
    const char column = layout::DiffColumn(*Layout);
    if (!column)
        return;
    std::vector<std::pair<int, bool>> rows{{layout::kSyunyuTotalRow, false},
                                           {layout::kSisyutsuTotalRow, true},
                                           {layout::kSisyutsuSyuryogyo, true}};
    // A settlement's 収支差額 is a balance of the receipts' kind.
    if (Layout->settlement)
        rows.emplace_back(templates::kessansyo::kBalanceRow, false);
    for (const auto& [row, payments] : rows) {
        if (payments ? sisyutsuReversed_ : syunyuReversed_)
            Sheet->Range(QChar::fromLatin1(column) + QString::number(row + off))
                .SetFormula(QVariant(ZogenFormula(row + off, payments)));
    }
}
