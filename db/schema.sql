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

-- What the tariff gives for a 10-digit line beyond the columns of list_hscode: one row per
-- line, keyed by its code. Texts as the source gives them, whole; null where it is empty.
-- The inspection category is in list_hscode.splb, the MFN, VAT, consumption tax and rebate
-- texts and the units in their list_hscode columns (db/README.md).
CREATE TABLE tariff_line (
    code                    varchar(10) NOT NULL PRIMARY KEY,
    provisional_rate        varchar(200),
    general_rate            varchar(200),
    export_tax_rate         varchar(200),
    export_provisional_rate varchar(200),
    supervision_conditions  varchar(60),
    declaration_elements    varchar(2000)
);

-- The chapter list's columns that list_hscode has no place for.
CREATE TABLE tariff_chapter (
    code       varchar(2) NOT NULL PRIMARY KEY,
    label_cn   varchar(200) NOT NULL,
    item_count integer NOT NULL
);

-- The code lists that explain the letters of tariff_line.supervision_conditions and of
-- list_hscode.splb. Codes are case-sensitive ('A' and 'a' are different certificates).
CREATE TABLE supervision_certificate (
    code varchar(4) NOT NULL PRIMARY KEY,
    name varchar(200) NOT NULL
);

CREATE TABLE inspection_category (
    code varchar(4) NOT NULL PRIMARY KEY,
    name varchar(200) NOT NULL
);

-- The user's own notes on a code. They are keyed by list ('hs' for list_hscode, 'jmw' for
-- list_jmwcode) and code, never by a row id, so that they survive a rebuilt code list.
-- changed_at is ISO 8601 local time with its UTC offset; version starts at 1 and grows by
-- one with every save, so a colleague's newer change on a shared database can be told.
-- The widths are the limits the program enforces, in characters.
CREATE TABLE user_note (
    list       varchar(8)   NOT NULL,
    code       varchar(16)  NOT NULL,
    note       varchar(2000),
    keywords   varchar(200),
    changed_at varchar(32)  NOT NULL,
    changed_by varchar(64),
    version    integer      NOT NULL,
    PRIMARY KEY (list, code)
);

-- The Chinese names of the customs list's headings and subheadings (4 and 6 digits), from a
-- customs edition's chapters file. list_hscode keeps the WCO's English text; wherever a name
-- is shown, the Chinese one stands in for it. Empty in the bundled database.
CREATE TABLE heading_name_cn (
    code varchar(6)   NOT NULL PRIMARY KEY,
    name varchar(200) NOT NULL
);
