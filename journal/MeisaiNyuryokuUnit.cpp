#include "journal/MeisaiNyuryokuUnit.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>

#include "core/ComputerName.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "data/DataSetOperation.h"
#include "data/FieldFormat.h"
#include "data/PendingChanges.h"
#include "db/DataModule.h"
#include "db/WorkKeys.h"
#include "db/YearClose.h"
#include "db/YearQueries.h"
#include "journal/ImportDuplicates.h"
#include "journal/ImportProgress.h"
#include "journal/ImportRules.h"
#include "journal/JournalExport.h"
#include "journal/TeikiMeisaiUnit.h"
#include "journal/TorikomiErrorUnit.h"
#include "journal/TorikomiKakuninUnit.h"
#include "journal/TorikomiRuleUnit.h"
#include "journal/TorikomiSetteiUnit.h"
#include "master/AiteKensakuUnit.h"
#include "master/AiteTourokuUnit.h"
#include "master/KamokuSelectUnit.h"
#include "master/TekiyoKensakuUnit.h"
#include "master/TekiyoTourokuUnit.h"
#include "platform/Folders.h"
#include "reports/ExlSyusiMeisaiUnit.h"
#include "reports/ExlTsukibetsuSyukeiUnit.h"
#include "ui/Accelerator.h"
#include "ui/DBControls.h"
#include "ui/DBGrid.h"
#include "ui/EditMask.h"
#include "ui/ReportProgressDialog.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kMmddPicture = u"99/99"_s;
const QString kAmountFormat = u"#,##0"_s;

// The journal's items: every item but the carry-overs, with its classification's
// kind and aggregation, named with the kind in front when aggregated.
const char16_t kKamokuSql[] =
    u"select B.KESSANSYO_KUBUN, B.SYUSI_KUBUN, K.CD, "
    u"substring((case when B.KESSANSYO_KUBUN = 1 then coalesce(S.MEISYO || ' ', '') || K.MEISYO "
    u"else K.MEISYO end) from 1 for 20) as MEISYO, "
    u"K.BUNRUI, coalesce(K.TOKUBETSU_CD, 0) as TOKUBETSU_CD "
    u"from KAMOKU K inner join BUNRUI B on (B.CD = K.BUNRUI) "
    u"left join SYUSI_KUBUN S on (S.CD = B.SYUSI_KUBUN) "
    u"where (K.CD <> 100) and (K.CD <> 8000) "
    u"order by B.KESSANSYO_KUBUN desc, B.SYUSI_KUBUN, K.BUNRUI, K.CD";

const char16_t kDivisionRowsSql[] =
    u"select * from W_MEISAI where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) "
    u"and (KAIKEI_KUBUN = :KAIKEI_KUBUN) order by HIZUKE, SEQ_NO";

const QString kWorkTable = u"W_MEISAI"_s;

const char16_t kDeleteHalvesSql[] =
    u"delete from W_MEISAI where (CPU_NAME= :CPU_NAME) and (JIKOKU = :JIKOKU) and (SEQ_NO = :SEQ_NO)";

const char16_t kInsertWorkRowSql[] =
    u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, "
    u"KAMOKU, SYUNYU, SISYUTSU, KOUSIN_FLAG) values (:CPU_NAME, :JIKOKU, :SEQ_NO, :KAIKEI_KUBUN, :NENDO, "
    u":HIZUKE, :MMDD, :AITE, :TEKIYO, :KAMOKU, :SYUNYU, :SISYUTSU, :KOUSIN_FLAG)";

// Sums in 64 bits: a year's receipts may pass the range of one amount.
const char16_t kZandakaSql[] =
    u"select sum(SYUNYU) as SYUNYU, sum(SISYUTSU) as SISYUTSU from W_MEISAI "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KAIKEI_KUBUN = :KAIKEI_KUBUN)";
// The same sum over the rows of one line number (the halves of one line), found
// through the work-table index whatever the size of the year.
const char16_t kLineZandakaSql[] =
    u"select sum(SYUNYU) as SYUNYU, sum(SISYUTSU) as SISYUTSU from W_MEISAI "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (SEQ_NO = :SEQ_NO) "
    u"and (KAIKEI_KUBUN = :KAIKEI_KUBUN)";

// The lines entered or changed since the load outside the division shown, in
// division order and, within one, in the grid's order.
const char16_t kChangedLinesElsewhereSql[] =
    u"select SEQ_NO, KAIKEI_KUBUN, HIZUKE, KAMOKU, SYUNYU, SISYUTSU from W_MEISAI "
    u"where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and (KAIKEI_KUBUN <> :KAIKEI_KUBUN) "
    u"and (KOUSIN_FLAG is not null) order by KAIKEI_KUBUN, HIZUKE, SEQ_NO";

// Lines a window posted since its load (halves counted once).
const char16_t kUnsavedLineCountSql[] =
    u"select count(distinct SEQ_NO) from W_MEISAI "
    u"where (CPU_NAME = :OLD_CPU_NAME) and (JIKOKU = :OLD_JIKOKU) "
    u"and (KOUSIN_FLAG is not null)";
// An abandoned load's posted lines replace the same lines (both halves) of this load.
const char16_t kDropRecoveredLinesSql[] =
    u"delete from W_MEISAI where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) and SEQ_NO in "
    u"(select SEQ_NO from W_MEISAI where (CPU_NAME = :OLD_CPU_NAME) and (JIKOKU = :OLD_JIKOKU) "
    u"and (KOUSIN_FLAG is not null))";
const char16_t kRecoverLinesSql[] =
    u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, "
    u"KAMOKU, SYUNYU, SISYUTSU, KOUSIN_FLAG) "
    u"select :CPU_NAME, :JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, MMDD, AITE, TEKIYO, KAMOKU, SYUNYU, "
    u"SISYUTSU, KOUSIN_FLAG from W_MEISAI where (CPU_NAME = :OLD_CPU_NAME) and (JIKOKU = :OLD_JIKOKU) "
    u"and (KOUSIN_FLAG is not null)";

QString Sql(const char16_t* text) {
    return QString::fromUtf16(text);
}

QPushButton* Button(const QString& caption, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QLineEdit* BalanceBox(const QString& hint, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    box->setToolTip(hint);
    box->setMinimumWidth(box->fontMetrics().horizontalAdvance(u"-999,999,999,999"_s) + 16);
    return box;
}

QLineEdit* MonthDayBox(const QString& hint, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setInputMask(QtInputMask(kMmddPicture));
    box->setToolTip(hint);
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(u"00/00"_s) + 20);
    box->setInputMethodHints(Qt::ImhDigitsOnly);
    return box;
}

data::FieldDef Hidden(const QString& name, data::FieldType type) {
    data::FieldDef def{.name = name, .type = type};
    def.visible = false;
    return def;
}

data::FieldDef Amount(const QString& name, const QString& label) {
    data::FieldDef def{.name = name, .type = data::FieldType::Integer};
    def.label = label;
    def.minValue = kAmountMin;
    def.maxValue = kAmountMax;
    def.displayFormat = kAmountFormat;
    def.editFormat = u"0"_s;
    def.zeroAsBlank = true;
    return def;
}

QString RightTrimmed(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).isSpace())
        --end;
    return text.left(end);
}

bool IsBlank(const db::Value& v) {
    return v.IsNull() || TrimZen(v.AsString()).isEmpty();
}

bool IsZero(const db::Value& v) {
    return v.IsNull() || v.AsInteger() == 0;
}

}  // namespace

