#include "kaihi/KaihiCyosyuUnit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "data/FieldFormat.h"
#include "db/DataModule.h"
#include "kaihi/ExlKaihiCyosyuUnit.h"
#include "kaihi/ExlKaihiMinouUnit.h"
#include "kaihi/KaihiMenjyoUnit.h"
#include "kaihi/KaihiRyosyusyoUnit.h"
#include "kaihi/KaihiSyuruiUnit.h"
#include "ui/WaitCursor.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QDate TypedDate(const QLineEdit* edit) {
    const QDate date = TypedHizuke(edit->text());
    if (!date.isValid())
        throw EAppError(u"納付日を正しい日付(例 2026/04/01)で入力してください。"_s);
    return date;
}

QString Yen(qint64 amount) {
    return QLocale(QLocale::Japanese).toString(amount) + u"円"_s;
}

}  // namespace

TKaihiCyosyuForm::TKaihiCyosyuForm(int nendo, QWidget* parent)
    : TplnBaseForm(parent),
      HanCombo(new QComboBox(this)),
      SyuruiCombo(new QComboBox(this)),
      HizukeEdit(new QLineEdit(this)),
      UketoriCombo(new QComboBox(this)),
      CyosyuGrid(new QTableWidget(this)),
      GokeiLabel(new QLabel(this)),
      SyuruiBtn(new QPushButton(u"種別…"_s, this)),
      MenjyoBtn(new QPushButton(u"免除…"_s, this)),
      IchiranBtn(new QPushButton(u"徴収一覧"_s, this)),
      MinouBtn(new QPushButton(u"未納一覧"_s, this)),
      RemakeBtn(new QPushButton(u"仕訳を作り直す"_s, this)),
      RyosyuBtn(new QPushButton(u"領収書(&R)…"_s, this)),
      HozonBtn(new QPushButton(u"保存"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      nendo_(nendo) {
    setWindowTitle(u"会費徴収 %1年度"_s.arg(nendo));
    const int kanji = fontMetrics().horizontalAdvance(u'あ');
    HanCombo->setToolTip(u"徴収する班を選びます。"_s);
    SyuruiCombo->setToolTip(u"徴収する会費の種別を選びます。"_s);
    HizukeEdit->setToolTip(u"会費を受け取った日です。収支明細の日付になります。"_s);
    HizukeEdit->setMaximumWidth(kanji * 8);
    UketoriCombo->setToolTip(u"班長が集めたか、振込かを選びます。"_s);
    UketoriCombo->addItem(u"班長"_s, 1);
    UketoriCombo->addItem(u"振込"_s, 0);
    auto* choices = new QHBoxLayout;
    for (const auto& [label, widget] : {std::pair<QString, QWidget*>{u"班"_s, HanCombo},
                                        {u"会費の種別"_s, SyuruiCombo},
                                        {u"納付日"_s, HizukeEdit},
                                        {u"受取"_s, UketoriCombo}}) {
        choices->addWidget(new QLabel(label, this));
        choices->addWidget(widget);
    }
    choices->addStretch(1);

    CyosyuGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    CyosyuGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    CyosyuGrid->verticalHeader()->hide();
    CyosyuGrid->horizontalHeader()->setStretchLastSection(true);
    // Every month, this time's amount and what is still owed without scrolling sideways.
    CyosyuGrid->setMinimumSize(kanji * 62, kanji * 22);
    CyosyuGrid->setToolTip(
        u"納める月にスペースキーでチェックを付けます。灰色の月は納付済みか納付不要です。"_s);
    ExemptFromNavigation(CyosyuGrid);

    HozonBtn->setToolTip(u"チェックした月の納付を保存し、収支明細を作成します。(Ctrl+S)"_s);
    SyuruiBtn->setToolTip(u"この年度の会費の種別(名称・月額/年額・金額・科目)を設定します。"_s);
    IchiranBtn->setToolTip(u"選んだ種別の会費徴収一覧(班ごとの世帯×月)をワークブックに出力します。"_s);
    MenjyoBtn->setToolTip(u"選んだ行の世帯の、この種別の会費の免除を設定します。"_s);
    MinouBtn->setToolTip(u"今日までに納める会費の未納を、班・世帯・種別ごとにワークブックに出力します。"_s);
    RemakeBtn->setToolTip(
        u"納付から作った収支明細が、保存されずに失われたときに、納付からもう一度作ります。"_s);
    RyosyuBtn->setToolTip(u"納付を選んで領収書を作成します。"_s);
    for (QPushButton* b :
         {MenjyoBtn, SyuruiBtn, IchiranBtn, MinouBtn, RyosyuBtn, RemakeBtn, HozonBtn, CloseBtn})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(GokeiLabel);
    buttons->addStretch(1);
    buttons->addWidget(MenjyoBtn);
    buttons->addWidget(IchiranBtn);
    buttons->addWidget(MinouBtn);
    buttons->addWidget(RyosyuBtn);
    buttons->addWidget(SyuruiBtn);
    buttons->addWidget(RemakeBtn);
    buttons->addWidget(HozonBtn);
    buttons->addWidget(CloseBtn);

    auto* page = new QVBoxLayout(this);
    page->addLayout(choices);
    page->addWidget(CyosyuGrid, 1);
    page->addLayout(buttons);
    setTabOrder(HanCombo, SyuruiCombo);
    setTabOrder(SyuruiCombo, HizukeEdit);
    setTabOrder(HizukeEdit, UketoriCombo);
    setTabOrder(UketoriCombo, CyosyuGrid);
    setTabOrder(CyosyuGrid, HozonBtn);
    setTabOrder(HozonBtn, MenjyoBtn);
    setTabOrder(MenjyoBtn, IchiranBtn);
    setTabOrder(IchiranBtn, MinouBtn);
    setTabOrder(MinouBtn, RyosyuBtn);
    setTabOrder(RyosyuBtn, SyuruiBtn);
    setTabOrder(SyuruiBtn, RemakeBtn);
    setTabOrder(RemakeBtn, CloseBtn);

    connect(HanCombo, &QComboBox::currentIndexChanged, this,
            [this] { RunGuarded([this] { LayOutGrid(); }); });
    connect(SyuruiCombo, &QComboBox::currentIndexChanged, this,
            [this] { RunGuarded([this] { LayOutGrid(); }); });
    connect(CyosyuGrid, &QTableWidget::itemChanged, this, [this] { UpdateTotal(); });
    connect(HozonBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { HozonBtnClick(); }); });
    connect(RemakeBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { RemakeBtnClick(); }); });
    connect(SyuruiBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            TKaihiSyuruiForm form(nendo_, this);
            form.exec();
            Refresh();
        });
    });
    connect(MenjyoBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            const int row = CyosyuGrid->currentRow();
            const KaihiSyurui* syurui = ChosenSyurui();
            if (row < 0 || syurui == nullptr)
                throw EAppError(u"免除を設定する世帯の行を選んでください。"_s);
            TKaihiMenjyoForm form(nendo_, rowSetai_[static_cast<std::size_t>(row)],
                                  CyosyuGrid->item(row, 0)->text(), *syurui, this);
            form.exec();
            Refresh();
            CyosyuGrid->setCurrentCell(std::min(row, CyosyuGrid->rowCount() - 1), 1);
        });
    });
    connect(IchiranBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            const TWaitCursor wait;
            TExlKaihiCyosyuModule report;
            report.SetNendo(nendo_);
            report.SetSyurui(SyuruiCombo->currentData().toInt());
            report.Execute();
        });
    });
    connect(MinouBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            const TWaitCursor wait;
            TExlKaihiMinouModule report;
            report.SetNendo(nendo_);
            report.Execute();
        });
    });
    connect(RyosyuBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            TKaihiRyosyusyoForm form(nendo_, HanCombo->currentData().toInt(), this);
            form.exec();
        });
    });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(new QShortcut(QKeySequence(u"Ctrl+S"_s), this), &QShortcut::activated, this,
            [this] { RunGuarded([this] { HozonBtnClick(); }); });
    RunGuarded([this] { Refresh(); });
}

