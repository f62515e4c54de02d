#include <gtest/gtest.h>

#include <map>

#include <QCheckBox>
#include <QDate>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "tests/support/ScriptedDialogs.h"
#include "ui/SpinButton.h"
#include "ui/TsubakiBaseFormUnit1.h"
#include "ui/YearEdit.h"

namespace {

void ShowAndActivate(QWidget& w) {
    w.show();
    QApplication::setActiveWindow(&w);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&w));
}

class NavigationForm : public TplnBaseForm {
  public:
    NavigationForm() {
        auto* layout = new QVBoxLayout(this);
        for (QWidget* w : std::initializer_list<QWidget*>{first, second, check, grid, button})
            layout->addWidget(w);
        grid->setRowCount(2);
        grid->setColumnCount(3);
        connect(button, &QPushButton::clicked, [this] { ++pressed; });
    }
    QLineEdit* first = new QLineEdit(this);
    QLineEdit* second = new QLineEdit(this);
    QCheckBox* check = new QCheckBox(this);
    QTableWidget* grid = new QTableWidget(this);
    QPushButton* button = new QPushButton(QStringLiteral("実行"), this);
    int pressed = 0;
};

}  // namespace

TEST(PlnBaseForm, EnterAndArrowsWalkThroughControls) {
    NavigationForm form;
    ShowAndActivate(form);
    form.first->setFocus();

    QTest::keyClick(form.first, Qt::Key_Return);
    EXPECT_TRUE(form.second->hasFocus());
    QTest::keyClick(form.second, Qt::Key_Down);
    EXPECT_TRUE(form.check->hasFocus());
    QTest::keyClick(form.check, Qt::Key_Up);
    EXPECT_TRUE(form.second->hasFocus());
    QTest::keyClick(form.second, Qt::Key_A);  // other keys reach the control
    EXPECT_EQ(form.second->text(), QStringLiteral("a"));
}

TEST(PlnBaseForm, EnterMovesToTheNextCellInAGrid) {
    NavigationForm form;
    ShowAndActivate(form);
    form.grid->setFocus();
    form.grid->setCurrentCell(0, 0);
    QTest::keyClick(form.grid, Qt::Key_Return);
    EXPECT_TRUE(form.grid->hasFocus());
    EXPECT_EQ(form.grid->currentColumn(), 1);
}

TEST(PlnBaseForm, EnterPressesEveryKindOfButtonOnceAndWalksPastChoices) {
    TplnBaseForm form;
    auto* layout = new QVBoxLayout(&form);
    auto* plain = new QPushButton(QStringLiteral("行追加"), &form);
    plain->setAutoDefault(false);  // as the windows make their buttons
    auto* autoDefault = new QPushButton(QStringLiteral("実  行"), &form);
    autoDefault->setAutoDefault(true);
    auto* byDefault = new QPushButton(QStringLiteral("設  定"), &form);
    byDefault->setDefault(true);
    auto* tool = new QToolButton(&form);
    auto* check = new QCheckBox(QStringLiteral("適用年度対象外のデータも表示"), &form);
    auto* radio1 = new QRadioButton(QStringLiteral("西暦で表示"), &form);
    auto* radio2 = new QRadioButton(QStringLiteral("和暦で表示"), &form);
    auto* last = new QLineEdit(&form);
    radio1->setChecked(true);
    tool->setFocusPolicy(Qt::StrongFocus);  // as the navigator's buttons
    std::map<QAbstractButton*, int> presses;
    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{plain, autoDefault, byDefault, tool}) {
        QObject::connect(b, &QAbstractButton::clicked, [&presses, b] { ++presses[b]; });
    }
    for (QWidget* w : std::initializer_list<QWidget*>{plain, autoDefault, byDefault, tool, check, radio1, radio2, last})
        layout->addWidget(w);
    ShowAndActivate(form);

    for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{plain, autoDefault, byDefault, tool}) {
        SCOPED_TRACE(b->text().toStdString());
        b->setFocus();
        QTest::keyClick(b, Qt::Key_Return);
        EXPECT_EQ(presses[b], 1);
        EXPECT_TRUE(b->hasFocus());
        QTest::keyClick(b, Qt::Key_Enter);  // the keypad's Enter too
        EXPECT_EQ(presses[b], 2);
    }
    // A check box and a radio group are walked through: Enter moves on, changing nothing.
    check->setFocus();
    QTest::keyClick(check, Qt::Key_Return);
    EXPECT_FALSE(check->isChecked());
    EXPECT_TRUE(radio1->hasFocus());
    QTest::keyClick(radio1, Qt::Key_Down);
    EXPECT_TRUE(last->hasFocus());  // past the group, its choice kept
    EXPECT_TRUE(radio1->isChecked());
    QTest::keyClick(last, Qt::Key_Up);
    EXPECT_TRUE(radio1->hasFocus());
    QTest::keyClick(radio1, Qt::Key_Up);
    EXPECT_TRUE(check->hasFocus());
    // A disabled button is not pressed.
    plain->setFocus();
    plain->setEnabled(false);
    QTest::keyClick(&form, Qt::Key_Return);
    EXPECT_EQ(presses[plain], 2);
}