TMeisaiNyuryokuForm::TMeisaiNyuryokuForm(QWidget* parent)
    : TTsubakiBaseForm2(parent),
      DBGrid1(new TDBGrid(GroupBox1)),
      KaikeiKubunCombo(new TDBLookupComboBox(GroupBox1)),
      FilterGroup(new QGroupBox(u"表示絞り込み"_s, GroupBox1)),
      DateFromEdit(MonthDayBox(u"指定した範囲の明細のみを表示します。"_s, FilterGroup)),
      DateToEdit(MonthDayBox(u"指定した範囲の明細のみを表示します。"_s, FilterGroup)),
      SiteiKamokuEdit(new QLineEdit(FilterGroup)),
      SiteiKamokuBtn(Button(QString(), u"指定した科目の明細のみを表示します。"_s, FilterGroup)),
      GyoTsuikaBtn(Button(u"行追加"_s, u"新しい明細行を追加します。(Insert)"_s, GroupBox1)),
      GyoSakujyoBtn(Button(u"行削除"_s, u"選択中の明細行を削除します。"_s, GroupBox1)),
      GyoCancelBtn(Button(u"行ｷｬﾝｾﾙ"_s, u"選択中の行の内容を入力前に戻します。"_s, GroupBox1)),
      ZandakaGroup(new QGroupBox(u"残高"_s, GroupBox1)),
      KurikosiEdit(BalanceBox(u"予算書入力で入力した繰越金"_s, ZandakaGroup)),
      ZandakaEdit(BalanceBox(u"前年度繰越金＋収入金額合計－支出金額合計"_s, ZandakaGroup)),
      DBNavigator1(new TDBNavigator(GroupBox1)),
      TekiyoTourokuBtn(Button(u"摘要 登録"_s, u"選択中の行の摘要を登録します。"_s, GroupBox1)),
      AiteTourokuBtn(
          Button(u"入金先／支払先 登録"_s, u"選択中の行の入金先／支払先を登録します。"_s, GroupBox1)),
      TorikomiBtn(
          Button(u"取込"_s, u"CSVファイルの明細を取り込みます。保存するまでは確定しません。"_s, GroupBox1)),
      RuleBtn(Button(u"取込ルール"_s, u"取込で摘要などから科目を決めるルールを設定します。"_s, GroupBox1)),
      RuleFromLineBtn(Button(u"この明細からルールを作成"_s,
                             u"選択中の行の摘要・科目・会計区分から取込ルールを作ります。"_s, GroupBox1)),
      TeikiBtn(Button(u"定期明細の作成"_s, u"毎月の定期的な明細を、選んだ月の分だけ作ります。"_s, GroupBox1)),
      KaihiBtn(Button(u"会費徴収"_s,
                      u"班ごとに会費の納付を入力します。作った明細はこの画面に追加され、保存で確定します。"_s,
                      GroupBox1)),
      SyusiMeisaiBtn(Button(u"収支明細表"_s, u"収支明細表をExcel出力します。"_s, Panel2)),
      TsukibetsuSyukeiBtn(Button(u"月別集計表"_s, u"月別集計表をExcel出力します。"_s, Panel2)),
      KakidasiBtn(
          Button(u"書出"_s, u"表示中の年度の明細をCSVまたはledger形式のファイルに書き出します。"_s, Panel2)) {
    setWindowTitle(u"収支明細入力"_s);
    DeleteBtn->hide();

    KamokuClientDS.SetCommand(&KamokuSQL);
    KamokuSQL.SetCommandText(Sql(kKamokuSql));
    KaikeiKubunClientDS.SetCommand(&KaikeiKubunSQL);
    KaikeiKubunSQL.SetCommandText(db::DivisionsOfYearSql(u"TOKUBETSU_CD"_s));
    SQLDataSet1.SetCommandText(Sql(kDivisionRowsSql));
    DefineFields();
    BuildLayout();

    ClientDataSet1.OnNewRecord = [this](data::DataSet& ds) { ClientDataSet1NewRecord(ds); };
    ClientDataSet1.BeforePost = [this](data::DataSet& ds) { ClientDataSet1BeforePost(ds); };
    ClientDataSet1.AfterPost = [this](data::DataSet& ds) { ClientDataSet1AfterPost(ds); };
    ClientDataSet1.BeforeDelete = [this](data::DataSet& ds) { ClientDataSet1BeforeDelete(ds); };
    ClientDataSet1.AfterDelete = [this](data::DataSet& ds) { ClientDataSet1AfterDelete(ds); };
    ClientDataSet1.AfterInsert = [this](data::DataSet&) { SelectFirstEditableColumn(); };
    ClientDataSet1.AfterCancel = [this](data::DataSet&) { SelectFirstEditableColumn(); };
    connect(&DataSource1, &TDataSource::StateChange, this, [this] { UpdateLineButtons(); });
    connect(&DataSource1, &TDataSource::DataChange, this, [this] { UpdateLineButtons(); });

    DBGrid1->SetDataSource(&DataSource1);
    DBNavigator1->SetDataSource(&DataSource1);
    DBGrid1->SetAlwaysShowEditor(true);
    DBGrid1->IsUntouchedNewRow = [this](data::DataSet& ds) { return IsUntouchedLine(ds); };
    DBGrid1->SetEditMask(u"MMDD"_s, kMmddPicture, false);
    DBGrid1->SetEditButton(u"AITE"_s, [this] { AiteCellButtonClick(); });
    DBGrid1->SetEditButton(u"TEKIYO"_s, [this] { TekiyoCellButtonClick(); });
    DBGrid1->SetEditButton(u"KAMOKU_MEI"_s, [this] { KamokuCellButtonClick(); });
    const int digit = DBGrid1->fontMetrics().horizontalAdvance(u'0');
    const int kanji = DBGrid1->fontMetrics().horizontalAdvance(u'あ');
    DBGrid1->SetColumnWidth(u"MMDD"_s, digit * 5 + 24);
    DBGrid1->SetColumnWidth(u"AITE"_s, kanji * 10 + 36);
    DBGrid1->SetColumnWidth(u"TEKIYO"_s, kanji * 16 + 36);
    DBGrid1->SetColumnWidth(u"KAMOKU_MEI"_s, kanji * 12 + 36);
    DBGrid1->SetColumnWidth(u"SYUNYU"_s, digit * 12 + 16);
    DBGrid1->SetColumnWidth(u"SISYUTSU"_s, digit * 12 + 16);
    connect(DBGrid1, &TDBGrid::Exited, this,
            [this](QWidget* target) { Guard([&] { DBGrid1Exit(target); }); });

    connect(KaikeiKubunCombo, &TDBLookupComboBox::KeyChosen, this,
            [this] { Guard([this] { KaikeiKubunComboChange(); }); });
    connect(SiteiKamokuBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { SiteiKamokuBtnClick(); }); });
    connect(GyoTsuikaBtn, &QPushButton::clicked, this, [this] { Guard([this] { GyoTsuikaBtnClick(); }); });
    connect(GyoSakujyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { GyoSakujyoBtnClick(); }); });
    connect(GyoCancelBtn, &QPushButton::clicked, this, [this] { Guard([this] { GyoCancelBtnClick(); }); });
    connect(TekiyoTourokuBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { TekiyoTourokuBtnClick(); }); });
    connect(AiteTourokuBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { AiteTourokuBtnClick(); }); });
    connect(TorikomiBtn, &QPushButton::clicked, this, [this] { Guard([this] { TorikomiBtnClick(); }); });
    connect(TeikiBtn, &QPushButton::clicked, this, [this] { Guard([this] { TeikiBtnClick(); }); });
    connect(KaihiBtn, &QPushButton::clicked, this, [this] { Guard([this] { KaihiBtnClick(); }); });
    KaihiBtn->hide();
    connect(RuleBtn, &QPushButton::clicked, this, [this] { Guard([this] { OpenRules(std::nullopt); }); });
    connect(RuleFromLineBtn, &QPushButton::clicked, this, [this] {
        Guard([this] {
            PostOrDropLine();
            const db::Value kamoku = ClientDataSet1.FieldByName(u"KAMOKU"_s).Value();
            OpenRules(RuleFromLine(ClientDataSet1.FieldByName(u"AITE"_s).AsString(),
                                   ClientDataSet1.FieldByName(u"TEKIYO"_s).AsString(),
                                   kamoku.IsNull() ? 0 : static_cast<int>(kamoku.AsInteger()), kaikeiKubun_));
        });
    });
    connect(SyusiMeisaiBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { SyusiMeisaiBtnClick(); }); });
    connect(TsukibetsuSyukeiBtn, &QPushButton::clicked, this,
            [this] { Guard([this] { TsukibetsuSyukeiBtnClick(); }); });
    connect(KakidasiBtn, &QPushButton::clicked, this, [this] { Guard([this] { KakidasiBtnClick(); }); });
}

TMeisaiNyuryokuForm::~TMeisaiNyuryokuForm() {
    // The grid and the lookups of ClientDataSet1 go before the item views do.
    DBGrid1->SetDataSource(nullptr);
    DBNavigator1->SetDataSource(nullptr);
    RunGuarded([this] { CloseData(); });
}

void TMeisaiNyuryokuForm::DefineFields() {
    using data::FieldType;
    data::FieldDef mmdd{.name = u"MMDD"_s, .type = FieldType::Text, .size = 4, .label = u"日付"_s};
    data::FieldDef aite{
        .name = u"AITE"_s, .type = FieldType::Text, .size = kAiteLength, .label = u"入金先／支払先"_s};
    aite.trimOnEntry = true;
    data::FieldDef tekiyo{
        .name = u"TEKIYO"_s, .type = FieldType::Text, .size = kTekiyoLength, .label = u"摘要"_s};
    tekiyo.trimOnEntry = true;
    data::FieldDef kamokuMei{.name = u"KAMOKU_MEI"_s, .type = FieldType::Text, .label = u"科目(集計項目)"_s};
    kamokuMei.lookup = data::LookupDef{&KamokuClone, u"KAMOKU"_s, u"CD"_s, u"MEISYO"_s};

    // Grid columns, left to right, then the columns the grid does not show.
    ClientDataSet1.AddField(mmdd).OnSetText = [this](data::Field& field, const QString& text) {
        field.SetValue(RightTrimmed(text));
        ClientDataSet1.FieldByName(u"HIZUKE"_s).SetValue(MmddToHizuke(field.AsString()));
    };
    ClientDataSet1.AddField(aite);
    ClientDataSet1.AddField(tekiyo);
    ClientDataSet1.AddField(kamokuMei).OnSetText = [this](data::Field&, const QString& text) {
        KamokuCellSetText(text);
    };
    ClientDataSet1.AddField(Amount(u"SYUNYU"_s, u"収入金額"_s));
    ClientDataSet1.AddField(Amount(u"SISYUTSU"_s, u"支払金額"_s));
    for (const QString& name : {u"CPU_NAME"_s, u"JIKOKU"_s, u"HIZUKE"_s})
        ClientDataSet1.AddField(Hidden(name, FieldType::Text));
    for (const QString& name : {u"SEQ_NO"_s, u"NENDO"_s, u"KAIKEI_KUBUN"_s, u"KAMOKU"_s, u"KOUSIN_FLAG"_s})
        ClientDataSet1.AddField(Hidden(name, FieldType::Integer));
}