const KaihiSyurui* TKaihiCyosyuForm::ChosenSyurui() const {
    const int cd = SyuruiCombo->currentData().toInt();
    const auto found = std::find_if(year_.syurui.begin(), year_.syurui.end(),
                                    [&](const KaihiSyurui& s) { return s.syuruiCd == cd; });
    return found == year_.syurui.end() ? nullptr : &*found;
}

void TKaihiCyosyuForm::Refresh() {
    db::Connection& connection = DataModule1().SQLConnection1;
    meibo_ = LoadMeibo(connection);
    year_ = LoadKaihiYear(connection, nendo_);
    months_ = NendoMonths(year_.kisyubi);
    {
        const QSignalBlocker blockHan(HanCombo);
        const QSignalBlocker blockSyurui(SyuruiCombo);
        const QVariant han = HanCombo->currentData();
        const QVariant syurui = SyuruiCombo->currentData();
        HanCombo->clear();
        for (const KaihiHan& h : meibo_.han)
            HanCombo->addItem(h.hancyo.isEmpty() ? h.name : h.name + u"（"_s + h.hancyo + u"）"_s, h.hanCd);
        HanCombo->setCurrentIndex(std::max(0, HanCombo->findData(han)));
        SyuruiCombo->clear();
        for (const KaihiSyurui& s : year_.syurui)
            SyuruiCombo->addItem(s.name + (s.perMonth ? u"(月額 "_s : u"(年額 "_s) + Yen(s.kingaku) + u")"_s,
                                 s.syuruiCd);
        SyuruiCombo->setCurrentIndex(std::max(0, SyuruiCombo->findData(syurui)));
    }
    if (HizukeEdit->text().isEmpty()) {
        const QDate last = year_.kisyubi.addYears(1).addDays(-1);
        HizukeEdit->setText(std::clamp(QDate::currentDate(), year_.kisyubi, last).toString(u"yyyy/MM/dd"_s));
    }
    if (meibo_.han.empty())
        throw EAppError(u"班が登録されていません。「班・世帯」で班を登録してください。"_s);
    if (year_.syurui.empty())
        throw EAppError(
            u"%1年度の会費の種別が登録されていません。「種別…」で登録してください。"_s.arg(nendo_));
    LayOutGrid();
}

