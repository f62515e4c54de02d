#include "kaihi/SetaiMaintUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "journal/TorikomiErrorUnit.h"
#include "kaihi/ExlKaihiMinouUnit.h"
#include "kaihi/HanMaintUnit.h"
#include "kaihi/KaihiStore.h"
#include "kaihi/SetaiImport.h"
#include "master/Reading.h"
#include "ui/WaitCursor.h"

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column { kCd, kMeisyo, kFurigana, kHan, kJyusyo, kTel, kNyukai, kTaikai, kColumns };

QString DateText(const QDate& date) {
    return date.isValid() ? date.toString(u"yyyy/MM/dd"_s) : QString();
}

// A typed date: 2026/4/1, 2026-04-01 or 20260401, in full-width digits too. Empty
// reads as no date; anything else is refused with the field's name.
QDate TypedDate(const QLineEdit* edit, const QString& name) {
    const QDate date = TypedHizuke(edit->text());
    if (!date.isValid() && !TrimZen(edit->text()).isEmpty())
        throw EAppError(name + u"を正しい日付(例 2026/04/01)で入力してください。"_s);
    return date;
}

void FillHanCombo(QComboBox* combo, const std::vector<KaihiHan>& han, const QString& all) {
    const QVariant chosen = combo->currentData();
    combo->clear();
    if (!all.isEmpty())
        combo->addItem(all, 0);
    for (const KaihiHan& h : han)
        combo->addItem(h.hancyo.isEmpty() ? h.name : h.name + u"（"_s + h.hancyo + u"）"_s, h.hanCd);
    const int index = combo->findData(chosen);
    combo->setCurrentIndex(index >= 0 ? index : 0);
}

}  // namespace

