// The command line as a process on a copy of the sample organisation: each wrong
// organisation, year, kind, division or password gets its message and its exit
// status; reports and exports leave the saved tables as they were and no work row
// behind; a database the window program holds is reported busy at once.

#include "tests/cli/CliFixture.h"

#include "platform/InstanceLock.h"
#include "sheet/Application.h"
#include "sheet/Workbook.h"
#include "sheet/Worksheet.h"
#include "tests/support/FirebirdServer.h"
#include "tests/support/QueryRows.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTest>

#include <algorithm>
#include <functional>

#include <csignal>

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
        lines << u"SEQ_MEISAI: "_s + connection.Select(u"select gen_id(SEQ_MEISAI, 0) from RDB$DATABASE"_s)
                                         .rows.at(0)
                                         .at(0)
                                         .AsString();
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
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"決算書９９"_s, u"--out"_s,
          out},
         3,
         u"帳票の種類「決算書９９」はありません。"_s},
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
         u"--closing は決算書と残高照合表にだけ指定できます。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2025"_s, u"--kind"_s, u"残高照合表"_s,
          u"--balances"_s, u"--out"_s, out},
         2,
         u"--balances は決算書にだけ指定できます。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--out"_s, out}, 2, u"--kind"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"未納一覧"_s, u"--dues"_s,
          u"1"_s, u"--out"_s, out},
         2,
         u"--dues は会費徴収一覧にだけ指定できます。"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"会費徴収一覧"_s,
          u"--dues"_s, u"防犯会費"_s, u"--out"_s, out},
         3,
         u"会費の種別「防犯会費」は 2026年度にはありません。この年度の種別: 1 一般会費、2 夏祭り協賛"_s},
        {{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"領収書"_s, u"--numbers"_s,
          u"90000-90009"_s, u"--out"_s, out},
         3,
         u"2026年度に番号 90000～90009 の領収書はありません。"_s},
        // A file that never ends is read no further than a password's length.
        {{u"report"_s, u"--org"_s, kLocked, u"--year"_s, u"2026"_s, u"--kind"_s, u"決算書１"_s,
          u"--password-file"_s, u"/dev/zero"_s, u"--out"_s, out},
         2,
         u"パスワードのファイル「/dev/zero」の1行目が長すぎます"_s},
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

// The processes other than `self` whose command line mentions `text`.
QStringList ProcessesMentioning(const QString& text, qint64 self) {
    QStringList found;
    for (const QString& pid : QDir(u"/proc"_s).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (pid.toLongLong() == self || pid.toLongLong() == 0)
            continue;
        QFile cmdline(u"/proc/"_s + pid + u"/cmdline"_s);
        if (!cmdline.open(QIODevice::ReadOnly))
            continue;
        const QByteArray args = cmdline.readAll().replace('\0', ' ');
        if (args.contains(text.toUtf8()))
            found << pid + u' ' + QString::fromUtf8(args.left(120));
    }
    return found;
}

bool HasFileOpen(qint64 pid, const QString& path) {
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const QDir fds(u"/proc/%1/fd"_s.arg(pid));
    for (const QFileInfo& fd : fds.entryInfoList(QDir::Files | QDir::System | QDir::NoDotAndDotDot))
        if (fd.symLinkTarget() == canonical)
            return true;
    return false;
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QTest::qWait(20);
    }
    return true;
}

