#include "statements/YosanNyuryokuUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/ComputerName.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "data/FieldFormat.h"
#include "data/PendingChanges.h"
#include "db/YearClose.h"
#include "statements/HoseiRules.h"
#include "statements/StatementLoads.h"
#include "statements/StatementRules.h"
#include "statements/StatementStyleBox.h"
#include "statements/TotalLine.h"
#include "statements/YosansyoSelectUnit.h"
#include "ui/Accelerator.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"
#include "ui/WaitCursor.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kAmountFormat = u"#,##0;-#,##0"_s;
const QString kKamokumei = u"Kamokumei"_s;

// Every division paired with every item outside the statements, with the year's
// carry-over where one was saved, in the breakdown grid's order.
const char16_t kKurikosiSql[] =
    u"select BU.KAIKEI_KUBUN, BU.CD as BUNRUI, BU.SYUSI_KUBUN, BU.JUNJYO as BUNRUI_JUNJYO, KA.CD as KAMOKU, "
    u"KA.MEISYO as KAMOKUMEI, KA.KAISI_NENDO, KA.SYURYO_NENDO, KA.JUNJYO as KAMOKU_JUNJYO, KU.NENDO, "
    u"KU.KURIKOSI "
    u"from (select KK.CD as KAIKEI_KUBUN, BU.* from BUNRUI BU, KAIKEI_KUBUN KK) BU "
    u"inner join KAMOKU KA on (KA.BUNRUI = BU.CD) "
    u"left join KURIKOSI KU on (KU.KAIKEI_KUBUN = BU.KAIKEI_KUBUN) and (KU.KAMOKU = KA.CD) and (KU.NENDO = "
    u":NENDO) "
    u"where (BU.KESSANSYO_KUBUN = 0) "
    u"order by BU.KAIKEI_KUBUN, BU.SYUSI_KUBUN, BU.JUNJYO, BU.CD, KA.JUNJYO, KA.CD";

const char16_t kZennenYosanSql[] =
    u"select Y.KAIKEI_KUBUN, Y.KAMOKU, Y.JUNJYO, Y.YOSAN, B.SYUSI_KUBUN, K.BUNRUI, B.JUNJYO as "
    u"BUNRUI_JUNJYO, "
    u"K.JUNJYO as KAMOKU_JUNJYO from YOSAN Y left join KAMOKU K on (K.CD = Y.KAMOKU) "
    u"left join BUNRUI B on (B.CD = K.BUNRUI) where (Y.NENDO = :Nendo) order by Y.KAIKEI_KUBUN, Y.KAMOKU";

const char16_t kZennenMeisaiSql[] =
    u"select M.KAIKEI_KUBUN, M.KAMOKU, cast(sum(M.SYUNYU) as bigint) as SYUNYU, "
    u"cast(sum(M.SISYUTSU) as bigint) as SISYUTSU from MEISAI M left join KAMOKU K on (K.CD = M.KAMOKU) "
    u"left join BUNRUI B on (B.CD = K.BUNRUI) where (M.NENDO = :Nendo) and (B.KESSANSYO_KUBUN = 1) "
    u"group by M.KAIKEI_KUBUN, M.KAMOKU order by M.KAIKEI_KUBUN, M.KAMOKU";

// Each item outside the statements: its carry-over into the previous year and the
// previous year's journal lines on it, per division.
const char16_t kZennenKurikosiSql[] =
    u"select BU.KAIKEI_KUBUN, BU.SYUSI_KUBUN, KA.CD as KAMOKU, KA.MEISYO as KAMOKUMEI, "
    u"max(KU.KURIKOSI) as KURIKOSI, sum(ME.SYUNYU) as SYUNYU, sum(ME.SISYUTSU) as SISYUTSU "
    u"from (select KK.CD as KAIKEI_KUBUN, BU.* from BUNRUI BU, KAIKEI_KUBUN KK) BU "
    u"inner join KAMOKU KA on (KA.BUNRUI = BU.CD) "
    u"left join KURIKOSI KU on (KU.KAIKEI_KUBUN = BU.KAIKEI_KUBUN) and (KU.KAMOKU = KA.CD) "
    u"and (KU.NENDO = :NENDO1) "
    u"left join MEISAI ME on (ME.KAIKEI_KUBUN = BU.KAIKEI_KUBUN) and (ME.KAMOKU = KA.CD) and (ME.NENDO = "
    u":NENDO2) "
    u"where (BU.KESSANSYO_KUBUN = 0) "
    u"group by BU.KAIKEI_KUBUN, BU.SYUSI_KUBUN, KA.CD, KA.MEISYO "
    u"order by BU.KAIKEI_KUBUN, BU.SYUSI_KUBUN, KA.CD";

const QString kWorkKey = u"(CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU)"_s;

QString Sql(const char16_t* text) {
    return QString::fromUtf16(text);
}

// Runs `action` with `flag` set, whatever happens.
template <class Action>
void With(bool& flag, Action&& action) {
    const bool before = std::exchange(flag, true);
    try {
        action();
    } catch (...) {
        flag = before;
        throw;
    }
    flag = before;
}

// A figure the window computes into a column the user cannot type in.
void SetComputed(data::Field& field, const db::Value& value) {
    const bool readOnly = std::exchange(field.Def().readOnly, false);
    try {
        field.SetComputedValue(value);
    } catch (...) {
        field.Def().readOnly = readOnly;
        throw;
    }
    field.Def().readOnly = readOnly;
}

QLabel* Figure(const QString& hint, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::StyledPanel);
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setToolTip(hint);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(u"-999,999,999,999"_s) + 16);
    return label;
}

}  // namespace

data::FieldDef TYosanNyuryokuForm::TypedAmount(const QString& name, const QString& label, qint64 minimum,
                                               bool readOnly) {
    data::FieldDef def = AmountField(name, label);
    def.minValue = minimum;
    def.maxValue = 999999999;
    def.editFormat = u"0;-0"_s;
    def.readOnly = readOnly;
    return def;
}

