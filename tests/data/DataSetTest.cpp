#include "data/DataSet.h"

#include "core/Errors.h"
#include "tests/data/DataSetFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace data {
namespace {

using testing::AppendBunrui;
using testing::Codes;
using testing::FillBunrui;

QString StateName(DataSetState s) {
    switch (s) {
        case DataSetState::Inactive:
            return u"Inactive"_qs;
        case DataSetState::Browse:
            return u"Browse"_qs;
        case DataSetState::Edit:
            return u"Edit"_qs;
        case DataSetState::Insert:
            return u"Insert"_qs;
    }
    return {};
}

// A classification list of three rows whose events are written to a log.
struct LoggedDataSet {
    LoggedDataSet() {
        FillBunrui(ds, {{10, u"会費", 1}, {20, u"事業費", 2}, {30, u"雑費", 2}});
        auto log = [this](const QString& name) { return [this, name](DataSet&) { events << name; }; };
        ds.BeforeInsert = log(u"BeforeInsert"_qs);
        ds.OnNewRecord = [this](DataSet& d) {
            events << u"OnNewRecord"_qs;
            d.FieldByName(u"SYUSI_KUBUN"_qs).SetValue(1);
        };
        ds.AfterInsert = log(u"AfterInsert"_qs);
        ds.BeforeEdit = log(u"BeforeEdit"_qs);
        ds.AfterEdit = log(u"AfterEdit"_qs);
        ds.BeforePost = log(u"BeforePost"_qs);
        ds.AfterPost = log(u"AfterPost"_qs);
        ds.BeforeCancel = log(u"BeforeCancel"_qs);
        ds.AfterCancel = log(u"AfterCancel"_qs);
        ds.BeforeDelete = log(u"BeforeDelete"_qs);
        ds.AfterDelete = log(u"AfterDelete"_qs);
        ds.AfterScroll = log(u"AfterScroll"_qs);
        ds.OnStateChange = [this](DataSet& d) { events << u"State:"_qs + StateName(d.State()); };
    }
    Field& F(const char16_t* name) { return ds.FieldByName(QString::fromUtf16(name)); }

    DataSet ds{u"ClientDataSet1"_qs};
    QStringList events;
};

class DataSetTest : public ::testing::Test, public LoggedDataSet {};

TEST_F(DataSetTest, OperationsRunTheirEventsInOrder) {
    struct Case {
        const char* name;
        std::function<void(LoggedDataSet&)> action;
        QStringList expected;
    } cases[] = {
        {"append",
         [](LoggedDataSet& t) { t.ds.Append(); },
         {u"BeforeInsert"_qs, u"State:Insert"_qs, u"OnNewRecord"_qs, u"AfterInsert"_qs, u"AfterScroll"_qs}},
        {"edit and post",
         [](LoggedDataSet& t) {
             t.ds.Edit();
             t.F(u"MEISYO").SetValue(u"新"_qs);
             t.ds.Post();
         },
         {u"BeforeEdit"_qs, u"State:Edit"_qs, u"AfterEdit"_qs, u"BeforePost"_qs, u"State:Browse"_qs,
          u"AfterPost"_qs}},
        {"append leaves a pending edit by posting it",
         [](LoggedDataSet& t) {
             t.ds.Edit();
             t.ds.Append();
         },
         {u"BeforeEdit"_qs, u"State:Edit"_qs, u"AfterEdit"_qs, u"BeforePost"_qs, u"State:Browse"_qs,
          u"AfterPost"_qs, u"BeforeInsert"_qs, u"State:Insert"_qs, u"OnNewRecord"_qs, u"AfterInsert"_qs,
          u"AfterScroll"_qs}},
        {"insert and cancel",
         [](LoggedDataSet& t) {
             t.ds.Insert();
             t.ds.Cancel();
         },
         {u"BeforeInsert"_qs, u"State:Insert"_qs, u"OnNewRecord"_qs, u"AfterInsert"_qs, u"AfterScroll"_qs,
          u"BeforeCancel"_qs, u"State:Browse"_qs, u"AfterCancel"_qs}},
        {"delete",
         [](LoggedDataSet& t) { t.ds.Delete(); },
         {u"BeforeDelete"_qs, u"AfterDelete"_qs, u"AfterScroll"_qs}},
        {"moving posts a pending edit",
         [](LoggedDataSet& t) {
             t.ds.Edit();
             t.ds.Next();
         },
         {u"BeforeEdit"_qs, u"State:Edit"_qs, u"AfterEdit"_qs, u"BeforePost"_qs, u"State:Browse"_qs,
          u"AfterPost"_qs, u"AfterScroll"_qs}},
        {"cancel and post while browsing do nothing", [](LoggedDataSet& t) { t.ds.Cancel(); }, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoggedDataSet t;
        t.events.clear();
        c.action(t);
        EXPECT_EQ(t.events, c.expected);
    }
}

TEST_F(DataSetTest, NewRowsGoToTheEndOrBeforeTheCurrentRow) {
    ds.MoveTo(1);
    ds.Insert();
    EXPECT_EQ(ds.DisplayRowOfCursor(), 1);
    EXPECT_FALSE(ds.Modified()) << "OnNewRecord defaults are not user changes";
    F(u"CD").SetValue(15);
    EXPECT_TRUE(ds.Modified());
    ds.Post();
    ds.Append();
    F(u"CD").SetValue(40);
    ds.Post();
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 15, 20, 30, 40}));
    EXPECT_EQ(ds.ChangeCount(), 2);
}