void TMeisaiNyuryokuForm::BuildLayout() {
    // Header: the workbook buttons beside the cycle's buttons (not tab stops, so
    // that the first control of the data area takes the focus).
    QHBoxLayout* header = HeaderLayout();
    const int at = header->indexOf(DeleteBtn) + 1;
    // The file buttons after a gap: 書出 (and 取込 beside it) move lines, not paper.
    header->insertWidget(at, KakidasiBtn);
    header->insertSpacing(at, 12);
    header->insertWidget(at, TsukibetsuSyukeiBtn);
    header->insertWidget(at, SyusiMeisaiBtn);
    for (QPushButton* b : {SyusiMeisaiBtn, TsukibetsuSyukeiBtn, KakidasiBtn}) {
        b->setFocusPolicy(Qt::ClickFocus);
        b->setEnabled(false);
    }

    auto* divisionLabel = new QLabel(u"会計区分"_s, GroupBox1);
    KaikeiKubunCombo->setToolTip(u"表示する会計区分を切り替えます。"_s);
    KaikeiKubunCombo->setMinimumWidth(KaikeiKubunCombo->fontMetrics().horizontalAdvance(u'あ') * 10 + 40);
    GiveAccelerator(divisionLabel, KaikeiKubunCombo, u'K');
    // Buttons outside the Tab chain, reached by Alt+letter.
    GiveAccelerator(SyusiMeisaiBtn, u'M');
    GiveAccelerator(TsukibetsuSyukeiBtn, u'T');
    GiveAccelerator(KakidasiBtn, u'E');
    GiveAccelerator(TorikomiBtn, u'I');
    auto* division = new QVBoxLayout;
    division->addWidget(divisionLabel);
    division->addWidget(KaikeiKubunCombo);
    division->addStretch(1);

    SiteiKamokuEdit->setReadOnly(true);
    SiteiKamokuEdit->setFocusPolicy(Qt::NoFocus);
    SiteiKamokuEdit->setToolTip(u"指定した科目の明細のみを表示します。"_s);
    SiteiKamokuEdit->setMinimumWidth(SiteiKamokuEdit->fontMetrics().horizontalAdvance(u'あ') * 12 + 12);
    SiteiKamokuBtn->setIcon(style()->standardIcon(QStyle::SP_FileDialogContentsView));
    auto* filter = new QGridLayout(FilterGroup);
    filter->addWidget(new QLabel(u"日 付 範 囲"_s, FilterGroup), 0, 0);
    auto* range = new QHBoxLayout;
    range->addWidget(DateFromEdit);
    range->addWidget(new QLabel(u"～"_s, FilterGroup));
    range->addWidget(DateToEdit);
    range->addStretch(1);
    filter->addLayout(range, 0, 1, 1, 2);
    filter->addWidget(new QLabel(u"科目(集計項目)"_s, FilterGroup), 1, 0);
    filter->addWidget(SiteiKamokuEdit, 1, 1);
    filter->addWidget(SiteiKamokuBtn, 1, 2);

    auto* lineButtons = new QVBoxLayout;
    for (QPushButton* b : {GyoTsuikaBtn, GyoSakujyoBtn, GyoCancelBtn})
        lineButtons->addWidget(b);
    lineButtons->addStretch(1);

    auto* balances = new QGridLayout(ZandakaGroup);
    auto* kurikosiLabel = new QLabel(u"前年度繰越額"_s, ZandakaGroup);
    kurikosiLabel->setToolTip(KurikosiEdit->toolTip());
    auto* zandakaLabel = new QLabel(u"今年度最終残"_s, ZandakaGroup);
    zandakaLabel->setToolTip(ZandakaEdit->toolTip());
    balances->addWidget(kurikosiLabel, 0, 0);
    balances->addWidget(KurikosiEdit, 0, 1);
    balances->addWidget(zandakaLabel, 1, 0);
    balances->addWidget(ZandakaEdit, 1, 1);

    auto* top = new QHBoxLayout;
    top->addLayout(division);
    top->addWidget(FilterGroup);
    top->addLayout(lineButtons);
    top->addStretch(1);
    top->addWidget(ZandakaGroup);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(DBNavigator1);
    bottom->addStretch(1);
    bottom->addWidget(TekiyoTourokuBtn);
    bottom->addWidget(AiteTourokuBtn);
    // The file buttons, apart from the line's list buttons.
    bottom->addSpacing(24);
    TorikomiBtn->setMinimumWidth(TorikomiBtn->fontMetrics().horizontalAdvance(TorikomiBtn->text()) + 48);
    bottom->addWidget(TorikomiBtn);
    bottom->addWidget(RuleBtn);
    bottom->addWidget(RuleFromLineBtn);
    bottom->addSpacing(24);
    bottom->addWidget(TeikiBtn);
    bottom->addWidget(KaihiBtn);

    DBGrid1->setToolTip(u"日々の入出金明細を入力します。"_s);
    DBGrid1->setMinimumSize(980, 420);
    auto* body = new QVBoxLayout(GroupBox1);
    body->addLayout(top);
    body->addWidget(DBGrid1, 1);
    body->addLayout(bottom);

    // The grid comes first: after loading, and after each line button, the
    // keyboard is back on the lines.
    QWidget* order[] = {DBGrid1,        KaikeiKubunCombo, DateFromEdit,   DateToEdit,
                        SiteiKamokuBtn, GyoTsuikaBtn,     GyoSakujyoBtn,  GyoCancelBtn,
                        DBNavigator1,   TekiyoTourokuBtn, AiteTourokuBtn, TorikomiBtn,
                        RuleBtn,        RuleFromLineBtn,  TeikiBtn,       KaihiBtn};
    setTabOrder(NyuryokuBtn, DBGrid1);
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);
    for (QLineEdit* box : {DateFromEdit, DateToEdit})
        box->installEventFilter(this);
}

db::Connection& TMeisaiNyuryokuForm::Connection() const {
    return DataModule1().SQLConnection1;
}

// ---------------------------------------------------------------- steps

void TMeisaiNyuryokuForm::PrepareWindow() {
    db::Connection& connection = Connection();
    for (data::SqlCommand* command : {&KamokuSQL, &KaikeiKubunSQL})
        command->SetConnection(&connection);
    ReadKamokuList();
    TTsubakiBaseForm2::PrepareWindow();
}

void TMeisaiNyuryokuForm::ReadKamokuList() {
    data::DsClose(SiteiKamokuClone);
    data::DsClose(KamokuClone);
    data::DsClose(KamokuClientDS);
    data::DsOpen(KamokuClientDS);
    // The blank entry, first (its aggregation code 9 sorts before every item), so
    // that the lists offer an empty choice.
    KamokuClientDS.First();
    KamokuClientDS.Insert();
    KamokuClientDS.FieldByName(u"CD"_s).SetValue(0);
    KamokuClientDS.FieldByName(u"KESSANSYO_KUBUN"_s).SetValue(9);
    for (const QString& name : {u"SYUSI_KUBUN"_s, u"BUNRUI"_s, u"TOKUBETSU_CD"_s})
        KamokuClientDS.FieldByName(name).SetValue(0);
    KamokuClientDS.Post();
    KamokuClientDS.MergeChangeLog();

    kamokuFacts_.clear();
    for (KamokuClientDS.First(); !KamokuClientDS.Eof(); KamokuClientDS.Next())
        kamokuFacts_.push_back({static_cast<int>(KamokuClientDS.FieldByName(u"CD"_s).AsInteger()),
                                static_cast<int>(KamokuClientDS.FieldByName(u"SYUSI_KUBUN"_s).AsInteger()),
                                static_cast<int>(KamokuClientDS.FieldByName(u"TOKUBETSU_CD"_s).AsInteger())});
    KamokuClone.CloneCursor(KamokuClientDS);
    SiteiKamokuClone.CloneCursor(KamokuClientDS);
}

std::optional<KamokuFacts> TMeisaiNyuryokuForm::FactsOf(int kamoku) const {
    for (const KamokuFacts& k : kamokuFacts_)
        if (k.cd == kamoku)
            return k;
    return std::nullopt;
}

void TMeisaiNyuryokuForm::CloseLoad() {
    wTran.reset();
    workChanged_ = false;
    data::DsClose(ClientDataSet1);
    data::DsClose(SQLDataSet1);
    data::DsClose(KaikeiKubunClientDS);
    KaikeiKubunCombo->RefreshList();
    if (claim_) {
        // The work rows go with the claim. Should that fail, the claim is let go all
        // the same: once this program ends its load counts as abandoned and the
        // next load removes it.
        struct DropClaim {
            std::optional<db::WorkKeyClaim>& claim;
            ~DropClaim() { claim.reset(); }
        } dropClaim{claim_};
        claim_->Release();
    }
    Jikoku.clear();
}

void TMeisaiNyuryokuForm::CloseData() {
    CloseLoad();
    data::DsClose(SiteiKamokuClone);
    data::DsClose(KamokuClone);
    data::DsClose(KamokuClientDS);
}

