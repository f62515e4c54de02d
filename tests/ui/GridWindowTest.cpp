#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include "data/DataSetTableModel.h"
#include "tests/support/DataWindowFixture.h"
#include "ui/DBControls.h"
#include "ui/DBGrid.h"
#include "ui/TsubakiGridBaseUnit.h"

namespace {

// A small grid window over KAIKEI_KUBUN; the general account's code is read-only.
class KaikeiKubunTestForm : public TTsubakiGridBaseForm {
  public:
    KaikeiKubunTestForm() {
        SQLDataSet1.SetCommandText(QStringLiteral("select CD, MEISYO from KAIKEI_KUBUN order by CD"));
        ClientDataSet1.SetUpdateTable(QStringLiteral("KAIKEI_KUBUN"), QStringLiteral("CD"));
        data::FieldDef cd{.name = QStringLiteral("CD"), .type = data::FieldType::Integer};
        cd.label = QStringLiteral("コード");
        cd.required = true;
        ClientDataSet1.AddField(cd);
        data::FieldDef meisyo{.name = QStringLiteral("MEISYO")};
        meisyo.label = QStringLiteral("会計区分名");
        meisyo.trimOnEntry = true;
        ClientDataSet1.AddField(meisyo);
        DBGrid1->IsUntouchedNewRow = [](data::DataSet& ds) {
            return ds.FieldByName(QStringLiteral("CD")).IsNull() &&
                   ds.FieldByName(QStringLiteral("MEISYO")).IsNull();
        };
        DBGrid1->IsReadOnlyCell = [this](const data::Field& field, int row) {
            return field.FieldName() == QStringLiteral("CD") &&
                   ClientDataSet1.DisplayValue(row, field) == db::Value(0);
        };
    }
    using TDbExpGridForm::FormCloseQuery;
};

class GridWindow : public DataWindowTest {
  protected:
    QString Count() { return Query(QStringLiteral("select count(*) from KAIKEI_KUBUN")); }
    QString Name(int code) {
        return Query(QStringLiteral("select MEISYO from KAIKEI_KUBUN where CD = %1").arg(code));
    }
    static QString Cell(const KaikeiKubunTestForm& form, int row, int column) {
        return form.DBGrid1->model()->index(row, column).data().toString();
    }
    static bool AddAndDeleteEnabled(const KaikeiKubunTestForm& form) {
        EXPECT_EQ(form.TsuikaBtn->isEnabled(), form.SakujyoBtn->isEnabled());
        return form.TsuikaBtn->isEnabled();
    }
};

}  // namespace

TEST_F(GridWindow, ShowsTheRowsWithTitlesAndOpensTheFirstEditableCell) {
    KaikeiKubunTestForm form;
    ShowActive(form);
    EXPECT_EQ(form.DBGrid1->model()->rowCount(), 1);
    EXPECT_EQ(form.DBGrid1->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("コード"));
    EXPECT_EQ(Cell(form, 0, 1), QStringLiteral("一般会計"));
    EXPECT_TRUE(AddAndDeleteEnabled(form));
    EXPECT_FALSE(form.windowFlags() & Qt::WindowCloseButtonHint);
    // The always-shown editor sits in the grid, on a cell that can be edited.
    EXPECT_TRUE(form.DBGrid1->isAncestorOf(QApplication::focusWidget()));
    EXPECT_FALSE(form.DBGrid1->model()->flags(form.DBGrid1->model()->index(0, 0)) & Qt::ItemIsEditable);
}

TEST_F(GridWindow, TypedRowsAreWrittenAtOnceAndAnUntouchedNewRowIsDropped) {
    KaikeiKubunTestForm form;
    ShowActive(form);
    QTest::mouseClick(form.TsuikaBtn, Qt::LeftButton);
    Settle();
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
    EXPECT_FALSE(AddAndDeleteEnabled(form));  // while a new row is being entered
    EXPECT_EQ(form.DBGrid1->SelectedIndex(), 0);

    Type(QStringLiteral("5"));
    Press(Qt::Key_Tab);
    EXPECT_EQ(form.DBGrid1->SelectedIndex(), 1);
    Type(QStringLiteral(" 町内会 "));
    // The new row stands before the current one; Enter past its last cell posts it
    // and goes to the next row's first editable cell (the general account's name).
    Press(Qt::Key_Return);
    EXPECT_EQ(Count(), QStringLiteral("2"));
    EXPECT_EQ(Name(5), QStringLiteral("町内会"));
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(form.DBGrid1->currentIndex().row(), 1);
    EXPECT_EQ(form.DBGrid1->SelectedIndex(), 1);

    // Past the last cell of the last row a new row starts.
    Press(Qt::Key_Tab);
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
    EXPECT_EQ(form.DBGrid1->model()->rowCount(), 3);
    EXPECT_EQ(form.DBGrid1->currentIndex().row(), 2);
    EXPECT_EQ(form.DBGrid1->SelectedIndex(), 0);

    // Leaving the grid with the new row untouched drops it without a word.
    form.DBNavigator1->setFocus();
    Settle();
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(form.DBGrid1->model()->rowCount(), 2);
    EXPECT_TRUE(AddAndDeleteEnabled(form));
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(form.ClientDataSet1.ChangeCount(), 0);
}

