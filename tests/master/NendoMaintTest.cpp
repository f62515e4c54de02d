#include <QLabel>
#include <QPushButton>

#include "core/KyotsuUnit.h"
#include "master/NendoMaintUnit.h"
#include "tests/master/MasterDbFixture.h"  // PrintTo for texts
#include "tests/support/DataWindowFixture.h"
#include "ui/DBControls.h"
#include "ui/DBEdit.h"
#include "ui/YearEdit.h"

namespace {

class NendoMaint : public DataWindowTest {
  protected:
    NendoMaint() {
        CurrentNendo = 2021;
        CurrentDantai = QStringLiteral("東町会");
    }
    ~NendoMaint() override { ClearLoginState(); }

    void Load(const QString& year) {
        ShowActive(form);
        form.Edit1->setFocus();
        form.Edit1->selectAll();
        Type(year);
        Press(Qt::Key_Return);
        ASSERT_TRUE(form.SaveBtn->isEnabled());
    }
    static void TypeIn(TDBEdit* edit, const QString& text) {
        edit->setFocus();
        Settle();
        edit->selectAll();
        Type(text);
        Press(Qt::Key_Return);  // leaving the box writes the field
    }
    void Save() {
        QTest::mouseClick(form.SaveBtn, Qt::LeftButton);
        Settle();
    }
    // The columns of a stored year, joined by "|" (NULL as "-").
    QString Stored(int year, const QString& columns) {
        const auto rows = module.SQLConnection1.Select(
            QStringLiteral("select %1 from NENDO where NENDO = %2").arg(columns).arg(year));
        if (rows.rows.empty())
            return QStringLiteral("<none>");
        QStringList values;
        for (const db::Value& v : rows.rows.front())
            values << (v.IsNull() ? QStringLiteral("-") : v.AsString());
        return values.join(u'|');
    }
    QString Field(const char* name) {
        const data::Field& f = form.ClientDataSet1.FieldByName(QString::fromLatin1(name));
        return f.IsNull() ? QStringLiteral("-") : f.AsString();
    }

    TNendoMaintForm form;
};

}  // namespace

TEST_F(NendoMaint, TheLastDayFollowsTheFirstDay) {
    Load(QStringLiteral("2021"));
    EXPECT_TRUE(form.InportBtn->isEnabled());
    const struct {
        const char16_t* first;
        const char16_t* last;
    } cases[] = {
        {u"20200301", u"20210228"},
        {u"20210301", u"20220228"},
        {u"20240229", u"20250227"},
        {u"20210401", u"20220331"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.first).toStdString());
        TypeIn(form.KisyubiEdit, QString::fromUtf16(c.first));
        EXPECT_EQ(Field("KIMATSUBI"), QString::fromUtf16(c.last));
        EXPECT_EQ(form.KimatsubiEdit->text(), QString::fromUtf16(c.last).insert(6, u'/').insert(4, u'/'));
    }
    // An incomplete first day leaves the last day alone.
    TypeIn(form.KisyubiEdit, QStringLiteral("2022"));
    EXPECT_EQ(Field("KISYUBI"), QStringLiteral("2022"));
    EXPECT_EQ(Field("KIMATSUBI"), QStringLiteral("20220331"));

    TypeIn(form.KisyubiEdit, QStringLiteral("20240229"));
    Save();
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_FALSE(form.InportBtn->isEnabled());
    EXPECT_EQ(Stored(2021, QStringLiteral("KISYUBI, KIMATSUBI, DANTAIMEI, NENGO_KUBUN, YOSAN_ZERO_PRINT, "
                                          "KESSAN_ZERO_PRINT, KI")),
              QStringLiteral("20240229|20250227|東町会|1|1|1|-"));
}

