// The schema upgrade as the login runs it, on real databases of every older level
// built from the fixtures in levels/: the log it collects, the schema and data it
// leaves, the safety copy, and its refusals and failure path.

#include "core/Errors.h"
#include "core/KyotsuUnit.h"
#include "db/Connection.h"
#include "db/SchemaUpgrade.h"
#include "db/UpgradeSteps.h"
#include "platform/Folders.h"
#include "tests/support/ScratchDatabase.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>

#include <optional>

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kDantai = u"東町会"_s;
const QString kStamp = u"20240305060708"_s;

QString FixturePath(const QString& name) {
    return QString::fromUtf8(TSUBAKI_UPGRADE_FIXTURES) + u'/' + name + u".FDB"_s;
}

QString Render(const db::Value& value) {
    return value.IsNull() ? u"NULL"_s : value.AsString();
}

// The rows of a query as text: values separated by "|", one row a line.
QString Dump(db::Connection& connection, const QString& sql) {
    QStringList lines;
    for (const auto& row : connection.Select(sql).rows) {
        QStringList values;
        for (const auto& value : row)
            values << Render(value);
        lines << values.join(u'|');
    }
    return lines.join(u'\n');
}

// What of a database's schema the upgrade must reproduce: every user column with
// its place, type, lengths, character set, collation and nullability, every key
// with its columns, and every index that serves no key, by name.
QString DescribeSchema(const QString& path) {
    db::Connection connection([path] { return path; });
    const QString columns = Dump(
        connection,
        QStringLiteral("select trim(RF.RDB$RELATION_NAME), trim(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, "
                       "  coalesce(F.RDB$FIELD_SUB_TYPE, 0), F.RDB$FIELD_LENGTH, F.RDB$CHARACTER_LENGTH, "
                       "  coalesce(F.RDB$FIELD_SCALE, 0), trim(CS.RDB$CHARACTER_SET_NAME), "
                       "  coalesce(RF.RDB$COLLATION_ID, F.RDB$COLLATION_ID, 0), coalesce(RF.RDB$NULL_FLAG, "
                       "F.RDB$NULL_FLAG, 0), "
                       "  iif(RF.RDB$DEFAULT_SOURCE is null and F.RDB$DEFAULT_SOURCE is null, 0, 1) "
                       "from RDB$RELATION_FIELDS RF "
                       "join RDB$RELATIONS R on R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
                       "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                       "left join RDB$CHARACTER_SETS CS on CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                       "where coalesce(R.RDB$SYSTEM_FLAG, 0) = 0 "
                       "order by RF.RDB$RELATION_NAME, RF.RDB$FIELD_POSITION"));
    // Keys are named by the engine (INTEG_n, RDB$PRIMARYn): only their kind counts.
    const QString keys =
        Dump(connection,
             QStringLiteral(
                 "select trim(I.RDB$RELATION_NAME), coalesce(trim(RC.RDB$CONSTRAINT_TYPE), "
                 "trim(I.RDB$INDEX_NAME)), "
                 "  coalesce(I.RDB$UNIQUE_FLAG, 0), coalesce(I.RDB$INDEX_TYPE, 0), S.RDB$FIELD_POSITION, "
                 "  trim(S.RDB$FIELD_NAME) "
                 "from RDB$INDICES I "
                 "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                 "left join RDB$RELATION_CONSTRAINTS RC on RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
                 "where coalesce(I.RDB$SYSTEM_FLAG, 0) = 0 "
                 "order by 1, 2, 5"));
    return columns + u"\n--\n"_s + keys;
}

// The data every fixture ends with: the fixtures of later levels hold what the
// upgrade makes of the rows of level 1.0.0.0.
const char16_t* const kUpgradedData =
    u"1|東町会|abc|2021|1.0.4.0\n"
    u"--\n"
    u"2020|会長|山田太郎|会計|鈴木花子|NULL|会長|山田太郎|会計|鈴木花子|NULL|1|1\n"
    u"2021|自治会長|佐藤一郎|会計係|田中次郎|高橋三郎|自治会長|佐藤一郎|会計係|田中次郎|高橋三郎|1|1\n"
    u"--\n"
    u"0|集計しない\n1|集計する\n2|集計する\n"
    u"--\n"
    u"10|0|0\n30|1|1\n50|0|0\n"
    u"--\n"
    u"1000|町会費|0|0\n3001|防災会計より繰入|1|1\n5000|行事費|0|0\n"
    u"--\n"
    u"佐藤|NULL\n山田|NULL\n鈴木商店|NULL\n"
    u"--\n"
    u"町会費|ち\n";

