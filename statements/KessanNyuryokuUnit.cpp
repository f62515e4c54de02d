#include "statements/KessanNyuryokuUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <map>

#include "core/ComputerName.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "statements/KessanRules.h"
#include "statements/KessansyoSelectUnit.h"
#include "statements/StatementLoads.h"
#include "statements/StatementRules.h"
#include "statements/TotalLine.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"

using namespace Qt::Literals::StringLiterals;

TKessanNyuryokuForm::TKessanNyuryokuForm(QWidget* parent) : TKessanNyuryokuForm(false, parent) {}

TKessanNyuryokuForm::TKessanNyuryokuForm(bool interim, QWidget* parent)
    : TStatementEntryForm(u"W_KESSAN"_s, 8000, u"(SYUSI_KUBUN = 2) and (KAMOKU <> 8000)"_s, parent),
      KessansyoBtn(MakeButton(u"決算書"_s, u"決算書をExcel出力します。"_s, Panel2)),
      SyomeiKubun1Check(new TDBCheckBox(u"出力する"_s, SyomeiSheet)),
      KaikeiYakusyokuEdit(new TDBEdit(SyomeiSheet)),
      Kaikei1Edit(new TDBEdit(SyomeiSheet)),
      SyomeiKubun2Check(new TDBCheckBox(u"出力する"_s, SyomeiSheet)),
      Kaikei2Edit(new TDBEdit(SyomeiSheet)),
      SyomeiKubun3Check(new TDBCheckBox(u"出力する"_s, SyomeiSheet)),
      KansaCommentEdit(new TDBEdit(SyomeiSheet)),
      KansaHizukeEdit(new TDBEdit(SyomeiSheet)),
      KansaYakusyokuEdit(new TDBEdit(SyomeiSheet)),
      Kansa1Edit(new TDBEdit(SyomeiSheet)),
      KansaKubun1Check(new TDBCheckBox(u"出力する"_s, SyomeiSheet)),
      Kansa2Edit(new TDBEdit(SyomeiSheet)),
      KansaKubun2Check(new TDBCheckBox(u"出力する"_s, SyomeiSheet)),
      interim_(interim) {
    setWindowTitle(u"決算書データ入力"_s);
    if (interim_) {
        data::FieldDef kamoku{.name = u"KAMOKU"_s, .type = data::FieldType::Integer};
        JigetsuKurikosiDS.AddField(kamoku);
        data::FieldDef name{.name = u"KAMOKUMEI"_s, .type = data::FieldType::Text, .size = 15};
        JigetsuKurikosiDS.AddField(name);
        JigetsuKurikosiDS.CreateDataSet();
        JigetsuKurikosiDS.Append();
        JigetsuKurikosiDS.FieldByName(u"KAMOKU"_s).SetComputedValue(8000);
        JigetsuKurikosiDS.FieldByName(u"KAMOKUMEI"_s).SetComputedValue(u"次月繰越金"_s);
        JigetsuKurikosiDS.Post();
    }

    // The statement texts, cut to their columns; what is typed is trimmed, the
    // default texts keep their blanks.
    const std::pair<const char16_t*, int> texts[] = {
        {u"KESSAN_COMMENT", 60},  {u"KESSAN_HIZUKE", 20},    {u"KESSAN_SYOMEI", 30}, {u"YAKUSYOKU", 10},
        {u"DAIHYOSYA", 10},       {u"KAIKEI_YAKUSYOKU", 10}, {u"KAIKEI1", 10},       {u"KAIKEI2", 10},
        {u"KANSA_YAKUSYOKU", 10}, {u"KANSA1", 10},           {u"KANSA2", 10},        {u"KANSA_COMMENT", 60},
        {u"KANSA_HIZUKE", 20},    {u"KESSAN_BIKOU", 60}};
    for (const auto& [name, size] : texts) {
        data::FieldDef def{.name = QString::fromUtf16(name), .type = data::FieldType::Text, .size = size};
        NendoClientDS.AddField(def).OnSetText = [](data::Field& f, const QString& text) {
            f.SetValue(TrimZen(text));
        };
    }
    for (const QString& name :
         {u"KESSAN_SYOMEI_KUBUN1"_s, u"KESSAN_SYOMEI_KUBUN2"_s, u"KESSAN_SYOMEI_KUBUN3"_s,
          u"KANSA_SYOMEI_KUBUN1"_s, u"KANSA_SYOMEI_KUBUN2"_s})
        NendoClientDS.AddField({.name = name, .type = data::FieldType::Integer});

    BuildLayout();
    InitRows();
    // Item names run to 15 characters.
    const int nameWidth = fontMetrics().horizontalAdvance(u'あ') * 15 + 16;
    for (TDBGrid* grid : {SyunyuGrid, SisyutsuGrid, JikiKurikosiGrid})
        grid->SetColumnWidth(u"Kamokumei"_s, nameWidth);
    for (data::DataSet* view : {&SyunyuClone, &SisyutsuClone}) {
        view->BeforeDelete = [this](data::DataSet& ds) { CheckRowDelete(ds); };
        // A row started by keyboard has no item and cannot get one: posting it fails
        // on the required item unless it is still blank, when it is dropped.
        view->BeforePost = [this](data::DataSet& ds) {
            if (IsBlankNewRow(ds))
                throw EAbort();
        };
    }
    connect(KessansyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { KessansyoBtnClick(); }); });
    // The statements read this load's work rows and the texts row as the window holds
    // them, saved or not.
    OpenKessansyoSelect = [](TKessanNyuryokuForm& form) {
        TKessansyoSelectForm select(form.LoadedNendo(), form.Jikoku, &form.NendoClientDS, form.CyukanSimebi(),
                                    &form);
        select.exec();
    };
}

