#include "journal/TeikiMeisaiUnit.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "data/FieldFormat.h"
#include "journal/BankStatement.h"
#include "journal/MeisaiRules.h"
#include "journal/ReadOnlyList.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString MonthsText(const std::array<bool, 12>& months) {
    if (std::all_of(months.begin(), months.end(), [](bool m) { return m; }))
        return u"毎月"_s;
    QStringList chosen;
    for (int m = 0; m < 12; ++m)
        if (months[static_cast<std::size_t>(m)])
            chosen << QString::number(m + 1);
    return chosen.join(u"・"_s) + u"月"_s;
}

QString Yen(qint64 v) {
    return v == 0 ? QString() : data::FormatNumber(v, u"#,##0"_s);
}

qint64 AmountOf(const QLineEdit* edit, const QString& label) {
    const BankAmount a = ParseBankAmount(edit->text());
    if (a.kind == BankAmount::Empty)
        return 0;
    if (a.kind != BankAmount::Number)
        throw EAppError(label + u"が正しくありません。"_s);
    return a.value;
}

}  // namespace

TTeikiMeisaiForm::TTeikiMeisaiForm(db::Connection& connection, const std::vector<ImportItemName>& items,
                                   const std::vector<ImportDivision>& divisions, QWidget* parent)
    : TTsubakiBaseForm(parent),
      TeikiGrid(new QTableWidget(this)),
      KubunCombo(new QComboBox(this)),
      KamokuCombo(new QComboBox(this)),
      AiteEdit(new QLineEdit(this)),
      TekiyoEdit(new QLineEdit(this)),
      SyunyuEdit(new QLineEdit(this)),
      SisyutsuEdit(new QLineEdit(this)),
      HiSpin(new QSpinBox(this)),
      TsuikaBtn(new QPushButton(u"追加"_s, this)),
      HenkouBtn(new QPushButton(u"変更"_s, this)),
      SakujyoBtn(new QPushButton(u"削除"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      connection_(connection),
      items_(items),
      divisions_(divisions) {
    setWindowTitle(u"定期明細設定"_s);
    ReadOnlyList(TeikiGrid, {u"会計区分"_s, u"日"_s, u"月"_s, u"科目(集計項目)"_s, u"入金先／支払先"_s,
                             u"摘要"_s, u"収入金額"_s, u"支払金額"_s});
    TeikiGrid->setMinimumSize(820, 200);
    TeikiGrid->setToolTip(u"定期明細の一覧です。選んだ明細が下の欄に表示されます。"_s);
    ExemptFromNavigation(TeikiGrid);

    for (const ImportDivision& d : divisions_)
        KubunCombo->addItem(d.name, d.cd);
    KamokuCombo->addItem(u"（選んでください）"_s, 0);
    for (const ImportItemName& item : items_)
        if (item.cd != 0)
            KamokuCombo->addItem(u"%1 %2"_s.arg(item.cd, 4, 10, QChar(u'0')).arg(item.name), item.cd);
    AiteEdit->setMaxLength(kAiteLength);
    TekiyoEdit->setMaxLength(kTekiyoLength);
    for (QLineEdit* amount : {SyunyuEdit, SisyutsuEdit}) {
        amount->setAlignment(Qt::AlignRight);
        amount->setMaxLength(13);
    }
    HiSpin->setRange(1, 31);
    HiSpin->setMaximumWidth(HiSpin->fontMetrics().horizontalAdvance(u"000"_s) + 48);
    HiSpin->setToolTip(u"月の日数より大きい日は、その月の末日になります（31で毎月末）。"_s);
    auto* months = new QHBoxLayout;
    for (int m = 0; m < 12; ++m) {
        MonthChecks[m] = new QCheckBox(u"%1月"_s.arg(m + 1), this);
        MonthChecks[m]->setChecked(true);
        months->addWidget(MonthChecks[m]);
    }
    months->addStretch(1);
    TsuikaBtn->setToolTip(u"欄の内容を新しい定期明細として加えます。"_s);
    HenkouBtn->setToolTip(u"選んだ定期明細を欄の内容に変えます。"_s);
    SakujyoBtn->setToolTip(u"選んだ定期明細を削除します。"_s);
    for (QPushButton* b : {TsuikaBtn, HenkouBtn, SakujyoBtn, CloseBtn}) {
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
    add(0, 0, u"会計区分"_s, KubunCombo);
    add(0, 2, u"毎月の日"_s, HiSpin);
    add(1, 0, u"科目(集計項目)"_s, KamokuCombo);
    add(1, 2, u"入金先／支払先"_s, AiteEdit);
    auto* tekiyoLabel = new QLabel(u"摘要"_s, this);
    tekiyoLabel->setBuddy(TekiyoEdit);
    fields->addWidget(tekiyoLabel, 2, 0);
    fields->addWidget(TekiyoEdit, 2, 1, 1, 3);  // the description is the longest field
    add(3, 0, u"収入金額"_s, SyunyuEdit);
    add(3, 2, u"支払金額"_s, SisyutsuEdit);
    fields->addWidget(new QLabel(u"作成する月"_s, this), 4, 0);
    fields->addLayout(months, 4, 1, 1, 3);
    fields->setColumnStretch(3, 1);

    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {TsuikaBtn, HenkouBtn, SakujyoBtn})
        buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);

    auto* root = new QVBoxLayout(this);
    root->addWidget(TeikiGrid, 1);
    root->addLayout(fields);
    root->addLayout(buttons);

    std::vector<QWidget*> order{TeikiGrid, KubunCombo, HiSpin,     KamokuCombo,
                                AiteEdit,  TekiyoEdit, SyunyuEdit, SisyutsuEdit};
    for (QCheckBox* c : MonthChecks)
        order.push_back(c);
    order.insert(order.end(), {TsuikaBtn, HenkouBtn, SakujyoBtn, CloseBtn});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);

    connect(TeikiGrid, &QTableWidget::currentCellChanged, this, [this](int row) { ShowFields(row); });
    connect(TsuikaBtn, &QPushButton::clicked, this, [this] {
        Guard([this] {
            std::vector<TeikiTemplate> templates = templates_;
            templates.push_back(FieldsTemplate());
            Store(std::move(templates), static_cast<int>(templates_.size()));
        });
    });
    connect(HenkouBtn, &QPushButton::clicked, this, [this] {
        Guard([this] {
            const int row = CurrentTemplate();
            std::vector<TeikiTemplate> templates = templates_;
            templates[static_cast<std::size_t>(row)] = FieldsTemplate();
            Store(std::move(templates), row);
        });
    });
    connect(SakujyoBtn, &QPushButton::clicked, this, [this] {
        Guard([this] {
            const int row = CurrentTemplate();
            if (MsgDialog(u"選んだ定期明細を削除しますか？"_s, MsgDlgType::Confirmation, mbYes | mbNo,
                          mbNo) != ModalResult::Yes)
                return;
            std::vector<TeikiTemplate> templates = templates_;
            templates.erase(templates.begin() + row);
            Store(std::move(templates), std::min(row, static_cast<int>(templates_.size()) - 2));
        });
    });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);

    templates_ = LoadTeikiTemplates(connection_);
    ShowTemplates(templates_.empty() ? -1 : 0);
}