QString DescribeData(const QString& path) {
    db::Connection connection([path] { return path; });
    const QString queries[] = {
        u"select KY, DANTAIMEI, PASS_WD, NENDO, DB_VERSION from KANRI"_s,
        u"select NENDO, YAKUSYOKU, DAIHYOSYA, KAIKEI_YAKUSYOKU, KAIKEI1, KAIKEI2, YOSAN_YAKUSYOKU, "
        "YOSAN_DAIHYOSYA, YOSAN_KAIKEI_YAKUSYOKU, YOSAN_KAIKEI1, YOSAN_KAIKEI2, YOSAN_ZERO_PRINT, "
        "KESSAN_ZERO_PRINT from NENDO order by NENDO"_s,
        u"select CD, MEISYO from HYOUJI_KUBUN order by CD"_s,
        u"select CD, SAKUJYO_FUKA, TOKUBETSU_KAIKEI from BUNRUI order by CD"_s,
        u"select CD, MEISYO, SAKUJYO_FUKA, TOKUBETSU_CD from KAMOKU order by CD"_s,
        u"select MEISYO, FURIGANA from AITE order by MEISYO"_s,
        u"select MEISYO, KENSAKU_MOJI from TEKIYO"_s,
    };
    QStringList parts;
    for (const QString& sql : queries)
        parts << Dump(connection, sql) + u'\n';
    return parts.join(u"--\n"_s);
}

std::string ProgramFolderFiles(const QString& folder) {
    return QDir(folder)
        .entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)
        .join(u", ")
        .toStdString();
}

// The program folder, the settings file registering the organisation, a copy of a
// fixture as its database, and the login's use of the connection around
// UpgradeDatabase.
class SchemaUpgradeTest : public ::testing::Test {
  protected:
    SchemaUpgradeTest() {
        QDir().mkpath(programFolder);
        platform::OverrideProgramFolder(programFolder);
        CurrentDantai = kDantai;
    }
    ~SchemaUpgradeTest() override {
        upgrade.reset();
        connection.Close();
        platform::OverrideProgramFolder(QString());
        ClearLoginState();
    }

