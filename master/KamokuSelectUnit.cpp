#include "master/KamokuSelectUnit.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

#include "data/DataSetOperation.h"
#include "data/DataSetTableModel.h"
#include "db/DataModule.h"
#include "master/ChoiceList.h"

namespace {

struct ListDef {
    const char16_t* title;
    const char16_t* filter;
};

constexpr ListDef kLists[4] = {
    {u"収入の部", u"(SYUSI_KUBUN = 1) and (KESSANSYO_KUBUN = 1)"},
    {u"支出の部", u"(SYUSI_KUBUN = 2) and (KESSANSYO_KUBUN = 1)"},
    {u"集計対象外収入", u"(SYUSI_KUBUN = 1) and (KESSANSYO_KUBUN = 0)"},
    {u"集計対象外支出", u"(SYUSI_KUBUN = 2) and (KESSANSYO_KUBUN = 0)"},
};

// Open ends of a validity range read as 0 and 9999; an end stored as 0 stays 0.
const char16_t* const kKamokuSql =
    u"select B.KESSANSYO_KUBUN, B.SYUSI_KUBUN, K.CD, K.MEISYO, K.BUNRUI, K.TOKUBETSU_CD, "
    u"coalesce(K.KAISI_NENDO, 0) as KAISI_NENDO, coalesce(K.SYURYO_NENDO, 9999) as SYURYO_NENDO "
    u"from KAMOKU K inner join BUNRUI B on (B.CD = K.BUNRUI) "
    u"where (K.CD <> 100) and (K.CD <> 8000) "
    u"order by B.KESSANSYO_KUBUN desc, B.SYUSI_KUBUN, K.BUNRUI, K.CD";

data::FieldDef Hidden(const char16_t* name) {
    return {.name = QString::fromUtf16(name), .type = data::FieldType::Integer, .visible = false};
}

void DeclareListFields(data::DataSet& dataSet, const QString& title) {
    dataSet.AddField({.name = QStringLiteral("CD"),
                      .type = data::FieldType::Integer,
                      .label = QStringLiteral("ｺｰﾄﾞ"),
                      .displayFormat = QStringLiteral("0000")});
    dataSet.AddField({.name = QStringLiteral("MEISYO"), .label = title});
}

}  // namespace

QPoint PlaceAgainstCaller(const QSize& frameSize, const QRect& caller, const QRect& screenArea) {
    QRect frame(QPoint(0, 0), frameSize);
    frame.moveCenter(caller.center());
    frame.moveRight(caller.right());
    if (frame.right() > screenArea.right())
        frame.moveRight(screenArea.right());
    if (frame.bottom() > screenArea.bottom())
        frame.moveBottom(screenArea.bottom());
    // A window larger than the screen keeps its top-left corner (title bar) visible.
    if (frame.left() < screenArea.left())
        frame.moveLeft(screenArea.left());
    if (frame.top() < screenArea.top())
        frame.moveTop(screenArea.top());
    return frame.topLeft();
}

