#include "kaihi/KaihiSyuruiUnit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "db/DataModule.h"

using namespace Qt::Literals::StringLiterals;

namespace {

enum Column { kMeisyo, kKubun, kKingaku, kKamoku, kColumns };

}  // namespace

TKaihiSyuruiForm::TKaihiSyuruiForm(int nendo, QWidget* parent)
    : TplnBaseForm(parent),
      SyuruiGrid(new QTableWidget(0, kColumns, this)),
      TsuikaBtn(new QPushButton(u"追加"_s, this)),
      SakujyoBtn(new QPushButton(u"削除"_s, this)),
      HozonBtn(new QPushButton(u"保存"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      nendo_(nendo) {
    setWindowTitle(u"会費の種別 %1年度"_s.arg(nendo));
    const int kanji = fontMetrics().horizontalAdvance(u'あ');
    SyuruiGrid->setHorizontalHeaderLabels({u"名称"_s, u"区分"_s, u"金額"_s, u"科目"_s});
    SyuruiGrid->verticalHeader()->hide();
    SyuruiGrid->horizontalHeader()->setStretchLastSection(true);
    SyuruiGrid->setColumnWidth(kMeisyo, kanji * 11);
    SyuruiGrid->setColumnWidth(kKubun, kanji * 5);
    SyuruiGrid->setColumnWidth(kKingaku, kanji * 6);
    SyuruiGrid->setMinimumSize(kanji * 40, kanji * 10);
    SyuruiGrid->setToolTip(u"会費の種別ごとに、月額か年額か、金額、計上する科目を設定します。"_s);
    ExemptFromNavigation(SyuruiGrid);
    TsuikaBtn->setToolTip(u"会費の種別を追加します。"_s);
    SakujyoBtn->setToolTip(u"選んだ種別を削除します。納付のある種別は削除できません。"_s);
    HozonBtn->setToolTip(u"会費の種別を保存します。(Ctrl+S)"_s);
    for (QPushButton* b : {TsuikaBtn, SakujyoBtn, HozonBtn, CloseBtn})
        b->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(TsuikaBtn);
    buttons->addWidget(SakujyoBtn);
    buttons->addStretch(1);
    buttons->addWidget(HozonBtn);
    buttons->addWidget(CloseBtn);
    auto* page = new QVBoxLayout(this);
    page->addWidget(SyuruiGrid, 1);
    page->addLayout(buttons);

    connect(TsuikaBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { AddRow(); }); });
    connect(SakujyoBtn, &QPushButton::clicked, this, [this] {
        if (SyuruiGrid->currentRow() >= 0)
            SyuruiGrid->removeRow(SyuruiGrid->currentRow());
    });
    const auto save = [this] {
        RunGuarded([this] {
            SaveSyurui(DataModule1().SQLConnection1, nendo_, Rows());
            Load();
            ShowMessage(u"会費の種別を保存しました。"_s);
        });
    };
    connect(HozonBtn, &QPushButton::clicked, this, save);
    connect(new QShortcut(QKeySequence(u"Ctrl+S"_s), this), &QShortcut::activated, this, save);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    RunGuarded([this] {
        items_ = ReceiptItemsOf(DataModule1().SQLConnection1, nendo_);
        Load();
    });
}

void TKaihiSyuruiForm::Load() {
    SyuruiGrid->setRowCount(0);
    for (const KaihiSyurui& s : LoadKaihiYear(DataModule1().SQLConnection1, nendo_).syurui)
        AddRow(s);
}

void TKaihiSyuruiForm::AddRow() {
    AddRow(KaihiSyurui{0, QString(), true, 0, 0, items_.empty() ? 0 : items_.front().kamoku});
    SyuruiGrid->setFocus();
    SyuruiGrid->setCurrentCell(SyuruiGrid->rowCount() - 1, kMeisyo);
}

void TKaihiSyuruiForm::AddRow(const KaihiSyurui& syurui) {
    const int row = SyuruiGrid->rowCount();
    SyuruiGrid->insertRow(row);
    auto* name = new QTableWidgetItem(syurui.name);
    name->setData(Qt::UserRole, syurui.syuruiCd);
    SyuruiGrid->setItem(row, kMeisyo, name);
    auto* kubun = new QComboBox(SyuruiGrid);
    kubun->addItems({u"月額"_s, u"年額"_s});
    kubun->setCurrentIndex(syurui.perMonth ? 0 : 1);
    SyuruiGrid->setCellWidget(row, kKubun, kubun);
    auto* kingaku = new QTableWidgetItem(syurui.kingaku > 0 ? QString::number(syurui.kingaku) : QString());
    kingaku->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    SyuruiGrid->setItem(row, kKingaku, kingaku);
    auto* kamoku = new QComboBox(SyuruiGrid);
    for (const KaihiKamoku& k : items_)
        kamoku->addItem(u"%1 %2"_s.arg(k.kamoku).arg(k.name), k.kamoku);
    kamoku->setCurrentIndex(std::max(0, kamoku->findData(syurui.kamoku)));
    SyuruiGrid->setCellWidget(row, kKamoku, kamoku);
}

std::vector<KaihiSyurui> TKaihiSyuruiForm::Rows() const {
    std::vector<KaihiSyurui> rows;
    for (int row = 0; row < SyuruiGrid->rowCount(); ++row) {
        const QTableWidgetItem* name = SyuruiGrid->item(row, kMeisyo);
        const QTableWidgetItem* kingaku = SyuruiGrid->item(row, kKingaku);
        const auto* kubun = qobject_cast<QComboBox*>(SyuruiGrid->cellWidget(row, kKubun));
        const auto* kamoku = qobject_cast<QComboBox*>(SyuruiGrid->cellWidget(row, kKamoku));
        bool ok = false;
        const QString amountText = ToHankaku(TrimZen(kingaku ? kingaku->text() : QString())).remove(u',');
        const qint64 amount = amountText.toLongLong(&ok);
        if (!amountText.isEmpty() && !ok)
            throw EAppError(u"金額は数字で入力してください。"_s);
        rows.push_back({name ? name->data(Qt::UserRole).toInt() : 0, name ? TrimZen(name->text()) : QString(),
                        kubun == nullptr || kubun->currentIndex() == 0, ok ? amount : 0, 0,
                        kamoku ? kamoku->currentData().toInt() : 0});
    }
    return rows;
}
