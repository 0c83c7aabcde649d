#pragma once

#include <QString>

namespace runtime {

// Adapts SQL written for the original database to what the connected driver supports.
// dropOwners: owner qualifiers ("dbo.list_hscode", "dbo.list_hscode.code") lose their
// owner part. rewriteLeft: Left(x, n), in any case, becomes substr(x,1,n). String
// literals and quoted identifiers are copied untouched.
QString adaptSql(const QString &sql, bool dropOwners, bool rewriteLeft);

} // namespace runtime
