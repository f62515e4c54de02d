-- Level 1.0.2.8: the current schema but for the one-character search reading of
-- TEKIYO (in the common tables).

create table KANRI (
    KY          integer not null,
    DANTAIMEI   varchar(30) character set UNICODE_FSS,
    PASS_WD     varchar(10) character set UNICODE_FSS,
    NENDO       integer,
    DB_VERSION  varchar(20) character set ASCII
);

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
    primary key (NENDO)
);

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

create table KURIKOSI (
    NENDO         integer not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    KURIKOSI      integer,
    primary key (NENDO, KAIKEI_KUBUN, KAMOKU)
);

create table GENKIN_ZAN (
    HIZUKE  varchar(8) character set ASCII not null,
    GENKIN  integer,
    YOKIN   integer,
    SYONIN  integer,
    primary key (HIZUKE)
);

create table AITE (
    MEISYO    varchar(10) character set UNICODE_FSS not null,
    FURIGANA  varchar(20) character set UNICODE_FSS,
    primary key (MEISYO)
);

create index IX_AITE_1 on AITE (FURIGANA, MEISYO);

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
    primary key (NENDO, SIMEBI)
);

create table CYUKAN_KESSAN (
    NENDO         integer not null,
    SIMEBI        varchar(8) character set ASCII not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    JUNJYO        integer,
    TEKIYO        varchar(30) character set UNICODE_FSS,
    primary key (NENDO, SIMEBI, KAIKEI_KUBUN, KAMOKU)
);

insert into KANRI (KY, DANTAIMEI, PASS_WD, NENDO, DB_VERSION) values (1, '東町会', 'abc', 2021, '1.0.2.8');

insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI, DANTAIMEI, YAKUSYOKU, DAIHYOSYA, KAIKEI_YAKUSYOKU, KAIKEI1, KAIKEI2,
                   YOSAN_YAKUSYOKU, YOSAN_DAIHYOSYA, YOSAN_KAIKEI_YAKUSYOKU, YOSAN_KAIKEI1, YOSAN_KAIKEI2, YOSAN_ZERO_PRINT, KESSAN_ZERO_PRINT)
    values (2020, 10, '20200401', '20210331', '東町会', '会長', '山田太郎', '会計', '鈴木花子', null,
            '会長', '山田太郎', '会計', '鈴木花子', null, 1, 1);
insert into NENDO (NENDO, KI, KISYUBI, KIMATSUBI, DANTAIMEI, YAKUSYOKU, DAIHYOSYA, KAIKEI_YAKUSYOKU, KAIKEI1, KAIKEI2,
                   YOSAN_YAKUSYOKU, YOSAN_DAIHYOSYA, YOSAN_KAIKEI_YAKUSYOKU, YOSAN_KAIKEI1, YOSAN_KAIKEI2, YOSAN_ZERO_PRINT, KESSAN_ZERO_PRINT)
    values (2021, 11, '20210401', '20220331', '東町会', '自治会長', '佐藤一郎', '会計係', '田中次郎', '高橋三郎',
            '自治会長', '佐藤一郎', '会計係', '田中次郎', '高橋三郎', 1, 1);

insert into HYOUJI_KUBUN (CD, MEISYO) values (0, '集計しない');
insert into HYOUJI_KUBUN (CD, MEISYO) values (1, '集計する');
insert into HYOUJI_KUBUN (CD, MEISYO) values (2, '集計する');

insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (10, '会費', 1, 1, 10, 0, 0);
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (30, '繰入金', 1, 1, 90, 1, 1);
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (50, '事業費', 2, 1, 20, 0, 0);

insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (1000, '町会費', 10, null, null, 1, 0, 0);
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (3001, '防災会計より繰入', 30, 2021, null, 2, 1, 1);
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (5000, '行事費', 50, null, null, 1, 0, 0);

-- The counterparty table as the upgrade to 1.0.2.1 filled it from the journal.
insert into AITE (MEISYO) values ('佐藤');
insert into AITE (MEISYO) values ('山田');
insert into AITE (MEISYO) values ('鈴木商店');

insert into CYUKAN_KESSAN_NENDO (NENDO, SIMEBI, KISYUBI, KIMATSUBI, DANTAIMEI, YOSAN_ZERO_PRINT, KESSAN_ZERO_PRINT)
    values (2021, '20210930', '20210401', '20220331', '東町会', 1, 1);
