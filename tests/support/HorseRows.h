#pragma once

// A small test database's rows: chapter 01 with the horses down to two 10-digit codes in the
// customs list, the chapter alone in the foreign-trade list.
inline constexpr char kHorseRows[] =
    "INSERT INTO list_hscode(code, name, flag) VALUES"
    " ('01', '活动物', 'Y'), ('0101', 'Horses, asses, mules and hinnies; live', NULL),"
    " ('010121', 'Horses; live, pure-bred breeding animals', NULL),"
    " ('0101210010', '改良种用濒危野马', NULL), ('0101210090', '改良种用马', NULL);"
    "INSERT INTO list_jmwcode(jmw_code, m_flag, name, flag) VALUES ('01', 'N', '活动物', 'Y');";
