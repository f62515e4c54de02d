#include "master/TekiyoTourokuUnit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/Dialogs.h"
#include "core/Errors.h"
#include "core/JapaneseText.h"
#include "data/DataSetOperation.h"
#include "db/DataModule.h"
#include "master/Reading.h"

namespace {

TTekiyoTourokuForm::ListDef TekiyoList() {
    return {QStringLiteral("摘要の登録"),
            QStringLiteral("登録する摘要"),
            50,
            20,
            QStringLiteral("select * from TEKIYO where (MEISYO = :MEISYO)"),
            QStringLiteral("insert into TEKIYO (MEISYO, KENSAKU_MOJI) values (:MEISYO, :KENSAKU_MOJI)")};
}

// An edit box wide enough to show `characters` full-width characters.
void FitWidth(QLineEdit* edit, int characters) {
    const int wide = edit->fontMetrics().horizontalAdvance(QStringLiteral("あ"));
    edit->setMinimumWidth(wide * characters + 16);
}

}  // namespace

TTekiyoTourokuForm::TTekiyoTourokuForm(const QString& text, QWidget* parent)
    : TTekiyoTourokuForm(TekiyoList(), text, parent) {}

TTekiyoTourokuForm::TTekiyoTourokuForm(ListDef list, const QString& text, QWidget* parent)
    : TTsubakiBaseForm(parent),
      Label1(new QLabel(list.nameLabel, this)),
      Edit1(new QLineEdit(this)),
      Label2(new QLabel(QStringLiteral("ふりがな"), this)),
      Edit2(new QLineEdit(this)),
      Label3(
          new QLabel(QStringLiteral("入力したふりがなは全角ひらがなアルファベットに変換されます。"), this)),
      BitBtn1(new QPushButton(QStringLiteral("登録"), this)),
      BitBtn2(new QPushButton(QStringLiteral("中止"), this)),
      list_(std::move(list)),
      text_(text) {
    setWindowTitle(list_.caption);
    Edit1->setMaxLength(list_.nameLength);
    Edit1->setToolTip(QStringLiteral("表示した摘要を編集します。"));
    FitWidth(Edit1, std::min(list_.nameLength, 36));
    Edit2->setMaxLength(list_.readingTyped);
    Edit2->setToolTip(QStringLiteral("検索用の文字を仮名またはアルファベットで入力します。"));
    FitWidth(Edit2, ReadingLength());
    Label1->setBuddy(Edit1);
    Label2->setBuddy(Edit2);
    BitBtn1->setToolTip(QStringLiteral("編集した摘要を登録します。"));
    BitBtn2->setToolTip(QStringLiteral("登録を中止します。"));
    for (QPushButton* b : {BitBtn1, BitBtn2})
        b->setMinimumSize(110, 36);

    auto* fields = new QGridLayout;
    fields->addWidget(Label1, 0, 0, 1, 2);
    fields->addWidget(Edit1, 1, 0, 1, 2);
    fields->addWidget(Label2, 2, 0);
    fields->addWidget(Edit2, 3, 0);
    fields->addWidget(Label3, 4, 0, 1, 2);
    fields->setColumnStretch(1, 1);
    fields->setRowMinimumHeight(2, 12);
    fields->setAlignment(Label2, Qt::AlignBottom | Qt::AlignLeft);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(BitBtn1);
    buttons->addWidget(BitBtn2);
    auto* root = new QVBoxLayout(this);
    root->addLayout(fields);
    root->addSpacing(8);
    root->addLayout(buttons);

    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, BitBtn1);
    setTabOrder(BitBtn1, BitBtn2);
    connect(Edit2, &QLineEdit::editingFinished, this, [this] { Guard([this] { Edit2Exit(); }); });
    connect(BitBtn1, &QPushButton::clicked, this, [this] { Guard([this] { BitBtn1Click(); }); });
    connect(BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
}

TTekiyoTourokuForm::~TTekiyoTourokuForm() {
    // The reading box loses the focus while the window is taken down; its check
    // must not run on a half-destroyed window.
    disconnect(Edit2, nullptr, this, nullptr);
}

void TTekiyoTourokuForm::PrepareWindow() {
    Edit1->setText(Trim(text_));
    Edit2->clear();
    // The text is there already; what the user has to type is its reading.
    Edit2->setFocus();
}

void TTekiyoTourokuForm::Edit2Exit() {
    const QString reading = NormalizeReading(Edit2->text(), ReadingLength());
    if (reading != Edit2->text())
        Edit2->setText(reading);
}

bool TTekiyoTourokuForm::Registered(const QString& name) const {
    data::DataSet SQLDataSet1(QStringLiteral("SQLDataSet1"));
    SQLDataSet1.SetConnection(&DataModule1().SQLConnection1);
    SQLDataSet1.SetCommandText(list_.selectSql);
    SQLDataSet1.SetParam(QStringLiteral("MEISYO"), name);
    data::DsOpen(SQLDataSet1);
    const bool found = !SQLDataSet1.IsEmpty();
    data::DsClose(SQLDataSet1);
    return found;
}

void TTekiyoTourokuForm::BitBtn1Click() {
    const QString name = TrimCut(Trim(Edit1->text()), list_.nameLength);
    if (name.isEmpty()) {
        Edit1->setFocus();
        throw EAppError(list_.nameLabel + QStringLiteral("を入力してください。"));
    }
    // The reading is stored normalised even when 登録 was reached without leaving its box.
    Edit2Exit();
    if (Registered(name)) {
        ShowMessage(QStringLiteral("このデータは登録済みです。"));
        Edit1->setFocus();
        return;
    }
    data::SqlCommand SQLDataSet2(QStringLiteral("SQLDataSet2"), &DataModule1().SQLConnection1);
    SQLDataSet2.SetCommandText(list_.insertSql);
    SQLDataSet2.SetParam(QStringLiteral("MEISYO"), name);
    SQLDataSet2.SetParam(QStringLiteral("KENSAKU_MOJI"), Trim(Edit2->text()));
    data::DsExecSQL(SQLDataSet2);
    accept();
}
