-- Level 1.0.3.0: the 1.0.2.8 tables with the ten-character search reading of TEKIYO,
-- before the tables of the treasurer's year around the books.
alter table TEKIYO alter KENSAKU_MOJI type VARCHAR(10) CHARACTER SET UNICODE_FSS;
update KANRI set DB_VERSION = '1.0.3.0' where (KY = 1);
