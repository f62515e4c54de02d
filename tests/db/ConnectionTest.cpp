// The connection on real scratch databases: when it opens and closes, which
// database it reaches, transactions, locks, typed values and parameters.

#include "db/Connection.h"
#include "db/Error.h"
#include "db/FbApi.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <firebird/Interface.h>

#include <QFileInfo>

using namespace Qt::Literals::StringLiterals;

namespace {

using db::Connection;
using db::Value;

class ConnectionTest : public ::testing::Test {
  protected:
    ScratchDatabase scratch;
    Connection connection{scratch.Provider()};

    qint64 Count(const QString& sql, const Connection::Params& params = {}) {
        return connection.Select(sql, params).rows.at(0).at(0).AsInteger();
    }
};

TEST_F(ConnectionTest, ClosesWhenTheLastDatasetGoesAndReopensForTheNext) {
    EXPECT_FALSE(connection.Connected());
    connection.Select(u"select KY from KANRI"_s);
    EXPECT_FALSE(connection.Connected()) << "no dataset open: closed again after the statement";

    {
        auto first = connection.UseDataset();
        connection.Select(u"select KY from KANRI"_s);
        EXPECT_TRUE(connection.Connected());
        {
            auto second = connection.UseDataset();
            auto moved = std::move(second);
        }
        EXPECT_TRUE(connection.Connected()) << "one dataset is still open";
    }
    EXPECT_FALSE(connection.Connected());

    auto again = connection.UseDataset();
    EXPECT_EQ(Count(u"select count(*) from KANRI"_s), 1);
    EXPECT_TRUE(connection.Connected());
}

TEST_F(ConnectionTest, ExplicitTransactionKeepsTheConnectionUntilItEnds) {
    connection.StartTransaction();
    {
        auto use = connection.UseDataset();
        connection.Execute(u"update KANRI set DANTAIMEI = :Name where (KY = 1)"_s,
                           {{u"name"_s, u"東町会"_s}});
    }
    EXPECT_TRUE(connection.Connected());
    connection.Commit();
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(connection.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0], Value(u"東町会"));
}

TEST_F(ConnectionTest, AsksForTheDatabaseStringAtEveryConnect) {
    ScratchDatabase other;
    {
        Connection setup(other.Provider());
        setup.Execute(u"update KANRI set DANTAIMEI = 'B' where (KY = 1)"_s);
    }
    QString current = scratch.Path();
    int asked = 0;
    Connection switching([&] {
        ++asked;
        return current;
    });
    auto name = [&] { return switching.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0]; };

    {
        auto use = switching.UseDataset();
        EXPECT_TRUE(name().IsNull());
        current = other.Path();
        EXPECT_TRUE(name().IsNull()) << "still connected to the first database";
    }
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(name(), Value(u"B"));
    EXPECT_EQ(asked, 2);
}

TEST_F(ConnectionTest, ConnectFailuresAreReported) {
    // The provider's own error (a missing registry entry) passes through as it is.
    Connection unregistered([]() -> QString { throw EAppError(u"A のデータベースが見つかりません。"_s); });
    try {
        unregistered.Select(u"select KY from KANRI"_s);
        FAIL();
    } catch (const db::Error&) {
        FAIL() << "not a database error";
    } catch (const EAppError& e) {
        EXPECT_EQ(e.Message(), u"A のデータベースが見つかりません。"_s);
    }

    Connection missing([&] { return scratch.Path() + u".missing"_s; });
    EXPECT_THROW(missing.Select(u"select KY from KANRI"_s), db::Error);
    EXPECT_FALSE(missing.Connected());

    // host/port:path goes to a server over the network, not to the embedded engine.
    Connection remote([&] { return u"localhost/1:"_s + scratch.Path(); });
    try {
        remote.Open();
        FAIL();
    } catch (const db::Error& e) {
        EXPECT_EQ(e.Code(), isc_network_error) << e.Message().toStdString();
    }
}

TEST_F(ConnectionTest, SqlErrorsCarryTheServerTextAndCode) {
    try {
        connection.Select(u"select NO_SUCH_COLUMN from KANRI"_s);
        FAIL();
    } catch (const db::Error& e) {
        EXPECT_NE(e.Code(), 0);
        EXPECT_TRUE(e.Message().contains(u"NO_SUCH_COLUMN"_s)) << e.Message().toStdString();
    }
    EXPECT_FALSE(connection.Connected());
}

