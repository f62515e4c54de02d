#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/KyotsuUnit.h"
#include "tests/support/DataWindowFixture.h"
#include "ui/DBEdit.h"
#include "ui/TsubakiBaseFormUnit2.h"
#include "ui/YearEdit.h"

namespace {

// A small year window over NENDO: the period number, a phone number and a postal
// code with its hyphen stored.
class NendoTestForm : public TTsubakiBaseForm2 {
  public:
    NendoTestForm() {
        SQLDataSet1.SetCommandText(
            QStringLiteral("select NENDO, KI, TEL, YUBIN from NENDO where (NENDO = :Nendo)"));
        ClientDataSet1.SetUpdateTable(QStringLiteral("NENDO"), QStringLiteral("NENDO"));
        data::FieldDef ki{.name = QStringLiteral("KI"), .type = data::FieldType::Integer};
        ki.label = QStringLiteral("期");
        ki.minValue = 0;
        ki.maxValue = 500;
        ClientDataSet1.AddField(ki);
        ClientDataSet1.OnNewRecord = [this](data::DataSet& ds) {
            ds.FieldByName(QStringLiteral("NENDO")).SetValue(GetNendo());
        };
        auto* layout = new QVBoxLayout(GroupBox1);
        for (auto [edit, field] : {std::pair{KiEdit, u"KI"}, {TelEdit, u"TEL"}, {YubinEdit, u"YUBIN"}}) {
            edit->SetDataSource(&DataSource1);
            edit->SetDataField(QString::fromUtf16(field));
            layout->addWidget(edit);
        }
        YubinEdit->SetEditMask(QStringLiteral("999-9999"), true);
    }
    using TTsubakiBaseForm2::GetKaikeiKubun;

    TDBEdit* KiEdit = new TDBEdit(GroupBox1);
    TDBEdit* TelEdit = new TDBEdit(GroupBox1);
    TDBEdit* YubinEdit = new TDBEdit(GroupBox1);
};

class EntryWindow : public DataWindowTest {
  protected:
    EntryWindow() {
        CurrentNendo = 2021;
        CurrentDantai = QStringLiteral("東町会");
        Execute(QStringLiteral("insert into NENDO (NENDO, KI, TEL) values (2021, 5, '03-1111')"));
    }
    ~EntryWindow() override { ClearLoginState(); }

    // Types a year and presses Enter in the year box, which enters 入力(表示).
    void Load(NendoTestForm& form, const QString& year) {
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        Type(year);
        Press(Qt::Key_Return);
    }

    static bool InEditState(const NendoTestForm& form) {
        return form.GroupBox1->isEnabled() && form.SaveBtn->isEnabled() && form.CancelBtn->isEnabled() &&
               !form.CloseBtn->isEnabled() && !form.Edit1->isEnabled() && !form.NyuryokuBtn->isEnabled();
    }
    static bool InBrowseState(const NendoTestForm& form) {
        return !form.GroupBox1->isEnabled() && !form.SaveBtn->isEnabled() && !form.CancelBtn->isEnabled() &&
               !form.DeleteBtn->isEnabled() && form.CloseBtn->isEnabled() && form.Edit1->isEnabled() &&
               form.NyuryokuBtn->isEnabled();
    }
};

}  // namespace