TYosanNyuryokuForm::TYosanNyuryokuForm(QWidget* parent)
    : TStatementEntryForm(u"W_YOSAN"_s, 7000,
                          u"(SYUSI_KUBUN = 2) and (KAMOKU <> 7000) and (KAMOKU <> 8000)"_s, parent),
      YosansyoBtn(MakeButton(u"予算書"_s, u"予算書をExcel出力します。"_s, Panel2)),
      ZennenInportBtn(
          MakeButton(u"前年度ﾃﾞｰﾀ取り込み"_s, u"前年度の決算額と予算額を取り込みします。"_s, GroupBox1)),
      GyoTsuikaBtn(MakeButton(u"行追加"_s, u"新しい行を追加します。"_s, GroupBox1)),
      HoseiTsuikaBtn(MakeButton(u"補正追加"_s, u"次の補正予算を追加します。"_s, GroupBox1)),
      HoseiLabel(new QLabel(GroupBox1)),
      SyoninBiEdit(new QLineEdit(GroupBox1)),
      YobihiGrid(new TDBGrid(SisyutsuSheet)),
      SyokeiLine(nullptr),
      CommentKubunCheck(new TDBCheckBox(u"以下の内容を予算書に出力する"_s, SyomeiSheet)),
      KurikosiSheet(new QWidget),
      KurikosiGrid(new TDBGrid(KurikosiSheet)),
      TaisyogaiLabel(Figure(u"上記金額の差し引き計"_s, KurikosiSheet)),
      YosanKurikosiLabel(Figure(u"収入の部の前年度繰越金"_s, KurikosiSheet)),
      MeisaiKurikosiLabel(Figure(u"① ＋ ②"_s, KurikosiSheet)) {
    setWindowTitle(u"予算書データ入力"_s);
    MakeSingleRowGrid(YobihiGrid);
    AddView(YobihiClone, &YobihiSource, u"KAMOKU = 7000"_s, YobihiGrid);
    AddView(ZenkiKurikosiClone, nullptr, u"KAMOKU = 100"_s, nullptr);

    // The year's statement texts the signature tab edits, cut to their columns.
    // What is typed is trimmed; the default texts keep their leading blank.
    const auto typedText = [this](const QString& name, int size, const QString& label) {
        data::FieldDef def{.name = name, .type = data::FieldType::Text, .size = size, .label = label};
        NendoClientDS.AddField(def).OnSetText = [](data::Field& f, const QString& text) {
            f.SetValue(TrimZen(text));
        };
    };
    typedText(u"YOSAN_COMMENT"_s, 60, u"予算書コメント"_s);
    typedText(u"YOSAN_HIZUKE"_s, 20, u"予算書日付"_s);
    typedText(u"YOSAN_SYOMEI"_s, 30, u"署名欄 団体名"_s);
    typedText(u"YOSAN_YAKUSYOKU"_s, 10, u"役職"_s);
    typedText(u"YOSAN_DAIHYOSYA"_s, 10, u"氏名"_s);
    typedText(u"YOSAN_BIKOU"_s, 60, u"備考"_s);
    NendoClientDS.AddField({.name = u"YOSAN_COMMENT_KUBUN"_s, .type = data::FieldType::Integer});
    TStatementStyleBox::DefineFields(NendoClientDS, TStatementStyleBox::Kind::Budget);

    // The breakdown: only the amount can be typed; rows are neither added nor removed.
    KurikosiClientDS.SetCommand(&KurikosiSQL);
    KurikosiSQL.SetCommandText(Sql(kKurikosiSql));
    data::FieldDef syusi{.name = u"SYUSI_KUBUN"_s, .type = data::FieldType::Integer, .label = u"収支"_s};
    syusi.readOnly = true;
    KurikosiClientDS.AddField(syusi);
    data::FieldDef kamokumei{.name = u"KAMOKUMEI"_s, .label = u"科目(集計項目)"_s};
    kamokumei.readOnly = true;
    KurikosiClientDS.AddField(kamokumei);
    data::FieldDef kurikosi = TypedAmount(u"KURIKOSI"_s, u"前年度繰越"_s, -999999999, false);
    KurikosiClientDS.AddField(kurikosi);
    for (const QString& name : {u"KAIKEI_KUBUN"_s, u"BUNRUI"_s, u"BUNRUI_JUNJYO"_s, u"KAMOKU"_s,
                                u"KAISI_NENDO"_s, u"SYURYO_NENDO"_s, u"KAMOKU_JUNJYO"_s, u"NENDO"_s})
        KurikosiClientDS.AddField(HiddenField(name, data::FieldType::Integer));
    KurikosiClone.BeforeInsert = [](data::DataSet&) { throw EAbort(); };
    KurikosiClone.BeforeDelete = [](data::DataSet&) { throw EAbort(); };
    KurikosiClone.AfterPost = [this](data::DataSet&) { RefreshKurikosiFigures(); };

    BuildLayout();
    InitRows();
    JikiKurikosiClone.BeforePost = [this](data::DataSet& ds) { ComputeHosei(ds); };
    for (data::DataSet* view : {&SyunyuClone, &SisyutsuClone}) {
        view->BeforePost = [this](data::DataSet& ds) { CheckLine(ds); };
        view->BeforeEdit = [this](data::DataSet& ds) {
            editKamoku_[&ds] = ds.FieldByName(u"KAMOKU"_s).Value();
        };
    }

    const int digit = SyunyuGrid->fontMetrics().horizontalAdvance(u'0');
    const int kanji = SyunyuGrid->fontMetrics().horizontalAdvance(u'あ');
    for (TDBGrid* grid : {SyunyuGrid, SisyutsuGrid, YobihiGrid, JikiKurikosiGrid}) {
        grid->SetColumnWidth(kKamokumei, kanji * 13 + 36);
        for (const QString& amount :
             {u"YOSAN"_s, u"ZENNEN_KESSAN"_s, u"ZENNEN_YOSAN"_s, u"KONKAI_HOSEI"_s, u"HOSEI"_s, u"HOSEIGO"_s})
            grid->SetColumnWidth(amount, digit * 12 + 16);
        grid->SetColumnWidth(u"TEKIYO"_s, kanji * 20 + 16);
        grid->SetColumnWidth(u"JUNJYO"_s, kanji * 3);
    }
    KurikosiGrid->SetPickList(u"SYUSI_KUBUN"_s, {{u"収入"_s, 1}, {u"支出"_s, 2}});
    KurikosiGrid->SetColumnWidth(u"SYUSI_KUBUN"_s, kanji * 3 + 8);
    KurikosiGrid->SetColumnWidth(u"KAMOKUMEI"_s, kanji * 17 + 16);
    KurikosiGrid->SetColumnWidth(u"KURIKOSI"_s, digit * 12 + 16);

    connect(YosansyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { YosansyoBtnClick(); }); });
    connect(ZennenInportBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { ZennenInportBtnClick(); }); });
    connect(GyoTsuikaBtn, &QPushButton::clicked, this, [this] { Guard([this] { GyoTsuikaBtnClick(); }); });
    connect(HoseiTsuikaBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { HoseiTsuikaBtnClick(); }); });
    connect(KurikosiGrid, &TDBGrid::Exited, this, [this](QWidget* target) {
        Guard([this, target] {
            if (!KurikosiClone.Active() || !KurikosiClone.IsEditing() || !SaveBtn->isEnabled())
                return;
            if (target == CancelBtn || target == GyoCancelBtn || target == GyoSakujyoBtn)
                data::DsCancel(KurikosiClone);
            else
                data::DsPost(KurikosiClone);
        });
    });
}