TEST_F(NendoMaint, SavingRefusesBadDatesWithTheFocusOnTheField) {
    const struct {
        const char16_t* first;
        const char16_t* last;
        const char16_t* message;
        bool onFirst;
    } cases[] = {
        {u"", u"", u"期首日付を入力してください。", true},
        {u"20211301", u"20220331", u"期首日付が正しくありません。", true},
        {u"2021040", u"20220331", u"期首日付が正しくありません。", true},
        {u"20210401", u"2022033", u"期末日付が正しくありません。", false},
        {u"20210401", u"20210401", u"期首日付と期末日付の関係が正しくありません。", true},
        {u"20210401", u"20200331", u"期首日付と期末日付の関係が正しくありません。", true},
        // A year holds twelve months at most.
        {u"20210401", u"20220401", u"期首日付から期末日付までが１年を超えています。", false},
        {u"20210415", u"20220415", u"期首日付から期末日付までが１年を超えています。", false},
        {u"20240229", u"20250228", u"期首日付から期末日付までが１年を超えています。", false},
        {u"20210101", u"20221231", u"期首日付から期末日付までが１年を超えています。", false},
    };
    Load(QStringLiteral("2021"));
    for (const auto& c : cases) {
        SCOPED_TRACE(QString::fromUtf16(c.message).toStdString());
        TypeIn(form.KisyubiEdit, QString::fromUtf16(c.first));
        TypeIn(form.KimatsubiEdit, QString::fromUtf16(c.last));
        dialogs.Clear();
        Save();
        ASSERT_EQ(dialogs.Shown().size(), 1u);
        EXPECT_TRUE(dialogs.Last().text.startsWith(QString::fromUtf16(c.message)));
        EXPECT_TRUE((c.onFirst ? form.KisyubiEdit : form.KimatsubiEdit)->hasFocus());
        EXPECT_TRUE(form.SaveBtn->isEnabled());  // still editing, as typed
        EXPECT_EQ(Stored(2021, QStringLiteral("NENDO")), QStringLiteral("<none>"));
    }
    // A cleared last day is asked for.
    TypeIn(form.KisyubiEdit, QStringLiteral("20210401"));
    form.KimatsubiEdit->setFocus();
    form.KimatsubiEdit->selectAll();
    Press(Qt::Key_Backspace);
    dialogs.Clear();
    Save();
    EXPECT_TRUE(dialogs.Last().text.startsWith(QStringLiteral("期末日付を入力してください。")));
    EXPECT_TRUE(form.KimatsubiEdit->hasFocus());
}

TEST_F(NendoMaint, BudgetSignatoriesFollowTheSettlementOnesUntilABudgetExists) {
    Load(QStringLiteral("2021"));
    TypeIn(form.KisyubiEdit, QStringLiteral("20210401"));
    TypeIn(form.YakusyokuEdit, QStringLiteral("会長"));
    TypeIn(form.DaihyosyaEdit, QStringLiteral("山田　太郎"));
    TypeIn(form.Kaikei1Edit, QStringLiteral("佐藤"));
    Save();
    const QString budget = QStringLiteral(
        "YOSAN_YAKUSYOKU, YOSAN_DAIHYOSYA, YOSAN_KAIKEI_YAKUSYOKU, YOSAN_KAIKEI1, YOSAN_KAIKEI2");
    EXPECT_EQ(Stored(2021, budget), QStringLiteral("会長|山田　太郎|-|佐藤|-"));

    Execute(
        QStringLiteral("insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 100, 0)"));
    Load(QStringLiteral("2021"));
    TypeIn(form.DaihyosyaEdit, QStringLiteral("田中"));
    Save();
    EXPECT_EQ(Stored(2021, QStringLiteral("DAIHYOSYA")), QStringLiteral("田中"));
    EXPECT_EQ(Stored(2021, budget), QStringLiteral("会長|山田　太郎|-|佐藤|-"));
}