TSetaiMaintForm::TSetaiMaintForm(QWidget* parent)
    : TplnBaseForm(parent),
      SearchEdit(new QLineEdit(this)),
      HanFilter(new QComboBox(this)),
      TaikaiCheck(new QCheckBox(u"退会した世帯も表示"_s, this)),
      SetaiList(new QTableWidget(0, kColumns, this)),
      MeisyoEdit(new QLineEdit(this)),
      FuriganaEdit(new QLineEdit(this)),
      HanCombo(new QComboBox(this)),
      JyusyoEdit(new QLineEdit(this)),
      TelEdit(new QLineEdit(this)),
      NyukaiEdit(new QLineEdit(this)),
      TaikaiEdit(new QLineEdit(this)),
      BikoEdit(new QLineEdit(this)),
      SinkiBtn(new QPushButton(u"新規"_s, this)),
      HozonBtn(new QPushButton(u"保存"_s, this)),
      SakujyoBtn(new QPushButton(u"削除"_s, this)),
      IdouBiEdit(new QLineEdit(this)),
      IdouHanCombo(new QComboBox(this)),
      IdouBtn(new QPushButton(u"班の移動"_s, this)),
      HanBtn(new QPushButton(u"班…"_s, this)),
      TorikomiBtn(new QPushButton(u"取込…"_s, this)),
      SetaisuBtn(new QPushButton(u"班別世帯数"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)) {
    setWindowTitle(u"班・世帯"_s);
    const int kanji = fontMetrics().horizontalAdvance(u'あ');

    SearchEdit->setPlaceholderText(u"世帯名・ふりがなで検索"_s);
    SearchEdit->setToolTip(u"ふりがながこの文字で始まる世帯と、世帯名にこの文字を含む世帯を表示します。"_s);
    HanFilter->setToolTip(u"表示する班を選びます。"_s);
    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(u"検索"_s, this));
    filters->addWidget(SearchEdit, 1);
    filters->addWidget(new QLabel(u"班"_s, this));
    filters->addWidget(HanFilter);
    filters->addWidget(TaikaiCheck);

    SetaiList->setHorizontalHeaderLabels({u"コード"_s, u"世帯名"_s, u"ふりがな"_s, u"班"_s, u"住所"_s,
                                          u"電話番号"_s, u"入会日"_s, u"退会日"_s});
    SetaiList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    SetaiList->setSelectionBehavior(QAbstractItemView::SelectRows);
    SetaiList->setSelectionMode(QAbstractItemView::SingleSelection);
    SetaiList->verticalHeader()->hide();
    SetaiList->horizontalHeader()->setStretchLastSection(true);
    const int widths[kColumns] = {5, 10, 10, 6, 16, 8, 7, 7};
    for (int c = 0; c < kColumns; ++c)
        SetaiList->setColumnWidth(c, kanji * widths[c]);
    SetaiList->setMinimumSize(kanji * 72, kanji * 14);
    ExemptFromNavigation(SetaiList);

    MeisyoEdit->setMaxLength(30);
    FuriganaEdit->setMaxLength(30);
    JyusyoEdit->setMaxLength(60);
    TelEdit->setMaxLength(20);
    BikoEdit->setMaxLength(100);
    for (QLineEdit* date : {NyukaiEdit, TaikaiEdit, IdouBiEdit})
        date->setMaximumWidth(kanji * 8);
    NyukaiEdit->setToolTip(u"世帯として最初の日です(例 2026/04/01)。"_s);
    HanCombo->setToolTip(u"新しい世帯の班です。登録した世帯の班は「班の移動」で変えます。"_s);
    TaikaiEdit->setToolTip(u"世帯として最後の日です。会費はこの日の月まで数えます。"_s);
    auto* fields = new QFormLayout;
    fields->addRow(u"世帯名"_s, MeisyoEdit);
    fields->addRow(u"ふりがな"_s, FuriganaEdit);
    fields->addRow(u"班"_s, HanCombo);
    fields->addRow(u"住所"_s, JyusyoEdit);
    fields->addRow(u"電話番号"_s, TelEdit);
    auto* dates = new QHBoxLayout;
    dates->addWidget(NyukaiEdit);
    dates->addWidget(new QLabel(u"退会日"_s, this));
    dates->addWidget(TaikaiEdit);
    dates->addStretch(1);
    fields->addRow(u"入会日"_s, dates);
    fields->addRow(u"備考"_s, BikoEdit);
    auto* setaiBox = new QGroupBox(u"世帯"_s, this);
    setaiBox->setLayout(fields);

    IdouBiEdit->setToolTip(u"この日から移動先の班に属します。"_s);
    IdouBtn->setToolTip(u"選んだ世帯を移動日から移動先の班に移します。それまでの班は履歴に残ります。"_s);
    auto* moves = new QFormLayout;
    moves->addRow(u"移動日"_s, IdouBiEdit);
    moves->addRow(u"移動先の班"_s, IdouHanCombo);
    moves->addRow(QString(), IdouBtn);
    auto* moveBox = new QGroupBox(u"班の移動"_s, this);
    moveBox->setLayout(moves);

    auto* editing = new QHBoxLayout;
    editing->addWidget(setaiBox, 3);
    editing->addWidget(moveBox, 1);

    SinkiBtn->setToolTip(u"新しい世帯を入力します。(Ctrl+N)"_s);
    HozonBtn->setToolTip(u"入力した世帯を保存します。(Ctrl+S)"_s);
    SakujyoBtn->setToolTip(u"選んだ世帯を削除します。会費の納付がある世帯は削除できません。"_s);
    HanBtn->setToolTip(u"班と班長を設定します。"_s);
    TorikomiBtn->setToolTip(u"班ごとの世帯の一覧(CSVファイル)から世帯を取り込みます。"_s);
    SetaisuBtn->setToolTip(u"今日の班ごとの世帯数(補助金の申請などに)をワークブックに出力します。"_s);
    for (QPushButton* b :
         {SinkiBtn, HozonBtn, SakujyoBtn, IdouBtn, HanBtn, TorikomiBtn, SetaisuBtn, CloseBtn})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SinkiBtn);
    buttons->addWidget(HozonBtn);
    buttons->addWidget(SakujyoBtn);
    buttons->addStretch(1);
    buttons->addWidget(SetaisuBtn);
    buttons->addWidget(TorikomiBtn);
    buttons->addWidget(HanBtn);
    buttons->addWidget(CloseBtn);

    auto* page = new QVBoxLayout(this);
    page->addLayout(filters);
    page->addWidget(SetaiList, 1);
    page->addLayout(editing);
    page->addLayout(buttons);

    // Keyboard first: search, list, the household's fields, then the buttons.
    QWidget* order[] = {SearchEdit, HanFilter,   TaikaiCheck,  SetaiList,  MeisyoEdit, FuriganaEdit,
                        HanCombo,   JyusyoEdit,  TelEdit,      NyukaiEdit, TaikaiEdit, BikoEdit,
                        HozonBtn,   IdouBiEdit,  IdouHanCombo, IdouBtn,    SinkiBtn,   SakujyoBtn,
                        SetaisuBtn, TorikomiBtn, HanBtn,       CloseBtn};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(SearchEdit, &QLineEdit::textChanged, this, [this] { RunGuarded([this] { FillList(); }); });
    connect(HanFilter, &QComboBox::currentIndexChanged, this, [this] { RunGuarded([this] { FillList(); }); });
    connect(TaikaiCheck, &QCheckBox::toggled, this, [this] { RunGuarded([this] { FillList(); }); });
    connect(SetaiList, &QTableWidget::itemSelectionChanged, this, [this] {
        RunGuarded([this] {
            const auto rows = SetaiList->selectionModel()->selectedRows();
            if (!rows.isEmpty())
                ShowRecord(SetaiList->item(rows.front().row(), kCd)->data(Qt::UserRole).toInt());
        });
    });
    connect(SinkiBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { SinkiBtnClick(); }); });
    connect(HozonBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { HozonBtnClick(); }); });
    connect(SakujyoBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { SakujyoBtnClick(); }); });
    connect(IdouBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { IdouBtnClick(); }); });
    connect(HanBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { HanBtnClick(); }); });
    connect(TorikomiBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { TorikomiBtnClick(); }); });
    connect(SetaisuBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([] {
            const TWaitCursor wait;
            TExlHanbetsuSetaisuModule report;
            report.Execute();
        });
    });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(new QShortcut(QKeySequence(u"Ctrl+S"_s), this), &QShortcut::activated, this,
            [this] { RunGuarded([this] { HozonBtnClick(); }); });
    connect(new QShortcut(QKeySequence(u"Ctrl+N"_s), this), &QShortcut::activated, this,
            [this] { RunGuarded([this] { SinkiBtnClick(); }); });

    RunGuarded([this] {
        Refresh();
        SinkiBtnClick();
    });
}

