#include "data/DataSet.h"

#include "core/Errors.h"
#include "db/Error.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

namespace data {
namespace {

struct Failure {
    QString message;
    UpdateKind kind;
};

// ClientDataSet1 over the classifications of a scratch database, written back to BUNRUI.
class ApplyUpdatesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ds.SetConnection(&connection);
        ds.SetCommandText(u"select * from BUNRUI where CD between 10 and 29 order by CD"_qs);
        ds.SetUpdateTable(u"BUNRUI"_qs, u"CD"_qs);
        ds.OnReconcileError = [this](DataSet&, const QString& message, UpdateKind kind) {
            failures.push_back({message, kind});
        };
    }

    void Append(DataSet& d, int cd, const QString& meisyo) {
        d.Append();
        d.FieldByName(u"CD"_qs).SetValue(cd);
        d.FieldByName(u"MEISYO"_qs).SetValue(meisyo);
        d.FieldByName(u"SYUSI_KUBUN"_qs).SetValue(1);
        d.Post();
    }

    // The stored rows (code and name) of the test's code range, in code order.
    QStringList Stored() {
        QStringList rows;
        const auto result =
            connection.Select(u"select CD, MEISYO from BUNRUI where CD between 10 and 29 order by CD"_qs);
        for (const auto& row : result.rows)
            rows << row[0].AsString() + u':' + row[1].AsString();
        return rows;
    }

    void Seed(std::initializer_list<std::pair<int, QString>> rows) {
        for (const auto& [cd, name] : rows)
            connection.Execute(u"insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN) values (:CD, :MEISYO, 1)"_qs,
                               {{u"CD"_qs, cd}, {u"MEISYO"_qs, name}});
    }

    ScratchDatabase scratch;
    db::Connection connection{scratch.Provider()};
    DataSet ds{u"ClientDataSet1"_qs};
    std::vector<Failure> failures;
};

TEST_F(ApplyUpdatesTest, SendsInsertsUpdatesAndDeletesFoundByTheirOriginalKeys) {
    Seed({{10, u"会費"_qs}, {20, u"事業費"_qs}});
    ds.Open();
    Append(ds, 25, u"雑費"_qs);
    ds.Edit();
    ds.FieldByName(u"MEISYO"_qs).SetValue(u"雑収入"_qs);  // an inserted row stays an insert
    ds.Post();
    ASSERT_TRUE(ds.Locate(u"CD"_qs, {10}));
    ds.Edit();
    ds.FieldByName(u"CD"_qs).SetValue(11);  // the key itself changes: found by the old one
    ds.FieldByName(u"MEISYO"_qs).SetValue(u"年会費"_qs);
    ds.Post();
    ASSERT_TRUE(ds.Locate(u"CD"_qs, {20}));
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 3);

    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_TRUE(failures.empty());
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Stored(), (QStringList{u"11:年会費"_qs, u"25:雑収入"_qs}));

    // Applied rows are ordinary rows again: a later change updates them.
    ASSERT_TRUE(ds.Locate(u"CD"_qs, {25}));
    ds.Edit();
    ds.FieldByName(u"MEISYO"_qs).SetValue(u"その他"_qs);
    ds.Post();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Stored(), (QStringList{u"11:年会費"_qs, u"25:その他"_qs}));
}

TEST_F(ApplyUpdatesTest, StopsAtTheFirstFailingRowAndKeepsEveryChange) {
    Seed({{10, u"会費"_qs}});
    ds.Open();
    Append(ds, 20, u"事業費"_qs);
    Append(ds, 10, u"重複"_qs);  // the primary key refuses it
    Append(ds, 27, u"雑費"_qs);

    EXPECT_EQ(ds.ApplyUpdates(0), 1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].kind, UpdateKind::Insert);
    EXPECT_TRUE(failures[0].message.contains(u"PRIMARY or UNIQUE KEY"_qs))
        << failures[0].message.toStdString();
    EXPECT_EQ(Stored(), QStringList{u"10:会費"_qs}) << "the row before the failure was rolled back too";
    EXPECT_EQ(ds.ChangeCount(), 3);

    // Corrected, the same changes go through.
    ASSERT_TRUE(ds.Locate(u"MEISYO"_qs, {u"重複"_qs}));
    ds.Edit();
    ds.FieldByName(u"CD"_qs).SetValue(25);
    ds.Post();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Stored(), (QStringList{u"10:会費"_qs, u"20:事業費"_qs, u"25:重複"_qs, u"27:雑費"_qs}));
}

TEST_F(ApplyUpdatesTest, WorksInsideTheCallersTransaction) {
    ds.Open();
    Append(ds, 20, u"事業費"_qs);
    connection.StartTransaction();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_TRUE(connection.InTransaction());
    EXPECT_EQ(Stored(), QStringList{u"20:事業費"_qs});
    connection.Rollback();
    EXPECT_TRUE(Stored().isEmpty());
    // Rolled back, the changes are still pending: the next save sends them again.
    EXPECT_EQ(ds.ChangeCount(), 1);
    connection.StartTransaction();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    connection.Commit();
    EXPECT_EQ(Stored(), QStringList{u"20:事業費"_qs});
    EXPECT_EQ(ds.ChangeCount(), 0);

    // A failure inside it leaves the transaction for the caller to roll back.
    Append(ds, 1, u"繰越金"_qs);  // a built-in classification's code
    connection.StartTransaction();
    EXPECT_EQ(ds.ApplyUpdates(0), 1);
    EXPECT_TRUE(connection.InTransaction());
    connection.Rollback();
    EXPECT_EQ(ds.ChangeCount(), 1);
}