TEST_F(DataSetTest, CancelDropsTheBufferAndANewRow) {
    ds.Edit();
    F(u"MEISYO").SetValue(u"変更"_qs);
    ds.Cancel();
    EXPECT_EQ(F(u"MEISYO").AsString(), u"会費"_qs);
    ds.Append();
    F(u"CD").SetValue(40);
    ds.Cancel();
    // The cursor stays at the end, where the appended row was, not on the row it
    // stood on before; a row inserted in place leaves it where it was.
    EXPECT_EQ(ds.RecIndex(), 2);
    ds.MoveTo(1);
    ds.Insert();
    ds.Cancel();
    EXPECT_EQ(ds.RecIndex(), 1);
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30}));
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(DataSetTest, AFailingBeforePostKeepsTheEdit) {
    ds.BeforePost = [](DataSet&) { throw EAppError(u"コードが重複しています。"_qs); };
    ds.Append();
    F(u"CD").SetValue(10);
    EXPECT_THROW(ds.Post(), EAppError);
    EXPECT_EQ(ds.State(), DataSetState::Insert);
    EXPECT_EQ(F(u"CD").AsInteger(), 10);
    EXPECT_EQ(ds.RecordCount(), 3);
}

TEST_F(DataSetTest, PostRequiresRequiredFieldsByTheirLabel) {
    ds.Append();
    try {
        ds.Post();
        FAIL() << "posted without a code";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"コードを入力してください。"_qs);
    }
    EXPECT_EQ(ds.State(), DataSetState::Insert);
}

TEST_F(DataSetTest, AFailingBeforeDeleteChangesNothing) {
    ds.BeforeDelete = [](DataSet&) { throw EAppError(u"この分類は削除できません。"_qs); };
    EXPECT_THROW(ds.Delete(), EAppError);
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30}));
    EXPECT_EQ(ds.ChangeCount(), 0);
}

TEST_F(DataSetTest, AnInsertedRowStaysInsertedThroughLaterEdits) {
    AppendBunrui(ds, 40, u"寄付金"_qs, 1);
    ds.Edit();
    F(u"MEISYO").SetValue(u"寄附金"_qs);
    ds.Post();
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(ds.UpdateStatus(), RowStatus::Inserted);
    // Undoing the changes removes it: it was never an existing row being modified.
    ds.CancelUpdates();
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30}));
}

TEST_F(DataSetTest, CancelUpdatesRestoresOriginalValuesAndDeletedRows) {
    ds.MoveTo(1);
    ds.Edit();
    F(u"MEISYO").SetValue(u"一"_qs);
    ds.Post();
    ds.Edit();
    F(u"MEISYO").SetValue(u"二"_qs);
    ds.Post();
    EXPECT_EQ(ds.UpdateStatus(), RowStatus::Modified);
    ds.First();
    ds.Delete();
    EXPECT_EQ(ds.ChangeCount(), 2);
    ds.CancelUpdates();
    EXPECT_EQ(ds.ChangeCount(), 0);
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30}));
    ASSERT_TRUE(ds.Locate(u"CD"_qs, {20}));
    EXPECT_EQ(F(u"MEISYO").AsString(), u"事業費"_qs);
}