void TTeikiMeisaiForm::PrepareWindow() {
    (templates_.empty() ? static_cast<QWidget*>(KubunCombo) : TeikiGrid)->setFocus();
}

TeikiTemplate TTeikiMeisaiForm::FieldsTemplate() const {
    TeikiTemplate t;
    t.kaikeiKubun = KubunCombo->currentData().toInt();
    t.kamoku = KamokuCombo->currentData().toInt();
    t.aite = TrimZen(AiteEdit->text());
    t.tekiyo = TrimZen(TekiyoEdit->text());
    t.syunyu = AmountOf(SyunyuEdit, u"収入金額"_s);
    t.sisyutsu = AmountOf(SisyutsuEdit, u"支払金額"_s);
    t.hi = HiSpin->value();
    for (int m = 0; m < 12; ++m)
        t.months[static_cast<std::size_t>(m)] = MonthChecks[m]->isChecked();
    if (const auto problem = TeikiProblem(t)) {
        if (t.kamoku == 0)
            KamokuCombo->setFocus();
        throw EAppError(*problem);
    }
    return t;
}

void TTeikiMeisaiForm::ShowTemplates(int current) {
    const auto itemName = [this](int cd) {
        for (const ImportItemName& item : items_)
            if (item.cd == cd)
                return item.name;
        return QString::number(cd);
    };
    const auto divisionName = [this](int cd) {
        for (const ImportDivision& d : divisions_)
            if (d.cd == cd)
                return d.name;
        return QString::number(cd);
    };
    TeikiGrid->setRowCount(static_cast<int>(templates_.size()));
    for (int r = 0; r < static_cast<int>(templates_.size()); ++r) {
        const TeikiTemplate& t = templates_[static_cast<std::size_t>(r)];
        const QString values[] = {divisionName(t.kaikeiKubun),
                                  QString::number(t.hi),
                                  MonthsText(t.months),
                                  itemName(t.kamoku),
                                  t.aite,
                                  t.tekiyo,
                                  Yen(t.syunyu),
                                  Yen(t.sisyutsu)};
        for (int c = 0; c < 8; ++c) {
            auto* item = new QTableWidgetItem(values[c]);
            if (c == 1 || c >= 6)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            TeikiGrid->setItem(r, c, item);
        }
    }
    TeikiGrid->resizeColumnsToContents();
    if (current >= 0 && current < TeikiGrid->rowCount())
        TeikiGrid->setCurrentCell(current, 0);
}

