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
#include "data/FieldFormat.h"
#include "data/PendingChanges.h"
#include "statements/KessanRules.h"
#include "statements/KessansyoSelectUnit.h"
#include "statements/StatementLoads.h"
#include "statements/StatementRules.h"
#include "statements/StatementStyleBox.h"
#include "statements/TotalLine.h"
#include "statements/ZandakaUchiwake.h"
#include "ui/Accelerator.h"
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
      UchiwakeSheet(new QWidget),
      UchiwakeGrid(new TDBGrid(UchiwakeSheet)),
      UchiwakeSakujyoBtn(new QPushButton(u"行削除"_s, UchiwakeSheet)),
      ChoboZanLabel(new QLabel(UchiwakeSheet)),
      UchiwakeGokeiLabel(new QLabel(UchiwakeSheet)),
      SagakuLabel(new QLabel(UchiwakeSheet)),
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
    TStatementStyleBox::DefineFields(NendoClientDS, TStatementStyleBox::Kind::Settlement);

    // The places: a name and an amount each, typed freely; a row left blank is
    // dropped, and the division is the one shown when the row is started.
    data::FieldDef basyo{.name = u"BASYO"_s,
                         .type = data::FieldType::Text,
                         .size = 40,
                         .label = u"場所（現金、金融機関・支店・種別・口座番号など）"_s};
    UchiwakeClientDS.AddField(basyo).OnSetText = [](data::Field& f, const QString& text) {
        const QString trimmed = TrimZen(text);
        f.SetValue(trimmed.isEmpty() ? db::Value() : db::Value(trimmed));
    };
    data::FieldDef kingaku = AmountField(u"KINGAKU"_s, u"金額"_s);
    kingaku.readOnly = false;
    kingaku.minValue = -999999999;
    kingaku.maxValue = 999999999;
    kingaku.editFormat = u"0;-0"_s;
    UchiwakeClientDS.AddField(kingaku);
    UchiwakeClientDS.AddField(HiddenField(u"KAIKEI_KUBUN"_s, data::FieldType::Integer));
    UchiwakeClone.OnNewRecord = [this](data::DataSet& ds) {
        ds.FieldByName(u"KAIKEI_KUBUN"_s).SetComputedValue(ShownKaikeiKubun());
    };
    UchiwakeClone.AfterPost = [this](data::DataSet&) { RefreshUchiwakeFigures(); };
    UchiwakeClone.AfterDelete = [this](data::DataSet&) { RefreshUchiwakeFigures(); };

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
        select.SetPlaces(form.UchiwakePlaces());
        select.exec();
    };
}

TKessanNyuryokuForm::~TKessanNyuryokuForm() {
    UchiwakeGrid->SetDataSource(nullptr);
    RunGuarded([this] { CloseData(); });
}

// ---------------------------------------------------------------- layout

