// The command line's arguments: what each form asks for, and every way of getting
// them wrong answered with the usage status and what is wrong.

#include "cli/CommandLine.h"

#include <gtest/gtest.h>

using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Args(const QString& line) {
    return line.split(u' ', Qt::SkipEmptyParts);
}

TEST(CommandLine, TheWindowStartsWithoutACommand) {
    EXPECT_FALSE(cli::IsCommandLine({}));
    EXPECT_FALSE(cli::IsCommandLine({u"--folders"_s}));
    EXPECT_FALSE(cli::IsCommandLine({u"-platform"_s, u"xcb"_s}));
    // A mistyped command is the command line's to refuse, not a window's to ignore.
    for (const QString& first : {u"report"_s, u"export"_s, u"--help"_s, u"-h"_s, u"reprot"_s})
        EXPECT_TRUE(cli::IsCommandLine({first})) << first.toStdString();
}

TEST(CommandLine, ReadsEveryOptionOfEachCommand) {
    const cli::Options report = cli::ParseCommandLine(
        Args(u"report --org 東町会 --year 2026 --kind 収支明細表 --division 2 --from 0401 --to 0930 --zero "
             u"--password-file p.txt --out a.PDF"_s));
    EXPECT_EQ(report.command, cli::Command::Report);
    EXPECT_EQ(report.org, u"東町会"_s);
    EXPECT_EQ(report.year, 2026);
    EXPECT_EQ(report.kind, u"収支明細表"_s);
    EXPECT_EQ(report.division, 2);
    EXPECT_EQ(report.from, u"0401"_s);
    EXPECT_EQ(report.to, u"0930"_s);
    EXPECT_TRUE(report.zero);
    EXPECT_EQ(report.passwordFile, u"p.txt"_s);
    EXPECT_EQ(report.out, u"a.PDF"_s);

    const cli::Options closing = cli::ParseCommandLine(
        Args(u"report --org A --year 2026 --kind 決算書１ --closing 0930 --charts --out a.xlsx"_s));
    EXPECT_EQ(closing.closing, u"0930"_s);
    EXPECT_FALSE(closing.division.has_value());
    EXPECT_FALSE(closing.balances);
    EXPECT_TRUE(
        cli::ParseCommandLine(Args(u"report --org A --year 2026 --kind 決算書１ --balances --out a.xlsx"_s))
            .balances);
    EXPECT_TRUE(closing.charts);
    EXPECT_FALSE(report.charts);

    const cli::Options ledger = cli::ParseCommandLine(Args(
        u"report --org A --year 2026 --kind 未納一覧 --date ２０２６/１２/１ --dues 一般会費 --numbers 12-20 "
        u"--out a.xlsx"_s));
    EXPECT_EQ(ledger.date, QDate(2026, 12, 1));
    EXPECT_EQ(ledger.dues, u"一般会費"_s);
    EXPECT_EQ(ledger.numbers, std::make_pair(12, 20));
    EXPECT_EQ(
        cli::ParseCommandLine(Args(u"report --org A --year 2026 --kind 領収書 --numbers 7 --out a.xlsx"_s))
            .numbers,
        std::make_pair(7, 7));
    EXPECT_FALSE(report.date.isValid());
    EXPECT_FALSE(report.numbers.has_value());

    const cli::Options exported =
        cli::ParseCommandLine(Args(u"export --org A --year 2025 --format ledger --out a.journal"_s));
    EXPECT_EQ(exported.command, cli::Command::Export);
    EXPECT_EQ(exported.format, u"ledger"_s);

    EXPECT_EQ(cli::ParseCommandLine(Args(u"report --list"_s)).command, cli::Command::List);
    EXPECT_EQ(cli::ParseCommandLine(Args(u"report --org A --help"_s)).command, cli::Command::Help);
    EXPECT_EQ(cli::ParseCommandLine(Args(u"--help"_s)).command, cli::Command::Help);
}

TEST(CommandLine, WrongArgumentsAreUsageErrorsThatSayWhatIsWrong) {
    const struct {
        const char16_t* args;
        const char16_t* says;
    } cases[] = {
        {u"print --org A", u"コマンドは report か export"},
        {u"report --year 2026 --kind 決算書１ --out a.xlsx", u"--org"},
        {u"report --org A --kind 決算書１ --out a.xlsx", u"--year"},
        {u"report --org A --year 26 --kind 決算書１ --out a.xlsx", u"4桁"},
        {u"report --org A --year 2026 --out a.xlsx", u"--kind"},
        {u"report --org A --year 2026 --kind 決算書１", u"--out"},
        {u"report --org A --year 2026 --kind 決算書１ --out a.csv", u".xlsx か .pdf"},
        {u"report --org A --year 2026 --kind 収支明細表 --from 1301 --out a.xlsx", u"MMDD"},
        {u"report --org A --year 2026 --kind 収支明細表 --to 0432 --out a.xlsx", u"MMDD"},
        {u"report --org A --year 2026 --kind 収支明細表 --division x --out a.xlsx", u"--division"},
        {u"report --org A --year 2026 --kind 決算書１ --format csv --out a.xlsx", u"使えないオプション"},
        {u"report --org A --year 2026 --kind 決算書１ --out", u"--out の値がありません"},
        {u"export --org A --year 2026 --kind 決算書１ --out a.csv", u"使えないオプション"},
        {u"export --org A --year 2026 --out a.csv", u"--format"},
        {u"export --org A --year 2026 --format xml --out a.csv", u"csv か ledger"},
        {u"export --org A --year 2026 --zero --format csv --out a.csv", u"使えないオプション"},
        {u"export --org A --year 2026 --charts --format csv --out a.csv", u"使えないオプション"},
        {u"report --org A --year 2026 --kind 未納一覧 --date 12/1 --out a.xlsx", u"--date"},
        {u"report --org A --year 2026 --kind 領収書 --numbers 20-12 --out a.xlsx", u"--numbers"},
        {u"report --org A --year 2026 --kind 領収書 --numbers 0 --out a.xlsx", u"--numbers"},
        {u"report --org A --year 2026 --kind 領収書 --numbers 1-x --out a.xlsx", u"--numbers"},
        {u"export --org A --year 2026 --dues 1 --format csv --out a.csv", u"使えないオプション"},
    };
    for (const auto& c : cases) {
        const QString line = QString::fromUtf16(c.args);
        SCOPED_TRACE(line.toStdString());
        try {
            cli::ParseCommandLine(Args(line));
            ADD_FAILURE() << "accepted";
        } catch (const cli::CliError& e) {
            EXPECT_EQ(e.Code(), cli::kExitUsage);
            EXPECT_TRUE(e.Message().contains(QString::fromUtf16(c.says))) << e.Message().toStdString();
        }
    }
}

}  // namespace
