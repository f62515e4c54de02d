#include "core/ComputerName.h"
#include "master/KamokuMaintUnit.h"
#include "tests/master/MasterGridDriver.h"

namespace {

class KamokuMaint : public MasterGridTest {
  protected:
    KamokuMaint() {
        Execute(QStringLiteral(
            "insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, "
            "TOKUBETSU_KAIKEI) values (10, '会費', 1, 1, 10, 0, 0)"));
        Execute(QStringLiteral(
            "insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, "
            "TOKUBETSU_KAIKEI) values (90, '預り金', 1, 0, 10, 0, 0)"));
        Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (1, '防災')"));
        Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (2, '子供')"));
        Execute(
            QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                           "values (1001, '一般会費', 10, 1, 0, 0)"));
        Execute(
            QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                           "values (6001, '防災へ繰出', 60, 1, 0, 1)"));
    }
    void Open() { ShowActive(form); }
    QString Count() { return Query(QStringLiteral("select count(*) from KAMOKU")); }
    int Row(int code) {
        return RowOf(grid, QStringLiteral("CD"), QStringLiteral("%1").arg(code, 4, 10, QLatin1Char('0')));
    }
    data::Field& Field(const char* name) {
        return form.ClientDataSet1.FieldByName(QString::fromLatin1(name));
    }

    TKamokuMaintForm form;
    TDBGrid& grid = *form.DBGrid1;
};

}  // namespace

TEST_F(KamokuMaint, ShowsClassificationsAndDivisionsByName) {
    Open();
    EXPECT_EQ(Cell(grid, Row(100), QStringLiteral("CD")), QStringLiteral("0100"));
    EXPECT_EQ(Cell(grid, Row(6001), QStringLiteral("BUNRUI_MEISYO")), QStringLiteral("支出 繰出金"));
    EXPECT_EQ(Cell(grid, Row(6001), QStringLiteral("TOKUBETSU_CD")), QStringLiteral("防災"));
    EXPECT_EQ(Cell(grid, Row(1001), QStringLiteral("TOKUBETSU_CD")), QString());
    EXPECT_EQ(grid.model()->columnCount(), 8);
    // Aggregated classifications first, receipts before payments, the others by name alone.
    QStringList names;
    for (const auto& item : grid.ItemsOf(Field("BUNRUI_MEISYO")))
        names << item.first;
    EXPECT_EQ(names, QStringLiteral(
                         "収入 繰越金,収入 会費,収入 繰入金,支出 繰出金,支出 予備費,支出 次期繰越金,預り金")
                         .split(u','));
    EXPECT_EQ(grid.ItemsOf(Field("TOKUBETSU_CD")).front().first, QString());
}

