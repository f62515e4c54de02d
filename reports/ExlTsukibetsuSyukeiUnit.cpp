#include "reports/ExlTsukibetsuSyukeiUnit.h"

#include "core/DateUtil.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "data/ScopedOpen.h"
#include "db/DataModule.h"
#include "db/YearQueries.h"
#include "platform/Folders.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

#include <QDate>

namespace {

constexpr int kMonths = 12;
constexpr int kReceiptsRow = 7;
constexpr int kPaymentsRow = 14;
constexpr int kOutsideFirstRow = 19;
constexpr int kOutsideReceiptsRow = 23;
constexpr int kOutsidePaymentsRow = 25;
constexpr int kOutsideLastRow = 27;
constexpr int kLastColumn = 14;  // N

// A view of `source` showing the rows of one receipts/payments kind.
class KindView {
  public:
    KindView(data::DataSet& view, data::DataSet& source, int syusiKubun) : view_(view) {
        view_.CloneCursor(source);
        view_.SetFilter(QStringLiteral("(SYUSI_KUBUN = %1)").arg(syusiKubun));
        view_.SetFiltered(true);
    }
    ~KindView() { view_.Close(); }
    KindView(const KindView&) = delete;
    KindView& operator=(const KindView&) = delete;

  private:
    data::DataSet& view_;
};

const QString kKurikosiSql = QStringLiteral(
    "select KAMOKU, YOSAN as KURIKOSI from YOSAN"
    " where (NENDO = :Nendo) and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and (KAMOKU = 100)");

// The division's work lines with their fiscal month MM (1-12 inside the year)
// and their amount, receipts minus payments. A day after the closing day
// counts in the next month. A date that is not eight digits yet (a line not
// checked by a save) belongs to no month.
QString WorkLines(const QString& divisionParam) {
    return QStringLiteral(
               "(select KAIKEI_KUBUN, KAMOKU,"
               " case when (char_length(HIZUKE) = 8) then"
               " 12 * cast(substring(HIZUKE from 1 for 4) as integer)"
               " + cast(substring(HIZUKE from 5 for 2) as integer)"
               " + (case when (cast(substring(HIZUKE from 7 for 2) as integer) > cast(:Simebi as integer))"
               " then 1 else 0 end)"
               " - (12 * cast(:KaisiNen as integer) + cast(:Syuryozuki as integer))"
               " + (case when (cast(:Syuryozuki2 as integer) = 12) then 12 else 0 end)"
               " else 0 end as MM,"
               " coalesce(SYUNYU, 0) - coalesce(SISYUTSU, 0) as KINGAKU"
               " from W_MEISAI where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)"
               " and (KAIKEI_KUBUN = :%1))")
        .arg(divisionParam);
}

QString MonthSum(const QString& lines, int month) {
    return QStringLiteral("sum(case when (%1.MM = %2) then %1.KINGAKU else 0 end)").arg(lines).arg(month);
}

// KINGAKU1..KINGAKU12, each signed so that receipts and payments both come out positive.
QString MonthColumns(const QString& lines, const QString& kind) {
    QString columns;
    for (int month = 1; month <= kMonths; ++month) {
        columns += QStringLiteral(", (case when (%1 = 1) then 1 else -1 end) * %2 as KINGAKU%3")
                       .arg(kind, MonthSum(lines, month))
                       .arg(month);
    }
    return columns;
}

QString MainSql() {
    return QStringLiteral(
               "select M.KAIKEI_KUBUN, B.JUNJYO as BUNRUI_JUNJYO, K.BUNRUI, K.JUNJYO as KAMOKU_JUNJYO,"
               " M.KAMOKU, B.MEISYO as BUNRUIMEI, K.MEISYO as KAMOKUMEI, B.SYUSI_KUBUN") +
           MonthColumns(QStringLiteral("M"), QStringLiteral("B.SYUSI_KUBUN")) + QStringLiteral(" from ") +
           WorkLines(QStringLiteral("KAIKEI_KUBUN")) +
           QStringLiteral(
               " M inner join KAMOKU K on (K.CD = M.KAMOKU) inner join BUNRUI B on (B.CD = K.BUNRUI)"
               " where (B.KESSANSYO_KUBUN = 1)"
               " group by M.KAIKEI_KUBUN, B.JUNJYO, K.BUNRUI, K.JUNJYO, M.KAMOKU, B.MEISYO, K.MEISYO,"
               " B.SYUSI_KUBUN"
               " order by M.KAIKEI_KUBUN, B.SYUSI_KUBUN, B.JUNJYO, K.BUNRUI, K.JUNJYO, M.KAMOKU");
}

QString OutsideSql() {
    QString keep = QStringLiteral("(coalesce(max(KU.KURIKOSI), 0) <> 0)");
    for (int month = 1; month <= kMonths; ++month)
        keep += QStringLiteral(" or (%1 <> 0)").arg(MonthSum(QStringLiteral("ME"), month));
    return QStringLiteral(
               "select BU.CD as BUNRUI, BU.SYUSI_KUBUN, BU.JUNJYO as BUNRUI_JUNJYO, KA.CD as KAMOKU,"
               " KA.MEISYO as KAMOKUMEI, KA.KAISI_NENDO, KA.SYURYO_NENDO, KA.JUNJYO as KAMOKU_JUNJYO,"
               " max(KU.KURIKOSI) as KINGAKU0") +
           MonthColumns(QStringLiteral("ME"), QStringLiteral("BU.SYUSI_KUBUN")) +
           QStringLiteral(
               " from BUNRUI BU inner join KAMOKU KA on (KA.BUNRUI = BU.CD)"
               " left join KURIKOSI KU on (KU.NENDO = :NENDO) and (KU.KAIKEI_KUBUN = :KAIKEI_KUBUN1)"
               " and (KU.KAMOKU = KA.CD)"
               " left join ") +
           WorkLines(QStringLiteral("KAIKEI_KUBUN2")) +
           QStringLiteral(
               " ME on (ME.KAMOKU = KA.CD)"
               " where (BU.KESSANSYO_KUBUN = 0)"
               " group by BU.CD, BU.SYUSI_KUBUN, BU.JUNJYO, KA.CD, KA.MEISYO, KA.KAISI_NENDO,"
               " KA.SYURYO_NENDO, KA.JUNJYO"
               " having ") +
           keep + QStringLiteral(" order by BU.SYUSI_KUBUN, BU.JUNJYO, BU.CD, KA.JUNJYO, KA.CD");
}

QVariant Amount(const db::Value& value) {
    return value.IsNull() ? QVariant() : QVariant(value.AsInteger());
}

// The era name and era year of `yyyymmdd` ("令和3"), or its Gregorian year.
QString YearText(int yyyymmdd, int nendo, bool era) {
    if (!era)
        return QString::number(nendo);
    const Wareki w = ToWareki(yyyymmdd);
    return NengoTable[std::size_t(w.eraIndex)].name.toString() + QString::number(w.value / 10000);
}

QString TodayText(bool era) {
    const QDate today = QDate::currentDate();
    if (!era)
        return today.toString(QStringLiteral("yyyy/MM/dd"));
    const int value = today.year() * 10000 + today.month() * 100 + today.day();
    const Wareki w = ToWareki(value);
    return NengoTable[std::size_t(w.eraIndex)].name.toString() + QString::number(w.value / 10000) +
           QStringLiteral("年") + QString::number(today.month()) + QStringLiteral("月") +
           QString::number(today.day()) + QStringLiteral("日");
}

}  // namespace

