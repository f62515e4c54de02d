#include "statements/CyukanKessanNyuryokuUnit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/Errors.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "statements/KessanRules.h"
#include "statements/StatementLoads.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

TCyukanKessanNyuryokuForm::TCyukanKessanNyuryokuForm(QWidget* parent)
    : TKessanNyuryokuForm(true, parent),
      SimebiLabel(new QLabel(u"締日"_s, Panel2)),
      SimebiEdit(new QLineEdit(Panel2)) {
    setWindowTitle(u"中間決算書データ入力"_s);
    NendoSQL.SetCommandText(
        u"select * from CYUKAN_KESSAN_NENDO where (NENDO = :Nendo) and (SIMEBI = :Simebi)"_s);
    NendoClientDS.SetUpdateTable(u"CYUKAN_KESSAN_NENDO"_s, u"NENDO;SIMEBI"_s);

    SimebiEdit->setInputMask(u"99月99日; "_s);
    SimebiEdit->setToolTip(u"決算額を指定した日付までのデータで集計します。"_s);
    SimebiEdit->setFixedWidth(SimebiEdit->fontMetrics().horizontalAdvance(u"00月00日"_s) + 16);
    SimebiLabel->setBuddy(SimebiEdit);
    QHBoxLayout* header = HeaderLayout();
    const int at = header->indexOf(NyuryokuBtn);
    header->insertWidget(at, SimebiEdit);
    header->insertWidget(at, SimebiLabel);
    header->insertSpacing(at, 8);
    // The year is chosen with the spinner or by click; Tab goes to the closing date.
    Edit1->setFocusPolicy(Qt::ClickFocus);
    setTabOrder(Edit1, SimebiEdit);
    setTabOrder(SimebiEdit, NyuryokuBtn);
}

TCyukanKessanNyuryokuForm::~TCyukanKessanNyuryokuForm() = default;

QString TCyukanKessanNyuryokuForm::TypedMonthDay() const {
    const QString shown = SimebiEdit->displayText();  // "mm月dd日", blanks unfilled
    return shown.mid(0, 2) + shown.mid(3, 2);
}

void TCyukanKessanNyuryokuForm::SetQueryParams(data::SqlCommand& command) {
    TKessanNyuryokuForm::SetQueryParams(command);
    if (command.ParamNames().contains(u"Simebi"_s, Qt::CaseInsensitive))
        command.SetParam(u"Simebi"_s, simebi_);
}

void TCyukanKessanNyuryokuForm::LoadData() {
    // The year's first and last day decide the closing date and whether it fits.
    const int nendo = GetNendo();
    const auto year = DataModule1().SQLConnection1.Select(
        u"select KISYUBI, KIMATSUBI from NENDO where (NENDO = :Nendo)"_s, {{u"Nendo"_s, nendo}});
    if (year.rows.empty())
        throw EAppError(QString::number(nendo) + u"年度の基礎データが設定されていません。"_s);
    const QString kisyubi = year.rows.front()[0].AsString();
    const QString kimatsubi = year.rows.front()[1].AsString();
    const QString simebi = SimebiOf(TypedMonthDay(), kisyubi);
    if (const auto error = SimebiError(simebi, kimatsubi)) {
        FocusAfterFailedLoad(SimebiEdit);
        throw EAppError(*error);
    }
    simebi_ = simebi;
    TKessanNyuryokuForm::LoadData();
}

void TCyukanKessanNyuryokuForm::OpenTextsRow() {
    SetQueryParams(NendoSQL);
    data::DsOpen(NendoClientDS);
    statements::StartCyukanTextsRow(NendoClientDS, Connection(), LoadedNendo(), simebi_);
}

db::Connection::Params TCyukanKessanNyuryokuForm::SavedLinesParams() const {
    return {{u"Nendo"_s, LoadedNendo()}, {u"Simebi"_s, simebi_}};
}

void TCyukanKessanNyuryokuForm::ReplaceSavedLines() {
    ExecWithParams(u"delete from CYUKAN_KESSAN where (NENDO= :Nendo) and (SIMEBI = :Simebi)"_s);
    if (!SakujyoFlag)
        ExecWithParams(
            u"insert into CYUKAN_KESSAN (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO) "
            u"select NENDO, cast(:Simebi as varchar(8)), KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO from W_KESSAN "
            u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)"_s);
    ReplaceClosingPlaces();
    ApplyNendoRow();
    if (SakujyoFlag)
        ExecWithParams(u"delete from CYUKAN_KESSAN_NENDO where (NENDO = :Nendo) and (SIMEBI = :Simebi)"_s);
}

void TCyukanKessanNyuryokuForm::ShowBrowseState() {
    SimebiEdit->setEnabled(true);
    TKessanNyuryokuForm::ShowBrowseState();
}

void TCyukanKessanNyuryokuForm::ShowEditState() {
    TKessanNyuryokuForm::ShowEditState();
    SimebiEdit->setEnabled(false);
}
