// What computers sharing one organisation database rely on, through a real
// Firebird server: work-table keys claimed in the database and known alive from
// the server's attachments, line numbers from a sequence, the services that
// validate, back up and restore a database the server holds, and a connect that
// gives up on a server that never answers.

#include "core/Errors.h"
#include "db/Connection.h"
#include "core/KyotsuUnit.h"
#include "db/DataModule.h"
#include "db/DatabaseServices.h"
#include "db/Error.h"
#include "db/WorkKeys.h"
#include "tests/support/FirebirdServer.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>

#include <set>
#include <thread>

using namespace Qt::Literals::StringLiterals;

namespace {

using db::Connection;

const QDateTime kAt = QDateTime::fromString(u"20220401093000"_s, u"yyyyMMddhhmmss"_s);

class SharingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!server.Available())
            GTEST_SKIP() << server.Reason().toStdString();
    }
    Connection::DatabaseStringProvider ViaServer() const {
        return [s = server.DatabaseString(scratch.Path())] { return s; };
    }
    static QString Value(Connection& c, const QString& sql, const Connection::Params& params = {}) {
        const auto rows = c.Select(sql, params).rows;
        return rows.empty() ? QString() : rows.front().front().AsString();
    }
    static void AddWorkRow(Connection& c, const db::WorkKey& key, int seqNo) {
        c.Execute(u"insert into W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN, NENDO) "
                  u"values (:C, :J, :S, 0, 2021)"_s,
                  {{u"C"_s, key.cpuName}, {u"J"_s, key.jikoku}, {u"S"_s, seqNo}});
    }
    static QStringList AbandonedKeys(Connection& c) {
        QStringList keys;
        for (const auto& load : db::AbandonedLoads(c, u"W_MEISAI"_s))
            keys << load.key.cpuName + u'/' + load.key.jikoku + u'/' + QString::number(load.nendo) + u'/' +
                        load.hostName;
        return keys;
    }

    FirebirdServer server;
    ScratchDatabase scratch;
};

TEST_F(SharingTest, WindowsOnComputersWithOneCutNameNeverShareAKeyAndStayAliveWhileAttached) {
    Connection first(ViaServer());
    Connection second(ViaServer());
    Connection observer(ViaServer());
    std::optional<db::WorkKeyClaim> a, b;
    a.emplace(first, u"W_MEISAI"_s, 2021, u"TREASURER-NOTEPC-1"_s, kAt);
    b.emplace(second, u"W_MEISAI"_s, 2021, u"TREASURER-NOTEPC-2"_s, kAt);
    EXPECT_EQ(a->Key().cpuName, u"TREASURER-NOTEP"_s);
    EXPECT_EQ(b->Key().cpuName, u"TREASURER-NOTEP"_s);
    EXPECT_EQ(a->Key().jikoku, u"20220401093000"_s);
    EXPECT_EQ(b->Key().jikoku, u"20220401093001"_s) << "the same second is taken";
    AddWorkRow(first, a->Key(), 1);
    AddWorkRow(second, b->Key(), 2);

    // A load left by a program that did not claim keys is abandoned, known by its
    // cut name only; the open windows are not.
    const db::WorkKey old{u"OLD-PC"_s, u"20200101000000"_s};
    AddWorkRow(observer, old, 3);
    EXPECT_EQ(AbandonedKeys(observer), QStringList{u"OLD-PC/20200101000000/2021/"_s});
    const auto oldLoad = db::AbandonedLoads(observer, u"W_MEISAI"_s).front();
    EXPECT_TRUE(db::IsFromComputer(oldLoad, u"OLD-PC"_s));
    EXPECT_FALSE(db::IsFromComputer(oldLoad, u"OLD-PC-2"_s));
    EXPECT_TRUE(db::DiscardLoad(observer, u"W_MEISAI"_s, oldLoad));
    EXPECT_TRUE(AbandonedKeys(observer).isEmpty());

    // The first program's attachment ends (its process killed, its network gone):
    // its load is abandoned and known to be from its computer, in full.
    first.Close();
    EXPECT_EQ(AbandonedKeys(observer), QStringList{u"TREASURER-NOTEP/20220401093000/2021/TREASURER-NOTEPC-1"_s});
    // Connecting again, the claim follows the program to its new attachment: the
    // load found abandoned a moment ago is not discarded after all.
    const auto lost = db::AbandonedLoads(observer, u"W_MEISAI"_s).front();
    Value(first, u"select 1 from RDB$DATABASE"_s);
    EXPECT_TRUE(AbandonedKeys(observer).isEmpty());
    EXPECT_FALSE(db::DiscardLoad(observer, u"W_MEISAI"_s, lost));
    EXPECT_EQ(Value(observer, u"select count(*) from W_MEISAI"_s), u"2"_s);

    // A load cleared as abandoned (its program was gone for a while) cannot be
    // saved from: its rows are no longer whole.
    first.Close();
    EXPECT_TRUE(db::DiscardLoad(observer, u"W_MEISAI"_s, db::AbandonedLoads(observer, u"W_MEISAI"_s).front()));
    first.StartTransaction();
    EXPECT_THROW(a->Confirm(), EAppError);
    first.Rollback();
    b->Confirm();

    // Letting go removes the rows and the claim; the other window's stay.
    a.reset();
    b.reset();
    EXPECT_EQ(Value(observer, u"select count(*) from W_MEISAI"_s), u"0"_s);
    EXPECT_EQ(Value(observer, u"select count(*) from W_KEY"_s), u"0"_s);
}

