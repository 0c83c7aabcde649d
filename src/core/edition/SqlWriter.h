#pragma once

#include "core/runtime/Transaction.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

namespace edition {

// The statements of one import, run on the open transaction and stopped at the first that
// fails; its error is then the driver's text.
class SqlWriter
{
public:
    explicit SqlWriter(runtime::Transaction *sqlca)
        : m_sqlca(sqlca)
    {
    }
    bool run(const QString &sql, const QVector<QVariant> &params = {})
    {
        if (!m_error.isEmpty())
            return false;
        if (m_sqlca->execute(m_sqlca->adaptSql(sql), params) != 0) {
            m_error = m_sqlca->sqlErrText();
            return false;
        }
        return true;
    }
    QString error() const { return m_error; }
    // Stops the import with a reason of its own (the first reason stays).
    void fail(const QString &reason)
    {
        if (m_error.isEmpty())
            m_error = reason;
    }

    // "?,?,?" for n values.
    static QString placeholders(qsizetype n) { return QStringList(n, QStringLiteral("?")).join(u','); }
    static QVariant orNull(const QString &text) { return text.isEmpty() ? QVariant() : QVariant(text); }

private:
    runtime::Transaction *m_sqlca;
    QString m_error;
};

} // namespace edition
