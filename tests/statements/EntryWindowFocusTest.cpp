// Where the keyboard is in each entry window: in its first input (the year box)
// when the window opens and again once 保存 (Ctrl+S) has saved the year.

#include <QApplication>
#include <QPushButton>

#include <functional>
#include <memory>
#include <utility>

#include "journal/MeisaiNyuryokuUnit.h"
#include "master/NendoMaintUnit.h"
#include "statements/CyukanKessanNyuryokuUnit.h"
#include "statements/YosanNyuryokuUnit.h"
#include "tests/statements/KessanFixture.h"
#include "ui/DBGrid.h"
#include "ui/YearEdit.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const char* NameOf(const QWidget* w) {
    return w ? w->metaObject()->className() : "nothing";
}

}  // namespace

TEST_F(KessanTest, EachEntryWindowHasTheFocusInItsFirstInputWhenOpenedAndAfterSaving) {
    const struct {
        const char* title;
        std::function<std::unique_ptr<TTsubakiBaseForm2>()> make;
    } windows[] = {
        {"収支明細入力", [] { return std::make_unique<TMeisaiNyuryokuForm>(); }},
        {"予算書データ入力", [] { return std::make_unique<TYosanNyuryokuForm>(); }},
        {"決算書データ入力", [] { return std::make_unique<TKessanNyuryokuForm>(); }},
        {"中間決算書データ入力", [] { return std::make_unique<TCyukanKessanNyuryokuForm>(); }},
        {"年度別基礎データ設定", [] { return std::make_unique<TNendoMaintForm>(); }},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.title);
        dialogs.Clear();
        auto form = w.make();
        // The interim window's year is chosen by the spinner or a click: its first
        // input is the closing date.
        auto* interim = dynamic_cast<TCyukanKessanNyuryokuForm*>(form.get());
        QWidget* first = interim ? static_cast<QWidget*>(interim->SimebiEdit) : form->Edit1;
        ShowActive(*form);
        EXPECT_EQ(QApplication::focusWidget(), first) << NameOf(QApplication::focusWidget());

        if (interim)
            interim->SimebiEdit->setText(u"0930"_s);
        TypeYear(*form, u"2021"_s);
        form->NyuryokuBtn->setFocus(Qt::TabFocusReason);
        Settle();
        ASSERT_TRUE(form->SaveBtn->isEnabled())
            << (dialogs.Shown().empty() ? "" : dialogs.Last().text.toStdString());
        Press(Qt::Key_S, Qt::ControlModifier);
        ASSERT_FALSE(form->SaveBtn->isEnabled())
            << (dialogs.Shown().empty() ? "" : dialogs.Last().text.toStdString());
        EXPECT_EQ(QApplication::focusWidget(), first) << NameOf(QApplication::focusWidget());
        form->hide();
    }
}

// 入力(表示) puts every grid of a statement window on its first editable column,
// on the first load and on each load after it, wherever the cursor stood before.
TEST_F(KessanTest, EveryLoadStartsTheStatementGridsAtTheirFirstEditableColumn) {
    const struct {
        const char* title;
        std::function<std::unique_ptr<TStatementEntryForm>()> make;
        QString first;
    } windows[] = {
        {"予算書データ入力", [] { return std::make_unique<TYosanNyuryokuForm>(); }, u"Kamokumei"_s},
        {"決算書データ入力", [] { return std::make_unique<TKessanNyuryokuForm>(); }, u"TEKIYO"_s},
    };
    for (const auto& w : windows) {
        SCOPED_TRACE(w.title);
        auto form = w.make();
        ShowActive(*form);
        // Each load, then how the year is left before the next one.
        const std::pair<const char*, QPushButton*> loads[] = {
            {"first", form->SaveBtn}, {"after 保存", form->CancelBtn}, {"after キャンセル", form->SaveBtn}};
        for (const auto& [load, leave] : loads) {
            SCOPED_TRACE(load);
            Load(*form);
            ASSERT_TRUE(form->SaveBtn->isEnabled());
            for (TDBGrid* grid : {form->SyunyuGrid, form->SisyutsuGrid})
                EXPECT_EQ(grid->SelectedField()->FieldName(), w.first) << grid->toolTip().toStdString();
            // The user walks to the last column before leaving the year.
            form->SyunyuGrid->setFocus();
            Settle();
            form->SyunyuGrid->SetSelectedField(u"JUNJYO"_s);
            Settle();
            Click(leave);
            ASSERT_FALSE(form->SaveBtn->isEnabled());
        }
        form->hide();
    }
}