TEST_F(GridWindow, UpAndDownMoveTheDatasetCursorAndEscCancelsTheRow) {
    Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (1, '子供会')"));
    KaikeiKubunTestForm form;
    ShowActive(form);
    form.DBGrid1->setFocus();
    Settle();
    Press(Qt::Key_Down);
    EXPECT_EQ(form.ClientDataSet1.RecIndex(), 1);
    EXPECT_EQ(form.DBGrid1->currentIndex().row(), 1);

    form.DBGrid1->SetSelectedIndex(1);
    Settle();
    Type(QStringLiteral("老人会"));
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Edit);  // typing put the row in edit
    Press(Qt::Key_Escape);
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(Cell(form, 1, 1), QStringLiteral("子供会"));
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.DBGrid1->SelectedIndex(), 0);  // a cancel goes back to the first editable column

    form.DBGrid1->SetSelectedIndex(1);
    Settle();
    Type(QStringLiteral("老人会"));
    Press(Qt::Key_Up);  // leaving the row posts it
    EXPECT_EQ(form.ClientDataSet1.RecIndex(), 0);
    EXPECT_EQ(Name(1), QStringLiteral("老人会"));
}

TEST_F(GridWindow, AFailingWriteShowsTheMessageAndKeepsTheRow) {
    KaikeiKubunTestForm form;
    ShowActive(form);
    QTest::mouseClick(form.TsuikaBtn, Qt::LeftButton);
    Settle();
    Type(QStringLiteral("0"));  // the general account's code again
    Press(Qt::Key_Tab);
    Type(QStringLiteral("重複"));
    Press(Qt::Key_Return);

    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(dialogs.Last().text.startsWith(QStringLiteral("更新を失敗しました。\r\n")));
    EXPECT_TRUE(dialogs.Last().text.contains(QStringLiteral("PRIMARY"), Qt::CaseInsensitive));
    EXPECT_EQ(Count(), QStringLiteral("1"));
    EXPECT_EQ(form.DBGrid1->model()->rowCount(), 2);  // the row stays as typed, no new row
    EXPECT_EQ(form.ClientDataSet1.RecIndex(), 0);
    EXPECT_EQ(form.ClientDataSet1.ChangeCount(), 1);

    // ｷｬﾝｾﾙ drops the change that could not be written.
    QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
    Settle();
    EXPECT_EQ(form.ClientDataSet1.ChangeCount(), 0);
    EXPECT_EQ(form.DBGrid1->model()->rowCount(), 1);
}

TEST_F(GridWindow, ClosingWithAHalfEditedRowAsks) {
    for (const bool save : {false, true}) {
        SCOPED_TRACE(save ? "はい" : "いいえ");
        KaikeiKubunTestForm form;
        ShowActive(form);
        form.DBGrid1->SetSelectedIndex(1);
        Settle();
        Type(save ? QStringLiteral("本会計") : QStringLiteral("取消"));
        dialogs.Clear();
        dialogs.QueueAnswer(save ? ModalResult::Yes : ModalResult::No);
        QTest::mouseClick(form.CloseBtn, Qt::LeftButton);
        Settle();
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_EQ(dialogs.Last().text, QStringLiteral("入力中の行を保存しますか?"));
        EXPECT_EQ(dialogs.Last().type, MsgDlgType::Confirmation);
        EXPECT_EQ(dialogs.Last().buttons, mbYes | mbNo);
        EXPECT_FALSE(form.isVisible());
        EXPECT_EQ(Name(0), save ? QStringLiteral("本会計") : QStringLiteral("一般会計"));
    }
}

TEST_F(GridWindow, TheTitleBarCannotCloseIt) {
    KaikeiKubunTestForm form;
    ShowActive(form);
    form.windowHandle()->close();
    Settle();
    EXPECT_TRUE(form.isVisible());
}

TEST_F(GridWindow, DeletingWritesAtOnceAndAnEmptyTableDisablesAddAndDelete) {
    KaikeiKubunTestForm form;
    ShowActive(form);
    QTest::mouseClick(form.SakujyoBtn, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Count(), QStringLiteral("0"));
    EXPECT_FALSE(AddAndDeleteEnabled(form));
    form.TsuikaBtn->setFocus();  // the empty grid's new row is dropped when left
    Settle();
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_FALSE(AddAndDeleteEnabled(form));
}

// Tab until `target` has the focus (a window's worth of controls at most).
static void TabTo(QWidget* target) {
    for (int i = 0; i < 12 && QApplication::focusWidget() != target; ++i)
        Press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className() : "none");
}

// The keyboard alone: Ctrl+Tab leaves the grid, Tab reaches the buttons and Enter
// presses them; the code cell takes digits only.
TEST_F(GridWindow, TheButtonsArePressedWithEnter) {
    KaikeiKubunTestForm form;
    ShowActive(form);
    Press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_FALSE(form.DBGrid1->isAncestorOf(QApplication::focusWidget()));
    TabTo(form.TsuikaBtn);
    Press(Qt::Key_Return);  // 追加
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
    EXPECT_TRUE(form.DBGrid1->isAncestorOf(QApplication::focusWidget()));
    Type(QStringLiteral("1x5"));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("15"));

    Press(Qt::Key_Tab, Qt::ControlModifier);
    TabTo(form.CancelBtn);  // past 追加 and 削除, disabled while a row is new
    Press(Qt::Key_Return);  // ｷｬﾝｾﾙ
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(form.ClientDataSet1.RecordCount(), 1);

    Press(Qt::Key_Tab, Qt::ControlModifier);
    TabTo(form.SakujyoBtn);
    Press(Qt::Key_Return);  // 削除
    EXPECT_EQ(Count(), QStringLiteral("0"));
    EXPECT_TRUE(dialogs.Shown().empty());
}