void TMeisaiNyuryokuForm::LoadData() {
    CloseLoad();
    nendo_ = GetNendo();

    data::SqlCommand NendoSQL(u"NendoSQL"_s, &Connection());
    NendoSQL.SetCommandText(u"select * from NENDO where (NENDO = :Nendo)"_s);
    SetQueryParams(NendoSQL);
    data::DataSet NendoClientDS(u"NendoClientDS"_s);
    NendoClientDS.SetCommand(&NendoSQL);
    data::DsOpen(NendoClientDS);
    if (NendoClientDS.IsEmpty())
        throw EAppError(QString::number(nendo_) + u"年度の基礎データが設定されていません。"_s);
    Kisyubi = NendoClientDS.FieldByName(u"KISYUBI"_s).AsString();
    Kimatsubi = NendoClientDS.FieldByName(u"KIMATSUBI"_s).AsString();
    data::DsClose(NendoClientDS);

    // A key no other window holds, on this computer or any other.
    claim_.emplace(Connection(), kWorkTable, nendo_, platform::FullHostName(), QDateTime::currentDateTime());
    Jikoku = claim_->Key().jikoku;

    KaikeiKubunSQL.SetParam(u"KAISI_NENDO"_s, nendo_);
    KaikeiKubunSQL.SetParam(u"SYURYO_NENDO"_s, nendo_);
    data::DsOpen(KaikeiKubunClientDS);
    KaikeiKubunCombo->SetListSource(&KaikeiKubunClientDS, u"TOKUBETSU_CD"_s, u"MEISYO"_s);

    // Taken before the copy: a save in between makes the save ask, rather than
    // slip past it.
    loadedYear_ = SavedYearStamp(Connection(), nendo_);
    CopyYearToWorkRows(Connection(), nendo_, claim_->Key());
    SinkiFlag = false;
    OfferAbandonedLines();

    SetKaikeiKubun(0);
    LoadDivisionRows();
}

void TMeisaiNyuryokuForm::ShowBrowseState() {
    TTsubakiBaseForm2::ShowBrowseState();
    for (QWidget* w : {static_cast<QWidget*>(KaikeiKubunCombo), static_cast<QWidget*>(SiteiKamokuBtn),
                       static_cast<QWidget*>(GyoTsuikaBtn), static_cast<QWidget*>(GyoSakujyoBtn),
                       static_cast<QWidget*>(GyoCancelBtn), static_cast<QWidget*>(TekiyoTourokuBtn),
                       static_cast<QWidget*>(AiteTourokuBtn), static_cast<QWidget*>(SyusiMeisaiBtn),
                       static_cast<QWidget*>(TsukibetsuSyukeiBtn), static_cast<QWidget*>(KakidasiBtn),
                       static_cast<QWidget*>(ZandakaGroup), static_cast<QWidget*>(TorikomiBtn),
                       static_cast<QWidget*>(RuleBtn), static_cast<QWidget*>(RuleFromLineBtn),
                       static_cast<QWidget*>(TeikiBtn), static_cast<QWidget*>(KaihiBtn)})
        w->setEnabled(false);
    DateFromEdit->clear();
    DateToEdit->clear();
    siteiKamoku_ = 0;
    SiteiKamokuEdit->clear();
    KaikeiKubunCombo->SetKeyValue(db::Value());
    KurikosiEdit->clear();
    ZandakaEdit->clear();
}

void TMeisaiNyuryokuForm::ShowEditState() {
    TTsubakiBaseForm2::ShowEditState();
    for (QWidget* w : {static_cast<QWidget*>(KaikeiKubunCombo), static_cast<QWidget*>(SiteiKamokuBtn),
                       static_cast<QWidget*>(GyoCancelBtn), static_cast<QWidget*>(TekiyoTourokuBtn),
                       static_cast<QWidget*>(AiteTourokuBtn), static_cast<QWidget*>(SyusiMeisaiBtn),
                       static_cast<QWidget*>(TsukibetsuSyukeiBtn), static_cast<QWidget*>(KakidasiBtn),
                       static_cast<QWidget*>(ZandakaGroup), static_cast<QWidget*>(TorikomiBtn),
                       static_cast<QWidget*>(RuleBtn), static_cast<QWidget*>(RuleFromLineBtn),
                       static_cast<QWidget*>(TeikiBtn), static_cast<QWidget*>(KaihiBtn)})
        w->setEnabled(true);
    UpdateLineButtons();
}

void TMeisaiNyuryokuForm::UpdateLineButtons() {
    const bool editing = SaveBtn->isEnabled() && ClientDataSet1.Active();
    const bool enabled =
        editing && ClientDataSet1.State() != data::DataSetState::Insert && ClientDataSet1.RecordCount() > 0;
    GyoTsuikaBtn->setEnabled(enabled);
    GyoSakujyoBtn->setEnabled(enabled);
}

bool TMeisaiNyuryokuForm::HasUnsavedChanges() const {
    // Posted lines live in the work rows, not in the grid's dataset.
    if (workChanged_)
        return true;
    return data::HasPendingEdit(ClientDataSet1) && !IsUntouchedLine(ClientDataSet1);
}

qint64 TMeisaiNyuryokuForm::UnsavedDues() {
    return claim_ ? UnsavedDuesLines(Connection(), claim_->Key()) : 0;
}

bool TMeisaiNyuryokuForm::ConfirmDuesLoss(qint64 dues) {
    // Dues lines not yet saved are lost with the load, while their payments stay:
    // the user is told what that leaves and how to mend it, and may keep them.
    return Dialogs().MessageDlg(
               u"会費徴収で作った明細が%1行、まだ保存されていません。\r\n"
               u"キャンセルするとこの明細は失われ、会費の納付と収支明細が合わなくなります。\r\n"
               u"（会費徴収の「仕訳を作り直す」で作り直せます）\r\n\r\n"
               u"キャンセルしてもよろしいですか?"_s.arg(dues),
               MsgDlgType::Warning, mbYes | mbNo, mbNo) == ModalResult::Yes;
}

bool TMeisaiNyuryokuForm::ConfirmDiscard() {
    const qint64 dues = UnsavedDues();
    if (dues == 0)
        return TTsubakiBaseForm2::ConfirmDiscard();
    duesLossConfirmed_ = ConfirmDuesLoss(dues);
    return duesLossConfirmed_;
}

void TMeisaiNyuryokuForm::CancelEdit() {
    if (!std::exchange(duesLossConfirmed_, false)) {
        const qint64 dues = UnsavedDues();
        if (dues > 0 && !ConfirmDuesLoss(dues))
            throw EAbort();
    }
    TTsubakiBaseForm2::CancelEdit();
    wTran.reset();
}

int TMeisaiNyuryokuForm::GetKaikeiKubun() {
    const db::Value key = KaikeiKubunCombo->KeyValue();
    return key.IsNull() ? 0 : static_cast<int>(key.AsInteger());
}

void TMeisaiNyuryokuForm::SetKaikeiKubun(int code) {
    KaikeiKubunCombo->SetKeyValue(code);
}

// ---------------------------------------------------------------- a division

void TMeisaiNyuryokuForm::LoadDivisionRows() {
    kaikeiKubun_ = GetKaikeiKubun();
    const QString hidden = AllowedItemsFilter(kaikeiKubun_);
    for (data::DataSet* view : {&KamokuClone, &SiteiKamokuClone}) {
        view->SetFilter(hidden);
        view->SetFiltered(true);
    }
    ShowSiteiKamoku();

    wTran.reset();
    data::DsClose(ClientDataSet1);
    SetQueryParams(SQLDataSet1);
    data::DsOpen(ClientDataSet1);
    ApplyDisplayFilter();
    LoadKurikosi();
    LoadZandaka();
}

void TMeisaiNyuryokuForm::KaikeiKubunComboChange() {
    if (GetKaikeiKubun() == kaikeiKubun_ && ClientDataSet1.Active())
        return;
    try {
        PostOrDropLine();
    } catch (...) {
        SetKaikeiKubun(kaikeiKubun_);  // the line being typed keeps its division
        throw;
    }
    LoadDivisionRows();
}

void TMeisaiNyuryokuForm::LoadKurikosi() {
    data::SqlCommand KurikosiSQL(u"KurikosiSQL"_s, &Connection());
    KurikosiSQL.SetCommandText(db::OpeningBalanceSql());
    SetQueryParams(KurikosiSQL);
    const auto rows = KurikosiSQL.Select();
    const db::Value value = rows.rows.empty() ? db::Value() : rows.rows.front().front();
    kurikosi_ = value.AsInteger();
    KurikosiEdit->setText(value.IsNull() || kurikosi_ == 0 ? QString()
                                                           : data::FormatNumber(kurikosi_, kAmountFormat));
}

void TMeisaiNyuryokuForm::LoadZandaka() {
    zandaka_ = SumWorkRows();
    ShowZandaka();
}

qint64 TMeisaiNyuryokuForm::SumWorkRows(const std::optional<db::Value>& seqNo) {
    data::SqlCommand ZandakaSQL(u"ZandakaSQL"_s, &Connection());
    ZandakaSQL.SetCommandText(Sql(seqNo ? kLineZandakaSql : kZandakaSql));
    SetQueryParams(ZandakaSQL);
    ZandakaSQL.SetParam(u"KAIKEI_KUBUN"_s, kaikeiKubun_);
    if (seqNo)
        ZandakaSQL.SetParam(u"SEQ_NO"_s, *seqNo);
    const auto rows = ZandakaSQL.Select();
    return rows.rows.empty() ? 0 : rows.rows.front()[0].AsInteger() - rows.rows.front()[1].AsInteger();
}

void TMeisaiNyuryokuForm::ShowZandaka() {
    ZandakaEdit->setText(data::FormatNumber(kurikosi_ + zandaka_, kAmountFormat));
}

void TMeisaiNyuryokuForm::CommitLine() {
    try {
        wTran->Commit();
    } catch (...) {
        wTran.reset();
        throw;
    }
    wTran.reset();
    workChanged_ = true;
    zandaka_ += lineChange_;
    ShowZandaka();
}

// ---------------------------------------------------------------- display filter

QString TMeisaiNyuryokuForm::MmddToHizuke(const QString& mmdd) const {
    return ::MmddToHizuke(mmdd, Kisyubi);
}