void TKaihiCyosyuForm::LayOutGrid() {
    const KaihiSyurui* syurui = ChosenSyurui();
    const int han = HanCombo->currentData().toInt();
    const QSignalBlocker block(CyosyuGrid);
    CyosyuGrid->clear();
    CyosyuGrid->setRowCount(0);
    rowSetai_.clear();
    if (syurui == nullptr)
        return;
    QStringList headers{u"世帯名"_s};
    if (syurui->perMonth)
        for (const QDate& m : months_)
            headers << u"%1月"_s.arg(m.month());
    else
        headers << u"年額"_s;
    headers << u"今回"_s << u"未納"_s;
    CyosyuGrid->setColumnCount(static_cast<int>(headers.size()));
    CyosyuGrid->setHorizontalHeaderLabels(headers);
    const int kanji = fontMetrics().horizontalAdvance(u'あ');
    CyosyuGrid->setColumnWidth(0, kanji * 9);
    for (int c = 1; c < headers.size() - 2; ++c)
        CyosyuGrid->setColumnWidth(c, kanji * 3);
    CyosyuGrid->setColumnWidth(static_cast<int>(headers.size()) - 2, kanji * 6);
    CyosyuGrid->setColumnWidth(static_cast<int>(headers.size()) - 1, kanji * 6);

    for (std::size_t i = 0; i < meibo_.setai.size(); ++i) {
        const SetaiMembership& setai = meibo_.setai[i];
        const std::vector<KaihiOwed> owed = OwedDues(setai, *syurui, year_.menjyo, months_);
        // The households that are in this 班 in some month of the year.
        const bool inHan = std::any_of(months_.begin(), months_.end(),
                                       [&](const QDate& m) { return HanOfMonth(setai, m) == han; });
        if (!inHan)
            continue;
        std::vector<KaihiNoufu> paid;
        for (const KaihiNoufu& n : year_.noufu)
            if (n.setaiCd == setai.setaiCd)
                paid.push_back(n);
        const KaihiMinou minou = MinouOf(owed, *syurui, paid);
        const int row = CyosyuGrid->rowCount();
        CyosyuGrid->insertRow(row);
        rowSetai_.push_back(setai.setaiCd);
        CyosyuGrid->setItem(row, 0, new QTableWidgetItem(meibo_.names[i].name));
        const auto cell = [&](int column, const QDate& month) {
            const bool isOwed = std::any_of(owed.begin(), owed.end(), [&](const KaihiOwed& o) {
                return syurui->perMonth ? o.month == month : true;
            });
            const bool unpaid =
                std::find(minou.months.begin(), minou.months.end(), month) != minou.months.end() ||
                (!syurui->perMonth && !minou.months.empty());
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            // This 班's months only: a household that moved pays its other months there.
            const bool here = !syurui->perMonth || HanOfMonth(setai, month) == han;
            if (isOwed && unpaid && here) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            } else {
                item->setFlags(Qt::ItemIsSelectable);
                item->setText(!isOwed ? u"－"_s : !here ? u"他班"_s : u"済"_s);
            }
            CyosyuGrid->setItem(row, column, item);
        };
        if (syurui->perMonth)
            for (std::size_t m = 0; m < months_.size(); ++m)
                cell(static_cast<int>(m) + 1, months_[m]);
        else
            cell(1, owed.empty() ? QDate() : owed.front().month);
        auto* konkai = new QTableWidgetItem;
        konkai->setFlags(Qt::ItemIsSelectable);
        konkai->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        CyosyuGrid->setItem(row, CyosyuGrid->columnCount() - 2, konkai);
        auto* minouItem = new QTableWidgetItem(minou.kingaku > 0 ? Yen(minou.kingaku) : QString());
        minouItem->setFlags(Qt::ItemIsSelectable);
        minouItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (minou.kingaku > 0)
            minouItem->setForeground(Qt::red);
        CyosyuGrid->setItem(row, CyosyuGrid->columnCount() - 1, minouItem);
    }
    if (CyosyuGrid->rowCount() > 0)
        CyosyuGrid->setCurrentCell(0, 1);
    UpdateTotal();
}