// ↓ and ↑ on the classification cell, a drop-down list, move between the rows:
// the classification stays and nothing is written.
TEST_F(KamokuMaint, ArrowsOnAListCellMoveBetweenRowsAndLeaveTheChoice) {
    Open();
    const int row = Row(1001);
    ASSERT_GE(row, 0);
    ASSERT_LT(row + 1, grid.model()->rowCount());
    GoTo(grid, row, QStringLiteral("BUNRUI_MEISYO"));
    Press(Qt::Key_Down);
    EXPECT_EQ(grid.currentIndex().row(), row + 1);
    Press(Qt::Key_Up);
    EXPECT_EQ(grid.currentIndex().row(), row);
    EXPECT_EQ(Cell(grid, row, QStringLiteral("BUNRUI_MEISYO")), QStringLiteral("収入 会費"));
    EXPECT_EQ(Query(QStringLiteral("select BUNRUI from KAMOKU where CD = 1001")), QStringLiteral("10"));
    EXPECT_FALSE(form.ClientDataSet1.IsEditing());
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(KamokuMaint, ABuiltInItemTakesANewNameButNotANewCode) {
    Open();
    const int row = Row(100);
    for (const char16_t* field : {u"BUNRUI", u"BUNRUI_MEISYO", u"CD", u"TOKUBETSU_CD"}) {
        EXPECT_FALSE(Editable(grid, row, QString::fromUtf16(field)))
            << QString::fromUtf16(field).toStdString();
        EXPECT_TRUE(Editable(grid, Row(1001), QString::fromUtf16(field)));
    }
    for (const char16_t* field : {u"MEISYO", u"KAISI_NENDO", u"SYURYO_NENDO", u"JUNJYO"})
        EXPECT_TRUE(Editable(grid, row, QString::fromUtf16(field)));
    TypeInto(grid, row, QStringLiteral("MEISYO"), QStringLiteral("前期繰越金"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select MEISYO from KAMOKU where CD = 100")),
              QStringLiteral("前期繰越金"));
}

TEST_F(KamokuMaint, AClassificationWithoutDivisionsClearsTheDivisionAtOnce) {
    Open();
    GoTo(grid, Row(6001), QStringLiteral("BUNRUI_MEISYO"));
    PickInList(+1);  // from 支出 繰出金 to 支出 予備費
    Press(Qt::Key_Tab);
    EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Edit);
    EXPECT_EQ(Field("BUNRUI").AsInteger(), 70);
    EXPECT_EQ(Field("TOKUBETSU_CD").AsInteger(), 0);
    Press(Qt::Key_Escape);
    EXPECT_EQ(Query(QStringLiteral("select TOKUBETSU_CD from KAMOKU where CD = 6001")), QStringLiteral("1"));
}

TEST_F(KamokuMaint, ARefusedPostHoldsTheRowAtTheColumnAndWritesNothing) {
    Open();
    struct Step {
        const char16_t* field;
        const char16_t* typed;
        const char16_t* message;
        const char16_t* heldAt;
    };
    const Step steps[] = {
        {u"JUNJYO", u"5", u"分類CDまたは科目分類を入力してください。", u"BUNRUI"},
        {u"BUNRUI", u"55", u"入力した分類CDは登録されていません。", u"BUNRUI"},
        {u"BUNRUI", u"10", u"ｺｰﾄﾞを入力してください。", u"CD"},
        {u"CD", u"1001", u"科目名を入力してください。", u"MEISYO"},
        {u"MEISYO", u"臨時会費", u"コードが重複しています。", u"CD"},
        {u"KAISI_NENDO", u"2020", u"コードが重複しています。", u"CD"},
        {u"SYURYO_NENDO", u"2019", u"開始年度と終了年度の関係が正しくありません。", u"KAISI_NENDO"},
        {u"SYURYO_NENDO", u"2020", u"コードが重複しています。", u"CD"},
    };
    GoTo(grid, Row(1001), QStringLiteral("MEISYO"));
    Add(form);
    const int row = grid.currentIndex().row();
    for (const Step& step : steps) {
        SCOPED_TRACE(QString::fromUtf16(step.message).toStdString());
        TypeInto(grid, row, QString::fromUtf16(step.field), QString::fromUtf16(step.typed));
        LeaveRow(grid);
        EXPECT_EQ(TakeError(), QString::fromUtf16(step.message));
        ExpectHeldAt(form, QString::fromUtf16(step.heldAt));
        EXPECT_EQ(form.ClientDataSet1.State(), data::DataSetState::Insert);
        EXPECT_EQ(Count(), QStringLiteral("7"));
    }
    TypeInto(grid, row, QStringLiteral("CD"), QStringLiteral("1002"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(
        Query(QStringLiteral("select MEISYO || '|' || BUNRUI || '|' || KAISI_NENDO || '|' || SYURYO_NENDO || "
                             "'|' || JUNJYO || '|' || SAKUJYO_FUKA || '|' || TOKUBETSU_CD from KAMOKU "
                             "where CD = 1002")),
        QStringLiteral("臨時会費|10|2020|2020|5|0|0"));
}

TEST_F(KamokuMaint, OneTransferItemPerClassificationAndDivision) {
    Open();
    GoTo(grid, Row(6001), QStringLiteral("MEISYO"));
    Add(form);
    const int row = grid.currentIndex().row();
    TypeInto(grid, row, QStringLiteral("BUNRUI"), QStringLiteral("60"));
    TypeInto(grid, row, QStringLiteral("CD"), QStringLiteral("6002"));
    TypeInto(grid, row, QStringLiteral("MEISYO"), QStringLiteral("防災へ追加繰出"));
    GoTo(grid, row, QStringLiteral("TOKUBETSU_CD"));
    PickInList(+1);  // from the empty name (none) to 防災
    Press(Qt::Key_Tab);
    ASSERT_EQ(Field("TOKUBETSU_CD").AsInteger(), 1);
    LeaveRow(grid);
    EXPECT_EQ(TakeError(), QStringLiteral("会計区分が重複しています。"));
    ExpectHeldAt(form, QStringLiteral("TOKUBETSU_CD"));

    // Another division is free; so is none at all, which 6000 has already.
    GoTo(grid, row, QStringLiteral("TOKUBETSU_CD"));
    PickInList(+1);  // 子供
    Press(Qt::Key_Tab);
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select TOKUBETSU_CD from KAMOKU where CD = 6002")), QStringLiteral("2"));
    GoTo(grid, Row(6002), QStringLiteral("TOKUBETSU_CD"));
    PickInList(-2);  // back to the empty name
    Press(Qt::Key_Tab);
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select TOKUBETSU_CD from KAMOKU where CD = 6002")), QStringLiteral("0"));

    // An ordinary classification takes no division.
    GoTo(grid, Row(1001), QStringLiteral("TOKUBETSU_CD"));
    PickInList(+1);
    Press(Qt::Key_Tab);
    LeaveRow(grid);
    EXPECT_EQ(TakeError(), QStringLiteral("収入 会費のときは会計区分を入力できません。"));
    EXPECT_EQ(Query(QStringLiteral("select TOKUBETSU_CD from KAMOKU where CD = 1001")), QStringLiteral("0"));
}

TEST_F(KamokuMaint, DeletionNamesTheFirstDataThatStillUsesTheItem) {
    Execute(QStringLiteral("insert into KAIKEI_KUBUN (CD, MEISYO) values (3, '予備')"));
    struct Use {
        int item;
        const char16_t* inserts;  // ";"-separated
        const char16_t* dataName;
    };
    const Use uses[] = {
        {1011,
         u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 1011, 1);"
         u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, KAMOKU, SYUNYU) values (1, 0, 2019, "
         u"'20190501', "
         u"1011, 100)",
         u"収支明細データ"},
        {1012,
         u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU, YOSAN) values (2021, 0, 1012, 1);"
         u"insert into KESSAN (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 0, 1012)",
         u"予算データ"},
        {1013, u"insert into KESSAN (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 0, 1013)", u"決算データ"},
        {1014,
         u"insert into CYUKAN_KESSAN (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU) values (2021, '20210930', 0, "
         u"1014)",
         u"中間決算データ"},
        {1015, u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU, KURIKOSI) values (2021, 3, 1015, 5)",
         u"集計対象外科目繰越データ"},
    };
    for (const Use& use : uses) {
        Execute(QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                               "values (%1, '科目', 10, 1, 0, 0)")
                    .arg(use.item));
        for (const QString& sql : QString::fromUtf16(use.inserts).split(u';'))
            Execute(sql);
    }
    Open();
    TKamokuMaintForm& window = form;
    const auto rowOf = [&](int code) {
        return RowOf(*window.DBGrid1, QStringLiteral("CD"), QString::number(code));
    };
    const int rows = window.DBGrid1->model()->rowCount();

    GoTo(*window.DBGrid1, RowOf(*window.DBGrid1, QStringLiteral("CD"), QStringLiteral("0100")),
         QStringLiteral("MEISYO"));
    Delete(window);
    EXPECT_EQ(TakeError(), QStringLiteral("この項目(科目)は削除できません。"));
    for (const Use& use : uses) {
        SCOPED_TRACE(use.item);
        GoTo(*window.DBGrid1, rowOf(use.item), QStringLiteral("MEISYO"));
        Delete(window);
        EXPECT_EQ(TakeError(), QStringLiteral("この項目(科目)は") + QString::fromUtf16(use.dataName) +
                                   QStringLiteral("で使用中のため削除できません"));
    }
    EXPECT_EQ(window.DBGrid1->model()->rowCount(), rows);
    EXPECT_EQ(Count(), QString::number(rows));

    GoTo(*window.DBGrid1, rowOf(1001), QStringLiteral("MEISYO"));
    Delete(window);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(Query(QStringLiteral("select count(*) from KAMOKU where CD = 1001")), QStringLiteral("0"));
}