TEST_F(ApplyUpdatesTest, ARowChangedByAnotherUserIsAFailure) {
    Seed({{10, u"会費"_qs}});
    ds.Open();
    ds.Edit();
    ds.FieldByName(u"MEISYO"_qs).SetValue(u"年会費"_qs);
    ds.Post();
    connection.Execute(u"update BUNRUI set CD = 12 where CD = 10"_qs);
    EXPECT_EQ(ds.ApplyUpdates(0), 1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].kind, UpdateKind::Modify);
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(Stored(), QStringList{u"12:会費"_qs});
}

TEST_F(ApplyUpdatesTest, WithoutAReconcileHandlerTheErrorIsRaised) {
    Seed({{10, u"会費"_qs}});
    ds.OnReconcileError = nullptr;
    ds.Open();
    Append(ds, 10, u"重複"_qs);
    EXPECT_THROW(ds.ApplyUpdates(0), db::Error);
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_FALSE(connection.InTransaction());
}

TEST_F(ApplyUpdatesTest, TextsAreCutToTheColumnInCharacters) {
    ds.Open();
    ds.Append();
    ds.FieldByName(u"CD"_qs).SetValue(20);
    ds.FieldByName(u"MEISYO"_qs).SetValue(u"あいうえおかきくけこさしす"_qs);
    ds.Post();
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    EXPECT_EQ(Stored(), QStringList{u"20:あいうえおかきくけこ"_qs});
}

// Rows made by the program carry no column lengths: the server refuses what does
// not fit, and nothing is written.
TEST_F(ApplyUpdatesTest, TextLongerThanTheColumnGivesTheServersErrorAndChangesNothing) {
    DataSet made(u"BunruiDS"_qs);
    made.AddField({.name = u"CD"_qs, .type = FieldType::Integer});
    made.AddField({.name = u"MEISYO"_qs, .type = FieldType::Text});
    made.SetConnection(&connection);
    made.SetUpdateTable(u"BUNRUI"_qs, u"CD"_qs);
    made.OnReconcileError = ds.OnReconcileError;
    made.CreateDataSet();
    for (auto [cd, name] : {std::pair{20, u"短い"_qs}, std::pair{21, u"あいうえおかきくけこさ"_qs}}) {
        made.Append();
        made.FieldByName(u"CD"_qs).SetValue(cd);
        made.FieldByName(u"MEISYO"_qs).SetValue(name);
        made.Post();
    }
    EXPECT_EQ(made.ApplyUpdates(0), 1);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_TRUE(failures[0].message.contains(u"truncation"_qs)) << failures[0].message.toStdString();
    EXPECT_TRUE(Stored().isEmpty());
    EXPECT_EQ(made.ChangeCount(), 2);
}

TEST_F(ApplyUpdatesTest, TheConnectionStaysOpenWhileTheDatasetIs) {
    ds.Open();
    EXPECT_TRUE(connection.Connected());
    DataSet view(u"CloneDS"_qs);
    view.CloneCursor(ds);
    ds.Close();
    EXPECT_TRUE(connection.Connected()) << "the view still holds the rows";
    view.Close();
    EXPECT_FALSE(connection.Connected());
}

TEST_F(ApplyUpdatesTest, ViewsApplyTheSharedChanges) {
    ds.Open();
    DataSet view(u"CloneDS"_qs);
    view.CloneCursor(ds);
    Append(view, 20, u"事業費"_qs);
    Append(ds, 25, u"雑費"_qs);
    EXPECT_EQ(view.ApplyUpdates(0), 0);
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Stored(), (QStringList{u"20:事業費"_qs, u"25:雑費"_qs}));
}

TEST_F(ApplyUpdatesTest, NullsTravelBothWays) {
    connection.Execute(u"insert into BUNRUI (CD) values (10)"_qs);
    ds.Open();
    EXPECT_TRUE(ds.FieldByName(u"MEISYO"_qs).IsNull());
    EXPECT_TRUE(ds.FieldByName(u"JUNJYO"_qs).IsNull());
    ds.Edit();
    ds.FieldByName(u"JUNJYO"_qs).SetValue(5);
    ds.Post();
    Append(ds, 20, QString());
    EXPECT_EQ(ds.ApplyUpdates(0), 0);
    const auto rows =
        connection.Select(u"select MEISYO, JUNJYO from BUNRUI where CD in (10, 20) order by CD"_qs).rows;
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0][0].IsNull());
    EXPECT_EQ(rows[0][1], db::Value(5));
    EXPECT_TRUE(rows[1][0].IsNull());
}

}  // namespace
}  // namespace data
