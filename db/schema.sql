-- The two commodity code tables. Text columns keep their declared widths as documentation;
-- SQLite stores names whole, never cut to the width.
CREATE TABLE list_hscode (
    code      char(13) NOT NULL PRIMARY KEY,
    zhcmcode  char(11),
    cpcode    char(11),
    name      char(21),
    dwcode    char(3),
    unit      char(9),
    bcflag    char(2),
    stdflag   numeric,
    dwflag    numeric,
    sz        char(10),
    jksl      numeric,
    zssl_set  char(11),
    zssl_ym   char(7),
    zssl_set1 char(11),
    clde      numeric,
    cjdl      numeric,
    tsl       numeric,
    tsl_ym    char(9),
    tsl_new   numeric,
    splb      char(7),
    tsflag    char(2),
    note      char(11),
    flag      char(2),
    rsv_flag  char(2),
    op_user   char(9),
    op_date   char(9)
);

CREATE TABLE list_jmwcode (
    jmw_code  char(13) NOT NULL PRIMARY KEY,
    m_flag    char(7),
    name      char(51),
    unit      char(11),
    flag      char(7)
);
