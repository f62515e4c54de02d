-- Tables of an organisation's database at schema level 1.0.4.0.
-- Text columns are UNICODE_FSS unless they only ever hold digits (dates, time
-- stamps, postal codes, schema levels): those are ASCII. The computer name of the
-- work tables (CPU_NAME) stays UNICODE_FSS, since a host name is not bound to ASCII.
-- Relations between tables are kept by the program; no foreign keys are declared.

-- The organisation's control row: exactly one row, KY = 1.
create table KANRI (
    KY          integer not null,
    DANTAIMEI   varchar(30) character set UNICODE_FSS,
    PASS_WD     varchar(10) character set UNICODE_FSS,
    NENDO       integer,
    DB_VERSION  varchar(20) character set ASCII
);

-- Settings of one fiscal year.
create table NENDO (
    NENDO                   integer not null,
    KI                      integer,
    KISYUBI                 varchar(8) character set ASCII,
    KIMATSUBI               varchar(8) character set ASCII,
    DANTAIMEI               varchar(30) character set UNICODE_FSS,
    YAKUSYOKU               varchar(10) character set UNICODE_FSS,
    DAIHYOSYA               varchar(10) character set UNICODE_FSS,
    YUBIN                   varchar(8) character set ASCII,
    JYUSYO                  varchar(30) character set UNICODE_FSS,
    TEL                     varchar(20) character set UNICODE_FSS,
    FAX                     varchar(20) character set UNICODE_FSS,
    KAIKEI_YAKUSYOKU        varchar(10) character set UNICODE_FSS,
    KAIKEI1                 varchar(10) character set UNICODE_FSS,
    KAIKEI2                 varchar(10) character set UNICODE_FSS,
    KANSA_YAKUSYOKU         varchar(10) character set UNICODE_FSS,
    KANSA1                  varchar(10) character set UNICODE_FSS,
    KANSA2                  varchar(10) character set UNICODE_FSS,
    NENGO_KUBUN             integer,
    YOSAN_COMMENT           varchar(60) character set UNICODE_FSS,
    YOSAN_HIZUKE            varchar(20) character set UNICODE_FSS,
    YOSAN_SYOMEI            varchar(30) character set UNICODE_FSS,
    YOSAN_COMMENT_KUBUN     integer,
    KESSAN_COMMENT          varchar(60) character set UNICODE_FSS,
    KESSAN_HIZUKE           varchar(20) character set UNICODE_FSS,
    KESSAN_SYOMEI           varchar(30) character set UNICODE_FSS,
    KESSAN_SYOMEI_KUBUN1    integer,
    KESSAN_SYOMEI_KUBUN2    integer,
    KESSAN_SYOMEI_KUBUN3    integer,
    KANSA_COMMENT           varchar(60) character set UNICODE_FSS,
    KANSA_HIZUKE            varchar(20) character set UNICODE_FSS,
    KANSA_SYOMEI_KUBUN1     integer,
    KANSA_SYOMEI_KUBUN2     integer,
    YOSAN_BIKOU             varchar(60) character set UNICODE_FSS,
    KESSAN_BIKOU            varchar(60) character set UNICODE_FSS,
    YOSANSYO_SYOKICHI       varchar(20) character set UNICODE_FSS,
    KESSANSYO_SYOKICHI      varchar(20) character set UNICODE_FSS,
    YOSAN_YAKUSYOKU         varchar(10) character set UNICODE_FSS,
    YOSAN_DAIHYOSYA         varchar(10) character set UNICODE_FSS,
    YOSAN_KAIKEI_YAKUSYOKU  varchar(10) character set UNICODE_FSS,
    YOSAN_KAIKEI1           varchar(10) character set UNICODE_FSS,
    YOSAN_KAIKEI2           varchar(10) character set UNICODE_FSS,
    YOSAN_ZERO_PRINT        integer,
    KESSAN_ZERO_PRINT       integer,
    YOSAN_TITLE             varchar(30) character set UNICODE_FSS,
    KESSAN_TITLE            varchar(30) character set UNICODE_FSS,
    SYUNYU_ZOGEN_KUBUN      integer,
    SISYUTSU_ZOGEN_KUBUN    integer,
    KESSAN_ZANDAKA_PRINT    integer,
    YOSAN_GRAPH_PRINT       integer,
    KESSAN_GRAPH_PRINT      integer,
    primary key (NENDO)
);