std::vector<KaihiNoufu> TKaihiCyosyuForm::Collection() const {
    std::vector<KaihiNoufu> collection;
    const KaihiSyurui* syurui = ChosenSyurui();
    if (syurui == nullptr)
        return collection;
    const QDate hizuke = TypedHizuke(HizukeEdit->text());
    const int via = UketoriCombo->currentData().toInt() == 1 ? HanCombo->currentData().toInt() : 0;
    for (int row = 0; row < CyosyuGrid->rowCount(); ++row) {
        KaihiNoufu noufu{rowSetai_[static_cast<std::size_t>(row)], syurui->syuruiCd, hizuke, {}, 0, via};
        bool ticked = false;
        for (int c = 1; c < CyosyuGrid->columnCount() - 2; ++c) {
            const QTableWidgetItem* item = CyosyuGrid->item(row, c);
            if (item == nullptr || !(item->flags() & Qt::ItemIsUserCheckable) ||
                item->checkState() != Qt::Checked)
                continue;
            ticked = true;
            noufu.kingaku += syurui->kingaku;
            if (syurui->perMonth)
                noufu.months.push_back(months_[static_cast<std::size_t>(c - 1)]);
        }
        if (ticked)
            collection.push_back(noufu);
    }
    return collection;
}

void TKaihiCyosyuForm::UpdateTotal() {
    const std::vector<KaihiNoufu> collection = Collection();
    qint64 total = 0;
    const QSignalBlocker block(CyosyuGrid);
    for (int row = 0; row < CyosyuGrid->rowCount(); ++row) {
        const int setai = rowSetai_[static_cast<std::size_t>(row)];
        const auto n = std::find_if(collection.begin(), collection.end(),
                                    [&](const KaihiNoufu& x) { return x.setaiCd == setai; });
        const qint64 amount = n == collection.end() ? 0 : n->kingaku;
        total += amount;
        if (QTableWidgetItem* item = CyosyuGrid->item(row, CyosyuGrid->columnCount() - 2))
            item->setText(amount > 0 ? Yen(amount) : QString());
    }
    GokeiLabel->setText(u"今回の合計 %1（%2世帯）"_s.arg(Yen(total)).arg(collection.size()));
}

