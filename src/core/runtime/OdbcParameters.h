#pragma once

#include "core/runtime/OdbcHandle.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <QVector>

#include <vector>

namespace runtime {

// The values of a statement's positional '?' parameters, bound to a prepared statement:
// QString as text (UTF-8), double as a number, integers as integers, an invalid or null
// QVariant as NULL. The values are held here, because the driver reads them only when the
// statement runs: keep the object alive until SQLExecute has returned.
class OdbcParameters
{
public:
    // Binds every value to `stmt`; false with the driver's text in error() otherwise.
    bool bind(const OdbcHandle &stmt, const QVector<QVariant> &params);
    QString error() const { return m_error; }

private:
    struct Value {
        QByteArray text;
        SQLDOUBLE number = 0;
        SQLBIGINT integer = 0;
        SQLLEN indicator = 0;
    };
    std::vector<Value> m_values;
    QString m_error;
};

} // namespace runtime
