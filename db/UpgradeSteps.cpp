#include "db/UpgradeSteps.h"

#include "db/SchemaLevel.h"

namespace db {

namespace {

// One statement text per command of the upgrade, named after the command.

// The case expression is of the type of its longest literal, CHAR(5): without the
// trim, '集計する' would be stored with a trailing blank.
const QString HyojiKubunSyuseiSQL = QStringLiteral(
    "update HYOUJI_KUBUN set MEISYO = trim(case when (CD = 0) then '集計しない' else '集計する' end)");

const QString SQLDataSet2 = QStringLiteral(
    "alter table NENDO "
    "add YOSAN_YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "add YOSAN_DAIHYOSYA VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "add YOSAN_KAIKEI_YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "add YOSAN_KAIKEI1 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "add YOSAN_KAIKEI2 VARCHAR(10) CHARACTER SET UNICODE_FSS");

const QString SQLDataSet3 = QStringLiteral(
    "update NENDO set YOSAN_YAKUSYOKU = YAKUSYOKU, YOSAN_DAIHYOSYA = DAIHYOSYA, "
    "YOSAN_KAIKEI_YAKUSYOKU = KAIKEI_YAKUSYOKU, YOSAN_KAIKEI1 = KAIKEI1, YOSAN_KAIKEI2 = KAIKEI2");

const QString SQLDataSet4 = QStringLiteral(
    "create table KURIKOSI ("
    "NENDO INTEGER NOT NULL, KAIKEI_KUBUN INTEGER NOT NULL, KAMOKU INTEGER NOT NULL, KURIKOSI INTEGER, "
    "primary key (NENDO, KAIKEI_KUBUN, KAMOKU))");

const QString SQLDataSet5 =
    QStringLiteral("alter TABLE KAMOKU alter MEISYO type VARCHAR(15) CHARACTER SET UNICODE_FSS;");

const QString SQLDataSet6 = QStringLiteral(
    "create table GENKIN_ZAN ("
    "HIZUKE VARCHAR(8) CHARACTER SET ASCII NOT NULL, GENKIN INTEGER, YOKIN INTEGER, SYONIN INTEGER, "
    "primary key (HIZUKE))");

const QString SQLDataSet7 = QStringLiteral("drop table AITE");

const QString SQLDataSet8 = QStringLiteral(
    "create table AITE ("
    "MEISYO VARCHAR(10) CHARACTER SET UNICODE_FSS NOT NULL, FURIGANA VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "primary key (MEISYO))");

const QString SQLDataSet9 = QStringLiteral(
    "insert into AITE ( MEISYO ) select distinct AITE from MEISAI where (AITE is not null) order by AITE");

const QString SQLDataSet10 = QStringLiteral("CREATE INDEX IX_AITE_1 ON AITE(FURIGANA, MEISYO)");

const QString SQLDataSet11 =
    QStringLiteral("alter table KANRI add DB_VERSION VARCHAR(20) CHARACTER SET ASCII");

const QString SQLDataSet12 = QStringLiteral(
    "create table CYUKAN_KESSAN_NENDO ("
    "NENDO INTEGER NOT NULL, "
    "SIMEBI VARCHAR(8) CHARACTER SET ASCII NOT NULL, "
    "KI INTEGER, "
    "KISYUBI VARCHAR(8) CHARACTER SET ASCII, "
    "KIMATSUBI VARCHAR(8) CHARACTER SET ASCII, "
    "DANTAIMEI VARCHAR(30) CHARACTER SET UNICODE_FSS, "
    "YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "DAIHYOSYA VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "YUBIN VARCHAR(8) CHARACTER SET ASCII, "
    "JYUSYO VARCHAR(30) CHARACTER SET UNICODE_FSS, "
    "TEL VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "FAX VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "KAIKEI_YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "KAIKEI1 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "KAIKEI2 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "KANSA_YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "KANSA1 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "KANSA2 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "NENGO_KUBUN INTEGER, "
    "YOSAN_COMMENT VARCHAR(60) CHARACTER SET UNICODE_FSS, "
    "YOSAN_HIZUKE VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "YOSAN_SYOMEI VARCHAR(30) CHARACTER SET UNICODE_FSS, "
    "YOSAN_COMMENT_KUBUN INTEGER, "
    "KESSAN_COMMENT VARCHAR(60) CHARACTER SET UNICODE_FSS, "
    "KESSAN_HIZUKE VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "KESSAN_SYOMEI VARCHAR(30) CHARACTER SET UNICODE_FSS, "
    "KESSAN_SYOMEI_KUBUN1 INTEGER, "
    "KESSAN_SYOMEI_KUBUN2 INTEGER, "
    "KESSAN_SYOMEI_KUBUN3 INTEGER, "
    "KANSA_COMMENT VARCHAR(60) CHARACTER SET UNICODE_FSS, "
    "KANSA_HIZUKE VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "KANSA_SYOMEI_KUBUN1 INTEGER, "
    "KANSA_SYOMEI_KUBUN2 INTEGER, "
    "YOSAN_BIKOU VARCHAR(60) CHARACTER SET UNICODE_FSS, "
    "KESSAN_BIKOU VARCHAR(60) CHARACTER SET UNICODE_FSS, "
    "YOSANSYO_SYOKICHI VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "KESSANSYO_SYOKICHI VARCHAR(20) CHARACTER SET UNICODE_FSS, "
    "YOSAN_YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "YOSAN_DAIHYOSYA VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "YOSAN_KAIKEI_YAKUSYOKU VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "YOSAN_KAIKEI1 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "YOSAN_KAIKEI2 VARCHAR(10) CHARACTER SET UNICODE_FSS, "
    "primary key (NENDO, SIMEBI))");

const QString SQLDataSet13 = QStringLiteral(
    "create table CYUKAN_KESSAN ("
    "NENDO INTEGER NOT NULL, SIMEBI VARCHAR(8) CHARACTER SET ASCII NOT NULL, KAIKEI_KUBUN INTEGER NOT NULL, "
    "KAMOKU INTEGER NOT NULL, JUNJYO INTEGER, TEKIYO VARCHAR(30) CHARACTER SET UNICODE_FSS, "
    "primary key (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU))");

const QString SQLDataSet14 = QStringLiteral(
    "update BUNRUI set "
    "SAKUJYO_FUKA = case when (SAKUJYO_FUKA is null) then 0 else SAKUJYO_FUKA end, "
    "TOKUBETSU_KAIKEI = case when (TOKUBETSU_KAIKEI is null) then 0 else TOKUBETSU_KAIKEI end");

const QString SQLDataSet15 = QStringLiteral(
    "update KAMOKU set "
    "SAKUJYO_FUKA = case when (SAKUJYO_FUKA is null) then 0 else SAKUJYO_FUKA end, "
    "TOKUBETSU_CD = case when (TOKUBETSU_CD is null) then 0 else TOKUBETSU_CD end");

const QString SQLDataSet16 =
    QStringLiteral("alter table NENDO add YOSAN_ZERO_PRINT INTEGER, add KESSAN_ZERO_PRINT INTEGER;");

const QString SQLDataSet17 = QStringLiteral("update NENDO set YOSAN_ZERO_PRINT = 1, KESSAN_ZERO_PRINT = 1;");

const QString SQLDataSet18 = QStringLiteral(
    "alter table CYUKAN_KESSAN_NENDO add YOSAN_ZERO_PRINT INTEGER, add KESSAN_ZERO_PRINT INTEGER;");

const QString SQLDataSet19 =
    QStringLiteral("update CYUKAN_KESSAN_NENDO set YOSAN_ZERO_PRINT = 1, KESSAN_ZERO_PRINT = 1;");

const QString SQLDataSet20 =
    QStringLiteral("alter table TEKIYO alter KENSAKU_MOJI type VARCHAR(10) CHARACTER SET UNICODE_FSS;");

// 残高内訳: the places a division's money is held at a closing.
const QString ZandakaUchiwakeSQL = QStringLiteral(
    "create table ZANDAKA_UCHIWAKE ("
    "NENDO INTEGER NOT NULL, SIMEBI VARCHAR(8) CHARACTER SET ASCII NOT NULL, KAIKEI_KUBUN INTEGER NOT NULL, "
    "JUNJYO INTEGER NOT NULL, BASYO VARCHAR(40) CHARACTER SET UNICODE_FSS, KINGAKU INTEGER, "
    "primary key (NENDO, SIMEBI, KAIKEI_KUBUN, JUNJYO))");

// 年度の締め: every close and reopen of a year.
const QString NendoSimeSQL = QStringLiteral(
    "create table NENDO_SIME ("
    "NENDO INTEGER NOT NULL, SEQ_NO INTEGER NOT NULL, SOUSA INTEGER NOT NULL, "
    "NICHIJI VARCHAR(14) CHARACTER SET ASCII, CPU_NAME VARCHAR(255) CHARACTER SET UNICODE_FSS, "
    "USER_NAME VARCHAR(60) CHARACTER SET UNICODE_FSS, RIYU VARCHAR(100) CHARACTER SET UNICODE_FSS, "
    "primary key (NENDO, SEQ_NO))");

// Import rules of the journal's 取込 (db/schema/tables.sql).
const QString TorikomiRuleSQL = QStringLiteral(
    "create table TORIKOMI_RULE ("
    "CD INTEGER NOT NULL, JUNJYO INTEGER NOT NULL, TAISYO INTEGER NOT NULL, HOUHOU INTEGER NOT NULL, "
    "MOJI VARCHAR(100) CHARACTER SET UNICODE_FSS NOT NULL, KAMOKU INTEGER NOT NULL, KAIKEI_KUBUN INTEGER, "
    "AITE VARCHAR(10) CHARACTER SET UNICODE_FSS, TEKIYO VARCHAR(50) CHARACTER SET UNICODE_FSS, "
    "primary key (CD))");

// Recurring journal lines (db/schema/tables.sql).
const QString TeikiMeisaiSQL = QStringLiteral(
    "create table TEIKI_MEISAI ("
    "CD INTEGER NOT NULL, KAIKEI_KUBUN INTEGER NOT NULL, KAMOKU INTEGER NOT NULL, "
    "AITE VARCHAR(10) CHARACTER SET UNICODE_FSS, TEKIYO VARCHAR(50) CHARACTER SET UNICODE_FSS, "
    "SYUNYU INTEGER, SISYUTSU INTEGER, HI INTEGER NOT NULL, TSUKI VARCHAR(12) CHARACTER SET ASCII NOT NULL, "
    "primary key (CD))");

// Budget amendments, and each year's statement titles and signs of 増減.
const QString YosanHoseiSQL = QStringLiteral(
    "create table YOSAN_HOSEI ("
    "NENDO INTEGER NOT NULL, HOSEI_NO INTEGER NOT NULL, SYONIN_BI VARCHAR(8) CHARACTER SET ASCII, "
    "TEKIYO VARCHAR(30) CHARACTER SET UNICODE_FSS, primary key (NENDO, HOSEI_NO))");
const QString YosanHoseiGakuSQL = QStringLiteral(
    "create table YOSAN_HOSEI_GAKU ("
    "NENDO INTEGER NOT NULL, HOSEI_NO INTEGER NOT NULL, KAIKEI_KUBUN INTEGER NOT NULL, KAMOKU INTEGER NOT "
    "NULL, "
    "HOSEI INTEGER, TEKIYO VARCHAR(30) CHARACTER SET UNICODE_FSS, "
    "primary key (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU))");
const QString StatementStyleColumns = QStringLiteral(
    " add YOSAN_TITLE VARCHAR(30) CHARACTER SET UNICODE_FSS, add KESSAN_TITLE VARCHAR(30) CHARACTER SET "
    "UNICODE_FSS, add SYUNYU_ZOGEN_KUBUN INTEGER, add SISYUTSU_ZOGEN_KUBUN INTEGER");
// The dues ledger (db/schema/tables.sql).
const QString HanSQL = QStringLiteral(
    "create table HAN ("
    "HAN_CD INTEGER NOT NULL, MEISYO VARCHAR(10) CHARACTER SET UNICODE_FSS NOT NULL, "
    "HANCYO VARCHAR(10) CHARACTER SET UNICODE_FSS, JUNJYO INTEGER, primary key (HAN_CD))");
const QString SetaiSQL = QStringLiteral(
    "create table SETAI ("
    "SETAI_CD INTEGER NOT NULL, MEISYO VARCHAR(30) CHARACTER SET UNICODE_FSS NOT NULL, "
    "FURIGANA VARCHAR(30) CHARACTER SET UNICODE_FSS, JYUSYO VARCHAR(60) CHARACTER SET UNICODE_FSS, "
    "TEL VARCHAR(20) CHARACTER SET ASCII, NYUKAI_BI VARCHAR(8) CHARACTER SET ASCII NOT NULL, "
    "TAIKAI_BI VARCHAR(8) CHARACTER SET ASCII, BIKO VARCHAR(100) CHARACTER SET UNICODE_FSS, "
    "primary key (SETAI_CD))");
const QString SetaiHanSQL = QStringLiteral(
    "create table SETAI_HAN ("
    "SETAI_CD INTEGER NOT NULL, KAISI_BI VARCHAR(8) CHARACTER SET ASCII NOT NULL, HAN_CD INTEGER NOT NULL, "
    "primary key (SETAI_CD, KAISI_BI))");
const QString KaihiSyuruiSQL = QStringLiteral(
    "create table KAIHI_SYURUI ("
    "NENDO INTEGER NOT NULL, SYURUI_CD INTEGER NOT NULL, "
    "MEISYO VARCHAR(10) CHARACTER SET UNICODE_FSS NOT NULL, TSUKI_KUBUN INTEGER NOT NULL, KINGAKU INTEGER "
    "NOT NULL, KAIKEI_KUBUN INTEGER NOT NULL, "
    "KAMOKU INTEGER NOT NULL, primary key (NENDO, SYURUI_CD))");
const QString KaihiMenjyoSQL = QStringLiteral(
    "create table KAIHI_MENJYO ("
    "NENDO INTEGER NOT NULL, SETAI_CD INTEGER NOT NULL, SYURUI_CD INTEGER NOT NULL, "
    "KAISI_TSUKI VARCHAR(6) CHARACTER SET ASCII NOT NULL, "
    "SYURYO_TSUKI VARCHAR(6) CHARACTER SET ASCII NOT NULL, RIYU VARCHAR(50) CHARACTER SET UNICODE_FSS, "
    "primary key (NENDO, SETAI_CD, SYURUI_CD, KAISI_TSUKI))");
const QString KaihiNoufuSQL = QStringLiteral(
    "create table KAIHI_NOUFU ("
    "NOUFU_NO INTEGER NOT NULL, NENDO INTEGER NOT NULL, SETAI_CD INTEGER NOT NULL, "
    "SYURUI_CD INTEGER NOT NULL, HIZUKE VARCHAR(8) CHARACTER SET ASCII NOT NULL, TSUKI VARCHAR(12) CHARACTER "
    "SET ASCII NOT NULL, "
    "KINGAKU INTEGER NOT NULL, HAN_CD INTEGER NOT NULL, SEQ_NO INTEGER, RYOSYUSYO_NO INTEGER, "
    "primary key (NOUFU_NO))");
const QString SeqKaihiNoufuSQL = QStringLiteral("create sequence SEQ_KAIHI_NOUFU");
const QString SeqRyosyusyoSQL = QStringLiteral("create sequence SEQ_RYOSYUSYO");

const QString NendoStyleSQL = QStringLiteral("alter table NENDO") + StatementStyleColumns;
// The budget's work rows: the earlier amendments' sum, the amendment being entered,
// their sum and the amended budget; the settlement's: the amendments' sum.
const QString WYosanHoseiSQL = QStringLiteral(
    "alter table W_YOSAN add HOSEI_ZEN INTEGER, add KONKAI_HOSEI INTEGER, add HOSEI INTEGER, add HOSEIGO "
    "INTEGER");
const QString WKessanHoseiSQL = QStringLiteral("alter table W_KESSAN add HOSEI INTEGER");
const QString CyukanNendoStyleSQL = QStringLiteral("alter table CYUKAN_KESSAN_NENDO") + StatementStyleColumns;
// Whether the settlement statements print the 残高内訳 block (決算書出力's choice).
const QString NendoZandakaPrintSQL = QStringLiteral("alter table NENDO add KESSAN_ZANDAKA_PRINT INTEGER");
// Whether the statement choice windows add the chart sheet, as last chosen.
const QString NendoGraphSQL =
    QStringLiteral("alter table NENDO add YOSAN_GRAPH_PRINT INTEGER, add KESSAN_GRAPH_PRINT INTEGER");
const QString SetVersionSQL = QStringLiteral("update KANRI set DB_VERSION = :DbVersion");

UpgradeStep Step(const char16_t* name, const QString& sql, const QString& doneSql = QString()) {
    return {QString::fromUtf16(name), sql, {}, doneSql};
}

// The questions a step asks of the schema before it runs. A table counts as made
// when its last column is there (one statement makes all of it): a table of that
// name that something else put in the way still fails the step.
QString OldAiteGone() {
    return QStringLiteral(
        "select count(*) from RDB$DATABASE where not exists (select 1 from RDB$RELATIONS where "
        "(RDB$RELATION_NAME = 'AITE')) or exists (select 1 from RDB$RELATION_FIELDS where "
        "(RDB$RELATION_NAME = 'AITE') and (RDB$FIELD_NAME = 'FURIGANA'))");
}

QString ColumnExists(const char* table, const char* column) {
    return QStringLiteral(
               "select count(*) from RDB$RELATION_FIELDS where (RDB$RELATION_NAME = '%1') and "
               "(RDB$FIELD_NAME = '%2')")
        .arg(QLatin1String(table), QLatin1String(column));
}

QString SequenceExists(const char* name) {
    return QStringLiteral("select count(*) from RDB$GENERATORS where (RDB$GENERATOR_NAME = '%1')")
        .arg(QLatin1String(name));
}

QString ColumnHasLength(const char* table, const char* column, int length) {
    return QStringLiteral(
               "select count(*) from RDB$RELATION_FIELDS RF join RDB$FIELDS F on "
               "(F.RDB$FIELD_NAME = RF.RDB$FIELD_SOURCE) where (RF.RDB$RELATION_NAME = '%1') and "
               "(RF.RDB$FIELD_NAME = '%2') and (F.RDB$CHARACTER_LENGTH = %3)")
        .arg(QLatin1String(table), QLatin1String(column))
        .arg(length);
}

QString IndexExists(const char* index) {
    return QStringLiteral("select count(*) from RDB$INDICES where (RDB$INDEX_NAME = '%1')")
        .arg(QLatin1String(index));
}

UpgradeBlock Block(const char16_t* header, std::vector<UpgradeStep> steps) {
    return {QString::fromUtf16(header), std::move(steps)};
}

bool IsLevel(const QString& level, const char16_t* other) {
    return CompareSchemaLevels(level, QString::fromUtf16(other)) == 0;
}

}  // namespace

std::vector<UpgradeBlock> UpgradeBlocksFor(const QString& level) {
    std::vector<UpgradeBlock> blocks;
    QString at = level;
    if (CompareSchemaLevels(at, QStringLiteral("1.0.2.4")) < 0) {
        blocks.push_back(
            Block(u"表示区分マスタ修正 開始", {Step(u"表示区分マスタ修正", HyojiKubunSyuseiSQL)}));
    }
    if (IsLevel(at, u"1.0.0.0")) {
        blocks.push_back(
            Block(u"v-1.0.1.0レベルへのアップデート 開始",
                  {Step(u"年度マスタ項目追加", SQLDataSet2, ColumnExists("NENDO", "YOSAN_YAKUSYOKU")),
                   Step(u"年度マスタ項目セット", SQLDataSet3),
                   Step(u"集計対象外科目繰越テーブル作成", SQLDataSet4, ColumnExists("KURIKOSI", "KURIKOSI")),
                   Step(u"科目マスタ桁数変更", SQLDataSet5, ColumnHasLength("KAMOKU", "MEISYO", 15)),
                   Step(u"現預金残高テーブル作成", SQLDataSet6, ColumnExists("GENKIN_ZAN", "SYONIN"))}));
        at = QStringLiteral("1.0.1.0");
    }
    if (IsLevel(at, u"1.0.1.0")) {
        blocks.push_back(Block(
            u"v-1.0.2.1レベルへのアップデート 開始",
            {Step(u"旧入金先／支払先マスタ削除", SQLDataSet7, OldAiteGone()),
             Step(u"入金先／支払先マスタ作成", SQLDataSet8, ColumnExists("AITE", "FURIGANA")),
             Step(u"入金先／支払先データ追加", SQLDataSet9, QStringLiteral("select count(*) from AITE")),
             Step(u"入金先／支払先マスタインデックス作成", SQLDataSet10, IndexExists("IX_AITE_1")),
             Step(u"管理テーブル項目追加(DB_VERSION)", SQLDataSet11, ColumnExists("KANRI", "DB_VERSION"))}));
        at = QStringLiteral("1.0.2.1");
    }
    if (IsLevel(at, u"1.0.2.1")) {
        blocks.push_back(
            Block(u"v-1.0.2.4レベルへのアップデート 開始",
                  {Step(u"中間決算年度テーブル作成", SQLDataSet12,
                        ColumnExists("CYUKAN_KESSAN_NENDO", "YOSAN_KAIKEI2")),
                   Step(u"中間決算テーブル作成", SQLDataSet13, ColumnExists("CYUKAN_KESSAN", "TEKIYO"))}));
        at = QStringLiteral("1.0.2.4");
    }
    if (IsLevel(at, u"1.0.2.4")) {
        blocks.push_back(
            Block(u"v-1.0.2.6レベルへのアップデート 開始",
                  {Step(u"科目分類テーブル 削除不可フラグ，特別会計フラグ null--->0", SQLDataSet14),
                   Step(u"科目テーブル 削除不可フラグ，特別会計コード null--->0", SQLDataSet15)}));
        at = QStringLiteral("1.0.2.6");
    }
    if (IsLevel(at, u"1.0.2.6")) {
        blocks.push_back(Block(u"v-1.0.2.8レベルへのアップデート 開始",
                               {Step(u"年度テーブル 金額０科目出力区分追加", SQLDataSet16,
                                     ColumnExists("NENDO", "YOSAN_ZERO_PRINT")),
                                Step(u"年度テーブル 金額０科目出力区分 1セット", SQLDataSet17),
                                Step(u"中間決算年度テーブル 金額０科目出力区分追加", SQLDataSet18,
                                     ColumnExists("CYUKAN_KESSAN_NENDO", "YOSAN_ZERO_PRINT")),
                                Step(u"中間決算年度テーブル 金額０科目出力区分 1セット", SQLDataSet19)}));
        at = QStringLiteral("1.0.2.8");
    }
    if (IsLevel(at, u"1.0.2.8")) {
        blocks.push_back(Block(u"v-1.0.3.0レベルへのアップデート 開始",
                               {Step(u"摘要マスタの桁数変更(1K → 10K)", SQLDataSet20,
                                     ColumnHasLength("TEKIYO", "KENSAKU_MOJI", 10))}));
        at = QStringLiteral("1.0.3.0");
    }
    if (IsLevel(at, u"1.0.3.0")) {
        // The tables of the treasurer's year around the books. Each step names what
        // shows it done, so an interrupted upgrade finishes on the next login.
        blocks.push_back(Block(
            u"v-1.0.4.0レベルへのアップデート 開始",
            {Step(u"残高内訳テーブル作成", ZandakaUchiwakeSQL, ColumnExists("ZANDAKA_UCHIWAKE", "KINGAKU")),
             Step(u"年度締め履歴テーブル作成", NendoSimeSQL, ColumnExists("NENDO_SIME", "RIYU")),
             // The journal's import rules and recurring lines.
             Step(u"取込ルールテーブル作成", TorikomiRuleSQL, ColumnExists("TORIKOMI_RULE", "TEKIYO")),
             Step(u"定期明細テーブル作成", TeikiMeisaiSQL, ColumnExists("TEIKI_MEISAI", "TSUKI")),
             // Budget amendments, and each year's statement titles and signs of 増減.
             Step(u"予算補正テーブル作成", YosanHoseiSQL, ColumnExists("YOSAN_HOSEI", "TEKIYO")),
             Step(u"予算補正額テーブル作成", YosanHoseiGakuSQL, ColumnExists("YOSAN_HOSEI_GAKU", "TEKIYO")),
             Step(u"年度テーブル 表題・増減符号追加", NendoStyleSQL,
                  ColumnExists("NENDO", "SISYUTSU_ZOGEN_KUBUN")),
             Step(u"中間決算年度テーブル 表題・増減符号追加", CyukanNendoStyleSQL,
                  ColumnExists("CYUKAN_KESSAN_NENDO", "SISYUTSU_ZOGEN_KUBUN")),
             Step(u"予算ワークテーブル 補正額追加", WYosanHoseiSQL, ColumnExists("W_YOSAN", "HOSEIGO")),
             Step(u"決算ワークテーブル 補正額追加", WKessanHoseiSQL, ColumnExists("W_KESSAN", "HOSEI")),
             Step(u"年度テーブル 残高内訳出力区分追加", NendoZandakaPrintSQL,
                  ColumnExists("NENDO", "KESSAN_ZANDAKA_PRINT")),
             // The dues ledger.
             Step(u"班テーブル作成", HanSQL, ColumnExists("HAN", "JUNJYO")),
             Step(u"世帯テーブル作成", SetaiSQL, ColumnExists("SETAI", "BIKO")),
             Step(u"世帯所属班テーブル作成", SetaiHanSQL, ColumnExists("SETAI_HAN", "HAN_CD")),
             Step(u"会費種別テーブル作成", KaihiSyuruiSQL, ColumnExists("KAIHI_SYURUI", "KAMOKU")),
             Step(u"会費免除テーブル作成", KaihiMenjyoSQL, ColumnExists("KAIHI_MENJYO", "RIYU")),
             Step(u"会費納付テーブル作成", KaihiNoufuSQL, ColumnExists("KAIHI_NOUFU", "RYOSYUSYO_NO")),
             Step(u"会費納付番号シーケンス作成", SeqKaihiNoufuSQL, SequenceExists("SEQ_KAIHI_NOUFU")),
             Step(u"領収書番号シーケンス作成", SeqRyosyusyoSQL, SequenceExists("SEQ_RYOSYUSYO")),
             Step(u"年度テーブル グラフ出力区分追加", NendoGraphSQL, ColumnExists("NENDO", "KESSAN_GRAPH_PRINT"))}));
    }
    UpgradeStep setVersion = Step(u"管理テーブルDB_VERSIONセット", SetVersionSQL);
    setVersion.params = {{QStringLiteral("DbVersion"), CurrentSchemaLevel()}};
    blocks.push_back({QString(), {std::move(setVersion)}});
    return blocks;
}

}  // namespace db