QStringList MonthLabels(int kisyubi) {
    QStringList labels;
    int d = kisyubi;
    for (int i = 1; i <= kMonths; ++i) {
        d = NextMonthSameDay(d);
        labels << ToZenkaku(QString::number(SplitYmd(PrevDay(d)).month)) + QStringLiteral("月");
    }
    return labels;
}

TExlTsukibetsuSyukeiModule::TExlTsukibetsuSyukeiModule()
    : KaikeiKubunSQL(QStringLiteral("KaikeiKubunSQL")),
      KaikeiKubunClientDS(QStringLiteral("KaikeiKubunClientDS")),
      KurikosiSQL(QStringLiteral("KurikosiSQL")),
      KurikosiClientDS(QStringLiteral("KurikosiClientDS")),
      SyunyuClone(QStringLiteral("SyunyuClone")),
      SisyutsuClone(QStringLiteral("SisyutsuClone")),
      SonotaSyunyuClone(QStringLiteral("SonotaSyunyuClone")),
      SonotaSisyutsuClone(QStringLiteral("SonotaSisyutsuClone")),
      SQLDataSet2(QStringLiteral("SQLDataSet2")),
      ClientDataSet2(QStringLiteral("ClientDataSet2")) {
    SetBookmei(platform::ProgramFolder() + QStringLiteral("/Template/月別集計表.xltx"));
    SetSheetmei(QString());
    db::Connection* connection = &DataModule1().SQLConnection1;
    for (data::SqlCommand* command : {&KaikeiKubunSQL, &KurikosiSQL, &SQLDataSet2})
        command->SetConnection(connection);
    KaikeiKubunSQL.SetCommandText(db::DivisionsOfYearSql(QStringLiteral("KAIKEI_KUBUN")));
    KurikosiSQL.SetCommandText(kKurikosiSql);
    SQLDataSet1.SetCommandText(MainSql());
    SQLDataSet2.SetCommandText(OutsideSql());
    Bind(KaikeiKubunClientDS, KaikeiKubunSQL);
    Bind(KurikosiClientDS, KurikosiSQL);
    Bind(ClientDataSet2, SQLDataSet2);
}

