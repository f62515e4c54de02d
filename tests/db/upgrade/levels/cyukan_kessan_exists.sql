-- Added to a 1.0.2.1 database: a table in the way of the interim settlement lines,
-- so the upgrade fails at its second step of block 1.0.2.4.
create table CYUKAN_KESSAN (
    NENDO  integer not null
);
