#include "kaihi/ExlKaihiCyosyuUnit.h"

#include <QDate>

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

std::vector<KaihiIchiranCell> IchiranRow(const SetaiMembership& setai, int hanCd, const KaihiSyurui& syurui,
                                         const KaihiYear& year) {
    const std::vector<QDate> months = NendoMonths(year.kisyubi);
    std::vector<KaihiIchiranCell> cells(months.size());
    const auto index = [&](const QDate& day) {
        const QDate month(day.year(), day.month(), 1);
        const auto at = std::find(months.begin(), months.end(), month);
        return at == months.end() ? -1 : static_cast<int>(at - months.begin());
    };
    const auto here = [&](int m) {
        return !syurui.perMonth || HanOfMonth(setai, months[static_cast<std::size_t>(m)]) == hanCd;
    };
    std::vector<KaihiNoufu> paid;
    for (const KaihiNoufu& n : year.noufu) {
        if (n.setaiCd != setai.setaiCd || n.syuruiCd != syurui.syuruiCd)
            continue;
        paid.push_back(n);
        if (syurui.perMonth && !n.months.empty()) {
            const qint64 share = n.kingaku / static_cast<qint64>(n.months.size());
            for (std::size_t k = 0; k < n.months.size(); ++k) {
                const int m = index(n.months[k]);
                if (m >= 0 && here(m))
                    cells[static_cast<std::size_t>(m)].paid =
                        cells[static_cast<std::size_t>(m)].paid.value_or(0) + share +
                        (k == 0 ? n.kingaku - share * static_cast<qint64>(n.months.size()) : 0);
            }
        } else if (const int m = index(n.hizuke); m >= 0) {
            cells[static_cast<std::size_t>(m)].paid =
                cells[static_cast<std::size_t>(m)].paid.value_or(0) + n.kingaku;
        }
    }
    const std::vector<KaihiOwed> owed = OwedDues(setai, syurui, year.menjyo, months);
    const KaihiMinou minou = MinouOf(owed, syurui, paid);
    for (const QDate& month : minou.months)
        if (const int m = index(month); m >= 0 && here(m) && !cells[static_cast<std::size_t>(m)].paid)
            cells[static_cast<std::size_t>(m)].unpaid = true;
    return cells;
}

TExlKaihiCyosyuModule::TExlKaihiCyosyuModule() {
    SetBookmei(platform::ProgramFolder() + u"/Template/会費徴収一覧.xltx"_s);
    SetSheetmei(QString());
}

void TExlKaihiCyosyuModule::WriteBook() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const KaihiMeibo meibo = LoadMeibo(connection);
    const KaihiYear year = LoadKaihiYear(connection, nendo_);
    const auto kind = std::find_if(year.syurui.begin(), year.syurui.end(),
                                   [&](const KaihiSyurui& s) { return s.syuruiCd == syuruiCd_; });
    if (kind == year.syurui.end())
        throw EAppError(u"%1年度に登録されていない会費の種別です。"_s.arg(nendo_));
    const std::vector<QDate> months = NendoMonths(year.kisyubi);

    // The households of each 班 in the year, in code order.
    struct Block {
        KaihiHan han;
        std::vector<std::size_t> setai;
    };
    std::vector<Block> blocks;
    for (const KaihiHan& han : meibo.han) {
        Block block{han, {}};
        for (std::size_t i = 0; i < meibo.setai.size(); ++i)
            if (std::any_of(months.begin(), months.end(),
                            [&](const QDate& m) { return HanOfMonth(meibo.setai[i], m) == han.hanCd; }))
                block.setai.push_back(i);
        if (!block.setai.empty())
            blocks.push_back(std::move(block));
    }
    if (blocks.empty())
        throw EAppError(u"%1年度に班に属する世帯がありません。"_s.arg(nendo_));

    // Every sheet is named and copied before any detail row goes in.
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        sheet::SheetCollection sheets = Book->Sheets();
        if (k > 0)
            sheets.Item(1).Copy(sheets.Item(static_cast<int>(k)));
        sheets.Item(static_cast<int>(k) + 1).SetName(blocks[k].han.name);
    }
    SetDisplaySheet(blocks.front().han.name);
    QStringList labels;
    for (const QDate& m : months)
        labels << u"%1月"_s.arg(m.month());
    const QString heading = u"%1年度　%2（%3 %4円）"_s.arg(nendo_)
                                .arg(kind->name, kind->perMonth ? u"月額"_s : u"年額"_s)
                                .arg(kind->kingaku);
    BeginSteps(static_cast<int>(blocks.size()));
    for (const Block& block : blocks) {
        NextStep(block.han.name);
        Sheet = &Book->Sheets().Item(block.han.name);
        Sheet->Range(u"A2"_s).SetValue(LiteralText(
            heading + u"　"_s + block.han.name +
            (block.han.hancyo.isEmpty() ? QString() : u"（班長 "_s + block.han.hancyo + u"）"_s)));
        Sheet->Range(u"A3"_s).SetValue(LiteralText(CurrentDantai));
        Sheet->Range(u"N3"_s).SetValue(u"作成日："_s + QDate::currentDate().toString(u"yyyy/MM/dd"_s));
        Sheet->Range(u"B4"_s, u"M4"_s).SetFormula(QVariantList{QVariant(labels)});
        if (block.setai.size() < 3)  // the template's rows that stay empty
            Sheet->SetRowsHidden(5 + static_cast<int>(block.setai.size()), 7, true);
        sheet::RowWriter& rows = Sheet->InsertDetailRows(
            {.firstRow = 5, .templateRows = 3, .repeatFirst = 6, .firstCol = 1, .lastCol = 13},
            static_cast<int>(block.setai.size()));
        for (const std::size_t i : block.setai) {
            rows.Text(1, meibo.names[i].name);
            const std::vector<KaihiIchiranCell> cells =
                IchiranRow(meibo.setai[i], block.han.hanCd, *kind, year);
            for (std::size_t m = 0; m < cells.size(); ++m) {
                if (cells[m].paid)
                    rows.Integer(static_cast<int>(m) + 2, *cells[m].paid);
                else if (cells[m].unpaid)
                    rows.Text(static_cast<int>(m) + 2, u"未"_s);
            }
            rows.NextRow();
        }
        rows.Finish();
    }
}