// An attachment the server drops (here killed as an administrator would, through
// the monitoring tables) is told in Japanese, and the next statement attaches anew.
TEST_F(ConnectionTest, ALostAttachmentIsToldAndTheNextStatementReconnects) {
    Connection other(scratch.Provider());
    other.StartTransaction();
    other.Select(u"select DANTAIMEI from KANRI"_s);
    EXPECT_EQ(
        connection.Execute(u"delete from MON$ATTACHMENTS where (MON$ATTACHMENT_ID <> current_connection) "
                           u"and (MON$SYSTEM_FLAG = 0)"_s),
        1);
    try {
        other.Select(u"select DANTAIMEI from KANRI"_s);
        FAIL() << "the killed attachment should fail";
    } catch (const db::Error& e) {
        EXPECT_TRUE(e.Message().startsWith(u"データベースとの接続が切れました。"_s))
            << e.Message().toStdString();
        EXPECT_TRUE(e.HasCode(isc_att_shutdown)) << e.Message().toStdString();
    }
    try {
        other.Rollback();
    } catch (const db::Error&) {
        // nothing left to roll back on a dead attachment
    }
    EXPECT_EQ(other.Select(u"select count(*) from KANRI"_s).rows.at(0).at(0).AsInteger(), 1);
    try {
        connection.Select(u"select NO_SUCH_COLUMN from KANRI"_s);
        FAIL();
    } catch (const db::Error& e) {
        EXPECT_FALSE(e.Message().contains(u"接続が切れました"_s)) << "only a lost attachment says so";
    }
}

TEST_F(ConnectionTest, LockConflictFailsAtOnce) {
    Connection other(scratch.Provider());
    connection.StartTransaction();
    connection.Execute(u"update KANRI set DANTAIMEI = 'A' where (KY = 1)"_s);
    try {
        other.Execute(u"update KANRI set DANTAIMEI = 'B' where (KY = 1)"_s);
        FAIL() << "the second writer should not get the row";
    } catch (const db::Error& e) {
        // Firebird's reply to an update of a row another transaction has changed.
        EXPECT_EQ(e.Code(), isc_deadlock) << e.Message().toStdString();
        EXPECT_TRUE(e.Message().contains(u"update conflicts with concurrent update"_s));
    }
    // Read committed: the other connection does not see the uncommitted change.
    EXPECT_TRUE(other.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0].IsNull());
    connection.Rollback();
    EXPECT_EQ(other.Execute(u"update KANRI set DANTAIMEI = 'B' where (KY = 1)"_s), 1);
}

// A report of several statements reads one state of the database, whatever others
// commit meanwhile, and writes nothing.
TEST_F(ConnectionTest, ASnapshotSeesTheDatabaseAsItWasWhenItStarted) {
    Connection other(scratch.Provider());
    connection.StartSnapshot();
    EXPECT_TRUE(connection.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0].IsNull());
    other.Execute(u"update KANRI set DANTAIMEI = 'B' where (KY = 1)"_s);
    EXPECT_TRUE(connection.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0].IsNull());
    EXPECT_THROW(connection.Execute(u"update KANRI set DANTAIMEI = 'C' where (KY = 1)"_s), db::Error);
    connection.Rollback();
    EXPECT_EQ(connection.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0], Value(u"B"));
}

// The page cache follows the size of the database file, between the engine's
// default and a cap.
TEST_F(ConnectionTest, ThePageCacheIsSizedForTheDatabaseFile) {
    const struct {
        qint64 bytes;
        int pages;
    } cases[] = {{0, 2048}, {8 << 20, 2048}, {82 << 20, 13120}, {qint64(1) << 30, 16384}};
    for (const auto& c : cases)
        EXPECT_EQ(db::fb::CachePagesFor(c.bytes), c.pages) << c.bytes;
    const qint64 size = QFileInfo(scratch.Path()).size();
    EXPECT_EQ(Count(u"select MON$PAGE_BUFFERS from MON$DATABASE"_s), db::fb::CachePagesFor(size));
}

// A year's save deletes and rewrites every line. The old versions must go with the
// next statement that reads them, in this thread: a background collector working on
// the same pages made each second save of a large year take seconds.
TEST_F(ConnectionTest, OldRecordVersionsAreCollectedByTheNextScan) {
    auto attached = connection.UseDataset();
    EXPECT_EQ(Count(u"select count(*) from MON$ATTACHMENTS where (MON$USER = 'Garbage Collector')"_s), 0);

    connection.StartTransaction();
    for (int seqNo = 1; seqNo <= 50; ++seqNo)
        connection.Execute(u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO) values (:S, 0, 2021)"_s,
                           {{u"S"_s, seqNo}});
    connection.Commit();
    connection.Execute(u"delete from MEISAI where (NENDO = 2021)"_s);

    const QString expunged =
        u"select S.MON$RECORD_EXPUNGES from MON$ATTACHMENTS A inner join MON$RECORD_STATS S on "
        "(S.MON$STAT_ID = A.MON$STAT_ID) where (A.MON$ATTACHMENT_ID = current_connection)"_s;
    const qint64 before = Count(expunged);
    EXPECT_EQ(Count(u"select count(*) from MEISAI"_s), 0);
    EXPECT_GE(Count(expunged) - before, 50) << "the scan removes the deleted rows itself";
}

