#include "core/tariff/ElementValuesStore.h"

#include "core/runtime/ManualCommit.h"
#include "core/runtime/Transaction.h"
#include "core/tariff/NotesStore.h"

#include <QDateTime>
#include <QVector>

namespace tariff {

namespace {

// The same name a note records.
QString elementUserName()
{
    return NotesStore(nullptr).userName();
}

} // namespace

QString ElementValuesStore::createStatement()
{
    // The values are kept as the 规格型号 text itself: none of them may hold "|".
    return QStringLiteral("CREATE TABLE element_value (code varchar(10) NOT NULL PRIMARY KEY, "
                          "element_values varchar(4000) NOT NULL, changed_at varchar(32) NOT NULL, "
                          "changed_by varchar(64))");
}

bool ElementValuesStore::ensureTable()
{
    return runtime::ensureTable(m_sqlca, table(), createStatement(), &m_lastError);
}

QStringList ElementValuesStore::values(const QString &code)
{
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected())
        return {};
    QVector<QVector<QVariant>> rows;
    if (m_sqlca->select(m_sqlca->adaptSql(QStringLiteral("SELECT element_values FROM element_value WHERE code = ?")),
                        {runtime::ColumnType::String}, &rows, {code})
        != 0) {
        m_lastError = m_sqlca->sqlErrText();
        return {};
    }
    if (rows.isEmpty())
        return {};
    return rows.first().value(0).toString().split(u'|');
}

bool ElementValuesStore::save(const QString &code, const QStringList &values)
{
    m_lastError.clear();
    if (!m_sqlca || !m_sqlca->isConnected()) {
        m_lastError = QStringLiteral("not connected");
        return false;
    }
    runtime::ManualCommit manual(m_sqlca);
    const QString text = values.join(u'|');
    const QString now = QDateTime::currentDateTime().toOffsetFromUtc(QDateTime::currentDateTime().offsetFromUtc())
                            .toString(Qt::ISODate);
    bool ok = ensureTable()
              && m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                                      "UPDATE element_value SET element_values = ?, changed_at = ?, changed_by = ? "
                                      "WHERE code = ?")),
                                  {text, now, elementUserName(), code})
                     == 0;
    if (ok && m_sqlca->sqlNRows() == 0)
        ok = m_sqlca->execute(m_sqlca->adaptSql(QStringLiteral(
                                  "INSERT INTO element_value (code, element_values, changed_at, changed_by) "
                                  "VALUES (?, ?, ?, ?)")),
                              {code, text, now, elementUserName()})
             == 0;
    if (ok)
        ok = m_sqlca->commit() == 0;
    if (!ok) {
        if (m_lastError.isEmpty())
            m_lastError = m_sqlca->sqlErrText();
        m_sqlca->rollback();
    }
    return ok;
}

} // namespace tariff
