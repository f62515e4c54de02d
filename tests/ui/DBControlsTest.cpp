#include <QAbstractButton>
#include <QVBoxLayout>

#include <functional>
#include <vector>

#include "data/DataSet.h"
#include "tests/support/DataWindowFixture.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/DBGrid.h"
#include "ui/EditMask.h"
#include "ui/plnBaseFormUnit.h"

TEST(EditMask, StoresDigitsWithOrWithoutTheLiterals) {
    struct Case {
        const char16_t* picture;
        bool saveLiterals;
        const char16_t* shown;
        const char16_t* value;
    } const cases[] = {
        {u"9999/99/99", false, u"2021/04/01", u"20210401"},
        {u"9999/99/99", false, u"2021/0_/__", u"20210   "},
        {u"9999/99/99", false, u"____/__/__", u""},
        {u"999-9999", true, u"123-4567", u"123-4567"},
        {u"999-9999", true, u"123-____", u"123-    "},
        {u"99/99", false, u"04/15", u"0415"},
    };
    for (const auto& c : cases) {
        const QString picture = QString::fromUtf16(c.picture);
        const QString shown = QString::fromUtf16(c.shown);
        SCOPED_TRACE(shown.toStdString());
        EXPECT_EQ(MaskedTextToValue(shown, picture, c.saveLiterals), QString::fromUtf16(c.value));
        if (!QString::fromUtf16(c.value).isEmpty()) {
            EXPECT_EQ(ValueToMaskedText(QString::fromUtf16(c.value), picture, c.saveLiterals), shown);
        }
    }
    EXPECT_EQ(QtInputMask(QStringLiteral("9999/99/99")), QStringLiteral("0000/00/00;_"));
}

namespace {

// One row of a dataset made by code, shown by one control of each kind.
class ControlsForm : public TplnBaseForm {
  public:
    ControlsForm() {
        ds.AddField({.name = QStringLiteral("CODE"), .type = data::FieldType::Integer});
        ds.AddField({.name = QStringLiteral("FLAG"), .type = data::FieldType::Integer});
        ds.AddField({.name = QStringLiteral("KIND"), .type = data::FieldType::Integer});
        ds.AddField({.name = QStringLiteral("NAME"), .size = 4});
        ds.CreateDataSet();
        ds.Append();
        ds.FieldByName(QStringLiteral("CODE")).SetValue(1);
        ds.FieldByName(QStringLiteral("FLAG")).SetValue(0);
        ds.FieldByName(QStringLiteral("KIND")).SetValue(2);
        ds.Post();
        list.AddField({.name = QStringLiteral("CD"), .type = data::FieldType::Integer});
        list.AddField({.name = QStringLiteral("MEISYO")});
        list.CreateDataSet();
        for (auto [cd, text] : {std::pair{1, u"収入"}, {2, u"支出"}}) {
            list.Append();
            list.FieldByName(QStringLiteral("CD")).SetValue(cd);
            list.FieldByName(QStringLiteral("MEISYO")).SetValue(QString::fromUtf16(text));
            list.Post();
        }
        auto* layout = new QVBoxLayout(this);
        name->SetDataSource(&source);
        name->SetDataField(QStringLiteral("NAME"));
        flag->SetDataSource(&source);
        flag->SetDataField(QStringLiteral("FLAG"));
        radio->SetItems({QStringLiteral("西暦"), QStringLiteral("和暦")}, {0, 1});
        radio->SetDataSource(&source);
        radio->SetDataField(QStringLiteral("FLAG"));
        combo->SetItems({{QStringLiteral("集計する"), 1}, {QStringLiteral("集計しない"), 2}});
        combo->SetDataSource(&source);
        combo->SetDataField(QStringLiteral("KIND"));
        lookup->SetListSource(&list, QStringLiteral("CD"), QStringLiteral("MEISYO"));
        lookup->SetDataSource(&source);
        lookup->SetDataField(QStringLiteral("CODE"));
        for (QWidget* w : std::initializer_list<QWidget*>{name, flag, radio, combo, lookup})
            layout->addWidget(w);
    }
    data::DataSet ds{QStringLiteral("ClientDataSet1")};
    data::DataSet list{QStringLiteral("SyusiClientDS")};
    TDataSource source{&ds};
    TDBEdit* name = new TDBEdit(this);
    TDBCheckBox* flag = new TDBCheckBox(QStringLiteral("和暦"), this);
    TDBRadioGroup* radio = new TDBRadioGroup(QStringLiteral("年表示方法"), this);
    TDBComboBox* combo = new TDBComboBox(this);
    TDBLookupComboBox* lookup = new TDBLookupComboBox(this);
};

}  // namespace

