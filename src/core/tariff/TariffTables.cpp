#include "core/tariff/TariffTables.h"

#include "core/runtime/Transaction.h"

namespace tariff {

namespace {

struct TableDefinition {
    const char *name;
    const char *columns;
    const char *create;
};

// The same definitions as db/schema.sql: a database made before these tables existed gets
// them from here.
const TableDefinition kTables[] = {
    {"tariff_line",
     "code, provisional_rate, general_rate, export_tax_rate, export_provisional_rate, "
     "supervision_conditions, declaration_elements",
     "CREATE TABLE tariff_line (code varchar(10) NOT NULL PRIMARY KEY, "
     "provisional_rate varchar(200), general_rate varchar(200), export_tax_rate varchar(200), "
     "export_provisional_rate varchar(200), supervision_conditions varchar(60), "
     "declaration_elements varchar(2000))"},
    {"tariff_chapter", "code, label_cn, item_count",
     "CREATE TABLE tariff_chapter (code varchar(2) NOT NULL PRIMARY KEY, "
     "label_cn varchar(200) NOT NULL, item_count integer NOT NULL)"},
    {"supervision_certificate", "code, name",
     "CREATE TABLE supervision_certificate (code varchar(4) NOT NULL PRIMARY KEY, "
     "name varchar(200) NOT NULL)"},
    {"inspection_category", "code, name",
     "CREATE TABLE inspection_category (code varchar(4) NOT NULL PRIMARY KEY, "
     "name varchar(200) NOT NULL)"},
    {"user_note", "list, code, note, keywords, changed_at, changed_by, version",
     "CREATE TABLE user_note (list varchar(8) NOT NULL, code varchar(16) NOT NULL, "
     "note varchar(2000), keywords varchar(200), changed_at varchar(32) NOT NULL, "
     "changed_by varchar(64), version integer NOT NULL, PRIMARY KEY (list, code))"},
    {"heading_name_cn", "code, name",
     "CREATE TABLE heading_name_cn (code varchar(6) NOT NULL PRIMARY KEY, name varchar(200) NOT NULL)"},
};

const TableDefinition *find(const QString &table)
{
    for (const TableDefinition &t : kTables) {
        if (table == QLatin1String(t.name))
            return &t;
    }
    return nullptr;
}

} // namespace

QStringList TariffTables::all()
{
    QStringList names;
    for (const TableDefinition &t : kTables)
        names.append(QString::fromLatin1(t.name));
    return names;
}

QStringList TariffTables::withData()
{
    return {tariffLine(), tariffChapter(), supervisionCertificate(), inspectionCategory()};
}

QString TariffTables::createStatement(const QString &table)
{
    const TableDefinition *t = find(table);
    return t ? QString::fromLatin1(t->create) : QString();
}

QString TariffTables::columns(const QString &table)
{
    const TableDefinition *t = find(table);
    return t ? QString::fromLatin1(t->columns) : QString();
}

bool TariffTables::missing(runtime::Transaction *sqlca, QStringList *missing)
{
    QStringList present;
    if (!sqlca || sqlca->tableNames(&present) != 0)
        return false;
    missing->clear();
    for (const QString &table : all()) {
        if (!present.contains(table, Qt::CaseInsensitive))
            missing->append(table);
    }
    return true;
}

} // namespace tariff
