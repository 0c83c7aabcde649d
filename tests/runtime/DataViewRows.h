#pragma once

// A data view's definition and rows like the options dialog's chapter list, for the data view's tests.

#include "core/runtime/DataView.h"
#include "core/runtime/Transaction.h"

#include <QSignalSpy>
#include <QTest>

using namespace runtime;

namespace {

inline ColumnDefinition column(const char *name, ColumnType type, const char *heading = "", bool updatable = false)
{
    ColumnDefinition c;
    c.name = QString::fromLatin1(name);
    c.type = type;
    c.width = type == ColumnType::String ? 13 : 0;
    c.heading = QString::fromUtf8(heading);
    c.updatable = updatable;
    return c;
}

// A chapter list like the options dialog's: code, name, flag, plus a number and a handle.
inline DataViewDefinition chapterDefinition()
{
    DataViewDefinition d;
    d.name = QStringLiteral("d_test");
    d.columns = {column("code", ColumnType::String, "代码", true),
                 column("name", ColumnType::String, "商品大类名称", true),
                 column("flag", ColumnType::String, "显示", true),
                 column("tsl", ColumnType::Number),
                 column("handle", ColumnType::Long)};
    d.presentation = Presentation::Grid;
    d.shownColumns = {QStringLiteral("code"), QStringLiteral("name"), QStringLiteral("flag")};
    d.query = QStringLiteral("SELECT dbo.list_hscode.code, dbo.list_hscode.name, dbo.list_hscode.flag, "
                             "dbo.list_hscode.tsl, 0 as handle FROM dbo.list_hscode "
                             "WHERE Left(code,2) IN ('01','02','03') ORDER BY code");
    d.updateTable = QStringLiteral("list_hscode");
    d.keyColumns = {QStringLiteral("code")};
    return d;
}

inline QVector<QVector<QVariant>> sampleRows()
{
    return {{"01", "活动物", "Y", 0.0, 0},
            {"0101", "马", "N", 0.13, 0},
            {"02", "肉", QVariant(), 9.0, 0},
            {"0201", "其他肉", "Y", 10.0, 0},
            {"03", QVariant(), "N", QVariant(), 0}};
}

inline QStringList columnValues(const DataView &view, const QString &name)
{
    QStringList values;
    for (long r = 1; r <= view.rowCount(); ++r)
        values.append(view.isNull(r, name) ? QStringLiteral("<null>") : view.itemString(r, name));
    return values;
}

// Every row found by stepping find(expression, r + 1, n) from the first row.
inline QList<long> stepAll(const DataView &view, const QString &expression)
{
    QList<long> found;
    const long n = view.rowCount();
    long r = view.find(expression, 1, n);
    while (r > 0) {
        found.append(r);
        if (r + 1 > n)
            break;
        r = view.find(expression, r + 1, n);
    }
    return found;
}

} // namespace