    // Makes a copy of `fixture` the organisation's database, registered under
    // `registeredAs` (the local path when empty).
    void Install(const QString& fixture, const QString& registeredAs = QString()) {
        QDir().mkpath(temp.File(kDantai));
        ASSERT_TRUE(QFile::copy(fixture, dbPath)) << fixture.toStdString();
        QFile::setPermissions(dbPath, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        WriteDBListEntry(kDantai, registeredAs.isEmpty() ? dbPath : registeredAs);
    }

    // Login steps 4 to 6: the control row open in the login's dataset while the
    // upgrade runs.
    void Login() {
        std::optional<db::Connection::DatasetUse> sqlDataSet1(connection.UseDataset());
        const auto kanri = connection.Select(u"select * from KANRI where (KY = 1)"_s);
        db::SchemaUpgrade::LoginHooks hooks{[&] {
                                                sqlDataSet1.reset();
                                                datasetClosed = true;
                                            },
                                            [&] { windowClosed = true; }};
        upgrade.emplace(connection, hooks, [] { return QDateTime(QDate(2024, 3, 5), QTime(6, 7, 8)); });
        upgrade->UpgradeDatabase(db::DbVersionOf(kanri));
    }

    QString BackupPath() const { return programFolder + u'/' + kDantai + kStamp + u".FDB"_s; }
    QString LogPath() const { return programFolder + u"/DbUpdateError"_s + kStamp + u".log"_s; }

    TempFolder temp;
    const QString programFolder = temp.File(u"program"_s);
    const QString dbPath = temp.File(kDantai) + u"/TSUBAKI.FDB"_s;
    ScriptedDialogs dialogs;
    db::Connection connection{[this] { return dbPath; }};
    std::optional<db::SchemaUpgrade> upgrade;
    bool datasetClosed = false;
    bool windowClosed = false;
};

// The blocks in their order: the header line and the steps each logs.
struct ExpectedBlock {
    const char16_t* header;
    std::vector<const char16_t*> steps;
};
const ExpectedBlock kBlocks[] = {
    {u"表示区分マスタ修正 開始", {u"表示区分マスタ修正"}},
    {u"v-1.0.1.0レベルへのアップデート 開始",
     {u"年度マスタ項目追加", u"年度マスタ項目セット", u"集計対象外科目繰越テーブル作成",
      u"科目マスタ桁数変更", u"現預金残高テーブル作成"}},
    {u"v-1.0.2.1レベルへのアップデート 開始",
     {u"旧入金先／支払先マスタ削除", u"入金先／支払先マスタ作成", u"入金先／支払先データ追加",
      u"入金先／支払先マスタインデックス作成", u"管理テーブル項目追加(DB_VERSION)"}},
    {u"v-1.0.2.4レベルへのアップデート 開始", {u"中間決算年度テーブル作成", u"中間決算テーブル作成"}},
    {u"v-1.0.2.6レベルへのアップデート 開始",
     {u"科目分類テーブル 削除不可フラグ，特別会計フラグ null--->0",
      u"科目テーブル 削除不可フラグ，特別会計コード null--->0"}},
    {u"v-1.0.2.8レベルへのアップデート 開始",
     {u"年度テーブル 金額０科目出力区分追加", u"年度テーブル 金額０科目出力区分 1セット",
      u"中間決算年度テーブル 金額０科目出力区分追加", u"中間決算年度テーブル 金額０科目出力区分 1セット"}},
    {u"v-1.0.3.0レベルへのアップデート 開始", {u"摘要マスタの桁数変更(1K → 10K)"}},
    {u"v-1.0.4.0レベルへのアップデート 開始",
     {u"残高内訳テーブル作成", u"年度締め履歴テーブル作成", u"取込ルールテーブル作成",
      u"定期明細テーブル作成", u"予算補正テーブル作成", u"予算補正額テーブル作成",
      u"年度テーブル 表題・増減符号追加", u"中間決算年度テーブル 表題・増減符号追加",
      u"予算ワークテーブル 補正額追加", u"決算ワークテーブル 補正額追加",
      u"年度テーブル 残高内訳出力区分追加", u"班テーブル作成",
      u"世帯テーブル作成", u"世帯所属班テーブル作成", u"会費種別テーブル作成", u"会費免除テーブル作成",
      u"会費納付テーブル作成", u"会費納付番号シーケンス作成", u"領収書番号シーケンス作成",
      u"年度テーブル グラフ出力区分追加"}},
    {nullptr, {u"管理テーブルDB_VERSIONセット"}},
};

QStringList ExpectedLog(std::initializer_list<int> blocks) {
    QStringList log;
    for (int index : blocks) {
        const ExpectedBlock& block = kBlocks[index];
        if (block.header)
            log << QString::fromUtf16(block.header);
        for (const char16_t* step : block.steps)
            log << QString::fromUtf16(step) + u" OK"_s;
    }
    return log;
}

struct LevelCase {
    const char* level;
    QStringList log;
    bool hasInterimSettings;  // the fixture holds a CYUKAN_KESSAN_NENDO row
};

void PrintTo(const LevelCase& c, std::ostream* out) {
    *out << c.level;
}

class OlderLevel : public SchemaUpgradeTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(OlderLevel, ReachesTheCurrentSchemaAndKeepsTheSafetyCopy) {
    const QString level = QString::fromUtf8(GetParam().level);
    Install(FixturePath(level));
    const QString schemaBefore = DescribeSchema(dbPath);

    ASSERT_NO_THROW(Login());

    EXPECT_EQ(upgrade->LogList.join(u'\n').toStdString(), GetParam().log.join(u'\n').toStdString());
    EXPECT_TRUE(datasetClosed);
    EXPECT_FALSE(windowClosed);
    EXPECT_TRUE(dialogs.Shown().empty());
    EXPECT_EQ(upgrade->SourceFileName, dbPath);
    EXPECT_EQ(upgrade->BkupFileName, BackupPath());
    EXPECT_EQ(ProgramFolderFiles(programFolder), "Tsubaki.ini, 東町会20240305060708.FDB")
        << "the safety copy stays, no log is written";
    EXPECT_EQ(DescribeSchema(BackupPath()).toStdString(), schemaBefore.toStdString());

