#include "statements/StatementEntryUnit.h"

#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScopeGuard>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include "core/ComputerName.h"
#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "data/DataSetOperation.h"
#include "data/PendingChanges.h"
#include "db/DataModule.h"
#include "db/Error.h"
#include "db/YearQueries.h"
#include "platform/Folders.h"
#include "statements/StatementLoads.h"
#include "statements/StatementRules.h"
#include "statements/TotalLine.h"
#include "ui/Accelerator.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"

using namespace Qt::Literals::StringLiterals;

TStatementEntryForm::TStatementEntryForm(QString workTable, int paymentsBelow, QString payFilter,
                                         QWidget* parent)
    : TTsubakiBaseForm2(parent),
      KaikeiKubunLabel(new QLabel(u"会計区分"_s, GroupBox1)),
      KaikeiKubunCombo(new TDBLookupComboBox(GroupBox1)),
      GyoSakujyoBtn(MakeButton(u"行削除"_s, u"選択中の行を削除します。"_s, GroupBox1)),
      GyoCancelBtn(MakeButton(u"行ｷｬﾝｾﾙ"_s, u"選択中の行の内容を入力前に戻します。"_s, GroupBox1)),
      PageControl1(new QTabBar(GroupBox1)),
      PageStack(new QStackedWidget(GroupBox1)),
      SyunyuSheet(new QWidget),
      SisyutsuSheet(new QWidget),
      SyomeiSheet(new QWidget),
      SyunyuGrid(new TDBGrid(SyunyuSheet)),
      SisyutsuGrid(new TDBGrid(SisyutsuSheet)),
      JikiKurikosiGrid(new TDBGrid(SisyutsuSheet)),
      SyunyuNavigator(new TDBNavigator(SyunyuSheet)),
      SisyutsuNavigator(new TDBNavigator(SisyutsuSheet)),
      CommentEdit(new TDBEdit(SyomeiSheet)),
      HizukeEdit(new TDBEdit(SyomeiSheet)),
      SyomeiEdit(new TDBEdit(SyomeiSheet)),
      YakusyokuEdit(new TDBEdit(SyomeiSheet)),
      DaihyosyaEdit(new TDBEdit(SyomeiSheet)),
      BikouEdit(new TDBEdit(SyomeiSheet)),
      workTable_(std::move(workTable)),
      paymentsBelow_(paymentsBelow),
      barLayout_(new QHBoxLayout),
      syunyuLayout_(new QVBoxLayout(SyunyuSheet)),
      sisyutsuLayout_(new QVBoxLayout(SisyutsuSheet)) {
    KamokuClientDS.SetCommand(&KamokuSQL);
    KamokuSQL.SetCommandText(statements::StatementKamokuSql());
    KaikeiKubunClientDS.SetCommand(&KaikeiKubunSQL);
    KaikeiKubunSQL.SetCommandText(db::DivisionsOfYearSql(u"TOKUBETSU_CD"_s));
    NendoClientDS.SetCommand(&NendoSQL);
    NendoSQL.SetCommandText(u"select * from NENDO where (NENDO = :Nendo)"_s);
    NendoClientDS.SetUpdateTable(u"NENDO"_s, u"NENDO"_s);
    NendoClientDS.OnReconcileError = [this](data::DataSet& ds, const QString& message,
                                            data::UpdateKind kind) {
        ClientDataSet1ReconcileError(ds, message, kind);
    };

    SQLDataSet1.SetCommandText(
        u"select * from %1 where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) "
        u"and (KAIKEI_KUBUN = :KAIKEI_KUBUN) "
        u"order by SYUSI_KUBUN, JUNJYO, BUNRUI_JUNJYO, BUNRUI, KAMOKU_JUNJYO, KAMOKU"_s.arg(workTable_));
    ClientDataSet1.SetUpdateTable(workTable_, u"CPU_NAME;JIKOKU;KAIKEI_KUBUN;KAMOKU"_s);

    views_.push_back({&SyunyuClone, &SyunyuSource, u"SYUSI_KUBUN = 1"_s, SyunyuGrid});
    views_.push_back({&SisyutsuClone, &SisyutsuSource, std::move(payFilter), SisyutsuGrid});
    views_.push_back({&JikiKurikosiClone, &JikiKurikosiSource, u"KAMOKU = 8000"_s, JikiKurikosiGrid});

    // The bar: division, then the window's buttons, then the row buttons.
    KaikeiKubunCombo->setToolTip(u"表示する会計区分を切り替えます。"_s);
    KaikeiKubunCombo->setFocusPolicy(Qt::ClickFocus);
    KaikeiKubunCombo->setMinimumWidth(KaikeiKubunCombo->fontMetrics().horizontalAdvance(u'あ') * 10 + 40);
    GiveAccelerator(KaikeiKubunLabel, KaikeiKubunCombo, u'K');  // no tab stop
    barLayout_->addWidget(KaikeiKubunLabel);
    barLayout_->addWidget(KaikeiKubunCombo);
    barLayout_->addSpacing(16);
    barLayout_->addStretch(1);
    barLayout_->addWidget(GyoSakujyoBtn);
    barLayout_->addWidget(GyoCancelBtn);

    // The tabs, with the note beside them, over their pages.
    PageControl1->setFocusPolicy(Qt::NoFocus);
    PageControl1->setExpanding(false);
    PageControl1->setDrawBase(false);
    PageControl1->addTab(u"収入の部"_s);
    PageControl1->addTab(u"支出の部"_s);
    PageControl1->addTab(u"署名欄"_s);
    PageStack->addWidget(SyunyuSheet);
    PageStack->addWidget(SisyutsuSheet);
    PageStack->addWidget(SyomeiSheet);
    auto* note = new QLabel(u"← クリックして表示するページを切り替えます。"_s, GroupBox1);
    auto* tabs = new QHBoxLayout;
    tabs->setSpacing(8);
    tabs->addWidget(PageControl1);
    tabs->addWidget(note);
    tabs->addStretch(1);

    syunyuLayout_->setContentsMargins(0, 4, 0, 0);
    sisyutsuLayout_->setContentsMargins(0, 4, 0, 0);
    syunyuLayout_->setSpacing(2);
    sisyutsuLayout_->setSpacing(2);
    for (TDBNavigator* n : {SyunyuNavigator, SisyutsuNavigator})
        n->setToolTip(u"行を移動します。"_s);

    auto* body = new QVBoxLayout(GroupBox1);
    body->addLayout(barLayout_);
    body->addLayout(tabs);
    body->setSpacing(4);
    body->addWidget(PageStack, 1);
    setTabOrder(NyuryokuBtn, PageStack);

    connect(KaikeiKubunCombo, &TDBLookupComboBox::KeyChosen, this,
            [this] { Guard([this] { KaikeiKubunComboChange(); }); });
    connect(PageControl1, &QTabBar::currentChanged, this,
            [this](int index) { Guard([this, index] { PageControl1Change(index); }); });
    connect(GyoSakujyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { GyoSakujyoBtnClick(); }); });
    connect(GyoCancelBtn, &QPushButton::clicked, this, [this] { Guard([this] { GyoCancelBtnClick(); }); });
    for (TDataSource* source : {&SyunyuSource, &SisyutsuSource}) {
        connect(source, &TDataSource::StateChange, this, [this] { UpdateRowButtons(); });
        connect(source, &TDataSource::DataChange, this, [this] { UpdateRowButtons(); });
    }
    MakeSingleRowGrid(JikiKurikosiGrid);
}