void TSetaiMaintForm::Refresh() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const KaihiMeibo meibo = LoadMeibo(connection);
    han_ = meibo.han;
    FillHanCombo(HanFilter, meibo.han, u"全班"_s);
    FillHanCombo(HanCombo, meibo.han, QString());
    FillHanCombo(IdouHanCombo, meibo.han, QString());
    records_ = LoadSetaiRecords(connection, QDate::currentDate());
    FillList();
}

void TSetaiMaintForm::FillList() {
    const QString search = NormalizeReading(SearchEdit->text(), 30);
    const QString typed = TrimZen(SearchEdit->text());
    const int han = HanFilter->currentData().toInt();
    const QDate today = QDate::currentDate();
    const QSignalBlocker block(SetaiList);
    SetaiList->setRowCount(0);
    int selected = -1;
    for (const SetaiRecord& r : records_) {
        if (han != 0 && r.hanCd != han)
            continue;
        if (!TaikaiCheck->isChecked() && r.taikai.isValid() && r.taikai < today)
            continue;
        // The kana index: a reading that starts with what was typed, or a name that holds it.
        if (!typed.isEmpty() && !r.meisyo.contains(typed) &&
            (search.isEmpty() || !r.furigana.startsWith(search)))
            continue;
        const int row = SetaiList->rowCount();
        SetaiList->insertRow(row);
        const auto hanOf =
            std::find_if(han_.begin(), han_.end(), [&](const KaihiHan& h) { return h.hanCd == r.hanCd; });
        const QString cells[kColumns] = {QString::number(r.setaiCd),
                                         r.meisyo,
                                         r.furigana,
                                         hanOf == han_.end() ? QString() : hanOf->name,
                                         r.jyusyo,
                                         r.tel,
                                         DateText(r.nyukai),
                                         DateText(r.taikai)};
        for (int c = 0; c < kColumns; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c == kCd) {
                item->setData(Qt::UserRole, r.setaiCd);
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            }
            SetaiList->setItem(row, c, item);
        }
        if (r.setaiCd == current_)
            selected = row;
    }
    if (selected >= 0)
        SetaiList->selectRow(selected);
}

