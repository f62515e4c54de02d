#include "journal/TorikomiErrorUnit.h"

#include <QFileInfo>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace Qt::Literals::StringLiterals;

TTorikomiErrorForm::TTorikomiErrorForm(const QString& fileName, const std::vector<RowError>& errors,
                                       QWidget* parent)
    : TTsubakiBaseForm(parent),
      Label1(new QLabel(this)),
      ErrorGrid(new QTableWidget(static_cast<int>(errors.size()), 2, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)) {
    setWindowTitle(u"取込できない行"_s);
    Label1->setText(
        u"「%1」の次の%2行は取り込めません。ファイルを直してから、もう一度取り込んでください。\n"
        u"（明細は1行も取り込んでいません。）"_s.arg(QFileInfo(fileName).fileName())
            .arg(errors.size()));
    Label1->setWordWrap(true);

    ErrorGrid->setHorizontalHeaderLabels({u"行"_s, u"理由"_s});
    ErrorGrid->verticalHeader()->hide();
    for (int r = 0; r < static_cast<int>(errors.size()); ++r) {
        auto* row = new QTableWidgetItem(QString::number(errors[static_cast<std::size_t>(r)].row));
        row->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        ErrorGrid->setItem(r, 0, row);
        ErrorGrid->setItem(r, 1, new QTableWidgetItem(errors[static_cast<std::size_t>(r)].message));
    }
    ErrorGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ErrorGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    ErrorGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    ErrorGrid->setWordWrap(false);
    ErrorGrid->horizontalHeader()->setStretchLastSection(true);
    ErrorGrid->resizeColumnToContents(0);
    ErrorGrid->setColumnWidth(
        0, std::max(ErrorGrid->columnWidth(0), fontMetrics().horizontalAdvance(u"00000"_s) + 16));
    ErrorGrid->setMinimumSize(760, 300);
    ErrorGrid->setToolTip(u"取り込めない行の番号（表計算ソフトで開いたときの行番号）と理由です。"_s);
    // Arrow keys scroll the list; Tab leaves it.
    ExemptFromNavigation(ErrorGrid);
    ErrorGrid->setTabKeyNavigation(false);

    CloseBtn->setMinimumSize(110, 36);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    auto* root = new QVBoxLayout(this);
    root->addWidget(Label1);
    root->addWidget(ErrorGrid, 1);
    root->addLayout(buttons);
    setTabOrder(ErrorGrid, CloseBtn);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
}

void TTorikomiErrorForm::PrepareWindow() {
    CloseBtn->setFocus();
}