QString TMeisaiNyuryokuForm::DateValue(const QLineEdit* edit) const {
    return MaskedTextToValue(edit->displayText(), kMmddPicture, false);
}

void TMeisaiNyuryokuForm::ApplyDisplayFilter() {
    if (!ClientDataSet1.Active())
        return;
    PostOrDropLine();
    filteredFrom_ = DateValue(DateFromEdit);
    filteredTo_ = DateValue(DateToEdit);
    const QString filter =
        DisplayFilterText(MmddToHizuke(filteredFrom_), MmddToHizuke(filteredTo_), siteiKamoku_);
    // One refiltering of the lines at most.
    if (filter.isEmpty()) {
        ClientDataSet1.SetFiltered(false);
        ClientDataSet1.SetFilter(QString());
    } else {
        ClientDataSet1.SetFilter(filter);
        ClientDataSet1.SetFiltered(true);
    }
    data::DsAppend(ClientDataSet1);
}

void TMeisaiNyuryokuForm::ClearDisplayFilter() {
    DateFromEdit->clear();
    DateToEdit->clear();
    filteredFrom_.clear();
    filteredTo_.clear();
    siteiKamoku_ = 0;
    ShowSiteiKamoku();
    ClientDataSet1.SetFiltered(false);
    ClientDataSet1.SetFilter(QString());
}

void TMeisaiNyuryokuForm::ShowSiteiKamoku() {
    const auto name =
        siteiKamoku_ == 0 ? std::nullopt : SiteiKamokuClone.Lookup(u"CD"_s, {siteiKamoku_}, u"MEISYO"_s);
    SiteiKamokuEdit->setText(name ? name->AsString() : QString());
}

void TMeisaiNyuryokuForm::DateEditExit() {
    // Walking past the date boxes with the keyboard changes nothing: only new dates
    // filter the lines again (and start a new line).
    if (SaveBtn->isEnabled() &&
        (DateValue(DateFromEdit) != filteredFrom_ || DateValue(DateToEdit) != filteredTo_))
        ApplyDisplayFilter();
}

void TMeisaiNyuryokuForm::SiteiKamokuBtnClick() {
    TKamokuSelectForm picker(nendo_, SiteiKamokuBtn->rect().translated(SiteiKamokuBtn->mapToGlobal(QPoint())),
                             this);
    picker.SetItemFilter(AllowedItemsFilter(kaikeiKubun_));
    if (picker.exec() != QDialog::Accepted)
        return;
    siteiKamoku_ = static_cast<int>(picker.SelectedKamoku().AsInteger());
    ShowSiteiKamoku();
    ApplyDisplayFilter();
}

// ---------------------------------------------------------------- lines

int TMeisaiNyuryokuForm::NextSeqNo() {
    // From the database's sequence: two computers starting lines at once never get
    // one number, and the halves of a line are found by it.
    return db::NextLineNumber(Connection());
}

void TMeisaiNyuryokuForm::SelectFirstEditableColumn() {
    DBGrid1->SelectFirstEditableColumn();
}

void TMeisaiNyuryokuForm::ClientDataSet1NewRecord(data::DataSet& ds) {
    ds.FieldByName(u"CPU_NAME"_s).SetComputedValue(GetComputerNameStr());
    ds.FieldByName(u"JIKOKU"_s).SetComputedValue(Jikoku);
    ds.FieldByName(u"SEQ_NO"_s).SetComputedValue(NextSeqNo());
    ds.FieldByName(u"NENDO"_s).SetComputedValue(nendo_);
    ds.FieldByName(u"KAIKEI_KUBUN"_s).SetComputedValue(kaikeiKubun_);
}

bool TMeisaiNyuryokuForm::IsUntouchedLine(const data::DataSet& ds) const {
    if (ds.State() != data::DataSetState::Insert)
        return false;
    for (const QString& name : {u"MMDD"_s, u"AITE"_s, u"TEKIYO"_s})
        if (!IsBlank(ds.FieldByName(name).Value()))
            return false;
    for (const QString& name : {u"KAMOKU"_s, u"SYUNYU"_s, u"SISYUTSU"_s})
        if (!IsZero(ds.FieldByName(name).Value()))
            return false;
    return true;
}

void TMeisaiNyuryokuForm::PostOrDropLine() {
    if (!ClientDataSet1.Active() || !ClientDataSet1.IsEditing())
        return;
    DataSource1.UpdateRecord();
    if (IsUntouchedLine(ClientDataSet1))
        data::DsCancel(ClientDataSet1);
    else
        data::DsPost(ClientDataSet1);
}

void TMeisaiNyuryokuForm::DeleteHalves(const db::Value& seqNo) {
    data::SqlCommand DeleteSQL(u"W_MEISAI"_s, &Connection());
    DeleteSQL.SetCommandText(Sql(kDeleteHalvesSql));
    SetQueryParams(DeleteSQL);
    DeleteSQL.SetParam(u"SEQ_NO"_s, seqNo);
    DeleteSQL.Execute();
}

void TMeisaiNyuryokuForm::InsertWorkRow(const data::DataSet& ds, const std::optional<MirrorHalf>& mirror) {
    data::SqlCommand InsertSQL(u"W_MEISAI"_s);
    InsertSQL.SetCommandText(Sql(kInsertWorkRowSql));
    db::Connection::Params row;
    for (const QString& name : InsertSQL.ParamNames())
        row.emplace_back(name, ds.FieldByName(name).Value());
    InsertWorkRow(std::move(row), mirror);
}

void TMeisaiNyuryokuForm::InsertWorkRow(db::Connection::Params row, const std::optional<MirrorHalf>& mirror) {
    if (mirror) {
        const auto valueOf = [&row](const QString& name) {
            for (const auto& [n, v] : row)
                if (n.compare(name, Qt::CaseInsensitive) == 0)
                    return v;
            return db::Value();
        };
        const db::Value syunyu = valueOf(u"SYUNYU"_s);
        const db::Value sisyutsu = valueOf(u"SISYUTSU"_s);
        data::SetParamValue(row, u"KAIKEI_KUBUN"_s, mirror->kaikeiKubun);
        data::SetParamValue(row, u"KAMOKU"_s, mirror->kamoku);
        data::SetParamValue(row, u"SYUNYU"_s, sisyutsu);
        data::SetParamValue(row, u"SISYUTSU"_s, syunyu);
    }
    Connection().Execute(Sql(kInsertWorkRowSql), row);
}

void TMeisaiNyuryokuForm::ClientDataSet1BeforePost(data::DataSet& ds) {
    wTran.reset();
    // A new line nobody filled in (posted by moving the cursor) stays out of the
    // work rows; it is gone with the next showing of the division.
    if (IsUntouchedLine(ds))
        return;
    ds.FieldByName(u"KOUSIN_FLAG"_s).SetComputedValue(2);
    wTran.emplace(Connection());
    try {
        // The line's rows are all its number's rows: the balance changes by their
        // sum after the rewrite less their sum before it.
        const db::Value seqNo = ds.FieldByName(u"SEQ_NO"_s).Value();
        const qint64 before = SumWorkRows(seqNo);
        DeleteHalves(seqNo);
        InsertWorkRow(ds, std::nullopt);
        const db::Value kamoku = ds.FieldByName(u"KAMOKU"_s).Value();
        if (!kamoku.IsNull()) {
            if (const auto item = FactsOf(static_cast<int>(kamoku.AsInteger()))) {
                const int division = static_cast<int>(ds.FieldByName(u"KAIKEI_KUBUN"_s).AsInteger());
                if (const auto mirror = MirroredHalf(division, *item, kamokuFacts_))
                    InsertWorkRow(ds, mirror);
            }
        }
        lineChange_ = SumWorkRows(seqNo) - before;
    } catch (...) {
        wTran.reset();
        throw;
    }
}

void TMeisaiNyuryokuForm::ClientDataSet1AfterPost(data::DataSet&) {
    if (wTran)
        CommitLine();
}

void TMeisaiNyuryokuForm::ClientDataSet1BeforeDelete(data::DataSet& ds) {
    wTran.reset();
    wTran.emplace(Connection());
    try {
        const db::Value seqNo = ds.FieldByName(u"SEQ_NO"_s).Value();
        lineChange_ = -SumWorkRows(seqNo);
        DeleteHalves(seqNo);
    } catch (...) {
        wTran.reset();
        throw;
    }
}

void TMeisaiNyuryokuForm::ClientDataSet1AfterDelete(data::DataSet&) {
    if (wTran)
        CommitLine();
    else
        LoadZandaka();  // the deletion's transaction ended elsewhere: count afresh
    SelectFirstEditableColumn();
}

// ---------------------------------------------------------------- saving

QString TMeisaiNyuryokuForm::SavedStatusText() {
    return u"保存しました。 %1行"_s.arg(data::FormatNumber(savedLines_, kAmountFormat));
}

void TMeisaiNyuryokuForm::PostEdit() {
    PostOrDropLine();
    CheckLines();
}

void TMeisaiNyuryokuForm::SaveData() {
    overwriteDeclined_ = false;
    try {
        TTsubakiBaseForm2::SaveData();
    } catch (const EAppError&) {
        if (overwriteDeclined_)
            throw EAbort();  // the user chose not to save: nothing to report
        throw;
    }
}

bool TMeisaiNyuryokuForm::ConfirmOverwrite() {
    // Saving replaces the whole year. Lines another computer (or another window)
    // saved after this load would vanish with it: the user decides.
    if (Dialogs().MessageDlg(
            u"この年度の明細は、読み込んだ後に他のコンピュータまたは他の画面で保存されています。\r\n"
            u"このまま保存すると、その明細は失われます。保存してもよろしいですか? "_s,
            MsgDlgType::Warning, mbYes | mbNo, mbNo) == ModalResult::Yes)
        return true;
    overwriteDeclined_ = true;
    return false;
}