TEST_F(NendoMaint, CopyingTheWesternYearBeforeMovesDatesAndTexts) {
    Execute(QStringLiteral(
        "insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI, DANTAIMEI, YAKUSYOKU, DAIHYOSYA, KAIKEI1, TEL, "
        "NENGO_KUBUN, YOSAN_COMMENT, YOSAN_HIZUKE, YOSAN_SYOMEI, KESSAN_COMMENT, KANSA_COMMENT, YOSAN_BIKOU, "
        "YOSAN_YAKUSYOKU, KESSAN_SYOMEI_KUBUN1, YOSAN_ZERO_PRINT) values (2020, null, '20200401', "
        "'20210331', "
        "'旧町会', '会長', '山田', '佐藤', '03-1111', 0, '２０２０年度の事業計画', 'x', '旧町会', "
        "'2020年度の事業報告', null, '去年の備考', '旧会長', 1, 0)"));
    Load(QStringLiteral("2021"));
    TypeIn(form.FaxEdit, QStringLiteral("03-9999"));  // a new row already started: overwritten
    QTest::mouseClick(form.InportBtn, Qt::LeftButton);
    Settle();
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(form.KisyubiEdit->text(), QStringLiteral("2021/04/01"));
    EXPECT_EQ(form.KimatsubiEdit->text(), QStringLiteral("2022/03/31"));
    EXPECT_EQ(form.StatusLabel->text(), QStringLiteral("前年度データをコピーしました。"));  // no box
    Save();
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Stored(2021, QStringLiteral("NENDO, KI, KISYUBI, KIMATSUBI, DANTAIMEI, TEL, FAX, NENGO_KUBUN, "
                                          "KESSAN_SYOMEI_KUBUN1, YOSAN_ZERO_PRINT, YOSAN_BIKOU")),
              QStringLiteral("2021|-|20210401|20220331|旧町会|03-1111|-|0|1|0|-"));
    EXPECT_EQ(Stored(2021, QStringLiteral("YOSAN_COMMENT, KESSAN_COMMENT, KANSA_COMMENT")),
              QStringLiteral("２０２１年度の事業計画|２０２１年度の事業報告|-"));
    EXPECT_EQ(Stored(2021, QStringLiteral("YOSAN_HIZUKE, KESSAN_HIZUKE, KANSA_HIZUKE")),
              QStringLiteral(" ２０２１ 年    月    日| ２０２２ 年 ３ 月 ３１ 日| ２０２２ 年    月    日"));
    EXPECT_EQ(Stored(2021, QStringLiteral("YOSAN_SYOMEI, KESSAN_SYOMEI")), QStringLiteral("東町会|東町会"));
    // The new year's budget signatories start as the old year's settlement ones.
    EXPECT_EQ(Stored(2021, QStringLiteral("YOSAN_YAKUSYOKU, YOSAN_DAIHYOSYA, YOSAN_KAIKEI1")),
              QStringLiteral("会長|山田|佐藤"));
}

TEST_F(NendoMaint, CopyingAnEraYearCrossesIntoTheNewEra) {
    Execute(
        QStringLiteral("insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI, NENGO_KUBUN, YOSAN_COMMENT, "
                       "KESSAN_COMMENT) values "
                       "(2018, 30, '20180401', '20190331', 1, '平成３０年度の予算', '平成30年度の決算')"));
    Execute(
        QStringLiteral("insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI, YOSAN_BIKOU) values "
                       "(2019, 7, '20190101', '20191231', '今年の備考')"));
    Load(QStringLiteral("2019"));  // an existing row is overwritten
    QTest::mouseClick(form.InportBtn, Qt::LeftButton);
    Settle();
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);  // posted, not yet saved
    EXPECT_EQ(Field("KI"), QStringLiteral("31"));
    EXPECT_EQ(Field("YOSAN_COMMENT"), QStringLiteral("平成３１年度の予算"));
    EXPECT_EQ(Field("KESSAN_COMMENT"), QStringLiteral("平成３１年度の決算"));
    EXPECT_EQ(Field("YOSAN_HIZUKE"), QStringLiteral("平成 ３１ 年    月    日"));
    EXPECT_EQ(Field("KESSAN_HIZUKE"), QStringLiteral("令和 ２ 年 ３ 月 ３１ 日"));
    EXPECT_EQ(Field("KANSA_HIZUKE"), QStringLiteral("令和 ２ 年    月    日"));
    EXPECT_EQ(Field("YOSAN_BIKOU"), QStringLiteral("今年の備考"));
    Save();
    EXPECT_EQ(Stored(2019, QStringLiteral("KISYUBI, KIMATSUBI, YOSAN_COMMENT")),
              QStringLiteral("20190401|20200331|平成３１年度の予算"));

    // The next year's copy moves the comment into 令和.
    Load(QStringLiteral("2020"));
    QTest::mouseClick(form.InportBtn, Qt::LeftButton);
    Settle();
    EXPECT_EQ(Field("YOSAN_COMMENT"), QStringLiteral("令和２年度の予算"));
}

