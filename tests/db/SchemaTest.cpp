// The built empty organisation database against the documented schema, read back
// from Firebird's system tables, and the built-in rows the program relies on.

#include "db/Connection.h"
#include "tests/support/ScratchDatabase.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <map>

using namespace Qt::Literals::StringLiterals;

namespace {

// Column notation: NAME TYPE[ ASCII][ NOT NULL]; VARCHAR without ASCII is UNICODE_FSS.
struct ExpectedTable {
    const char16_t* name;
    std::vector<const char16_t*> columns;
};

const char16_t* const kNendoSettings[] = {
    u"KI INTEGER",
    u"KISYUBI VARCHAR(8) ASCII",
    u"KIMATSUBI VARCHAR(8) ASCII",
    u"DANTAIMEI VARCHAR(30)",
    u"YAKUSYOKU VARCHAR(10)",
    u"DAIHYOSYA VARCHAR(10)",
    u"YUBIN VARCHAR(8) ASCII",
    u"JYUSYO VARCHAR(30)",
    u"TEL VARCHAR(20)",
    u"FAX VARCHAR(20)",
    u"KAIKEI_YAKUSYOKU VARCHAR(10)",
    u"KAIKEI1 VARCHAR(10)",
    u"KAIKEI2 VARCHAR(10)",
    u"KANSA_YAKUSYOKU VARCHAR(10)",
    u"KANSA1 VARCHAR(10)",
    u"KANSA2 VARCHAR(10)",
    u"NENGO_KUBUN INTEGER",
    u"YOSAN_COMMENT VARCHAR(60)",
    u"YOSAN_HIZUKE VARCHAR(20)",
    u"YOSAN_SYOMEI VARCHAR(30)",
    u"YOSAN_COMMENT_KUBUN INTEGER",
    u"KESSAN_COMMENT VARCHAR(60)",
    u"KESSAN_HIZUKE VARCHAR(20)",
    u"KESSAN_SYOMEI VARCHAR(30)",
    u"KESSAN_SYOMEI_KUBUN1 INTEGER",
    u"KESSAN_SYOMEI_KUBUN2 INTEGER",
    u"KESSAN_SYOMEI_KUBUN3 INTEGER",
    u"KANSA_COMMENT VARCHAR(60)",
    u"KANSA_HIZUKE VARCHAR(20)",
    u"KANSA_SYOMEI_KUBUN1 INTEGER",
    u"KANSA_SYOMEI_KUBUN2 INTEGER",
    u"YOSAN_BIKOU VARCHAR(60)",
    u"KESSAN_BIKOU VARCHAR(60)",
    u"YOSANSYO_SYOKICHI VARCHAR(20)",
    u"KESSANSYO_SYOKICHI VARCHAR(20)",
    u"YOSAN_YAKUSYOKU VARCHAR(10)",
    u"YOSAN_DAIHYOSYA VARCHAR(10)",
    u"YOSAN_KAIKEI_YAKUSYOKU VARCHAR(10)",
    u"YOSAN_KAIKEI1 VARCHAR(10)",
    u"YOSAN_KAIKEI2 VARCHAR(10)",
    u"YOSAN_ZERO_PRINT INTEGER",
    u"KESSAN_ZERO_PRINT INTEGER",
    u"YOSAN_TITLE VARCHAR(30)",
    u"KESSAN_TITLE VARCHAR(30)",
    u"SYUNYU_ZOGEN_KUBUN INTEGER",
    u"SISYUTSU_ZOGEN_KUBUN INTEGER",
};

std::vector<const char16_t*> WithNendoSettings(std::vector<const char16_t*> head) {
    head.insert(head.end(), std::begin(kNendoSettings), std::end(kNendoSettings));
    return head;
}

const std::vector<ExpectedTable>& ExpectedTables() {
    static const std::vector<ExpectedTable> tables = {
        {u"AITE", {u"MEISYO VARCHAR(10) NOT NULL", u"FURIGANA VARCHAR(20)"}},
        {u"BUNRUI",
         {u"CD INTEGER NOT NULL", u"MEISYO VARCHAR(10)", u"SYUSI_KUBUN INTEGER", u"KESSANSYO_KUBUN INTEGER",
          u"JUNJYO INTEGER", u"SAKUJYO_FUKA INTEGER", u"TOKUBETSU_KAIKEI INTEGER"}},
        {u"CYUKAN_KESSAN",
         {u"NENDO INTEGER NOT NULL", u"SIMEBI VARCHAR(8) ASCII NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL",
          u"KAMOKU INTEGER NOT NULL", u"JUNJYO INTEGER", u"TEKIYO VARCHAR(30)"}},
        {u"CYUKAN_KESSAN_NENDO",
         WithNendoSettings({u"NENDO INTEGER NOT NULL", u"SIMEBI VARCHAR(8) ASCII NOT NULL"})},
        {u"GENKIN_ZAN",
         {u"HIZUKE VARCHAR(8) ASCII NOT NULL", u"GENKIN INTEGER", u"YOKIN INTEGER", u"SYONIN INTEGER"}},
        {u"HAN",
         {u"HAN_CD INTEGER NOT NULL", u"MEISYO VARCHAR(10) NOT NULL", u"HANCYO VARCHAR(10)",
          u"JUNJYO INTEGER"}},
        {u"HYOUJI_KUBUN", {u"CD INTEGER NOT NULL", u"MEISYO VARCHAR(5)"}},
        {u"KAIHI_MENJYO",
         {u"NENDO INTEGER NOT NULL", u"SETAI_CD INTEGER NOT NULL", u"SYURUI_CD INTEGER NOT NULL",
          u"KAISI_TSUKI VARCHAR(6) ASCII NOT NULL", u"SYURYO_TSUKI VARCHAR(6) ASCII NOT NULL",
          u"RIYU VARCHAR(50)"}},
        {u"KAIHI_NOUFU",
         {u"NOUFU_NO INTEGER NOT NULL", u"NENDO INTEGER NOT NULL", u"SETAI_CD INTEGER NOT NULL",
          u"SYURUI_CD INTEGER NOT NULL", u"HIZUKE VARCHAR(8) ASCII NOT NULL",
          u"TSUKI VARCHAR(12) ASCII NOT NULL", u"KINGAKU INTEGER NOT NULL", u"HAN_CD INTEGER NOT NULL",
          u"SEQ_NO INTEGER", u"RYOSYUSYO_NO INTEGER"}},
        {u"KAIHI_SYURUI",
         {u"NENDO INTEGER NOT NULL", u"SYURUI_CD INTEGER NOT NULL", u"MEISYO VARCHAR(10) NOT NULL",
          u"TSUKI_KUBUN INTEGER NOT NULL", u"KINGAKU INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL",
          u"KAMOKU INTEGER NOT NULL"}},
        {u"KAIKEI_KUBUN",
         {u"CD INTEGER NOT NULL", u"MEISYO VARCHAR(10)", u"KAISI_NENDO INTEGER", u"SYURYO_NENDO INTEGER"}},
        {u"KAMOKU",
         {u"CD INTEGER NOT NULL", u"MEISYO VARCHAR(15)", u"BUNRUI INTEGER", u"KAISI_NENDO INTEGER",
          u"SYURYO_NENDO INTEGER", u"JUNJYO INTEGER", u"SAKUJYO_FUKA INTEGER", u"TOKUBETSU_CD INTEGER"}},
        {u"KANRI",
         {u"KY INTEGER NOT NULL", u"DANTAIMEI VARCHAR(30)", u"PASS_WD VARCHAR(10)", u"NENDO INTEGER",
          u"DB_VERSION VARCHAR(20) ASCII"}},
        {u"KESSAN",
         {u"NENDO INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL", u"KAMOKU INTEGER NOT NULL",
          u"JUNJYO INTEGER", u"TEKIYO VARCHAR(30)"}},
        {u"KURIKOSI",
         {u"NENDO INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL", u"KAMOKU INTEGER NOT NULL",
          u"KURIKOSI INTEGER"}},
        {u"MEISAI",
         {u"SEQ_NO INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL", u"NENDO INTEGER",
          u"HIZUKE VARCHAR(8) ASCII", u"AITE VARCHAR(10)", u"TEKIYO VARCHAR(50)", u"KAMOKU INTEGER",
          u"SYUNYU INTEGER", u"SISYUTSU INTEGER"}},
        {u"NENDO",
         [] {
             // The year's own choices of the statement output, not repeated per interim closing.
             auto columns = WithNendoSettings({u"NENDO INTEGER NOT NULL"});
             columns.push_back(u"KESSAN_ZANDAKA_PRINT INTEGER");
             columns.insert(columns.end(), {u"YOSAN_GRAPH_PRINT INTEGER", u"KESSAN_GRAPH_PRINT INTEGER"});
             return columns;
         }()},
        {u"NENDO_SIME",
         {u"NENDO INTEGER NOT NULL", u"SEQ_NO INTEGER NOT NULL", u"SOUSA INTEGER NOT NULL",
          u"NICHIJI VARCHAR(14) ASCII", u"CPU_NAME VARCHAR(255)", u"USER_NAME VARCHAR(60)",
          u"RIYU VARCHAR(100)"}},
        {u"SETAI",
         {u"SETAI_CD INTEGER NOT NULL", u"MEISYO VARCHAR(30) NOT NULL", u"FURIGANA VARCHAR(30)",
          u"JYUSYO VARCHAR(60)", u"TEL VARCHAR(20) ASCII", u"NYUKAI_BI VARCHAR(8) ASCII NOT NULL",
          u"TAIKAI_BI VARCHAR(8) ASCII", u"BIKO VARCHAR(100)"}},
        {u"SETAI_HAN",
         {u"SETAI_CD INTEGER NOT NULL", u"KAISI_BI VARCHAR(8) ASCII NOT NULL", u"HAN_CD INTEGER NOT NULL"}},
        {u"SYUSI_KUBUN", {u"CD INTEGER NOT NULL", u"MEISYO VARCHAR(4)"}},
        {u"TEIKI_MEISAI",
         {u"CD INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL", u"KAMOKU INTEGER NOT NULL",
          u"AITE VARCHAR(10)", u"TEKIYO VARCHAR(50)", u"SYUNYU INTEGER", u"SISYUTSU INTEGER",
          u"HI INTEGER NOT NULL", u"TSUKI VARCHAR(12) ASCII NOT NULL"}},
        {u"TEKIYO", {u"MEISYO VARCHAR(50) NOT NULL", u"KENSAKU_MOJI VARCHAR(10)"}},
        {u"TORIKOMI_RULE",
         {u"CD INTEGER NOT NULL", u"JUNJYO INTEGER NOT NULL", u"TAISYO INTEGER NOT NULL",
          u"HOUHOU INTEGER NOT NULL", u"MOJI VARCHAR(100) NOT NULL", u"KAMOKU INTEGER NOT NULL",
          u"KAIKEI_KUBUN INTEGER", u"AITE VARCHAR(10)", u"TEKIYO VARCHAR(50)"}},
        {u"W_KESSAN",
         {u"CPU_NAME VARCHAR(20) NOT NULL", u"JIKOKU VARCHAR(14) ASCII NOT NULL", u"NENDO INTEGER NOT NULL",
          u"KAIKEI_KUBUN INTEGER NOT NULL", u"KAMOKU INTEGER NOT NULL", u"JUNJYO INTEGER",
          u"TEKIYO VARCHAR(30)", u"SYUSI_KUBUN INTEGER", u"BUNRUI INTEGER", u"BUNRUI_JUNJYO INTEGER",
          u"KAMOKU_JUNJYO INTEGER", u"KESSAN INTEGER", u"YOSAN INTEGER", u"HOSEI INTEGER"}},
        {u"W_KEY",
         {u"CPU_NAME VARCHAR(20) NOT NULL", u"JIKOKU VARCHAR(14) ASCII NOT NULL",
          u"WORK_TABLE VARCHAR(31) ASCII NOT NULL", u"NENDO INTEGER", u"HOST_NAME VARCHAR(255)",
          u"ATTACHMENT_ID BIGINT"}},
        {u"W_MEISAI",
         {u"CPU_NAME VARCHAR(20) NOT NULL", u"JIKOKU VARCHAR(14) ASCII NOT NULL", u"SEQ_NO INTEGER NOT NULL",
          u"NENDO INTEGER", u"KAIKEI_KUBUN INTEGER NOT NULL", u"HIZUKE VARCHAR(8) ASCII",
          u"MMDD VARCHAR(4) ASCII", u"AITE VARCHAR(10)", u"TEKIYO VARCHAR(50)", u"KAMOKU INTEGER",
          u"SYUNYU INTEGER", u"SISYUTSU INTEGER", u"KOUSIN_FLAG INTEGER"}},
        {u"W_YOSAN",
         {u"CPU_NAME VARCHAR(20) NOT NULL", u"JIKOKU VARCHAR(14) ASCII NOT NULL", u"NENDO INTEGER NOT NULL",
          u"KAIKEI_KUBUN INTEGER NOT NULL", u"KAMOKU INTEGER NOT NULL", u"JUNJYO INTEGER", u"YOSAN INTEGER",
          u"ZENNEN_YOSAN INTEGER", u"ZENNEN_KESSAN INTEGER", u"TEKIYO VARCHAR(30)", u"SYUSI_KUBUN INTEGER",
          u"BUNRUI INTEGER", u"BUNRUI_JUNJYO INTEGER", u"KAMOKU_JUNJYO INTEGER", u"HOSEI_ZEN INTEGER",
          u"KONKAI_HOSEI INTEGER", u"HOSEI INTEGER", u"HOSEIGO INTEGER"}},
        {u"YOSAN",
         {u"NENDO INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL", u"KAMOKU INTEGER NOT NULL",
          u"JUNJYO INTEGER", u"YOSAN INTEGER", u"ZENNEN_YOSAN INTEGER", u"ZENNEN_KESSAN INTEGER",
          u"TEKIYO VARCHAR(30)"}},
        {u"YOSAN_HOSEI",
         {u"NENDO INTEGER NOT NULL", u"HOSEI_NO INTEGER NOT NULL", u"SYONIN_BI VARCHAR(8) ASCII",
          u"TEKIYO VARCHAR(30)"}},
        {u"YOSAN_HOSEI_GAKU",
         {u"NENDO INTEGER NOT NULL", u"HOSEI_NO INTEGER NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL",
          u"KAMOKU INTEGER NOT NULL", u"HOSEI INTEGER", u"TEKIYO VARCHAR(30)"}},
        {u"ZANDAKA_UCHIWAKE",
         {u"NENDO INTEGER NOT NULL", u"SIMEBI VARCHAR(8) ASCII NOT NULL", u"KAIKEI_KUBUN INTEGER NOT NULL",
          u"JUNJYO INTEGER NOT NULL", u"BASYO VARCHAR(40)", u"KINGAKU INTEGER"}},
    };
    return tables;
}

// Every constraint and index of the user tables. MEISAI and W_MEISAI carry no key
// on purpose (see the schema script).
const char16_t* const kExpectedKeys[] = {
    u"PRIMARY KEY AITE(MEISYO)",
    u"PRIMARY KEY BUNRUI(CD)",
    u"PRIMARY KEY CYUKAN_KESSAN(NENDO,SIMEBI,KAIKEI_KUBUN,KAMOKU)",
    u"PRIMARY KEY CYUKAN_KESSAN_NENDO(NENDO,SIMEBI)",
    u"PRIMARY KEY GENKIN_ZAN(HIZUKE)",
    u"PRIMARY KEY HAN(HAN_CD)",
    u"PRIMARY KEY HYOUJI_KUBUN(CD)",
    u"PRIMARY KEY KAIKEI_KUBUN(CD)",
    u"PRIMARY KEY KAIHI_MENJYO(NENDO,SETAI_CD,SYURUI_CD,KAISI_TSUKI)",
    u"PRIMARY KEY KAIHI_NOUFU(NOUFU_NO)",
    u"PRIMARY KEY KAIHI_SYURUI(NENDO,SYURUI_CD)",
    u"PRIMARY KEY KAMOKU(CD)",
    u"PRIMARY KEY KESSAN(NENDO,KAIKEI_KUBUN,KAMOKU)",
    u"PRIMARY KEY KURIKOSI(NENDO,KAIKEI_KUBUN,KAMOKU)",
    u"PRIMARY KEY NENDO(NENDO)",
    u"PRIMARY KEY NENDO_SIME(NENDO,SEQ_NO)",
    u"PRIMARY KEY SETAI(SETAI_CD)",
    u"PRIMARY KEY SETAI_HAN(SETAI_CD,KAISI_BI)",
    u"PRIMARY KEY SYUSI_KUBUN(CD)",
    u"PRIMARY KEY TEIKI_MEISAI(CD)",
    u"PRIMARY KEY TEKIYO(MEISYO)",
    u"PRIMARY KEY TORIKOMI_RULE(CD)",
    u"PRIMARY KEY W_KEY(CPU_NAME,JIKOKU)",
    u"PRIMARY KEY YOSAN(NENDO,KAIKEI_KUBUN,KAMOKU)",
    u"PRIMARY KEY YOSAN_HOSEI(NENDO,HOSEI_NO)",
    u"PRIMARY KEY YOSAN_HOSEI_GAKU(NENDO,HOSEI_NO,KAIKEI_KUBUN,KAMOKU)",
    u"PRIMARY KEY ZANDAKA_UCHIWAKE(NENDO,SIMEBI,KAIKEI_KUBUN,JUNJYO)",
};
const char16_t* const kExpectedIndexes[] = {u"INDEX IX_AITE_1 AITE(FURIGANA,MEISYO)",
                                            u"INDEX IX_W_MEISAI_1 W_MEISAI(CPU_NAME,JIKOKU,SEQ_NO)"};

QString Describe(const db::Value& name, const db::Value& type, const db::Value& length,
                 const db::Value& charSet, const db::Value& notNull) {
    QString text = name.AsString() + u' ';
    switch (type.AsInteger()) {
        case 8:
            text += u"INTEGER"_s;
            break;
        case 37:
            text += QStringLiteral("VARCHAR(%1)").arg(length.AsInteger());
            break;
        case 16:
            text += u"BIGINT"_s;
            break;
        default:
            text += QStringLiteral("TYPE%1").arg(type.AsInteger());
    }
    if (charSet.AsString() == u"ASCII")
        text += u" ASCII"_s;
    if (!charSet.IsNull() && charSet.AsString() != u"ASCII" && charSet.AsString() != u"UNICODE_FSS")
        text += u' ' + charSet.AsString();
    if (notNull.AsInteger() == 1)
        text += u" NOT NULL"_s;
    return text;
}

std::map<QString, QStringList> ActualColumns(db::Connection& connection) {
    const auto rows = connection.Select(
        QStringLiteral("select trim(RF.RDB$RELATION_NAME), trim(RF.RDB$FIELD_NAME), F.RDB$FIELD_TYPE, "
                       "F.RDB$CHARACTER_LENGTH, "
                       "  trim(CS.RDB$CHARACTER_SET_NAME), coalesce(RF.RDB$NULL_FLAG, F.RDB$NULL_FLAG, 0) "
                       "from RDB$RELATION_FIELDS RF "
                       "join RDB$RELATIONS R on R.RDB$RELATION_NAME = RF.RDB$RELATION_NAME "
                       "join RDB$FIELDS F on F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE "
                       "left join RDB$CHARACTER_SETS CS on CS.RDB$CHARACTER_SET_ID = F.RDB$CHARACTER_SET_ID "
                       "where coalesce(R.RDB$SYSTEM_FLAG, 0) = 0 "
                       "order by RF.RDB$RELATION_NAME, RF.RDB$FIELD_POSITION"));
    std::map<QString, QStringList> tables;
    for (const auto& r : rows.rows)
        tables[r[0].AsString()] << Describe(r[1], r[2], r[3], r[4], r[5]);
    return tables;
}

QStringList ActualKeysAndIndexes(db::Connection& connection) {
    // Segments of every user index with the constraint it serves (if any).
    const auto rows = connection.Select(QStringLiteral(
        "select trim(I.RDB$INDEX_NAME), trim(I.RDB$RELATION_NAME), trim(RC.RDB$CONSTRAINT_TYPE), "
        "  trim(S.RDB$FIELD_NAME), coalesce(I.RDB$UNIQUE_FLAG, 0) "
        "from RDB$INDICES I "
        "join RDB$INDEX_SEGMENTS S on S.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
        "left join RDB$RELATION_CONSTRAINTS RC on RC.RDB$INDEX_NAME = I.RDB$INDEX_NAME "
        "where coalesce(I.RDB$SYSTEM_FLAG, 0) = 0 "
        "order by I.RDB$RELATION_NAME, I.RDB$INDEX_NAME, S.RDB$FIELD_POSITION"));
    std::map<QString, QString> heads;
    std::map<QString, QStringList> fields;
    for (const auto& r : rows.rows) {
        const QString index = r[0].AsString();
        const QString kind = r[2].IsNull()
                                 ? (r[4].AsInteger() == 1 ? u"UNIQUE INDEX "_s + index : u"INDEX "_s + index)
                                 : r[2].AsString();
        heads[index] = kind + u' ' + r[1].AsString();
        fields[index] << r[3].AsString();
    }
    QStringList result;
    for (const auto& [index, head] : heads)
        result << head + u'(' + fields[index].join(u',') + u')';
    result.sort();
    return result;
}

class EmptyDatabase : public ::testing::Test {
  protected:
    ScratchDatabase scratch;
    db::Connection connection{scratch.Provider()};
};

TEST_F(EmptyDatabase, HasExactlyTheDocumentedTablesAndColumns) {
    const auto actual = ActualColumns(connection);
    std::map<QString, QStringList> expected;
    for (const auto& table : ExpectedTables()) {
        QStringList& columns = expected[QString::fromUtf16(table.name)];
        for (const char16_t* column : table.columns)
            columns << QString::fromUtf16(column);
    }
    ASSERT_EQ(expected.size(), 32u);
    EXPECT_EQ(actual.size(), expected.size());
    for (const auto& [table, columns] : expected) {
        SCOPED_TRACE(table.toStdString());
        const auto it = actual.find(table);
        ASSERT_NE(it, actual.end());
        EXPECT_EQ(it->second.join(u'\n').toStdString(), columns.join(u'\n').toStdString());
    }
}

TEST_F(EmptyDatabase, HasTheDocumentedKeysAndIndexOnly) {
    QStringList expected;
    for (const char16_t* key : kExpectedKeys)
        expected << QString::fromUtf16(key);
    for (const char16_t* index : kExpectedIndexes)
        expected << QString::fromUtf16(index);
    expected.sort();
    EXPECT_EQ(ActualKeysAndIndexes(connection).join(u'\n').toStdString(), expected.join(u'\n').toStdString());
}

TEST_F(EmptyDatabase, ControlRowIsAtTheCurrentLevelWithoutNameOrPassword) {
    const auto rows =
        connection.Select(QStringLiteral("select KY, DANTAIMEI, PASS_WD, NENDO, DB_VERSION from KANRI"));
    ASSERT_EQ(rows.rows.size(), 1u);
    const auto& r = rows.rows[0];
    EXPECT_EQ(r[0], db::Value(1));
    EXPECT_TRUE(r[1].IsNull() || r[1] == db::Value(u""));
    EXPECT_EQ(r[2], db::Value(u""));
    EXPECT_TRUE(r[3].IsNull());
    EXPECT_EQ(r[4], db::Value(u"1.0.4.0"));
}

TEST_F(EmptyDatabase, CodeTablesAndGeneralAccount) {
    auto pairs = [&](const QString& sql) {
        QStringList list;
        for (const auto& r : connection.Select(sql).rows)
            list << r[0].AsString() + u' ' + r[1].AsString();
        return list.join(u", ").toStdString();
    };
    EXPECT_EQ(pairs(u"select CD, MEISYO from SYUSI_KUBUN order by CD"_s), "1 収入, 2 支出");
    EXPECT_EQ(pairs(u"select CD, MEISYO from HYOUJI_KUBUN order by CD"_s), "0 集計しない, 1 集計する");
    EXPECT_EQ(pairs(u"select CD, MEISYO from KAIKEI_KUBUN order by CD"_s), "0 一般会計");
    // The division list's own condition offers the general account in any year.
    const auto valid = connection.Select(
        u"select CD from KAIKEI_KUBUN where (coalesce(KAISI_NENDO, 0) <= :KAISI_NENDO) "
        "and (coalesce(SYURYO_NENDO, 9999) >= :SYURYO_NENDO)"_s,
        {{u"KAISI_NENDO"_s, 2021}, {u"SYURYO_NENDO"_s, 2021}});
    EXPECT_EQ(valid.rows.size(), 1u);
}

// What the windows do with each built-in item: its kind and aggregation come from
// its classification; the transfer items sit in classifications that allow a division.
TEST_F(EmptyDatabase, BuiltInItemsHaveTheRolesTheWindowsGiveThem) {
    struct Role {
        int item;
        int bunrui;
        int syusi;
        int tokubetsuKaikei;
    };
    const Role roles[] = {
        {100, 1, 1, 0},    // carry-over from the previous year: a receipts item of the budget
        {3000, 30, 1, 1},  // a special account receives from the general account
        {6000, 60, 2, 1},  // a special account pays to the general account
        {7000, 70, 2, 0},  // reserve fund
        {8000, 80, 2, 0},  // carry-over to the next year
    };
    const auto rows = connection.Select(
        QStringLiteral("select K.CD, K.MEISYO, K.BUNRUI, B.SYUSI_KUBUN, B.KESSANSYO_KUBUN, "
                       "B.TOKUBETSU_KAIKEI, K.SAKUJYO_FUKA, "
                       "  B.SAKUJYO_FUKA, K.TOKUBETSU_CD, K.KAISI_NENDO, K.SYURYO_NENDO, B.MEISYO "
                       "from KAMOKU K join BUNRUI B on (B.CD = K.BUNRUI) order by K.CD"));
    ASSERT_EQ(rows.rows.size(), std::size(roles));
    for (std::size_t i = 0; i < std::size(roles); ++i) {
        const Role& role = roles[i];
        const auto& r = rows.rows[i];
        SCOPED_TRACE(role.item);
        EXPECT_EQ(r[0], db::Value(role.item));
        EXPECT_FALSE(r[1].AsString().isEmpty());
        EXPECT_EQ(r[2], db::Value(role.bunrui));
        EXPECT_EQ(r[3], db::Value(role.syusi));
        EXPECT_EQ(r[4], db::Value(1)) << "aggregated, so the budget and settlement list it";
        EXPECT_EQ(r[5], db::Value(role.tokubetsuKaikei));
        EXPECT_EQ(r[6], db::Value(1));
        EXPECT_EQ(r[7], db::Value(1));
        EXPECT_EQ(r[8], db::Value(0)) << "names no division";
        EXPECT_TRUE(r[9].IsNull() && r[10].IsNull()) << "valid in every year";
        EXPECT_FALSE(r[11].AsString().isEmpty());
    }
    EXPECT_EQ(connection.Select(u"select CD from BUNRUI"_s).rows.size(), 5u);
}

}  // namespace