-- Classifications of account items.
create table BUNRUI (
    CD                integer not null,
    MEISYO            varchar(10) character set UNICODE_FSS,
    SYUSI_KUBUN       integer,
    KESSANSYO_KUBUN   integer,
    JUNJYO            integer,
    SAKUJYO_FUKA      integer,
    TOKUBETSU_KAIKEI  integer,
    primary key (CD)
);

-- Account items.
create table KAMOKU (
    CD            integer not null,
    MEISYO        varchar(15) character set UNICODE_FSS,
    BUNRUI        integer,
    KAISI_NENDO   integer,
    SYURYO_NENDO  integer,
    JUNJYO        integer,
    SAKUJYO_FUKA  integer,
    TOKUBETSU_CD  integer,
    primary key (CD)
);

-- Accounting divisions: 0 the general account, 1..99 special accounts.
create table KAIKEI_KUBUN (
    CD            integer not null,
    MEISYO        varchar(10) character set UNICODE_FSS,
    KAISI_NENDO   integer,
    SYURYO_NENDO  integer,
    primary key (CD)
);

-- Names of the receipts/payments kinds.
create table SYUSI_KUBUN (
    CD      integer not null,
    MEISYO  varchar(4) character set UNICODE_FSS,
    primary key (CD)
);

-- Names of the aggregation codes.
create table HYOUJI_KUBUN (
    CD      integer not null,
    MEISYO  varchar(5) character set UNICODE_FSS,
    primary key (CD)
);

-- Stored descriptions.
create table TEKIYO (
    MEISYO        varchar(50) character set UNICODE_FSS not null,
    KENSAKU_MOJI  varchar(10) character set UNICODE_FSS,
    primary key (MEISYO)
);

-- Stored counterparties.
create table AITE (
    MEISYO    varchar(10) character set UNICODE_FSS not null,
    FURIGANA  varchar(20) character set UNICODE_FSS,
    primary key (MEISYO)
);

create index IX_AITE_1 on AITE (FURIGANA, MEISYO);

-- Journal lines. A line's identity is (SEQ_NO, KAIKEI_KUBUN), but it is not
-- declared as a key: line numbers are taken, not reserved, so two loadings of
-- different years can both store one number in one division, and a transfer line
-- whose item names its own division puts both halves in that division. A key
-- would make such a save fail for good; the journal replaces a year's lines as a
-- whole and never looks a line up by this pair alone.
create table MEISAI (
    SEQ_NO        integer not null,
    KAIKEI_KUBUN  integer not null,
    NENDO         integer,
    HIZUKE        varchar(8) character set ASCII,
    AITE          varchar(10) character set UNICODE_FSS,
    TEKIYO        varchar(50) character set UNICODE_FSS,
    KAMOKU        integer,
    SYUNYU        integer,
    SISYUTSU      integer
);

-- Budget: one row per year, division and item.
create table YOSAN (
    NENDO          integer not null,
    KAIKEI_KUBUN   integer not null,
    KAMOKU         integer not null,
    JUNJYO         integer,
    YOSAN          integer,
    ZENNEN_YOSAN   integer,
    ZENNEN_KESSAN  integer,
    TEKIYO         varchar(30) character set UNICODE_FSS,
    primary key (NENDO, KAIKEI_KUBUN, KAMOKU)
);

-- Amendments of a year's budget (補正予算), numbered from 1 in the order approved.
create table YOSAN_HOSEI (
    NENDO      integer not null,
    HOSEI_NO   integer not null,
    SYONIN_BI  varchar(8) character set ASCII,
    TEKIYO     varchar(30) character set UNICODE_FSS,
    primary key (NENDO, HOSEI_NO)
);

-- The amounts of one amendment per division and item (positive or negative).
create table YOSAN_HOSEI_GAKU (
    NENDO         integer not null,
    HOSEI_NO      integer not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    HOSEI         integer,
    TEKIYO        varchar(30) character set UNICODE_FSS,
    primary key (NENDO, HOSEI_NO, KAIKEI_KUBUN, KAMOKU)
);

-- Settlement: one row per year, division and item (the amounts come from MEISAI).
create table KESSAN (
    NENDO         integer not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    JUNJYO        integer,
    TEKIYO        varchar(30) character set UNICODE_FSS,
    primary key (NENDO, KAIKEI_KUBUN, KAMOKU)
);

-- Carry-overs of the items outside the statements.
create table KURIKOSI (
    NENDO         integer not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    KURIKOSI      integer,
    primary key (NENDO, KAIKEI_KUBUN, KAMOKU)
);