TKamokuSelectForm::TKamokuSelectForm(int nendo, const QRect& caller, QWidget* parent)
    : TTsubakiBaseForm(parent),
      CheckBox1(new QCheckBox(QStringLiteral("適用年度対象外のデータも表示"), this)),
      CloseBtn(new QPushButton(style()->standardIcon(QStyle::SP_DialogCloseButton),
                               QStringLiteral("閉じる(&C)"), this)),
      DBGrid1(new TChoiceList(this)),
      DBGrid2(new TChoiceList(this)),
      DBGrid3(new TChoiceList(this)),
      DBGrid4(new TChoiceList(this)),
      BitBtn1(new QPushButton(QStringLiteral("選択無し(空白)"), this)),
      ClientDataSet1(QStringLiteral("ClientDataSet1")),
      SyunyuClone(QStringLiteral("SyunyuClone")),
      SisyutsuClone(QStringLiteral("SisyutsuClone")),
      GaiSyunyuClone(QStringLiteral("GaiSyunyuClone")),
      GaiSisyutsuClone(QStringLiteral("GaiSisyutsuClone")),
      nendo_(nendo),
      caller_(caller),
      lists_{DBGrid1, DBGrid2, DBGrid3, DBGrid4},
      views_{&SyunyuClone, &SisyutsuClone, &GaiSyunyuClone, &GaiSisyutsuClone} {
    setWindowTitle(QStringLiteral("科目(集計項目)選択"));

    for (const char16_t* name : {u"KESSANSYO_KUBUN", u"SYUSI_KUBUN"})
        ClientDataSet1.AddField(Hidden(name));
    DeclareListFields(ClientDataSet1, QStringLiteral("科目(集計項目)"));
    for (const char16_t* name : {u"BUNRUI", u"TOKUBETSU_CD", u"KAISI_NENDO", u"SYURYO_NENDO"})
        ClientDataSet1.AddField(Hidden(name));
    for (int i = 0; i < 4; ++i)
        DeclareListFields(*views_[static_cast<std::size_t>(i)], QString::fromUtf16(kLists[i].title));

    CheckBox1->setToolTip(
        QStringLiteral("チェックすると適用年度が入力中の年度以外のデータも一覧表示します。"));
    CloseBtn->setToolTip(QStringLiteral("選択を中止して元の画面に戻ります。"));
    CloseBtn->setAutoDefault(false);
    BitBtn1->setToolTip(QStringLiteral("クリックすると元の画面の科目(集計項目)の選択内容を消去します。"));
    BitBtn1->setAutoDefault(false);
    for (QPushButton* b : {CloseBtn, BitBtn1})
        b->setMinimumSize(150, 36);

    auto* top = new QHBoxLayout;
    top->addWidget(CheckBox1);
    top->addStretch(1);
    top->addWidget(CloseBtn);
    auto* lists = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        TChoiceList* list = lists_[static_cast<std::size_t>(i)];
        list->setToolTip(QStringLiteral("クリックした行の科目が元の画面の科目(集計項目)欄へ表示されます。"));
        list->setMinimumWidth(340);
        list->setMinimumHeight(i < 2 ? 380 : 150);
        lists->addWidget(list, i / 2, i % 2);
        connect(list, &TChoiceList::Chosen, this,
                [this, i](int row) { Guard([this, i, row] { ListClick(i, row); }); });
    }
    lists->setRowStretch(0, 2);
    lists->setRowStretch(1, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(BitBtn1);
    auto* root = new QVBoxLayout(this);
    root->addLayout(top);
    root->addLayout(lists, 1);
    root->addLayout(bottom);

    setTabOrder(CheckBox1, CloseBtn);
    setTabOrder(CloseBtn, DBGrid1);
    setTabOrder(DBGrid1, DBGrid2);
    setTabOrder(DBGrid2, DBGrid3);
    setTabOrder(DBGrid3, DBGrid4);
    setTabOrder(DBGrid4, BitBtn1);
    connect(CheckBox1, &QCheckBox::toggled, this, [this] { Guard([this] { CheckBox1Click(); }); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
}

TKamokuSelectForm::~TKamokuSelectForm() {
    for (TChoiceList* list : lists_)
        list->setModel(nullptr);
}

void TKamokuSelectForm::PrepareWindow() {
    ClientDataSet1.SetConnection(&DataModule1().SQLConnection1);
    ClientDataSet1.SetCommandText(QString::fromUtf16(kKamokuSql));
    data::DsOpen(ClientDataSet1);
    for (std::size_t i = 0; i < 4; ++i) {
        views_[i]->CloneCursor(ClientDataSet1);
        if (!models_[i]) {
            models_[i] = std::make_unique<data::DataSetTableModel>(*views_[i]);
            lists_[i]->setModel(models_[i].get());
            lists_[i]->FitColumns(1);
        }
    }
    CheckBox1->setChecked(false);
    CheckBox1Click();
    PlaceWindow();
    // Straight into the first list that offers something, ready for the arrows and Enter.
    for (TChoiceList* list : lists_) {
        if (list->model()->rowCount() > 0) {
            list->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    CheckBox1->setFocus();
}

void TKamokuSelectForm::PlaceWindow() {
    if (caller_.isEmpty())
        return;
    const QScreen* screen = QGuiApplication::screenAt(caller_.center());
    if (!screen)
        screen = this->screen();
    if (!screen)
        return;
    move(PlaceAgainstCaller(frameGeometry().size(), caller_, screen->availableGeometry()));
}

void TKamokuSelectForm::CheckBox1Click() {
    const QString year = QString::number(nendo_);
    for (std::size_t i = 0; i < 4; ++i) {
        QString filter = QString::fromUtf16(kLists[i].filter);
        if (!CheckBox1->isChecked())
            filter += QStringLiteral(" and (") + year + QStringLiteral(" >= KAISI_NENDO) and (") + year +
                      QStringLiteral(" <= SYURYO_NENDO)");
        if (!itemFilter_.isEmpty())
            filter += QStringLiteral(" and (") + itemFilter_ + u')';
        views_[i]->SetFiltered(false);
        views_[i]->SetFilter(filter);
        views_[i]->SetFiltered(true);
    }
}

void TKamokuSelectForm::ListClick(int list, int row) {
    data::DataSet& view = *views_[static_cast<std::size_t>(list)];
    if (!view.Active() || view.IsEmpty())
        return;
    view.MoveToDisplayRow(row);
    selected_ = view.FieldByName(QStringLiteral("CD")).Value();
    accept();
}

void TKamokuSelectForm::BitBtn1Click() {
    selected_ = db::Value();
    accept();
}
