#include "statements/YosansyoSelectUnit.h"

#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "db/DataModule.h"
#include "platform/Folders.h"
#include "reports/StatementList.h"
#include "reports/YosansyoModules.h"
#include "reports/YosansyoRules.h"
#include "ui/ReportProgressDialog.h"
#include "ui/WaitCursor.h"

#include <QCheckBox>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <optional>

TYosansyoSelectForm::TYosansyoSelectForm(int nendo, const QString& jikoku, data::DataSet* nendoDS,
                                         QWidget* parent)
    : TTsubakiBaseForm(parent),
      Label1(new QLabel(QStringLiteral("出力する帳票を選択してから「実行」をクリックしてください。"), this)),
      ExecBtn(new QPushButton(QStringLiteral("実行"), this)),
      SaveBtn(new QPushButton(QStringLiteral("設定値保存"), this)),
      CloseBtn(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                               QStringLiteral("閉じる(&C)"), this)),
      ListView1(new QTreeWidget(this)),
      ZeroCheckBox(new QCheckBox(QStringLiteral("金額が０の科目は出力しない"), this)),
      GraphCheckBox(new QCheckBox(QStringLiteral("グラフのシートを付ける"), this)),
      Nendo(nendo),
      Jikoku(jikoku),
      NendoDS(nendoDS) {
    setWindowTitle(QStringLiteral("予算書出力"));
    Label1->setStyleSheet(QStringLiteral("color: blue;"));
    ExecBtn->setToolTip(QStringLiteral("選択中の帳票をExcel出力します。"));
    SaveBtn->setToolTip(QStringLiteral(
        "金額０科目出力区分、グラフの有無と選択中の帳票の設定を保存して次回から毎回同じ内容で復元します。"));
    GraphCheckBox->setToolTip(
        QStringLiteral("予算と決算の比較、支出の内訳、月末残高の推移のグラフを「グラフ」シートに付けます。"));
    CloseBtn->setToolTip(QStringLiteral("ウインドウを閉じます。"));
    for (QPushButton* b : {ExecBtn, SaveBtn, CloseBtn}) {
        b->setAutoDefault(false);
        b->setMinimumSize(110, 32);
    }
    ListView1->setColumnCount(2);
    ListView1->setHeaderLabels({QStringLiteral("帳票種別"), QStringLiteral("出力内容")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setToolTip(QStringLiteral("出力する帳票を選択します。"));
    ListView1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    ListView1->header()->setStretchLastSection(true);
    ListView1->setMinimumSize(640, 400);  // every line of the list without scrolling
    ExemptFromNavigation(ListView1);
    // The Tab key passes the check boxes by.
    ZeroCheckBox->setFocusPolicy(Qt::ClickFocus);
    GraphCheckBox->setFocusPolicy(Qt::ClickFocus);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Label1, 1);
    buttons->addWidget(ExecBtn);
    buttons->addWidget(SaveBtn);
    buttons->addWidget(CloseBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(ListView1, 1);
    auto* options = new QHBoxLayout;
    options->addWidget(ZeroCheckBox);
    options->addWidget(GraphCheckBox);
    options->addStretch(1);
    layout->addLayout(options);
    setTabOrder(ListView1, ExecBtn);
    setTabOrder(ExecBtn, SaveBtn);
    setTabOrder(SaveBtn, CloseBtn);

    connect(ExecBtn, &QPushButton::clicked, this, [this] { Guard([this] { ExecBtnClick(); }); });
    connect(SaveBtn, &QPushButton::clicked, this, [this] { Guard([this] { SaveBtnClick(); }); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::close);
}

TYosansyoSelectForm::~TYosansyoSelectForm() = default;

QString TYosansyoSelectForm::ListFile() const {
    return QStringLiteral("YosansyoList.txt");
}

QString TYosansyoSelectForm::SyokichiSql() const {
    return QStringLiteral(
        "select YOSANSYO_SYOKICHI as SYOKICHI, YOSAN_ZERO_PRINT as ZERO_PRINT, YOSAN_GRAPH_PRINT as "
        "GRAPH_PRINT"
        " from NENDO where (NENDO = :NENDO)");
}

QString TYosansyoSelectForm::SaveSql() const {
    return QStringLiteral(
        "update NENDO set YOSANSYO_SYOKICHI = :SYOKICHI, YOSAN_ZERO_PRINT = :ZeroPrint,"
        " YOSAN_GRAPH_PRINT = :GraphPrint where (NENDO = :NENDO)");
}

std::unique_ptr<TExlYosansyoModule> TYosansyoSelectForm::NewModule(int line) const {
    return NewYosansyoModule(yosansyo::ModuleForLine(line));
}

void TYosansyoSelectForm::SetupModule(TExlYosansyoModule&) const {}

void TYosansyoSelectForm::PrepareWindow() {
    // Keys and buttons only: no Japanese input anywhere in the window.
    for (QWidget* w : findChildren<QWidget*>())
        w->setAttribute(Qt::WA_InputMethodEnabled, false);
    TTsubakiBaseForm::PrepareWindow();
    // A missing list is reported and leaves the window without statements.
    if (RunGuarded([this] { LoadList(); }))
        ReadRemembered();
    ListView1->setFocus();
}

void TYosansyoSelectForm::LoadList() {
    for (const StatementListLine& line : ReadStatementList(platform::ProgramFolder() + u'/' + ListFile())) {
        auto* item = new QTreeWidgetItem(ListView1);
        item->setText(0, line.key);
        item->setText(1, line.description);
    }
    if (ListView1->topLevelItemCount() > 0)
        ListView1->setCurrentItem(ListView1->topLevelItem(0));
}

void TYosansyoSelectForm::ReadRemembered() {
    const auto rows =
        DataModule1().SQLConnection1.Select(SyokichiSql(), {{QStringLiteral("NENDO"), Nendo}}).rows;
    if (rows.empty())
        return;
    const QString key = rows.front()[0].AsString();
    for (int i = 0; i < ListView1->topLevelItemCount(); ++i) {
        if (!key.isEmpty() && ListView1->topLevelItem(i)->text(0) == key) {
            ListView1->setCurrentItem(ListView1->topLevelItem(i));
            break;
        }
    }
    const db::Value& zero = rows.front()[1];
    ZeroCheckBox->setChecked(zero.IsNull() || zero.AsInteger() == 0);
    const db::Value& graph = rows.front()[2];
    GraphCheckBox->setChecked(!graph.IsNull() && graph.AsInteger() == 1);
}

int TYosansyoSelectForm::SelectedLine() const {
    QTreeWidgetItem* item = ListView1->currentItem();
    return item ? ListView1->indexOfTopLevelItem(item) + 1 : 0;
}

QString TYosansyoSelectForm::SelectedKey() const {
    QTreeWidgetItem* item = ListView1->currentItem();
    return item ? item->text(0) : QString();
}

int TYosansyoSelectForm::ZeroPrintValue() const {
    return ZeroCheckBox->isChecked() ? 0 : 1;
}

void TYosansyoSelectForm::ExecBtnClick() {
    const int line = SelectedLine();
    if (line == 0)
        return;
    std::unique_ptr<TExlYosansyoModule> module = NewModule(line);
    module->SetNendo(Nendo);
    module->SetJikoku(Jikoku);
    module->SetNendoDS(NendoDS);
    module->SetTemplatemei(SelectedKey());
    module->SetZeroPrint(ZeroPrintValue() == 1);
    module->SetCharts(GraphCheckBox->isChecked());
    SetupModule(*module);
    TReportProgressDialog progress(this, windowTitle());
    module->SetProgress(&progress);
    module->Execute();
    lastSaved_ = module->SavedFiles();
}

void TYosansyoSelectForm::SaveBtnClick() {
    if (SelectedLine() == 0)
        return;
    DataModule1().SQLConnection1.Execute(SaveSql(),
                                         {{QStringLiteral("SYOKICHI"), SelectedKey()},
                                          {QStringLiteral("ZeroPrint"), ZeroPrintValue()},
                                          {QStringLiteral("GraphPrint"), GraphCheckBox->isChecked() ? 1 : 0},
                                          {QStringLiteral("NENDO"), Nendo}});
}
