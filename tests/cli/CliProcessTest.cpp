// The command line as a process on a copy of the sample organisation: each wrong
// organisation, year, kind, division or password gets its message and its exit
// status; reports and exports leave the saved tables as they were and no work row
// behind; a database the window program holds is reported busy at once.

#include "tests/cli/CliFixture.h"

#include "platform/InstanceLock.h"
#include "tests/support/FirebirdServer.h"

#include <QDir>
#include <QFile>

#include <algorithm>

using namespace Qt::Literals::StringLiterals;

namespace {

class CliProcessTest : public CliFixture {
  protected:
    // Every saved table of the organisation, row by row (as text, sorted), and the
    // work tables' row counts.
    static QStringList Snapshot(const QString& dantai) {
        db::Connection connection(Provider(dantai));
        QStringList lines;
        for (const QString& table :
             {u"KANRI"_s, u"NENDO"_s, u"MEISAI"_s, u"YOSAN"_s, u"KURIKOSI"_s, u"KESSAN"_s, u"CYUKAN_KESSAN"_s,
              u"CYUKAN_KESSAN_NENDO"_s, u"KAMOKU"_s, u"BUNRUI"_s, u"KAIKEI_KUBUN"_s}) {
            QStringList rows;
            for (const auto& row : connection.Select(u"select * from "_s + table).rows) {
                QStringList cells;
                for (const db::Value& v : row)
                    cells << (v.IsNull() ? u"-"_s : v.AsString());
                rows << table + u": "_s + cells.join(u'|');
            }
            rows.sort();
            lines << rows;
        }
        for (const QString& table : {u"W_MEISAI"_s, u"W_YOSAN"_s, u"W_KESSAN"_s, u"W_KEY"_s})
            lines << table + u" rows: "_s +
                         connection.Select(u"select count(*) from "_s + table).rows.at(0).at(0).AsString();
        connection.Close();
        return lines;
    }
};

TEST_F(CliProcessTest, EachWrongRequestHasItsMessageAndExitStatus) {
    const QString pass = Folder() + u"/pass.txt"_s;
    const QString wrongPass = Folder() + u"/wrong.txt"_s;
    WriteFile(pass, "hana\n");
    WriteFile(wrongPass, "Hana\n");
    const QString out = Out(u"wrong.xlsx"_s);
    const struct {
        QStringList args;
        int code;
        QString says;
    } cases[] = {
        {{u"report"_s, u"--org"_s, u"どこか"_s, u"--year"_s, u"2026"_s, u"--kind"_s, u"決算書１"_s,
          u"--out"_s, out},
         3,
         u"団体「どこか」は登録されていません。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2030"_s, u"--kind"_s, u"決算書１"_s, u"--out"_s,
          out},
         3,
         u"2030年度の基礎データが設定されていません。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"決算書９"_s, u"--out"_s,
          out},
         3,
         u"帳票の種類「決算書９」はありません。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"収支明細表"_s,
          u"--division"_s, u"77"_s, u"--out"_s, out},
         3,
         u"会計区分 77 は 2026年度にはありません。"_s},
        {{u"report"_s, u"--org"_s, kLocked, u"--year"_s, u"2026"_s, u"--kind"_s, u"決算書１"_s, u"--out"_s,
          out},
         3,
         u"--password-file で指定してください。"_s},
        {{u"report"_s, u"--org"_s, kLocked, u"--year"_s, u"2026"_s, u"--kind"_s, u"決算書１"_s,
          u"--password-file"_s, wrongPass, u"--out"_s, out},
         3,
         u"パスワードが正しくありません。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"予算書１"_s,
          u"--closing"_s, u"0930"_s, u"--out"_s, out},
         2,
         u"--closing は決算書にだけ指定できます。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--out"_s, out}, 2, u"--kind"_s},
        {{u"export"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--format"_s, u"csv"_s, u"--out"_s,
          Folder() + u"/no/such/folder/a.csv"_s},
         5,
         u"に書き出せません。"_s},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliResult result = Run(c.args);
        EXPECT_EQ(result.code, c.code) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
        EXPECT_TRUE(result.out.isEmpty());
        EXPECT_FALSE(QFile::exists(out));
    }
    // The right password opens it.
    const CliResult opened = Run({u"export"_s, u"--org"_s, kLocked, u"--year"_s, u"2026"_s, u"--format"_s,
                                  u"csv"_s, u"--password-file"_s, pass, u"--out"_s, Out(u"locked.csv"_s)});
    EXPECT_EQ(opened.code, 0) << opened.err.toStdString();
    EXPECT_TRUE(QFile::exists(Out(u"locked.csv"_s)));
}

