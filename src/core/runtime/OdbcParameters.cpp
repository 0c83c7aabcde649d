#include "core/runtime/OdbcParameters.h"

#include <algorithm>

namespace runtime {

namespace {

bool isInteger(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

} // namespace

bool OdbcParameters::bind(const OdbcHandle &stmt, const QVector<QVariant> &params)
{
    m_error.clear();
    // Sized once: the driver keeps pointers into the values.
    m_values.assign(size_t(params.size()), Value());
    for (int i = 0; i < params.size(); ++i) {
        const QVariant &param = params.at(i);
        Value &value = m_values[size_t(i)];
        SQLSMALLINT cType = SQL_C_CHAR, sqlType = SQL_VARCHAR;
        SQLULEN columnSize = 1;
        SQLPOINTER data = nullptr;
        SQLLEN bufferLength = 0;
        const int typeId = param.isValid() ? param.metaType().id() : QMetaType::UnknownType;
        if (!param.isValid() || param.isNull()) {
            value.indicator = SQL_NULL_DATA;
        } else if (typeId == QMetaType::Double || typeId == QMetaType::Float) {
            value.number = param.toDouble();
            cType = SQL_C_DOUBLE;
            sqlType = SQL_DOUBLE;
            columnSize = 15;
            data = &value.number;
        } else if (isInteger(typeId)) {
            value.integer = param.toLongLong();
            cType = SQL_C_SBIGINT;
            sqlType = SQL_BIGINT;
            columnSize = 19;
            data = &value.integer;
        } else {
            value.text = param.toString().toUtf8();
            value.indicator = value.text.size();
            columnSize = std::max<SQLULEN>(1, SQLULEN(value.text.size()));
            data = value.text.data();
            bufferLength = value.text.size();
        }
        if (!SQL_SUCCEEDED(SQLBindParameter(stmt.get(), SQLUSMALLINT(i + 1), SQL_PARAM_INPUT, cType,
                                            sqlType, columnSize, 0, data, bufferLength,
                                            &value.indicator))) {
            m_error = odbcDiagnostics(stmt, "cannot bind a parameter");
            return false;
        }
    }
    return true;
}

} // namespace runtime