TEST_F(ConnectionTest, RolledBackTransactionLeavesNothing) {
    const QString insert = u"insert into AITE (MEISYO, FURIGANA) values (:MEISYO, :FURIGANA)"_s;
    connection.StartTransaction();
    connection.Execute(insert, {{u"MEISYO"_s, u"山田"_s}, {u"FURIGANA"_s, u"やまだ"_s}});
    connection.Execute(u"delete from KAMOKU where CD = 7000"_s);
    EXPECT_EQ(Count(u"select count(*) from AITE"_s), 1) << "visible inside the transaction";
    connection.Rollback();
    EXPECT_FALSE(connection.InTransaction());
    EXPECT_EQ(Count(u"select count(*) from AITE"_s), 0);
    EXPECT_EQ(Count(u"select count(*) from KAMOKU where CD = 7000"_s), 1);
}

TEST_F(ConnectionTest, TransactionEndActionsLearnTheOutcomeOnce) {
    std::vector<bool> outcomes;
    const auto record = [&outcomes](bool committed) { outcomes.push_back(committed); };
    EXPECT_THROW(connection.OnTransactionEnd(record), db::Error);  // no transaction

    connection.StartTransaction();
    connection.OnTransactionEnd(record);
    connection.Commit();
    connection.StartTransaction();
    connection.OnTransactionEnd(record);
    connection.Rollback();
    connection.StartTransaction();
    connection.OnTransactionEnd(record);
    connection.Close();  // closing rolls back
    connection.StartTransaction();
    connection.Commit();  // no action left over from before
    EXPECT_EQ(outcomes, (std::vector<bool>{true, false, false}));
}

TEST_F(ConnectionTest, TransactionMisuseIsAnError) {
    EXPECT_THROW(connection.Commit(), db::Error);
    connection.StartTransaction();
    EXPECT_THROW(connection.StartTransaction(), db::Error);
    connection.Rollback();
    EXPECT_NO_THROW(connection.Rollback());
}

TEST_F(ConnectionTest, TransferHalvesShareALineNumber) {
    const QString insert =
        u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, KAMOKU, SYUNYU, SISYUTSU) "
        "values (:SEQ_NO, :KAIKEI_KUBUN, 2021, :KAMOKU, :SYUNYU, :SISYUTSU)"_s;
    connection.Execute(insert, {{u"SEQ_NO"_s, 7}, {u"KAIKEI_KUBUN"_s, 0}, {u"SISYUTSU"_s, 50000}});
    connection.Execute(insert,
                       {{u"SEQ_NO"_s, 7}, {u"KAIKEI_KUBUN"_s, 2}, {u"KAMOKU"_s, 3000}, {u"SYUNYU"_s, 50000}});
    // A second loading of another year may take the same number in the same division.
    connection.Execute(insert, {{u"SEQ_NO"_s, 7}, {u"KAIKEI_KUBUN"_s, 0}, {u"SYUNYU"_s, 1}});
    EXPECT_EQ(Count(u"select count(*) from MEISAI where SEQ_NO = 7"_s), 3);
}

TEST_F(ConnectionTest, NullZeroAndEmptyTextStayApart) {
    const Value cases[][2] = {
        {Value(), Value()},
        {Value(0), Value(u"")},
        {Value(-999999999), Value(u"𠮷野家ｱｲｳ")},
        {Value(999999999), Value(u"  ")},
    };
    const QString insert =
        u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, SYUNYU, AITE) values (:SEQ, 0, :SYUNYU, :AITE)"_s;
    for (int i = 0; i < static_cast<int>(std::size(cases)); ++i) {
        connection.Execute(insert, {{u"SEQ"_s, i}, {u"SYUNYU"_s, cases[i][0]}, {u"AITE"_s, cases[i][1]}});
    }
    const auto rows = connection.Select(u"select SYUNYU, AITE from MEISAI order by SEQ_NO"_s);
    ASSERT_EQ(rows.rows.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rows.rows[i][0], cases[i][0]);
        EXPECT_EQ(rows.rows[i][1], cases[i][1]);
    }
}