TEST_F(CliProcessTest, ReportsAndExportsLeaveTheSavedTablesAsTheyWereAndNoWorkRows) {
    const QStringList before = Snapshot(kSample);
    ASSERT_TRUE(before.contains(u"W_KEY rows: 0"_s));
    const QList<QStringList> runs{
        {u"--kind"_s, u"収支明細表"_s, u"--division"_s, u"0"_s, u"--from"_s, u"0501"_s, u"--to"_s, u"0831"_s,
         u"--out"_s, Out(u"listing.xlsx"_s)},
        {u"--kind"_s, u"月別集計表"_s, u"--out"_s, Out(u"monthly.xlsx"_s)},
        {u"--kind"_s, u"予算書1"_s, u"--zero"_s, u"--out"_s, Out(u"budget.xlsx"_s)},
        {u"--kind"_s, u"決算書６"_s, u"--out"_s, Out(u"settlement.xlsx"_s)},
        // The year 2026 has no interim statement of 30 September saved: its texts start
        // from the year's, in memory only.
        {u"--kind"_s, u"決算書３"_s, u"--closing"_s, u"0930"_s, u"--out"_s, Out(u"interim.xlsx"_s)},
    };
    for (const QStringList& run : runs) {
        SCOPED_TRACE(run.join(u' ').toStdString());
        const CliResult result =
            Run(QStringList{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s} + run);
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
        EXPECT_TRUE(ReadFile(run.back()).startsWith("PK")) << "a workbook package";
    }
    for (const QString& format : {u"csv"_s, u"ledger"_s}) {
        const CliResult result = Run({u"export"_s, u"--org"_s, kSample, u"--year"_s, u"2025"_s, u"--format"_s,
                                      format, u"--out"_s, Out(u"journal."_s + format)});
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
    }
    EXPECT_EQ(Snapshot(kSample), before);
}

// A year kept without a budget still gets its settlement statements, with a note.
TEST_F(CliProcessTest, ASettlementWithoutABudgetIsMadeWithANote) {
    const QString pass = Folder() + u"/pass-nobudget.txt"_s;
    WriteFile(pass, "hana\n");
    {
        db::Connection connection(Provider(kLocked));
        connection.Execute(u"delete from YOSAN where NENDO = 2026"_s);
    }
    for (const QString& kind : {u"簡易決算書"_s, u"決算書５"_s}) {
        SCOPED_TRACE(kind.toStdString());
        const QString out = Out(u"nobudget-"_s + kind + u".xlsx"_s);
        const CliResult result = Run({u"report"_s, u"--org"_s, kLocked, u"--year"_s, u"2026"_s, u"--kind"_s,
                                      kind, u"--password-file"_s, pass, u"--out"_s, out});
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(
            u"2026年度の予算データが登録されていません。予算額の欄は空欄で出力します。"_s))
            << result.err.toStdString();
        EXPECT_TRUE(ReadFile(out).startsWith("PK")) << "a workbook package";
    }
}