TStatementEntryForm::~TStatementEntryForm() {
    // The grids go before the views they show.
    for (const ViewSpec& v : views_)
        if (v.grid)
            v.grid->SetDataSource(nullptr);
    RunGuarded([this] { CloseData(); });
}

QPushButton* TStatementEntryForm::MakeButton(const QString& caption, const QString& hint, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setToolTip(hint);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::ClickFocus);  // none of the bars' controls is a tab stop
    return button;
}

void TStatementEntryForm::LayOutGrids(const QStringList& amounts, int gridWidth,
                                      const std::vector<QWidget*>& belowPayments) {
    SyunyuGokeiLine = new TTotalLine(u"収入合計"_s, SyunyuGrid, amounts, SyunyuSheet);
    SisyutsuSyokeiLine = new TTotalLine(u"支出小計"_s, SisyutsuGrid, amounts, SisyutsuSheet);
    SisyutsuGokeiLine = new TTotalLine(u"支出合計"_s, SisyutsuGrid, amounts, SisyutsuSheet);
    syunyuLayout_->addWidget(SyunyuGrid, 1);
    syunyuLayout_->addWidget(SyunyuGokeiLine);
    syunyuLayout_->addWidget(SyunyuNavigator, 0, Qt::AlignLeft);
    sisyutsuLayout_->addWidget(SisyutsuGrid, 1);
    for (QWidget* w : belowPayments)
        sisyutsuLayout_->addWidget(w);
    sisyutsuLayout_->addWidget(SisyutsuSyokeiLine);
    sisyutsuLayout_->addWidget(JikiKurikosiGrid);
    sisyutsuLayout_->addWidget(SisyutsuGokeiLine);
    sisyutsuLayout_->addWidget(SisyutsuNavigator, 0, Qt::AlignLeft);
    SyunyuGrid->setMinimumSize(gridWidth, 300);
    SisyutsuGrid->setMinimumSize(gridWidth, 300);
    // Ctrl+Tab walks each page as it reads, top to bottom: the grids were made in
    // another order (the window's own ones last).
    setTabOrder(SyunyuGrid, SyunyuNavigator);
    QWidget* previous = SisyutsuGrid;
    for (QWidget* w : belowPayments) {
        if (w->focusPolicy() & Qt::TabFocus) {
            setTabOrder(previous, w);
            previous = w;
        }
    }
    setTabOrder(previous, JikiKurikosiGrid);
    setTabOrder(JikiKurikosiGrid, SisyutsuNavigator);
}