namespace {
class FailingForm : public TTsubakiBaseForm {
  public:
    explicit FailingForm(std::function<void()> prepare) : prepare_(std::move(prepare)) {}

  protected:
    void PrepareWindow() override { prepare_(); }

  private:
    std::function<void()> prepare_;
};
}  // namespace

TEST(TsubakiBaseForm, AFailedPreparationShowsItsErrorAndClosesTheWindow) {
    ScriptedDialogs dialogs;
    FailingForm failing([] { throw EAppError(QStringLiteral("準備できません。")); });
    EXPECT_EQ(failing.exec(), QDialog::Rejected);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_EQ(dialogs.Last().text, QStringLiteral("準備できません。"));

    FailingForm aborted([] { throw EAbort(); });
    EXPECT_EQ(aborted.exec(), QDialog::Rejected);
    EXPECT_EQ(dialogs.Shown().size(), 1u);  // closed without a box
}

TEST(TsubakiBaseForm1, HeaderShowsTheLoginYearOrTheCalendarYear) {
    ScriptedDialogs dialogs;
    CurrentDantai = QStringLiteral("東町会");
    CurrentNendo = 2021;
    {
        TTsubakiBaseForm1 form;
        ShowAndActivate(form);
        EXPECT_EQ(form.GetNendo(), 2021);
        EXPECT_EQ(form.Label2->text(), QStringLiteral("東町会"));
    }
    CurrentNendo = 0;
    TTsubakiBaseForm1 form;
    ShowAndActivate(form);
    EXPECT_EQ(form.GetNendo(), QDate::currentDate().year());
    CurrentDantai.clear();
}

TEST(TsubakiBaseForm1, YearBoxTakesDigitsOnlyAndTheSpinnerStaysInRange) {
    ScriptedDialogs dialogs;
    TTsubakiBaseForm1 form;
    ShowAndActivate(form);
    form.Edit1->clear();
    form.Edit1->setFocus();
    QTest::keyClicks(form.Edit1, QStringLiteral("2a0-2.1+"));
    EXPECT_EQ(form.Edit1->text(), QStringLiteral("2021"));

    struct Case {
        const char16_t* before;
        bool up;
        const char16_t* after;
    } const cases[] = {
        {u"2021", true, u"2022"}, {u"2021", false, u"2020"}, {u"9999", true, u"9999"},
        {u"1", false, u"1"},      {u"", true, u"1"},         {u"9998", true, u"9999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.before).toStdString());
        form.Edit1->setText(QString::fromUtf16(c.before));
        QTest::mouseClick(c.up ? form.SpinButton1->UpButton() : form.SpinButton1->DownButton(),
                          Qt::LeftButton);
        EXPECT_EQ(form.Edit1->text(), QString::fromUtf16(c.after));
        EXPECT_TRUE(form.Edit1->hasFocus());
    }
}
