#include "reports/ExlKessansyoUnit.h"

#include "db/DataModule.h"
#include "reports/ZandakaBlock.h"
#include "sheet/Range.h"
#include "sheet/Worksheet.h"
#include "statements/ZandakaUchiwake.h"

namespace kessansyo {
namespace {

const QString kWorkKey = QStringLiteral(
    " where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and ");

QVariant Value(const QString& text) {
    return text.isEmpty() ? QVariant() : QVariant(LiteralText(text));
}

void Put(sheet::Worksheet& sheet, int row, char column, const QString& text) {
    sheet.Cells(row, column - 'A' + 1).SetValue(Value(text));
}

// Row `row` copied and inserted at itself: the copy stands at `row`, the row
// and everything below it one row further down.
void DuplicateRow(sheet::Worksheet& sheet, int row) {
    sheet::Range line = sheet.Range(sheet.Cells(row, 1).Address()).EntireRow();
    line.Copy();
    line.Select();
    line.Insert(sheet::xlShiftDown);
}

}  // namespace

QString Statement::KessanMainSelect() {
    return QStringLiteral(
               "select CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO, SYUSI_KUBUN, BUNRUI,"
               " BUNRUI_JUNJYO, KAMOKU_JUNJYO, YOSAN, KESSAN, cast(null as integer) as ZENNEN_YOSAN,"
               // The budget compared with is the amended one; its original is what
               // the amendments leave of it.
               " cast(case when YOSAN is null then null else YOSAN - coalesce(HOSEI, 0) end as integer) as "
               "TOUSYO_YOSAN,"
               " HOSEI, YOSAN as HOSEIGO from W_KESSAN") +
           kWorkKey;
}

QString Statement::KessanTotalsSelect() {
    return QStringLiteral(
               "select BUNRUI, cast(count(*) as integer) as KENSU, cast(sum(YOSAN) as integer) as YOSAN,"
               " cast(sum(KESSAN) as integer) as KESSAN from W_KESSAN") +
           kWorkKey;
}

QString Statement::KessanChartBudgetSelect() {
    // The settlement's budget is already the amended one.
    return QStringLiteral("select BUNRUI, cast(sum(YOSAN) as bigint) as YOSAN from W_KESSAN") + kWorkKey +
           QStringLiteral("(KAMOKU <> 8000) group by BUNRUI");
}

void Statement::AddMonthEnd(statementcharts::Division& division, int nendo, int kaikeiKubun,
                            const QString& cyukanSimebi) {
    if (!monthEnd_)
        monthEnd_ = ReadMonthEndBalances(DataModule1().SQLConnection1, nendo);
    const auto found = monthEnd_->balances.find(kaikeiKubun);
    if (found == monthEnd_->balances.end())
        return;
    int months = int(found->second.size());
    if (!cyukanSimebi.isEmpty()) {
        const int column = monthEnd_->months.Column(cyukanSimebi.toInt());
        if (column > 0)
            months = column;
    }
    division.monthLabels = monthEnd_->labels.mid(0, months);
    division.monthEnd.assign(found->second.begin(), found->second.begin() + months);
}

void Statement::WriteHeaderCells(sheet::Worksheet& sheet, const templates::yosansyo::Layout& layout,
                                 const QString& reportYear, bool interim) {
    Put(sheet, 1, templates::kessansyo::ReportYearColumn(layout), reportYear);
    if (interim)
        Put(sheet, 1, templates::kessansyo::CyukanColumn(layout), QStringLiteral("中間"));
}

void Statement::WriteFooterCells(sheet::Worksheet& sheet, const templates::yosansyo::Layout& layout,
                                 const std::function<QString(const QString&)>& text, int kaikeiSyomeigyo,
                                 int kansaSyomeigyo) {
    namespace k = templates::kessansyo;
    const char titleColumn = layout.yakusyokuColumn;
    const char nameColumn = layout.daihyosyaColumn;
    const auto flag = [&](const char* field) {
        return text(QString::fromLatin1(field)) == QStringLiteral("1");
    };

    // From the bottom upwards, so that the rows repeated for a second signer
    // or auditor move only what lies below them.
    Put(sheet, k::kBikouRow, 'A', text(QStringLiteral("KESSAN_BIKOU")));
    Put(sheet, kansaSyomeigyo, titleColumn, text(QStringLiteral("KANSA_YAKUSYOKU")));
    QStringList auditors;
    if (flag("KANSA_SYOMEI_KUBUN1"))
        auditors << text(QStringLiteral("KANSA1"));
    if (flag("KANSA_SYOMEI_KUBUN2"))
        auditors << text(QStringLiteral("KANSA2"));
    if (auditors.size() == 2)
        DuplicateRow(sheet, kansaSyomeigyo);
    for (qsizetype i = 0; i < auditors.size(); ++i)
        Put(sheet, kansaSyomeigyo + int(i), nameColumn, auditors[i]);
    Put(sheet, k::kKansaCommentRow, 'A', text(QStringLiteral("KANSA_COMMENT")));
    Put(sheet, kansaSyomeigyo, 'B', text(QStringLiteral("KANSA_HIZUKE")));

    std::vector<std::pair<QString, QString>> signers;
    if (flag("KESSAN_SYOMEI_KUBUN1"))
        signers.emplace_back(text(QStringLiteral("YAKUSYOKU")), text(QStringLiteral("DAIHYOSYA")));
    if (flag("KESSAN_SYOMEI_KUBUN2"))
        signers.emplace_back(text(QStringLiteral("KAIKEI_YAKUSYOKU")), text(QStringLiteral("KAIKEI1")));
    if (flag("KESSAN_SYOMEI_KUBUN3"))
        signers.emplace_back(text(QStringLiteral("KAIKEI_YAKUSYOKU")), text(QStringLiteral("KAIKEI2")));
    for (std::size_t i = 1; i < signers.size(); ++i)
        DuplicateRow(sheet, kaikeiSyomeigyo);
    for (std::size_t i = 0; i < signers.size(); ++i) {
        Put(sheet, kaikeiSyomeigyo + int(i), titleColumn, signers[i].first);
        Put(sheet, kaikeiSyomeigyo + int(i), nameColumn, signers[i].second);
    }
    Put(sheet, k::kCommentRow, 'A', text(QStringLiteral("KESSAN_COMMENT")));
    Put(sheet, kaikeiSyomeigyo, 'B', text(QStringLiteral("KESSAN_HIZUKE")));
    Put(sheet, kaikeiSyomeigyo, 'C', text(QStringLiteral("KESSAN_SYOMEI")));
}

void BalancesOption::WriteBalances(sheet::Application& exl, sheet::Worksheet& sheet,
                                   const templates::yosansyo::Layout& layout, int off,
                                   const statements::ClosingKey& closing, int division, qint64 carryOver,
                                   const QString& carryOverLabel) {
    db::Connection& connection = DataModule1().SQLConnection1;
    if (!FPlaces)
        FPlaces = statements::SavedPlaces(connection, closing);
    const auto places = FPlaces->find(division);
    if (places == FPlaces->end())
        return;
    const auto block = statements::MakeBalanceBlock(
        places->second, statements::BookBalance(connection, closing, division), carryOver);
    if (!block)
        return;
    namespace y = templates::yosansyo;
    // Under the carry-over's settlement figure, so that the block's last line stands below it.
    int amountCol = 3;
    switch (layout.family) {
        case y::Family::Kani:
            amountCol = 2;
            break;
        case y::Family::Kamoku:
            amountCol = 3;
            break;
        case y::Family::Bunrui:
            amountCol = layout.kingakuField1 == "KESSAN" ? 2 : 3;
            break;
        case y::Family::Hikaku:
            amountCol = layout.kingakuField1 == "KESSAN" ? 3 : 4;
            break;
        case y::Family::Hosei:
            amountCol = 6;  // 決算額, after the original, the amendments and the amended budget
            break;
    }
    BalanceBlockPlace at;
    at.headingRow = y::kSyunyuHeadingRow + off;
    at.carryOverRow = y::kJikiKurikosigyo + off;
    at.balanceRow = templates::kessansyo::kBalanceRow + off;
    at.amountCol = amountCol;
    at.lastCol = layout.syuryoretsu;
    WriteBalanceBlock(exl, sheet, at, *block, carryOverLabel);
}

}  // namespace kessansyo

std::unique_ptr<TExlYosansyoModule> NewKessansyoModule(int line) {
    switch (kessansyo::ModuleForLine(line)) {
        case kessansyo::Module::Kessansyo1:
            return std::make_unique<TExlKessansyoModule1>();
        case kessansyo::Module::Kessansyo3:
            return std::make_unique<TExlKessansyoModule3>();
        case kessansyo::Module::Kessansyo5:
            return std::make_unique<TExlKessansyoModule5>();
        case kessansyo::Module::Kessansyo:
            break;
    }
    return std::make_unique<TExlKessansyoModule>();
}
