#pragma once

#include <QString>
#include <QStringList>

namespace runtime {
class Transaction;
}

namespace tariff {

// The declaration elements' values last used for a customs code (table element_value beside
// the notes), so the next declaration of the same goods starts filled. On a team database
// they are the team's: the last one used by anyone.
class ElementValuesStore
{
public:
    explicit ElementValuesStore(runtime::Transaction *sqlca) : m_sqlca(sqlca) {}

    static QString table() { return QStringLiteral("element_value"); }
    static QString createStatement();

    // The values kept for a code, in the elements' order; empty when none or unreadable.
    QStringList values(const QString &code);
    // Keeps the values of a code in one transaction; false with lastError() when the database
    // refuses (then nothing changed). The table is made when the database lacks it.
    bool save(const QString &code, const QStringList &values);
    QString lastError() const { return m_lastError; }

private:
    bool ensureTable();

    runtime::Transaction *m_sqlca;
    QString m_lastError;
};

} // namespace tariff