void TMeisaiNyuryokuForm::OfferAbandonedLines() {
    const QString host = platform::FullHostName();
    const auto unsavedLines = [this](const db::WorkKey& key) {
        return Connection()
            .Select(Sql(kUnsavedLineCountSql),
                    {{u"OLD_CPU_NAME"_s, key.cpuName}, {u"OLD_JIKOKU"_s, key.jikoku}})
            .rows.at(0)
            .at(0)
            .AsInteger();
    };
    std::vector<db::AbandonedLoad> offered;
    qint64 lines = 0;
    qint64 dues = 0;
    for (const db::AbandonedLoad& load : db::AbandonedLoads(Connection(), kWorkTable)) {
        const qint64 unsaved = unsavedLines(load.key);
        if (unsaved > 0 && db::IsFromComputer(load, host) && load.nendo == nendo_) {
            offered.push_back(load);
            lines += unsaved;
            dues += UnsavedDuesLines(Connection(), load.key);
        } else if (unsaved == 0) {
            // A bare copy of a year: nothing anyone could want back.
            db::DiscardLoad(Connection(), kWorkTable, load);
        }
        // Unsaved lines of another computer or year wait for a load there.
    }
    if (offered.empty())
        return;
    const QDateTime at = QDateTime::fromString(offered.back().key.jikoku, u"yyyyMMddhhmmss"_s);
    const bool recover =
        Dialogs().MessageDlg(
            u"前回保存されなかった明細があります。\r\n"
            u"（%1件、%2 に入力を始めたもの）\r\n\r\n"
            u"この明細を読み込みますか？\r\n"
            u"「いいえ」を選ぶと、この明細は削除されます。"_s.arg(lines)
                    .arg(at.toString(u"yyyy/MM/dd hh:mm"_s)) +
                (dues == 0 ? QString()
                           : u"\r\n（うち%1件は会費徴収で作った明細です。削除すると会費の納付と"
                             u"収支明細が合わなくなります）"_s.arg(dues)),
            MsgDlgType::Confirmation, mbYes | mbNo, mbYes) == ModalResult::Yes;
    // Oldest first: a line posted in several lost windows comes back as last posted.
    for (const db::AbandonedLoad& load : offered) {
        TLineTransaction transaction(Connection());
        if (recover) {
            const db::Connection::Params params{{u"CPU_NAME"_s, GetComputerNameStr()},
                                                {u"JIKOKU"_s, Jikoku},
                                                {u"OLD_CPU_NAME"_s, load.key.cpuName},
                                                {u"OLD_JIKOKU"_s, load.key.jikoku}};
            Connection().Execute(Sql(kDropRecoveredLinesSql), params);
            Connection().Execute(Sql(kRecoverLinesSql), params);
        }
        // Taken over (or dropped) only while it is still abandoned.
        if (db::DiscardLoad(Connection(), kWorkTable, load)) {
            transaction.Commit();
            // Lines brought back are unsaved work: leaving asks before they go.
            workChanged_ = workChanged_ || recover;
        }
    }
}

void TMeisaiNyuryokuForm::CheckLines() {
    if (!ClientDataSet1.Active())
        return;
    CheckShownDivision();
    CheckOtherDivisions();
}

std::optional<LineError> TMeisaiNyuryokuForm::CheckLineIn(const LineValues& line, int division) const {
    const auto tokubetsuOf = [this](int kamoku) -> std::optional<int> {
        const auto item = FactsOf(kamoku);
        return item ? std::optional<int>(item->tokubetsuCd) : std::nullopt;
    };
    return CheckLine(line, Kisyubi, Kimatsubi, division, tokubetsuOf);
}

void TMeisaiNyuryokuForm::CheckOtherDivisions() {
    // Lines typed in another division (or written there as a transfer's other half)
    // would otherwise reach the saved year unchecked: a wrong date or item there
    // goes wrong in every listing and statement.
    const auto rows = Connection()
                          .Select(Sql(kChangedLinesElsewhereSql), {{u"CPU_NAME"_s, GetComputerNameStr()},
                                                                   {u"JIKOKU"_s, Jikoku},
                                                                   {u"KAIKEI_KUBUN"_s, kaikeiKubun_}})
                          .rows;
    for (const auto& row : rows) {
        const int division = static_cast<int>(row[1].AsInteger());
        const LineValues line{row[2].AsString(), row[3], row[4], row[5]};
        if (const auto error = CheckLineIn(line, division)) {
            SetKaikeiKubun(division);
            LoadDivisionRows();
            ShowLine(row[0], error->column);
            throw EAppError(error->message);
        }
    }
}

void TMeisaiNyuryokuForm::CheckShownDivision() {
    // Every line of the division, whatever the display filter hides.
    data::DataSet lines(u"CheckClone"_s);
    lines.CloneCursor(ClientDataSet1);
    const data::Field& flag = lines.FieldByName(u"KOUSIN_FLAG"_s);
    for (lines.First(); !lines.Eof(); lines.Next()) {
        if (flag.IsNull())
            continue;
        const LineValues line{lines.FieldByName(u"HIZUKE"_s).AsString(),
                              lines.FieldByName(u"KAMOKU"_s).Value(), lines.FieldByName(u"SYUNYU"_s).Value(),
                              lines.FieldByName(u"SISYUTSU"_s).Value()};
        if (const auto error = CheckLineIn(line, kaikeiKubun_)) {
            const db::Value seqNo = lines.FieldByName(u"SEQ_NO"_s).Value();
            lines.Close();
            ShowLine(seqNo, error->column);
            throw EAppError(error->message);
        }
    }
}

void TMeisaiNyuryokuForm::ShowLine(const db::Value& seqNo, LineColumn column) {
    if (!ClientDataSet1.Locate(u"SEQ_NO"_s, {seqNo})) {
        ClearDisplayFilter();  // the line is hidden by it
        ClientDataSet1.Locate(u"SEQ_NO"_s, {seqNo});
    }
    DBGrid1->SetSelectedField(column == LineColumn::Hizuke   ? u"MMDD"_s
                              : column == LineColumn::Kamoku ? u"KAMOKU_MEI"_s
                                                             : u"SYUNYU"_s);
    // Once the message is closed, the keyboard is on the line to correct.
    QMetaObject::invokeMethod(
        this, [this] { DBGrid1->setFocus(Qt::OtherFocusReason); }, Qt::QueuedConnection);
}

void TMeisaiNyuryokuForm::ApplyChanges() {
    const YearStamp stamp =
        SaveYear(Connection(), nendo_, *claim_, loadedYear_, [this] { return ConfirmOverwrite(); });
    savedLines_ = static_cast<int>(stamp.lines);
    // A further save from this load has nothing to ask about once this one is in.
    Connection().OnTransactionEnd([this, stamp](bool committed) {
        if (committed)
            loadedYear_ = stamp;
    });
}

// ---------------------------------------------------------------- grid and cells

void TMeisaiNyuryokuForm::DBGrid1Exit(QWidget* target) {
    if (!ClientDataSet1.Active() || !ClientDataSet1.IsEditing() || !SaveBtn->isEnabled())
        return;
    if (target == CancelBtn || target == GyoCancelBtn || target == GyoSakujyoBtn) {
        data::DsCancel(ClientDataSet1);
        return;
    }
    try {
        PostOrDropLine();
    } catch (...) {
        DBGrid1->setFocus(Qt::OtherFocusReason);
        throw;
    }
}

void TMeisaiNyuryokuForm::KamokuCellSetText(const QString& text) {
    // Typed: an item's code or its name as listed; empty clears the item.
    data::Field& kamoku = ClientDataSet1.FieldByName(u"KAMOKU"_s);
    const QString typed = TrimZen(text);
    if (typed.isEmpty()) {
        kamoku.Clear();
        return;
    }
    bool isCode = false;
    const int code = ToHankaku(typed).toInt(&isCode);
    auto found = isCode ? KamokuClone.Lookup(u"CD"_s, {code}, u"CD"_s)
                        : KamokuClone.Lookup(u"MEISYO"_s, {typed}, u"CD"_s);
    if (!found && !isCode)
        found = ItemByBareName(typed);
    if (!found || found->AsInteger() == 0)
        throw EAppError(u"科目(集計項目)が登録されていません。"_s);
    kamoku.SetValue(*found);
}

std::optional<db::Value> TMeisaiNyuryokuForm::ItemByBareName(const QString& typed) const {
    // The list shows aggregated items as "収入 会費"; typing "会費" alone is
    // enough when one offered item carries that name.
    const data::Field& name = KamokuClone.FieldByName(u"MEISYO"_s);
    const data::Field& cd = KamokuClone.FieldByName(u"CD"_s);
    std::optional<db::Value> match;
    for (int row = 0; row < KamokuClone.DisplayRowCount(); ++row) {
        if (!IsListedNameOf(KamokuClone.DisplayValue(row, name).AsString(), typed))
            continue;
        if (match)
            return std::nullopt;  // two items of that name: the code or the full name decides
        match = KamokuClone.DisplayValue(row, cd);
    }
    return match;
}

