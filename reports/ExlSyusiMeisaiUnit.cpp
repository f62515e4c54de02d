#include "reports/ExlSyusiMeisaiUnit.h"

#include "core/DateUtil.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "data/ScopedOpen.h"
#include "db/DataModule.h"
#include "db/YearQueries.h"
#include "platform/Folders.h"
#include "sheet/Range.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

#include <QCoreApplication>

namespace {

QString TrimRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace())
        --end;
    return text.left(end);
}

const QString kItemsSql = QStringLiteral(
    "select K.CD, B.KESSANSYO_KUBUN, B.SYUSI_KUBUN, K.MEISYO, K.BUNRUI, K.TOKUBETSU_CD"
    " from KAMOKU K inner join BUNRUI B on (B.CD = K.BUNRUI)"
    " left join SYUSI_KUBUN S on (S.CD = B.SYUSI_KUBUN) order by K.CD");

// The division's receipts and payments before the period; `from` as JournalLinesFrom.
QString BeforeStartSql(const QString& from) {
    return QStringLiteral("select sum(SYUNYU) as SYUNYU, sum(SISYUTSU) as SISYUTSU") + from +
           QStringLiteral(" and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and (HIZUKE < :Kaisibi)");
}

// The division's lines of the listing: the year's or the load's lines in the
// period, of one item when an item is given.
QString LinesWhere(const QString& from, bool oneItem) {
    return from +
           QStringLiteral(
               " and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and (HIZUKE >= :Kaisibi) and (HIZUKE <= :Syuryobi)") +
           (oneItem ? QStringLiteral(" and (KAMOKU = :KAMOKU)") : QString());
}

QString LinesSql(const QString& from, bool oneItem) {
    return QStringLiteral("select HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU") +
           LinesWhere(from, oneItem) + QStringLiteral(" order by HIZUKE, SEQ_NO");
}

QString CountSql(const QString& from, bool oneItem) {
    return QStringLiteral("select count(*) as N") + LinesWhere(from, oneItem);
}

// Columns of the detail rows.
enum Column { kDate = 1, kAite, kTekiyo, kKamoku, kSyunyu, kSisyutsu };

}  // namespace

TExlSyusiMeisaiModule::TExlSyusiMeisaiModule()
    : KaikeiKubunSQL(QStringLiteral("KaikeiKubunSQL")),
      KaikeiKubunClientDS(QStringLiteral("KaikeiKubunClientDS")),
      KamokuSQL(QStringLiteral("KamokuSQL")),
      KamokuClientDS(QStringLiteral("KamokuClientDS")),
      KurikosiSQL(QStringLiteral("KurikosiSQL")),
      KurikosiClientDS(QStringLiteral("KurikosiClientDS")),
      ZenzanSQL(QStringLiteral("ZenzanSQL")),
      ZenzanClientDS(QStringLiteral("ZenzanClientDS")) {
    SetBookmei(platform::ProgramFolder() + QStringLiteral("/Template/収支明細書.xltx"));
    SetSheetmei(QString());
    db::Connection* connection = &DataModule1().SQLConnection1;
    for (data::SqlCommand* command : {&KaikeiKubunSQL, &KamokuSQL, &KurikosiSQL, &ZenzanSQL})
        command->SetConnection(connection);
    KaikeiKubunSQL.SetCommandText(db::DivisionsOfYearSql(QStringLiteral("KAIKEI_KUBUN")));
    KamokuSQL.SetCommandText(kItemsSql);
    KurikosiSQL.SetCommandText(db::OpeningBalanceSql());
    Bind(KaikeiKubunClientDS, KaikeiKubunSQL);
    Bind(KamokuClientDS, KamokuSQL);
    Bind(KurikosiClientDS, KurikosiSQL);
    Bind(ZenzanClientDS, ZenzanSQL);
}

TExlSyusiMeisaiModule::~TExlSyusiMeisaiModule() = default;

QString TExlSyusiMeisaiModule::Kaisibi() const {
    return FKaisibi.isEmpty() ? Kisyubi : FKaisibi;
}

void TExlSyusiMeisaiModule::SetKaisibi(const QString& value) {
    FKaisibi = TrimRight(value);
}

QString TExlSyusiMeisaiModule::Syuryobi() const {
    return FSyuryobi.isEmpty() ? Kimatsubi : FSyuryobi;
}

void TExlSyusiMeisaiModule::SetSyuryobi(const QString& value) {
    FSyuryobi = TrimRight(value);
}