TKessanNyuryokuForm::~TKessanNyuryokuForm() {
    RunGuarded([this] { CloseData(); });
}

// ---------------------------------------------------------------- layout

void TKessanNyuryokuForm::BuildLayout() {
    QHBoxLayout* header = HeaderLayout();
    header->insertWidget(header->indexOf(DeleteBtn) + 1, KessansyoBtn);
    KessansyoBtn->setEnabled(false);

    SyunyuGrid->setToolTip(
        u"金額は表示のみで変更できません。決算書に出力する摘要を入力します。"
        u"順序を指定すると明細の表示順序を変更できます。"_s);
    SisyutsuGrid->setToolTip(SyunyuGrid->toolTip());
    JikiKurikosiGrid->setToolTip(u"金額は表示のみで変更できません。決算書に出力する摘要を入力します。"_s);
    LayOutGrids({u"YOSAN"_s, u"KESSAN"_s}, 900, {});

    BuildSyomeiSheet();
}

void TKessanNyuryokuForm::BuildSyomeiSheet() {
    SyomeiSheet->setToolTip(u"決算書署名欄に出力する内容を入力します。"_s);
    const QString officer = u"基礎データの設定で入力した内容を初期表示します。(変更可能です)"_s;
    const QString general = u"一般的な文章を初期表示します。(変更可能です)"_s;
    BindTextEdits({
        {CommentEdit, u"KESSAN_COMMENT", general, 40},
        {HizukeEdit, u"KESSAN_HIZUKE",
         interim_ ? u"指定した締日の日付を初期表示します。(変更可能です)"_s
                  : u"期末日付を初期表示します。(変更可能です)"_s,
         16},
        {SyomeiEdit, u"KESSAN_SYOMEI", u"団体名を初期表示します。(変更可能です)"_s, 16},
        {YakusyokuEdit, u"YAKUSYOKU", officer, 8},
        {DaihyosyaEdit, u"DAIHYOSYA", officer, 8},
        {BikouEdit, u"KESSAN_BIKOU", u"入力した内容を決算書の最後に出力します。"_s, 40},
        {KaikeiYakusyokuEdit, u"KAIKEI_YAKUSYOKU", officer, 8},
        {Kaikei1Edit, u"KAIKEI1", officer, 8},
        {Kaikei2Edit, u"KAIKEI2", officer, 8},
        {KansaCommentEdit, u"KANSA_COMMENT", general, 40},
        {KansaHizukeEdit, u"KANSA_HIZUKE", u"初期表示された内容を実際の日付に変更してください。"_s, 16},
        {KansaYakusyokuEdit, u"KANSA_YAKUSYOKU", officer, 8},
        {Kansa1Edit, u"KANSA1", officer, 8},
        {Kansa2Edit, u"KANSA2", officer, 8},
    });
    const std::pair<TDBCheckBox*, const char16_t*> checks[] = {{SyomeiKubun1Check, u"KESSAN_SYOMEI_KUBUN1"},
                                                               {SyomeiKubun2Check, u"KESSAN_SYOMEI_KUBUN2"},
                                                               {SyomeiKubun3Check, u"KESSAN_SYOMEI_KUBUN3"},
                                                               {KansaKubun1Check, u"KANSA_SYOMEI_KUBUN1"},
                                                               {KansaKubun2Check, u"KANSA_SYOMEI_KUBUN2"}};
    for (const auto& [check, field] : checks) {
        check->SetDataSource(&NendoSource);
        check->SetDataField(QString::fromUtf16(field));
        check->setToolTip(u"チェックをはずすと決算書に出力しません。"_s);
    }
    // Columns: caption, first field, 役職, its field, 氏名, its field, 出力する.
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(10);
    grid->setVerticalSpacing(10);
    grid->addWidget(SyomeiLabel(u"決算書コメント"_s, CommentEdit), 0, 0);
    grid->addWidget(CommentEdit, 0, 1, 1, 6, Qt::AlignLeft);
    grid->addWidget(SyomeiLabel(u"決算書日付"_s, HizukeEdit), 1, 0);
    grid->addWidget(HizukeEdit, 1, 1, Qt::AlignLeft);
    grid->addWidget(new QLabel(u"決算書出力区分"_s, SyomeiSheet), 1, 6);
    grid->addWidget(SyomeiLabel(u"署名欄 団体名"_s, SyomeiEdit), 2, 0);
    grid->addWidget(SyomeiEdit, 2, 1, Qt::AlignLeft);
    grid->addWidget(SyomeiLabel(u"役職"_s, YakusyokuEdit), 2, 2);
    grid->addWidget(YakusyokuEdit, 2, 3);
    grid->addWidget(SyomeiLabel(u"氏名"_s, DaihyosyaEdit), 2, 4);
    grid->addWidget(DaihyosyaEdit, 2, 5);
    grid->addWidget(SyomeiKubun1Check, 2, 6);
    grid->addWidget(SyomeiLabel(u"役職"_s, KaikeiYakusyokuEdit), 3, 2);
    grid->addWidget(KaikeiYakusyokuEdit, 3, 3);
    grid->addWidget(SyomeiLabel(u"氏名"_s, Kaikei1Edit), 3, 4);
    grid->addWidget(Kaikei1Edit, 3, 5);
    grid->addWidget(SyomeiKubun2Check, 3, 6);
    grid->addWidget(SyomeiLabel(u"氏名"_s, Kaikei2Edit), 4, 4);
    grid->addWidget(Kaikei2Edit, 4, 5);
    grid->addWidget(SyomeiKubun3Check, 4, 6);
    grid->addWidget(SyomeiLabel(u"会計監査コメント"_s, KansaCommentEdit), 5, 0);
    grid->addWidget(KansaCommentEdit, 5, 1, 1, 6, Qt::AlignLeft);
    grid->addWidget(SyomeiLabel(u"会計監査日付"_s, KansaHizukeEdit), 6, 0);
    grid->addWidget(KansaHizukeEdit, 6, 1, Qt::AlignLeft);
    grid->addWidget(SyomeiLabel(u"役職"_s, KansaYakusyokuEdit), 6, 2);
    grid->addWidget(KansaYakusyokuEdit, 6, 3);
    grid->addWidget(SyomeiLabel(u"氏名"_s, Kansa1Edit), 6, 4);
    grid->addWidget(Kansa1Edit, 6, 5);
    grid->addWidget(KansaKubun1Check, 6, 6);
    grid->addWidget(SyomeiLabel(u"氏名"_s, Kansa2Edit), 7, 4);
    grid->addWidget(Kansa2Edit, 7, 5);
    grid->addWidget(KansaKubun2Check, 7, 6);
    grid->addWidget(SyomeiLabel(u"備考"_s, BikouEdit), 8, 0);
    grid->addWidget(BikouEdit, 8, 1, 1, 6, Qt::AlignLeft);
    grid->setColumnStretch(7, 1);
    SetSyomeiPage(grid, {CommentEdit, HizukeEdit, SyomeiEdit, YakusyokuEdit, DaihyosyaEdit, BikouEdit,
                         SyomeiKubun1Check, KaikeiYakusyokuEdit, Kaikei1Edit, SyomeiKubun2Check, Kaikei2Edit,
                         SyomeiKubun3Check, KansaCommentEdit, KansaHizukeEdit, KansaYakusyokuEdit, Kansa1Edit,
                         KansaKubun1Check, Kansa2Edit, KansaKubun2Check});
}

