#pragma once

#include <QString>

#include <sql.h>
#include <sqlext.h>

namespace runtime {

// Owns one ODBC handle and frees it when it goes away.
class OdbcHandle
{
public:
    OdbcHandle() = default;
    OdbcHandle(SQLSMALLINT type, SQLHANDLE parent) { allocate(type, parent); }
    ~OdbcHandle() { reset(); }
    OdbcHandle(const OdbcHandle &) = delete;
    OdbcHandle &operator=(const OdbcHandle &) = delete;

    bool allocate(SQLSMALLINT type, SQLHANDLE parent)
    {
        reset();
        m_type = type;
        if (!SQL_SUCCEEDED(SQLAllocHandle(type, parent, &m_handle)))
            m_handle = SQL_NULL_HANDLE;
        return m_handle != SQL_NULL_HANDLE;
    }
    void reset()
    {
        if (m_handle != SQL_NULL_HANDLE)
            SQLFreeHandle(m_type, m_handle);
        m_handle = SQL_NULL_HANDLE;
    }
    SQLHANDLE get() const { return m_handle; }
    SQLSMALLINT type() const { return m_type; }
    explicit operator bool() const { return m_handle != SQL_NULL_HANDLE; }

private:
    SQLSMALLINT m_type = 0;
    SQLHANDLE m_handle = SQL_NULL_HANDLE;
};

// The driver's diagnostic records of a handle as one text; `fallback` when it has none.
QString odbcDiagnostics(const OdbcHandle &handle, const char *fallback);

} // namespace runtime
