#include "journal/TorikomiKakuninUnit.h"

#include <QBrush>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "data/FieldFormat.h"

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column { kKeep, kRow, kDate, kKubun, kAite, kTekiyo, kKamoku, kSyunyu, kSisyutsu, kSource, kColumns };

QString Yen(qint64 v) {
    return v == 0 ? QString() : data::FormatNumber(v, u"#,##0"_s);
}

QString Slashed(const QString& hizuke) {
    return hizuke.size() == 8 ? hizuke.left(4) + u'/' + hizuke.mid(4, 2) + u'/' + hizuke.mid(6, 2) : hizuke;
}

}  // namespace

TTorikomiKakuninForm::TTorikomiKakuninForm(const QString& fileName, const std::vector<Row>& rows,
                                           QWidget* parent)
    : TTsubakiBaseForm(parent),
      Label1(new QLabel(this)),
      RowGrid(new QTableWidget(static_cast<int>(rows.size()), kColumns, this)),
      TorikomiBtn(new QPushButton(u"取込"_s, this)),
      ChushiBtn(new QPushButton(u"中止"_s, this)) {
    setWindowTitle(u"取込の確認"_s);
    const auto count = [&rows](bool Row::*flag) {
        return std::count_if(rows.begin(), rows.end(), [flag](const Row& r) { return r.*flag; });
    };
    QString text = u"「%1」の%2行を取り込みます。"_s.arg(QFileInfo(fileName).fileName()).arg(rows.size());
    if (const auto duplicates = count(&Row::duplicate))
        text +=
            u"\n今年度の明細と同じ行（日付・会計区分・金額・摘要）が%1行あります。"
            u"重複と見て取り込みません。取り込むときはチェックを付けてください。"_s.arg(duplicates);
    if (const auto unmatched = count(&Row::unmatched))
        text +=
            u"\nどのルールにも合わなかった行が%1行あります（「ルールに合わない行の科目」にしました）。"_s.arg(
                unmatched);
    Label1->setText(text);
    Label1->setWordWrap(true);

    RowGrid->setHorizontalHeaderLabels({u"取込"_s, u"行"_s, u"日付"_s, u"会計区分"_s, u"入金先／支払先"_s,
                                        u"摘要"_s, u"科目(集計項目)"_s, u"収入金額"_s, u"支払金額"_s,
                                        u"科目の決め方"_s});
    RowGrid->verticalHeader()->hide();
    const QBrush marked(QColor(0xff, 0xf2, 0xcc));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const Row& row = rows[static_cast<std::size_t>(r)];
        auto* keep = new QTableWidgetItem(row.duplicate ? u"重複？"_s : QString());
        keep->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        keep->setCheckState(row.duplicate ? Qt::Unchecked : Qt::Checked);
        RowGrid->setItem(r, kKeep, keep);
        const auto cell = [&](int column, const QString& value, bool right = false) {
            auto* item = new QTableWidgetItem(value);
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            if (right)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (row.duplicate || row.unmatched)
                item->setBackground(marked);
            RowGrid->setItem(r, column, item);
        };
        cell(kRow, QString::number(row.row), true);
        cell(kDate, Slashed(row.hizuke));
        cell(kKubun, row.kubun);
        cell(kAite, row.aite);
        cell(kTekiyo, row.tekiyo);
        cell(kKamoku, row.kamoku);
        cell(kSyunyu, Yen(row.syunyu), true);
        cell(kSisyutsu, Yen(row.sisyutsu), true);
        cell(kSource, row.source);
    }
    RowGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    RowGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    RowGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    RowGrid->setWordWrap(false);
    RowGrid->resizeColumnsToContents();
    RowGrid->horizontalHeader()->setStretchLastSection(true);
    RowGrid->setMinimumSize(900, 320);
    RowGrid->setToolTip(u"スペースキーで、選んだ行を取り込むかどうかを切り替えます。"_s);
    ExemptFromNavigation(RowGrid);
    RowGrid->setTabKeyNavigation(false);
    if (!rows.empty())
        RowGrid->setCurrentCell(0, kKeep);
    // Space ticks or unticks the row under the cursor, whichever column it is in.
    RowGrid->installEventFilter(this);

    TorikomiBtn->setToolTip(u"チェックを付けた行を取り込みます。"_s);
    ChushiBtn->setToolTip(u"取込を中止します。"_s);
    for (QPushButton* b : {TorikomiBtn, ChushiBtn}) {
        b->setMinimumSize(110, 36);
        b->setAutoDefault(false);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(TorikomiBtn);
    buttons->addWidget(ChushiBtn);
    auto* root = new QVBoxLayout(this);
    root->addWidget(Label1);
    root->addWidget(RowGrid, 1);
    root->addLayout(buttons);
    setTabOrder(RowGrid, TorikomiBtn);
    setTabOrder(TorikomiBtn, ChushiBtn);
    connect(TorikomiBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(ChushiBtn, &QPushButton::clicked, this, &QDialog::reject);
}

void TTorikomiKakuninForm::PrepareWindow() {
    RowGrid->setFocus();
}

std::vector<bool> TTorikomiKakuninForm::Kept() const {
    std::vector<bool> kept;
    for (int r = 0; r < RowGrid->rowCount(); ++r)
        kept.push_back(RowGrid->item(r, kKeep)->checkState() == Qt::Checked);
    return kept;
}

bool TTorikomiKakuninForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == RowGrid && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space && RowGrid->currentRow() >= 0) {
        QTableWidgetItem* keep = RowGrid->item(RowGrid->currentRow(), kKeep);
        keep->setCheckState(keep->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return TTsubakiBaseForm::eventFilter(watched, event);
}

std::vector<TTorikomiKakuninForm::Row> KakuninRows(const std::vector<ImportLine>& lines,
                                                   const std::vector<bool>& duplicate,
                                                   const ImportContext& context) {
    const auto itemName = [&context](const db::Value& kamoku) {
        if (kamoku.IsNull())
            return QString();
        for (const ImportItemName& item : context.itemNames)
            if (item.cd == kamoku.AsInteger())
                return item.name;
        return kamoku.AsString();
    };
    const auto divisionName = [&context](int cd) {
        for (const ImportDivision& d : context.divisions)
            if (d.cd == cd)
                return d.name;
        return QString::number(cd);
    };
    const auto text = [](const db::Value& v) { return v.IsNull() ? QString() : v.AsString(); };
    const auto amount = [](const db::Value& v) { return v.IsNull() ? qint64{0} : v.AsInteger(); };
    std::vector<TTorikomiKakuninForm::Row> rows;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const ImportLine& l = lines[i];
        TTorikomiKakuninForm::Row r;
        r.row = l.row;
        r.hizuke = l.hizuke;
        r.kubun = divisionName(l.kaikeiKubun);
        r.aite = text(l.aite);
        r.tekiyo = text(l.tekiyo);
        r.kamoku = itemName(l.kamoku);
        r.syunyu = amount(l.syunyu);
        r.sisyutsu = amount(l.sisyutsu);
        switch (l.itemFrom) {
            case ImportLine::ItemFrom::File:
                r.source = u"ファイルの科目"_s;
                break;
            case ImportLine::ItemFrom::Rule:
                r.source = u"ルール「%1」"_s.arg(context.rules[static_cast<std::size_t>(l.rule)].text);
                break;
            case ImportLine::ItemFrom::Default:
                r.source = u"ルールなし"_s;
                r.unmatched = true;
                break;
        }
        r.duplicate = i < duplicate.size() && duplicate[i];
        rows.push_back(std::move(r));
    }
    return rows;
}

bool NeedsKakunin(const std::vector<ImportLine>& lines, const std::vector<bool>& duplicate) {
    return std::find(duplicate.begin(), duplicate.end(), true) != duplicate.end() ||
           std::any_of(lines.begin(), lines.end(),
                       [](const ImportLine& l) { return l.itemFrom != ImportLine::ItemFrom::File; });
}