TEST_F(DataSetTest, EditOnAnEmptyDatasetStartsANewRow) {
    DataSet empty(u"Empty"_qs);
    FillBunrui(empty, {});
    empty.Edit();
    EXPECT_EQ(empty.State(), DataSetState::Insert);
}

TEST_F(DataSetTest, FieldsApplyTheirRules) {
    ds.Edit();
    F(u"MEISYO").SetText(u"　 一二三四五六七八九十𠮷 "_qs);
    EXPECT_EQ(F(u"MEISYO").AsString(), u"一二三四五六七八九十"_qs) << "trimmed, then cut to 10 characters";
    F(u"MEISYO").SetText(u"一二三四五六七八九𠮷X"_qs);
    EXPECT_EQ(F(u"MEISYO").AsString(), u"一二三四五六七八九𠮷"_qs) << "a pair counts as one character";
    F(u"MEISYO").SetText(u"   "_qs);
    EXPECT_TRUE(F(u"MEISYO").IsNull());

    F(u"KINGAKU").SetText(u"1,234"_qs);
    EXPECT_EQ(F(u"KINGAKU").AsInteger(), 1234);
    F(u"KINGAKU").SetText(u"－５６"_qs);
    EXPECT_EQ(F(u"KINGAKU").AsInteger(), -56);
    EXPECT_EQ(F(u"KINGAKU").DisplayText(), u"-56"_qs);
    F(u"KINGAKU").SetText(u""_qs);
    EXPECT_TRUE(F(u"KINGAKU").IsNull());
    EXPECT_THROW(F(u"KINGAKU").SetText(u"12a"_qs), EAppError);

    try {
        F(u"CD").SetText(u"100"_qs);
        FAIL() << "out of range accepted";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"100はコードの範囲外です。1～99の範囲で入力してください。"_qs);
    }
    EXPECT_EQ(F(u"CD").AsInteger(), 10) << "a refused value leaves the field as it was";
    F(u"CD").SetComputedValue(100);
    EXPECT_EQ(F(u"CD").AsInteger(), 100) << "values the program computes pass without the range";

    F(u"CD").Def().rangeMessage = u"コードは1～99で入力してください。"_qs;
    try {
        F(u"CD").SetValue(0);
        FAIL();
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"コードは1～99で入力してください。"_qs);
    }

    const QString unpaired = u"A"_qs + QChar(char16_t(0xD842));
    EXPECT_THROW(F(u"MEISYO").SetValue(unpaired), EAppError);

    F(u"SYUSI_KUBUN").Def().readOnly = true;
    EXPECT_THROW(F(u"SYUSI_KUBUN").SetValue(2), EAppError);
}

TEST_F(DataSetTest, SetTextAndChangeEvents) {
    QStringList seen;
    F(u"MEISYO").OnSetText = [](Field& f, const QString& text) { f.SetValue(u"<"_qs + text + u">"_qs); };
    F(u"MEISYO").OnChange = [&](Field& f) { seen << f.AsString(); };
    ds.Edit();
    F(u"MEISYO").SetText(u"x"_qs);
    EXPECT_EQ(seen, QStringList{u"<x>"_qs});
    EXPECT_THROW(ds.Post(); F(u"MEISYO").SetValue(u"y"_qs), EAppError) << "fields change only while editing";
}

TEST_F(DataSetTest, FormatsForDisplayAndEdit) {
    ds.Edit();
    struct Case {
        db::Value value;
        const char16_t* display;
        const char16_t* edit;
    } cases[] = {
        {qint64{1234567}, u"1,234,567", u"1234567"},
        {qint64{-999999999}, u"-999,999,999", u"-999999999"},
        {qint64{0}, u"", u"0"},
        {db::Value(), u"", u""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.AsString().toStdString());
        F(u"KINGAKU").SetValue(c.value);
        EXPECT_EQ(F(u"KINGAKU").DisplayText(), QString::fromUtf16(c.display));
        EXPECT_EQ(F(u"KINGAKU").EditText(), QString::fromUtf16(c.edit));
    }
}

TEST_F(DataSetTest, LocateMatchesWholeValuesExactly) {
    ds.Last();
    EXPECT_TRUE(ds.Locate(u"SYUSI_KUBUN;MEISYO"_qs, {2, u"事業費"_qs}));
    EXPECT_EQ(F(u"CD").AsInteger(), 20);
    EXPECT_TRUE(ds.Locate(u"cd"_qs, {u"30"_qs}))
        << "field names ignore case; the value is read in the field's type";
    EXPECT_EQ(ds.RecIndex(), 2);
    for (const db::Value& missing : {db::Value(u"事業"_qs), db::Value(u"事業費 "_qs), db::Value()}) {
        EXPECT_FALSE(ds.Locate(u"MEISYO"_qs, {missing}));
        EXPECT_EQ(ds.RecIndex(), 2) << "a failed locate leaves the cursor";
    }
    EXPECT_THROW(ds.Locate(u"NO_SUCH"_qs, {1}), EAppError);
}

