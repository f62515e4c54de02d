#include <QLineEdit>
#include "master/KaikeiKubunMaintUnit.h"
#include "tests/master/MasterGridDriver.h"

namespace {

class KaikeiKubunMaint : public MasterGridTest {
  protected:
    KaikeiKubunMaint() {
        Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (1, '防災積立会計')"));
    }
    QString Count() { return Query(QStringLiteral("select count(*) from KAIKEI_KUBUN")); }

    TKaikeiKubunMaintForm form;
    TDBGrid& grid = *form.DBGrid1;
};

}  // namespace

TEST_F(KaikeiKubunMaint, TheGeneralAccountKeepsItsCode) {
    ShowActive(form);
    TypeInto(grid, 0, QStringLiteral("CD"), QStringLiteral("5"));
    LeaveRow(grid);
    EXPECT_EQ(TakeError(), QStringLiteral("一般会計のコードは変更できません。"));
    EXPECT_EQ(form.ClientDataSet1.FieldByName(QStringLiteral("CD")).AsInteger(), 0);
    Press(Qt::Key_Escape);
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(Query(QStringLiteral("select count(*) from KAIKEI_KUBUN where CD = 0")), QStringLiteral("1"));
    EXPECT_EQ(Query(QStringLiteral("select count(*) from KAIKEI_KUBUN where CD = 5")), QStringLiteral("0"));
}

TEST_F(KaikeiKubunMaint, ARefusedPostHoldsTheRowAtTheColumnAndWritesNothing) {
    ShowActive(form);
    struct Step {
        const char16_t* field;
        const char16_t* typed;
        const char16_t* message;
        const char16_t* heldAt;
    };
    const Step steps[] = {
        {u"MEISYO", u"子供会会計", u"コードを入力してください。", u"CD"},
        {u"CD", u"0", u"コードを入力してください。", u"CD"},
        {u"CD", u"1", u"コードが重複しています。", u"CD"},
        {u"MEISYO", u"　", u"会計区分を入力してください。", u"MEISYO"},
        {u"MEISYO", u"子供会会計", u"コードが重複しています。", u"CD"},
        {u"KAISI_NENDO", u"2021", u"コードが重複しています。", u"CD"},
        {u"SYURYO_NENDO", u"2020", u"開始年度と終了年度の関係が正しくありません。", u"KAISI_NENDO"},
    };
    Add(form);
    for (const Step& step : steps) {
        SCOPED_TRACE(QString::fromUtf16(step.message).toStdString());
        TypeInto(grid, 0, QString::fromUtf16(step.field), QString::fromUtf16(step.typed));
        LeaveRow(grid);
        EXPECT_EQ(TakeError(), QString::fromUtf16(step.message));
        ExpectHeldAt(form, QString::fromUtf16(step.heldAt));
        EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
        EXPECT_EQ(Count(), QStringLiteral("2"));
    }
    // A code above 99 cannot be typed: the cell takes two digits, and no letters.
    TypeInto(grid, 0, QStringLiteral("CD"), QStringLiteral("1a00"));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("10"));
    EXPECT_TRUE(dialogs.Shown().empty());

    Press(Qt::Key_A, Qt::ControlModifier);
    Type(QStringLiteral("2"));
    TypeInto(grid, 0, QStringLiteral("SYURYO_NENDO"), QStringLiteral("2021"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(
        Query(QStringLiteral("select MEISYO || '|' || KAISI_NENDO || '|' || SYURYO_NENDO from KAIKEI_KUBUN "
                             "where CD = 2")),
        QStringLiteral("子供会会計|2021|2021"));
}

TEST_F(KaikeiKubunMaint, DeletionNamesTheFirstDataThatStillUsesTheDivision) {
    struct Use {
        int division;
        const char16_t* inserts;  // ";"-separated
        const char16_t* dataName;
    };
    const Use uses[] = {
        {11,
         u"insert into KAMOKU (CD, MEISYO, BUNRUI, SAKUJYO_FUKA, TOKUBETSU_CD) values (6011, '繰出', 60, 0, "
         u"11);"
         u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU) values (1, 11, 2021, '20210501', "
         u"100)",
         u"科目(集計項目)データ"},
        {12,
         u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU) values (2, 12, 2021, '20210501', "
         u"100)",
         u"収支明細データ"},
        {13, u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 13, 100, 1)",
         u"集計対象外科目繰越データ"},
        {14, u"insert into KESSAN (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 14, 100)", u"決算データ"},
        {15,
         u"insert into CYUKAN_KESSAN (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU) values (2021, '20210930', 15, "
         u"100)",
         u"中間決算データ"},
        {16, u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 16, 100, 1)",
         u"予算データ"},
    };
    for (const Use& use : uses) {
        Execute(
            QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (%1, '特別')").arg(use.division));
        for (const QString& sql : QString::fromUtf16(use.inserts).split(u';'))
            Execute(sql);
    }
    ShowActive(form);
    Delete(form);  // the general account, first row
    EXPECT_EQ(TakeError(), QStringLiteral("一般会計は削除できません。"));
    for (const Use& use : uses) {
        SCOPED_TRACE(use.division);
        GoTo(grid, RowOf(grid, QStringLiteral("CD"), QString::number(use.division)),
             QStringLiteral("MEISYO"));
        Delete(form);
        EXPECT_EQ(TakeError(), QStringLiteral("この会計区分は") + QString::fromUtf16(use.dataName) +
                                   QStringLiteral("で使用中のため削除できません"));
    }
    EXPECT_EQ(Count(), QStringLiteral("8"));
    GoTo(grid, RowOf(grid, QStringLiteral("CD"), QStringLiteral("1")), QStringLiteral("MEISYO"));
    Delete(form);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Count(), QStringLiteral("7"));
}

TEST_F(KaikeiKubunMaint, TheCodeOfADivisionInUseCannotChange) {
    Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (2, '子供会計')"));
    Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (3, '予備会計')"));
    Execute(QStringLiteral("insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 2, 100)"));
    Execute(QStringLiteral("insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN) "
                           "values ('other', '20210501000000', 1, 3)"));
    ShowActive(form);
    const struct {
        int code;
        const char* dataName;
    } cases[] = {{2, "予算データ"}, {3, "入力中の収支明細データ"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TypeInto(grid, RowOf(grid, QStringLiteral("CD"), QString::number(c.code)), QStringLiteral("CD"),
                 QStringLiteral("9"));
        LeaveRow(grid);
        EXPECT_EQ(TakeError(), QStringLiteral("この会計区分は") + QString::fromUtf8(c.dataName) +
                                   QStringLiteral("で使用中のためコードを変更できません"));
        ExpectHeldAt(form, QStringLiteral("CD"));
        Press(Qt::Key_Escape);
    }
    EXPECT_EQ(Query(QStringLiteral("select count(*) from KAIKEI_KUBUN where CD = 9")), QStringLiteral("0"));
    TypeInto(grid, RowOf(grid, QStringLiteral("CD"), QStringLiteral("1")), QStringLiteral("CD"),
             QStringLiteral("9"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select count(*) from KAIKEI_KUBUN where CD = 9")), QStringLiteral("1"));
}