TEST(DBControls, ShowTheRowWriteThroughTheFieldAndUnbindWithTheDataSource) {
    ScriptedDialogs dialogs;
    ControlsForm form;
    ShowActive(form);
    EXPECT_FALSE(form.flag->isChecked());
    EXPECT_EQ(form.radio->ItemIndex(), 0);
    EXPECT_EQ(form.combo->currentText(), QStringLiteral("集計しない"));
    EXPECT_EQ(form.lookup->currentText(), QStringLiteral("収入"));
    EXPECT_EQ(form.name->maxLength(), 4);

    form.name->setFocus();
    Type(QStringLiteral("abcdef"));
    EXPECT_EQ(form.ds.State(), data::DataSetState::Edit);  // the first key put the row in edit
    Press(Qt::Key_Return);                                 // leaving the box writes it
    EXPECT_EQ(form.ds.FieldByName(QStringLiteral("NAME")).AsString(), QStringLiteral("abcd"));
    ASSERT_TRUE(form.flag->hasFocus());
    Press(Qt::Key_Space);
    EXPECT_EQ(form.ds.FieldByName(QStringLiteral("FLAG")).AsInteger(), 1);
    EXPECT_EQ(form.radio->ItemIndex(), 1);  // another control of the same field follows
    form.radio->Button(0)->click();
    EXPECT_EQ(form.ds.FieldByName(QStringLiteral("FLAG")).AsInteger(), 0);
    EXPECT_FALSE(form.flag->isChecked());
    form.lookup->setCurrentIndex(1);
    emit form.lookup->activated(1);
    EXPECT_EQ(form.ds.FieldByName(QStringLiteral("CODE")).AsInteger(), 2);

    form.ds.Cancel();
    EXPECT_EQ(form.name->text(), QString());
    EXPECT_EQ(form.lookup->currentText(), QStringLiteral("収入"));

    form.source.SetEnabled(false);
    EXPECT_TRUE(form.name->isReadOnly());
    EXPECT_EQ(form.radio->ItemIndex(), -1);
    EXPECT_EQ(form.lookup->currentIndex(), -1);
    form.source.SetEnabled(true);
    EXPECT_EQ(form.combo->currentText(), QStringLiteral("集計しない"));
    EXPECT_TRUE(dialogs.Shown().empty());
}

namespace {
class GridForm : public TplnBaseForm {
  public:
    GridForm() {
        ds.AddField({.name = QStringLiteral("HIZUKE")});
        ds.AddField({.name = QStringLiteral("KIND"), .type = data::FieldType::Integer});
        ds.AddField({.name = QStringLiteral("AITE")});
        ds.CreateDataSet();
        grid->SetDataSource(&source);
        grid->SetEditMask(QStringLiteral("HIZUKE"), QStringLiteral("99/99"), false);
        grid->SetPickList(QStringLiteral("KIND"), {{QStringLiteral("収入"), 1}, {QStringLiteral("支出"), 2}});
        grid->SetEditButton(QStringLiteral("AITE"), [this] {
            ds.Edit();
            ds.FieldByName(QStringLiteral("AITE")).SetText(QStringLiteral("選んだ相手"));
        });
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(grid);
        layout->addWidget(after);
    }
    data::DataSet ds{QStringLiteral("ClientDataSet1")};
    TDataSource source{&ds};
    TDBGrid* grid = new TDBGrid(this);
    QLineEdit* after = new QLineEdit(this);
};
}  // namespace