void TTeikiMeisaiForm::ShowFields(int row) {
    if (row < 0 || row >= static_cast<int>(templates_.size()))
        return;
    const TeikiTemplate& t = templates_[static_cast<std::size_t>(row)];
    KubunCombo->setCurrentIndex(std::max(0, KubunCombo->findData(t.kaikeiKubun)));
    KamokuCombo->setCurrentIndex(std::max(0, KamokuCombo->findData(t.kamoku)));
    AiteEdit->setText(t.aite);
    TekiyoEdit->setText(t.tekiyo);
    SyunyuEdit->setText(Yen(t.syunyu));
    SisyutsuEdit->setText(Yen(t.sisyutsu));
    HiSpin->setValue(t.hi);
    for (int m = 0; m < 12; ++m)
        MonthChecks[m]->setChecked(t.months[static_cast<std::size_t>(m)]);
}

int TTeikiMeisaiForm::CurrentTemplate() const {
    const int row = TeikiGrid->currentRow();
    if (row < 0 || row >= static_cast<int>(templates_.size()))
        throw EAppError(u"定期明細を一覧から選んでください。"_s);
    return row;
}

void TTeikiMeisaiForm::Store(std::vector<TeikiTemplate> templates, int current) {
    SaveTeikiTemplates(connection_, templates);
    templates_ = std::move(templates);
    ShowTemplates(current);
}

// ---------------------------------------------------------------- 定期明細の作成

TTeikiSakuseiForm::TTeikiSakuseiForm(db::Connection& connection, const std::vector<QString>& months,
                                     const std::vector<ImportItemName>& items,
                                     const std::vector<ImportDivision>& divisions, QWidget* parent)
    : TTsubakiBaseForm(parent),
      FromCombo(new QComboBox(this)),
      ToCombo(new QComboBox(this)),
      SakuseiBtn(new QPushButton(u"作成"_s, this)),
      SetteiBtn(new QPushButton(u"定期明細設定"_s, this)),
      ChushiBtn(new QPushButton(u"中止"_s, this)),
      connection_(connection),
      items_(items),
      divisions_(divisions) {
    setWindowTitle(u"定期明細の作成"_s);
    for (const QString& ym : months) {
        const QString text = u"%1年%2月"_s.arg(ym.left(4)).arg(ym.mid(4, 2).toInt());
        FromCombo->addItem(text, ym);
        ToCombo->addItem(text, ym);
    }
    ToCombo->setCurrentIndex(ToCombo->count() - 1);
    auto* note = new QLabel(
        u"定期明細から、選んだ月の明細を作ります（まだ保存しません）。\n"
        u"すでに同じ明細（日付・会計区分・金額・摘要）がある月には作りません。"_s,
        this);
    SakuseiBtn->setToolTip(u"選んだ月の定期明細を明細に加えます。"_s);
    SetteiBtn->setToolTip(u"定期明細を追加・変更・削除します。"_s);
    ChushiBtn->setToolTip(u"作成を中止します。"_s);
    for (QPushButton* b : {SakuseiBtn, SetteiBtn, ChushiBtn}) {
        b->setMinimumSize(110, 36);
        b->setAutoDefault(false);
    }
    auto* range = new QHBoxLayout;
    auto* fromLabel = new QLabel(u"作成する月"_s, this);
    fromLabel->setBuddy(FromCombo);
    range->addWidget(fromLabel);
    range->addWidget(FromCombo);
    range->addWidget(new QLabel(u"～"_s, this));
    range->addWidget(ToCombo);
    range->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(SetteiBtn);
    buttons->addStretch(1);
    buttons->addWidget(SakuseiBtn);
    buttons->addWidget(ChushiBtn);
    auto* root = new QVBoxLayout(this);
    root->addWidget(note);
    root->addLayout(range);
    root->addSpacing(8);
    root->addLayout(buttons);
    setTabOrder(FromCombo, ToCombo);
    setTabOrder(ToCombo, SakuseiBtn);
    setTabOrder(SakuseiBtn, ChushiBtn);
    setTabOrder(ChushiBtn, SetteiBtn);

    connect(SakuseiBtn, &QPushButton::clicked, this, [this] {
        Guard([this] {
            if (FromMonth() > ToMonth()) {
                ToCombo->setFocus();
                throw EAppError(u"月の範囲が正しくありません。"_s);
            }
            accept();
        });
    });
    connect(SetteiBtn, &QPushButton::clicked, this, [this] {
        Guard([this] {
            TTeikiMeisaiForm setting(connection_, items_, divisions_, this);
            setting.exec();
        });
    });
    connect(ChushiBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TTeikiSakuseiForm::PrepareWindow() {
    FromCombo->setFocus();
}

QString TTeikiSakuseiForm::FromMonth() const {
    return FromCombo->currentData().toString();
}

QString TTeikiSakuseiForm::ToMonth() const {
    return ToCombo->currentData().toString();
}