TExlTsukibetsuSyukeiModule::~TExlTsukibetsuSyukeiModule() = default;

void TExlTsukibetsuSyukeiModule::SetMonthParams(data::SqlCommand& command) const {
    command.SetParam(QStringLiteral("Simebi"), simebi_);
    command.SetParam(QStringLiteral("KaisiNen"), kaisiNen_);
    command.SetParam(QStringLiteral("Syuryozuki"), syuryozuki_);
    command.SetParam(QStringLiteral("Syuryozuki2"), syuryozuki_);
}

void TExlTsukibetsuSyukeiModule::WriteBook() {
    FillReportParams(NendoSQL);
    data::ScopedOpen nendo(NendoClientDS, NendoSQL);
    if (NendoClientDS.IsEmpty())
        throw EAppError(QString::number(FNendo) + QStringLiteral("年度の基礎データが設定されていません。"));
    Kisyubi = NendoClientDS.FieldByName(QStringLiteral("KISYUBI")).AsString();
    Kimatsubi = NendoClientDS.FieldByName(QStringLiteral("KIMATSUBI")).AsString();
    NengoKubun = int(NendoClientDS.FieldByName(QStringLiteral("NENGO_KUBUN")).AsInteger());
    simebi_ = Kisyubi.mid(6, 2) == QStringLiteral("01") ? 31 : Kimatsubi.mid(6, 2).toInt();
    kaisiNen_ = Kisyubi.left(4).toInt();
    syuryozuki_ = Kimatsubi.mid(4, 2).toInt();

    divisions_.clear();
    KaikeiKubunSQL.SetParam(QStringLiteral("KAISI_NENDO"), FNendo);
    KaikeiKubunSQL.SetParam(QStringLiteral("SYURYO_NENDO"), FNendo);
    data::ScopedOpen divisionList(KaikeiKubunClientDS, KaikeiKubunSQL);
    const data::Field& code = KaikeiKubunClientDS.FieldByName(QStringLiteral("KAIKEI_KUBUN"));
    const data::Field& name = KaikeiKubunClientDS.FieldByName(QStringLiteral("MEISYO"));
    for (KaikeiKubunClientDS.First(); !KaikeiKubunClientDS.Eof(); KaikeiKubunClientDS.Next())
        divisions_.push_back({int(code.AsInteger()), name.AsString()});

    MakeDivisionSheets();

    for (const Division& division : divisions_) {
        KaikeiKubun = division.code;
        KaikeiKubunmei = division.name;
        FillReportParams(KurikosiSQL);
        data::ScopedOpen kurikosi(KurikosiClientDS, KurikosiSQL);

        SetMonthParams(SQLDataSet1);
        FillReportParams(SQLDataSet1);
        data::ScopedOpen main(ClientDataSet1, SQLDataSet1);
        KindView receipts(SyunyuClone, ClientDataSet1, 1);
        KindView payments(SisyutsuClone, ClientDataSet1, 2);

        SetMonthParams(SQLDataSet2);
        SQLDataSet2.SetParam(QStringLiteral("KAIKEI_KUBUN1"), KaikeiKubun);
        SQLDataSet2.SetParam(QStringLiteral("KAIKEI_KUBUN2"), KaikeiKubun);
        FillReportParams(SQLDataSet2);
        data::ScopedOpen outside(ClientDataSet2, SQLDataSet2);
        KindView outsideReceipts(SonotaSyunyuClone, ClientDataSet2, 1);
        KindView outsidePayments(SonotaSisyutsuClone, ClientDataSet2, 2);

        Sheet = nullptr;
        Sheet = &Book->Sheets().Item(KaikeiKubunmei);
        Sheet->Activate();
        WriteSheet();
    }
}

void TExlTsukibetsuSyukeiModule::MakeDivisionSheets() {
    for (std::size_t k = 0; k < divisions_.size(); ++k) {
        if (k == 0)
            SetDisplaySheet(divisions_[k].name);
        sheet::SheetCollection sheets = Book->Sheets();
        if (k > 0)
            sheets.Item(1).Copy(sheets.Item(int(k)));
        sheets.Item(int(k) + 1).SetName(divisions_[k].name);
    }
}