// ---------------------------------------------------------------- rows

void TKessanNyuryokuForm::DefineRowFields(data::DataSet& ds, data::DataSet* kamokuList) {
    AddNameColumn(ds, interim_ && &ds == &JikiKurikosiClone ? &JigetsuKurikosiDS : kamokuList, true);
    ds.AddField(AmountField(u"YOSAN"_s, u"予算額"_s));
    ds.AddField(AmountField(u"KESSAN"_s, u"決算額"_s));
    // The carry-over line keeps its place.
    AddLineColumns(ds, &ds != &JikiKurikosiClone, false);
}

bool TKessanNyuryokuForm::IsBlankNewRow(const data::DataSet& ds) const {
    if (ds.State() != data::DataSetState::Insert)
        return false;
    const db::Value kamoku = ds.FieldByName(u"KAMOKU"_s).Value();
    const db::Value junjyo = ds.FieldByName(u"JUNJYO"_s).Value();
    return (kamoku.IsNull() || kamoku.AsInteger() == 0) &&
           TrimZen(ds.FieldByName(u"TEKIYO"_s).AsString()).isEmpty() && !junjyo.IsNull() &&
           junjyo.AsInteger() == 99;
}

void TKessanNyuryokuForm::CheckRowDelete(data::DataSet& ds) {
    if (KessanLineDeletable(AmountOf(ds.FieldByName(u"YOSAN"_s).Value()),
                            AmountOf(ds.FieldByName(u"KESSAN"_s).Value())))
        return;
    FocusFirstControl();
    throw EAppError(u"金額のある行は削除できません。"_s);
}