data::FieldDef TStatementEntryForm::AmountField(const QString& name, const QString& label) {
    data::FieldDef def{.name = name, .type = data::FieldType::Integer, .label = label};
    def.displayFormat = u"#,##0;-#,##0"_s;
    def.readOnly = true;
    return def;
}

data::FieldDef TStatementEntryForm::HiddenField(const QString& name, data::FieldType type) {
    data::FieldDef def{.name = name, .type = type};
    def.visible = false;
    return def;
}

void TStatementEntryForm::AddNameColumn(data::DataSet& ds, data::DataSet* names, bool readOnly) {
    data::FieldDef name{
        .name = u"Kamokumei"_s, .type = data::FieldType::Text, .size = 15, .label = u"科目(集計項目)"_s};
    name.inUpdate = false;
    name.readOnly = readOnly;
    name.lookup = data::LookupDef{names, u"KAMOKU"_s, u"KAMOKU"_s, u"KAMOKUMEI"_s};
    ds.AddField(name);
}

void TStatementEntryForm::AddLineColumns(data::DataSet& ds, bool junjyoShown, bool bunruiRequired) {
    data::FieldDef tekiyo{.name = u"TEKIYO"_s, .type = data::FieldType::Text, .size = 30, .label = u"摘要"_s};
    tekiyo.trimOnEntry = true;
    ds.AddField(tekiyo);
    data::FieldDef junjyo{.name = u"JUNJYO"_s, .type = data::FieldType::Integer, .label = u"順序"_s};
    junjyo.minValue = 0;
    junjyo.maxValue = 99;
    junjyo.readOnly = !junjyoShown;
    junjyo.visible = junjyoShown;
    ds.AddField(junjyo);
    data::FieldDef kamoku = HiddenField(u"KAMOKU"_s, data::FieldType::Integer);
    kamoku.label = u"科目CD"_s;
    kamoku.required = true;
    ds.AddField(kamoku);
    data::FieldDef bunrui = HiddenField(u"BUNRUI"_s, data::FieldType::Integer);
    bunrui.label = u"科目分類"_s;
    bunrui.required = bunruiRequired;
    ds.AddField(bunrui);
    for (const QString& n : {u"CPU_NAME"_s, u"JIKOKU"_s})
        ds.AddField(HiddenField(n, data::FieldType::Text));
    for (const QString& n :
         {u"NENDO"_s, u"KAIKEI_KUBUN"_s, u"SYUSI_KUBUN"_s, u"BUNRUI_JUNJYO"_s, u"KAMOKU_JUNJYO"_s})
        ds.AddField(HiddenField(n, data::FieldType::Integer));
}

db::Connection& TStatementEntryForm::Connection() const {
    return DataModule1().SQLConnection1;
}

void TStatementEntryForm::AddView(data::DataSet& view, TDataSource* source, QString filter, TDBGrid* grid) {
    views_.push_back({&view, source, std::move(filter), grid});
}

void TStatementEntryForm::ForgetAddedViews() {
    views_.resize(3);
}

void TStatementEntryForm::BindTextEdits(const std::vector<TextBinding>& bindings) {
    const int kanji = fontMetrics().horizontalAdvance(u'あ');
    for (const TextBinding& b : bindings) {
        b.edit->SetDataSource(&NendoSource);
        b.edit->SetDataField(QString::fromUtf16(b.field));
        b.edit->setToolTip(b.hint);
        b.edit->setFixedWidth(kanji * b.width + 12);
    }
}

QLabel* TStatementEntryForm::SyomeiLabel(const QString& caption, QWidget* buddy) {
    auto* label = new QLabel(caption, SyomeiSheet);
    label->setBuddy(buddy);
    return label;
}

