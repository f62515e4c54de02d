-- Tables every older schema level has in the same form as today, and the rows
-- they hold in every fixture. The text of TEKIYO.KENSAKU_MOJI is one character
-- wide up to level 1.0.2.8.

create table KAIKEI_KUBUN (
    CD            integer not null,
    MEISYO        varchar(10) character set UNICODE_FSS,
    KAISI_NENDO   integer,
    SYURYO_NENDO  integer,
    primary key (CD)
);

create table SYUSI_KUBUN (
    CD      integer not null,
    MEISYO  varchar(4) character set UNICODE_FSS,
    primary key (CD)
);

create table HYOUJI_KUBUN (
    CD      integer not null,
    MEISYO  varchar(5) character set UNICODE_FSS,
    primary key (CD)
);

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

create table TEKIYO (
    MEISYO        varchar(50) character set UNICODE_FSS not null,
    KENSAKU_MOJI  varchar(1) character set UNICODE_FSS,
    primary key (MEISYO)
);

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

create table KESSAN (
    NENDO         integer not null,
    KAIKEI_KUBUN  integer not null,
    KAMOKU        integer not null,
    JUNJYO        integer,
    TEKIYO        varchar(30) character set UNICODE_FSS,
    primary key (NENDO, KAIKEI_KUBUN, KAMOKU)
);

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
    KAMOKU_JUNJYO  integer
);

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
    YOSAN          integer
);

insert into SYUSI_KUBUN (CD, MEISYO) values (1, '収入');
insert into SYUSI_KUBUN (CD, MEISYO) values (2, '支出');

insert into KAIKEI_KUBUN (CD, MEISYO, KAISI_NENDO, SYURYO_NENDO) values (0, '一般会計', null, null);
insert into KAIKEI_KUBUN (CD, MEISYO, KAISI_NENDO, SYURYO_NENDO) values (1, '防災会計', 2021, null);

insert into TEKIYO (MEISYO, KENSAKU_MOJI) values ('町会費', 'ち');

-- Counterparties typed in the journal: one twice, one missing.
insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU)
    values (1, 0, 2020, '20200410', '佐藤', '町会費', 1000, 3000, null);
insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU)
    values (2, 0, 2020, '20200720', '鈴木商店', '夏祭り用品', 5000, null, 12000);
insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU)
    values (3, 0, 2021, '20210410', '佐藤', '町会費', 1000, 3000, null);
insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU)
    values (4, 0, 2021, '20210411', null, '利息', 1000, 1, null);
insert into MEISAI (SEQ_NO, KAIKEI_KUBUN, NENDO, HIZUKE, AITE, TEKIYO, KAMOKU, SYUNYU, SISYUTSU)
    values (5, 1, 2021, '20210415', '山田', '防災用品', 5000, null, 8000);