TEST_F(DataSetTest, FilterAndFindFirst) {
    ds.SetFilter(u"(SYUSI_KUBUN = 2) and (CD <> 30)"_qs);
    EXPECT_EQ(ds.RecordCount(), 3) << "the filter applies only when Filtered is on";
    EXPECT_TRUE(ds.FindFirst());
    EXPECT_EQ(F(u"CD").AsInteger(), 20);
    ds.SetFiltered(true);
    EXPECT_EQ(Codes(ds), (QList<qint64>{20}));
    ds.SetFilter(u"SYUSI_KUBUN = 3"_qs);
    EXPECT_EQ(ds.RecordCount(), 0);
    EXPECT_FALSE(ds.FindFirst());
    EXPECT_TRUE(F(u"CD").IsNull());
    EXPECT_THROW(ds.SetFilter(u"NO_SUCH = 1"_qs), EAppError);
    EXPECT_THROW(ds.SetFilter(u"CD = "_qs), EAppError);
    EXPECT_EQ(ds.Filter(), u"SYUSI_KUBUN = 3"_qs) << "a refused filter leaves the one in force";
}

TEST_F(DataSetTest, APostedRowThatLeavesTheFilterLeavesTheDataset) {
    ds.SetFilter(u"SYUSI_KUBUN = 2"_qs);
    ds.SetFiltered(true);
    ds.Edit();
    F(u"SYUSI_KUBUN").SetValue(1);
    ds.Post();
    EXPECT_EQ(Codes(ds), (QList<qint64>{30}));
    ds.Append();  // OnNewRecord makes it a receipt: it is not shown once posted
    F(u"CD").SetValue(50);
    ds.Post();
    EXPECT_EQ(Codes(ds), (QList<qint64>{30}));
    ds.SetFiltered(false);
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30, 50}));
}

TEST_F(DataSetTest, NullValuesNeitherCrashNorPass) {
    ds.Append();
    F(u"CD").SetValue(60);
    F(u"SYUSI_KUBUN").Clear();
    ds.Post();
    EXPECT_TRUE(F(u"MEISYO").IsNull());
    EXPECT_EQ(F(u"MEISYO").DisplayText(), QString());
    EXPECT_EQ(F(u"KINGAKU").AsInteger(), 0);
    ds.SetFilter(u"(SYUSI_KUBUN <> 1) and (MEISYO like '%')"_qs);
    ds.SetFiltered(true);
    EXPECT_EQ(Codes(ds), (QList<qint64>{20, 30}));
}

TEST_F(DataSetTest, LookupFieldsReadAndChooseThroughAnotherDataset) {
    DataSet kubun(u"SyusiKubunDS"_qs);
    kubun.AddField({.name = u"CD"_qs, .type = FieldType::Integer});
    kubun.AddField({.name = u"MEISYO"_qs, .type = FieldType::Text, .size = 4});
    kubun.CreateDataSet();
    for (auto [cd, name] : {std::pair{1, u"収入"_qs}, std::pair{2, u"支出"_qs}}) {
        kubun.Append();
        kubun.FieldByName(u"CD"_qs).SetValue(cd);
        kubun.FieldByName(u"MEISYO"_qs).SetValue(name);
        kubun.Post();
    }
    DataSet list(u"BunruiDS"_qs);
    FieldDef lookup{.name = u"SyusiMei"_qs, .type = FieldType::Text, .label = u"収支区分"_qs};
    lookup.lookup = LookupDef{&kubun, u"SYUSI_KUBUN"_qs, u"CD"_qs, u"MEISYO"_qs};
    list.AddField(lookup);
    FillBunrui(list, {{10, u"会費", 1}, {20, u"事業費", 2}});
    Field& name = list.FieldByName(u"SyusiMei"_qs);
    EXPECT_EQ(name.AsString(), u"収入"_qs);
    list.Next();
    EXPECT_EQ(name.AsString(), u"支出"_qs);
    list.Edit();
    name.SetValue(u"収入"_qs);
    EXPECT_EQ(list.FieldByName(u"SYUSI_KUBUN"_qs).AsInteger(), 1);
    EXPECT_THROW(name.SetValue(u"不明"_qs), EAppError);
    list.FieldByName(u"SYUSI_KUBUN"_qs).SetValue(9);
    EXPECT_TRUE(name.IsNull()) << "a key with no row looks up nothing";
}

