#include "kaihi/ExlKaihiRyosyusyoUnit.h"

#include <algorithm>

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "db/Transaction.h"
#include "kaihi/KaihiStore.h"
#include "kaihi/RyosyusyoRules.h"
#include "platform/Folders.h"
#include "sheet/RowWriter.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "templates/RyosyusyoLayout.h"

using namespace Qt::Literals::StringLiterals;
namespace layout = templates::ryosyusyo;

TExlKaihiRyosyusyoModule::TExlKaihiRyosyusyoModule() {
    SetBookmei(platform::ProgramFolder() + u"/Template/領収書.xltx"_s);
    SetSheetmei(QString::fromUtf8(layout::kName));
}

void TExlKaihiRyosyusyoModule::Execute() {
    // The numbers are given in the run's transaction and kept only once the book
    // is written: otherwise the next print would call a receipt nobody received
    // a reprint.
    db::Connection& connection = DataModule1().SQLConnection1;
    const auto use = connection.UseDataset();
    db::InOneTransaction(connection, [this] { TExcelBaseModule1::Execute(); });
}

void TExlKaihiRyosyusyoModule::WriteBook() {
    if (noufuNos_.empty())
        throw EAppError(u"領収書を作成する納付を選んでください。"_s);
    db::Connection& connection = DataModule1().SQLConnection1;
    const KaihiMeibo meibo = LoadMeibo(connection);
    const KaihiYear year = LoadKaihiYear(connection, nendo_);
    std::vector<const KaihiNoufu*> chosen;
    for (const int no : noufuNos_) {
        const auto at = std::find(year.noufuNos.begin(), year.noufuNos.end(), no);
        if (at == year.noufuNos.end())
            throw EAppError(u"選んだ納付が見つかりません。他のコンピュータで削除された可能性があります。"_s);
        chosen.push_back(&year.noufu[static_cast<std::size_t>(at - year.noufuNos.begin())]);
    }
    KaihiIssuer issuer = ReceiptIssuerOf(connection, nendo_);
    if (issuer.dantai.isEmpty())
        issuer.dantai = CurrentDantai;
    // A payment that had its number before this run is a reprint.
    const std::map<int, int> before = ReceiptNumbersOf(connection, nendo_);
    numbers_ = GiveReceiptNumbers(connection, noufuNos_);

    const int slips = static_cast<int>(chosen.size());
    sheet::RowWriter& rows = Sheet->InsertDetailRows({.firstRow = 1,
                                                      .templateRows = layout::kSlipRows,
                                                      .repeatFirst = 1,
                                                      .repeatRows = layout::kSlipRows,
                                                      .firstCol = 1,
                                                      .lastCol = layout::kLastCol},
                                                     slips * layout::kSlipRows);
    for (int k = layout::kSlipsPerPage; k < slips; k += layout::kSlipsPerPage)
        Sheet->AddPageBreakBefore(1 + k * layout::kSlipRows);
    for (std::size_t k = 0; k < chosen.size(); ++k) {
        const KaihiRyosyusyo r = RyosyusyoOf(*chosen[k], numbers_[k], before.contains(noufuNos_[k]),
                                             meibo.han, meibo.names, year.syurui, issuer);
        for (int line = 0; line < layout::kSlipRows; ++line) {
            switch (line) {
                case layout::kTitle:
                    rows.Text(1, u"領　収　書"_s);
                    break;
                case layout::kNumber:
                    if (r.saihakko)
                        rows.Text(1, u"（再発行）"_s);
                    rows.Text(5, r.bango);
                    break;
                case layout::kAtena:
                    rows.Text(1, r.atena);
                    break;
                case layout::kKingaku:
                    rows.Text(2, r.kingaku);
                    break;
                case layout::kDaiji:
                    rows.Text(2, r.daiji);
                    break;
                case layout::kTadashi:
                    rows.Text(1, r.tadashi);
                    break;
                case layout::kStatement:
                    rows.Text(1, u"上記の金額を正に領収いたしました。"_s);
                    break;
                case layout::kHizuke:
                    rows.Text(1, r.hizuke);
                    rows.Text(4, r.dantai);
                    break;
                case layout::kUketori:
                    rows.Text(4, r.uketori);
                    break;
                default:
                    break;
            }
            rows.NextRow();
        }
    }
    rows.Finish();
}
