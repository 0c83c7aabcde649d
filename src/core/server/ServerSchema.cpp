#include "core/server/ServerSchema.h"

namespace server {

namespace {

using runtime::ColumnType;

ServerSchema::Column text(const char *name)
{
    return {QString::fromLatin1(name), ColumnType::String};
}

ServerSchema::Column number(const char *name)
{
    return {QString::fromLatin1(name), ColumnType::Number};
}

ServerSchema::Column integer(const char *name)
{
    return {QString::fromLatin1(name), ColumnType::Long};
}

QString sqlType(ColumnType type)
{
    switch (type) {
    case ColumnType::Number:
        return QStringLiteral("numeric");
    case ColumnType::Long:
        return QStringLiteral("integer");
    case ColumnType::String:
        break;
    }
    return QStringLiteral("varchar");
}

QString createTable(const ServerSchema::Table &t, const QStringList &notNull)
{
    QStringList columns;
    for (const ServerSchema::Column &c : t.columns)
        columns.append(c.name + QLatin1Char(' ') + sqlType(c.type)
                       + (notNull.contains(c.name) ? QStringLiteral(" NOT NULL") : QString()));
    return QStringLiteral("CREATE TABLE dbo.%1 (%2, PRIMARY KEY (%3))")
        .arg(t.storedName, columns.join(QStringLiteral(", ")), t.key);
}

// The view that gives each role its own flag, and the trigger that keeps it writable.
QStringList choiceView(const ServerSchema::Table &t, const QString &list)
{
    const QString key = t.key;
    QStringList select, dataColumns, newValues, oldValues, assignments;
    for (const ServerSchema::Column &c : t.columns) {
        if (c.name == QLatin1String("flag")) {
            select.append(QStringLiteral("COALESCE(c.flag, s.flag) AS flag"));
        } else {
            select.append(QStringLiteral("s.") + c.name);
            oldValues.append(QStringLiteral("OLD.") + c.name);
            assignments.append(QStringLiteral("%1 = NEW.%1").arg(c.name));
        }
        dataColumns.append(c.name);
        newValues.append(QStringLiteral("NEW.") + c.name);
    }
    QStringList changed = newValues;
    changed.removeAll(QStringLiteral("NEW.flag"));
    const QString function = QStringLiteral("dbo.%1_write").arg(t.name);
    return {
        QStringLiteral("CREATE VIEW dbo.%1 AS SELECT %2 FROM dbo.%3 s LEFT JOIN dbo.chapter_choice c "
                       "ON c.role = current_user AND c.list = '%4' AND c.code = s.%5")
            .arg(t.name, select.join(QStringLiteral(", ")), t.storedName, list, key),
        QStringLiteral(
            "CREATE FUNCTION %1() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
            "BEGIN\n"
            "  IF TG_OP = 'INSERT' THEN\n"
            "    INSERT INTO dbo.%2 (%3) VALUES (%4);\n"
            "    RETURN NEW;\n"
            "  ELSIF TG_OP = 'UPDATE' THEN\n"
            "    IF ROW(%5) IS DISTINCT FROM ROW(%6) THEN\n"
            "      UPDATE dbo.%2 SET %7 WHERE %8 = OLD.%8;\n"
            "    END IF;\n"
            "    IF NEW.flag IS DISTINCT FROM OLD.flag THEN\n"
            "      INSERT INTO dbo.chapter_choice (role, list, code, flag) VALUES (current_user, '%9', NEW.%8, NEW.flag)\n"
            "        ON CONFLICT (role, list, code) DO UPDATE SET flag = EXCLUDED.flag;\n"
            "    END IF;\n"
            "    RETURN NEW;\n"
            "  END IF;\n"
            "  DELETE FROM dbo.%2 WHERE %8 = OLD.%8;\n"
            "  RETURN OLD;\n"
            "END $f$")
            .arg(function, t.storedName, dataColumns.join(QStringLiteral(", ")), newValues.join(QStringLiteral(", ")),
                 changed.join(QStringLiteral(", ")), oldValues.join(QStringLiteral(", ")),
                 assignments.join(QStringLiteral(", ")), key, list),
        QStringLiteral("CREATE TRIGGER %1_write INSTEAD OF INSERT OR UPDATE OR DELETE ON dbo.%1 "
                       "FOR EACH ROW EXECUTE FUNCTION %2()")
            .arg(t.name, function),
    };
}

} // namespace

QString ServerSchema::Table::columnList() const
{
    QStringList names;
    for (const Column &c : columns)
        names.append(c.name);
    return names.join(QStringLiteral(", "));
}

QList<ServerSchema::Table> ServerSchema::tables()
{
    return {
        {QStringLiteral("list_hscode"), QStringLiteral("list_hscode_shared"),
         {text("code"), text("zhcmcode"), text("cpcode"), text("name"), text("dwcode"), text("unit"), text("bcflag"),
          number("stdflag"), number("dwflag"), text("sz"), number("jksl"), text("zssl_set"), text("zssl_ym"),
          text("zssl_set1"), number("clde"), number("cjdl"), number("tsl"), text("tsl_ym"), number("tsl_new"),
          text("splb"), text("tsflag"), text("note"), text("flag"), text("rsv_flag"), text("op_user"),
          text("op_date")},
         QStringLiteral("code")},
        {QStringLiteral("list_jmwcode"), QStringLiteral("list_jmwcode_shared"),
         {text("jmw_code"), text("m_flag"), text("name"), text("unit"), text("flag")},
         QStringLiteral("jmw_code")},
        {QStringLiteral("tariff_line"), QStringLiteral("tariff_line"),
         {text("code"), text("provisional_rate"), text("general_rate"), text("export_tax_rate"),
          text("export_provisional_rate"), text("supervision_conditions"), text("declaration_elements")},
         QStringLiteral("code")},
        {QStringLiteral("tariff_chapter"), QStringLiteral("tariff_chapter"),
         {text("code"), text("label_cn"), integer("item_count")}, QStringLiteral("code")},
        {QStringLiteral("supervision_certificate"), QStringLiteral("supervision_certificate"),
         {text("code"), text("name")}, QStringLiteral("code")},
        {QStringLiteral("inspection_category"), QStringLiteral("inspection_category"),
         {text("code"), text("name")}, QStringLiteral("code")},
        {QStringLiteral("user_note"), QStringLiteral("user_note"),
         {text("list"), text("code"), text("note"), text("keywords"), text("changed_at"), text("changed_by"),
          integer("version")},
         QStringLiteral("list, code")},
        // The Chinese names of customs headings and subheadings: shared, and part of an edition.
        {QStringLiteral("heading_name_cn"), QStringLiteral("heading_name_cn"), {text("code"), text("name")},
         QStringLiteral("code")},
    };
}

ServerSchema::Table ServerSchema::table(const QString &name)
{
    for (const Table &t : tables()) {
        if (t.name == name)
            return t;
    }
    return {};
}

QStringList ServerSchema::programTables()
{
    QStringList names;
    for (const Table &t : tables())
        names.append(t.name);
    return names;
}

QStringList ServerSchema::storedNames()
{
    QStringList names{QStringLiteral("chapter_choice"), backupIndex()};
    names += teamTables();
    for (const Table &t : tables()) {
        names.append(t.storedName);
        if (t.storedName != t.name)
            names.append(t.name); // the view
    }
    for (const QString &name : editionTables())
        names.append(backupTable(table(name).storedName));
    return names;
}

QStringList ServerSchema::teamTableStatements(const QString &name)
{
    QString create;
    if (name == QLatin1String("element_value"))
        create = QStringLiteral("CREATE TABLE IF NOT EXISTS dbo.element_value (code varchar NOT NULL PRIMARY KEY "
                                "CHECK (char_length(code) <= 10), element_values varchar NOT NULL "
                                "CHECK (char_length(element_values) <= 4000), changed_at varchar NOT NULL, "
                                "changed_by varchar)");
    else if (name == QLatin1String("item"))
        create = QStringLiteral("CREATE TABLE IF NOT EXISTS dbo.item (part_no varchar NOT NULL PRIMARY KEY "
                                "CHECK (char_length(part_no) <= 64), name varchar NOT NULL CHECK (char_length(name) <= 200), "
                                "model varchar CHECK (char_length(model) <= 500), code varchar NOT NULL "
                                "CHECK (char_length(code) <= 10), element_values varchar, reason varchar "
                                "CHECK (char_length(reason) <= 2000), basis varchar, review_changes varchar, "
                                "reviewed_by varchar, reviewed_at varchar, changed_at varchar NOT NULL, changed_by varchar, "
                                "version integer NOT NULL)");
    else
        return {};
    const QString team = groupRole();
    return {
        create,
        // Whatever the client sends, the writer is the role that wrote and the time the server's.
        QStringLiteral("CREATE OR REPLACE FUNCTION dbo.team_stamp() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
                       "BEGIN\n"
                       "  NEW.changed_by := current_user;\n"
                       "  NEW.changed_at := to_char(now(), 'YYYY-MM-DD\"T\"HH24:MI:SSTZH:TZM');\n"
                       "  RETURN NEW;\n"
                       "END $f$"),
        QStringLiteral("DROP TRIGGER IF EXISTS %1_stamp ON dbo.%1").arg(name),
        QStringLiteral("CREATE TRIGGER %1_stamp BEFORE INSERT OR UPDATE ON dbo.%1 FOR EACH ROW "
                       "EXECUTE FUNCTION dbo.team_stamp()")
            .arg(name),
        QStringLiteral("DO $d$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = '%1') "
                       "THEN CREATE ROLE %1 NOLOGIN; END IF; END $d$")
            .arg(team),
        QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON dbo.%1 TO %2").arg(name, team),
    };
}

QStringList ServerSchema::editionTables()
{
    QStringList names = programTables();
    names.removeAll(QStringLiteral("user_note"));
    return names;
}

QStringList ServerSchema::createStatements(const QString &databaseName)
{
    QStringList sql{QStringLiteral("CREATE SCHEMA dbo")};
    const QStringList keyNotNull{QStringLiteral("code"), QStringLiteral("jmw_code"), QStringLiteral("list"),
                                 QStringLiteral("label_cn"), QStringLiteral("item_count"),
                                 QStringLiteral("changed_at"), QStringLiteral("version")};
    for (const Table &t : tables())
        sql.append(createTable(t, keyNotNull));
    sql.append(QStringLiteral("CREATE TABLE dbo.chapter_choice (role name NOT NULL DEFAULT current_user, "
                              "list varchar NOT NULL, code varchar NOT NULL, flag varchar, "
                              "PRIMARY KEY (role, list, code))"));
    // Plain SQL on the table shows and changes a role's own choices only.
    sql.append(QStringLiteral("ALTER TABLE dbo.chapter_choice ENABLE ROW LEVEL SECURITY"));
    sql.append(QStringLiteral("CREATE POLICY own_choices ON dbo.chapter_choice "
                              "USING (role = current_user) WITH CHECK (role = current_user)"));
    // A note belongs to a code: a code no list can hold is refused, so that nothing a member
    // writes can stall a colleague's loading.
    sql.append(QStringLiteral("ALTER TABLE dbo.user_note ADD CHECK (char_length(list) <= 8 AND char_length(code) <= 32)"));
    sql += choiceView(table(QStringLiteral("list_hscode")), QStringLiteral("hs"));
    sql += choiceView(table(QStringLiteral("list_jmwcode")), QStringLiteral("jmw"));

    // The editions' backups: one row per import, the replaced rows in a table per list.
    sql.append(QStringLiteral("CREATE TABLE dbo.%1 (id serial PRIMARY KEY, made_at timestamptz NOT NULL "
                              "DEFAULT now(), made_by name NOT NULL DEFAULT current_user)")
                   .arg(backupIndex()));
    for (const QString &name : editionTables()) {
        const Table t = table(name);
        QStringList columns;
        for (const Column &c : t.columns)
            columns.append(c.name + QLatin1Char(' ') + sqlType(c.type));
        sql.append(QStringLiteral("CREATE TABLE dbo.%1 (backup_id integer NOT NULL REFERENCES dbo.%2 ON DELETE "
                                  "CASCADE, %3)")
                       .arg(backupTable(t.storedName), backupIndex(), columns.join(QStringLiteral(", "))));
        sql.append(QStringLiteral("CREATE INDEX ON dbo.%1 (backup_id)").arg(backupTable(t.storedName)));
    }

    // Notes are written by the team: who wrote one, and when, is the server's word.
    sql.append(QStringLiteral(
        "CREATE FUNCTION dbo.user_note_stamp() RETURNS trigger LANGUAGE plpgsql AS $f$\n"
        "BEGIN\n"
        "  IF NEW.changed_by IS NOT NULL AND NEW.changed_by <> current_user\n"
        "     AND (TG_OP = 'INSERT' OR NEW.changed_by IS DISTINCT FROM OLD.changed_by) THEN\n"
        "    RAISE EXCEPTION 'changed_by is set by the server to %, not %', current_user, NEW.changed_by\n"
        "      USING ERRCODE = 'insufficient_privilege';\n"
        "  END IF;\n"
        "  NEW.changed_by := current_user;\n"
        "  NEW.changed_at := to_char(now(), 'YYYY-MM-DD\"T\"HH24:MI:SSTZH:TZM');\n"
        "  RETURN NEW;\n"
        "END $f$"));
    sql.append(QStringLiteral("CREATE TRIGGER user_note_stamp BEFORE INSERT OR UPDATE ON dbo.user_note "
                              "FOR EACH ROW EXECUTE FUNCTION dbo.user_note_stamp()"));
    for (const QString &name : teamTables())
        sql += teamTableStatements(name);

    // Two kinds of users: the owner of the tables (the role that ran --init-server) sets up,
    // imports editions and restores backups; the team (the roles granted groupRole()) reads
    // the lists and keeps its own chapter choices and the shared notes. Nobody else connects.
    const QString team = groupRole();
    sql.append(QStringLiteral("DO $d$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_catalog.pg_roles WHERE rolname = '%1') "
                              "THEN CREATE ROLE %1 NOLOGIN; END IF; END $d$")
                   .arg(team));
    sql.append(QStringLiteral("REVOKE ALL ON SCHEMA dbo FROM PUBLIC"));
    sql.append(QStringLiteral("GRANT USAGE ON SCHEMA dbo TO %1").arg(team));
    sql.append(QStringLiteral("GRANT SELECT ON ALL TABLES IN SCHEMA dbo TO %1").arg(team));
    // A chapter choice goes through the views' triggers into the role's own rows.
    sql.append(QStringLiteral("GRANT UPDATE (flag) ON dbo.list_hscode, dbo.list_jmwcode TO %1").arg(team));
    sql.append(QStringLiteral("GRANT INSERT, UPDATE, DELETE ON dbo.chapter_choice, dbo.user_note TO %1").arg(team));
    sql.append(QStringLiteral("REVOKE CONNECT ON DATABASE %1 FROM PUBLIC").arg(databaseName));
    sql.append(QStringLiteral("GRANT CONNECT ON DATABASE %1 TO %2").arg(databaseName, team));
    return sql;
}

} // namespace server