    const QString current = temp.File(u"current.FDB"_s);  // the built database itself stays untouched
    ASSERT_TRUE(QFile::copy(EmptyOrgDbPath(), current));
    EXPECT_EQ(DescribeSchema(dbPath).toStdString(), DescribeSchema(current).toStdString());
    EXPECT_EQ(DescribeData(dbPath).toStdString(), QString::fromUtf16(kUpgradedData).toStdString());
    db::Connection check([this] { return dbPath; });
    EXPECT_EQ(
        Dump(check, u"select NENDO, SIMEBI, YOSAN_ZERO_PRINT, KESSAN_ZERO_PRINT from CYUKAN_KESSAN_NENDO"_s),
        GetParam().hasInterimSettings ? u"2021|20210930|1|1"_s : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Levels, OlderLevel,
    ::testing::Values(LevelCase{"1.0.0.0", ExpectedLog({0, 1, 2, 3, 4, 5, 6, 7, 8}), false},
                      // No DB_VERSION, but KURIKOSI: taken as 1.0.1.0.
                      LevelCase{"1.0.1.0", ExpectedLog({0, 2, 3, 4, 5, 6, 7, 8}), false},
                      LevelCase{"1.0.2.1", ExpectedLog({0, 3, 4, 5, 6, 7, 8}), false},
                      LevelCase{"1.0.2.4", ExpectedLog({4, 5, 6, 7, 8}), true},
                      LevelCase{"1.0.2.6", ExpectedLog({5, 6, 7, 8}), true},
                      LevelCase{"1.0.2.8", ExpectedLog({6, 7, 8}), true},
                      LevelCase{"1.0.3.0", ExpectedLog({7, 8}), true}),
    [](const ::testing::TestParamInfo<LevelCase>& param) {
        return u"Level_"_s.append(QString::fromUtf8(param.param.level).replace(u'.', u'_')).toStdString();
    });

TEST_F(SchemaUpgradeTest, CurrentLevelCopiesRunsAndLogsNothing) {
    Install(EmptyOrgDbPath());
    ASSERT_NO_THROW(Login());
    EXPECT_TRUE(upgrade->LogList.isEmpty());
    EXPECT_FALSE(datasetClosed) << "the login's dataset stays open";
    EXPECT_TRUE(upgrade->BkupFileName.isEmpty());
    EXPECT_EQ(ProgramFolderFiles(programFolder), "Tsubaki.ini");
}

TEST_F(SchemaUpgradeTest, CurrentLevelWithoutTheWorkTableIndexGetsIt) {
    Install(EmptyOrgDbPath());
    {
        db::Connection setup([this] { return dbPath; });
        setup.Execute(u"drop index IX_W_MEISAI_1"_s);
    }
    ASSERT_NO_THROW(Login());
    EXPECT_TRUE(upgrade->LogList.isEmpty());
    EXPECT_TRUE(upgrade->BkupFileName.isEmpty());
    db::Connection check([this] { return dbPath; });
    EXPECT_EQ(Dump(check, u"select count(*) from RDB$INDICES where RDB$INDEX_NAME = 'IX_W_MEISAI_1'"_s),
              u"1"_s);
}

TEST_F(SchemaUpgradeTest, NewerLevelIsRefusedAndEndsTheProgram) {
    Install(FixturePath(u"newer"_s));
    EXPECT_THROW(Login(), EAbort);
    EXPECT_EQ(dialogs.Beeps(), 1);
    ASSERT_EQ(dialogs.Shown().size(), 1u);
    EXPECT_EQ(dialogs.Last().kind, RecordedDialog::Kind::Message);
    EXPECT_EQ(dialogs.Last().text.toStdString(),
              "データベースのバージョンレベルが現在のプログラムより新しいです。\r\n"
              "プログラムを最新バージョンにアップデートしてください。");
    EXPECT_TRUE(windowClosed);
    EXPECT_FALSE(datasetClosed);
    EXPECT_TRUE(upgrade->LogList.isEmpty());
    EXPECT_EQ(ProgramFolderFiles(programFolder), "Tsubaki.ini");
    db::Connection check([this] { return dbPath; });
    EXPECT_EQ(Dump(check, u"select DB_VERSION from KANRI"_s), u"1.0.9.0"_s);
}

TEST_F(SchemaUpgradeTest, FailingStepWritesTheLogAndPutsTheDatabaseBack) {
    Install(FixturePath(u"1.0.2.1-cyukan-kessan-exists"_s));
    const QString failure = u"データベースのアップデートを失敗しました (中間決算テーブル作成)\r\n"_s;
    try {
        Login();
        FAIL() << "the upgrade succeeded";
    } catch (const EAppError& e) {
        EXPECT_TRUE(e.Message().startsWith(failure)) << e.Message().toStdString();
        EXPECT_GT(e.Message().size(), failure.size()) << "the database's own message follows";
        ASSERT_FALSE(upgrade->LogList.isEmpty());
        EXPECT_EQ(upgrade->LogList.last(), e.Message());
    }
    QStringList expected = ExpectedLog({0});
    expected << u"v-1.0.2.4レベルへのアップデート 開始"_s << u"中間決算年度テーブル作成 OK"_s;
    EXPECT_EQ(upgrade->LogList.mid(0, upgrade->LogList.size() - 1).join(u'\n').toStdString(),
              expected.join(u'\n').toStdString());
    EXPECT_EQ(ReadFile(LogPath()), (upgrade->LogList.join(u'\n') + u'\n').toUtf8());

    EXPECT_FALSE(connection.Connected());
    EXPECT_EQ(ReadFile(dbPath), ReadFile(BackupPath())) << "the database is the safety copy again";
    db::Connection check([this] { return dbPath; });
    EXPECT_EQ(Dump(check, u"select CD, MEISYO from HYOUJI_KUBUN where CD = 0"_s), u"0|表示しない"_s)
        << "the copy was taken before the first statement";
    EXPECT_EQ(
        Dump(check, u"select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = 'CYUKAN_KESSAN_NENDO'"_s),
        u"0"_s);
}

TEST_F(SchemaUpgradeTest, SafetyCopyFailureStopsBeforeAnyStatement) {
    Install(FixturePath(u"1.0.2.6"_s));
    QDir().mkpath(BackupPath());  // a folder where the copy should go
    EXPECT_THROW(Login(), EAppError);
    EXPECT_TRUE(upgrade->LogList.isEmpty());
    EXPECT_FALSE(QFile::exists(LogPath()));
    db::Connection check([this] { return dbPath; });
    EXPECT_EQ(Dump(check, u"select DB_VERSION from KANRI"_s), u"1.0.2.6"_s);
}

// A database reached through a server elsewhere has no local file: it is upgraded
// without a safety copy.
TEST_F(SchemaUpgradeTest, DatabaseOnAnotherComputerIsUpgradedWithoutCopy) {
    Install(FixturePath(u"1.0.2.6"_s), u"fileserver:/srv/tsubaki/東町会/TSUBAKI.FDB"_s);
    ASSERT_NO_THROW(Login());
    EXPECT_TRUE(upgrade->SourceFileName.isEmpty());
    EXPECT_EQ(ProgramFolderFiles(programFolder), "Tsubaki.ini");
    db::Connection check([this] { return dbPath; });
    EXPECT_EQ(Dump(check, u"select DB_VERSION from KANRI"_s), u"1.0.4.0"_s);
}

// An upgrade that failed where no safety copy put the database back (a server's
// database, a failed copy-back) leaves its earlier steps committed and the level
// unchanged. Whichever step it stopped at, the next login finishes the upgrade.
TEST_F(SchemaUpgradeTest, AnUpgradeStoppedAfterAnyStepIsFinishedByTheNextLogin) {
    const QString fixture = FixturePath(u"1.0.0.0"_s);
    std::vector<db::UpgradeStep> steps;
    for (const db::UpgradeBlock& block : db::UpgradeBlocksFor(u"1.0.0.0"_s))
        steps.insert(steps.end(), block.steps.begin(), block.steps.end());
    steps.pop_back();  // the level itself is written last: a run up to it is a whole run
    const QString current = temp.File(u"current.FDB"_s);
    ASSERT_TRUE(QFile::copy(EmptyOrgDbPath(), current));
    const QString schema = DescribeSchema(current);
    for (std::size_t done = 1; done <= steps.size(); ++done) {
        SCOPED_TRACE(steps[done - 1].name.toStdString());
        upgrade.reset();
        connection.Close();
        QFile::remove(dbPath);
        Install(fixture, u"fileserver:/srv/tsubaki/東町会/TSUBAKI.FDB"_s);  // no safety copy
        {
            db::Connection earlier([this] { return dbPath; });
            for (std::size_t i = 0; i < done; ++i)
                earlier.Execute(steps[i].sql, steps[i].params);
        }
        ASSERT_NO_THROW(Login());
        EXPECT_EQ(DescribeSchema(dbPath).toStdString(), schema.toStdString());
        EXPECT_EQ(DescribeData(dbPath).toStdString(), QString::fromUtf16(kUpgradedData).toStdString());
    }
}

}  // namespace
