#include "master/KanaKensakuUnit.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "data/DataSetOperation.h"
#include "data/DataSetTableModel.h"
#include "db/DataModule.h"
#include "master/ChoiceList.h"
#include "master/KanaIndex.h"

TKanaKensakuForm::TKanaKensakuForm(SearchDef search, QWidget* parent)
    : TTsubakiBaseForm(parent),
      DBGrid1(new TChoiceList(this)),
      CloseBtn(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                               QStringLiteral("閉じる(&C)"), this)),
      ClientDataSet1(QStringLiteral("ClientDataSet1")),
      search_(std::move(search)),
      indexGroup_(new QButtonGroup(this)) {
    setWindowTitle(search_.caption);
    ClientDataSet1.AddField({.name = QStringLiteral("MEISYO"), .label = search_.nameTitle});
    ClientDataSet1.AddField({.name = QStringLiteral("FURIGANA"), .label = QStringLiteral("ふりがな")});

    DBGrid1->setToolTip(search_.listHint);
    DBGrid1->setMinimumSize(search_.nameLength >= search_.readingLength ? 640 : 560, 480);
    CloseBtn->setToolTip(QStringLiteral("ウインドウを閉じます。"));
    CloseBtn->setFocusPolicy(Qt::ClickFocus);
    CloseBtn->setAutoDefault(false);
    CloseBtn->setMinimumSize(120, 36);

    auto* right = new QVBoxLayout;
    right->addWidget(BuildIndexPanel());
    right->addStretch(1);
    right->addWidget(CloseBtn, 0, Qt::AlignRight);
    auto* root = new QHBoxLayout(this);
    root->addWidget(DBGrid1, 1);
    root->addLayout(right);

    // The list first, then the index buttons in reading order.
    QWidget* previous = DBGrid1;
    for (QPushButton* b : indexButtons_) {
        setTabOrder(previous, b);
        previous = b;
    }
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(DBGrid1, &TChoiceList::Chosen, this,
            [this](int row) { Guard([this, row] { DBGrid1CellClick(row); }); });
}

TKanaKensakuForm::~TKanaKensakuForm() {
    DBGrid1->setModel(nullptr);
}

QWidget* TKanaKensakuForm::BuildIndexPanel() {
    auto* panel = new QGroupBox(QStringLiteral("検索文字"), this);
    auto* grid = new QGridLayout(panel);
    grid->setSpacing(3);
    const int side = fontMetrics().height() + 6;
    indexGroup_->setExclusive(false);  // groups the buttons so that the arrow keys move among them
    std::vector<bool> used;
    for (const KanaIndexButton& index : KanaIndexButtons()) {
        auto* button = new QPushButton(index.text, panel);
        button->setToolTip(index.number == 0 ? QStringLiteral("すべてのデータを表示します。")
                                             : search_.buttonHint);
        if (index.number == 0) {
            button->setMinimumHeight(side);
            grid->addWidget(button, index.row, 0, 1, 5);
        } else {
            button->setFixedSize(side + 10, side);
            grid->addWidget(button, index.row, index.column);
        }
        used.resize(std::max(used.size(), static_cast<std::size_t>(index.row) + 1));
        used[static_cast<std::size_t>(index.row)] = true;
        indexGroup_->addButton(button);
        indexButtons_.push_back(button);
        connect(button, &QPushButton::clicked, this, [this, button, &index] {
            Guard([this, button, &index] { IndexButtonClick(button, index); });
        });
    }
    for (std::size_t row = 0; row < used.size(); ++row)
        if (!used[row])
            grid->setRowMinimumHeight(static_cast<int>(row), side / 2);
    return panel;
}

QPushButton* TKanaKensakuForm::IndexButton(const QString& text) const {
    for (QPushButton* b : indexButtons_)
        if (b->text() == text)
            return b;
    return nullptr;
}

void TKanaKensakuForm::PrepareWindow() {
    ClientDataSet1.Close();
    ClientDataSet1.SetConnection(&DataModule1().SQLConnection1);
    ClientDataSet1.SetCommandText(search_.sql);
    data::DsOpen(ClientDataSet1);
    if (!model_) {
        model_ = std::make_unique<data::DataSetTableModel>(ClientDataSet1);
        DBGrid1->setModel(model_.get());
        const bool longNames = search_.nameLength >= search_.readingLength;
        DBGrid1->FitColumns(longNames ? 0 : 1);
        DBGrid1->FixColumnWidth(longNames ? 1 : 0, longNames ? search_.readingLength : search_.nameLength);
    }
    Mark(indexButtons_.front());
    ClientDataSet1.SetFiltered(false);
    DBGrid1->setFocus();
}

void TKanaKensakuForm::Mark(QPushButton* button) {
    if (marked_)
        marked_->setPalette(QPalette());
    QPalette palette = button->palette();
    palette.setColor(QPalette::ButtonText, Qt::magenta);
    button->setPalette(palette);
    marked_ = button;
}

void TKanaKensakuForm::IndexButtonClick(QPushButton* button, const KanaIndexButton& index) {
    Mark(button);
    ClientDataSet1.SetFiltered(false);
    if (index.number != 0) {
        ClientDataSet1.SetFilter(KanaIndexFilter(index));
        ClientDataSet1.SetFiltered(true);
    }
    // On to the narrowed list; Shift+Tab there comes back to this button.
    if (!ClientDataSet1.IsEmpty())
        DBGrid1->setFocus(Qt::OtherFocusReason);
}

void TKanaKensakuForm::DBGrid1CellClick(int row) {
    if (!ClientDataSet1.Active() || ClientDataSet1.IsEmpty())
        return;
    ClientDataSet1.MoveToDisplayRow(row);
    selectedMeisyo_ = ClientDataSet1.FieldByName(QStringLiteral("MEISYO")).AsString();
    accept();
}

bool TKanaKensakuForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == DBGrid1 && event->type() == QEvent::KeyPress && marked_ &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Backtab) {
        marked_->setFocus(Qt::BacktabFocusReason);
        return true;
    }
    return TTsubakiBaseForm::eventFilter(watched, event);
}