TEST_F(EntryWindow, EnterInTheYearBoxLoadsTheYear) {
    NendoTestForm form;
    ShowActive(form);
    EXPECT_TRUE(InBrowseState(form));
    EXPECT_EQ(form.Label2->text(), QStringLiteral("東町会"));
    EXPECT_TRUE(form.TelEdit->text().isEmpty());  // unbound before loading

    Load(form, QStringLiteral("2021"));
    EXPECT_TRUE(InEditState(form));
    EXPECT_TRUE(form.DeleteBtn->isEnabled());
    EXPECT_FALSE(form.SinkiFlag);
    EXPECT_EQ(form.Jikoku.size(), 14);
    EXPECT_EQ(form.TelEdit->text(), QStringLiteral("03-1111"));
    EXPECT_EQ(form.KiEdit->text(), QStringLiteral("5"));
    EXPECT_TRUE(form.KiEdit->hasFocus());  // the first control of the data area
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(EntryWindow, AnEmptyYearIsRefusedAndLoadsNothing) {
    NendoTestForm form;
    ShowActive(form);
    form.Edit1->clear();
    QTest::mouseClick(form.NyuryokuBtn, Qt::LeftButton);
    Settle();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(dialogs.Last().text.startsWith(QStringLiteral("会計年度を指定してください。")));
    EXPECT_TRUE(InBrowseState(form));
    EXPECT_FALSE(form.ClientDataSet1.Active());
}

TEST_F(EntryWindow, AYearWithoutDataLoadsAsNewAndSavesWhatWasTyped) {
    NendoTestForm form;
    ShowActive(form);
    Load(form, QStringLiteral("2030"));
    EXPECT_TRUE(form.SinkiFlag);
    EXPECT_TRUE(InEditState(form));
    EXPECT_FALSE(form.DeleteBtn->isEnabled());
    form.close();  // the title bar cannot close a window being edited
    EXPECT_TRUE(form.isVisible());

    Type(QStringLiteral("7"));
    Press(Qt::Key_Return);  // to the phone number
    EXPECT_TRUE(form.TelEdit->hasFocus());
    Type(QStringLiteral("0120-22"));
    Press(Qt::Key_Return);
    Type(QStringLiteral("1234567"));
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    Settle();

    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_TRUE(InBrowseState(form));
    EXPECT_EQ(Query(QStringLiteral("select KI from NENDO where NENDO = 2030")), QStringLiteral("7"));
    EXPECT_EQ(Query(QStringLiteral("select TEL from NENDO where NENDO = 2030")), QStringLiteral("0120-22"));
    EXPECT_EQ(Query(QStringLiteral("select YUBIN from NENDO where NENDO = 2030")),
              QStringLiteral("123-4567"));
}

TEST_F(EntryWindow, AFailingSaveShowsTheServerTextAndStaysInEditState) {
    NendoTestForm form;
    ShowActive(form);
    Load(form, QStringLiteral("2030"));
    Press(Qt::Key_Return);
    Type(QStringLiteral("0120"));
    // Another computer stores the year meanwhile: the insert meets its key.
    Execute(QStringLiteral("insert into NENDO (NENDO, TEL) values (2030, 'other')"));
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    Settle();

    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(dialogs.Last().text.startsWith(QStringLiteral("更新を失敗しました。\r\n\r\n")));
    EXPECT_TRUE(dialogs.Last().text.contains(QStringLiteral("PRIMARY"), Qt::CaseInsensitive));
    EXPECT_TRUE(InEditState(form));
    EXPECT_EQ(form.ClientDataSet1.ChangeCount(), 1);  // the change waits for another try
    EXPECT_EQ(Query(QStringLiteral("select TEL from NENDO where NENDO = 2030")), QStringLiteral("other"));
    EXPECT_FALSE(module.SQLConnection1.InTransaction());
}

TEST_F(EntryWindow, AValueTheFieldRefusesKeepsTheFocusInItsBox) {
    NendoTestForm form;
    ShowActive(form);
    Load(form, QStringLiteral("2021"));
    ASSERT_TRUE(form.KiEdit->hasFocus());
    form.KiEdit->selectAll();
    Type(QStringLiteral("600"));
    Press(Qt::Key_Return);  // leaving the box writes it; 600 is out of range
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(form.KiEdit->hasFocus());
    EXPECT_EQ(form.KiEdit->text(), QStringLiteral("600"));

    // Saving with the value still there stops before anything is written.
    QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(InEditState(form));
    EXPECT_EQ(Query(QStringLiteral("select KI from NENDO where NENDO = 2021")), QStringLiteral("5"));
}

TEST_F(EntryWindow, CancelAndEscDropTheChanges) {
    for (const bool useEsc : {false, true}) {
        SCOPED_TRACE(useEsc ? "Esc" : "キャンセル");
        NendoTestForm form;
        ShowActive(form);
        Load(form, QStringLiteral("2021"));
        Press(Qt::Key_Return);
        form.TelEdit->selectAll();
        Type(QStringLiteral("099"));
        if (useEsc)
            Press(Qt::Key_Escape);
        else
            QTest::mouseClick(form.CancelBtn, Qt::LeftButton);
        Settle();
        EXPECT_TRUE(InBrowseState(form));
        EXPECT_TRUE(form.isVisible());
        EXPECT_TRUE(dialogs.Shown().empty());
        EXPECT_EQ(Query(QStringLiteral("select TEL from NENDO where NENDO = 2021")),
                  QStringLiteral("03-1111"));
        Press(Qt::Key_Escape);  // in browse state Esc does not close the window
        EXPECT_TRUE(form.isVisible());
    }
}

TEST_F(EntryWindow, DeleteAsksFirstAndDeletesOnYes) {
    NendoTestForm form;
    ShowActive(form);
    Load(form, QStringLiteral("2021"));

    dialogs.QueueAnswer(ModalResult::No);
    QTest::mouseClick(form.DeleteBtn, Qt::LeftButton);
    Settle();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().type, MsgDlgType::Warning);
    EXPECT_EQ(dialogs.Last().buttons, mbYes | mbNo);
    EXPECT_EQ(dialogs.Last().text, QStringLiteral("表示中のデータを削除してもよろしいですか? "));
    EXPECT_TRUE(InEditState(form));
    EXPECT_EQ(Query(QStringLiteral("select count(*) from NENDO where NENDO = 2021")), QStringLiteral("1"));

    dialogs.QueueAnswer(ModalResult::Yes);
    QTest::mouseClick(form.DeleteBtn, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(InBrowseState(form));
    EXPECT_EQ(Query(QStringLiteral("select count(*) from NENDO where NENDO = 2021")), QStringLiteral("0"));
}