void TExlSyusiMeisaiModule::WriteBook() {
    // One attachment for the whole run, not one per statement.
    const db::Connection::DatasetUse attachment = DataModule1().SQLConnection1.UseDataset();
    ZenzanSQL.SetCommandText(BeforeStartSql(JournalLinesFrom()));
    FillReportParams(NendoSQL);
    {
        data::ScopedOpen nendo(NendoClientDS, NendoSQL);
        if (NendoClientDS.IsEmpty()) {
            throw EAppError(QString::number(FNendo) +
                            QStringLiteral("年度の基礎データが設定されていません。"));
        }
        Kisyubi = NendoClientDS.FieldByName(QStringLiteral("KISYUBI")).AsString();
        Kimatsubi = NendoClientDS.FieldByName(QStringLiteral("KIMATSUBI")).AsString();
        NengoKubun = int(NendoClientDS.FieldByName(QStringLiteral("NENGO_KUBUN")).AsInteger());
    }

    divisions_.clear();
    KaikeiKubunSQL.SetParam(QStringLiteral("KAISI_NENDO"), FNendo);
    KaikeiKubunSQL.SetParam(QStringLiteral("SYURYO_NENDO"), FNendo);
    {
        data::ScopedOpen divisions(KaikeiKubunClientDS, KaikeiKubunSQL);
        const data::Field& code = KaikeiKubunClientDS.FieldByName(QStringLiteral("KAIKEI_KUBUN"));
        const data::Field& name = KaikeiKubunClientDS.FieldByName(QStringLiteral("MEISYO"));
        for (KaikeiKubunClientDS.First(); !KaikeiKubunClientDS.Eof(); KaikeiKubunClientDS.Next())
            divisions_.push_back({int(code.AsInteger()), name.AsString()});
    }
    yearDivisionCount_ = int(divisions_.size());
    // The window names a division only with an item; the command line may name one alone.
    if (FTaisyoKubun != -1) {
        std::erase_if(divisions_, [this](const Division& d) { return d.code != FTaisyoKubun; });
    }
    LoadItems();

    MakeDivisionSheets();

    BeginSteps(int(divisions_.size()));
    for (const Division& division : divisions_) {
        KaikeiKubun = division.code;
        KaikeiKubunmei = division.name;
        NextDivisionStep();
        SQLDataSet1.SetCommandText(LinesSql(JournalLinesFrom(), FSiteiKamoku != 0));
        SQLDataSet1.ClearParams();
        FillReportParams(SQLDataSet1);
        SQLDataSet1.SetParam(QStringLiteral("Kaisibi"), Kaisibi());
        SQLDataSet1.SetParam(QStringLiteral("Syuryobi"), Syuryobi());
        if (FSiteiKamoku != 0)
            SQLDataSet1.SetParam(QStringLiteral("KAMOKU"), FSiteiKamoku);
        // The rows are made before they are written: their number first.
        lineCount_ = int(
            DataModule1()
                .SQLConnection1.Select(CountSql(JournalLinesFrom(), FSiteiKamoku != 0), SQLDataSet1.Params())
                .rows.at(0)
                .at(0)
                .AsInteger());

        Sheet = nullptr;
        Sheet = &Book->Sheets().Item(KaikeiKubunmei);
        Sheet->Activate();
        WriteSheet();
    }
}

void TExlSyusiMeisaiModule::LoadItems() {
    items_.clear();
    data::ScopedOpen items(KamokuClientDS, KamokuSQL);
    const data::Field& code = KamokuClientDS.FieldByName(QStringLiteral("CD"));
    const data::Field& name = KamokuClientDS.FieldByName(QStringLiteral("MEISYO"));
    const data::Field& kind = KamokuClientDS.FieldByName(QStringLiteral("SYUSI_KUBUN"));
    for (KamokuClientDS.First(); !KamokuClientDS.Eof(); KamokuClientDS.Next())
        items_.insert(int(code.AsInteger()), Item{name.AsString(), int(kind.AsInteger())});
}

void TExlSyusiMeisaiModule::MakeDivisionSheets() {
    for (std::size_t k = 0; k < divisions_.size(); ++k) {
        if (k == 0)
            SetDisplaySheet(divisions_[k].name);
        sheet::SheetCollection sheets = Book->Sheets();
        if (k > 0)
            sheets.Item(1).Copy(sheets.Item(int(k)));
        sheets.Item(int(k) + 1).SetName(divisions_[k].name);
    }
}

QString TExlSyusiMeisaiModule::TitleYear() const {
    if (NengoKubun == 1) {
        const Wareki era = ToWareki(Kisyubi.toInt());
        return NengoTable[std::size_t(era.eraIndex)].name.toString() + QString::number(era.value / 10000);
    }
    return QString::number(FNendo);
}