TEST(DBGrid, MasksListsAndPickersInCells) {
    ScriptedDialogs dialogs;
    GridForm form;
    ShowActive(form);
    form.grid->setFocus();  // an empty grid starts its first row
    Settle();
    ASSERT_EQ(form.ds.State(), data::DataSetState::Insert);
    Type(QStringLiteral("0415"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(form.ds.FieldByName(QStringLiteral("HIZUKE")).AsString(), QStringLiteral("0415"));
    EXPECT_EQ(form.grid->model()->index(0, 0).data().toString(), QStringLiteral("04/15"));
    EXPECT_EQ(form.grid->model()->index(0, 0).data(Qt::EditRole).toString(), QStringLiteral("0415"));

    Press(Qt::Key_F2);                     // the list of the coded column, empty so far
    Press(Qt::Key_Down, Qt::AltModifier);  // opened on its first name
    Press(Qt::Key_Down);
    Press(Qt::Key_Return);
    Press(Qt::Key_Tab);
    EXPECT_EQ(form.ds.FieldByName(QStringLiteral("KIND")).AsInteger(), 2);
    EXPECT_EQ(form.grid->model()->index(0, 1).data().toString(), QStringLiteral("支出"));

    Press(Qt::Key_F4);  // the picker of the counterparty column
    EXPECT_EQ(form.grid->model()->index(0, 2).data().toString(), QStringLiteral("選んだ相手"));
    Press(Qt::Key_Tab);  // past the last cell: posted and a new row started
    EXPECT_EQ(form.ds.RecordCount(), 1);
    EXPECT_EQ(form.ds.State(), data::DataSetState::Insert);

    form.after->setFocus();  // the untouched new row goes
    Settle();
    EXPECT_EQ(form.ds.State(), data::DataSetState::Browse);
    EXPECT_EQ(form.grid->model()->rowCount(), 1);
    EXPECT_TRUE(dialogs.Shown().empty());
}

// Only the cursor's row shows the row indicator, and a move or a change of state
// announces the rows concerned, never the whole column of headers.
TEST(DBGrid, TheIndicatorFollowsTheCursorAndOnlyItsRowsAreAnnounced) {
    ScriptedDialogs dialogs;
    GridForm form;
    for (int i = 0; i < 6; ++i) {
        form.ds.Append();
        form.ds.FieldByName(QStringLiteral("KIND")).SetValue(1);
        form.ds.Post();
    }
    form.ds.First();
    ShowActive(form);
    QAbstractItemModel& model = *form.grid->model();
    std::vector<std::pair<int, int>> announced;
    QObject::connect(&model, &QAbstractItemModel::headerDataChanged, &form,
                     [&](Qt::Orientation o, int first, int last) {
                         if (o == Qt::Vertical)
                             announced.emplace_back(first, last);
                     });
    const auto headers = [&] {
        QStringList texts;
        for (int row = 0; row < model.rowCount(); ++row)
            texts << model.headerData(row, Qt::Vertical).toString();
        return texts;
    };
    const struct {
        const char* step;
        std::function<void()> act;
        int row;  // the row showing the indicator
        const char16_t* mark;
    } steps[] = {
        {"down two rows",
         [&] {
             form.ds.Next();
             form.ds.Next();
         },
         2, u"▶"},
        {"edit", [&] { form.ds.Edit(); }, 2, u"I"},
        {"cancel", [&] { form.ds.Cancel(); }, 2, u"▶"},
        {"last", [&] { form.ds.Last(); }, 5, u"▶"},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        announced.clear();
        s.act();
        Settle();
        QStringList shown(model.rowCount());
        shown[s.row] = QString::fromUtf16(s.mark);
        EXPECT_EQ(headers(), shown);
        EXPECT_FALSE(announced.empty());
        for (const auto& [first, last] : announced)
            EXPECT_EQ(first, last) << "one row at a time";
    }
    EXPECT_TRUE(dialogs.Shown().empty());
}