TEST_F(CliProcessTest, ADatabaseOpenInTheWindowProgramIsBusyAtOnce) {
    const QStringList report{u"report"_s, u"--org"_s,    kSample,    u"--year"_s,        u"2026"_s,
                             u"--kind"_s, u"決算書１"_s, u"--out"_s, Out(u"busy.xlsx"_s)};
    {
        // This process holds the embedded database, as the window program does
        // while the organisation is logged in.
        db::Connection window(Provider(kSample));
        const auto held = window.UseDataset();
        window.Open();
        const CliResult result = Run(report);
        EXPECT_EQ(result.code, 4) << result.err.toStdString();
        EXPECT_TRUE(result.err.contains(u"データベースは他のプログラムで使用中です。"_s))
            << result.err.toStdString();
        EXPECT_FALSE(QFile::exists(Out(u"busy.xlsx"_s)));
    }
    const CliResult afterwards = Run(report);
    EXPECT_EQ(afterwards.code, 0) << afterwards.err.toStdString();
}

TEST_F(CliProcessTest, ThroughAServerTheWindowProgramAndTheCommandRunAtOnce) {
    const FirebirdServer server;
    if (!server.Available())
        GTEST_SKIP() << server.Reason().toStdString();
    const QString shared = u"共有会"_s;
    ASSERT_TRUE(QDir().mkpath(Folder() + u"/db/"_s + shared));
    ASSERT_TRUE(QFile::copy(qEnvironmentVariable("TSUBAKI_APP_DIR") + u"/OrgDB/SampleDB/TSUBAKI.FDB"_s,
                            DatabaseOf(shared)));
    QFile::setPermissions(DatabaseOf(shared), QFile::ReadOwner | QFile::WriteOwner);
    const QString entry = server.DatabaseString(DatabaseOf(shared));
    const QString ini = ProgramFolder() + u"/Tsubaki.ini"_s;
    const QByteArray settings = ReadFile(ini);
    WriteFile(ini, QString::fromUtf8(settings)
                       .replace(u"[DBList]\n"_s, u"[DBList]\n"_s + shared + u'=' + entry + u'\n')
                       .toUtf8());
    {
        // The window program has the year open through the server meanwhile.
        db::Connection window([entry] { return entry; });
        const auto held = window.UseDataset();
        window.Open();
        const CliResult report = Run({u"report"_s, u"--org"_s, shared, u"--year"_s, u"2026"_s, u"--kind"_s,
                                      u"決算書１"_s, u"--out"_s, Out(u"shared.xlsx"_s)});
        EXPECT_EQ(report.code, 0) << report.err.toStdString();
        EXPECT_TRUE(ReadFile(Out(u"shared.xlsx"_s)).startsWith("PK"));
        EXPECT_EQ(window.Select(u"select count(*) from W_KESSAN"_s).rows.at(0).at(0).AsInteger(), 0);
        window.Close();
    }
    WriteFile(ini, settings);
}

TEST_F(CliProcessTest, HelpAndListNeedNoOrganisationNorTheWindowProgramsAbsence) {
    // The window program is running in this desktop login (its instance lock held).
    const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", (Folder() + u"/run"_s).toLocal8Bit());
    const platform::InstanceLock windowProgram(u"Tsubaki1"_s);
    ASSERT_TRUE(windowProgram.Held());
    const CliResult help = Run({u"--help"_s});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(u"終了コード"_s));
    EXPECT_TRUE(help.out.contains(u"Exit status"_s));
    const CliResult list = Run({u"report"_s, u"--list"_s});
    EXPECT_EQ(list.code, 0);
    const QStringList lines = list.out.split(u'\n', Qt::SkipEmptyParts);
    // The journal's two workbooks and every line of the two statement lists.
    ASSERT_EQ(lines.size(), 2 + 15 + 9);
    EXPECT_TRUE(lines.front().startsWith(u"収支明細表\t"_s));
    EXPECT_TRUE(lines.contains(u"予算書１０\t予算書９に科目分類ごとの小計行を加えたもの"_s));
    EXPECT_TRUE(lines.back().startsWith(u"決算書８\t"_s));
    if (runtime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtime);
}

}  // namespace