// Ctrl+C and SIGTERM stop a run wherever it is: the status says so, and no
// output, temporary folder, LibreOffice or saved change stays behind. A run killed
// outright takes LibreOffice with it, and the next run clears its folder.
TEST_F(CliProcessTest, ASignalStopsTheRunAndLeavesNothingBehind) {
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QStringList before = Snapshot(kSample);
    TempFolder temp;  // the runs' TMPDIR
    QProcessEnvironment env;
    env.insert(u"TMPDIR"_s, temp.Path());
    const QString out = Out(u"interrupted.pdf"_s);
    enum class When { DatabaseOpen, Converting };
    const struct {
        const char* name;
        int signal;
        When when;
    } cases[] = {
        {"Ctrl+C while LibreOffice converts", SIGINT, When::Converting},
        {"SIGTERM with the database open", SIGTERM, When::DatabaseOpen},
        {"SIGINT with the database open", SIGINT, When::DatabaseOpen},
        {"SIGTERM while LibreOffice converts", SIGTERM, When::Converting},
        {"kill -9 while LibreOffice converts", SIGKILL, When::Converting},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess program;
        Start(program,
              {u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"月別集計表"_s,
               u"--out"_s, out},
              env);
        const qint64 pid = program.processId();
        ASSERT_TRUE(WaitFor(
            [&] {
                return c.when == When::Converting ? !ProcessesMentioning(temp.Path(), pid).isEmpty()
                                                  : HasFileOpen(pid, DatabaseOf(kSample));
            },
            120000));
        if (c.when == When::Converting)
            QTest::qWait(300);  // LibreOffice under way, its second process started
        ASSERT_EQ(::kill(static_cast<pid_t>(pid), c.signal), 0);
        ASSERT_TRUE(program.waitForFinished(30000));
        if (c.signal == SIGKILL) {
            EXPECT_EQ(program.exitStatus(), QProcess::CrashExit);
        } else {
            EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
            EXPECT_EQ(program.exitCode(), 128 + c.signal) << program.readAllStandardError().toStdString();
        }
        EXPECT_FALSE(QFileInfo::exists(out));
        EXPECT_TRUE(WaitFor([&] { return ProcessesMentioning(temp.Path(), pid).isEmpty(); }, 10000))
            << ProcessesMentioning(temp.Path(), pid).join(u'\n').toStdString();
        const QStringList left =
            QDir(temp.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (c.signal == SIGKILL) {
            EXPECT_EQ(left.size(), 1) << left.join(u' ').toStdString();
            // The next run removes the folder of the run that was killed.
            QProcess next;
            Start(next,
                  {u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"月別集計表"_s,
                   u"--out"_s, Out(u"next.xlsx"_s)},
                  env);
            ASSERT_TRUE(next.waitForFinished(120000));
            EXPECT_EQ(next.exitCode(), 0) << next.readAllStandardError().toStdString();
        }
        EXPECT_EQ(QDir(temp.Path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList());
        EXPECT_EQ(Snapshot(kSample), before);
    }
}

TEST_F(CliProcessTest, ReportsAndExportsLeaveTheSavedTablesAsTheyWereAndNoWorkRows) {
    // The line-number sequence below the lines' numbers: a run that took numbers, or
    // raised the sequence as a login does, would move it. Put back at the end, for
    // 点検 in the tests after this one.
    const auto setSequence = [](const QString& value) {
        db::Connection connection(Provider(kSample));
        const QString was = connection.Select(u"select gen_id(SEQ_MEISAI, 0) from RDB$DATABASE"_s)
                                .rows.at(0)
                                .at(0)
                                .AsString();
        connection.Execute(u"alter sequence SEQ_MEISAI restart with "_s + value);
        connection.Close();
        return was;
    };
    const QString sequence = setSequence(u"0"_s);
    const QStringList before = Snapshot(kSample);
    ASSERT_TRUE(before.contains(u"W_KEY rows: 0"_s));
    const QList<QStringList> runs{
        {u"--kind"_s, u"収支明細表"_s, u"--division"_s, u"0"_s, u"--from"_s, u"0501"_s, u"--to"_s, u"0831"_s,
         u"--out"_s, Out(u"listing.xlsx"_s)},
        {u"--kind"_s, u"月別集計表"_s, u"--out"_s, Out(u"monthly.xlsx"_s)},
        {u"--kind"_s, u"予算書1"_s, u"--zero"_s, u"--out"_s, Out(u"budget.xlsx"_s)},
        {u"--kind"_s, u"決算書６"_s, u"--charts"_s, u"--out"_s, Out(u"settlement.xlsx"_s)},
        // The year 2026 has no interim statement of 30 September saved: its texts start
        // from the year's, in memory only.
        {u"--kind"_s, u"決算書３"_s, u"--closing"_s, u"0930"_s, u"--charts"_s, u"--out"_s,
         Out(u"interim.xlsx"_s)},
        {u"--kind"_s, u"会費徴収一覧"_s, u"--dues"_s, u"夏祭り協賛"_s, u"--out"_s, Out(u"collection.xlsx"_s)},
        {u"--kind"_s, u"未納一覧"_s, u"--date"_s, u"20261211"_s, u"--out"_s, Out(u"unpaid.xlsx"_s)},
        {u"--kind"_s, u"班別世帯数"_s, u"--out"_s, Out(u"households.xlsx"_s)},
    };
    for (const QStringList& run : runs) {
        SCOPED_TRACE(run.join(u' ').toStdString());
        const CliResult result =
            Run(QStringList{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s} + run);
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
        EXPECT_TRUE(result.err.isEmpty()) << result.err.toStdString();
        EXPECT_TRUE(ReadFile(run.back()).startsWith("PK")) << "a workbook package";
        // The chart parts come with --charts only.
        EXPECT_EQ(ReadFile(run.back()).contains("xl/charts/chart1.xml"), run.contains(u"--charts"_s));
    }
    for (const QString& format : {u"csv"_s, u"ledger"_s}) {
        const CliResult result = Run({u"export"_s, u"--org"_s, kSample, u"--year"_s, u"2025"_s, u"--format"_s,
                                      format, u"--out"_s, Out(u"journal."_s + format)});
        EXPECT_EQ(result.code, 0) << result.err.toStdString();
    }
    EXPECT_EQ(Snapshot(kSample), before);
    setSequence(sequence);
}

// 領収書: every payment without a receipt gets its number, once; a range of
// numbers is printed again, each slip marked 再発行.
TEST_F(CliProcessTest, ReceiptsAreNumberedOnceAndPrintedAgainByNumber) {
    const auto receipts = [](const QStringList& more) {
        return Run(
            QStringList{u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s, u"領収書"_s} +
            more);
    };
    const auto numbering = [] {
        db::Connection connection(Provider(kSample));
        const QStringList rows = RowsOf(connection,
                                        u"select count(*), count(RYOSYUSYO_NO), min(RYOSYUSYO_NO), "
                                        u"max(RYOSYUSYO_NO) from KAIHI_NOUFU where (NENDO = 2026)"_s);
        connection.Close();
        return rows.value(0);
    };
    CliResult result = receipts({u"--out"_s, Out(u"receipts.xlsx"_s)});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    const QStringList counts = numbering().split(u'|');
    ASSERT_EQ(counts.size(), 4);
    EXPECT_EQ(counts[1], counts[0]);  // every payment has its number, 1 to the count
    EXPECT_EQ(counts[2], u"1"_s);
    EXPECT_EQ(counts[3], counts[0]);

    result = receipts({u"--out"_s, Out(u"none.xlsx"_s)});
    EXPECT_EQ(result.code, 3);
    EXPECT_TRUE(result.err.contains(u"2026年度に領収書を作成していない納付はありません。"_s))
        << result.err.toStdString();
    EXPECT_FALSE(QFile::exists(Out(u"none.xlsx"_s)));

    const QString again = Out(u"again.xlsx"_s);
    result = receipts({u"--numbers"_s, u"2-3"_s, u"--out"_s, again});
    EXPECT_EQ(result.code, 0) << result.err.toStdString();
    EXPECT_EQ(numbering(), counts.join(u'|'));
    sheet::Application reader;
    sheet::Worksheet& slips = reader.Workbooks().Open(again).Sheets().Item(1);
    EXPECT_EQ(slips.CellValue(2, 5).toString(), u"No. 000002"_s);
    EXPECT_EQ(slips.CellValue(13, 5).toString(), u"No. 000003"_s);
    EXPECT_EQ(slips.CellValue(13, 1).toString(), u"（再発行）"_s);
    EXPECT_EQ(slips.CellValue(23, 1).toString(), QString());  // two slips only
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

TEST_F(CliProcessTest, UnderAnEmptyEnvironmentAFreshCopyFindsTheSampleInTheDefaultRootFolder) {
    // A copy of the program never started before (no settings file) and a user
    // whose ~/TsubakiDB holds the sample, run as cron runs it: no LANG, no
    // XDG_* variables, so the C locale.
    const QString app = Folder() + u"/fresh"_s;
    const QString home = Folder() + u"/freshhome"_s;
    ASSERT_TRUE(QDir().mkpath(app));
    ASSERT_TRUE(QDir().mkpath(home + u"/TsubakiDB/"_s + kSample));
    ASSERT_TRUE(QFile::copy(ProgramFolder() + u"/tsubaki"_s, app + u"/tsubaki"_s));
    for (const QString& name : {u"Template"_s, u"OrgDB"_s, u"YosansyoList.txt"_s, u"KessansyoList.txt"_s})
        ASSERT_TRUE(QFile::link(ProgramFolder() + u'/' + name, app + u'/' + name));
    const QString database = home + u"/TsubakiDB/"_s + kSample + u"/TSUBAKI.FDB"_s;
    ASSERT_TRUE(QFile::copy(DatabaseOf(kSample), database));
    QFile::setPermissions(database, QFile::ReadOwner | QFile::WriteOwner);
    QProcessEnvironment bare;
    bare.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
    bare.insert(u"HOME"_s, home);
    for (const QString& sanitizer : {u"ASAN_OPTIONS"_s, u"UBSAN_OPTIONS"_s})
        if (qEnvironmentVariableIsSet(sanitizer.toLatin1().constData()))
            bare.insert(sanitizer, qEnvironmentVariable(sanitizer.toLatin1().constData()));

    const QString out = Out(u"bare.xlsx"_s);
    const CliResult report = RunWith(app + u"/tsubaki"_s,
                                     {u"report"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s, u"--kind"_s,
                                      u"決算書１"_s, u"--out"_s, out},
                                     bare);
    EXPECT_EQ(report.code, 0) << report.err.toStdString();
    EXPECT_TRUE(ReadFile(out).startsWith("PK"));
    // The same rule tells an unknown name which ones there are.
    const CliResult unknown = RunWith(app + u"/tsubaki"_s,
                                      {u"export"_s, u"--org"_s, u"どこか"_s, u"--year"_s, u"2026"_s,
                                       u"--format"_s, u"csv"_s, u"--out"_s, Out(u"bare.csv"_s)},
                                      bare);
    EXPECT_EQ(unknown.code, 3);
    EXPECT_TRUE(unknown.err.contains(u"登録されている団体: "_s + kSample)) << unknown.err.toStdString();
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
    // The journal's two workbooks, every line of the two statement lists, the dues
    // ledger's four.
    ASSERT_EQ(lines.size(), 2 + 16 + 12 + 4);
    EXPECT_TRUE(lines.front().startsWith(u"収支明細表\t"_s));
    EXPECT_TRUE(lines.contains(u"予算書１０\t予算書９に科目分類ごとの小計行を加えたもの"_s));
    EXPECT_TRUE(lines[29].startsWith(u"決算書１０\t"_s));
    EXPECT_TRUE(lines.back().startsWith(u"領収書\t"_s));
    if (runtime.isNull())
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtime);
}

}  // namespace

TEST_F(CliProcessTest, CheckListsTheFindingsReadOnlyAndTellsAnErrorByItsExitStatus) {
    const QStringList before = Snapshot(kSample);
    const QStringList check{u"check"_s, u"--org"_s, kSample, u"--year"_s, u"2026"_s};
    CliResult result = Run(check);
    EXPECT_EQ(result.code, 0) << result.err.toStdString() << result.out.toStdString();
    EXPECT_TRUE(result.out.contains(u"問題は見つかりませんでした。"_s)) << result.out.toStdString();
    EXPECT_EQ(Snapshot(kSample), before);

    // Last year's lines changed after this year's budget took their balance.
    const auto change = [&](const QString& sql) {
        db::Connection connection(Provider(kSample));
        connection.Execute(sql);
        connection.Close();
    };
    change(
        u"update MEISAI set SYUNYU = SYUNYU + 1000 where SEQ_NO = (select min(SEQ_NO) from MEISAI "
        u"where NENDO = 2025 and KAIKEI_KUBUN = 0 and SYUNYU > 0)"_s);
    result = Run(check);
    change(
        u"update MEISAI set SYUNYU = SYUNYU - 1000 where SEQ_NO = (select min(SEQ_NO) from MEISAI "
        u"where NENDO = 2025 and KAIKEI_KUBUN = 0 and SYUNYU > 0)"_s);
    EXPECT_EQ(result.code, 6) << result.err.toStdString();
    EXPECT_TRUE(
        result.out.contains(u"[エラー] 前年度繰越金: 一般会計の前年度繰越金 435,223円が、前年度の次期繰越金 "
                            u"436,223円と一致しません。"_s))
        << result.out.toStdString();
    EXPECT_EQ(Snapshot(kSample), before);
}