TYosanNyuryokuForm::~TYosanNyuryokuForm() {
    KurikosiGrid->SetDataSource(nullptr);
    YobihiGrid->SetDataSource(nullptr);
    RunGuarded([this] { CloseData(); });
    ForgetAddedViews();
}

// ---------------------------------------------------------------- layout

void TYosanNyuryokuForm::BuildLayout() {
    QHBoxLayout* header = HeaderLayout();
    header->insertWidget(header->indexOf(DeleteBtn) + 1, YosansyoBtn);
    YosansyoBtn->setEnabled(false);
    GiveAccelerator(YosansyoBtn, u'P');
    GiveAccelerator(ZennenInportBtn, u'Z');

    QHBoxLayout* bar = BarLayout();
    bar->insertWidget(bar->indexOf(KaikeiKubunCombo) + 2, ZennenInportBtn);
    bar->insertWidget(bar->indexOf(GyoSakujyoBtn), GyoTsuikaBtn);
    // The amendment entered and its date of approval, after the row buttons.
    SyoninBiEdit->setInputMask(u"0000/00/00;_"_s);
    SyoninBiEdit->setToolTip(u"補正予算の承認日を入力します。"_s);
    SyoninBiEdit->setFixedWidth(SyoninBiEdit->fontMetrics().horizontalAdvance(u"0000/00/00"_s) + 28);
    auto* syoninCaption = new QLabel(u"承認日"_s, GroupBox1);
    syoninCaption->setBuddy(SyoninBiEdit);
    int at = bar->indexOf(GyoCancelBtn) + 1;
    bar->insertSpacing(at++, 16);
    for (QWidget* w : {static_cast<QWidget*>(HoseiTsuikaBtn), static_cast<QWidget*>(HoseiLabel),
                       static_cast<QWidget*>(syoninCaption), static_cast<QWidget*>(SyoninBiEdit)})
        bar->insertWidget(at++, w);
    for (QPushButton* b : {ZennenInportBtn, GyoTsuikaBtn, HoseiTsuikaBtn})
        b->setEnabled(false);

    SyunyuGrid->setToolTip(
        u"予算書に出力する内容を入力します。順序を指定すると明細の表示順序を変更できます。"_s);
    SisyutsuGrid->setToolTip(SyunyuGrid->toolTip());
    const QStringList amounts{u"YOSAN"_s,        u"ZENNEN_KESSAN"_s, u"ZENNEN_YOSAN"_s,
                              u"KONKAI_HOSEI"_s, u"HOSEI"_s,         u"HOSEIGO"_s};
    // The ordinary payments' 小計 and the reserve fund stand above 支出小計.
    SyokeiLine = new TTotalLine(u"小計"_s, SisyutsuGrid, amounts, SisyutsuSheet);
    LayOutGrids(amounts, 980, {SyokeiLine, YobihiGrid});

    BuildSyomeiSheet();
    BuildKurikosiSheet();
}

