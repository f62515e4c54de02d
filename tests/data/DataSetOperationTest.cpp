#include "data/DataSetOperation.h"

#include "core/Errors.h"
#include "tests/data/DataSetFixture.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace data {
namespace {

QString FailureText(const QString& name, const QString& operation, const QString& message) {
    return name + u"の"_qs + operation + u"を失敗しました\r\n\r\n"_qs + message;
}

class DataSetOperationTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::FillBunrui(ds, {{10, u"会費", 1}, {20, u"事業費", 2}}); }

    // Every dialog shown was the retry question with this text.
    void ExpectRetryQuestions(const QString& text, int count) {
        ASSERT_EQ(static_cast<int>(dialogs.Shown().size()), count);
        for (const RecordedDialog& d : dialogs.Shown()) {
            EXPECT_EQ(d.kind, RecordedDialog::Kind::Question);
            EXPECT_EQ(d.type, MsgDlgType::Error);
            EXPECT_EQ(d.title, u"エラー"_qs);
            EXPECT_EQ(d.text, text);
            EXPECT_EQ(d.buttons, MsgDlgButtons{mbAbort | mbRetry});
            EXPECT_EQ(d.focused, mbRetry);
        }
        EXPECT_EQ(dialogs.Beeps(), count);
        EXPECT_TRUE(dialogs.AllAnswersUsed());
    }

    ScriptedDialogs dialogs;
    DataSet ds{u"ClientDataSet1"_qs};
};

TEST_F(DataSetOperationTest, RetriesUntilTheUserStops) {
    ScratchDatabase scratch;
    db::Connection connection(scratch.Provider());
    DataSet query(u"KamokuClientDS"_qs);
    query.SetConnection(&connection);
    query.SetCommandText(u"select * from NO_SUCH_TABLE"_qs);
    QString serverMessage;
    try {
        query.Open();
    } catch (const EAppError& e) {
        serverMessage = e.Message();
    }
    ASSERT_FALSE(serverMessage.isEmpty());

    dialogs.QueueAnswer(ModalResult::Retry);
    dialogs.QueueAnswer(ModalResult::Abort);
    EXPECT_THROW(DsOpen(query), EAbort);
    ExpectRetryQuestions(FailureText(u"KamokuClientDS"_qs, u"オープン"_qs, serverMessage), 2);
}

TEST_F(DataSetOperationTest, ARetryThatSucceedsReturnsTrue) {
    int attempts = 0;
    ds.BeforePost = [&](DataSet&) {
        if (++attempts == 1)
            throw EAppError(u"コードが重複しています。"_qs);
    };
    ds.Append();
    ds.FieldByName(u"CD"_qs).SetValue(30);
    dialogs.QueueDismiss();  // closing the dialog by its title bar retries as well
    EXPECT_TRUE(DsPost(ds));
    ExpectRetryQuestions(FailureText(u"ClientDataSet1"_qs, u"更新"_qs, u"コードが重複しています。"_qs), 1);
    EXPECT_EQ(ds.State(), DataSetState::Browse);
    EXPECT_EQ(ds.RecordCount(), 3);
}

// A grid window writes each posted row back in AfterPost; a key violation there
// fails the post, and a retry writes the same row again instead of posting anew.
TEST_F(DataSetOperationTest, AFailedWriteBackAfterPostIsRetriedAsAWriteBack) {
    ScratchDatabase scratch;
    db::Connection connection(scratch.Provider());
    DataSet grid(u"ClientDataSet1"_qs);
    grid.SetConnection(&connection);
    grid.SetCommandText(u"select * from BUNRUI order by CD"_qs);
    grid.SetUpdateTable(u"BUNRUI"_qs, u"CD"_qs);
    QString updateMrrMsg;
    grid.OnReconcileError = [&](DataSet&, const QString& message, UpdateKind) { updateMrrMsg = message; };
    grid.AfterPost = [&](DataSet& d) {
        updateMrrMsg.clear();
        if (d.ApplyUpdates(0) > 0)
            throw EAppError(u"更新を失敗しました。\r\n"_qs + updateMrrMsg);
    };
    grid.Open();
    const int rows = grid.RecordCount();
    grid.Append();
    grid.FieldByName(u"CD"_qs).SetValue(1);  // the built-in classification's code
    dialogs.QueueAnswer(ModalResult::Retry);
    dialogs.QueueAnswer(ModalResult::Abort);
    EXPECT_THROW(DsPost(grid), EAbort);
    ASSERT_FALSE(updateMrrMsg.isEmpty());
    ExpectRetryQuestions(
        FailureText(u"ClientDataSet1"_qs, u"更新"_qs, u"更新を失敗しました。\r\n"_qs + updateMrrMsg), 2);
    EXPECT_EQ(grid.RecordCount(), rows + 1) << "one row, posted once";
    EXPECT_EQ(grid.ChangeCount(), 1) << "the change stays until written or cancelled";
    EXPECT_EQ(connection.Select(u"select count(*) from BUNRUI"_qs).rows[0][0].AsInteger(), rows);
}

