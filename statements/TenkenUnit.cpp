#include "statements/TenkenUnit.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "data/FieldFormat.h"
#include "db/DataModule.h"
#include "ui/WaitCursor.h"

using namespace Qt::Literals::StringLiterals;

TTenkenForm::TTenkenForm(int nendo, QWidget* parent)
    : QDialog(parent),
      SummaryLabel(new QLabel(this)),
      FindingList(new QTableWidget(0, 3, this)),
      SyuseiBtn(new QPushButton(u"修正"_s, this)),
      SaiTenkenBtn(new QPushButton(u"再点検"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      nendo_(nendo) {
    setWindowTitle(u"点検"_s);
    FindingList->setHorizontalHeaderLabels({u"重要度"_s, u"種類"_s, u"内容"_s});
    FindingList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FindingList->setSelectionBehavior(QAbstractItemView::SelectRows);
    FindingList->setSelectionMode(QAbstractItemView::SingleSelection);
    FindingList->verticalHeader()->hide();
    FindingList->horizontalHeader()->setStretchLastSection(true);
    FindingList->setWordWrap(true);
    const int kanji = FindingList->fontMetrics().horizontalAdvance(u'あ');
    FindingList->setColumnWidth(0, kanji * 4);
    FindingList->setColumnWidth(1, kanji * 7);
    FindingList->setMinimumSize(kanji * 60, kanji * 18);
    FindingList->setToolTip(u"点検で見つかったことの一覧です。"_s);
    SyuseiBtn->setToolTip(u"選択した項目を修正します。(前年度繰越金を前年度の次期繰越金に合わせます)"_s);
    SaiTenkenBtn->setToolTip(u"もう一度点検します。"_s);
    for (QPushButton* b : {SyuseiBtn, SaiTenkenBtn})
        b->setAutoDefault(false);
    CloseBtn->setDefault(true);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(SaiTenkenBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { Refresh(); }); });
    connect(SyuseiBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { SyuseiBtnClick(); }); });
    connect(FindingList, &QTableWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SyuseiBtn);
    buttons->addStretch(1);
    buttons->addWidget(SaiTenkenBtn);
    buttons->addWidget(CloseBtn);
    auto* page = new QVBoxLayout(this);
    page->addWidget(SummaryLabel);
    page->addWidget(FindingList, 1);
    page->addLayout(buttons);
    setTabOrder(FindingList, SyuseiBtn);
    setTabOrder(SyuseiBtn, SaiTenkenBtn);
    setTabOrder(SaiTenkenBtn, CloseBtn);
    RunGuarded([this] { Refresh(); });
}

void TTenkenForm::Refresh() {
    const TWaitCursor wait;
    db::Connection& connection = DataModule1().SQLConnection1;
    findings_ = statements::CheckBooks(connection, nendo_);
    // The database's own validation is left to tsubaki check and the backup: a copy
    // of a file this program has open and has written to is not a whole database.
    FindingList->setRowCount(static_cast<int>(findings_.size()));
    int errors = 0;
    for (int row = 0; row < static_cast<int>(findings_.size()); ++row) {
        const statements::Finding& f = findings_[static_cast<std::size_t>(row)];
        auto* severity = new QTableWidgetItem(statements::SeverityText(f.severity));
        if (f.severity == statements::Severity::Error) {
            severity->setForeground(Qt::red);
            ++errors;
        }
        FindingList->setItem(row, 0, severity);
        FindingList->setItem(row, 1, new QTableWidgetItem(f.kind));
        FindingList->setItem(row, 2,
                             new QTableWidgetItem(f.text + (f.remedy ? u"(修正できます)"_s : QString())));
    }
    FindingList->resizeRowsToContents();
    const QString year = QString::number(nendo_) + u"年度"_s;
    SummaryLabel->setText(findings_.empty()
                              ? year + u"の点検: 問題は見つかりませんでした。"_s
                              : year + u"の点検: エラー "_s + QString::number(errors) + u"件、注意 "_s +
                                    QString::number(findings_.size() - static_cast<std::size_t>(errors)) +
                                    u"件"_s);
    if (!findings_.empty())
        FindingList->selectRow(0);
    UpdateButtons();
}

void TTenkenForm::UpdateButtons() {
    const int row = FindingList->currentRow();
    SyuseiBtn->setEnabled(row >= 0 && row < static_cast<int>(findings_.size()) &&
                          findings_[static_cast<std::size_t>(row)].remedy.has_value());
}

void TTenkenForm::SyuseiBtnClick() {
    const int row = FindingList->currentRow();
    if (row < 0 || row >= static_cast<int>(findings_.size()) ||
        !findings_[static_cast<std::size_t>(row)].remedy)
        return;
    const statements::OpeningRemedy remedy = *findings_[static_cast<std::size_t>(row)].remedy;
    if (Dialogs().MessageDlg(QString::number(remedy.nendo) + u"年度の予算の前年度繰越金を "_s +
                                 data::FormatNumber(remedy.amount, u"#,##0;-#,##0"_s) +
                                 u"円(前年度の次期繰越金)に変更して保存します。よろしいですか?"_s,
                             MsgDlgType::Confirmation, mbYes | mbNo, mbNo) != ModalResult::Yes)
        return;
    statements::ApplyOpeningRemedy(DataModule1().SQLConnection1, remedy);
    Refresh();
}