void TStatementEntryForm::SetSyomeiPage(QGridLayout* grid, const std::vector<QWidget*>& order) {
    auto* page = new QVBoxLayout(SyomeiSheet);
    page->setContentsMargins(16, 16, 16, 16);
    page->addLayout(grid);
    page->addStretch(1);
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void TStatementEntryForm::AddPage(const QString& caption, QWidget* page) {
    PageControl1->addTab(caption);
    PageStack->addWidget(page);
}

void TStatementEntryForm::MakeSingleRowGrid(TDBGrid* grid) {
    singleRowGrids_.push_back(grid);
    grid->SetAllowAppend(false);
    grid->horizontalHeader()->hide();
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedHeight(grid->verticalHeader()->defaultSectionSize() + 2 * grid->frameWidth() + 2);
}

void TStatementEntryForm::InitRows() {
    DefineRowFields(ClientDataSet1, &KamokuClientDS);
    WireDataSet(ClientDataSet1, 0);
    for (const ViewSpec& v : views_) {
        data::DataSet* list = v.view == &SyunyuClone     ? &SyunyuKamokuClone
                              : v.view == &SisyutsuClone ? &SisyutsuKamokuClone
                                                         : &KamokuClientDS;
        DefineRowFields(*v.view, list);
        WireDataSet(*v.view, v.view == &SyunyuClone ? 1 : v.view == &SisyutsuClone ? 2 : 0);
        const bool single = v.grid && std::find(singleRowGrids_.begin(), singleRowGrids_.end(), v.grid) !=
                                          singleRowGrids_.end();
        if (single) {
            // The computed lines are never inserted or deleted: both are refused silently.
            v.view->BeforeInsert = [](data::DataSet&) { throw EAbort(); };
            v.view->BeforeDelete = [](data::DataSet&) { throw EAbort(); };
        }
        if (!v.grid)
            continue;
        TDBGrid* grid = v.grid;
        // The current cell of a grid without the focus is not shown as chosen: with
        // several grids on a page only the focused one marks its cell.
        QPalette palette = grid->palette();
        palette.setColor(QPalette::Inactive, QPalette::Highlight,
                         palette.color(QPalette::Active, QPalette::Base));
        palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                         palette.color(QPalette::Active, QPalette::Text));
        grid->setPalette(palette);
        grid->SetDataSource(v.source);
        grid->SetAlwaysShowEditor(true);
        grid->IsUntouchedNewRow = [this](data::DataSet& ds) { return IsBlankNewRow(ds); };
        // The reserve fund and the carry-over stand where the statements place them:
        // their 順序 is not the user's to change.
        grid->IsReadOnlyCell = [grid](const data::Field& field, int row) {
            if (field.FieldName() != u"JUNJYO"_s)
                return false;
            const data::DataSet* ds = grid->DataSet();
            const db::Value kamoku = ds->DisplayValue(row, ds->FieldByName(u"KAMOKU"_s));
            return !kamoku.IsNull() && (kamoku.AsInteger() == 7000 || kamoku.AsInteger() == 8000);
        };
        connect(grid, &TDBGrid::Exited, this,
                [this, grid](QWidget* target) { Guard([&] { GridExit(grid, target); }); });
    }
    SyunyuNavigator->SetDataSource(&SyunyuSource);
    SisyutsuNavigator->SetDataSource(&SisyutsuSource);
}

void TStatementEntryForm::WireDataSet(data::DataSet& ds, int syusiKubun) {
    ds.OnNewRecord = [this, syusiKubun](data::DataSet& d) { NewRecord(d, syusiKubun); };
    ds.AfterPost = [this](data::DataSet& d) {
        WriteWorkRows();
        if (!computing_) {
            workRowsChanged_ = true;
            RowWritten(d);
        }
    };
    ds.AfterDelete = [this](data::DataSet& d) {
        WriteWorkRows();
        if (!computing_) {
            workRowsChanged_ = true;
            RowWritten(d);
        }
        if (TDBGrid* grid = GridOf(d))
            grid->SelectFirstEditableColumn();
    };
    const auto firstColumn = [this](data::DataSet& d) {
        if (TDBGrid* grid = GridOf(d))
            grid->SelectFirstEditableColumn();
    };
    ds.AfterInsert = firstColumn;
    ds.AfterCancel = firstColumn;
    ds.OnReconcileError = [this](data::DataSet& d, const QString& message, data::UpdateKind kind) {
        ClientDataSet1ReconcileError(d, message, kind);
    };
    if (data::Field* kamoku = ds.FindField(u"KAMOKU"_s))
        kamoku->OnChange = [this](data::Field& f) { CopyKamokuFacts(f); };
}

void TStatementEntryForm::NewRecord(data::DataSet& ds, int syusiKubun) {
    ds.FieldByName(u"CPU_NAME"_s).SetComputedValue(GetComputerNameStr());
    ds.FieldByName(u"JIKOKU"_s).SetComputedValue(Jikoku);
    ds.FieldByName(u"NENDO"_s).SetComputedValue(nendo_);
    ds.FieldByName(u"KAIKEI_KUBUN"_s).SetComputedValue(kaikeiKubun_);
    ds.FieldByName(u"JUNJYO"_s).SetComputedValue(99);
    if (syusiKubun != 0)
        ds.FieldByName(u"SYUSI_KUBUN"_s).SetComputedValue(syusiKubun);
}

void TStatementEntryForm::CopyKamokuFacts(data::Field& kamoku) {
    if (kamoku.IsNull() || kamoku.AsInteger() == 0)
        return;
    const int code = static_cast<int>(kamoku.AsInteger());
    if (!KamokuValue(code, u"KAMOKU"_s))
        return;
    data::DataSet& ds = kamoku.Owner();
    for (const QString& name : {u"SYUSI_KUBUN"_s, u"BUNRUI"_s, u"BUNRUI_JUNJYO"_s, u"KAMOKU_JUNJYO"_s})
        ds.FieldByName(name).SetComputedValue(KamokuValue(code, name).value_or(db::Value()));
}