QString TExlSyusiMeisaiModule::DateText(const QString& yyyymmdd) const {
    try {
        return FormatDateText(yyyymmdd, NengoKubun);
    } catch (const EAppError&) {
        // A line posted with a date that is not a number yet: shown as typed.
        return LiteralText(yyyymmdd);
    }
}

void TExlSyusiMeisaiModule::WriteSheet() {
    KaisiGyo = 6;
    KaisiRetsu = 1;
    Syuryoretsu = 6;
    RecGyo = 1;
    MeisaiGyosu = 3;
    sheet::RowWriter& rows = ExtendDetailRows(lineCount_);
    WriteHeader();
    if (FSiteiKamoku == 0)
        WriteOpeningRow();
    WriteLines(rows);
    Sheet->Range(QStringLiteral("A5")).Select();
}

void TExlSyusiMeisaiModule::WriteHeader() {
    QString title = TitleYear() + QStringLiteral("年度 ") + CurrentDantai + QStringLiteral(" 収支明細書");
    if (yearDivisionCount_ > 1)
        title += QStringLiteral("    (") + KaikeiKubunmei + u')';
    Sheet->Range(QStringLiteral("A2")).SetValue(LiteralText(title));

    if (FSiteiKamoku != 0) {
        const auto item = items_.constFind(FSiteiKamoku);
        if (item != items_.constEnd()) {
            if (item->syusiKubun == 2)
                Sheet->Range(QStringLiteral("B1")).SetValue(-1);
            Sheet->Range(QStringLiteral("A3")).SetValue(LiteralText(item->name));
        }
        Sheet->Range(QStringLiteral("G4")).SetValue(QVariant());
    }
    if (Kaisibi() > Kisyubi || Syuryobi() < Kimatsubi) {
        Sheet->Range(QStringLiteral("G3"))
            .SetValue(DateText(Kaisibi()) + QStringLiteral(" ～ ") + DateText(Syuryobi()));
    }
}

void TExlSyusiMeisaiModule::WriteOpeningRow() {
    FillReportParams(KurikosiSQL);
    qint64 balance = 0;
    {
        data::ScopedOpen opening(KurikosiClientDS, KurikosiSQL);
        balance = KurikosiClientDS.FieldByName(QStringLiteral("KURIKOSI")).AsInteger();
    }
    QString label;
    if (Kaisibi() == Kisyubi) {
        const auto item = items_.constFind(100);
        label = item != items_.constEnd() ? item->name : QStringLiteral("前年度繰越");
    } else {
        label = QStringLiteral("繰越");
        FillReportParams(ZenzanSQL);
        ZenzanSQL.SetParam(QStringLiteral("Kaisibi"), Kaisibi());
        data::ScopedOpen before(ZenzanClientDS, ZenzanSQL);
        balance += ZenzanClientDS.FieldByName(QStringLiteral("SYUNYU")).AsInteger() -
                   ZenzanClientDS.FieldByName(QStringLiteral("SISYUTSU")).AsInteger();
    }
    Sheet->Range(QStringLiteral("A5")).SetValue(DateText(QString::number(PrevDay(Kaisibi().toInt()))));
    Sheet->Range(QStringLiteral("C5")).SetValue(LiteralText(label));
    Sheet->Range(QStringLiteral("G5")).SetValue(balance);
}

void TExlSyusiMeisaiModule::WriteLines(sheet::RowWriter& rows) {
    QString previousDate;
    bool first = true;
    int written = 0;
    SQLDataSet1.SelectEach([&](const std::vector<db::Value>& line) {
        const QString date = line[0].AsString();
        // The date stands only on the first line of each day.
        if (first || date != previousDate)
            rows.Text(kDate, DateText(date));
        previousDate = date;
        first = false;
        rows.Text(kAite, line[1].AsString());
        rows.Text(kTekiyo, line[2].AsString());
        if (!line[3].IsNull()) {
            if (const auto item = items_.constFind(int(line[3].AsInteger())); item != items_.constEnd())
                rows.Text(kKamoku, item->name);
        }
        if (!line[4].IsNull())
            rows.Integer(kSyunyu, line[4].AsInteger());
        if (!line[5].IsNull())
            rows.Integer(kSisyutsu, line[5].AsInteger());
        rows.NextRow();
        // A long listing keeps the program's windows painted.
        if (++written % 8192 == 0)
            QCoreApplication::processEvents();
    });
    rows.Finish();
}