TEST_F(DataSetOperationTest, PreconditionsThatAreNotMetDoNothing) {
    DataSet closed(u"SQLDataSet1"_qs);
    EXPECT_FALSE(DsClose(closed));
    SqlCommand command(u"SQLDataSet1"_qs);
    EXPECT_FALSE(DsClose(command));
    EXPECT_FALSE(DsPost(ds));
    EXPECT_FALSE(DsCancel(ds));
    int edits = 0;
    ds.BeforeEdit = [&](DataSet&) { ++edits; };
    DsEdit(ds);
    ds.FieldByName(u"MEISYO"_qs).SetValue(u"編集中"_qs);
    DsEdit(ds);
    EXPECT_EQ(edits, 1);
    EXPECT_EQ(ds.FieldByName(u"MEISYO"_qs).AsString(), u"編集中"_qs);
    EXPECT_TRUE(DsClose(ds));
    EXPECT_FALSE(ds.Active());
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(DataSetOperationTest, ASilentAbortPassesWithoutADialog) {
    ds.BeforePost = [](DataSet&) { throw EAbort(); };
    ds.Append();
    EXPECT_THROW(DsPost(ds), EAbort);
    EXPECT_EQ(ds.State(), DataSetState::Insert);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(dialogs.Beeps(), 0);
}

TEST_F(DataSetOperationTest, FindFirstWithNoPassingRowIsFalseWithoutADialog) {
    ds.SetFilter(u"SYUSI_KUBUN = 3"_qs);
    EXPECT_FALSE(DsFindFirst(ds));
    ds.SetFilter(u"SYUSI_KUBUN = 2"_qs);
    EXPECT_TRUE(DsFindFirst(ds));
    EXPECT_EQ(ds.FieldByName(u"CD"_qs).AsInteger(), 20);
    EXPECT_TRUE(DsLocate(ds, u"CD"_qs, {10}));
    EXPECT_FALSE(DsLocate(ds, u"CD"_qs, {11}));
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(DataSetOperationTest, MisusedOperationsAreReported) {
    dialogs.QueueAnswer(ModalResult::Abort);
    EXPECT_THROW(DataSetOperation(ds, dsoExecSQL), EAbort);
    ExpectRetryQuestions(FailureText(u"ClientDataSet1"_qs, u"クエリーの実行"_qs, u"この操作はできません"_qs),
                         1);

    dialogs.Clear();
    dialogs.QueueAnswer(ModalResult::Abort);
    EXPECT_THROW(DsLocate(ds, u"NO_SUCH"_qs, {1}), EAbort);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_TRUE(
        dialogs.Shown()[0].text.startsWith(u"ClientDataSet1の読み込み(Locate)を失敗しました\r\n\r\n"_qs));

    dialogs.Clear();
    try {
        DataSetOperation(ds, 31);
        FAIL() << "an undefined operation ran";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"ClientDataSet1で未定義の操作を実行しました"_qs);
    }
    EXPECT_TRUE(dialogs.Shown().empty());
}

TEST_F(DataSetOperationTest, OperationNames) {
    const std::pair<int, const char16_t*> names[] = {
        {dsoExecSQL, u"クエリーの実行"},
        {dsoOpen, u"オープン"},
        {dsoClose, u"クローズ"},
        {dsoEdit, u"編集準備"},
        {dsoAppend, u"レコード追加"},
        {dsoInsert, u"レコード挿入"},
        {dsoPost, u"更新"},
        {dsoCancel, u"編集中止"},
        {dsoDelete, u"レコード削除"},
        {dsoFirst, u"読み込み(First)"},
        {dsoFindFirst, u"読み込み(FindFirst)"},
    };
    for (const auto& [code, name] : names)
        EXPECT_EQ(OperationName(code), QString::fromUtf16(name)) << code;
}

TEST_F(DataSetOperationTest, ExecSqlRunsTheCommand) {
    ScratchDatabase scratch;
    db::Connection connection(scratch.Provider());
    SqlCommand command(u"NendoUpdateSQL"_qs, &connection);
    command.SetCommandText(u"insert into BUNRUI (CD, MEISYO) values (:Cd, :Meisyo)"_qs);
    EXPECT_EQ(command.ParamNames(), (QStringList{u"CD"_qs, u"MEISYO"_qs}));
    EXPECT_TRUE(command.HasParam(u"meisyo"_qs));
    command.SetParam(u"CD"_qs, 12);
    command.SetParam(u"meisyo"_qs, u"会費"_qs);
    EXPECT_TRUE(DsExecSQL(command));
    EXPECT_EQ(connection.Select(u"select MEISYO from BUNRUI where CD = 12"_qs).rows.at(0).at(0),
              db::Value(u"会費"_qs));
}

}  // namespace
}  // namespace data