std::optional<db::Value> TStatementEntryForm::KamokuValue(int kamoku, const QString& column) const {
    if (!KamokuClientDS.Active())
        return std::nullopt;
    return KamokuClientDS.Lookup(u"KAMOKU"_s, {kamoku}, column);
}

TDBGrid* TStatementEntryForm::GridOf(const data::DataSet& ds) const {
    for (const ViewSpec& v : views_)
        if (v.view == &ds)
            return v.grid;
    return nullptr;
}

// ---------------------------------------------------------------- steps

void TStatementEntryForm::PrepareWindow() {
    db::Connection& connection = Connection();
    for (data::SqlCommand* command : {&KamokuSQL, &KaikeiKubunSQL, &NendoSQL})
        command->SetConnection(&connection);
    ReadKamokuList();
    TTsubakiBaseForm2::PrepareWindow();
}

void TStatementEntryForm::ReadKamokuList() {
    data::DsClose(SyunyuKamokuClone);
    data::DsClose(SisyutsuKamokuClone);
    data::DsClose(KamokuClientDS);
    data::DsOpen(KamokuClientDS);
    SyunyuKamokuClone.CloneCursor(KamokuClientDS);
    SisyutsuKamokuClone.CloneCursor(KamokuClientDS);
}

void TStatementEntryForm::CloseLoad() {
    for (auto it = views_.rbegin(); it != views_.rend(); ++it)
        data::DsClose(*it->view);
    data::DsClose(ClientDataSet1);
    data::DsClose(SQLDataSet1);
    data::DsClose(NendoClientDS);
    data::DsClose(KaikeiKubunClientDS);
    KaikeiKubunCombo->RefreshList();
    ReleaseClaim();
    Jikoku.clear();
}

void TStatementEntryForm::ReleaseClaim() {
    // The work rows go with the claim. Should that fail, the claim is let go all the
    // same: once this program ends its load counts as abandoned and the next load
    // removes it.
    const auto drop = qScopeGuard([this] { claim_.reset(); });
    if (claim_)
        claim_->Release();
}

void TStatementEntryForm::CloseData() {
    CloseLoad();
    data::DsClose(SyunyuKamokuClone);
    data::DsClose(SisyutsuKamokuClone);
    data::DsClose(KamokuClientDS);
}

void TStatementEntryForm::LoadData() {
    CloseLoad();
    kaikeiKubun_ = 0;
    workRowsChanged_ = false;
    nendo_ = GetNendo();

    OpenTextsRow();
    FillDefaultTexts();

    KaikeiKubunSQL.SetParam(u"KAISI_NENDO"_s, nendo_);
    KaikeiKubunSQL.SetParam(u"SYURYO_NENDO"_s, nendo_);
    data::DsOpen(KaikeiKubunClientDS);
    KaikeiKubunCombo->SetListSource(&KaikeiKubunClientDS, u"TOKUBETSU_CD"_s, u"MEISYO"_s);

    // A key no other window holds, on this computer or any other.
    claim_.emplace(Connection(), workTable_, nendo_, platform::FullHostName(), QDateTime::currentDateTime());
    Jikoku = claim_->Key().jikoku;
    try {
        DiscardAbandonedLoads();
        // Taken before the copy: a save in between makes 保存 ask, rather than slip
        // past it.
        loadedYear_ = db::StampOf(Connection(), SavedLines());
        CopySavedRows();
        SinkiFlag = false;  // 削除 is offered whether or not the year was saved before
        SetKaikeiKubun(0);
        BeforeFirstDivision();
        ShowDivision();
    } catch (...) {
        // A load that fails leaves no claim, nor rows, behind (or, should even that
        // fail, a claim that ends with the program).
        try {
            ReleaseClaim();
        } catch (...) {
        }
        Jikoku.clear();
        throw;
    }
}

void TStatementEntryForm::DiscardAbandonedLoads() {
    // Only the loads of claims whose attachment is gone: rows under a key nobody
    // claims may belong to an open window of a program that does not claim keys.
    for (const db::AbandonedLoad& load : db::AbandonedLoads(Connection(), workTable_)) {
        if (!load.claimed)
            continue;
        try {
            db::DiscardLoad(Connection(), workTable_, load);
        } catch (const db::Error&) {
            // Another load is removing it right now; or the next load will.
        }
    }
}

void TStatementEntryForm::OpenTextsRow() {
    SetQueryParams(NendoSQL);
    data::DsOpen(NendoClientDS);
    if (NendoClientDS.IsEmpty())
        throw EAppError(QString::number(nendo_) + u"年度の基礎データが設定されていません。"_s);
}

