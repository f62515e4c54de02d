// `tsubaki handover` run as a process on a copy of the sample organisation.

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include "core/FileUtil.h"
#include "db/Connection.h"
#include "db/DatabaseServices.h"
#include "tests/cli/CliFixture.h"

using namespace Qt::Literals::StringLiterals;

namespace {

class HandoverTest : public CliFixture {
  protected:
    static CliResult Handover(const QString& year, const QString& out) {
        return Run({u"handover"_s, u"--org"_s, kSample, u"--year"_s, year, u"--out"_s, out});
    }
    // The names in the folder, the hidden ones included.
    static QStringList Entries(const QString& folder) {
        QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        names.sort();
        return names;
    }
};

TEST_F(HandoverTest, TheManifestMatchesEveryFileAndTheBackupRestoresToAnOpeningDatabase) {
    if (QStandardPaths::findExecutable(u"soffice"_s).isEmpty())
        GTEST_SKIP() << "LibreOffice (soffice) is not installed";
    const QString out = Out(u"引継ぎ2026"_s);
    const CliResult result = Handover(u"2026"_s, out);
    ASSERT_EQ(result.code, 0) << result.err.toStdString();

    // Every file is listed once with its SHA-256, and nothing else is in the folder.
    QStringList listed{u"SHA256SUMS"_s};
    const QList<QByteArray> lines = ReadFile(out + u"/SHA256SUMS"_s).split('\n');
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        const QString name = QString::fromUtf8(line.mid(66));
        ASSERT_EQ(line.mid(64, 2), "  ") << line.toStdString();
        EXPECT_EQ(line.left(64),
                  QCryptographicHash::hash(ReadFile(out + u'/' + name), QCryptographicHash::Sha256).toHex())
            << name.toStdString();
        listed << name;
    }
    listed.sort();
    EXPECT_EQ(Entries(out), listed);
    for (const char* name : {"2026年度_決算書.pdf", "2026年度_収支明細表.pdf", "2026年度_月別集計表.pdf",
                             "2026年度_残高照合表.pdf"})
        EXPECT_TRUE(ReadFile(out + u'/' + QString::fromUtf8(name)).startsWith("%PDF")) << name;
    EXPECT_TRUE(ReadFile(out + u"/2026年度_仕訳.csv"_s).startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(QProcess::execute(u"sh"_s, {u"-c"_s, u"cd \"$0\" && sha256sum --quiet -c SHA256SUMS"_s, out}),
              0);

    // The backup restores, and the restored database opens with the organisation's books.
    const QString restored = Out(u"restored.FDB"_s);
    db::BackupDatabase(out + u"/2026年度_バックアップ.FDB"_s, Out(u"handover.fbk"_s));
    db::RestoreDatabase(Out(u"handover.fbk"_s), restored, false);
    db::Connection connection([restored] { return restored; });
    const auto rows =
        connection.Select(u"select DANTAIMEI, (select count(*) from MEISAI) from KANRI where (KY = 1)"_s);
    connection.Close();
    ASSERT_EQ(rows.rows.size(), 1u);
    EXPECT_EQ(rows.rows[0][0].AsString(), kSample);
    EXPECT_GT(rows.rows[0][1].AsInteger(), 0);

    // The same as one .zip holds the same files, its manifest checking too.
    const QString zip = Out(u"引継ぎ2026.zip"_s);
    ASSERT_EQ(Handover(u"2026"_s, zip).code, 0);
    const QString unpacked = Out(u"unpacked"_s);
    // unzip writes the names in the locale's characters.
    ASSERT_EQ(
        QProcess::execute(u"sh"_s, {u"-c"_s, u"LC_ALL=C.UTF-8 unzip -q \"$0\" -d \"$1\""_s, zip, unpacked}),
        0);
    EXPECT_EQ(Entries(unpacked), listed);
    EXPECT_EQ(
        QProcess::execute(u"sh"_s, {u"-c"_s, u"cd \"$0\" && sha256sum --quiet -c SHA256SUMS"_s, unpacked}),
        0);
}

TEST_F(HandoverTest, AFailedRunLeavesNothingUnderItsName) {
    QDir().mkpath(Out(u"ro"_s));
    QFile::setPermissions(Out(u"ro"_s), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool root = QFileInfo(Out(u"ro"_s)).isWritable();  // root writes anywhere
    QDir().mkpath(Out(u"taken"_s));
    const struct {
        QString year;
        QString out;
        int code;
    } cases[] = {
        {u"1999"_s, Out(u"unknown-year"_s), 3},
        {u"1999"_s, Out(u"unknown-year.zip"_s), 3},
        {u"2026"_s, Out(u"taken"_s), 5},
        {u"2026"_s, Out(u"none/handover"_s), 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.out.toStdString());
        const CliResult result = Handover(c.year, c.out);
        EXPECT_EQ(result.code, c.code) << result.err.toStdString();
        EXPECT_FALSE(result.err.isEmpty());
    }
    if (!root) {
        EXPECT_EQ(Handover(u"2026"_s, Out(u"ro/handover"_s)).code, 5);
        EXPECT_EQ(Entries(Out(u"ro"_s)), QStringList());
    }
    EXPECT_FALSE(QFileInfo::exists(Out(u"unknown-year"_s)));
    EXPECT_FALSE(QFileInfo::exists(Out(u"unknown-year.zip"_s)));
    EXPECT_EQ(Entries(Out(u"taken"_s)), QStringList());
}

}  // namespace