-- Settings of an interim settlement: the columns of NENDO for one closing date.
create table CYUKAN_KESSAN_NENDO (
    NENDO                   integer not null,
    SIMEBI                  varchar(8) character set ASCII not null,
    KI                      integer,
    KISYUBI                 varchar(8) character set ASCII,
    KIMATSUBI               varchar(8) character set ASCII,
    DANTAIMEI               varchar(30) character set UNICODE_FSS,
    YAKUSYOKU               varchar(10) character set UNICODE_FSS,
    DAIHYOSYA               varchar(10) character set UNICODE_FSS,
    YUBIN                   varchar(8) character set ASCII,
    JYUSYO                  varchar(30) character set UNICODE_FSS,
    TEL                     varchar(20) character set UNICODE_FSS,
    FAX                     varchar(20) character set UNICODE_FSS,
    KAIKEI_YAKUSYOKU        varchar(10) character set UNICODE_FSS,
    KAIKEI1                 varchar(10) character set UNICODE_FSS,
    KAIKEI2                 varchar(10) character set UNICODE_FSS,
    KANSA_YAKUSYOKU         varchar(10) character set UNICODE_FSS,
    KANSA1                  varchar(10) character set UNICODE_FSS,
    KANSA2                  varchar(10) character set UNICODE_FSS,
    NENGO_KUBUN             integer,
    YOSAN_COMMENT           varchar(60) character set UNICODE_FSS,
    YOSAN_HIZUKE            varchar(20) character set UNICODE_FSS,
    YOSAN_SYOMEI            varchar(30) character set UNICODE_FSS,
    YOSAN_COMMENT_KUBUN     integer,
    KESSAN_COMMENT          varchar(60) character set UNICODE_FSS,
    KESSAN_HIZUKE           varchar(20) character set UNICODE_FSS,
    KESSAN_SYOMEI           varchar(30) character set UNICODE_FSS,
    KESSAN_SYOMEI_KUBUN1    integer,
    KESSAN_SYOMEI_KUBUN2    integer,
    KESSAN_SYOMEI_KUBUN3    integer,
    KANSA_COMMENT           varchar(60) character set UNICODE_FSS,
    KANSA_HIZUKE            varchar(20) character set UNICODE_FSS,
    KANSA_SYOMEI_KUBUN1     integer,
    KANSA_SYOMEI_KUBUN2     integer,
    YOSAN_BIKOU             varchar(60) character set UNICODE_FSS,
    KESSAN_BIKOU            varchar(60) character set UNICODE_FSS,
    YOSANSYO_SYOKICHI       varchar(20) character set UNICODE_FSS,
    KESSANSYO_SYOKICHI      varchar(20) character set UNICODE_FSS,
    YOSAN_YAKUSYOKU         varchar(10) character set UNICODE_FSS,
    YOSAN_DAIHYOSYA         varchar(10) character set UNICODE_FSS,
    YOSAN_KAIKEI_YAKUSYOKU  varchar(10) character set UNICODE_FSS,
    YOSAN_KAIKEI1           varchar(10) character set UNICODE_FSS,
    YOSAN_KAIKEI2           varchar(10) character set UNICODE_FSS,
    YOSAN_ZERO_PRINT        integer,
    KESSAN_ZERO_PRINT       integer,
    YOSAN_TITLE             varchar(30) character set UNICODE_FSS,
    KESSAN_TITLE            varchar(30) character set UNICODE_FSS,
    SYUNYU_ZOGEN_KUBUN      integer,
    SISYUTSU_ZOGEN_KUBUN    integer,
    primary key (NENDO, SIMEBI)
);

-- Interim settlement lines.
create table CYUKAN_KESSAN (
    NENDO         integer not null,
    SIMEBI        varchar(8) character set ASCII not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    JUNJYO        integer,
    TEKIYO        varchar(30) character set UNICODE_FSS,
    primary key (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU)
);

-- Cash and deposit balances by date (kept for older databases; unused by the windows).
create table GENKIN_ZAN (
    HIZUKE  varchar(8) character set ASCII not null,
    GENKIN  integer,
    YOKIN   integer,
    SYONIN  integer,
    primary key (HIZUKE)
);

-- Journal work rows of one loading of a year. Not keyed, for the reasons given at
-- MEISAI: the two halves of a transfer whose item names its own division share
-- (CPU_NAME, JIKOKU, SEQ_NO, KAIKEI_KUBUN).
create table W_MEISAI (
    CPU_NAME      varchar(20) character set UNICODE_FSS not null,
    JIKOKU        varchar(14) character set ASCII not null,
    SEQ_NO        integer not null,
    NENDO         integer,
    KAIKEI_KUBUN  integer not null,
    HIZUKE        varchar(8) character set ASCII,
    MMDD          varchar(4) character set ASCII,
    AITE          varchar(10) character set UNICODE_FSS,
    TEKIYO        varchar(50) character set UNICODE_FSS,
    KAMOKU        integer,
    SYUNYU        integer,
    SISYUTSU      integer,
    KOUSIN_FLAG   integer
);

