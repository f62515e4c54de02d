-- The rows an empty organisation database starts with. The program relies on them
-- by code; every built-in classification and item has SAKUJYO_FUKA = 1.

-- The control row at the current schema level; no organisation name, no password.
insert into KANRI (KY, DANTAIMEI, PASS_WD, NENDO, DB_VERSION) values (1, null, '', null, '1.0.4.0');

insert into SYUSI_KUBUN (CD, MEISYO) values (1, '収入');
insert into SYUSI_KUBUN (CD, MEISYO) values (2, '支出');

insert into HYOUJI_KUBUN (CD, MEISYO) values (0, '集計しない');
insert into HYOUJI_KUBUN (CD, MEISYO) values (1, '集計する');

-- The general account, open in every year.
insert into KAIKEI_KUBUN (CD, MEISYO, KAISI_NENDO, SYURYO_NENDO) values (0, '一般会計', null, null);

-- Classifications of the built-in items, all aggregated into the statements so that
-- the budget and settlement windows offer them. Each takes the code of its items
-- divided by 100. 30 and 60 are the transfer classifications: their items may name
-- a division (a general-account receipt from, or payment to, special account n).
-- The carry-overs come first among receipts and last among payments.
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (1, '繰越金', 1, 1, 0, 1, 0);
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (30, '繰入金', 1, 1, 90, 1, 1);
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (60, '繰出金', 2, 1, 90, 1, 1);
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (70, '予備費', 2, 1, 98, 1, 0);
insert into BUNRUI (CD, MEISYO, SYUSI_KUBUN, KESSANSYO_KUBUN, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_KAIKEI)
    values (80, '次期繰越金', 2, 1, 99, 1, 0);

-- Built-in items, offered in every year. 3000 and 6000 are the special accounts'
-- side of a transfer with the general account: they name no division
-- (TOKUBETSU_CD 0), since their counterpart is always the general account.
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (100, '前年度繰越金', 1, null, null, 0, 1, 0);
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (3000, '一般会計より繰入', 30, null, null, 0, 1, 0);
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (6000, '一般会計へ繰出', 60, null, null, 0, 1, 0);
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (7000, '予備費', 70, null, null, 0, 1, 0);
insert into KAMOKU (CD, MEISYO, BUNRUI, KAISI_NENDO, SYURYO_NENDO, JUNJYO, SAKUJYO_FUKA, TOKUBETSU_CD)
    values (8000, '次期繰越金', 80, null, null, 0, 1, 0);