void TExlTsukibetsuSyukeiModule::WriteSheet() {
    const bool era = NengoKubun != 0;
    QString title = ToZenkaku(YearText(Kisyubi.toInt(), FNendo, era)) + QStringLiteral("年度 ") +
                    CurrentDantai + QStringLiteral(" 月別集計表");
    if (divisions_.size() > 1)
        title += QStringLiteral("    (") + KaikeiKubunmei + u')';
    Sheet->Range(QStringLiteral("A1")).SetValue(LiteralText(title));
    Sheet->Range(QStringLiteral("A3")).SetValue(LiteralText(CurrentDantai));
    Sheet->Range(QStringLiteral("O3")).SetValue(QStringLiteral("作成日：") + TodayText(era));

    QVariantList labels;
    for (const QString& label : MonthLabels(Kisyubi.toInt()))
        labels << label;
    Sheet->Range(QStringLiteral("C4"), QStringLiteral("N4")).SetFormula(QVariantList{QVariant(labels)});

    const qint64 kurikosi =
        KurikosiClientDS.IsEmpty() ? 0 : KurikosiClientDS.FieldByName(QStringLiteral("KURIKOSI")).AsInteger();
    Sheet->Range(QStringLiteral("C6")).SetValue(kurikosi);

    // Lowest section first, so that rows inserted for one never move one still to be written.
    if (!ClientDataSet2.IsEmpty()) {
        if (!SonotaSisyutsuClone.IsEmpty())
            WriteOutsideSection(SonotaSisyutsuClone, kOutsidePaymentsRow);
        else
            HideRows(kOutsidePaymentsRow, kOutsidePaymentsRow + 1);
        if (!SonotaSyunyuClone.IsEmpty())
            WriteOutsideSection(SonotaSyunyuClone, kOutsideReceiptsRow);
        else
            HideRows(kOutsideReceiptsRow, kOutsideReceiptsRow + 1);
    } else {
        HideRows(kOutsideFirstRow, kOutsideLastRow);
    }
    WriteMainSection(SisyutsuClone, kPaymentsRow);
    WriteMainSection(SyunyuClone, kReceiptsRow);
    Sheet->Range(QStringLiteral("C5")).Select();
}

void TExlTsukibetsuSyukeiModule::HideRows(int first, int last) {
    Sheet->Range(Sheet->Cells(first, 1).Address(), Sheet->Cells(last, 1).Address())
        .EntireRow()
        .SetHidden(true);
}

void TExlTsukibetsuSyukeiModule::WriteMainSection(data::DataSet& view, int kaisiGyo) {
    KaisiGyo = kaisiGyo;
    KaisiRetsu = 1;
    Syuryoretsu = kLastColumn;
    RecGyo = 1;
    MeisaiGyosu = 3;
    const int n = view.RecordCount();
    if (n == 0)
        return;
    ExtendDetailRows(n);

    const data::Field& bunrui = view.FieldByName(QStringLiteral("BUNRUI"));
    const data::Field& bunruimei = view.FieldByName(QStringLiteral("BUNRUIMEI"));
    const data::Field& kamokumei = view.FieldByName(QStringLiteral("KAMOKUMEI"));
    std::vector<const data::Field*> months;
    for (int month = 1; month <= kMonths; ++month)
        months.push_back(&view.FieldByName(QStringLiteral("KINGAKU%1").arg(month)));

    QVariantList rows;
    qint64 previous = 0;
    for (view.First(); !view.Eof(); view.Next()) {
        QVariantList row;
        // The classification is named on its first item only.
        const qint64 code = bunrui.AsInteger();
        row << (code != previous ? QVariant(LiteralText(bunruimei.AsString())) : QVariant());
        previous = code;
        row << LiteralText(kamokumei.AsString());
        for (const data::Field* month : months)
            row << Amount(month->Value());
        rows << QVariant(row);
    }
    WriteDetailRows(rows);
}

void TExlTsukibetsuSyukeiModule::WriteOutsideSection(data::DataSet& view, int kaisiGyo) {
    KaisiRetsu = 1;
    Syuryoretsu = kLastColumn;
    RecGyo = 1;
    const int n = view.RecordCount();
    // The section has two template rows; it grows by copies of its first row.
    KaisiGyo = kaisiGyo - 1;
    MeisaiGyosu = 3;
    ExtendDetailRows(n + 1);
    KaisiGyo = kaisiGyo;
    MeisaiGyosu = 2;
    if (n == 1)
        HideRows(kaisiGyo + 1, kaisiGyo + 1);

    const data::Field& kamokumei = view.FieldByName(QStringLiteral("KAMOKUMEI"));
    std::vector<const data::Field*> amounts;
    for (int month = 0; month <= kMonths; ++month)
        amounts.push_back(&view.FieldByName(QStringLiteral("KINGAKU%1").arg(month)));

    QVariantList rows;
    for (view.First(); !view.Eof(); view.Next()) {
        QVariantList row;
        row << LiteralText(kamokumei.AsString());
        for (const data::Field* amount : amounts)
            row << Amount(amount->Value());
        rows << QVariant(row);
    }
    WriteDetailRows(rows);
}
