#include "journal/TorikomiRuleUnit.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "journal/MeisaiRules.h"
#include "journal/ReadOnlyList.h"
#include "journal/TorikomiSetteiUnit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kTaisyo[] = {u"摘要か入金先／支払先"_s, u"摘要"_s, u"入金先／支払先"_s};
const QString kHouhou[] = {u"を含む"_s, u"のパターンに合う"_s};

QTableWidgetItem* Cell(const QString& text) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TTorikomiRuleForm::TTorikomiRuleForm(db::Connection& connection, const std::vector<ImportItemName>& items,
                                     const std::vector<ImportDivision>& divisions, QWidget* parent)
    : TTsubakiBaseForm(parent),
      RuleGrid(new QTableWidget(this)),
      TaisyoCombo(new QComboBox(this)),
      HouhouCombo(new QComboBox(this)),
      MojiEdit(new QLineEdit(this)),
      KamokuCombo(new QComboBox(this)),
      KubunCombo(new QComboBox(this)),
      AiteEdit(new QLineEdit(this)),
      TekiyoEdit(new QLineEdit(this)),
      TsuikaBtn(new QPushButton(u"追加"_s, this)),
      HenkouBtn(new QPushButton(u"変更"_s, this)),
      SakujyoBtn(new QPushButton(u"削除"_s, this)),
      UeBtn(new QPushButton(u"上へ"_s, this)),
      SitaBtn(new QPushButton(u"下へ"_s, this)),
      TamesuBtn(new QPushButton(u"ファイルで試す"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      TestLabel(new QLabel(u"ファイルで試すと、各行に当たるルールをここに表示します。"_s, this)),
      TestGrid(new QTableWidget(this)),
      connection_(connection),
      items_(items),
      divisions_(divisions) {
    setWindowTitle(u"取込ルール設定"_s);
    auto* note = new QLabel(
        u"取込で科目(集計項目)が空の行は、上のルールから順に調べ、最初に合ったルールの"
        u"科目・会計区分・入金先／支払先・摘要になります。"_s,
        this);
    note->setWordWrap(true);
    ReadOnlyList(RuleGrid, {u"順"_s, u"調べる項目"_s, u"探す文字"_s, u"方法"_s, u"科目(集計項目)"_s,
                            u"会計区分"_s, u"入金先／支払先"_s, u"摘要"_s});
    RuleGrid->setMinimumSize(860, 220);
    RuleGrid->setToolTip(u"ルールの一覧です。選んだルールが下の欄に表示されます。"_s);
    RuleGrid->setWordWrap(false);
    ExemptFromNavigation(RuleGrid);

    for (int i = 0; i < 3; ++i)
        TaisyoCombo->addItem(kTaisyo[i], i);
    for (int i = 0; i < 2; ++i)
        HouhouCombo->addItem(kHouhou[i], i);
    MojiEdit->setMaxLength(100);
    MojiEdit->setToolTip(u"探す文字です。半角・全角、英字の大小は区別しません。パターンは正規表現です。"_s);
    KamokuCombo->addItem(u"（選んでください）"_s, 0);
    for (const ImportItemName& item : items_)
        if (item.cd != 0)
            KamokuCombo->addItem(u"%1 %2"_s.arg(item.cd, 4, 10, QChar(u'0')).arg(item.name), item.cd);
    KubunCombo->addItem(u"（明細の会計区分）"_s, -1);
    for (const ImportDivision& d : divisions_)
        KubunCombo->addItem(d.name, d.cd);
    AiteEdit->setMaxLength(kAiteLength);
    AiteEdit->setToolTip(u"空欄のときは、ファイルの入金先／支払先のままです。"_s);
    TekiyoEdit->setMaxLength(kTekiyoLength);
    TekiyoEdit->setToolTip(u"空欄のときは、ファイルの摘要のままです。"_s);
    TsuikaBtn->setToolTip(u"欄の内容を新しいルールとして一覧の最後に加えます。"_s);
    HenkouBtn->setToolTip(u"選んだルールを欄の内容に変えます。"_s);
    SakujyoBtn->setToolTip(u"選んだルールを削除します。"_s);
    UeBtn->setToolTip(u"選んだルールを一つ先に調べるようにします。"_s);
    SitaBtn->setToolTip(u"選んだルールを一つ後に調べるようにします。"_s);
    TamesuBtn->setToolTip(u"CSVファイルの各行にどのルールが当たるかを表示します。何も取り込みません。"_s);
    for (QPushButton* b : {TsuikaBtn, HenkouBtn, SakujyoBtn, UeBtn, SitaBtn, TamesuBtn, CloseBtn}) {
        b->setMinimumSize(90, 32);
        b->setAutoDefault(false);
    }

    auto* fields = new QGridLayout;
    const auto add = [&](int row, int column, const QString& caption, QWidget* control) {
        auto* label = new QLabel(caption, this);
        label->setBuddy(control);
        fields->addWidget(label, row, column);
        fields->addWidget(control, row, column + 1);
    };
    add(0, 0, u"調べる項目"_s, TaisyoCombo);
    add(0, 2, u"探す文字"_s, MojiEdit);
    fields->addWidget(HouhouCombo, 0, 4);
    add(1, 0, u"科目(集計項目)"_s, KamokuCombo);
    add(1, 2, u"会計区分"_s, KubunCombo);
    add(2, 0, u"入金先／支払先"_s, AiteEdit);
    add(2, 2, u"摘要"_s, TekiyoEdit);
    fields->setColumnStretch(3, 1);

    auto* ruleButtons = new QHBoxLayout;
    for (QPushButton* b : {TsuikaBtn, HenkouBtn, SakujyoBtn, UeBtn, SitaBtn})
        ruleButtons->addWidget(b);
    ruleButtons->addStretch(1);
    ruleButtons->addWidget(TamesuBtn);

    ReadOnlyList(TestGrid,
                 {u"行"_s, u"入金先／支払先"_s, u"摘要"_s, u"ルール"_s, u"科目(集計項目)"_s, u"会計区分"_s});
    TestGrid->setMinimumSize(860, 180);
    TestGrid->setToolTip(u"ファイルの各行と、その行に当たるルールです。"_s);
    TestGrid->setWordWrap(false);
    ExemptFromNavigation(TestGrid);

    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(CloseBtn);

    auto* root = new QVBoxLayout(this);
    root->addWidget(note);
    root->addWidget(RuleGrid, 2);
    root->addLayout(fields);
    root->addLayout(ruleButtons);
    root->addWidget(TestLabel);
    root->addWidget(TestGrid, 1);
    root->addLayout(bottom);

    QWidget* order[] = {RuleGrid, TaisyoCombo, MojiEdit,  HouhouCombo, KamokuCombo, KubunCombo,
                        AiteEdit, TekiyoEdit,  TsuikaBtn, HenkouBtn,   SakujyoBtn,  UeBtn,
                        SitaBtn,  TamesuBtn,   TestGrid,  CloseBtn};
    for (std::size_t i = 1; i < std::size(order); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(RuleGrid, &QTableWidget::currentCellChanged, this, [this](int row) { ShowFields(row); });
    connect(TsuikaBtn, &QPushButton::clicked, this, [this] { Guard([this] { TsuikaBtnClick(); }); });
    connect(HenkouBtn, &QPushButton::clicked, this, [this] { Guard([this] { HenkouBtnClick(); }); });
    connect(SakujyoBtn, &QPushButton::clicked, this, [this] { Guard([this] { SakujyoBtnClick(); }); });
    connect(UeBtn, &QPushButton::clicked, this, [this] { Guard([this] { Move(-1); }); });
    connect(SitaBtn, &QPushButton::clicked, this, [this] { Guard([this] { Move(1); }); });
    connect(TamesuBtn, &QPushButton::clicked, this, [this] { Guard([this] { TamesuBtnClick(); }); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    rules_ = LoadImportRules(connection_);
    ShowRules(rules_.empty() ? -1 : 0);
}

void TTorikomiRuleForm::PrepareWindow() {
    if (rules_.empty() || !MojiEdit->text().isEmpty())
        MojiEdit->setFocus();
    else
        RuleGrid->setFocus();
}

void TTorikomiRuleForm::Propose(const ImportRule& rule) {
    RuleGrid->setCurrentCell(-1, -1);
    TaisyoCombo->setCurrentIndex(static_cast<int>(rule.target));
    HouhouCombo->setCurrentIndex(static_cast<int>(rule.match));
    MojiEdit->setText(rule.text);
    const int kamoku = KamokuCombo->findData(rule.kamoku);
    KamokuCombo->setCurrentIndex(kamoku < 0 ? 0 : kamoku);
    const int kubun = KubunCombo->findData(rule.kaikeiKubun ? *rule.kaikeiKubun : -1);
    KubunCombo->setCurrentIndex(kubun < 0 ? 0 : kubun);
    AiteEdit->setText(rule.aite);
    TekiyoEdit->setText(rule.tekiyo);
}

ImportRule TTorikomiRuleForm::FieldsRule() const {
    ImportRule rule;
    rule.target = static_cast<RuleTarget>(TaisyoCombo->currentData().toInt());
    rule.match = static_cast<RuleMatch>(HouhouCombo->currentData().toInt());
    rule.text = TrimZen(MojiEdit->text());
    rule.kamoku = KamokuCombo->currentData().toInt();
    if (const int kubun = KubunCombo->currentData().toInt(); kubun >= 0)
        rule.kaikeiKubun = kubun;
    rule.aite = TrimZen(AiteEdit->text());
    rule.tekiyo = TrimZen(TekiyoEdit->text());
    return rule;
}

QString TTorikomiRuleForm::ItemName(int kamoku) const {
    for (const ImportItemName& item : items_)
        if (item.cd == kamoku)
            return item.name;
    return QString::number(kamoku);
}

QString TTorikomiRuleForm::DivisionName(const std::optional<int>& division) const {
    if (!division)
        return u"（明細の会計区分）"_s;
    for (const ImportDivision& d : divisions_)
        if (d.cd == *division)
            return d.name;
    return QString::number(*division);
}

void TTorikomiRuleForm::ShowRules(int current) {
    RuleGrid->setRowCount(static_cast<int>(rules_.size()));
    for (int r = 0; r < static_cast<int>(rules_.size()); ++r) {
        const ImportRule& rule = rules_[static_cast<std::size_t>(r)];
        const QString values[] = {QString::number(r + 1),
                                  kTaisyo[static_cast<int>(rule.target)],
                                  rule.text,
                                  kHouhou[static_cast<int>(rule.match)],
                                  ItemName(rule.kamoku),
                                  DivisionName(rule.kaikeiKubun),
                                  rule.aite,
                                  rule.tekiyo};
        for (int c = 0; c < static_cast<int>(std::size(values)); ++c)
            RuleGrid->setItem(r, c, Cell(values[c]));
    }
    RuleGrid->resizeColumnsToContents();
    if (current >= 0 && current < RuleGrid->rowCount())
        RuleGrid->setCurrentCell(current, 0);
}

void TTorikomiRuleForm::ShowFields(int row) {
    if (row < 0 || row >= static_cast<int>(rules_.size()))
        return;
    // Propose leaves the list without a current rule; the one shown stays chosen.
    const QSignalBlocker quiet(RuleGrid);
    Propose(rules_[static_cast<std::size_t>(row)]);
    RuleGrid->setCurrentCell(row, 0);
}

int TTorikomiRuleForm::CurrentRule() const {
    const int row = RuleGrid->currentRow();
    if (row < 0 || row >= static_cast<int>(rules_.size()))
        throw EAppError(u"ルールを一覧から選んでください。"_s);
    return row;
}

void TTorikomiRuleForm::Store(std::vector<ImportRule> rules, int current) {
    SaveImportRules(connection_, rules);
    rules_ = std::move(rules);
    ShowRules(current);
}

void TTorikomiRuleForm::TsuikaBtnClick() {
    const ImportRule rule = FieldsRule();
    if (const auto problem = RuleProblem(rule)) {
        (rule.kamoku == 0 && !TrimZen(rule.text).isEmpty() ? static_cast<QWidget*>(KamokuCombo) : MojiEdit)
            ->setFocus();
        throw EAppError(*problem);
    }
    std::vector<ImportRule> rules = rules_;
    rules.push_back(rule);
    Store(std::move(rules), static_cast<int>(rules_.size()));
}

void TTorikomiRuleForm::HenkouBtnClick() {
    const int row = CurrentRule();
    const ImportRule rule = FieldsRule();
    if (const auto problem = RuleProblem(rule))
        throw EAppError(*problem);
    std::vector<ImportRule> rules = rules_;
    rules[static_cast<std::size_t>(row)] = rule;
    Store(std::move(rules), row);
}

void TTorikomiRuleForm::SakujyoBtnClick() {
    const int row = CurrentRule();
    if (MsgDialog(u"ルール「%1」を削除しますか？"_s.arg(rules_[static_cast<std::size_t>(row)].text),
                  MsgDlgType::Confirmation, mbYes | mbNo, mbNo) != ModalResult::Yes)
        return;
    std::vector<ImportRule> rules = rules_;
    rules.erase(rules.begin() + row);
    Store(std::move(rules), std::min(row, static_cast<int>(rules_.size()) - 2));
}

void TTorikomiRuleForm::Move(int by) {
    const int row = CurrentRule();
    const int to = row + by;
    if (to < 0 || to >= static_cast<int>(rules_.size()))
        return;
    std::vector<ImportRule> rules = rules_;
    std::swap(rules[static_cast<std::size_t>(row)], rules[static_cast<std::size_t>(to)]);
    Store(std::move(rules), to);
}

void TTorikomiRuleForm::TamesuBtnClick() {
    const std::optional<QString> path =
        Dialogs().OpenFile(u"ルールを試すCSVファイル"_s, folder_.isEmpty() ? QDir::homePath() : folder_,
                           u"CSVファイル|*.csv;*.CSV;*.txt;*.TXT"_s);
    if (!path)
        return;
    folder_ = QFileInfo(*path).absolutePath();
    QFile source(*path);
    if (!source.open(QIODevice::ReadOnly))
        throw EAppError(u"ファイルを開けません。\r\n"_s + *path);
    // Read within the limits of 取込: a file it would refuse is refused here too.
    const CsvSurvey survey = SurveyCsv(source, CsvLimits());
    if (survey.rowCount == 0)
        throw EAppError(u"ファイルに行がありません。\r\n"_s + *path);
    CsvFile file;
    file.encoding = survey.encoding;
    if (!source.seek(0))
        throw EAppError(u"ファイルを読めません。\r\n"_s + *path);
    ForEachCsvRow(source, survey.encoding, CsvLimits(),
                  [&file](CsvRow&& row) { file.rows.push_back(std::move(row)); });
    // The columns the rules look at, from the heading; the user chooses them when
    // the heading does not name them.
    ColumnMapping mapping =
        IsExportHeading(file.rows.front().fields) ? ExportMapping() : GuessMapping(file.rows.front().fields);
    mapping.firstRowIsHeading = mapping != GuessMapping({});
    if (mapping.tekiyo < 0 && mapping.aite < 0) {
        TTorikomiSetteiForm setting(*path, survey, DivisionName(std::nullopt), this);
        setting.OfferDefaultItems(items_, true);
        if (setting.exec() != QDialog::Accepted)
            return;
        mapping = setting.Mapping();
    }
    const auto cell = [](const CsvRow& row, int column) {
        return column >= 0 && column < row.fields.size() ? TrimZen(row.fields[column]) : QString();
    };
    TestGrid->setRowCount(0);
    int unmatched = 0;
    for (std::size_t i = mapping.firstRowIsHeading ? 1 : 0; i < file.rows.size(); ++i) {
        const CsvRow& row = file.rows[i];
        const QString aite = cell(row, mapping.aite);
        const QString tekiyo = cell(row, mapping.tekiyo);
        if (aite.isEmpty() && tekiyo.isEmpty())
            continue;
        const int r = TestGrid->rowCount();
        TestGrid->insertRow(r);
        const auto found = FirstMatchingRule(rules_, aite, tekiyo);
        const ImportRule* rule = found ? &rules_[*found] : nullptr;
        const QString values[] = {QString::number(row.row),
                                  aite,
                                  tekiyo,
                                  rule ? u"%1. %2"_s.arg(*found + 1).arg(rule->text) : u"（ルールなし）"_s,
                                  rule ? ItemName(rule->kamoku) : QString(),
                                  rule ? DivisionName(rule->kaikeiKubun) : QString()};
        for (int c = 0; c < static_cast<int>(std::size(values)); ++c) {
            QTableWidgetItem* item = Cell(values[c]);
            if (!rule)
                item->setBackground(QColor(0xff, 0xf2, 0xcc));
            TestGrid->setItem(r, c, item);
        }
        unmatched += rule ? 0 : 1;
    }
    TestGrid->resizeColumnsToContents();
    TestLabel->setText(
        u"「%1」の%2行のうち、ルールに合わない行は%3行です。"_s.arg(QFileInfo(*path).fileName())
            .arg(TestGrid->rowCount())
            .arg(unmatched));
    TestGrid->setFocus();
    if (TestGrid->rowCount() > 0)
        TestGrid->setCurrentCell(0, 0);
}
