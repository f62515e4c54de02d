#include "kaihi/KaihiRyosyusyoUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "db/DataModule.h"
#include "kaihi/ExlKaihiRyosyusyoUnit.h"
#include "ui/WaitCursor.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString Yen(qint64 amount) {
    return QLocale(QLocale::Japanese).toString(amount) + u"円"_s;
}

// An empty field is no bound; anything else must be a date.
QDate BoundOf(const QLineEdit* edit) {
    if (edit->text().trimmed().isEmpty())
        return {};
    const QDate date = TypedHizuke(edit->text());
    if (!date.isValid())
        throw EAppError(u"納付日の範囲を正しい日付(例 2026/04/01)で入力してください。"_s);
    return date;
}

enum Column { kCheck, kHizuke, kSetai, kHan, kSyurui, kTsuki, kKingaku, kBango, kColumns };

}  // namespace

TKaihiRyosyusyoForm::TKaihiRyosyusyoForm(int nendo, int hanCd, QWidget* parent)
    : TplnBaseForm(parent),
      HanCombo(new QComboBox(this)),
      SetaiEdit(new QLineEdit(this)),
      KaisiEdit(new QLineEdit(this)),
      SyuryoEdit(new QLineEdit(this)),
      MihakkoCheck(new QCheckBox(u"領収書を未発行の納付だけ(&U)"_s, this)),
      NoufuGrid(new QTableWidget(0, kColumns, this)),
      GokeiLabel(new QLabel(this)),
      RyosyusyoBtn(new QPushButton(u"領収書(&R)"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      nendo_(nendo) {
    setWindowTitle(u"領収書の作成 %1年度"_s.arg(nendo));
    const int kanji = fontMetrics().horizontalAdvance(u'あ');
    HanCombo->setToolTip(u"この班の世帯の納付だけを表示します。"_s);
    SetaiEdit->setToolTip(u"世帯名にこの文字を含む納付だけを表示します。"_s);
    KaisiEdit->setToolTip(u"この日以後の納付だけを表示します(空欄は制限なし)。"_s);
    SyuryoEdit->setToolTip(u"この日以前の納付だけを表示します(空欄は制限なし)。"_s);
    for (QLineEdit* e : {KaisiEdit, SyuryoEdit})
        e->setMaximumWidth(kanji * 8);
    auto* filters = new QHBoxLayout;
    for (const auto& [label, widget] : {std::pair<QString, QWidget*>{u"班"_s, HanCombo},
                                        {u"世帯名"_s, SetaiEdit},
                                        {u"納付日"_s, KaisiEdit},
                                        {u"～"_s, SyuryoEdit}}) {
        filters->addWidget(new QLabel(label, this));
        filters->addWidget(widget);
    }
    filters->addWidget(MihakkoCheck);
    filters->addStretch(1);

    NoufuGrid->setHorizontalHeaderLabels(
        {u""_s, u"納付日"_s, u"世帯名"_s, u"班"_s, u"種別"_s, u"月"_s, u"金額"_s, u"領収書No."_s});
    NoufuGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    NoufuGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    NoufuGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    NoufuGrid->verticalHeader()->hide();
    NoufuGrid->horizontalHeader()->setStretchLastSection(true);
    const int widths[kColumns] = {2, 6, 9, 4, 6, 7, 6, 5};
    for (int c = 0; c < kColumns; ++c)
        NoufuGrid->setColumnWidth(c, kanji * widths[c]);
    NoufuGrid->setMinimumSize(kanji * 50, kanji * 18);
    NoufuGrid->setToolTip(u"領収書を作成する納付にスペースキーでチェックを付けます。"_s);
    NoufuGrid->installEventFilter(this);
    ExemptFromNavigation(NoufuGrid);
    RyosyusyoBtn->setToolTip(
        u"チェックした納付(チェックがなければ選んだ行)の領収書をワークブックに出力します。"
        u"一度発行した納付は同じ番号で再発行します。"_s);
    for (QPushButton* b : {RyosyusyoBtn, CloseBtn})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GokeiLabel);
    buttons->addStretch(1);
    buttons->addWidget(RyosyusyoBtn);
    buttons->addWidget(CloseBtn);
    auto* page = new QVBoxLayout(this);
    page->addLayout(filters);
    page->addWidget(NoufuGrid, 1);
    page->addLayout(buttons);
    setTabOrder(HanCombo, SetaiEdit);
    setTabOrder(SetaiEdit, KaisiEdit);
    setTabOrder(KaisiEdit, SyuryoEdit);
    setTabOrder(SyuryoEdit, MihakkoCheck);
    setTabOrder(MihakkoCheck, NoufuGrid);
    setTabOrder(NoufuGrid, RyosyusyoBtn);
    setTabOrder(RyosyusyoBtn, CloseBtn);

    RunGuarded([&] {
        Load();
        HanCombo->addItem(u"すべて"_s, 0);
        for (const KaihiHan& h : meibo_.han)
            HanCombo->addItem(h.name, h.hanCd);
        HanCombo->setCurrentIndex(std::max(0, HanCombo->findData(hanCd)));
        Show();
    });
    connect(HanCombo, &QComboBox::currentIndexChanged, this, [this] { RunGuarded([this] { Show(); }); });
    connect(SetaiEdit, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { Show(); }); });
    for (QLineEdit* e : {KaisiEdit, SyuryoEdit})
        connect(e, &QLineEdit::editingFinished, this, [this] { RunGuarded([this] { Show(); }); });
    connect(MihakkoCheck, &QCheckBox::toggled, this, [this] { RunGuarded([this] { Show(); }); });
    connect(NoufuGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (item->column() != kCheck)
            return;
        const int no = year_.noufuNos[rowNoufu_[static_cast<std::size_t>(item->row())]];
        if (item->checkState() == Qt::Checked)
            ticked_.insert(no);
        else
            ticked_.erase(no);
        UpdateTotal();
    });
    connect(RyosyusyoBtn, &QPushButton::clicked, this,
            [this] { RunGuarded([this] { RyosyusyoBtnClick(); }); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
}

std::vector<int> TKaihiRyosyusyoForm::Ticked() const {
    std::vector<int> nos;
    for (const int no : year_.noufuNos)
        if (ticked_.contains(no))
            nos.push_back(no);
    return nos;
}

bool TKaihiRyosyusyoForm::eventFilter(QObject* watched, QEvent* event) {
    // Space ticks the current row whichever of its cells is current.
    if (watched == NoufuGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && NoufuGrid->currentRow() >= 0) {
        Toggle(NoufuGrid->currentRow());
        return true;
    }
    return TplnBaseForm::eventFilter(watched, event);
}

void TKaihiRyosyusyoForm::Toggle(int row) {
    QTableWidgetItem* item = NoufuGrid->item(row, kCheck);
    item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TKaihiRyosyusyoForm::Load() {
    db::Connection& connection = DataModule1().SQLConnection1;
    meibo_ = LoadMeibo(connection);
    year_ = LoadKaihiYear(connection, nendo_);
    numbers_ = ReceiptNumbersOf(connection, nendo_);
    // Payments deleted elsewhere lose their ticks.
    std::erase_if(ticked_, [&](int no) {
        return std::find(year_.noufuNos.begin(), year_.noufuNos.end(), no) == year_.noufuNos.end();
    });
}

void TKaihiRyosyusyoForm::Show() {
    const int han = HanCombo->currentData().toInt();
    const QString part = SetaiEdit->text().trimmed();
    const QDate from = BoundOf(KaisiEdit);
    const QDate to = BoundOf(SyuryoEdit);
    const QSignalBlocker block(NoufuGrid);
    const int keep = NoufuGrid->currentRow();
    NoufuGrid->setRowCount(0);
    rowNoufu_.clear();
    const auto text = [](const QString& s, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
        auto* item = new QTableWidgetItem(s);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        item->setTextAlignment(align);
        return item;
    };
    for (std::size_t i = 0; i < year_.noufu.size(); ++i) {
        const KaihiNoufu& n = year_.noufu[i];
        const int no = year_.noufuNos[i];
        const auto setai = std::find_if(meibo_.setai.begin(), meibo_.setai.end(),
                                        [&](const SetaiMembership& s) { return s.setaiCd == n.setaiCd; });
        const int setaiHan = setai == meibo_.setai.end() ? 0 : HanOn(*setai, n.hizuke);
        const QString name = setai == meibo_.setai.end()
                                 ? QString()
                                 : meibo_.names[std::size_t(setai - meibo_.setai.begin())].name;
        if ((han != 0 && setaiHan != han && n.viaHanCd != han) || (!part.isEmpty() && !name.contains(part)) ||
            (from.isValid() && n.hizuke < from) || (to.isValid() && n.hizuke > to) ||
            (MihakkoCheck->isChecked() && numbers_.contains(no)))
            continue;
        const auto h = std::find_if(meibo_.han.begin(), meibo_.han.end(),
                                    [&](const KaihiHan& x) { return x.hanCd == setaiHan; });
        const auto kind = std::find_if(year_.syurui.begin(), year_.syurui.end(),
                                       [&](const KaihiSyurui& s) { return s.syuruiCd == n.syuruiCd; });
        const int row = NoufuGrid->rowCount();
        NoufuGrid->insertRow(row);
        rowNoufu_.push_back(i);
        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        check->setCheckState(ticked_.contains(no) ? Qt::Checked : Qt::Unchecked);
        NoufuGrid->setItem(row, kCheck, check);
        NoufuGrid->setItem(row, kHizuke, text(n.hizuke.toString(u"yyyy/MM/dd"_s)));
        NoufuGrid->setItem(row, kSetai, text(name));
        NoufuGrid->setItem(row, kHan, text(h == meibo_.han.end() ? QString() : h->name));
        NoufuGrid->setItem(row, kSyurui, text(kind == year_.syurui.end() ? QString() : kind->name));
        NoufuGrid->setItem(row, kTsuki, text(TsukiText(n.months)));
        NoufuGrid->setItem(row, kKingaku, text(Yen(n.kingaku), Qt::AlignRight | Qt::AlignVCenter));
        const auto number = numbers_.find(no);
        NoufuGrid->setItem(row, kBango,
                           text(number == numbers_.end() ? QString() : QString::number(number->second),
                                Qt::AlignRight | Qt::AlignVCenter));
    }
    if (NoufuGrid->rowCount() > 0)
        NoufuGrid->setCurrentCell(std::clamp(keep, 0, NoufuGrid->rowCount() - 1), kHizuke);
    UpdateTotal();
}

void TKaihiRyosyusyoForm::UpdateTotal() {
    qint64 total = 0;
    for (std::size_t i = 0; i < year_.noufu.size(); ++i)
        if (ticked_.contains(year_.noufuNos[i]))
            total += year_.noufu[i].kingaku;
    GokeiLabel->setText(u"チェック %1件（計 %2）／表示 %3件"_s.arg(ticked_.size())
                            .arg(Yen(total))
                            .arg(NoufuGrid->rowCount()));
}

void TKaihiRyosyusyoForm::RyosyusyoBtnClick() {
    std::vector<int> chosen = Ticked();
    if (chosen.empty()) {
        const int row = NoufuGrid->currentRow();
        if (row < 0)
            throw EAppError(u"領収書を作成する納付にチェックを付けてください。"_s);
        chosen.push_back(year_.noufuNos[rowNoufu_[static_cast<std::size_t>(row)]]);
    }
    try {
        const TWaitCursor wait;
        TExlKaihiRyosyusyoModule report;
        report.SetNendo(nendo_);
        report.SetNoufu(chosen);
        report.Execute();
    } catch (...) {
        // Numbers may have been given before the book failed: show them.
        Load();
        Show();
        throw;
    }
    ticked_.clear();
    Load();
    Show();
    NoufuGrid->setFocus();
}