TEST_F(NendoMaint, CopyingWithoutAPreviousYearChangesNothing) {
    Load(QStringLiteral("2021"));
    QTest::mouseClick(form.InportBtn, Qt::LeftButton);
    Settle();
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(dialogs.Last().text.startsWith(QStringLiteral("前年度データは登録されていません。")));
    EXPECT_TRUE(form.ClientDataSet1.IsEmpty());
    EXPECT_FALSE(form.ClientDataSet1.IsEditing());
}

TEST_F(NendoMaint, AYearOfTwelveMonthsIsAccepted) {
    Load(QStringLiteral("2021"));
    TypeIn(form.KisyubiEdit, QStringLiteral("20210415"));
    TypeIn(form.KimatsubiEdit, QStringLiteral("20220414"));
    Save();
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Stored(2021, QStringLiteral("KISYUBI, KIMATSUBI")), QStringLiteral("20210415|20220414"));
}

// Esc in the year's window asks before it throws typed values away; with nothing
// typed it goes back at once.
TEST_F(NendoMaint, EscWithUnsavedValuesAsksFirst) {
    Load(QStringLiteral("2021"));
    Press(Qt::Key_Escape);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_FALSE(form.SaveBtn->isEnabled());

    Load(QStringLiteral("2021"));
    TypeIn(form.KisyubiEdit, QStringLiteral("20210401"));
    dialogs.QueueAnswer(ModalResult::No);
    Press(Qt::Key_Escape);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, QStringLiteral("入力中の内容を破棄しますか?"));
    EXPECT_EQ(dialogs.Last().focused, mbNo);
    EXPECT_TRUE(form.SaveBtn->isEnabled());
    EXPECT_EQ(Field("KIMATSUBI"), QStringLiteral("20220331"));
    dialogs.QueueAnswer(ModalResult::Yes);
    Press(Qt::Key_Escape);
    EXPECT_FALSE(form.SaveBtn->isEnabled());
    EXPECT_EQ(Stored(2021, QStringLiteral("NENDO")), QStringLiteral("<none>"));
}

// The keyboard alone: Enter from the first field walks every field in the order
// of the window (the year style included), presses 前年度ﾃﾞｰﾀｺﾋﾟｰ, and Ctrl+S saves.
TEST_F(NendoMaint, TheKeyboardWalksFromTheFirstFieldToTheSave) {
    Execute(QStringLiteral(
        "insert into NENDO (NENDO, KISYUBI, KIMATSUBI, NENGO_KUBUN) values (2021, '20210401', '20220331', 1)"));
    Load(QStringLiteral("2021"));
    ASSERT_EQ(QApplication::focusWidget(), form.KiEdit);
    Type(QStringLiteral("5ab12"));  // 期 takes two digits and nothing else
    EXPECT_EQ(form.KiEdit->text(), QStringLiteral("51"));

    const std::vector<QWidget*> expected{
        form.KiEdit,         form.KisyubiEdit, form.KimatsubiEdit,       form.YubinEdit,
        form.JyusyoEdit,     form.TelEdit,     form.FaxEdit,             form.YakusyokuEdit,
        form.DaihyosyaEdit,  form.KaikeiYakusyokuEdit, form.Kaikei1Edit, form.Kaikei2Edit,
        form.KansaYakusyokuEdit, form.Kansa1Edit, form.Kansa2Edit,       form.NengoKubunGroup,
        form.InportBtn};
    std::vector<QWidget*> walked{QApplication::focusWidget()};
    while (walked.size() < expected.size()) {
        Press(Qt::Key_Return);
        QWidget* focus = QApplication::focusWidget();
        walked.push_back(form.NengoKubunGroup->isAncestorOf(focus) ? form.NengoKubunGroup : focus);
    }
    EXPECT_EQ(walked, expected);  // the year style is one stop: one of its two buttons
    EXPECT_EQ(Field("NENGO_KUBUN"), QStringLiteral("1"));  // walked past, not changed

    Press(Qt::Key_Return);  // presses the copy: there is no year before
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().text, QStringLiteral("前年度データは登録されていません。"));

    Press(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_FALSE(form.SaveBtn->isEnabled());
    EXPECT_EQ(Stored(2021, QStringLiteral("KI")), QStringLiteral("51"));
    EXPECT_EQ(form.StatusLabel->text(), QStringLiteral("保存しました。"));
}