// Rows that use an item keep its code: a new code would leave them without their
// item in every list and workbook, so it is refused as the deletion is.
TEST_F(KamokuMaint, TheCodeOfAnItemInUseCannotChange) {
    struct Use {
        int item;
        const char16_t* insert;
        const char16_t* dataName;
    };
    const Use uses[] = {
        {1011, u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, KAMOKU) values (1, 0, 2021, 1011)",
         u"収支明細データ"},
        {1012, u"insert into YOSAN (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 0, 1012)", u"予算データ"},
        {1013, u"insert into KESSAN (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 0, 1013)", u"決算データ"},
        {1014,
         u"insert into CYUKAN_KESSAN (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU) values (2021, '20210930', 0, 1014)",
         u"中間決算データ"},
        {1015, u"insert into KURIKOSI (NENDO, KAIKEI_KUBUN, KAMOKU) values (2021, 0, 1015)",
         u"集計対象外科目繰越データ"},
        // Lines another computer is typing now.
        {1016,
         u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, KAMOKU) "
         u"values ('other', '20210501000000', 1, 0, 1016)",
         u"入力中の収支明細データ"},
        {1017,
         u"insert into W_YOSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU) "
         u"values ('other', '20210501000000', 2021, 0, 1017)",
         u"入力中の予算データ"},
        {1018,
         u"insert into W_KESSAN (CPU_NAME, JIKOKU, NENDO, KAIKEI_KUBUN, KAMOKU) "
         u"values ('other', '20210501000000', 2021, 0, 1018)",
         u"入力中の決算データ"},
    };
    for (const Use& use : uses) {
        Execute(QStringLiteral("insert into KAMOKU (CD, MEISYO, BUNRUI, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD) "
                               "values (%1, '科目', 10, 1, 0, 0)")
                    .arg(use.item));
        Execute(QString::fromUtf16(use.insert));
    }
    // What this computer's closed windows left behind uses nothing.
    Execute(QStringLiteral("insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, KAMOKU) "
                           "values ('%1', '20210501000000', 2, 0, 1001)")
                .arg(GetComputerNameStr()));
    Open();
    for (const Use& use : uses) {
        SCOPED_TRACE(use.item);
        TypeInto(grid, Row(use.item), QStringLiteral("CD"), QStringLiteral("1099"));
        LeaveRow(grid);
        EXPECT_EQ(TakeError(), QStringLiteral("この項目(科目)は") + QString::fromUtf16(use.dataName) +
                                   QStringLiteral("で使用中のためコードを変更できません"));
        ExpectHeldAt(form, QStringLiteral("CD"));
        Press(Qt::Key_Escape);
        EXPECT_EQ(Query(QStringLiteral("select count(*) from KAMOKU where CD = %1").arg(use.item)),
                  QStringLiteral("1"));
    }
    EXPECT_EQ(Query(QStringLiteral("select count(*) from KAMOKU where CD = 1099")), QStringLiteral("0"));

    TypeInto(grid, Row(1001), QStringLiteral("CD"), QStringLiteral("1099"));
    LeaveRow(grid);
    EXPECT_TRUE(dialogs.Shown().empty()) << dialogs.Last().text.toStdString();
    EXPECT_EQ(Query(QStringLiteral("select MEISYO from KAMOKU where CD = 1099")), QStringLiteral("一般会費"));
}