void TKessanNyuryokuForm::BuildLayout() {
    QHBoxLayout* header = HeaderLayout();
    header->insertWidget(header->indexOf(DeleteBtn) + 1, KessansyoBtn);
    KessansyoBtn->setEnabled(false);
    GiveAccelerator(KessansyoBtn, u'P');

    SyunyuGrid->setToolTip(
        u"金額は表示のみで変更できません。決算書に出力する摘要を入力します。"
        u"順序を指定すると明細の表示順序を変更できます。"_s);
    SisyutsuGrid->setToolTip(SyunyuGrid->toolTip());
    JikiKurikosiGrid->setToolTip(u"金額は表示のみで変更できません。決算書に出力する摘要を入力します。"_s);
    LayOutGrids({u"YOSAN"_s, u"KESSAN"_s}, 900, {});

    BuildSyomeiSheet();
    BuildUchiwakeSheet();
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
    StyleBox = new TStatementStyleBox(TStatementStyleBox::Kind::Settlement, &NendoSource, SyomeiSheet);
    grid->addWidget(StyleBox, 9, 0, 1, 7, Qt::AlignLeft);
    grid->setColumnStretch(7, 1);
    SetSyomeiPage(grid, {CommentEdit,
                         HizukeEdit,
                         SyomeiEdit,
                         YakusyokuEdit,
                         DaihyosyaEdit,
                         BikouEdit,
                         SyomeiKubun1Check,
                         KaikeiYakusyokuEdit,
                         Kaikei1Edit,
                         SyomeiKubun2Check,
                         Kaikei2Edit,
                         SyomeiKubun3Check,
                         KansaCommentEdit,
                         KansaHizukeEdit,
                         KansaYakusyokuEdit,
                         Kansa1Edit,
                         KansaKubun1Check,
                         Kansa2Edit,
                         KansaKubun2Check,
                         StyleBox->TitleEdit,
                         StyleBox->SyunyuCombo,
                         StyleBox->SisyutsuCombo});
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
    UchiwakeSource.SetEnabled(false);
    UchiwakeSakujyoBtn->setEnabled(false);
    TStatementEntryForm::ShowBrowseState();
    RefreshUchiwakeFigures();
    KessansyoBtn->setEnabled(false);
    for (TTotalLine* line : {SyunyuGokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
        line->Clear();
}

void TKessanNyuryokuForm::ShowEditState() {
    UchiwakeSource.SetEnabled(true);
    UchiwakeSakujyoBtn->setEnabled(true);
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
    ReplaceClosingPlaces();
    ApplyNendoRow();
}

// ---------------------------------------------------------------- 決算書

void TKessanNyuryokuForm::KessansyoBtnClick() {
    // The workbook reads what the window holds, saved or not.
    PostViews();
    WritePendingRows(u"書き込めなかった行があるため、決算書を出力できません。"_s);
    if (OpenKessansyoSelect)
        OpenKessansyoSelect(*this);
}

// ---------------------------------------------------------------- 残高内訳

void TKessanNyuryokuForm::BuildUchiwakeSheet() {
    AddPage(u"残高内訳"_s, UchiwakeSheet);
    UchiwakeSheet->setToolTip(u"会計区分ごとに、現金・預金などの残高の内訳を入力します。"_s);
    UchiwakeGrid->SetDataSource(&UchiwakeSource);
    UchiwakeGrid->setToolTip(
        u"現金、金融機関・支店・種別・口座番号、定期預金などの場所ごとに残高を入力します。"_s);
    UchiwakeGrid->IsUntouchedNewRow = [](data::DataSet& ds) {
        return ds.State() == data::DataSetState::Insert &&
               !statements::IsKeptPlace(
                   {ds.FieldByName(u"BASYO"_s).AsString(), AmountOf(ds.FieldByName(u"KINGAKU"_s).Value())});
    };
    const int kanji = UchiwakeGrid->fontMetrics().horizontalAdvance(u'あ');
    const int digit = UchiwakeGrid->fontMetrics().horizontalAdvance(u'0');
    UchiwakeGrid->SetColumnWidth(u"BASYO"_s, kanji * 28 + 16);
    UchiwakeGrid->SetColumnWidth(u"KINGAKU"_s, digit * 14 + 16);
    UchiwakeGrid->setMinimumSize(kanji * 28 + digit * 14 + 80, 260);
    UchiwakeSakujyoBtn->setToolTip(u"選択中の場所を削除します。"_s);
    UchiwakeSakujyoBtn->setAutoDefault(false);
    UchiwakeSakujyoBtn->setEnabled(false);
    connect(UchiwakeSakujyoBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { UchiwakeSakujyoBtnClick(); }); });
    connect(UchiwakeGrid, &TDBGrid::Exited, this, [this](QWidget* target) {
        Guard([this, target] {
            if (!UchiwakeClone.Active() || !UchiwakeClone.IsEditing() || !SaveBtn->isEnabled())
                return;
            if (target == CancelBtn || target == GyoCancelBtn || target == UchiwakeSakujyoBtn)
                data::DsCancel(UchiwakeClone);
            else
                data::DsPost(UchiwakeClone);
        });
    });

    for (QLabel* figure : {ChoboZanLabel, UchiwakeGokeiLabel, SagakuLabel}) {
        figure->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        figure->setMinimumWidth(digit * 14 + 8);
        figure->setFrameShape(QFrame::Panel);
        figure->setFrameShadow(QFrame::Sunken);
    }
    ChoboZanLabel->setToolTip(
        u"収支明細の残高です(前年度繰越金＋収入金額合計－支出金額合計、集計対象外科目を含みます)。"_s);
    UchiwakeGokeiLabel->setToolTip(u"残高内訳の金額の合計です。"_s);
    SagakuLabel->setToolTip(u"帳簿残高－内訳合計です。0でないときは赤で表示します。"_s);
    auto* figures = new QGridLayout;
    figures->setVerticalSpacing(8);
    const std::pair<QString, QLabel*> captions[] = {
        {u"帳簿残高"_s, ChoboZanLabel}, {u"内訳合計"_s, UchiwakeGokeiLabel}, {u"差額"_s, SagakuLabel}};
    int row = 0;
    for (const auto& [caption, figure] : captions) {
        auto* label = new QLabel(caption, UchiwakeSheet);
        label->setToolTip(figure->toolTip());
        figures->addWidget(label, row, 0);
        figures->addWidget(figure, row++, 1);
    }
    auto* side = new QVBoxLayout;
    side->addLayout(figures);
    side->addSpacing(16);
    side->addWidget(UchiwakeSakujyoBtn, 0, Qt::AlignLeft);
    side->addStretch(1);
    auto* note = new QLabel(
        u"決算日現在の現金・預金の残高を場所ごとに入力します。内訳合計は帳簿残高と一致させてください。"_s,
        UchiwakeSheet);
    auto* line = new QHBoxLayout;
    line->addWidget(UchiwakeGrid, 1);
    line->addSpacing(16);
    line->addLayout(side);
    auto* page = new QVBoxLayout(UchiwakeSheet);
    page->setContentsMargins(0, 8, 0, 0);
    page->addWidget(note);
    page->addLayout(line, 1);
    setTabOrder(UchiwakeGrid, UchiwakeSakujyoBtn);
}

