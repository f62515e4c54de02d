#include "kaihi/ExlKaihiMinouUnit.h"

#include <algorithm>

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "platform/Folders.h"
#include "reports/TsubakiExcelBaseModuleUnit.h"
#include "sheet/RowWriter.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Today() {
    return u"作成日："_s + QDate::currentDate().toString(u"yyyy/MM/dd"_s);
}

void HideUnused(sheet::Worksheet& sheet, std::size_t lines) {
    if (lines < 3)  // the template's rows that stay empty
        sheet.SetRowsHidden(5 + static_cast<int>(lines), 7, true);
}

}  // namespace

TExlKaihiMinouModule::TExlKaihiMinouModule() {
    SetBookmei(platform::ProgramFolder() + u"/Template/未納一覧.xltx"_s);
    SetSheetmei(u"未納一覧"_s);
}

void TExlKaihiMinouModule::WriteBook() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const KaihiMeibo meibo = LoadMeibo(connection);
    const KaihiYear year = LoadKaihiYear(connection, nendo_);
    const std::vector<KaihiMinouLine> lines = MinouLines(meibo, year, asOf_);
    Sheet->Range(u"A2"_s).SetValue(u"%1年度　%2現在"_s.arg(nendo_).arg(asOf_.toString(u"yyyy/MM/dd"_s)));
    Sheet->Range(u"A3"_s).SetValue(LiteralText(CurrentDantai));
    Sheet->Range(u"E3"_s).SetValue(Today());
    HideUnused(*Sheet, lines.size());
    if (lines.empty())
        return;
    sheet::RowWriter& rows = Sheet->InsertDetailRows(
        {.firstRow = 5, .templateRows = 3, .repeatFirst = 6, .firstCol = 1, .lastCol = 5},
        static_cast<int>(lines.size()));
    for (const KaihiMinouLine& line : lines) {
        const auto han = std::find_if(meibo.han.begin(), meibo.han.end(),
                                      [&](const KaihiHan& h) { return h.hanCd == line.hanCd; });
        const auto name = std::find_if(meibo.names.begin(), meibo.names.end(),
                                       [&](const KaihiSetaiName& n) { return n.setaiCd == line.setaiCd; });
        const auto kind = std::find_if(year.syurui.begin(), year.syurui.end(),
                                       [&](const KaihiSyurui& k) { return k.syuruiCd == line.syuruiCd; });
        rows.Text(1, han == meibo.han.end() ? QString() : han->name);
        rows.Text(2, name == meibo.names.end() ? QString() : LiteralText(name->name));
        rows.Text(3, kind == year.syurui.end() ? QString() : kind->name);
        rows.Text(4, kind != year.syurui.end() && kind->perMonth ? TsukiText(line.months) : QString());
        rows.Integer(5, line.kingaku);
        rows.NextRow();
    }
    rows.Finish();
}

TExlHanbetsuSetaisuModule::TExlHanbetsuSetaisuModule() {
    SetBookmei(platform::ProgramFolder() + u"/Template/班別世帯数.xltx"_s);
    SetSheetmei(u"班別世帯数"_s);
}

void TExlHanbetsuSetaisuModule::WriteBook() {
    const KaihiMeibo meibo = LoadMeibo(DataModule1().SQLConnection1);
    if (meibo.han.empty())
        throw EAppError(u"班が登録されていません。"_s);
    Sheet->Range(u"A2"_s).SetValue(day_.toString(u"yyyy年M月d日現在"_s));
    Sheet->Range(u"A3"_s).SetValue(LiteralText(CurrentDantai));
    HideUnused(*Sheet, meibo.han.size());
    sheet::RowWriter& rows = Sheet->InsertDetailRows(
        {.firstRow = 5, .templateRows = 3, .repeatFirst = 6, .firstCol = 1, .lastCol = 3},
        static_cast<int>(meibo.han.size()));
    for (const KaihiHan& han : meibo.han) {
        rows.Text(1, han.name);
        rows.Text(2, han.hancyo);
        rows.Integer(3, SetaiCountOn(meibo.setai, han.hanCd, day_));
        rows.NextRow();
    }
    rows.Finish();
}
