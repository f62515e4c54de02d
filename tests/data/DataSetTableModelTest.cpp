#include "data/DataSetTableModel.h"

#include "tests/data/DataSetFixture.h"
#include "tests/support/ScriptedDialogs.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace data {
namespace {

constexpr int kCd = 0, kMeisyo = 1, kSyusiKubun = 2, kKingaku = 3;

class DataSetTableModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        testing::FillBunrui(ds, {{10, u"会費", 1}, {20, u"事業費", 2}, {30, u"雑費", 2}});
        tester = std::make_unique<QAbstractItemModelTester>(
            &model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    }
    QString Text(int row, int column, int role = Qt::DisplayRole) {
        return model.data(model.index(row, column), role).toString();
    }
    bool Set(int row, int column, const QString& text) {
        return model.setData(model.index(row, column), text, Qt::EditRole);
    }

    ScriptedDialogs dialogs;
    DataSet ds{u"ClientDataSet1"_qs};
    DataSetTableModel model{ds};
    std::unique_ptr<QAbstractItemModelTester> tester;
};

TEST_F(DataSetTableModelTest, ShowsTheFieldsWithTheirLabelsAndFormats) {
    ASSERT_EQ(model.columnCount(), 4);
    EXPECT_EQ(model.headerData(kCd, Qt::Horizontal).toString(), u"コード"_qs);
    EXPECT_EQ(model.headerData(kMeisyo, Qt::Horizontal).toString(), u"分類名"_qs);
    EXPECT_EQ(model.headerData(kKingaku, Qt::Horizontal).toString(), u"KINGAKU"_qs);
    EXPECT_EQ(model.FieldAt(kSyusiKubun), &ds.FieldByName(u"SYUSI_KUBUN"_qs));

    EXPECT_TRUE(Set(0, kKingaku, u"1234567"_qs));
    EXPECT_TRUE(Set(1, kKingaku, u"0"_qs));  // moving to another row posts the first
    ds.Post();
    EXPECT_EQ(Text(0, kKingaku), u"1,234,567"_qs);
    EXPECT_EQ(Text(0, kKingaku, Qt::EditRole), u"1234567"_qs);
    EXPECT_EQ(Text(1, kKingaku), QString()) << "zero shown empty";
    EXPECT_EQ(Text(1, kKingaku, Qt::EditRole), u"0"_qs);
    EXPECT_EQ(Text(2, kKingaku), QString());
    EXPECT_EQ(Text(2, kMeisyo), u"雑費"_qs);
    EXPECT_EQ(ds.ChangeCount(), 2);

    ds.FieldByName(u"SYUSI_KUBUN"_qs).Def().readOnly = true;
    EXPECT_FALSE(model.flags(model.index(0, kSyusiKubun)) & Qt::ItemIsEditable);
    EXPECT_TRUE(model.flags(model.index(0, kMeisyo)) & Qt::ItemIsEditable);
    EXPECT_FALSE(Set(0, kSyusiKubun, u"2"_qs));
}

TEST_F(DataSetTableModelTest, EditingACellPutsTheRowInEditThroughTheFieldRules) {
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    EXPECT_TRUE(Set(1, kMeisyo, u"  備品費  "_qs));
    EXPECT_EQ(ds.State(), DataSetState::Edit);
    EXPECT_EQ(ds.RecIndex(), 1);
    EXPECT_EQ(Text(1, kMeisyo), u"備品費"_qs);
    EXPECT_GE(changed.count(), 1);

    EXPECT_FALSE(Set(1, kCd, u"100"_qs)) << "out of range";
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Shown()[0].kind, RecordedDialog::Kind::Error);
    EXPECT_TRUE(dialogs.Shown()[0].text.startsWith(u"100はコードの範囲外です。"_qs));
    EXPECT_EQ(Text(1, kCd), u"20"_qs);
    ds.Cancel();
    EXPECT_EQ(Text(1, kMeisyo), u"事業費"_qs);
}

TEST_F(DataSetTableModelTest, NewRowsAppearAtTheirPlaceAndGoWhenCancelled) {
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    ds.MoveTo(1);
    ds.Insert();
    ASSERT_EQ(inserted.count(), 1);
    EXPECT_EQ(inserted[0][1].toInt(), 1);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(Text(1, kCd), QString());
    EXPECT_EQ(Text(2, kCd), u"20"_qs);
    EXPECT_TRUE(Set(1, kCd, u"15"_qs));
    ds.Cancel();
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(model.rowCount(), 3);

    ds.Append();
    EXPECT_EQ(inserted[1][1].toInt(), 3);
    EXPECT_TRUE(Set(3, kCd, u"40"_qs));
    EXPECT_TRUE(Set(0, kMeisyo, u"年会費"_qs));  // leaving the new row posts it
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(Text(3, kCd), u"40"_qs);
    ds.Post();
    ds.MoveTo(2);
    ds.Delete();
    EXPECT_EQ(removed.count(), 2);
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(Text(2, kCd), u"40"_qs);
}

TEST_F(DataSetTableModelTest, AViewsModelFollowsItsFilter) {
    DataSet view(u"SisyutsuClone"_qs);
    view.CloneCursor(ds);
    view.SetFilter(u"SYUSI_KUBUN = 2"_qs);
    view.SetFiltered(true);
    DataSetTableModel viewModel(view);
    QAbstractItemModelTester viewTester(&viewModel, QAbstractItemModelTester::FailureReportingMode::Fatal);
    EXPECT_EQ(viewModel.rowCount(), 2);

    testing::AppendBunrui(ds, 40, u"備品費"_qs, 2);  // posted elsewhere, passes the filter
    EXPECT_EQ(viewModel.rowCount(), 3);
    EXPECT_EQ(model.rowCount(), 4);

    EXPECT_TRUE(viewModel.setData(viewModel.index(0, kSyusiKubun), u"1"_qs));
    EXPECT_EQ(viewModel.rowCount(), 3) << "the row stays while it is edited";
    view.Post();
    EXPECT_EQ(viewModel.rowCount(), 2);
    EXPECT_EQ(viewModel.data(viewModel.index(0, kCd)).toString(), u"30"_qs);

    view.Append();
    viewModel.setData(viewModel.index(2, kCd), u"50"_qs);
    viewModel.setData(viewModel.index(2, kSyusiKubun), u"1"_qs);
    view.Post();  // a receipt: it leaves this view
    EXPECT_EQ(viewModel.rowCount(), 2);
    EXPECT_EQ(model.rowCount(), 5);
    ds.Close();
    view.Close();
    EXPECT_EQ(viewModel.rowCount(), 0);
}

}  // namespace
}  // namespace data
