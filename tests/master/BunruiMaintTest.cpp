#include "master/BunruiMaintUnit.h"
#include "tests/master/MasterGridDriver.h"

namespace {

class BunruiMaint : public MasterGridTest {
  protected:
    BunruiMaint() {
        Execute(QStringLiteral(
            "insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, "
            "TOKUBETSU_KAIKEI) values (10, '会費', 1, 1, 10, 0, 0)"));
        Execute(QStringLiteral(
            "insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, "
            "TOKUBETSU_KAIKEI) values (40, '会議費', 2, 0, 10, 0, 0)"));
        ShowActive(form);
    }
    QString Count() { return Query(QStringLiteral("select count(*) from BUNRUI")); }

    TBunruiMaintForm form;
    TDBGrid& grid = *form.DBGrid1;
};

}  // namespace

TEST_F(BunruiMaint, ListsAllButTheTransferClassificationsWithTheirKindsByName) {
    QStringList codes;
    for (int row = 0; row < grid.model()->rowCount(); ++row)
        codes << Cell(grid, row, QStringLiteral("CD"));
    EXPECT_EQ(codes, QStringLiteral("1,10,40,70,80").split(u','));
    EXPECT_EQ(Cell(grid, 2, QStringLiteral("SYUSI_KUBUN")), QStringLiteral("支出"));
    EXPECT_EQ(Cell(grid, 2, QStringLiteral("KESSANSYO_KUBUN")), QStringLiteral("集計しない"));
    EXPECT_EQ(grid.model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("決算書予算書集計区分"));
    EXPECT_EQ(grid.model()->columnCount(), 5);
    EXPECT_TRUE(form.YousiBtn->isVisible());
}

