#include "reports/ExlZandakaSyogoUnit.h"

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "data/ScopedOpen.h"
#include "db/DataModule.h"
#include "db/YearQueries.h"
#include "platform/Folders.h"
#include "reports/YosansyoRules.h"
#include "sheet/Application.h"
#include "sheet/Range.h"
#include "sheet/Worksheet.h"
#include "statements/ZandakaUchiwake.h"
#include "templates/ZandakaSyogohyoLayout.h"

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace layout = templates::zandaka;

TExlZandakaSyogoModule::TExlZandakaSyogoModule() = default;

QString TExlZandakaSyogoModule::Text(const QString& field) const {
    const data::DataSet& row = FNendoDS ? *FNendoDS : NendoClientDS;
    const data::Field* f = row.Active() && !row.IsEmpty() ? row.FindField(field) : nullptr;
    return f ? f->AsString() : QString();
}

void TExlZandakaSyogoModule::Execute() {
    SetBookmei(platform::ProgramFolder() + u"/Template/"_s + QString::fromUtf8(layout::kName) + u".xltx"_s);
    SetSheetmei(u"Sheet1"_s);
    std::optional<data::ScopedOpen> saved;
    if (!FNendoDS) {
        FillReportParams(NendoSQL);
        saved.emplace(NendoClientDS, NendoSQL);
    }
    if (Text(u"KISYUBI"_s).isEmpty())
        throw EAppError(QString::number(FNendo) + u"年度の基礎データが設定されていません。"_s);
    TTsubakiExcelBaseModule::Execute();
}

void TExlZandakaSyogoModule::StartExcel() {
    TTsubakiExcelBaseModule::StartExcel();
    if (!FCyukanSimebi.isEmpty())
        Exl->SetReportNote(u"中間"_s + FCyukanSimebi);
}

void TExlZandakaSyogoModule::WriteBook() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const statements::ClosingKey closing{FNendo, FCyukanSimebi};
    struct Division {
        int code;
        QString name;
    };
    std::vector<Division> divisions;
    for (const auto& r : connection
                             .Select(db::DivisionsOfYearSql(u"CD"_s),
                                     {{u"KAISI_NENDO"_s, FNendo}, {u"SYURYO_NENDO"_s, FNendo}})
                             .rows)
        divisions.push_back({int(r[0].AsInteger()), r[1].IsNull() ? QString() : r[1].AsString()});
    if (divisions.empty())
        throw EAppError(QString::number(FNendo) + u"年度の会計区分がありません。"_s);
    const statements::PlacesByDivision places =
        FPlaces ? *FPlaces : statements::SavedPlaces(connection, closing);

    const int nengo = Text(u"NENGO_KUBUN"_s).toInt();
    const int closingDate = FCyukanSimebi.isEmpty() ? Text(u"KIMATSUBI"_s).toInt() : FCyukanSimebi.toInt();
    Sheet->Range(u"A1"_s).SetValue(
        LiteralText(yosansyo::HeaderYearText(Text(u"KISYUBI"_s).toInt(), FNendo, nengo)));
    Sheet->Range(u"B1"_s).SetValue(LiteralText(CurrentDantai));
    Sheet->Range(u"C1"_s).SetValue(
        LiteralText(yosansyo::PeriodDateText(closingDate, nengo) +
                    (FCyukanSimebi.isEmpty() ? u"（年度末）"_s : u"（中間決算）"_s)));

    BeginSteps(int(divisions.size()));
    // One copy of the block per further division, each inserted above the others so
    // that the print area grows with them; every block starts a page.
    const auto block = [this] {
        return Sheet
            ->Range(Sheet->Cells(layout::kBlockFirst, 1).Address(),
                    Sheet->Cells(layout::kBlockLast, 1).Address())
            .EntireRow();
    };
    for (std::size_t k = 1; k < divisions.size(); ++k) {
        block().Copy();
        block().Insert(sheet::xlShiftDown);
        Sheet->AddPageBreakBefore(layout::kBlockFirst + layout::kBlockRows);
    }
    Exl->ClearClipboard();

    // From the lowest block upwards: the rows a block's places add move only the
    // blocks already laid out below it.
    std::vector<std::pair<sheet::RowWriter*, const std::vector<statements::Place>*>> rows;
    static const std::vector<statements::Place> none;
    for (std::size_t k = divisions.size(); k-- > 0;) {
        const Division& division = divisions[k];
        const auto found = places.find(division.code);
        const std::vector<statements::Place>& list = found == places.end() ? none : found->second;
        const auto kept = std::count_if(list.begin(), list.end(), statements::IsKeptPlace);
        KaikeiKubun = division.code;
        KaikeiKubunmei = division.name;
        NextDivisionStep();
        sheet::RowWriter& writer =
            WriteBlock(int(k) * layout::kBlockRows, division.name,
                       statements::BookBalance(connection, closing, division.code), std::size_t(kept));
        rows.emplace_back(&writer, &list);
    }
    for (auto& [writer, list] : rows) {
        for (const statements::Place& place : *list) {
            if (!statements::IsKeptPlace(place))
                continue;
            writer->Text(layout::kNameCol, place.name.trimmed());
            if (place.amount)
                writer->Integer(layout::kAmountCol, *place.amount);
            writer->NextRow();
        }
        writer->Finish();
    }
}

sheet::RowWriter& TExlZandakaSyogoModule::WriteBlock(int off, const QString& division, qint64 book,
                                                     std::size_t places) {
    const auto put = [this](int row, int col, const QVariant& value) {
        Sheet->Cells(row, col).SetValue(value);
    };
    put(layout::kBlockFirst + off, 1, LiteralText(division));
    put(layout::kBookRow + off, layout::kAmountCol, QVariant(book));
    const QString date = Text(u"KANSA_HIZUKE"_s);
    if (!date.trimmed().isEmpty())
        put(layout::kDateRow + off, 2, LiteralText(date));
    // Two lines to sign, named where the statement texts name the auditors.
    QString title = Text(u"KANSA_YAKUSYOKU"_s).trimmed();
    if (title.isEmpty())
        title = u"監事"_s;
    const QString names[layout::kAuditorRows] = {Text(u"KANSA1"_s), Text(u"KANSA2"_s)};
    for (int i = 0; i < layout::kAuditorRows; ++i) {
        put(layout::kAuditorRow + off + i, 1, LiteralText(title + u"　"_s));
        if (!names[i].trimmed().isEmpty())
            put(layout::kAuditorRow + off + i, 2, LiteralText(names[i]));
    }
    KaisiGyo = layout::kPlaceFirst + off;
    KaisiRetsu = 1;
    Syuryoretsu = layout::kAmountCol;
    RecGyo = 1;
    MeisaiGyosu = layout::kPlaceRows;
    return ExtendDetailRows(int(places));
}