std::optional<db::WorkKey> TKaihiCyosyuForm::JournalLoadOfYear() const {
    if (journal_ == nullptr)
        return std::nullopt;
    const std::optional<JournalLoad> load = journal_->CurrentLoad();
    if (!load || load->nendo != nendo_)
        return std::nullopt;
    journal_->ReadyForLines();
    return load->key;
}

void TKaihiCyosyuForm::HozonBtnClick() {
    const QDate hizuke = TypedDate(HizukeEdit);
    std::vector<KaihiNoufu> collection = Collection();
    if (collection.empty())
        throw EAppError(u"納付する月にチェックを付けてください。"_s);
    for (KaihiNoufu& n : collection)
        n.hizuke = hizuke;
    const std::optional<db::WorkKey> journalLoad = JournalLoadOfYear();
    const std::vector<int> lines =
        SaveCollection(DataModule1().SQLConnection1, nendo_, collection, journalLoad);
    if (journalLoad)
        journal_->LinesHandedOver(lines);
    qint64 total = 0;
    for (const KaihiNoufu& n : collection)
        total += n.kingaku;
    const QString saved = u"%1世帯の納付（計 %2）を保存し、"_s.arg(collection.size()).arg(Yen(total));
    ShowMessage(journalLoad ? saved +
                                  u"収支明細を%1行、収支明細入力に追加しました。\r\n"
                                  u"収支明細入力で保存すると確定します。"_s.arg(lines.size())
                            : saved + u"収支明細を%1行作成しました。"_s.arg(lines.size()));
    Refresh();
    CyosyuGrid->setFocus();
}

void TKaihiCyosyuForm::RemakeBtnClick() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const std::optional<db::WorkKey> journalLoad = JournalLoadOfYear();
    const std::vector<int> missing = MissingJournalLines(connection, nendo_, journalLoad);
    if (missing.empty()) {
        ShowMessage(u"%1年度の会費の納付の収支明細は、すべてそろっています。"_s.arg(nendo_));
        return;
    }
    if (Dialogs().MessageDlg(u"会費の納付から作った収支明細のうち%1行がありません。\r\n"
                             u"（保存せずに閉じた収支明細入力で作られたものなど）\r\n\r\n"
                             u"納付からもう一度作りますか?"_s.arg(missing.size()),
                             MsgDlgType::Confirmation, mbYes | mbNo, mbYes) != ModalResult::Yes)
        return;
    const std::vector<int> made = RemakeJournalLines(connection, nendo_, journalLoad);
    if (journalLoad)
        journal_->LinesHandedOver(made);
    ShowMessage(journalLoad ? u"収支明細を%1行作り直し、収支明細入力に追加しました。\r\n"
                              u"収支明細入力で保存すると確定します。"_s.arg(made.size())
                            : u"収支明細を%1行作り直しました。"_s.arg(made.size()));
}