void TMeisaiNyuryokuForm::KamokuCellButtonClick() {
    const QRect cell = DBGrid1->visualRect(DBGrid1->currentIndex());
    TKamokuSelectForm picker(nendo_, cell.translated(DBGrid1->viewport()->mapToGlobal(QPoint())), this);
    // Only what the division's own list offers: a picked item must show and save.
    picker.SetItemFilter(AllowedItemsFilter(kaikeiKubun_));
    if (picker.exec() == QDialog::Accepted)
        PutInLine(u"KAMOKU"_s, picker.SelectedKamoku());
}

void TMeisaiNyuryokuForm::PutInLine(const QString& fieldName, const db::Value& value) {
    if (!ClientDataSet1.IsEditing())
        data::DsEdit(ClientDataSet1);
    ClientDataSet1.FieldByName(fieldName).SetValue(value);
}

void TMeisaiNyuryokuForm::AiteCellButtonClick() {
    TAiteKensakuForm search(this);
    if (search.exec() == QDialog::Accepted)
        PutInLine(u"AITE"_s, search.SelectedMeisyo());
}

void TMeisaiNyuryokuForm::TekiyoCellButtonClick() {
    TTekiyoKensakuForm search(this);
    if (search.exec() == QDialog::Accepted)
        PutInLine(u"TEKIYO"_s, search.SelectedMeisyo());
}

// ---------------------------------------------------------------- buttons

void TMeisaiNyuryokuForm::GyoTsuikaBtnClick() {
    PostOrDropLine();
    data::DsAppend(ClientDataSet1);
    FocusFirstControl();
}

void TMeisaiNyuryokuForm::GyoSakujyoBtnClick() {
    if (ClientDataSet1.IsEditing())
        data::DsCancel(ClientDataSet1);
    if (!ClientDataSet1.IsEmpty())
        data::DsDelete(ClientDataSet1);
    FocusFirstControl();
}

void TMeisaiNyuryokuForm::GyoCancelBtnClick() {
    if (ClientDataSet1.IsEditing())
        data::DsCancel(ClientDataSet1);
    FocusFirstControl();
}

void TMeisaiNyuryokuForm::TekiyoTourokuBtnClick() {
    const QString text = TrimZen(ClientDataSet1.FieldByName(u"TEKIYO"_s).AsString());
    if (text.isEmpty())
        return;
    TTekiyoTourokuForm dialog(text, this);
    dialog.exec();
}

void TMeisaiNyuryokuForm::AiteTourokuBtnClick() {
    const QString text = TrimZen(ClientDataSet1.FieldByName(u"AITE"_s).AsString());
    if (text.isEmpty())
        return;
    TAiteTourokuForm dialog(text, this);
    dialog.exec();
}

void TMeisaiNyuryokuForm::SyusiMeisaiBtnClick() {
    PostOrDropLine();
    TExlSyusiMeisaiModule report;
    TReportProgressDialog progress(this, SyusiMeisaiBtn->text());
    report.SetProgress(&progress);
    report.SetNendo(nendo_);
    report.SetJikoku(Jikoku);
    report.SetKaisibi(MmddToHizuke(DateValue(DateFromEdit)));
    report.SetSyuryobi(MmddToHizuke(DateValue(DateToEdit)));
    report.SetSiteiKamoku(siteiKamoku_);
    report.SetTaisyoKubun(siteiKamoku_ != 0 ? kaikeiKubun_ : -1);
    report.Execute();
}

void TMeisaiNyuryokuForm::TsukibetsuSyukeiBtnClick() {
    PostOrDropLine();
    TExlTsukibetsuSyukeiModule report;
    TReportProgressDialog progress(this, TsukibetsuSyukeiBtn->text());
    report.SetProgress(&progress);
    report.SetNendo(nendo_);
    report.SetJikoku(Jikoku);
    report.Execute();
}

void TMeisaiNyuryokuForm::KakidasiBtnClick() {
    // What the window shows, saved or not, as its workbooks do.
    PostOrDropLine();
    const QStringList filters{u"CSV (UTF-8) (*.csv)"_s, u"ledger / hledger (*.journal)"_s};
    // Beside the workbooks when that folder is there yet, else in the home folder.
    const QString reports = ReadReportOutputFolder();
    const QString folder = QFileInfo(reports).isDir() ? reports : platform::HomeFolder();
    const QString suggested =
        folder + u"/収支明細_"_s + CurrentDantai + u'_' + QString::number(nendo_) + u".csv"_s;
    const auto choice = Dialogs().SaveFile(u"収支明細の書出"_s, suggested, filters);
    if (!choice)
        return;
    const bool csv = choice->filter == 0;
    // The name follows the format chosen: the suggested .csv becomes .journal.
    QString path = choice->path;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (!csv && suffix == u"csv"_s)
        path.chop(4);
    else if (csv && suffix == u"journal"_s)
        path.chop(8);
    if (QFileInfo(path).suffix().isEmpty())
        path += csv ? u".csv"_s : u".journal"_s;
    const int written = WriteJournalFile(Connection(), {nendo_, claim_->Key()},
                                         csv ? JournalFormat::Csv : JournalFormat::Ledger, path);
    ShowMessage(u"%1件の明細を書き出しました。\r\n%2"_s.arg(written).arg(path));
}

// ---------------------------------------------------------------- 取込

void TMeisaiNyuryokuForm::TorikomiBtnClick() {
    PostOrDropLine();
    // Imported lines could never be saved into a closed year.
    db::RefuseClosedYear(Connection(), nendo_);
    const std::optional<QString> path = Dialogs().OpenFile(
        u"取り込むCSVファイル"_s, importFolder_.isEmpty() ? QDir::homePath() : importFolder_,
        u"CSVファイル|*.csv;*.CSV;*.txt;*.TXT"_s);
    if (!path)
        return;
    importFolder_ = QFileInfo(*path).absolutePath();
    QFile source(*path);
    if (!source.open(QIODevice::ReadOnly))
        throw EAppError(u"ファイルを開けません。\r\n"_s + *path);
    // The file is read as a stream, twice, and refused at once when it holds more
    // than one import takes: its size, a row or a field beyond reason.
    const CsvLimits limits;
    const auto named = [&path](const EAppError& e) { return EAppError(e.Message() + u"\r\n"_s + *path); };
    CsvSurvey survey;
    try {
        TImportProgress progress(this, u"ファイルを読んでいます…"_s);
        survey = SurveyCsv(source, limits, std::ref(progress));
    } catch (const EAppError& e) {
        throw named(e);
    }
    if (survey.rowCount == 0)
        throw EAppError(u"ファイルに取り込む行がありません。\r\n"_s + *path);

    // The journal's own export is read as it is; any other file's columns are
    // chosen by the user.
    ImportContext context = ImportContextOfLoad();
    context.rules = LoadImportRules(Connection());
    ColumnMapping mapping = ExportMapping();
    if (!IsExportHeading(survey.firstRows.front().fields)) {
        TTorikomiSetteiForm setting(*path, survey, KaikeiKubunCombo->currentText(), this);
        setting.OfferDefaultItems(ListedItems(context), !context.rules.empty());
        if (setting.exec() != QDialog::Accepted)
            return;
        mapping = setting.Mapping();
    }
    ImportCheck check;
    try {
        TImportProgress progress(this, u"ファイルの行を確かめています…"_s);
        if (!source.seek(0))
            throw EAppError(u"ファイルを読めません。"_s);
        ForEachCsvRow(
            source, survey.encoding, limits,
            [&](CsvRow&& row) {
                if (row.row > 1 || !mapping.firstRowIsHeading)
                    CheckImportRow(row, mapping, context, check);
            },
            std::ref(progress));
    } catch (const EAppError& e) {
        throw named(e);
    }
    source.close();
    FinishImportCheck(check);
    if (!check.errors.empty()) {
        // All or nothing: a file half imported is harder to put right than one
        // corrected and imported again.
        TTorikomiErrorForm refused(*path, check.errors, this);
        refused.exec();
        return;
    }
    if (check.lines.empty())
        throw EAppError(u"ファイルに取り込む行がありません。\r\n"_s + *path);
    if (check.lines.size() > static_cast<std::size_t>(kMaxImportLines))
        throw named(
            EAppError(u"取り込む明細が多すぎます（%1行）。\r\n一度に取り込めるのは%2行までです。"_s.arg(
                data::FormatNumber(static_cast<qint64>(check.lines.size()), kAmountFormat),
                data::FormatNumber(kMaxImportLines, kAmountFormat))));
    // Rows the year has already, and rows whose item a rule chose, are shown
    // first; the user keeps or leaves each.
    std::vector<ImportLine> lines = check.lines;
    std::vector<LineKey> keys;
    for (const ImportLine& l : lines)
        keys.push_back({l.hizuke, l.kaikeiKubun, l.syunyu.IsNull() ? 0 : l.syunyu.AsInteger(),
                        l.sisyutsu.IsNull() ? 0 : l.sisyutsu.AsInteger(),
                        l.tekiyo.IsNull() ? QString() : l.tekiyo.AsString()});
    const std::vector<bool> duplicate = ProbableDuplicates(keys, WorkLineKeys(Connection(), claim_->Key()));
    if (NeedsKakunin(lines, duplicate)) {
        TTorikomiKakuninForm kakunin(*path, KakuninRows(lines, duplicate, context), this);
        if (kakunin.exec() != QDialog::Accepted)
            return;
        const std::vector<bool> kept = kakunin.Kept();
        std::vector<ImportLine> chosen;
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (kept[i])
                chosen.push_back(std::move(lines[i]));
        lines = std::move(chosen);
        if (lines.empty()) {
            ShowMessage(u"取り込む行がないため、何も取り込みませんでした。"_s);
            return;
        }
    }
    const std::vector<ImportEntry> entries = PairTransfers(lines, kamokuFacts_);
    int first = 0;
    {
        TImportProgress progress(this, u"明細を取り込んでいます…"_s);
        first = WriteImportedLines(entries, std::ref(progress));
    }
    LoadDivisionRows();
    // The lines stand among the others in date order: the cursor goes to the
    // first one imported into the division shown.
    const auto shown = std::find_if(entries.begin(), entries.end(), [this](const ImportEntry& e) {
        return e.line.kaikeiKubun == kaikeiKubun_ || (e.mirror && e.mirror->kaikeiKubun == kaikeiKubun_);
    });
    if (shown != entries.end()) {
        PostOrDropLine();
        ClientDataSet1.Locate(u"SEQ_NO"_s, {first + static_cast<int>(shown - entries.begin())});
    }
    ShowMessage(
        u"%1行の明細を取り込みました。まだ保存していません。\r\n"
        u"内容を確かめて「保存」を押してください。\r\n"
        u"「キャンセル」を押すと、取り込んだ明細は破棄されます。"_s.arg(
            data::FormatNumber(static_cast<qint64>(entries.size()), kAmountFormat)) +
        UnmatchedRowsNote(lines));
}