TEST_F(BunruiMaint, ABuiltInRowTakesANewOrderButNothingElse) {
    for (const char16_t* field : {u"CD", u"MEISYO", u"SYUSI_KUBUN", u"KESSANSYO_KUBUN"}) {
        EXPECT_FALSE(Editable(grid, 0, QString::fromUtf16(field))) << QString::fromUtf16(field).toStdString();
        EXPECT_TRUE(Editable(grid, 1, QString::fromUtf16(field))) << QString::fromUtf16(field).toStdString();
    }
    TypeInto(grid, 0, QStringLiteral("JUNJYO"), QStringLiteral("5"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select JUNJYO from BUNRUI where CD = 1")), QStringLiteral("5"));
    EXPECT_EQ(Query(QStringLiteral("select MEISYO from BUNRUI where CD = 1")), QStringLiteral("繰越金"));
}

TEST_F(BunruiMaint, ARefusedPostHoldsTheRowAtTheColumnAndWritesNothing) {
    struct Step {
        const char16_t* field;
        const char16_t* typed;
        const char16_t* message;  // the refusal once every field so far is typed
        const char16_t* heldAt;
    };
    // Each check in turn, in the order the window makes them.
    const Step steps[] = {
        {u"JUNJYO", u"50", u"コードを入力してください。", u"CD"},
        {u"CD", u"10", u"分類名を入力してください。", u"MEISYO"},
        {u"MEISYO", u"  雑収入  ", u"収支区分を入力してください。", u"SYUSI_KUBUN"},
        {u"SYUSI_KUBUN", nullptr, u"コードが重複しています。", u"CD"},
    };
    Add(form);
    ASSERT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
    for (const Step& step : steps) {
        SCOPED_TRACE(QString::fromUtf16(step.message).toStdString());
        if (step.typed) {
            TypeInto(grid, 0, QString::fromUtf16(step.field), QString::fromUtf16(step.typed));
        } else {
            // The drop-down list, opened on its first name (収入): Enter picks it.
            GoTo(grid, 0, QString::fromUtf16(step.field));
            PickInList(0);
            Press(Qt::Key_Tab);
            GoTo(grid, 0, QStringLiteral("JUNJYO"));  // leave the lists' column for a text one
        }
        LeaveRow(grid);
        EXPECT_EQ(TakeError(), QString::fromUtf16(step.message));
        ExpectHeldAt(form, QString::fromUtf16(step.heldAt));
        EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
        EXPECT_EQ(Count(), QStringLiteral("7"));
    }
    TypeInto(grid, 0, QStringLiteral("CD"), QStringLiteral("28"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(
        Query(QStringLiteral("select MEISYO || '|' || SYUSI_KUBUN || '|' || KESSANSYO_KUBUN || '|' || JUNJYO "
                             "|| '|' || SAKUJYO_FUKA || '|' || TOKUBETSU_KAIKEI from BUNRUI where CD = 28")),
        QStringLiteral("雑収入|1|1|50|0|0"));
}

TEST_F(BunruiMaint, ARowKeepsItsOwnCodeButCannotTakeAnother) {
    const int row = RowOf(grid, QStringLiteral("CD"), QStringLiteral("10"));
    TypeInto(grid, row, QStringLiteral("MEISYO"), QStringLiteral("普通会費"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select MEISYO from BUNRUI where CD = 10")), QStringLiteral("普通会費"));
    // Edited again on the same row, after its write-back.
    TypeInto(grid, row, QStringLiteral("MEISYO"), QStringLiteral("会費"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());

    TypeInto(grid, row, QStringLiteral("CD"), QStringLiteral("40"));
    LeaveRow(grid);
    EXPECT_EQ(TakeError(), QStringLiteral("コードが重複しています。"));
    ExpectHeldAt(form, QStringLiteral("CD"));
    EXPECT_EQ(Query(QStringLiteral("select count(*) from BUNRUI where CD = 10")), QStringLiteral("1"));

    TypeInto(grid, row, QStringLiteral("CD"), QStringLiteral("12"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select MEISYO from BUNRUI where CD = 12")), QStringLiteral("会費"));
}

TEST_F(BunruiMaint, AnUntouchedNewRowIsDroppedSilently) {
    Add(form);
    form.DBNavigator1->setFocus();
    Settle();
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Browse);
    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Count(), QStringLiteral("7"));
}

TEST_F(BunruiMaint, DeletionIsRefusedForBuiltInAndUsedClassifications) {
    Execute(
        QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                       "values (1001, '会費', 10, 1, 0, 0)"));
    GoTo(grid, 0, QStringLiteral("JUNJYO"));
    Delete(form);
    EXPECT_EQ(TakeError(), QStringLiteral("この分類は削除できません。"));
    GoTo(grid, 1, QStringLiteral("JUNJYO"));
    Delete(form);
    EXPECT_EQ(TakeError(), QStringLiteral("この科目分類は科目(集計項目)データで使用中のため削除できません"));
    EXPECT_EQ(grid.model()->rowCount(), 5);
    EXPECT_EQ(Count(), QStringLiteral("7"));

    GoTo(grid, 2, QStringLiteral("JUNJYO"));
    Delete(form);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select count(*) from BUNRUI where CD = 40")), QStringLiteral("0"));
}

TEST_F(BunruiMaint, TheCodeOfAClassificationInUseCannotChange) {
    Execute(
        QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                       "values (1001, '会費', 10, 1, 0, 0)"));
    Execute(QStringLiteral("insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU, BUNRUI) "
                           "values ('other', '20210501000000', 2021, 0, 4001, 40)"));
    const struct {
        int code;
        const char* dataName;
    } cases[] = {{10, "科目(集計項目)データ"}, {40, "入力中の決算データ"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        TypeInto(grid, RowOf(grid, QStringLiteral("CD"), QString::number(c.code)), QStringLiteral("CD"),
                 QStringLiteral("55"));
        LeaveRow(grid);
        EXPECT_EQ(TakeError(), QStringLiteral("この科目分類は") + QString::fromUtf8(c.dataName) +
                                   QStringLiteral("で使用中のためコードを変更できません"));
        ExpectHeldAt(form, QStringLiteral("CD"));
        Press(Qt::Key_Escape);
    }
    EXPECT_EQ(Query(QStringLiteral("select count(*) from BUNRUI where CD in (10, 40)")), QStringLiteral("2"));
    EXPECT_EQ(Query(QStringLiteral("select count(*) from BUNRUI where CD = 55")), QStringLiteral("0"));
}