TEST_F(SharingTest, TwoComputersTakingLineNumbersAtOnceNeverShareOne) {
    {
        // A database from before the sequence: created at login, above the lines.
        Connection setup(ViaServer());
        setup.Execute(u"drop sequence SEQ_MEISAI"_s);
        setup.Execute(u"drop table W_KEY"_s);
        setup.Execute(u"insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO) values (480, 0, 2020)"_s);
        AddWorkRow(setup, {u"PC"_s, u"20210101000000"_s}, 517);
        EXPECT_TRUE(db::EnsureSharingObjects(setup));
        EXPECT_TRUE(db::EnsureSharingObjects(setup)) << "a second login changes nothing";
        EXPECT_EQ(db::NextLineNumber(setup), 518);
    }
    constexpr int kEach = 100;
    std::vector<int> numbers[2];
    std::vector<std::thread> computers;
    for (auto& taken : numbers)
        computers.emplace_back([&, provider = ViaServer()] {
            Connection connection(provider);
            const auto use = connection.UseDataset();
            for (int i = 0; i < kEach; ++i)
                taken.push_back(db::NextLineNumber(connection));
        });
    for (auto& t : computers)
        t.join();
    std::set<int> all(numbers[0].begin(), numbers[0].end());
    all.insert(numbers[1].begin(), numbers[1].end());
    EXPECT_EQ(all.size(), 2u * kEach);
    EXPECT_GT(*all.begin(), 518);
}

TEST_F(SharingTest, TheServerValidatesBacksUpAndRestoresTheDatabasesItHolds) {
    const QString live = server.DatabaseString(scratch.Path());
    Connection program(ViaServer());
    program.Execute(u"update KANRI set DANTAIMEI = '東町会' where (KY = 1)"_s);
    EXPECT_EQ(db::ValidationFindings(live), QString());

    const TempFolder folder;
    const QString backup = folder.File(u"東町会.fbk"_s);
    db::BackupDatabase(live, backup);
    program.Execute(u"update KANRI set DANTAIMEI = '変更後' where (KY = 1)"_s);
    // The server refuses to replace a database someone is attached to.
    program.Open();
    EXPECT_THROW(db::RestoreDatabase(backup, live, true), db::Error);
    program.Close();
    db::RestoreDatabase(backup, live, true);
    EXPECT_EQ(Value(program, u"select DANTAIMEI from KANRI"_s), u"東町会"_s);

    // A copy with a zeroed page in the middle still opens; only the validation
    // finds what is broken.
    program.Close();
    const QString damaged = folder.File(u"damaged.FDB"_s);
    db::RestoreDatabase(backup, server.DatabaseString(damaged), false);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    const qint64 pages = file.size() / 8192;
    for (qint64 page = pages / 2; page < pages / 2 + 10; ++page) {
        file.seek(page * 8192);
        file.write(QByteArray(8192, '\0'));
    }
    file.close();
    bool refused = false;
    try {
        refused = !db::ValidationFindings(server.DatabaseString(damaged)).isEmpty();
    } catch (const db::Error&) {
        refused = true;
    }
    EXPECT_TRUE(refused);
}

// A listening socket that never accepts: the system completes the connection and
// nothing ever answers, like a server that hangs.
class SilentListener {
  public:
    SilentListener() : fd_(::socket(AF_INET, SOCK_STREAM, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (::bind(fd_, reinterpret_cast<sockaddr*>(&address), length) == 0 && ::listen(fd_, 8) == 0 &&
            ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentListener() { ::close(fd_); }
    int Port() const { return port_; }

  private:
    int fd_;
    int port_ = 0;
};

TEST(ServerConnect, AServerThatNeverAnswersIsGivenUpAfterTheTimeoutWithTheMessage) {
    const SilentListener silent;
    ASSERT_NE(silent.Port(), 0);
    const QString server = u"localhost/%1"_s.arg(silent.Port());
    CurrentDantai = u"東町会"_s;
    TDataModule1 module([&] { return server + u":/data/東町会/TSUBAKI.FDB"_s; });
    QElapsedTimer waited;
    waited.start();
    try {
        module.SQLConnection1.Open();
        ADD_FAILURE() << "connected to a server that never answers";
    } catch (const db::Error& e) {
        EXPECT_TRUE(e.Message().startsWith(u"「東町会」のデータベースサーバー（"_s + server +
                                           u"）に接続できません。\r\n"_s))
            << e.Message().toStdString();
    }
    // The settings' default of a few seconds, well short of the client library's
    // own three minutes.
    EXPECT_LT(waited.elapsed(), 30000);
    EXPECT_FALSE(module.SQLConnection1.Connected());
    ClearLoginState();
}

}  // namespace