void TMeisaiNyuryokuForm::TeikiBtnClick() {
    PostOrDropLine();
    const ImportContext context = ImportContextOfLoad();
    TTeikiSakuseiForm sakusei(Connection(), MonthsOfYear(Kisyubi, Kimatsubi), ListedItems(context),
                              context.divisions, this);
    if (sakusei.exec() != QDialog::Accepted)
        return;
    const std::vector<TeikiTemplate> templates = LoadTeikiTemplates(Connection());
    const std::vector<TeikiLine> lines =
        TeikiLines(templates, sakusei.FromMonth(), sakusei.ToMonth(), Kisyubi, Kimatsubi,
                   WorkLineKeys(Connection(), claim_->Key()));
    if (lines.empty()) {
        ShowMessage(u"作成する明細はありません。選んだ月の定期明細は作成済みです。"_s);
        return;
    }
    const TeikiEntries entries = TeikiImportLines(templates, lines, context);
    if (!entries.error.isEmpty())
        throw EAppError(entries.error + u"\r\n定期明細設定で直してください。"_s);
    WriteImportedLines(PairTransfers(entries.lines, kamokuFacts_), [](qint64, qint64) { return true; });
    LoadDivisionRows();
    ShowMessage(u"%1行の定期明細を作成しました。まだ保存していません。"_s.arg(entries.lines.size()));
}

void TMeisaiNyuryokuForm::OpenRules(const std::optional<ImportRule>& proposed) {
    const ImportContext context = ImportContextOfLoad();
    TTorikomiRuleForm rules(Connection(), ListedItems(context), context.divisions, this);
    if (proposed)
        rules.Propose(*proposed);
    rules.exec();
}

QString TMeisaiNyuryokuForm::UnmatchedRowsNote(const std::vector<ImportLine>& lines) {
    QStringList rows;
    for (const ImportLine& l : lines)
        if (l.itemFrom == ImportLine::ItemFrom::Default)
            rows << QString::number(l.row);
    if (rows.isEmpty())
        return {};
    return u"\r\n\r\nどのルールにも合わなかった行（科目を確かめてください）：%1行目"_s.arg(
        rows.join(u"、"_s));
}

std::vector<ImportItemName> TMeisaiNyuryokuForm::ListedItems(const ImportContext& context) {
    // The list's names come first in the context, one per item.
    std::vector<ImportItemName> listed;
    for (const ImportItemName& item : context.itemNames)
        if (std::none_of(listed.begin(), listed.end(),
                         [&item](const ImportItemName& l) { return l.cd == item.cd; }))
            listed.push_back(item);
    return listed;
}

ImportContext TMeisaiNyuryokuForm::ImportContextOfLoad() const {
    ImportContext context;
    context.kisyubi = Kisyubi;
    context.kimatsubi = Kimatsubi;
    context.division = kaikeiKubun_;
    context.items = kamokuFacts_;
    // An item is known by its own name and by the name the list shows.
    const data::Field& cd = KamokuClientDS.FieldByName(u"CD"_s);
    const data::Field& listed = KamokuClientDS.FieldByName(u"MEISYO"_s);
    for (int row = 0; row < KamokuClientDS.DisplayRowCount(); ++row)
        context.itemNames.push_back({static_cast<int>(KamokuClientDS.DisplayValue(row, cd).AsInteger()),
                                     KamokuClientDS.DisplayValue(row, listed).AsString()});
    for (const auto& row :
         Connection().Select(u"select CD, MEISYO from KAMOKU where (CD <> 100) and (CD <> 8000)"_s).rows)
        context.itemNames.push_back({static_cast<int>(row[0].AsInteger()), row[1].AsString()});
    const data::Field& division = KaikeiKubunClientDS.FieldByName(u"TOKUBETSU_CD"_s);
    const data::Field& divisionName = KaikeiKubunClientDS.FieldByName(u"MEISYO"_s);
    for (int row = 0; row < KaikeiKubunClientDS.DisplayRowCount(); ++row)
        context.divisions.push_back(
            {static_cast<int>(KaikeiKubunClientDS.DisplayValue(row, division).AsInteger()),
             KaikeiKubunClientDS.DisplayValue(row, divisionName).AsString()});
    return context;
}

int TMeisaiNyuryokuForm::WriteImportedLines(const std::vector<ImportEntry>& entries,
                                            const std::function<bool(qint64, qint64)>& progress) {
    wTran.reset();
    // Numbered as lines typed one by one would be, from the database's sequence.
    const int first = db::NextLineNumbers(Connection(), static_cast<int>(entries.size()));
    int seqNo = first;
    TLineTransaction transaction(Connection());
    for (const ImportEntry& entry : entries) {
        const ImportLine& line = entry.line;
        const db::Connection::Params row{{u"CPU_NAME"_s, GetComputerNameStr()},
                                         {u"JIKOKU"_s, Jikoku},
                                         {u"SEQ_NO"_s, seqNo++},
                                         {u"KAIKEI_KUBUN"_s, line.kaikeiKubun},
                                         {u"NENDO"_s, nendo_},
                                         {u"HIZUKE"_s, line.hizuke},
                                         {u"MMDD"_s, line.hizuke.mid(4, 4)},
                                         {u"AITE"_s, line.aite},
                                         {u"TEKIYO"_s, line.tekiyo},
                                         {u"KAMOKU"_s, line.kamoku},
                                         {u"SYUNYU"_s, line.syunyu},
                                         {u"SISYUTSU"_s, line.sisyutsu},
                                         {u"KOUSIN_FLAG"_s, 2}};
        InsertWorkRow(row, std::nullopt);
        if (entry.mirror)
            InsertWorkRow(row, entry.mirror);
        // Cancelled: the transaction goes back, and with it every row written.
        if (const qint64 done = seqNo - first; done % 500 == 0 && !progress(done, std::ssize(entries)))
            throw EAbort();
    }
    transaction.Commit();
    // Unsaved work from here on: leaving asks, saving checks these lines again.
    workChanged_ = true;
    return first;
}

// ---------------------------------------------------------------- lines from 会費徴収

void TMeisaiNyuryokuForm::SetDuesWindow(DuesWindowOpener open) {
    openDuesWindow_ = std::move(open);
    KaihiBtn->setVisible(static_cast<bool>(openDuesWindow_));
}

void TMeisaiNyuryokuForm::KaihiBtnClick() {
    // The line being typed is posted (or told wrong) before anything else runs.
    PostOrDropLine();
    openDuesWindow_(*this, nendo_, this);
}

std::optional<JournalLoad> TMeisaiNyuryokuForm::CurrentLoad() const {
    // Between キャンセル and the next load the work rows are no one's work.
    if (!claim_ || !SaveBtn->isEnabled())
        return std::nullopt;
    return JournalLoad{nendo_, claim_->Key()};
}

void TMeisaiNyuryokuForm::ReadyForLines() {
    if (ClientDataSet1.Active() && ClientDataSet1.IsEditing() && !IsUntouchedLine(ClientDataSet1))
        throw EAppError(
            u"収支明細入力で入力中の行があります。\r\n"
            u"その行を確定するか取り消してから、もう一度保存してください。"_s);
}

void TMeisaiNyuryokuForm::LinesHandedOver(const std::vector<int>& seqNos) {
    workChanged_ = true;
    LoadDivisionRows();
    if (!seqNos.empty())
        ClientDataSet1.Locate(u"SEQ_NO"_s, {seqNos.front()});
}

// ---------------------------------------------------------------- keys and focus

bool TMeisaiNyuryokuForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && (watched == DateFromEdit || watched == DateToEdit)) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            QMetaObject::invokeMethod(
                this, [this] { Guard([this] { DateEditExit(); }); }, Qt::QueuedConnection);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget->window() == this && widget == QApplication::focusWidget()) {
            // Ctrl+Tab leaves the grid (Tab moves between its cells); Insert starts
            // a new line (Ctrl+S, saving, belongs to every entry window).
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
                focusNextChild();
                return true;
            }
            if (key->key() == Qt::Key_Backtab && (key->modifiers() & Qt::ControlModifier)) {
                focusPreviousChild();
                return true;
            }
            if (key->key() == Qt::Key_Insert && key->modifiers() == Qt::NoModifier &&
                GyoTsuikaBtn->isEnabled()) {
                GyoTsuikaBtn->click();
                return true;
            }
        }
    }
    return TTsubakiBaseForm2::eventFilter(watched, event);
}
