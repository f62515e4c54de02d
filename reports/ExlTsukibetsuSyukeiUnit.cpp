#include "reports/ExlTsukibetsuSyukeiUnit.h"

#include "core/DateUtil.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/ScopedOpen.h"
#include "db/DataModule.h"
#include "db/YearQueries.h"
#include "platform/Folders.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

#include <QDate>

#include <algorithm>

namespace {

constexpr int kMonths = 12;
constexpr int kReceiptsRow = 7;
constexpr int kPaymentsRow = 14;
constexpr int kOutsideFirstRow = 19;
constexpr int kOutsideReceiptsRow = 23;
constexpr int kOutsidePaymentsRow = 25;
constexpr int kOutsideLastRow = 27;
constexpr int kLastColumn = 14;  // N

// The year's (or the load's) lines summed per division, item and day, receipts minus
// payments: one statement for the whole year; the month column of each day is
// worked out here (FiscalMonths), once per day instead of once per line.
QString SumsSql(const QString& from) {
    return QStringLiteral(
               "select KAIKEI_KUBUN, KAMOKU, HIZUKE, sum(coalesce(SYUNYU, 0) - coalesce(SISYUTSU, 0)) as "
               "KINGAKU") +
           from + QStringLiteral(" group by KAIKEI_KUBUN, KAMOKU, HIZUKE");
}

const QString kItemsSql = QStringLiteral(
    "select K.CD, K.MEISYO, K.JUNJYO, K.BUNRUI, B.MEISYO as BUNRUIMEI, B.JUNJYO as BUNRUI_JUNJYO,"
    " B.SYUSI_KUBUN, B.KESSANSYO_KUBUN from KAMOKU K inner join BUNRUI B on (B.CD = K.BUNRUI)");

const QString kKurikosiSql = QStringLiteral(
    "select KAIKEI_KUBUN, YOSAN as KURIKOSI from YOSAN where (NENDO = :Nendo) and (KAMOKU = 100)");

const QString kCarryOverSql = QStringLiteral(
    "select KAIKEI_KUBUN, KAMOKU, max(KURIKOSI) as KURIKOSI from KURIKOSI where (NENDO = :NENDO)"
    " group by KAIKEI_KUBUN, KAMOKU");

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

FiscalMonths::FiscalMonths(int kisyubi, int kimatsubi)
    : kisyubi_(kisyubi), kimatsubi_(kimatsubi), closingDay_(kisyubi % 100 == 1 ? 31 : kimatsubi % 100) {
    const Ymd first = SplitYmd(kisyubi);
    firstMonth_ = 12 * first.year + first.month - 1 + (first.day > closingDay_ ? 1 : 0);
}

int FiscalMonths::Column(int yyyymmdd) const {
    if (yyyymmdd < kisyubi_ || yyyymmdd > kimatsubi_)
        return 0;
    const Ymd d = SplitYmd(yyyymmdd);
    const int column = 12 * d.year + d.month - 1 + (d.day > closingDay_ ? 1 : 0) - firstMonth_ + 1;
    return column >= 1 && column <= kMonths ? column : 0;
}

QStringList FiscalMonths::Labels() const {
    QStringList labels;
    for (int i = 0; i < kMonths; ++i)
        labels << ToZenkaku(QString::number((firstMonth_ + i) % 12 + 1)) + QStringLiteral("月");
    return labels;
}

TExlTsukibetsuSyukeiModule::TExlTsukibetsuSyukeiModule()
    : KaikeiKubunSQL(QStringLiteral("KaikeiKubunSQL")),
      KamokuSQL(QStringLiteral("KamokuSQL")),
      KurikosiSQL(QStringLiteral("KurikosiSQL")),
      SQLDataSet2(QStringLiteral("SQLDataSet2")) {
    SetBookmei(platform::ProgramFolder() + QStringLiteral("/Template/月別集計表.xltx"));
    SetSheetmei(QString());
    db::Connection* connection = &DataModule1().SQLConnection1;
    for (data::SqlCommand* command : {&KaikeiKubunSQL, &KamokuSQL, &KurikosiSQL, &SQLDataSet2})
        command->SetConnection(connection);
    KaikeiKubunSQL.SetCommandText(db::DivisionsOfYearSql(QStringLiteral("KAIKEI_KUBUN")));
    KamokuSQL.SetCommandText(kItemsSql);
    KurikosiSQL.SetCommandText(kKurikosiSql);
    SQLDataSet2.SetCommandText(kCarryOverSql);
}

TExlTsukibetsuSyukeiModule::~TExlTsukibetsuSyukeiModule() = default;

MonthEndBalances ReadMonthEndBalances(db::Connection& connection, int nendo) {
    MonthEndBalances result;
    const auto nendoRows =
        connection
            .Select(QStringLiteral("select KISYUBI, KIMATSUBI from NENDO where (NENDO = :NENDO)"),
                    {{QStringLiteral("NENDO"), nendo}})
            .rows;
    if (nendoRows.empty())
        return result;
    result.months = FiscalMonths(nendoRows[0][0].AsString().toInt(), nendoRows[0][1].AsString().toInt());
    result.labels = result.months.Labels();

    // The items the summary's receipts and payments sections show.
    std::map<int, bool> statementItems;
    for (const auto& row : connection.Select(kItemsSql).rows) {
        const int syusi = int(row[6].AsInteger());
        statementItems[int(row[0].AsInteger())] = row[7].AsInteger() == 1 && (syusi == 1 || syusi == 2);
    }
    std::map<int, std::array<qint64, 12>> movements;
    connection.SelectEach(SumsSql(QStringLiteral(" from MEISAI where (NENDO = :NENDO)")),
                          {{QStringLiteral("NENDO"), nendo}}, [&](const std::vector<db::Value>& row) {
                              if (row[1].IsNull() || !statementItems[int(row[1].AsInteger())])
                                  return;
                              const QString date = row[2].AsString();
                              bool number = date.size() == 8;
                              const int day = number ? date.toInt(&number) : 0;
                              const int column = number ? result.months.Column(day) : 0;
                              if (column == 0)
                                  return;
                              movements[int(row[0].AsInteger())][std::size_t(column - 1)] +=
                                  row[3].IsNull() ? 0 : row[3].AsInteger();
                          });
    std::map<int, qint64> kurikosi;
    for (const auto& row : connection.Select(kKurikosiSql, {{QStringLiteral("Nendo"), nendo}}).rows)
        kurikosi[int(row[0].AsInteger())] = row[1].IsNull() ? 0 : row[1].AsInteger();
    for (const auto& row :
         connection
             .Select(db::DivisionsOfYearSql(QStringLiteral("KAIKEI_KUBUN")),
                     {{QStringLiteral("KAISI_NENDO"), nendo}, {QStringLiteral("SYURYO_NENDO"), nendo}})
             .rows) {
        const int division = int(row[0].AsInteger());
        qint64 balance = kurikosi[division];
        std::array<qint64, 12>& months = result.balances[division];
        const std::array<qint64, 12>& moved = movements[division];
        for (std::size_t m = 0; m < months.size(); ++m) {
            balance += moved[m];
            months[m] = balance;
        }
    }
    return result;
}

void TExlTsukibetsuSyukeiModule::WriteBook() {
    // One attachment for the whole run, not one per statement.
    const db::Connection::DatasetUse attachment = DataModule1().SQLConnection1.UseDataset();
    FillReportParams(NendoSQL);
    {
        data::ScopedOpen nendo(NendoClientDS, NendoSQL);
        if (NendoClientDS.IsEmpty())
            throw EAppError(QString::number(FNendo) +
                            QStringLiteral("年度の基礎データが設定されていません。"));
        Kisyubi = NendoClientDS.FieldByName(QStringLiteral("KISYUBI")).AsString();
        Kimatsubi = NendoClientDS.FieldByName(QStringLiteral("KIMATSUBI")).AsString();
        NengoKubun = int(NendoClientDS.FieldByName(QStringLiteral("NENGO_KUBUN")).AsInteger());
    }
    ReadYear();
    MakeDivisionSheets();
    BeginSteps(int(divisions_.size()));
    for (const Division& division : divisions_) {
        KaikeiKubun = division.code;
        KaikeiKubunmei = division.name;
        NextDivisionStep();
        Sheet = nullptr;
        Sheet = &Book->Sheets().Item(KaikeiKubunmei);
        Sheet->Activate();
        WriteSheet();
    }
}

// Everything the sheets show, read once for the whole year.
void TExlTsukibetsuSyukeiModule::ReadYear() {
    const FiscalMonths months(Kisyubi.toInt(), Kimatsubi.toInt());

    divisions_.clear();
    KaikeiKubunSQL.SetParam(QStringLiteral("KAISI_NENDO"), FNendo);
    KaikeiKubunSQL.SetParam(QStringLiteral("SYURYO_NENDO"), FNendo);
    for (const auto& row : KaikeiKubunSQL.Select().rows)
        divisions_.push_back({int(row[0].AsInteger()), row[1].AsString()});

    items_.clear();
    for (const auto& row : KamokuSQL.Select().rows) {
        items_.push_back({int(row[0].AsInteger()), row[1].AsString(), int(row[2].AsInteger()),
                          int(row[3].AsInteger()), row[4].AsString(), int(row[5].AsInteger()),
                          int(row[6].AsInteger()), int(row[7].AsInteger())});
    }
    // The order of the sections: receipts before payments, classification order, item order.
    std::sort(items_.begin(), items_.end(), [](const Item& a, const Item& b) {
        return std::tie(a.syusiKubun, a.bunruiJunjyo, a.bunrui, a.junjyo, a.code) <
               std::tie(b.syusiKubun, b.bunruiJunjyo, b.bunrui, b.junjyo, b.code);
    });

    sums_.clear();
    SQLDataSet1.SetCommandText(SumsSql(JournalLinesFrom()));
    SQLDataSet1.ClearParams();
    FillReportParams(SQLDataSet1);
    SQLDataSet1.SelectEach([&](const std::vector<db::Value>& row) {
        if (row[1].IsNull())
            return;
        // A date that is not eight digits yet (a line not checked by a save) belongs to no month.
        const QString date = row[2].AsString();
        bool number = date.size() == 8;
        const int day = number ? date.toInt(&number) : 0;
        const int column = number ? months.Column(day) : 0;
        auto& item = sums_[int(row[0].AsInteger())][int(row[1].AsInteger())];
        item[std::size_t(column)] += row[3].IsNull() ? 0 : row[3].AsInteger();
    });

    kurikosi_.clear();
    FillReportParams(KurikosiSQL);
    for (const auto& row : KurikosiSQL.Select().rows)
        kurikosi_[int(row[0].AsInteger())] = row[1].IsNull() ? 0 : row[1].AsInteger();

    carryOvers_.clear();
    FillReportParams(SQLDataSet2);
    for (const auto& row : SQLDataSet2.Select().rows) {
        if (!row[2].IsNull())
            carryOvers_[{int(row[0].AsInteger()), int(row[1].AsInteger())}] = row[2].AsInteger();
    }
}

TExlTsukibetsuSyukeiModule::Sections TExlTsukibetsuSyukeiModule::SectionsOf(int division) const {
    Sections sections;
    const auto found = sums_.find(division);
    static const std::map<int, std::array<qint64, 13>> none;
    const auto& sums = found != sums_.end() ? found->second : none;
    for (const Item& item : items_) {
        SectionRow row{&item, std::nullopt, {}};
        const auto used = sums.find(item.code);
        // Receipts and payments both come out positive in their normal direction.
        const int sign = item.syusiKubun == 1 ? 1 : -1;
        if (used != sums.end()) {
            for (int m = 1; m <= kMonths; ++m)
                row.months[std::size_t(m - 1)] = sign * used->second[std::size_t(m)];
        }
        if (item.kessansyoKubun == 1) {
            // Items with at least one line of the load, whatever its month.
            if (used == sums.end())
                continue;
            if (item.syusiKubun == 1)
                sections.receipts.push_back(row);
            else if (item.syusiKubun == 2)
                sections.payments.push_back(row);
            continue;
        }
        if (item.kessansyoKubun != 0)
            continue;
        if (const auto carry = carryOvers_.find({division, item.code}); carry != carryOvers_.end())
            row.carry = carry->second;
        const bool moved = std::any_of(row.months.begin(), row.months.end(), [](qint64 v) { return v != 0; });
        if (!moved && row.carry.value_or(0) == 0)
            continue;
        if (item.syusiKubun == 1)
            sections.outsideReceipts.push_back(row);
        else if (item.syusiKubun == 2)
            sections.outsidePayments.push_back(row);
    }
    return sections;
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
    for (const QString& label : FiscalMonths(Kisyubi.toInt(), Kimatsubi.toInt()).Labels())
        labels << label;
    Sheet->Range(QStringLiteral("C4"), QStringLiteral("N4")).SetFormula(QVariantList{QVariant(labels)});

    const auto kurikosi = kurikosi_.find(KaikeiKubun);
    Sheet->Range(QStringLiteral("C6")).SetValue(kurikosi != kurikosi_.end() ? kurikosi->second : 0);

    const Sections sections = SectionsOf(KaikeiKubun);
    // Every section's rows are made first, lowest section first, then written.
    sheet::RowWriter* outsidePayments = nullptr;
    sheet::RowWriter* outsideReceipts = nullptr;
    if (!sections.outsideReceipts.empty() || !sections.outsidePayments.empty()) {
        if (!sections.outsidePayments.empty())
            outsidePayments =
                ReserveOutsideSection(kOutsidePaymentsRow, int(sections.outsidePayments.size()));
        else
            HideRows(kOutsidePaymentsRow, kOutsidePaymentsRow + 1);
        if (!sections.outsideReceipts.empty())
            outsideReceipts =
                ReserveOutsideSection(kOutsideReceiptsRow, int(sections.outsideReceipts.size()));
        else
            HideRows(kOutsideReceiptsRow, kOutsideReceiptsRow + 1);
    } else {
        HideRows(kOutsideFirstRow, kOutsideLastRow);
    }
    KaisiRetsu = 1;
    Syuryoretsu = kLastColumn;
    RecGyo = 1;
    MeisaiGyosu = 3;
    // A section without items keeps its template rows as they are.
    sheet::RowWriter* payments = nullptr;
    sheet::RowWriter* receipts = nullptr;
    if (!sections.payments.empty()) {
        KaisiGyo = kPaymentsRow;
        payments = &ExtendDetailRows(int(sections.payments.size()));
    }
    if (!sections.receipts.empty()) {
        KaisiGyo = kReceiptsRow;
        receipts = &ExtendDetailRows(int(sections.receipts.size()));
    }
    if (receipts)
        WriteMainSection(*receipts, sections.receipts);
    if (payments)
        WriteMainSection(*payments, sections.payments);
    if (outsideReceipts)
        WriteOutsideSection(*outsideReceipts, sections.outsideReceipts);
    if (outsidePayments)
        WriteOutsideSection(*outsidePayments, sections.outsidePayments);
    Sheet->Range(QStringLiteral("C5")).Select();
}

void TExlTsukibetsuSyukeiModule::HideRows(int first, int last) {
    Sheet->Range(Sheet->Cells(first, 1).Address(), Sheet->Cells(last, 1).Address())
        .EntireRow()
        .SetHidden(true);
}

// An outside section has two template rows and grows by copies of its first;
// with one item its second row is hidden.
sheet::RowWriter* TExlTsukibetsuSyukeiModule::ReserveOutsideSection(int kaisiGyo, int n) {
    KaisiGyo = kaisiGyo;
    KaisiRetsu = 1;
    Syuryoretsu = kLastColumn;
    RecGyo = 1;
    MeisaiGyosu = 2;
    sheet::DetailLayout area = DetailArea();
    area.repeatFirst = kaisiGyo;
    sheet::RowWriter& rows = Sheet->InsertDetailRows(area, n);
    if (n == 1)
        HideRows(kaisiGyo + 1, kaisiGyo + 1);
    return &rows;
}

void TExlTsukibetsuSyukeiModule::WriteMainSection(sheet::RowWriter& rows,
                                                  const std::vector<SectionRow>& section) {
    int previous = 0;
    for (const SectionRow& row : section) {
        // The classification is named on its first item only.
        if (row.item->bunrui != previous)
            rows.Text(1, row.item->bunruiName);
        previous = row.item->bunrui;
        rows.Text(2, row.item->name);
        for (int m = 0; m < kMonths; ++m)
            rows.Integer(3 + m, row.months[std::size_t(m)]);
        rows.NextRow();
    }
    rows.Finish();
}

void TExlTsukibetsuSyukeiModule::WriteOutsideSection(sheet::RowWriter& rows,
                                                     const std::vector<SectionRow>& section) {
    for (const SectionRow& row : section) {
        rows.Text(1, row.item->name);
        if (row.carry)
            rows.Integer(2, *row.carry);
        for (int m = 0; m < kMonths; ++m)
            rows.Integer(3 + m, row.months[std::size_t(m)]);
        rows.NextRow();
    }
    rows.Finish();
}