void TKessanNyuryokuForm::RowWritten(data::DataSet&) {
    RefreshTotals();
}

void TKessanNyuryokuForm::RefreshTotals() {
    if (!ClientDataSet1.Active()) {
        for (TTotalLine* line : {SyunyuGokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
            line->Clear();
        return;
    }
    const QStringList columns{u"YOSAN"_s, u"KESSAN"_s};
    SyunyuGokeiLine->SetValues(SumWorkRows(columns, u"SYUSI_KUBUN = 1"_s));
    SisyutsuSyokeiLine->SetValues(SumWorkRows(columns, u"(SYUSI_KUBUN = 2) and (KAMOKU <> 8000)"_s));
    SisyutsuGokeiLine->SetValues(SumWorkRows(columns, u"SYUSI_KUBUN = 2"_s));
}

// ---------------------------------------------------------------- the year

void TKessanNyuryokuForm::CopySavedRows() {
    noBudget_ =
        !statements::SettleToWorkRows(Connection(), LoadedNendo(), ClosingDate(), LoadKey(), KamokuClientDS);
}

void TKessanNyuryokuForm::FillDefaultTexts() {
    statements::FillKessanDefaultTexts(NendoClientDS, LoadedNendo(), ClosingDate(), CurrentDantai);
}

void TKessanNyuryokuForm::ShowBrowseState() {
    TStatementEntryForm::ShowBrowseState();
    KessansyoBtn->setEnabled(false);
    for (TTotalLine* line : {SyunyuGokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
        line->Clear();
}

void TKessanNyuryokuForm::DivisionShown() {
    if (noBudget_) {
        noBudget_ = false;
        ShowMessage(statements::NoBudgetNote(LoadedNendo()));
    }
}

void TKessanNyuryokuForm::ShowEditState() {
    TStatementEntryForm::ShowEditState();
    KessansyoBtn->setEnabled(true);
}

void TKessanNyuryokuForm::ReplaceSavedLines() {
    ExecWithParams(u"delete from KESSAN where (NENDO= :Nendo)"_s);
    if (!SakujyoFlag)
        ExecWithParams(
            u"insert into KESSAN (NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO) "
            u"select NENDO, KAIKEI_KUBUN, KAMOKU, JUNJYO, TEKIYO from W_KESSAN "
            u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)"_s);
    ApplyNendoRow();
}

// ---------------------------------------------------------------- 決算書

void TKessanNyuryokuForm::KessansyoBtnClick() {
    // The workbook reads what the window holds, saved or not.
    PostViews();
    if (OpenKessansyoSelect)
        OpenKessansyoSelect(*this);
}
