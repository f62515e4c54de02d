-- Added to the current empty database: a level above this program's.
update KANRI set DB_VERSION = '1.0.9.0' where (KY = 1);