void TStatementEntryForm::ShowBrowseState() {
    for (const ViewSpec& v : views_)
        if (v.source)
            v.source->SetEnabled(false);
    NendoSource.SetEnabled(false);
    TTsubakiBaseForm2::ShowBrowseState();
    for (QWidget* w : {static_cast<QWidget*>(KaikeiKubunCombo), static_cast<QWidget*>(GyoSakujyoBtn),
                       static_cast<QWidget*>(GyoCancelBtn)})
        w->setEnabled(false);
    KaikeiKubunCombo->SetKeyValue(db::Value());
    changingPage_ = true;
    PageControl1->setCurrentIndex(0);
    PageStack->setCurrentIndex(0);
    shownPage_ = 0;
    changingPage_ = false;
    FocusFirstControl();
}

void TStatementEntryForm::ShowEditState() {
    for (const ViewSpec& v : views_)
        if (v.source)
            v.source->SetEnabled(true);
    NendoSource.SetEnabled(true);
    TTsubakiBaseForm2::ShowEditState();
    KaikeiKubunCombo->setEnabled(true);
    GyoCancelBtn->setEnabled(true);
    UpdateRowButtons();
    SelectFirstEditableColumns();
}

void TStatementEntryForm::UpdateRowButtons() {
    TDBGrid* grid = FrontGrid();
    const data::DataSet* ds = grid ? grid->DataSet() : nullptr;
    const bool enabled = SaveBtn->isEnabled() && ds && ds->Active() &&
                         ds->State() != data::DataSetState::Insert && !ds->IsEmpty();
    GyoSakujyoBtn->setEnabled(enabled);
}

int TStatementEntryForm::GetKaikeiKubun() {
    const db::Value key = KaikeiKubunCombo->KeyValue();
    return key.IsNull() ? 0 : static_cast<int>(key.AsInteger());
}

void TStatementEntryForm::SetKaikeiKubun(int code) {
    KaikeiKubunCombo->SetKeyValue(code);
}

// ---------------------------------------------------------------- a division

void TStatementEntryForm::ShowDivision() {
    kaikeiKubun_ = GetKaikeiKubun();
    SyunyuKamokuClone.SetFilter(KamokuListFilter(1, kaikeiKubun_, paymentsBelow_));
    SyunyuKamokuClone.SetFiltered(true);
    SisyutsuKamokuClone.SetFilter(KamokuListFilter(2, kaikeiKubun_, paymentsBelow_));
    SisyutsuKamokuClone.SetFiltered(true);

    for (auto it = views_.rbegin(); it != views_.rend(); ++it)
        data::DsClose(*it->view);
    data::DsClose(ClientDataSet1);
    SetQueryParams(SQLDataSet1);
    data::DsOpen(ClientDataSet1);
    AttachViews();
    DivisionOpened();
    RefreshTotals();
    DivisionShown();
    SelectFirstEditableColumns();
    UpdateRowButtons();
}

void TStatementEntryForm::AttachViews() {
    for (const ViewSpec& v : views_) {
        v.view->CloneCursor(ClientDataSet1);
        v.view->SetFilter(v.filter);
        v.view->SetFiltered(true);
        v.view->First();
    }
}

void TStatementEntryForm::KaikeiKubunComboChange() {
    if (GetKaikeiKubun() == kaikeiKubun_ && ClientDataSet1.Active())
        return;
    try {
        PostViews();
        // Reading the other division would drop a row still to be written.
        WritePendingRows(u"書き込めなかった行があるため、会計区分を切り替えられません。"_s);
    } catch (...) {
        SetKaikeiKubun(kaikeiKubun_);  // the row being typed keeps its division
        throw;
    }
    ShowDivision();
}

// ---------------------------------------------------------------- writing rows

bool TStatementEntryForm::HasUnsavedChanges() const {
    if (workRowsChanged_)
        return true;
    if (data::HasPendingChanges(ClientDataSet1) || data::HasPendingChanges(NendoClientDS))
        return true;
    for (const ViewSpec& v : views_)
        if (data::HasPendingChanges(*v.view))
            return true;
    return false;
}

void TStatementEntryForm::WriteWorkRows() {
    UpdateMrrMsg.clear();
    if (ClientDataSet1.ApplyUpdates(0) > 0)
        throw EAppError(u"更新を失敗しました。\r\n"_s + UpdateMrrMsg);
}

void TStatementEntryForm::WritePendingRows(const QString& refusal) {
    // A row whose write failed stays among the pending changes; 保存 copies the
    // work table, so it would be lost without a word.
    if (!ClientDataSet1.Active() || ClientDataSet1.ChangeCount() == 0)
        return;
    UpdateMrrMsg.clear();
    if (ClientDataSet1.ApplyUpdates(0) > 0)
        throw EAppError(refusal +
                        u"\r\n行を直して確定し直すか、キャンセルで入力を取り消してください。\r\n\r\n"_s +
                        UpdateMrrMsg);
}