void TYosanNyuryokuForm::BuildSyomeiSheet() {
    SyomeiSheet->setToolTip(u"予算書署名欄に出力する内容を入力します。"_s);
    CommentKubunCheck->SetDataSource(&NendoSource);
    CommentKubunCheck->SetDataField(u"YOSAN_COMMENT_KUBUN"_s);
    CommentKubunCheck->setToolTip(u"チェックをはずすと以下の内容を予算書に出力しません。"_s);
    const QString officer = u"基礎データの設定で入力した内容を初期表示します。(変更可能です)"_s;
    BindTextEdits({
        {CommentEdit, u"YOSAN_COMMENT", u"一般的な文章を初期表示します。(変更可能です)"_s, 40},
        {HizukeEdit, u"YOSAN_HIZUKE", u"初期表示された内容を実際の日付に変更してください。"_s, 20},
        {SyomeiEdit, u"YOSAN_SYOMEI", u"団体名を初期表示します。(変更可能です)"_s, 30},
        {YakusyokuEdit, u"YOSAN_YAKUSYOKU", officer, 10},
        {DaihyosyaEdit, u"YOSAN_DAIHYOSYA", officer, 10},
        {BikouEdit, u"YOSAN_BIKOU", u"入力した内容を予算書の最後に出力します。"_s, 40},
    });
    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    grid->addWidget(CommentKubunCheck, 0, 0, 1, 3);
    grid->addWidget(SyomeiLabel(u"予算書コメント"_s, CommentEdit), 1, 0);
    grid->addWidget(CommentEdit, 1, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(SyomeiLabel(u"予算書日付"_s, HizukeEdit), 2, 0);
    grid->addWidget(HizukeEdit, 2, 1, 1, 2, Qt::AlignLeft);
    grid->addWidget(SyomeiLabel(u"署名欄 団体名"_s, SyomeiEdit), 3, 0);
    grid->addWidget(SyomeiEdit, 3, 1, 1, 2, Qt::AlignLeft);
    auto* officers = new QHBoxLayout;
    officers->addWidget(YakusyokuEdit);
    officers->addSpacing(16);
    officers->addWidget(SyomeiLabel(u"氏名"_s, DaihyosyaEdit));
    officers->addWidget(DaihyosyaEdit);
    officers->addStretch(1);
    grid->addWidget(SyomeiLabel(u"役職"_s, YakusyokuEdit), 4, 0);
    grid->addLayout(officers, 4, 1, 1, 2);
    grid->addWidget(SyomeiLabel(u"備考"_s, BikouEdit), 5, 0);
    grid->addWidget(BikouEdit, 5, 1, 1, 2, Qt::AlignLeft);
    StyleBox = new TStatementStyleBox(TStatementStyleBox::Kind::Budget, &NendoSource, SyomeiSheet);
    grid->addWidget(StyleBox, 6, 0, 1, 3, Qt::AlignLeft);
    grid->setColumnStretch(2, 1);
    SetSyomeiPage(grid, {CommentKubunCheck, CommentEdit, HizukeEdit, SyomeiEdit, YakusyokuEdit, DaihyosyaEdit,
                         BikouEdit, StyleBox->TitleEdit, StyleBox->SyunyuCombo, StyleBox->SisyutsuCombo});
}

void TYosanNyuryokuForm::BuildKurikosiSheet() {
    AddPage(u"収支明細書繰越金内訳"_s, KurikosiSheet);
    KurikosiGrid->SetDataSource(&KurikosiSource);
    KurikosiGrid->SetAllowAppend(false);
    KurikosiGrid->SetAlwaysShowEditor(true);
    KurikosiGrid->setToolTip(u"前年度の未精算額を入力します。"_s);
    KurikosiGrid->setMinimumSize(480, 300);

    auto* title = new QLabel(u"予算書／決算書 集計対象外科目 前年度繰越"_s, KurikosiSheet);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    auto* note = new QLabel(
        u"通常、予算書と収支明細書の前年度繰越金額は一致しますが、\n"
        u"預り金等の集計対象外科目の未精算額がある場合は、ここで\n"
        u"入力します。"_s,
        KurikosiSheet);
    auto* figures = new QGridLayout;
    figures->setVerticalSpacing(8);
    const auto caption = [this](const QString& text, QLabel* figure) {
        auto* l = new QLabel(text, KurikosiSheet);
        l->setToolTip(figure->toolTip());
        return l;
    };
    figures->addWidget(caption(u"① 集計対象外科目 合計"_s, TaisyogaiLabel), 0, 0);
    figures->addWidget(TaisyogaiLabel, 0, 1);
    figures->addWidget(caption(u"② 予算書 前年度繰越"_s, YosanKurikosiLabel), 1, 0);
    figures->addWidget(YosanKurikosiLabel, 1, 1);
    figures->addWidget(caption(u"収支明細書 前年度繰越額"_s, MeisaiKurikosiLabel), 2, 0);
    figures->addWidget(MeisaiKurikosiLabel, 2, 1);
    auto* side = new QVBoxLayout;
    side->addWidget(note);
    side->addSpacing(16);
    side->addLayout(figures);
    side->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(KurikosiGrid, 1);
    row->addSpacing(16);
    row->addLayout(side);
    auto* page = new QVBoxLayout(KurikosiSheet);
    page->setContentsMargins(0, 8, 0, 0);
    page->addWidget(title);
    page->addLayout(row, 1);
}

// ---------------------------------------------------------------- rows

void TYosanNyuryokuForm::DefineRowFields(data::DataSet& ds, data::DataSet* kamokuList) {
    const bool yobihi = &ds == &YobihiClone;
    const bool jikiKurikosi = &ds == &JikiKurikosiClone;
    AddNameColumn(ds, kamokuList, yobihi || jikiKurikosi);
    // Typed amounts keep their ranges; the computed ones are written without them.
    ds.AddField(TypedAmount(u"YOSAN"_s, u"本年度予算額"_s, 0, yobihi));
    // The amendment's columns, shown once the year has one (ShowHoseiState).
    data::FieldDef konkai = TypedAmount(u"KONKAI_HOSEI"_s, u"今回補正額"_s, -999999999, yobihi);
    data::FieldDef hosei = AmountField(u"HOSEI"_s, u"補正額"_s);
    data::FieldDef hoseigo = AmountField(u"HOSEIGO"_s, u"補正後予算額"_s);
    for (data::FieldDef* def : {&konkai, &hosei, &hoseigo}) {
        def->visible = HoseiNo != 0;
        ds.AddField(*def);
    }
    ds.AddField(TypedAmount(u"ZENNEN_KESSAN"_s, u"前年度決算額"_s, -999999999, jikiKurikosi));
    ds.AddField(TypedAmount(u"ZENNEN_YOSAN"_s, u"前年度予算額"_s, 0, yobihi));
    AddLineColumns(ds, true, true);
    ds.AddField(HiddenField(u"HOSEI_ZEN"_s, data::FieldType::Integer));
}

bool TYosanNyuryokuForm::IsBlankNewRow(const data::DataSet& ds) const {
    if (ds.State() != data::DataSetState::Insert)
        return false;
    const auto v = [&](const QString& name) { return ds.FieldByName(name).Value(); };
    return IsBlankNewLine({v(u"KAMOKU"_s), v(u"YOSAN"_s), v(u"ZENNEN_YOSAN"_s), v(u"ZENNEN_KESSAN"_s),
                           v(u"TEKIYO"_s), v(u"JUNJYO"_s)});
}

void TYosanNyuryokuForm::CheckLine(data::DataSet& ds) {
    if (IsBlankNewRow(ds))
        throw EAbort();  // never stored: the window drops it instead
    const db::Value kamoku = ds.FieldByName(u"KAMOKU"_s).Value();
    const int code = IntOf(kamoku);
    YosanLineCheck check;
    check.kamoku = code;
    check.division = ShownKaikeiKubun();
    if (const auto tokubetsu = KamokuValue(code, u"KAIKEI_KUBUN"_s))
        check.tokubetsuCd = IntOf(*tokubetsu);
    check.kamokuUnchanged = ds.State() == data::DataSetState::Edit && editKamoku_[&ds] == kamoku;
    check.kamokuElsewhereInDivision = ClientDataSet1.Lookup(u"KAMOKU"_s, {code}, u"KAMOKU"_s).has_value();
    if (const auto error = CheckYosanLine(check)) {
        FocusCell(ds, kKamokumei);
        throw EAppError(*error);
    }
    ComputeHosei(ds);
}

void TYosanNyuryokuForm::ComputeHosei(data::DataSet& ds) {
    const auto amount = [&ds](const QString& name) { return AmountOf(ds.FieldByName(name).Value()); };
    const std::optional<qint64> zen = amount(u"HOSEI_ZEN"_s);
    const std::optional<qint64> konkai = amount(u"KONKAI_HOSEI"_s);
    if (HoseiNo != 0) {
        if (const auto error = CheckHoseiGaku(amount(u"YOSAN"_s), zen.value_or(0), konkai)) {
            FocusCell(ds, u"KONKAI_HOSEI"_s);
            throw EAppError(*error);
        }
    }
    const std::optional<qint64> sum =
        zen || konkai ? std::optional<qint64>(zen.value_or(0) + konkai.value_or(0)) : std::nullopt;
    const HoseiLine line = HoseiLineOf(amount(u"YOSAN"_s), sum);
    const int kamoku = IntOf(ds.FieldByName(u"KAMOKU"_s).Value());
    SetComputed(ds.FieldByName(u"HOSEI"_s), StoredAmount(line.hosei, kamoku));
    SetComputed(ds.FieldByName(u"HOSEIGO"_s), StoredAmount(line.hoseigo, kamoku));
}

void TYosanNyuryokuForm::DivisionOpened() {
    if (ClientDataSet1.IsEmpty())
        AddDefaultRows();
}

void TYosanNyuryokuForm::AddDefaultRows() {
    const int division = ShownKaikeiKubun();
    const int year = LoadedNendo();
    std::vector<int> items;
    for (KamokuClientDS.First(); !KamokuClientDS.Eof(); KamokuClientDS.Next()) {
        const int kamoku = IntOf(KamokuClientDS.FieldByName(u"KAMOKU"_s).Value());
        if (TakesDefaultRow(kamoku, division, year, KamokuClientDS.FieldByName(u"KAISI_NENDO"_s).Value(),
                            KamokuClientDS.FieldByName(u"SYURYO_NENDO"_s).Value()))
            items.push_back(kamoku);
    }
    With(computing_, [&] {
        for (const int kamoku : items) {
            data::DsAppend(ClientDataSet1);
            ClientDataSet1.FieldByName(u"KAMOKU"_s).SetValue(kamoku);
            data::DsPost(ClientDataSet1);
        }
    });
}

void TYosanNyuryokuForm::RowWritten(data::DataSet&) {
    Recalculate();
    RefreshKurikosiFigures();
}

bool TYosanNyuryokuForm::EditRowOf(int kamoku) {
    if (ClientDataSet1.Locate(u"KAMOKU"_s, {kamoku})) {
        data::DsEdit(ClientDataSet1);
        return true;
    }
    // A division saved without this line gets it, so that its budget balances.
    if (!KamokuValue(kamoku, u"KAMOKU"_s))
        return false;
    data::DsAppend(ClientDataSet1);
    ClientDataSet1.FieldByName(u"KAMOKU"_s).SetValue(kamoku);
    return true;
}

void TYosanNyuryokuForm::PostComputed() {
    try {
        data::DsPost(ClientDataSet1);
    } catch (...) {
        if (ClientDataSet1.IsEditing())
            ClientDataSet1.Cancel();
        throw;
    }
}

void TYosanNyuryokuForm::Recalculate() {
    if (!ClientDataSet1.Active())
        return;
    RefreshTotals();
    With(computing_, [&] {
        const auto amount = [this](const QString& name) {
            return ClientDataSet1.FieldByName(name).IsNull() ? 0
                                                             : ClientDataSet1.FieldByName(name).AsInteger();
        };
        YosanSums carry;
        qint64 carryHosei = 0;
        if (ClientDataSet1.Locate(u"KAMOKU"_s, {8000})) {
            carry = {amount(u"YOSAN"_s), amount(u"ZENNEN_YOSAN"_s), amount(u"ZENNEN_KESSAN"_s)};
            carryHosei = amount(u"HOSEI"_s);
        }
        const Yobihi yobihi = YobihiOf(syunyuGokei_, syokei_, carry);
        // The amended budget balances through the reserve fund as the original does.
        const HoseiYobihi hoseiYobihi = HoseiYobihiOf(
            {syunyuGokei_.yosan, syunyuHosei_}, {syokei_.yosan, syokeiHosei_}, {carry.yosan, carryHosei});
        if (EditRowOf(7000)) {
            try {
                ClientDataSet1.FieldByName(u"YOSAN"_s).SetComputedValue(StoredAmount(yobihi.yosan, 7000));
                ClientDataSet1.FieldByName(u"ZENNEN_YOSAN"_s)
                    .SetComputedValue(StoredAmount(yobihi.zennenYosan, 7000));
                if (HoseiNo != 0) {
                    ClientDataSet1.FieldByName(u"KONKAI_HOSEI"_s)
                        .SetComputedValue(StoredAmount(hoseiYobihi.hosei - amount(u"HOSEI_ZEN"_s), 7000));
                    SetComputed(ClientDataSet1.FieldByName(u"HOSEI"_s),
                                StoredAmount(hoseiYobihi.hosei, 7000));
                }
                const HoseiLine line =
                    HoseiLineOf(yobihi.yosan, AmountOf(ClientDataSet1.FieldByName(u"HOSEI"_s).Value()));
                SetComputed(ClientDataSet1.FieldByName(u"HOSEIGO"_s), StoredAmount(line.hoseigo, 7000));
            } catch (...) {
                ClientDataSet1.Cancel();
                throw;
            }
            PostComputed();
        }
        RefreshLine(SisyutsuSyokeiLine);
        const qint64 zennenKessan = JikiKurikosiZennenKessan(syunyuGokei_, sisyutsuSyokei_);
        if (EditRowOf(8000)) {
            try {
                ClientDataSet1.FieldByName(u"ZENNEN_KESSAN"_s)
                    .SetComputedValue(StoredAmount(zennenKessan, 8000));
            } catch (...) {
                ClientDataSet1.Cancel();
                throw;
            }
            PostComputed();
        }
    });
    RefreshLine(SisyutsuGokeiLine);
}

void TYosanNyuryokuForm::RefreshTotals() {
    for (TTotalLine* line : {SyunyuGokeiLine, SyokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
        RefreshLine(line);
}

void TYosanNyuryokuForm::RefreshLine(TTotalLine* line) {
    if (!ClientDataSet1.Active()) {
        line->Clear();
        return;
    }
    const auto [sums, condition] =
        line == SyunyuGokeiLine ? std::pair{&syunyuGokei_, u"SYUSI_KUBUN = 1"_s}
        : line == SyokeiLine    ? std::pair{&syokei_, u"(SYUSI_KUBUN = 2) and (KAMOKU not in (7000, 8000))"_s}
        : line == SisyutsuSyokeiLine
            ? std::pair{&sisyutsuSyokei_, u"(SYUSI_KUBUN = 2) and (KAMOKU <> 8000)"_s}
            : std::pair{&sisyutsuGokei_, u"SYUSI_KUBUN = 2"_s};
    const std::vector<db::Value> values = SumWorkRows(
        {u"YOSAN"_s, u"ZENNEN_KESSAN"_s, u"ZENNEN_YOSAN"_s, u"KONKAI_HOSEI"_s, u"HOSEI"_s, u"HOSEIGO"_s},
        condition);
    line->SetValues(values);
    const auto amount = [&](std::size_t i) { return values[i].IsNull() ? 0 : values[i].AsInteger(); };
    *sums = {amount(0), amount(2), amount(1)};
    if (line == SyunyuGokeiLine)
        syunyuHosei_ = amount(4);
    else if (line == SyokeiLine)
        syokeiHosei_ = amount(4);
}

void TYosanNyuryokuForm::DivisionShown() {
    ShowKurikosi();
}

// ---------------------------------------------------------------- the year

void TYosanNyuryokuForm::CopySavedRows() {
    statements::CopyYosanToWorkRows(Connection(), LoadedNendo(), LoadKey());
    const statements::HoseiLoad hosei =
        statements::CopyHoseiToWorkRows(Connection(), LoadedNendo(), LoadKey());
    savedHoseiNos_ = hosei.hoseiNos;
    HoseiNo = savedHoseiNos_.empty() ? 0 : savedHoseiNos_.back();
    hoseiAdded_ = false;
    SyoninBiEdit->setText(hosei.syoninBi);
    ShowHoseiState();
}

void TYosanNyuryokuForm::FillDefaultTexts() {
    statements::FillYosanDefaultTexts(NendoClientDS, LoadedNendo(), CurrentDantai);
}

void TYosanNyuryokuForm::BeforeFirstDivision() {
    LoadKurikosi();
}

void TYosanNyuryokuForm::ShowBrowseState() {
    KurikosiSource.SetEnabled(false);
    TStatementEntryForm::ShowBrowseState();
    for (QWidget* w : {static_cast<QWidget*>(YosansyoBtn), static_cast<QWidget*>(ZennenInportBtn),
                       static_cast<QWidget*>(GyoTsuikaBtn), static_cast<QWidget*>(HoseiTsuikaBtn)})
        w->setEnabled(false);
    HoseiNo = 0;
    hoseiAdded_ = false;
    savedHoseiNos_.clear();
    SyoninBiEdit->clear();
    ShowHoseiState();
    for (TTotalLine* line : {SyunyuGokeiLine, SyokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
        line->Clear();
    for (QLabel* figure : {TaisyogaiLabel, YosanKurikosiLabel, MeisaiKurikosiLabel})
        figure->clear();
}

void TYosanNyuryokuForm::ShowEditState() {
    KurikosiSource.SetEnabled(true);
    TStatementEntryForm::ShowEditState();
    YosansyoBtn->setEnabled(true);
    ZennenInportBtn->setEnabled(true);
    HoseiTsuikaBtn->setEnabled(true);
    UpdateRowButtons();
    for (TTotalLine* line : {SyunyuGokeiLine, SyokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
        line->Place();
}

void TYosanNyuryokuForm::UpdateRowButtons() {
    TStatementEntryForm::UpdateRowButtons();
    GyoTsuikaBtn->setEnabled(GyoSakujyoBtn->isEnabled());
}

void TYosanNyuryokuForm::CloseData() {
    data::DsClose(KurikosiSumClone);
    data::DsClose(KurikosiClone);
    data::DsClose(KurikosiClientDS);
    TStatementEntryForm::CloseData();
}

void TYosanNyuryokuForm::PostOwnEdits() {
    if (KurikosiClone.Active()) {
        KurikosiSource.UpdateRecord();
        if (KurikosiClone.IsEditing())
            data::DsPost(KurikosiClone);
    }
}

void TYosanNyuryokuForm::CancelOwnEdits() {
    if (KurikosiClone.Active() && KurikosiClone.IsEditing())
        data::DsCancel(KurikosiClone);
}

void TYosanNyuryokuForm::TabChanged() {
    if (KurikosiClone.Active())
        KurikosiClone.First();
    KurikosiGrid->SelectFirstEditableColumn();
}

void TYosanNyuryokuForm::ReplaceSavedLines() {
    if (SakujyoFlag) {
        ReplaceBudgetYear(Connection(), LoadedNendo(), nullptr, {});
        DeleteHosei(Connection(), LoadedNendo());
    } else {
        ReplaceBudgetYear(Connection(), LoadedNendo(), &LoadKey(), KurikosiAmounts());
        if (HoseiNo != 0) {
            if (const auto error =
                    CheckSyoninBi(SyoninBi(), NendoClientDS.FieldByName(u"KISYUBI"_s).AsString())) {
                SyoninBiEdit->setFocus();
                throw EAppError(*error);
            }
            ReplaceHosei(Connection(), LoadedNendo(), HoseiNo, SyoninBi(), LoadKey());
        }
    }
    ApplyNendoRow();
}

// ---------------------------------------------------------------- amendments

QString TYosanNyuryokuForm::SyoninBi() const {
    QString digits = SyoninBiEdit->text();
    digits.remove(u'/');
    digits.remove(u'_');
    return digits.trimmed();
}

void TYosanNyuryokuForm::ShowHoseiState() {
    const bool shown = HoseiNo != 0;
    for (data::DataSet* ds :
         {&ClientDataSet1, &SyunyuClone, &SisyutsuClone, &YobihiClone, &JikiKurikosiClone})
        for (const QString& name : {u"KONKAI_HOSEI"_s, u"HOSEI"_s, u"HOSEIGO"_s})
            if (data::Field* field = ds->FindField(name))
                field->Def().visible = shown;
    HoseiLabel->setText(shown ? HoseiName(HoseiNo) + u"を入力"_s : QString());
    SyoninBiEdit->setEnabled(shown);
    // Seven amount columns fit beside a shorter description; the single-row grids
    // below must not scroll away from the columns of the grids above.
    const int digit = SyunyuGrid->fontMetrics().horizontalAdvance(u'0');
    const int kanji = SyunyuGrid->fontMetrics().horizontalAdvance(u'あ');
    for (TDBGrid* grid : {SyunyuGrid, SisyutsuGrid, YobihiGrid, JikiKurikosiGrid}) {
        for (const QString& amount :
             {u"YOSAN"_s, u"ZENNEN_KESSAN"_s, u"ZENNEN_YOSAN"_s, u"KONKAI_HOSEI"_s, u"HOSEI"_s, u"HOSEIGO"_s})
            grid->SetColumnWidth(amount, shown ? digit * 11 + 8 : digit * 12 + 16);
        grid->SetColumnWidth(u"TEKIYO"_s, kanji * (shown ? 9 : 20) + 16);
    }
}

void TYosanNyuryokuForm::HoseiTsuikaBtnClick() {
    FocusFirstControl();
    PostViews();
    if (hoseiAdded_)
        throw EAppError(HoseiName(HoseiNo) + u"を保存してから、次の補正を追加してください。"_s);
    // The amendment entered so far joins the earlier ones; the new one starts empty.
    ExecWithParams(
        u"update W_YOSAN set HOSEI_ZEN = case when (HOSEI_ZEN is null) and (KONKAI_HOSEI is null) then "
        u"null else coalesce(HOSEI_ZEN, 0) + coalesce(KONKAI_HOSEI, 0) end, KONKAI_HOSEI = null where "_s +
        kWorkKey);
    HoseiNo = NextHoseiNo(savedHoseiNos_);
    hoseiAdded_ = true;
    MarkWorkRowsChanged();
    SyoninBiEdit->clear();
    ShowHoseiState();
    ShowDivision();
    for (TTotalLine* line : {SyunyuGokeiLine, SyokeiLine, SisyutsuSyokeiLine, SisyutsuGokeiLine})
        line->Place();
    SyoninBiEdit->setFocus();
}

// ---------------------------------------------------------------- the breakdown

void TYosanNyuryokuForm::LoadKurikosi() {
    data::DsClose(KurikosiSumClone);
    data::DsClose(KurikosiClone);
    data::DsClose(KurikosiClientDS);
    KurikosiSQL.SetConnection(&Connection());
    KurikosiSQL.SetParam(u"NENDO"_s, LoadedNendo());
    data::DsOpen(KurikosiClientDS);
    KurikosiClone.CloneCursor(KurikosiClientDS);
    KurikosiSumClone.CloneCursor(KurikosiClientDS);
}

void TYosanNyuryokuForm::ShowKurikosi() {
    if (!KurikosiClone.Active())
        return;
    const QString filter = u"KAIKEI_KUBUN = %1"_s.arg(ShownKaikeiKubun());
    for (data::DataSet* view : {&KurikosiClone, &KurikosiSumClone}) {
        if (view->IsEditing())
            data::DsPost(*view);
        view->SetFilter(filter);
        view->SetFiltered(true);
        view->First();
    }
    RefreshKurikosiFigures();
}

void TYosanNyuryokuForm::RefreshKurikosiFigures() {
    if (!KurikosiSumClone.Active() || !ClientDataSet1.Active())
        return;
    qint64 taisyogai = 0;
    for (KurikosiSumClone.First(); !KurikosiSumClone.Eof(); KurikosiSumClone.Next())
        taisyogai += SignedAmount(IntOf(KurikosiSumClone.FieldByName(u"SYUSI_KUBUN"_s).Value()),
                                  KurikosiSumClone.FieldByName(u"KURIKOSI"_s).AsInteger());
    FTaisyogaiKurikosi = taisyogai;
    db::Value yosan;
    if (ZenkiKurikosiClone.Active() && !ZenkiKurikosiClone.IsEmpty())
        yosan = ZenkiKurikosiClone.FieldByName(u"YOSAN"_s).Value();
    TaisyogaiLabel->setText(data::FormatNumber(taisyogai, kAmountFormat));
    YosanKurikosiLabel->setText(yosan.IsNull() ? QString()
                                               : data::FormatNumber(yosan.AsInteger(), kAmountFormat));
    MeisaiKurikosiLabel->setText(
        data::FormatNumber((yosan.IsNull() ? 0 : yosan.AsInteger()) + taisyogai, kAmountFormat));
}

std::vector<KurikosiAmount> TYosanNyuryokuForm::KurikosiAmounts() {
    std::vector<KurikosiAmount> amounts;
    data::DataSet rows(u"KurikosiSaveClone"_s);
    rows.CloneCursor(KurikosiClientDS);
    for (rows.First(); !rows.Eof(); rows.Next())
        amounts.push_back({rows.FieldByName(u"KAIKEI_KUBUN"_s).Value(), rows.FieldByName(u"KAMOKU"_s).Value(),
                           rows.FieldByName(u"KURIKOSI"_s).Value()});
    return amounts;
}

bool TYosanNyuryokuForm::HasUnsavedChanges() const {
    if (TStatementEntryForm::HasUnsavedChanges())
        return true;
    return data::HasPendingChanges(KurikosiClientDS);
}

// ---------------------------------------------------------------- the import

void TYosanNyuryokuForm::ZennenInportBtnClick() {
    FocusFirstControl();
    // The import fills this year's lines, which a closed year keeps as approved.
    db::RefuseClosedYear(Connection(), LoadedNendo());
    PostViews();
    PostOwnEdits();
    {
        const TWaitCursor wait;
        const std::vector<KurikosiImport> kurikosi = RunImport();
        // Items 100 and 7000 have new original amounts: their amended ones follow.
        statements::RefreshHoseiColumns(Connection(), LoadKey());
        MarkWorkRowsChanged();
        ImportKurikosi(kurikosi);
    }
    ShowMessage(u"前年度データの取り込みを終了しました。"_s);
    ShowDivision();
    FocusFirstControl();
}

std::vector<TYosanNyuryokuForm::KurikosiImport> TYosanNyuryokuForm::RunImport() {
    db::Connection& connection = Connection();
    const int zennen = LoadedNendo() - 1;
    connection.StartTransaction();
    try {
        ExecWithParams(u"update W_YOSAN set ZENNEN_KESSAN = null, ZENNEN_YOSAN = null where "_s + kWorkKey);

        data::DataSet W(u"W"_s);
        W.SetConnection(&connection);
        W.SetCommandText(u"select * from W_YOSAN where %1 order by KAIKEI_KUBUN, KAMOKU"_s.arg(kWorkKey));
        W.SetParam(u"CPU_NAME"_s, GetComputerNameStr());
        W.SetParam(u"JIKOKU"_s, Jikoku);
        W.SetUpdateTable(u"W_YOSAN"_s, u"CPU_NAME;JIKOKU;KAIKEI_KUBUN;KAMOKU"_s);
        W.OnReconcileError = [this](data::DataSet& ds, const QString& message, data::UpdateKind kind) {
            ClientDataSet1ReconcileError(ds, message, kind);
        };
        data::DsOpen(W);
        std::vector<YosanWorkRow> rows;
        for (W.First(); !W.Eof(); W.Next())
            rows.push_back(
                {IntOf(W.FieldByName(u"KAIKEI_KUBUN"_s).Value()), IntOf(W.FieldByName(u"KAMOKU"_s).Value()),
                 IntOf(W.FieldByName(u"SYUSI_KUBUN"_s).Value()), AmountOf(W.FieldByName(u"YOSAN"_s).Value()),
                 AmountOf(W.FieldByName(u"ZENNEN_YOSAN"_s).Value()),
                 AmountOf(W.FieldByName(u"ZENNEN_KESSAN"_s).Value()), false});

        std::vector<ZennenYosanRow> zennenYosan;
        for (const auto& r : connection.Select(Sql(kZennenYosanSql), {{u"Nendo"_s, zennen}}).rows)
            zennenYosan.push_back({IntOf(r[0]), IntOf(r[1]), AmountOf(r[3])});
        // Last year as amended: what it finally planned to spend.
        zennenYosan = AmendedBudget(std::move(zennenYosan), statements::ReadHoseiSums(connection, zennen));
        std::vector<ZennenMeisaiSum> zennenMeisai;
        for (const auto& r : connection.Select(Sql(kZennenMeisaiSql), {{u"Nendo"_s, zennen}}).rows)
            zennenMeisai.push_back({IntOf(r[0]), IntOf(r[1]), AmountOf(r[2]), AmountOf(r[3])});

        const ZennenImport result = ImportZennen(
            std::move(rows), zennenYosan, zennenMeisai, [this](int kamoku) -> std::optional<int> {
                if (!KamokuValue(kamoku, u"KAMOKU"_s))
                    return std::nullopt;
                return IntOf(KamokuValue(kamoku, u"SYUSI_KUBUN"_s).value_or(db::Value()));
            });
        if (!result.error.isEmpty())
            throw EAppError(result.error);

        const auto set = [&W](const QString& name, const db::Value& value) {
            W.FieldByName(name).SetComputedValue(value);
        };
        for (const YosanWorkRow& row : result.rows) {
            const db::Value yosan = StoredAmount(row.yosan, row.kamoku);
            const db::Value zennenYosanValue = StoredAmount(row.zennenYosan, row.kamoku);
            const db::Value zennenKessan = StoredAmount(row.zennenKessan, row.kamoku);
            if (row.added) {
                W.Append();
                set(u"CPU_NAME"_s, GetComputerNameStr());
                set(u"JIKOKU"_s, Jikoku);
                set(u"NENDO"_s, LoadedNendo());
                set(u"KAIKEI_KUBUN"_s, row.kaikeiKubun);
                set(u"KAMOKU"_s, row.kamoku);
                set(u"JUNJYO"_s, 99);
                for (const QString& name :
                     {u"SYUSI_KUBUN"_s, u"BUNRUI"_s, u"BUNRUI_JUNJYO"_s, u"KAMOKU_JUNJYO"_s})
                    set(name, KamokuValue(row.kamoku, name).value_or(db::Value()));
            } else {
                if (!W.Locate(u"KAIKEI_KUBUN;KAMOKU"_s, {row.kaikeiKubun, row.kamoku}))
                    continue;
                if (W.FieldByName(u"YOSAN"_s).Value() == yosan &&
                    W.FieldByName(u"ZENNEN_YOSAN"_s).Value() == zennenYosanValue &&
                    W.FieldByName(u"ZENNEN_KESSAN"_s).Value() == zennenKessan)
                    continue;
                W.Edit();
            }
            set(u"YOSAN"_s, yosan);
            set(u"ZENNEN_YOSAN"_s, zennenYosanValue);
            set(u"ZENNEN_KESSAN"_s, zennenKessan);
            W.Post();
        }
        UpdateMrrMsg.clear();
        if (W.ApplyUpdates(0) > 0)
            throw EAppError(UpdateMrrMsg);
        W.Close();

        // The breakdown is read before the commit: should it fail, the work rows
        // keep what they held too.
        std::vector<KurikosiImport> kurikosi;
        const auto found =
            connection.Select(Sql(kZennenKurikosiSql), {{u"NENDO1"_s, zennen}, {u"NENDO2"_s, zennen}}).rows;
        for (const auto& r : found) {
            const int kamoku = IntOf(r[2]);
            const qint64 amount = ZennenKurikosiOf(IntOf(r[1]), r[4], r[5], r[6]);
            if (amount != 0)
                kurikosi.push_back({IntOf(r[0]), kamoku, StoredAmount(amount, kamoku)});
        }
        connection.Commit();
        return kurikosi;
    } catch (const EAbort&) {
        if (connection.InTransaction())
            connection.Rollback();
        throw EAppError(u"前年データの取り込みを失敗しました。"_s);
    } catch (const std::exception& e) {
        if (connection.InTransaction())
            connection.Rollback();
        throw EAppError(u"前年データの取り込みを失敗しました。\r\n\r\n"_s + ErrorMessageOf(e));
    }
}

void TYosanNyuryokuForm::ImportKurikosi(const std::vector<KurikosiImport>& amounts) {
    // Every breakdown starts empty, then takes last year's carry-in and journal net.
    data::DataSet rows(u"KurikosiImportClone"_s);
    rows.CloneCursor(KurikosiClientDS);
    for (rows.First(); !rows.Eof(); rows.Next()) {
        if (rows.FieldByName(u"KURIKOSI"_s).IsNull())
            continue;
        data::DsEdit(rows);
        rows.FieldByName(u"KURIKOSI"_s).Clear();
        data::DsPost(rows);
    }
    for (const KurikosiImport& a : amounts) {
        if (!rows.Locate(u"KAIKEI_KUBUN;KAMOKU"_s, {a.kaikeiKubun, a.kamoku}))
            continue;
        data::DsEdit(rows);
        rows.FieldByName(u"KURIKOSI"_s).SetComputedValue(a.kurikosi);
        data::DsPost(rows);
    }
}

// ---------------------------------------------------------------- buttons

void TYosanNyuryokuForm::YosansyoBtnClick() {
    // The workbook reads what the window holds, saved or not.
    PostViews();
    PostOwnEdits();
    WritePendingRows(u"書き込めなかった行があるため、予算書を出力できません。"_s);
    OpenYosansyoSelect();
}

void TYosanNyuryokuForm::OpenYosansyoSelect() {
    // The statements read this load's work rows and the texts of the NENDO row as
    // the window holds them, saved or not.
    TYosansyoSelectForm form(LoadedNendo(), Jikoku, &NendoClientDS, this);
    form.exec();
}

void TYosanNyuryokuForm::GyoTsuikaBtnClick() {
    if (TDBGrid* grid = FrontGrid()) {
        data::DataSet& ds = *grid->DataSet();
        PostOrDrop(ds);
        data::DsInsert(ds);
    }
    FocusFirstControl();
}