void TSetaiMaintForm::ShowRecord(int setaiCd) {
    const auto found = std::find_if(records_.begin(), records_.end(),
                                    [&](const SetaiRecord& r) { return r.setaiCd == setaiCd; });
    const SetaiRecord record = found == records_.end() ? SetaiRecord{} : *found;
    current_ = record.setaiCd;
    MeisyoEdit->setText(record.meisyo);
    FuriganaEdit->setText(record.furigana);
    JyusyoEdit->setText(record.jyusyo);
    TelEdit->setText(record.tel);
    NyukaiEdit->setText(DateText(record.nyukai));
    TaikaiEdit->setText(DateText(record.taikai));
    BikoEdit->setText(record.biko);
    if (current_ != 0)
        HanCombo->setCurrentIndex(std::max(0, HanCombo->findData(record.hanCd)));
    // A registered household changes 班 only by a move, which keeps its history.
    HanCombo->setEnabled(current_ == 0);
    IdouBtn->setEnabled(current_ != 0);
    SakujyoBtn->setEnabled(current_ != 0);
    IdouBiEdit->clear();
}

SetaiRecord TSetaiMaintForm::RecordOfFields() const {
    SetaiRecord record;
    record.setaiCd = current_;
    record.meisyo = TrimZen(MeisyoEdit->text());
    record.furigana = NormalizeReading(FuriganaEdit->text(), 30);
    record.jyusyo = TrimZen(JyusyoEdit->text());
    record.tel = ToHankaku(TrimZen(TelEdit->text()));
    record.nyukai = TypedDate(NyukaiEdit, u"入会日"_s);
    record.taikai = TypedDate(TaikaiEdit, u"退会日"_s);
    record.biko = TrimZen(BikoEdit->text());
    record.hanCd = HanCombo->currentData().toInt();
    return record;
}

void TSetaiMaintForm::SinkiBtnClick() {
    SetaiList->clearSelection();
    ShowRecord(0);
    MeisyoEdit->setFocus();
}

void TSetaiMaintForm::HozonBtnClick() {
    const SetaiRecord record = RecordOfFields();
    current_ = SaveSetai(DataModule1().SQLConnection1, record);
    Refresh();
    ShowRecord(current_);
    MeisyoEdit->setFocus();
}

void TSetaiMaintForm::SakujyoBtnClick() {
    if (current_ == 0)
        return;
    if (MsgDialog(u"「%1」を削除します。よろしいですか？"_s.arg(MeisyoEdit->text()), MsgDlgType::Confirmation,
                  mbYes | mbNo, mbNo) != ModalResult::Yes)
        return;
    DeleteSetai(DataModule1().SQLConnection1, current_);
    current_ = 0;
    Refresh();
    SinkiBtnClick();
}

void TSetaiMaintForm::IdouBtnClick() {
    if (current_ == 0)
        return;
    MoveSetai(DataModule1().SQLConnection1, current_, TypedDate(IdouBiEdit, u"移動日"_s),
              IdouHanCombo->currentData().toInt());
    const int moved = current_;
    Refresh();
    ShowRecord(moved);
    SetaiList->setFocus();
}

void TSetaiMaintForm::HanBtnClick() {
    THanMaintForm form(this);
    form.exec();
    Refresh();
    ShowRecord(current_);
}

void TSetaiMaintForm::TorikomiBtnClick() {
    const std::optional<QString> path = Dialogs().OpenFile(
        u"取り込む世帯の一覧(CSVファイル)"_s, QDir::homePath(), u"CSVファイル|*.csv;*.CSV;*.txt;*.TXT"_s);
    if (!path)
        return;
    QFile file(*path);
    if (!file.open(QIODevice::ReadOnly))
        throw EAppError(u"ファイル「%1」を開けません。"_s.arg(QFileInfo(*path).fileName()));
    const TWaitCursor wait;
    // Those who join with no day given join on the first day of the menu's year.
    const auto year = DataModule1().SQLConnection1.Select(u"select KISYUBI from NENDO where (NENDO = :N)"_s,
                                                          {{u"N"_s, CurrentNendo}});
    const QDate kisyubi = year.rows.empty() ? QDate(QDate::currentDate().year(), 4, 1)
                                            : QDate::fromString(year.rows[0][0].AsString(), u"yyyyMMdd"_s);
    const SetaiImportResult result = ImportSetai(DataModule1().SQLConnection1, file, kisyubi);
    if (!result.refused.empty()) {
        std::vector<RowError> errors;
        for (const SetaiImportRefusal& r : result.refused)
            errors.push_back({r.row, r.message});
        TTorikomiErrorForm list(QFileInfo(*path).fileName(), errors, this);
        list.exec();
        return;
    }
    Refresh();
    ShowMessage(u"%1世帯を取り込みました。"_s.arg(result.imported));
}