TEST_F(ConnectionTest, ResultsAreTypedAndDescribed) {
    const auto rows = connection.Select(
        u"select cast(12 as smallint) as S, cast(-3 as bigint) as B, KY, cast(1.25 as numeric(9,2)) as N, "
        "cast(0.5 as double precision) as D, cast('ab' as char(4)) as C, DANTAIMEI, DB_VERSION, "
        "cast(null as integer) as Z from KANRI"_s);
    using T = Connection::Column::Type;
    struct Expected {
        const char* name;
        T type;
        int length;
        Value value;
    };
    const Expected expected[] = {
        {"S", T::Integer, 0, Value(12)},     {"B", T::Integer, 0, Value(-3)},
        {"KY", T::Integer, 0, Value(1)},     {"N", T::Float, 0, Value(1.25)},
        {"D", T::Float, 0, Value(0.5)},      {"C", T::Text, 4, Value(u"ab  ")},
        {"DANTAIMEI", T::Text, 30, Value()}, {"DB_VERSION", T::Text, 20, Value(u"1.0.4.0")},
        {"Z", T::Integer, 0, Value()},
    };
    ASSERT_EQ(rows.columns.size(), std::size(expected));
    ASSERT_EQ(rows.rows.size(), 1u);
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(rows.columns[i].name.toStdString(), expected[i].name);
        EXPECT_EQ(rows.columns[i].type, expected[i].type);
        EXPECT_EQ(rows.columns[i].length, expected[i].length);
        EXPECT_EQ(rows.rows[0][i], expected[i].value);
    }
    EXPECT_FALSE(rows.columns[2].nullable);
    EXPECT_TRUE(rows.columns[6].nullable);
}

TEST_F(ConnectionTest, NamedParameters) {
    const auto rows = connection.Select(
        u"select cast(:A as integer) + cast(:a as integer) as TWICE, ':A' as LIT, "
        "cast(:Missing as integer) as M, KY -- :A in a comment\n"
        "from KANRI where DB_VERSION = :Version /* :Version */"_s,
        {{u"a"_s, 21}, {u"VERSION"_s, u"1.0.4.0"_s}});
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0][0], Value(42));
    EXPECT_EQ(rows.rows[0][1], Value(u":A"));
    EXPECT_TRUE(rows.rows[0][2].IsNull());

    // A value converts to the parameter's type on the server: text to integer, integer to text.
    EXPECT_EQ(Count(u"select count(*) from KAMOKU where CD = :CD"_s, {{u"CD"_s, u"100"_s}}), 1);
    EXPECT_EQ(Count(u"select count(*) from KANRI where DB_VERSION = :V"_s, {{u"V"_s, 1}}), 0);
}

TEST_F(ConnectionTest, ReusedStatementTakesLongerTextsAndNewKinds) {
    auto use = connection.UseDataset();  // one attachment, so the prepared statement is reused
    const QString update = u"update KANRI set DANTAIMEI = :Name where (KY = :Ky)"_s;
    const Value names[] = {Value(u"あ"),
                           Value(u"あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほ"), Value(),
                           Value(12345), Value(u"短い")};
    for (const Value& name : names) {
        SCOPED_TRACE(name.AsString().toStdString());
        EXPECT_EQ(connection.Execute(update, {{u"Name"_s, name}, {u"Ky"_s, u"1"_s}}), 1);
        const Value stored = connection.Select(u"select DANTAIMEI from KANRI"_s).rows[0][0];
        EXPECT_EQ(stored.IsNull(), name.IsNull());
        EXPECT_EQ(stored.AsString(), name.AsString());
    }
}

TEST_F(ConnectionTest, TooLongTextIsRefusedAndChangesNothing) {
    connection.Execute(u"update KANRI set PASS_WD = 'old' where (KY = 1)"_s);
    const QString cases[] = {
        u"12345678901"_s,             // eleven characters into VARCHAR(10)
        u"あいうえおかきくけこさ"_s,  // eleven, though within the column's bytes
        u"あいうえおかきくけこ𠮷"_s,  // eleven, one outside the BMP
        u"あいうえおかきくけ𠮷"_s,    // ten, but 31 bytes: more than the column's room of 30
    };
    for (const QString& text : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_THROW(connection.Execute(u"update KANRI set PASS_WD = :P where (KY = 1)"_s, {{u"P"_s, text}}),
                     db::Error);
        EXPECT_EQ(connection.Select(u"select PASS_WD from KANRI"_s).rows[0][0], Value(u"old"));
    }
    EXPECT_EQ(connection.Execute(u"update KANRI set PASS_WD = :P where (KY = 1)"_s,
                                 {{u"P"_s, u"あいうえおかきくけこ"_s}}),
              1);
    // An ASCII column holds as many characters as declared.
    EXPECT_THROW(connection.Execute(u"update KANRI set DB_VERSION = :V"_s, {{u"V"_s, QString(21, u'9')}}),
                 db::Error);
}

TEST_F(ConnectionTest, TableChangesAreSeenByStatementsPreparedBefore) {
    auto use = connection.UseDataset();
    const QString select = u"select * from KANRI"_s;
    EXPECT_EQ(connection.Select(select).columns.size(), 5u);
    connection.Execute(u"alter table KANRI add EXTRA integer"_s);
    EXPECT_EQ(connection.Select(select).columns.size(), 6u);
    connection.Execute(u"alter table KANRI drop EXTRA"_s);
    EXPECT_EQ(connection.Select(select).columns.size(), 5u);
}

}  // namespace
