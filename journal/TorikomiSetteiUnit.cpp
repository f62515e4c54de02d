#include "journal/TorikomiSetteiUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/Errors.h"
#include "core/JapaneseText.h"

using namespace Qt::Literals::StringLiterals;

namespace {

constexpr int kPreviewRows = 6;
constexpr int kSampleLength = 14;  // characters of a cell shown in a column's choice

// One line of a cell: its line breaks shown as blanks.
QString OneLine(const QString& text) {
    QString line = TrimZen(text);
    for (QChar& c : line)
        if (c.unicode() < 0x20)
            c = u' ';
    return line;
}

}  // namespace

TTorikomiSetteiForm::TTorikomiSetteiForm(const QString& fileName, const CsvSurvey& file,
                                         const QString& divisionName, QWidget* parent)
    : TTsubakiBaseForm(parent),
      FileLabel(new QLabel(this)),
      PreviewGrid(new QTableWidget(this)),
      HeadingCheck(new QCheckBox(u"1行目は見出し（取り込まない）"_s, this)) {
    setWindowTitle(u"取込の列の指定"_s);
    const int columns = file.columnCount;
    const QStringList firstRow = file.firstRows.empty() ? QStringList() : file.firstRows.front().fields;

    FileLabel->setText(u"%1　（%2、%3行）"_s
                           .arg(QFileInfo(fileName).fileName(),
                                file.encoding == CsvEncoding::Cp932 ? u"Shift_JIS"_s : u"UTF-8"_s)
                           .arg(file.rowCount));
    FileLabel->setTextInteractionFlags(Qt::NoTextInteraction);

    // The first rows as a spreadsheet shows them: columns by letter, rows by number.
    const int shown = std::min<int>(kPreviewRows, static_cast<int>(file.firstRows.size()));
    PreviewGrid->setColumnCount(columns);
    PreviewGrid->setRowCount(shown);
    QStringList letters;
    for (int c = 0; c < columns; ++c)
        letters << ColumnLetters(c);
    PreviewGrid->setHorizontalHeaderLabels(letters);
    for (int r = 0; r < shown; ++r) {
        const CsvRow& row = file.firstRows[static_cast<std::size_t>(r)];
        PreviewGrid->setVerticalHeaderItem(r, new QTableWidgetItem(QString::number(row.row)));
        for (int c = 0; c < row.fields.size() && c < columns; ++c)
            PreviewGrid->setItem(r, c, new QTableWidgetItem(OneLine(row.fields[c])));
    }
    PreviewGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    PreviewGrid->setSelectionMode(QAbstractItemView::NoSelection);
    PreviewGrid->setFocusPolicy(Qt::NoFocus);
    PreviewGrid->setToolTip(u"ファイルの最初の行です。"_s);
    PreviewGrid->resizeColumnsToContents();
    for (int c = 0; c < columns; ++c)
        PreviewGrid->setColumnWidth(c, std::min(PreviewGrid->columnWidth(c), 220));
    PreviewGrid->setMinimumSize(720, PreviewGrid->horizontalHeader()->sizeHint().height() +
                                         PreviewGrid->verticalHeader()->defaultSectionSize() * (shown + 1) +
                                         4);

    HizukeCombo = ColumnCombo(false, firstRow);
    AiteCombo = ColumnCombo(true, firstRow);
    TekiyoCombo = ColumnCombo(true, firstRow);
    KamokuCombo = ColumnCombo(false, firstRow);
    KamokuByCombo = new QComboBox(this);
    KamokuByCombo->addItem(u"科目コード"_s, static_cast<int>(KamokuBy::Code));
    KamokuByCombo->addItem(u"科目名"_s, static_cast<int>(KamokuBy::Name));
    KamokuByCombo->setToolTip(u"科目の列に書かれているのが科目コードか科目名かを選びます。"_s);
    SyunyuCombo = ColumnCombo(true, firstRow);
    SisyutsuCombo = ColumnCombo(true, firstRow);
    KingakuCombo = ColumnCombo(true, firstRow);
    KingakuCombo->setToolTip(u"入金がプラス、出金がマイナスの金額が一つの列に書かれているときに選びます。"_s);
    ZandakaCombo = ColumnCombo(true, firstRow);
    ZandakaCombo->setToolTip(u"選ぶと、各行の残高が前の行からの計算と合うかを確かめます。"_s);
    KaikeiKubunCombo = ColumnCombo(true, firstRow);
    KaikeiKubunCombo->setToolTip(u"会計区分の名前（またはコード）が書かれた列を選びます。"_s);
    DefaultKamokuCombo = new QComboBox(this);
    DefaultKamokuCombo->addItem(u"（なし：取り込まない）"_s, 0);
    DefaultKamokuCombo->setToolTip(
        u"科目の列が空で、どの取込ルールにも合わない行の科目(集計項目)です。取込の後に一覧で確かめられます。"_s);
    DefaultKamokuCombo->setMinimumWidth(DefaultKamokuCombo->fontMetrics().horizontalAdvance(u'あ') * 14);
    TorikomiBtn = new QPushButton(u"取込"_s, this);
    ChushiBtn = new QPushButton(u"中止"_s, this);
    TorikomiBtn->setToolTip(u"選んだ列で明細を取り込みます。"_s);
    ChushiBtn->setToolTip(u"取込を中止します。"_s);
    for (QPushButton* b : {TorikomiBtn, ChushiBtn}) {
        b->setMinimumSize(110, 36);
        b->setAutoDefault(false);
    }
    HeadingCheck->setToolTip(u"1行目が列の名前のときに付けます。"_s);

    auto* fields = new QGridLayout;
    int line = 0;
    const auto add = [&](const QString& caption, QWidget* control, QWidget* beside = nullptr) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(control);
        fields->addWidget(label, line, 0);
        fields->addWidget(control, line, 1);
        if (beside)
            fields->addWidget(beside, line, 2);
        ++line;
    };
    const auto note = [&](const QString& text) {
        fields->addWidget(new QLabel(text, this), line - 1, 2, 1, 2);
    };
    add(u"日付"_s, HizukeCombo);
    note(u"2026/4/5、20260405、令和8年4月5日、R8.4.5 など"_s);
    add(u"入金先／支払先"_s, AiteCombo);
    add(u"摘要"_s, TekiyoCombo);
    add(u"科目(集計項目)"_s, KamokuCombo, KamokuByCombo);
    add(u"収入金額"_s, SyunyuCombo);
    add(u"支払金額"_s, SisyutsuCombo);
    add(u"入出金額"_s, KingakuCombo);
    note(u"プラスは収入、マイナス（-、△、(　)）は支払"_s);
    add(u"残高"_s, ZandakaCombo);
    note(u"行の抜けや重複を確かめます"_s);
    add(u"ルールに合わない行の科目"_s, DefaultKamokuCombo);
    add(u"会計区分"_s, KaikeiKubunCombo);
    // Below its choice, where the whole sentence fits.
    fields->addWidget(
        new QLabel(
            u"（なし）のときは、すべての行を表示中の会計区分「%1」に取り込みます。"_s.arg(divisionName),
            this),
        line, 1, 1, 3);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(TorikomiBtn);
    buttons->addWidget(ChushiBtn);

    auto* root = new QVBoxLayout(this);
    root->addWidget(FileLabel);
    root->addWidget(PreviewGrid);
    root->addWidget(HeadingCheck);
    root->addSpacing(6);
    root->addLayout(fields);
    root->addSpacing(8);
    root->addLayout(buttons);

    QWidget* order[] = {HeadingCheck,       HizukeCombo,      AiteCombo,     TekiyoCombo,  KamokuCombo,
                        KamokuByCombo,      SyunyuCombo,      SisyutsuCombo, KingakuCombo, ZandakaCombo,
                        DefaultKamokuCombo, KaikeiKubunCombo, TorikomiBtn,   ChushiBtn};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    // A heading row that names the columns chooses them; without one the user does.
    ColumnMapping guess = GuessMapping(firstRow);
    guess.firstRowIsHeading = guess != GuessMapping({});
    SetMapping(guess);

    connect(TorikomiBtn, &QPushButton::clicked, this, [this] { Guard([this] { TorikomiBtnClick(); }); });
    connect(ChushiBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TTorikomiSetteiForm::OfferDefaultItems(const std::vector<ImportItemName>& items, bool haveRules) {
    haveRules_ = haveRules;
    for (const ImportItemName& item : items)
        if (item.cd != 0)
            DefaultKamokuCombo->addItem(u"%1 %2"_s.arg(item.cd, 4, 10, QChar(u'0')).arg(item.name), item.cd);
    if (haveRules_ && KamokuCombo->currentData().toInt() < 0)
        KamokuCombo->setItemText(0, u"（なし：ルールで決める）"_s);
}

void TTorikomiSetteiForm::PrepareWindow() {
    // Columns found from the heading need only a look and Enter; otherwise the
    // choices begin at the top.
    if (MappingProblem(Mapping(), haveRules_))
        HeadingCheck->setFocus();
    else
        TorikomiBtn->setFocus();
}

QComboBox* TTorikomiSetteiForm::ColumnCombo(bool optional, const QStringList& firstRow) {
    auto* combo = new QComboBox(this);
    if (optional)
        combo->addItem(u"（なし）"_s, -1);
    // "C列：日付": the letter first, so that typing it chooses the column.
    for (int c = 0; c < PreviewGrid->columnCount(); ++c) {
        QString sample = c < firstRow.size() ? OneLine(firstRow[c]) : QString();
        if (sample.size() > kSampleLength)
            sample = sample.left(kSampleLength) + u"…"_s;
        combo->addItem(sample.isEmpty() ? ColumnLetters(c) + u"列"_s : ColumnLetters(c) + u"列："_s + sample,
                       c);
    }
    if (!optional) {
        combo->insertItem(0, u"（選んでください）"_s, -1);
        combo->setCurrentIndex(0);
    }
    combo->setMinimumWidth(combo->fontMetrics().horizontalAdvance(u'あ') * 14);
    return combo;
}

void TTorikomiSetteiForm::SetMapping(const ColumnMapping& m) {
    const auto choose = [](QComboBox* combo, int column) {
        const int index = combo->findData(column);
        combo->setCurrentIndex(index >= 0 ? index : 0);
    };
    HeadingCheck->setChecked(m.firstRowIsHeading);
    choose(HizukeCombo, m.hizuke);
    choose(AiteCombo, m.aite);
    choose(TekiyoCombo, m.tekiyo);
    choose(KamokuCombo, m.kamoku);
    KamokuByCombo->setCurrentIndex(KamokuByCombo->findData(static_cast<int>(m.kamokuBy)));
    choose(SyunyuCombo, m.syunyu);
    choose(SisyutsuCombo, m.sisyutsu);
    choose(KingakuCombo, m.kingaku);
    choose(ZandakaCombo, m.zandaka);
    choose(KaikeiKubunCombo, m.kaikeiKubun);
    choose(DefaultKamokuCombo, m.defaultKamoku);
}

ColumnMapping TTorikomiSetteiForm::Mapping() const {
    ColumnMapping m;
    m.firstRowIsHeading = HeadingCheck->isChecked();
    m.hizuke = HizukeCombo->currentData().toInt();
    m.aite = AiteCombo->currentData().toInt();
    m.tekiyo = TekiyoCombo->currentData().toInt();
    m.kamoku = KamokuCombo->currentData().toInt();
    m.kamokuBy = static_cast<KamokuBy>(KamokuByCombo->currentData().toInt());
    m.syunyu = SyunyuCombo->currentData().toInt();
    m.sisyutsu = SisyutsuCombo->currentData().toInt();
    m.kingaku = KingakuCombo->currentData().toInt();
    m.zandaka = ZandakaCombo->currentData().toInt();
    m.kaikeiKubun = KaikeiKubunCombo->currentData().toInt();
    m.defaultKamoku = DefaultKamokuCombo->currentData().toInt();
    return m;
}

void TTorikomiSetteiForm::TorikomiBtnClick() {
    const ColumnMapping m = Mapping();
    if (const auto problem = MappingProblem(m, haveRules_)) {
        // The keyboard goes to the choice to correct.
        QComboBox* at = m.hizuke < 0 ? HizukeCombo : m.kamoku < 0 ? KamokuCombo : SyunyuCombo;
        at->setFocus();
        throw EAppError(*problem);
    }
    accept();
}
