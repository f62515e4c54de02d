#include "kaihi/KaihiMenjyoUnit.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/ErrorHandler.h"
#include "core/JapaneseText.h"
#include "db/DataModule.h"
#include "kaihi/KaihiStore.h"

using namespace Qt::Literals::StringLiterals;

namespace {

QString MonthText(const QDate& month) {
    return month.toString(u"yyyy年M月"_s);
}

}  // namespace

TKaihiMenjyoForm::TKaihiMenjyoForm(int nendo, int setaiCd, const QString& setaiName,
                                   const KaihiSyurui& syurui, QWidget* parent)
    : TplnBaseForm(parent),
      MenjyoList(new QTableWidget(0, 3, this)),
      KaisiCombo(new QComboBox(this)),
      SyuryoCombo(new QComboBox(this)),
      RiyuEdit(new QLineEdit(this)),
      TsuikaBtn(new QPushButton(u"追加"_s, this)),
      SakujyoBtn(new QPushButton(u"削除"_s, this)),
      CloseBtn(new QPushButton(u"閉じる"_s, this)),
      nendo_(nendo),
      setaiCd_(setaiCd),
      syurui_(syurui) {
    setWindowTitle(u"会費の免除"_s);
    const int kanji = fontMetrics().horizontalAdvance(u'あ');
    auto* heading = new QLabel(u"%1　%2年度 %3"_s.arg(setaiName).arg(nendo).arg(syurui.name), this);
    MenjyoList->setHorizontalHeaderLabels({u"開始月"_s, u"終了月"_s, u"理由"_s});
    MenjyoList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MenjyoList->setSelectionBehavior(QAbstractItemView::SelectRows);
    MenjyoList->verticalHeader()->hide();
    MenjyoList->horizontalHeader()->setStretchLastSection(true);
    MenjyoList->setColumnWidth(0, kanji * 7);
    MenjyoList->setColumnWidth(1, kanji * 7);
    MenjyoList->setMinimumSize(kanji * 34, kanji * 8);
    ExemptFromNavigation(MenjyoList);
    RiyuEdit->setMaxLength(50);
    // Only the year's months can be chosen.
    MenjyoList->setToolTip(u"この世帯がこの種別の会費を免除される月です。"_s);
    const KaihiYear year = LoadKaihiYear(DataModule1().SQLConnection1, nendo);
    for (const QDate& month : NendoMonths(year.kisyubi)) {
        KaisiCombo->addItem(MonthText(month), month);
        SyuryoCombo->addItem(MonthText(month), month);
    }
    SyuryoCombo->setCurrentIndex(SyuryoCombo->count() - 1);
    auto* fields = new QFormLayout;
    fields->addRow(u"開始月"_s, KaisiCombo);
    fields->addRow(u"終了月"_s, SyuryoCombo);
    fields->addRow(u"理由"_s, RiyuEdit);
    for (QPushButton* b : {TsuikaBtn, SakujyoBtn, CloseBtn})
        b->setAutoDefault(false);
    TsuikaBtn->setToolTip(u"選んだ月の免除を追加します。同じ開始月の免除は置き換えます。"_s);
    SakujyoBtn->setToolTip(u"一覧で選んだ免除を削除します。"_s);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(TsuikaBtn);
    buttons->addWidget(SakujyoBtn);
    buttons->addStretch(1);
    buttons->addWidget(CloseBtn);
    auto* page = new QVBoxLayout(this);
    page->addWidget(heading);
    page->addWidget(MenjyoList, 1);
    page->addLayout(fields);
    page->addLayout(buttons);
    setTabOrder(KaisiCombo, SyuryoCombo);
    setTabOrder(SyuryoCombo, RiyuEdit);
    setTabOrder(RiyuEdit, TsuikaBtn);
    setTabOrder(TsuikaBtn, MenjyoList);
    setTabOrder(MenjyoList, SakujyoBtn);
    setTabOrder(SakujyoBtn, CloseBtn);

    connect(TsuikaBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            SaveMenjyo(DataModule1().SQLConnection1, nendo_,
                       {setaiCd_, syurui_.syuruiCd, KaisiCombo->currentData().toDate(),
                        SyuryoCombo->currentData().toDate()},
                       TrimZen(RiyuEdit->text()));
            Load();
        });
    });
    connect(SakujyoBtn, &QPushButton::clicked, this, [this] {
        RunGuarded([this] {
            const int row = MenjyoList->currentRow();
            if (row < 0 || row >= static_cast<int>(shown_.size()))
                return;
            if (MsgDialog(u"選んだ免除を削除します。よろしいですか？"_s, MsgDlgType::Confirmation,
                          mbYes | mbNo, mbNo) != ModalResult::Yes)
                return;
            DeleteMenjyo(DataModule1().SQLConnection1, nendo_, shown_[static_cast<std::size_t>(row)]);
            Load();
        });
    });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    Load();
}

void TKaihiMenjyoForm::Load() {
    db::Connection& connection = DataModule1().SQLConnection1;
    const KaihiYear year = LoadKaihiYear(connection, nendo_);
    const std::vector<QString> riyu = MenjyoRiyu(connection, nendo_);
    shown_.clear();
    MenjyoList->setRowCount(0);
    for (std::size_t i = 0; i < year.menjyo.size(); ++i) {
        const KaihiMenjyo& m = year.menjyo[i];
        if (m.setaiCd != setaiCd_ || m.syuruiCd != syurui_.syuruiCd)
            continue;
        const int row = MenjyoList->rowCount();
        MenjyoList->insertRow(row);
        MenjyoList->setItem(row, 0, new QTableWidgetItem(MonthText(m.from)));
        MenjyoList->setItem(row, 1, new QTableWidgetItem(MonthText(m.to)));
        MenjyoList->setItem(row, 2, new QTableWidgetItem(i < riyu.size() ? riyu[i] : QString()));
        shown_.push_back(m);
    }
}
