// Computers that share an organisation database reach it through a Firebird server
// as host/port:path. The same connection, over the network, to a real server.

#include "db/Connection.h"
#include "db/Error.h"
#include "tests/support/FirebirdServer.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <firebird/Interface.h>

using namespace Qt::Literals::StringLiterals;

namespace {

using db::Connection;

TEST(ServerConnection, TwoComputersShareOneDatabaseThroughTheServer) {
    const FirebirdServer server;
    if (!server.Available())
        GTEST_SKIP() << server.Reason().toStdString();
    const ScratchDatabase scratch;  // in a folder with a Japanese name
    const auto viaServer = [&] { return server.DatabaseString(scratch.Path()); };
    Connection first(viaServer);
    Connection second(viaServer);
    const auto value = [](Connection& c, const QString& sql) { return c.Select(sql).rows.at(0).at(0); };

    EXPECT_EQ(value(first,
                    u"select MON$REMOTE_PROTOCOL from MON$ATTACHMENTS where "
                    "(MON$ATTACHMENT_ID = current_connection)"_s)
                  .AsString()
                  .trimmed(),
              u"TCPv4"_s);
    // What one computer commits, the other reads, Japanese text included.
    first.Execute(u"update KANRI set DANTAIMEI = :Name where (KY = 1)"_s, {{u"Name"_s, u"東町会"_s}});
    EXPECT_EQ(value(second, u"select DANTAIMEI from KANRI where (KY = 1)"_s).AsString(), u"東町会"_s);

    // A row one computer is changing is refused to the other at once.
    first.StartTransaction();
    first.Execute(u"update KANRI set DANTAIMEI = '西町会' where (KY = 1)"_s);
    try {
        second.Execute(u"update KANRI set DANTAIMEI = '南町会' where (KY = 1)"_s);
        ADD_FAILURE() << "the second computer should not get the row";
    } catch (const db::Error& e) {
        EXPECT_EQ(e.Code(), isc_deadlock) << e.Message().toStdString();
    }
    EXPECT_EQ(value(second, u"select DANTAIMEI from KANRI where (KY = 1)"_s).AsString(), u"東町会"_s);
    first.Rollback();
    EXPECT_EQ(second.Execute(u"update KANRI set DANTAIMEI = '南町会' where (KY = 1)"_s), 1);
    EXPECT_EQ(value(first, u"select DANTAIMEI from KANRI where (KY = 1)"_s).AsString(), u"南町会"_s);
}

}  // namespace