-- Every statement of the journal window finds its work rows by this key; without
-- the index each one reads the whole table (the rows of every load on every computer).
create index IX_W_MEISAI_1 on W_MEISAI (CPU_NAME, JIKOKU, SEQ_NO);

-- Budget work rows.
create table W_YOSAN (
    CPU_NAME       varchar(20) character set UNICODE_FSS not null,
    JIKOKU         varchar(14) character set ASCII not null,
    NENDO          integer not null,
    KAIKEI_KUBUN   integer not null,
    KAMOKU         integer not null,
    JUNJYO         integer,
    YOSAN          integer,
    ZENNEN_YOSAN   integer,
    ZENNEN_KESSAN  integer,
    TEKIYO         varchar(30) character set UNICODE_FSS,
    SYUSI_KUBUN    integer,
    BUNRUI         integer,
    BUNRUI_JUNJYO  integer,
    KAMOKU_JUNJYO  integer,
    HOSEI_ZEN      integer,
    KONKAI_HOSEI   integer,
    HOSEI          integer,
    HOSEIGO        integer
);

-- Settlement work rows.
create table W_KESSAN (
    CPU_NAME       varchar(20) character set UNICODE_FSS not null,
    JIKOKU         varchar(14) character set ASCII not null,
    NENDO          integer not null,
    KAIKEI_KUBUN   integer not null,
    KAMOKU         integer not null,
    JUNJYO         integer,
    TEKIYO         varchar(30) character set UNICODE_FSS,
    SYUSI_KUBUN    integer,
    BUNRUI         integer,
    BUNRUI_JUNJYO  integer,
    KAMOKU_JUNJYO  integer,
    KESSAN         integer,
    YOSAN          integer,
    HOSEI          integer
);

-- Who holds a work-table key (CPU_NAME, JIKOKU) of W_MEISAI, W_YOSAN or W_KESSAN:
-- one row per loaded entry window, inserted when it loads a year and deleted with
-- its work rows. The key is unique here, so no two windows ever share one, even on
-- computers whose names agree in the first 15 characters. HOST_NAME is the full
-- name of the window's computer; ATTACHMENT_ID its program's attachment, which
-- tells from MON$ATTACHMENTS whether the window is still open.
create table W_KEY (
    CPU_NAME       varchar(20) character set UNICODE_FSS not null,
    JIKOKU         varchar(14) character set ASCII not null,
    WORK_TABLE     varchar(31) character set ASCII not null,
    NENDO          integer,
    HOST_NAME      varchar(255) character set UNICODE_FSS,
    ATTACHMENT_ID  bigint,
    primary key (CPU_NAME, JIKOKU)
);

-- Where a division's money is held at a closing (残高内訳): cash, each bank account,
-- a time deposit, each with its amount, in the order shown. SIMEBI is the interim
-- closing date, or '' for the year-end settlement.
create table ZANDAKA_UCHIWAKE (
    NENDO         integer not null,
    SIMEBI        varchar(8) character set ASCII not null,
    KAIKEI_KUBUN  integer not null,
    JUNJYO        integer not null,
    BASYO         varchar(40) character set UNICODE_FSS,
    KINGAKU       integer,
    primary key (NENDO, SIMEBI, KAIKEI_KUBUN, JUNJYO)
);

-- 年度の締め: every close (SOUSA 1) and reopen (SOUSA 0) of a fiscal year, numbered
-- per year; the year is closed while its latest entry is a close. NICHIJI is
-- "yyyymmddhhmmss"; CPU_NAME the computer's full name.
create table NENDO_SIME (
    NENDO      integer not null,
    SEQ_NO     integer not null,
    SOUSA      integer not null,
    NICHIJI    varchar(14) character set ASCII,
    CPU_NAME   varchar(255) character set UNICODE_FSS,
    USER_NAME  varchar(60) character set UNICODE_FSS,
    RIYU       varchar(100) character set UNICODE_FSS,
    primary key (NENDO, SEQ_NO)
);

-- Journal line numbers (SEQ_NO), unique over the whole database whichever
-- computer starts the line.
create sequence SEQ_MEISAI;