void TStatementEntryForm::ApplyNendoRow() {
    UpdateMrrMsg.clear();
    if (NendoClientDS.Active() && NendoClientDS.ApplyUpdates(0) > 0)
        throw EAppError(UpdateMrrMsg);
}

int TStatementEntryForm::ExecWithParams(const QString& sql) {
    data::SqlCommand command(workTable_, &Connection());
    command.SetCommandText(sql);
    SetQueryParams(command);
    command.SetParam(u"KAIKEI_KUBUN"_s, kaikeiKubun_);
    return command.Execute();
}

db::Connection::Rows TStatementEntryForm::SelectWithParams(const QString& sql) {
    data::SqlCommand command(workTable_, &Connection());
    command.SetCommandText(sql);
    SetQueryParams(command);
    if (command.HasParam(u"KAIKEI_KUBUN"_s))
        command.SetParam(u"KAIKEI_KUBUN"_s, kaikeiKubun_);
    return command.Select();
}

std::vector<db::Value> TStatementEntryForm::SumWorkRows(const QStringList& columns,
                                                        const QString& condition) {
    QStringList sums;
    for (const QString& c : columns)
        sums << u"sum(%1) as %1"_s.arg(c);  // 64-bit sums: a line may pass one amount's range
    const auto rows = SelectWithParams(
        u"select %1 from %2 where (CPU_NAME = :CPU_NAME) and (JIKOKU = :JIKOKU) "
        u"and (KAIKEI_KUBUN = :KAIKEI_KUBUN) and (%3)"_s.arg(sums.join(u", "_s), workTable_, condition));
    if (rows.rows.empty())
        return std::vector<db::Value>(static_cast<std::size_t>(columns.size()));
    return rows.rows.front();
}

// ---------------------------------------------------------------- edits

void TStatementEntryForm::PostOrDrop(data::DataSet& ds) {
    if (!ds.Active() || !ds.IsEditing())
        return;
    // A refused line is the user's to correct, not an operation to retry: its message
    // is shown as it is.
    if (ds.State() == data::DataSetState::Insert && IsBlankNewRow(ds))
        data::DsCancel(ds);
    else
        ds.Post();
}

void TStatementEntryForm::PostViews() {
    for (const ViewSpec& v : views_) {
        if (v.source)
            v.source->UpdateRecord();
        PostOrDrop(*v.view);
    }
    if (NendoClientDS.Active()) {
        NendoSource.UpdateRecord();
        if (NendoClientDS.IsEditing())
            NendoClientDS.Post();
    }
}

void TStatementEntryForm::CancelViews() {
    for (const ViewSpec& v : views_)
        if (v.view->Active() && v.view->IsEditing())
            data::DsCancel(*v.view);
    if (NendoClientDS.Active() && NendoClientDS.IsEditing())
        data::DsCancel(NendoClientDS);
}

void TStatementEntryForm::PostEdit() {
    PostViews();
    PostOwnEdits();
    PostOrDrop(ClientDataSet1);
}

void TStatementEntryForm::CancelEdit() {
    CancelViews();
    CancelOwnEdits();
    if (ClientDataSet1.Active() && ClientDataSet1.IsEditing())
        data::DsCancel(ClientDataSet1);
}

void TStatementEntryForm::SaveData() {
    SakujyoFlag = false;
    WritePendingRows(u"書き込めなかった行があるため保存できません。"_s);
    ApplyYear();
}

void TStatementEntryForm::DeleteData() {
    // The year's saved lines go; the work rows stay untouched (the base would delete
    // the current work row).
    CancelViews();
    CancelOwnEdits();
    SakujyoFlag = true;
    try {
        ApplyYear();
    } catch (...) {
        SakujyoFlag = false;
        throw;
    }
    SakujyoFlag = false;
}

// ---------------------------------------------------------------- saving the year

db::Connection::Params TStatementEntryForm::SavedLinesParams() const {
    return {{u"Nendo"_s, nendo_}};
}

db::SavedRows TStatementEntryForm::SavedLines() const {
    return {SavedLinesTable(), SavedLinesCondition(), SavedLinesParams()};
}

void TStatementEntryForm::ApplyYear() {
    replaceDeclined_ = false;
    try {
        ApplyInTransaction();
    } catch (const EAppError&) {
        if (replaceDeclined_)
            throw EAbort();  // the user chose not to replace: nothing to report
        throw;
    }
}

void TStatementEntryForm::ApplyChanges() {
    const db::YearStamp stamp = db::SaveYearRows(
        Connection(), nendo_, u"データ"_s, *claim_, SavedLines(), loadedYear_,
        [this] { return ConfirmReplace(); }, [this] { ReplaceSavedLines(); });
    // A further save from this load has nothing to ask about once this one is in.
    Connection().OnTransactionEnd([this, stamp](bool committed) {
        if (committed)
            loadedYear_ = stamp;
    });
}