// Views: SyunyuClone and SisyutsuClone over the rows of ClientDataSet1.
class ViewTest : public DataSetTest {
  protected:
    void SetUp() override {
        syunyu.CloneCursor(ds);
        syunyu.SetFilter(u"SYUSI_KUBUN = 1"_qs);
        syunyu.SetFiltered(true);
        sisyutsu.CloneCursor(ds);
        sisyutsu.SetFilter(u"(SYUSI_KUBUN = 2) and (CD <> 30)"_qs);
        sisyutsu.SetFiltered(true);
    }
    DataSet syunyu{u"SyunyuClone"_qs};
    DataSet sisyutsu{u"SisyutsuClone"_qs};
};

TEST_F(ViewTest, ViewsShareRowsAndPendingChanges) {
    EXPECT_EQ(Codes(syunyu), (QList<qint64>{10}));
    EXPECT_EQ(Codes(sisyutsu), (QList<qint64>{20}));
    // A row posted through one view appears in the others whose filter passes it.
    AppendBunrui(sisyutsu, 25, u"備品費"_qs, 2);
    EXPECT_EQ(Codes(sisyutsu), (QList<qint64>{20, 25}));
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30, 25}));
    EXPECT_EQ(Codes(syunyu), (QList<qint64>{10}));
    EXPECT_EQ(ds.ChangeCount(), 1);
    EXPECT_EQ(syunyu.ChangeCount(), 1);
    // A change through the dataset moves a row between views.
    ASSERT_TRUE(ds.Locate(u"CD"_qs, {20}));
    ds.Edit();
    ds.FieldByName(u"SYUSI_KUBUN"_qs).SetValue(1);
    ds.Post();
    EXPECT_EQ(Codes(syunyu), (QList<qint64>{10, 20}));
    EXPECT_EQ(Codes(sisyutsu), (QList<qint64>{25}));
    // A deleted row leaves every view.
    syunyu.First();
    syunyu.Delete();
    EXPECT_EQ(Codes(ds), (QList<qint64>{20, 30, 25}));
    EXPECT_EQ(ds.ChangeCount(), 3);
    // Undoing through any view undoes for all.
    sisyutsu.CancelUpdates();
    EXPECT_EQ(Codes(ds), (QList<qint64>{10, 20, 30}));
    EXPECT_EQ(Codes(syunyu), (QList<qint64>{10}));
    EXPECT_EQ(Codes(sisyutsu), (QList<qint64>{20}));
}

TEST_F(ViewTest, EachViewHasItsOwnCursorAndState) {
    ds.Last();
    syunyu.First();
    sisyutsu.Edit();
    sisyutsu.FieldByName(u"MEISYO"_qs).SetValue(u"編集中"_qs);
    EXPECT_EQ(ds.State(), DataSetState::Browse);
    EXPECT_EQ(ds.FieldByName(u"CD"_qs).AsInteger(), 30);
    EXPECT_EQ(syunyu.FieldByName(u"CD"_qs).AsInteger(), 10);
    ASSERT_TRUE(ds.Locate(u"CD"_qs, {20}));
    EXPECT_EQ(ds.FieldByName(u"MEISYO"_qs).AsString(), u"事業費"_qs) << "an unposted edit stays in its view";
    sisyutsu.Post();
    EXPECT_EQ(ds.FieldByName(u"MEISYO"_qs).AsString(), u"編集中"_qs);
}

TEST_F(ViewTest, DeletingARowAnotherViewEditsEndsThatEdit) {
    ds.Locate(u"CD"_qs, {20});
    sisyutsu.Edit();
    ds.Delete();
    EXPECT_EQ(sisyutsu.State(), DataSetState::Browse);
    EXPECT_EQ(sisyutsu.RecordCount(), 0);
}

TEST_F(ViewTest, ClosingTheSourceLeavesTheViewsTheirRows) {
    ds.Close();
    EXPECT_EQ(Codes(sisyutsu), (QList<qint64>{20}));
}

}  // namespace
}  // namespace data