-- Import rules (取込ルール): a row of an imported file whose description or
-- counterparty (TAISYO 1, 2; 0 either) contains MOJI (HOUHOU 0) or matches it as a
-- pattern (HOUHOU 1) gets the item KAMOKU and, when given, the division, the
-- counterparty and the description. Tried in JUNJYO order; the first match wins.
create table TORIKOMI_RULE (
    CD             integer not null,
    JUNJYO         integer not null,
    TAISYO         integer not null,
    HOUHOU         integer not null,
    MOJI           varchar(100) character set UNICODE_FSS not null,
    KAMOKU         integer not null,
    KAIKEI_KUBUN   integer,
    AITE           varchar(10) character set UNICODE_FSS,
    TEKIYO         varchar(50) character set UNICODE_FSS,
    primary key (CD)
);

-- Recurring lines (定期明細): a line of division KAIKEI_KUBUN on day HI of each
-- month whose place in TSUKI ('1' for January .. December) is '1'.
create table TEIKI_MEISAI (
    CD             integer not null,
    KAIKEI_KUBUN   integer not null,
    KAMOKU         integer not null,
    AITE           varchar(10) character set UNICODE_FSS,
    TEKIYO         varchar(50) character set UNICODE_FSS,
    SYUNYU         integer,
    SISYUTSU       integer,
    HI             integer not null,
    TSUKI          varchar(12) character set ASCII not null,
    primary key (CD)
);

-- The dues ledger (会費台帳). 班 (HAN) and their 班長; households (SETAI) with the
-- day they joined and the last day they belonged (TAIKAI_BI, null while they do),
-- and their 班 from each KAISI_BI on (SETAI_HAN: a move adds a row, the history
-- stays). Dates are "yyyymmdd".
create table HAN (
    HAN_CD    integer not null,
    MEISYO    varchar(10) character set UNICODE_FSS not null,
    HANCYO    varchar(10) character set UNICODE_FSS,
    JUNJYO    integer,
    primary key (HAN_CD)
);

create table SETAI (
    SETAI_CD   integer not null,
    MEISYO     varchar(30) character set UNICODE_FSS not null,
    FURIGANA   varchar(30) character set UNICODE_FSS,
    JYUSYO     varchar(60) character set UNICODE_FSS,
    TEL        varchar(20) character set ASCII,
    NYUKAI_BI  varchar(8) character set ASCII not null,
    TAIKAI_BI  varchar(8) character set ASCII,
    BIKO       varchar(100) character set UNICODE_FSS,
    primary key (SETAI_CD)
);

create table SETAI_HAN (
    SETAI_CD  integer not null,
    KAISI_BI  varchar(8) character set ASCII not null,
    HAN_CD    integer not null,
    primary key (SETAI_CD, KAISI_BI)
);

-- A year's kinds of dues: per month (TSUKI_KUBUN 1) or per year (0), booked on
-- KAMOKU of division KAIKEI_KUBUN. Exemptions of a household from a kind for the
-- months KAISI_TSUKI to SYURYO_TSUKI ("yyyymm").
create table KAIHI_SYURUI (
    NENDO         integer not null,
    SYURUI_CD     integer not null,
    MEISYO        varchar(10) character set UNICODE_FSS not null,
    TSUKI_KUBUN   integer not null,
    KINGAKU       integer not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    primary key (NENDO, SYURUI_CD)
);

create table KAIHI_MENJYO (
    NENDO         integer not null,
    SETAI_CD      integer not null,
    SYURUI_CD     integer not null,
    KAISI_TSUKI   varchar(6) character set ASCII not null,
    SYURYO_TSUKI  varchar(6) character set ASCII not null,
    RIYU          varchar(50) character set UNICODE_FSS,
    primary key (NENDO, SETAI_CD, SYURUI_CD, KAISI_TSUKI)
);

-- Payments: the months covered in TSUKI ('1' for January .. December; all '0' for a
-- yearly kind), taken by the 班長 of HAN_CD (0: a bank transfer), booked as the
-- journal line SEQ_NO, and the receipt's number once one is printed.
create table KAIHI_NOUFU (
    NOUFU_NO      integer not null,
    NENDO         integer not null,
    SETAI_CD      integer not null,
    SYURUI_CD     integer not null,
    HIZUKE        varchar(8) character set ASCII not null,
    TSUKI         varchar(12) character set ASCII not null,
    KINGAKU       integer not null,
    HAN_CD        integer not null,
    SEQ_NO        integer,
    RYOSYUSYO_NO  integer,
    primary key (NOUFU_NO)
);

-- Payment and receipt numbers: a receipt's number is never given twice, even when
-- its payment is deleted.
create sequence SEQ_KAIHI_NOUFU;
create sequence SEQ_RYOSYUSYO;