bool TStatementEntryForm::ConfirmReplace() {
    if (Dialogs().MessageDlg(
            u"この年度のデータは、読み込んだ後に他のコンピュータまたは他の画面で保存されています。\r\n"
            u"このまま続けると、その内容は失われます。よろしいですか? "_s,
            MsgDlgType::Warning, mbYes | mbNo, mbNo) == ModalResult::Yes)
        return true;
    replaceDeclined_ = true;
    return false;
}

// ---------------------------------------------------------------- grids and tabs

TDBGrid* TStatementEntryForm::FrontGrid() const {
    switch (PageControl1->currentIndex()) {
        case 0:
            return SyunyuGrid;
        case 1:
            return SisyutsuGrid;
        default:
            return nullptr;
    }
}

void TStatementEntryForm::SelectFirstEditableColumns() {
    for (const ViewSpec& v : views_)
        if (v.grid && v.view->Active())
            v.grid->SelectFirstEditableColumn();
}

void TStatementEntryForm::GridExit(TDBGrid* grid, QWidget* target) {
    data::DataSet* ds = grid->DataSet();
    if (!ds || !ds->Active() || !SaveBtn->isEnabled())
        return;
    if (ds->IsEditing()) {
        if (target == CancelBtn || target == GyoCancelBtn || target == GyoSakujyoBtn) {
            data::DsCancel(*ds);
        } else {
            try {
                PostOrDrop(*ds);
            } catch (...) {
                grid->setFocus(Qt::OtherFocusReason);
                throw;
            }
        }
    }
    grid->SelectFirstEditableColumn();
}

void TStatementEntryForm::FocusCell(const data::DataSet& ds, const QString& field) {
    TDBGrid* grid = GridOf(ds);
    if (!grid)
        return;
    grid->SetSelectedField(field);
    QMetaObject::invokeMethod(
        this,
        [this, grid] {
            for (int i = 0; i < PageStack->count(); ++i)
                if (PageStack->widget(i)->isAncestorOf(grid) && PageControl1->currentIndex() != i) {
                    changingPage_ = true;
                    PageControl1->setCurrentIndex(i);
                    PageStack->setCurrentIndex(i);
                    shownPage_ = i;
                    changingPage_ = false;
                }
            grid->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
}

void TStatementEntryForm::PageControl1Change(int index) {
    if (changingPage_)
        return;
    if (SaveBtn->isEnabled()) {
        try {
            PostOwnEdits();
            if (ClientDataSet1.Active())
                PostViews();
        } catch (...) {
            // The switch is refused: the page with the refused edit stays in front.
            changingPage_ = true;
            PageControl1->setCurrentIndex(shownPage_);
            changingPage_ = false;
            throw;
        }
    }
    shownPage_ = index;
    PageStack->setCurrentIndex(index);
    SelectFirstEditableColumns();
    for (data::DataSet* ds : {&SyunyuClone, &SisyutsuClone})
        if (ds->Active())
            ds->First();
    TabChanged();
    UpdateRowButtons();
}

void TStatementEntryForm::GyoSakujyoBtnClick() {
    if (TDBGrid* grid = FrontGrid()) {
        data::DataSet& ds = *grid->DataSet();
        if (ds.IsEditing())
            data::DsCancel(ds);
        if (!ds.IsEmpty()) {
            CheckRowDelete(ds);
            data::DsDelete(ds);
        }
    }
    FocusFirstControl();
}

void TStatementEntryForm::GyoCancelBtnClick() {
    if (TDBGrid* grid = FrontGrid()) {
        data::DataSet& ds = *grid->DataSet();
        if (ds.IsEditing())
            data::DsCancel(ds);
    }
    FocusFirstControl();
}

bool TStatementEntryForm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        auto* key = static_cast<QKeyEvent*>(event);
        if (widget && widget->window() == this && widget == QApplication::focusWidget() &&
            GroupBox1->isEnabled()) {
            // Ctrl+Tab leaves a grid (Tab moves between its cells); Ctrl+PgDn and
            // Ctrl+PgUp turn the pages.
            if (key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier) {
                focusNextChild();
                return true;
            }
            if (key->key() == Qt::Key_Backtab && (key->modifiers() & Qt::ControlModifier)) {
                focusPreviousChild();
                return true;
            }
            if ((key->key() == Qt::Key_PageDown || key->key() == Qt::Key_PageUp) &&
                key->modifiers() == Qt::ControlModifier) {
                const int step = key->key() == Qt::Key_PageDown ? 1 : -1;
                const int count = PageControl1->count();
                PageControl1->setCurrentIndex((PageControl1->currentIndex() + step + count) % count);
                if (PageControl1->currentIndex() == shownPage_)
                    FocusFirstControl();
                return true;
            }
        }
    }
    return TTsubakiBaseForm2::eventFilter(watched, event);
}