void TKessanNyuryokuForm::BeforeFirstDivision() {
    data::DsClose(UchiwakeClone);
    data::DsClose(UchiwakeClientDS);
    bookBalances_.clear();
    const statements::ClosingKey closing = Closing();
    data::DataSet divisions(u"UchiwakeKaikeiKubun"_s);
    divisions.CloneCursor(KaikeiKubunClientDS);
    for (divisions.First(); !divisions.Eof(); divisions.Next()) {
        const int division = IntOf(divisions.FieldByName(u"TOKUBETSU_CD"_s).Value());
        bookBalances_[division] = statements::BookBalance(Connection(), closing, division);
    }
    UchiwakeClientDS.CreateDataSet();
    for (const auto& [division, places] : statements::PlacesForLoad(Connection(), closing)) {
        for (const statements::Place& place : places) {
            UchiwakeClientDS.Append();
            UchiwakeClientDS.FieldByName(u"KAIKEI_KUBUN"_s).SetComputedValue(division);
            UchiwakeClientDS.FieldByName(u"BASYO"_s)
                .SetComputedValue(place.name.isEmpty() ? db::Value() : db::Value(place.name));
            if (place.amount)
                UchiwakeClientDS.FieldByName(u"KINGAKU"_s).SetComputedValue(*place.amount);
            UchiwakeClientDS.Post();
        }
    }
    // What the load shows is not a change of the user's; offered names count once typed.
    UchiwakeClientDS.MergeChangeLog();
    UchiwakeClone.CloneCursor(UchiwakeClientDS);
}

void TKessanNyuryokuForm::DivisionShown() {
    if (noBudget_) {
        noBudget_ = false;
        ShowMessage(statements::NoBudgetNote(LoadedNendo()));
    }
    if (!UchiwakeClone.Active())
        return;
    if (UchiwakeClone.IsEditing())
        data::DsPost(UchiwakeClone);
    UchiwakeClone.SetFilter(u"KAIKEI_KUBUN = %1"_s.arg(ShownKaikeiKubun()));
    UchiwakeClone.SetFiltered(true);
    UchiwakeClone.First();
    RefreshUchiwakeFigures();
}

std::map<int, std::vector<statements::Place>> TKessanNyuryokuForm::UchiwakePlaces() const {
    std::map<int, std::vector<statements::Place>> places;
    if (!UchiwakeClientDS.Active())
        return places;
    data::DataSet rows(u"UchiwakeSaveClone"_s);
    rows.CloneCursor(const_cast<data::DataSet&>(UchiwakeClientDS));
    for (rows.First(); !rows.Eof(); rows.Next())
        places[IntOf(rows.FieldByName(u"KAIKEI_KUBUN"_s).Value())].push_back(
            {rows.FieldByName(u"BASYO"_s).AsString(), AmountOf(rows.FieldByName(u"KINGAKU"_s).Value())});
    return places;
}

