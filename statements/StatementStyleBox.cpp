#include "statements/StatementStyleBox.h"

#include <QGridLayout>
#include <QLabel>

#include "core/JapaneseText.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"

using namespace Qt::Literals::StringLiterals;

QString TStatementStyleBox::TitleField(Kind kind) {
    return kind == Kind::Budget ? u"YOSAN_TITLE"_s : u"KESSAN_TITLE"_s;
}

void TStatementStyleBox::DefineFields(data::DataSet& texts, Kind kind) {
    data::FieldDef title{.name = TitleField(kind), .type = data::FieldType::Text, .size = 30};
    texts.AddField(title).OnSetText = [](data::Field& f, const QString& text) {
        const QString trimmed = TrimZen(text);
        f.SetValue(trimmed.isEmpty() ? db::Value() : db::Value(trimmed));
    };
    for (const QString& name : {u"SYUNYU_ZOGEN_KUBUN"_s, u"SISYUTSU_ZOGEN_KUBUN"_s})
        texts.AddField({.name = name, .type = data::FieldType::Integer});
}

TStatementStyleBox::TStatementStyleBox(Kind kind, TDataSource* texts, QWidget* parent)
    : QGroupBox(u"表題と増減"_s, parent),
      TitleEdit(new TDBEdit(this)),
      SyunyuCombo(new TDBComboBox(this)),
      SisyutsuCombo(new TDBComboBox(this)) {
    const bool budget = kind == Kind::Budget;
    TitleEdit->SetDataSource(texts);
    TitleEdit->SetDataField(TitleField(kind));
    TitleEdit->setToolTip(budget ? u"予算書の表題を入力します。空欄のときは「収支予算書」と出力します。"_s
                                 : u"決算書の表題を入力します。空欄のときは「収支決算書」と出力します。"_s);
    TitleEdit->setFixedWidth(fontMetrics().horizontalAdvance(u'あ') * 22 + 12);
    const TPickList signs = budget ? TPickList{{u"本年度予算額－前年度"_s, 0}, {u"前年度－本年度予算額"_s, 1}}
                                   : TPickList{{u"決算額－予算額"_s, 0}, {u"予算額－決算額"_s, 1}};
    const QString hint = u"増減欄の計算方法を選択します。予算書と決算書で共通の設定です。"_s;
    const std::pair<TDBComboBox*, QString> combos[] = {{SyunyuCombo, u"SYUNYU_ZOGEN_KUBUN"_s},
                                                       {SisyutsuCombo, u"SISYUTSU_ZOGEN_KUBUN"_s}};
    for (const auto& [combo, field] : combos) {
        combo->SetDataSource(texts);
        combo->SetDataField(field);
        combo->SetItems(signs);
        combo->SetNullIndex(0);  // never chosen: the usual way
        combo->setToolTip(hint);
    }

    const auto caption = [this](const QString& text, QWidget* buddy) {
        auto* label = new QLabel(text, this);
        label->setBuddy(buddy);
        return label;
    };
    auto* grid = new QGridLayout(this);
    grid->setHorizontalSpacing(10);
    grid->addWidget(caption(budget ? u"予算書の表題"_s : u"決算書の表題"_s, TitleEdit), 0, 0);
    grid->addWidget(TitleEdit, 0, 1, 1, 4, Qt::AlignLeft);
    grid->addWidget(caption(u"増減 収入の部"_s, SyunyuCombo), 1, 0);
    grid->addWidget(SyunyuCombo, 1, 1);
    grid->addWidget(caption(u"支出の部"_s, SisyutsuCombo), 1, 2);
    grid->addWidget(SisyutsuCombo, 1, 3);
    grid->setColumnStretch(4, 1);
    setTabOrder(TitleEdit, SyunyuCombo);
    setTabOrder(SyunyuCombo, SisyutsuCombo);
}
