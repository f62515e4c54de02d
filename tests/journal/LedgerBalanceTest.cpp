// The ledger export read by the real hledger: on the sample organisation's years,
// each division's funds end at the settlement's carry-over to the next year and
// every item at its settlement amount, the settlement computed as its window
// computes it.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <map>

#include "data/DataSet.h"
#include "data/DataSetOperation.h"
#include "data/SqlCommand.h"
#include "db/WorkKeys.h"
#include "journal/JournalExport.h"
#include "platform/Folders.h"
#include "statements/StatementLoads.h"
#include "tests/support/ScratchDatabase.h"

using namespace Qt::Literals::StringLiterals;

namespace {

// hledger's balance of every account, as CSV rows "account","amount".
std::map<QString, qint64> HledgerBalances(const QString& hledger, const QString& journal) {
    QProcess balance;
    balance.start(hledger, {u"-f"_s, journal, u"balance"_s, u"--flat"_s, u"-O"_s, u"csv"_s});
    EXPECT_TRUE(balance.waitForFinished(120000));
    EXPECT_EQ(balance.exitCode(), 0) << balance.readAllStandardError().toStdString();
    std::map<QString, qint64> balances;
    const QStringList lines = QString::fromUtf8(balance.readAllStandardOutput()).split(u'\n');
    for (QString line : lines) {
        line.remove(u'"');
        const qsizetype comma = line.indexOf(u',');
        if (comma < 0 || line.startsWith(u"account"_s) || line.startsWith(u"total"_s))
            continue;
        QString amount = line.mid(comma + 1).remove(u" JPY"_s).remove(u"JPY"_s).remove(u',').trimmed();
        balances[line.left(comma)] = amount.toLongLong();
    }
    return balances;
}

class LedgerBalanceTest : public ::testing::TestWithParam<int> {
  protected:
    LedgerBalanceTest() {
        const QString sample = qEnvironmentVariable("TSUBAKI_APP_DIR") + u"/OrgDB/SampleDB/TSUBAKI.FDB"_s;
        QFile::remove(database.Path());
        if (!QFile::copy(sample, database.Path()))
            throw std::runtime_error("cannot copy the sample organisation database");
        QFile::setPermissions(database.Path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }

    // The settlement of the year as its window loads it: division name and item
    // code → 決算額.
    std::map<std::pair<QString, int>, qint64> Settlement(int year) {
        db::EnsureSharingObjects(connection);
        data::SqlCommand command(u"KamokuSQL"_s, &connection);
        command.SetCommandText(statements::StatementKamokuSql());
        data::DataSet kamoku(u"KamokuClientDS"_s);
        kamoku.SetCommand(&command);
        data::DsOpen(kamoku);
        db::WorkKeyClaim claim(connection, u"W_KESSAN"_s, year, platform::FullHostName(),
                               QDateTime::currentDateTime());
        statements::SettleToWorkRows(connection, year, QString(), claim.Key(), kamoku);
        kamoku.Close();
        std::map<std::pair<QString, int>, qint64> amounts;
        for (const auto& r :
             connection
                 .Select(u"select KK.MEISYO, W.KAMOKU, W.KESSAN from W_KESSAN W join KAIKEI_KUBUN KK on "
                         u"(KK.CD = W.KAIKEI_KUBUN) where (W.CPU_NAME = :C) and (W.JIKOKU = :J)"_s,
                         {{u"C"_s, claim.Key().cpuName}, {u"J"_s, claim.Key().jikoku}})
                 .rows)
            if (!r[2].IsNull() && r[2].AsInteger() != 0)
                amounts[{r[0].AsString().trimmed(), static_cast<int>(r[1].AsInteger())}] = r[2].AsInteger();
        return amounts;
    }

    ScratchDatabase database;
    TempFolder folder;
    db::Connection connection{database.Provider()};
};

}  // namespace

TEST_P(LedgerBalanceTest, EachDivisionsFundsEndAtTheSettlementsCarryOver) {
    const QString hledger = QStandardPaths::findExecutable(u"hledger"_s);
    if (hledger.isEmpty())
        GTEST_SKIP() << "hledger is not installed";
    const int year = GetParam();
    const QString journal = folder.File(u"%1.journal"_s.arg(year));
    WriteJournalFile(connection, {year, std::nullopt}, JournalFormat::Ledger, journal);
    const std::map<QString, qint64> balances = HledgerBalances(hledger, journal);
    const auto settlement = Settlement(year);
    ASSERT_FALSE(settlement.empty());

    int funds = 0;
    int items = 0;
    for (const auto& [key, kessan] : settlement) {
        const auto& [division, kamoku] = key;
        SCOPED_TRACE((division + u' ' + QString::number(kamoku)).toStdString());
        if (kamoku == 8000) {
            EXPECT_EQ(balances.at(u"資金:"_s + division), kessan);
            ++funds;
            continue;
        }
        // The item's account: "収入:<division>:<code> <name>" (receipts negative).
        const auto found = std::find_if(balances.begin(), balances.end(), [&](const auto& b) {
            const QStringList parts = b.first.split(u':');
            return parts.size() == 3 && parts[1] == division &&
                   parts[2].section(u' ', 0, 0) == QString::number(kamoku);
        });
        ASSERT_NE(found, balances.end());
        EXPECT_EQ(found->first.startsWith(u"収入"_s) ? -found->second : found->second, kessan);
        ++items;
    }
    EXPECT_GE(funds, 2) << "the sample has a special account";
    EXPECT_GT(items, 10);
}

INSTANTIATE_TEST_SUITE_P(SampleYears, LedgerBalanceTest, ::testing::Values(2025, 2026));