statements::ZandakaFigures TKessanNyuryokuForm::UchiwakeFigures(int division) const {
    const auto book = bookBalances_.find(division);
    const auto places = UchiwakePlaces();
    const auto list = places.find(division);
    return statements::Reconcile(book == bookBalances_.end() ? 0 : book->second,
                                 list == places.end() ? std::vector<statements::Place>{} : list->second);
}

void TKessanNyuryokuForm::RefreshUchiwakeFigures() {
    if (!UchiwakeClone.Active()) {
        for (QLabel* figure : {ChoboZanLabel, UchiwakeGokeiLabel, SagakuLabel})
            figure->clear();
        return;
    }
    const statements::ZandakaFigures figures = UchiwakeFigures(ShownKaikeiKubun());
    const QString format = u"#,##0;-#,##0"_s;
    ChoboZanLabel->setText(data::FormatNumber(figures.book, format));
    UchiwakeGokeiLabel->setText(data::FormatNumber(figures.places, format));
    SagakuLabel->setText(data::FormatNumber(figures.difference, format));
    SagakuLabel->setStyleSheet(figures.difference != 0 ? u"color: red;"_s : QString());
}

void TKessanNyuryokuForm::UchiwakeSakujyoBtnClick() {
    if (!UchiwakeClone.Active())
        return;
    if (UchiwakeClone.IsEditing())
        data::DsCancel(UchiwakeClone);
    if (!UchiwakeClone.IsEmpty())
        data::DsDelete(UchiwakeClone);
    UchiwakeGrid->setFocus(Qt::OtherFocusReason);
}

void TKessanNyuryokuForm::PostOwnEdits() {
    if (UchiwakeClone.Active()) {
        UchiwakeSource.UpdateRecord();
        if (UchiwakeClone.IsEditing()) {
            if (UchiwakeGrid->IsUntouchedNewRow(UchiwakeClone))
                data::DsCancel(UchiwakeClone);
            else
                data::DsPost(UchiwakeClone);
        }
    }
}

void TKessanNyuryokuForm::CancelOwnEdits() {
    if (UchiwakeClone.Active() && UchiwakeClone.IsEditing())
        data::DsCancel(UchiwakeClone);
}

void TKessanNyuryokuForm::TabChanged() {
    if (UchiwakeClone.Active())
        UchiwakeClone.First();
    UchiwakeGrid->SelectFirstEditableColumn();
}

void TKessanNyuryokuForm::CloseData() {
    data::DsClose(UchiwakeClone);
    data::DsClose(UchiwakeClientDS);
    bookBalances_.clear();
    TStatementEntryForm::CloseData();
}

bool TKessanNyuryokuForm::HasUnsavedChanges() const {
    return TStatementEntryForm::HasUnsavedChanges() || data::HasPendingChanges(UchiwakeClientDS);
}

void TKessanNyuryokuForm::SaveData() {
    // Places that disagree with the books may be saved (the auditors may want the
    // difference on paper), but only knowingly.
    std::vector<statements::DivisionDifference> differences;
    data::DataSet divisions(u"UchiwakeKaikeiKubun"_s);
    divisions.CloneCursor(KaikeiKubunClientDS);
    for (divisions.First(); !divisions.Eof(); divisions.Next()) {
        const int division = IntOf(divisions.FieldByName(u"TOKUBETSU_CD"_s).Value());
        const statements::ZandakaFigures figures = UchiwakeFigures(division);
        if (figures.entered && figures.difference != 0)
            differences.push_back({divisions.FieldByName(u"MEISYO"_s).AsString(), figures.difference});
    }
    const QString question = statements::DifferenceQuestion(differences);
    if (!question.isEmpty() &&
        Dialogs().MessageDlg(question, MsgDlgType::Confirmation, mbYes | mbNo, mbNo) != ModalResult::Yes)
        throw EAbort();
    TStatementEntryForm::SaveData();
}

void TKessanNyuryokuForm::ReplaceClosingPlaces() {
    statements::ReplacePlaces(
        Connection(), Closing(),
        SakujyoFlag ? std::map<int, std::vector<statements::Place>>{} : UchiwakePlaces());
}
