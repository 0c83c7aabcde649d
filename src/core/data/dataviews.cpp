#include "core/data/dataviews.h"

#include <QStringList>

using runtime::ColumnDefinition;
using runtime::ColumnType;
using runtime::DataViewDefinition;
using runtime::Presentation;

namespace {

ColumnDefinition text(const char *name, int width, const QString &heading = QString())
{
    return ColumnDefinition{QString::fromLatin1(name), ColumnType::String, width, heading, false, QString()};
}

ColumnDefinition number(const char *name, const QString &heading = QString())
{
    return ColumnDefinition{QString::fromLatin1(name), ColumnType::Number, 0, heading, false, QString()};
}

ColumnDefinition handleColumn()
{
    return ColumnDefinition{QStringLiteral("handle"), ColumnType::Long, 0, QString(), false, QString()};
}

// "dbo.table.col1, dbo.table.col2, ..." for the columns that come from the table.
QString qualifiedColumns(const QString &table, const QList<ColumnDefinition> &columns)
{
    QStringList parts;
    for (const ColumnDefinition &column : columns) {
        if (column.name != QLatin1String("handle"))
            parts.append(QStringLiteral("dbo.%1.%2").arg(table, column.name));
    }
    return parts.join(QStringLiteral(", "));
}

} // namespace

DataViewDefinition d_detail_hgats()
{
    DataViewDefinition view;
    view.name = QStringLiteral("d_detail_hgats");
    view.presentation = Presentation::Form;
    view.columns = {
        text("code", 13, QStringLiteral("商品代码")),
        text("zhcmcode", 11),
        text("cpcode", 11),
        text("name", 21, QStringLiteral("商品名称")),
        text("dwcode", 3),
        text("unit", 9, QStringLiteral("单位")),
        text("bcflag", 2),
        number("stdflag"),
        number("dwflag"),
        text("sz", 10),
        number("jksl"),
        text("zssl_set", 11, QStringLiteral("销售增值税率")),
        text("zssl_ym", 7),
        text("zssl_set1", 11),
        number("clde"),
        number("cjdl"),
        number("tsl", QStringLiteral("出口退税率")),
        text("tsl_ym", 9),
        number("tsl_new"),
        text("splb", 7),
        text("tsflag", 2),
        text("note", 11),
        text("flag", 2),
        text("rsv_flag", 2),
        text("op_user", 9),
        text("op_date", 9),
        handleColumn(),
    };
    view.shownColumns = {QStringLiteral("code"), QStringLiteral("unit"), QStringLiteral("name"),
                         QStringLiteral("zssl_set"), QStringLiteral("tsl")};
    view.query = QStringLiteral("SELECT %1, 0 AS handle FROM dbo.list_hscode "
                                "where Left(code,2) in (Select code from list_hscode "
                                "where length(code)=2 and flag='Y') order by code")
                     .arg(qualifiedColumns(QStringLiteral("list_hscode"), view.columns));
    return view;
}

DataViewDefinition d_detail_wmats()
{
    DataViewDefinition view;
    view.name = QStringLiteral("d_detail_wmats");
    view.presentation = Presentation::Form;
    view.columns = {
        text("jmw_code", 13, QStringLiteral("经贸委代码")),
        text("m_flag", 7, QStringLiteral("机械标志")),
        text("name", 51, QStringLiteral("商品名称")),
        text("unit", 11, QStringLiteral("单位")),
        text("flag", 7),
        handleColumn(),
    };
    view.shownColumns = {QStringLiteral("jmw_code"), QStringLiteral("m_flag"), QStringLiteral("unit"),
                         QStringLiteral("name")};
    view.query = QStringLiteral("SELECT %1, 0 AS handle FROM dbo.list_jmwcode "
                                "where Left(jmw_code,2) in (Select jmw_code from list_jmwcode "
                                "where length(jmw_code)=2 and flag='Y') order by jmw_code")
                     .arg(qualifiedColumns(QStringLiteral("list_jmwcode"), view.columns));
    return view;
}

namespace {
DataViewDefinition optionView(const char *viewName, const char *table, const char *codeColumn,
                              int codeWidth, int nameWidth, int flagWidth, const QString &nameHeading)
{
    DataViewDefinition view;
    view.name = QString::fromLatin1(viewName);
    view.presentation = Presentation::Grid;
    const QString tableName = QString::fromLatin1(table);
    const QString code = QString::fromLatin1(codeColumn);
    view.columns = {
        text(codeColumn, codeWidth, QStringLiteral("代码")),
        text("name", nameWidth, nameHeading),
        text("flag", flagWidth, QStringLiteral("显示")),
    };
    for (ColumnDefinition &column : view.columns)
        column.updatable = true;
    view.shownColumns = {code, QStringLiteral("name"), QStringLiteral("flag")};
    view.query = QStringLiteral("SELECT %1 FROM dbo.%2 WHERE length(dbo.%2.%3) = 2")
                     .arg(qualifiedColumns(tableName, view.columns), tableName, code);
    view.updateTable = tableName;
    view.keyColumns = {code};
    return view;
}
} // namespace

DataViewDefinition d_option_hgats()
{
    return optionView("d_option_hgats", "list_hscode", "code", 13, 21, 2, QStringLiteral("商品大类名称"));
}

DataViewDefinition d_option_wmats()
{
    return optionView("d_option_wmats", "list_jmwcode", "jmw_code", 13, 51, 7, QStringLiteral("名称"));
}

DataViewDefinition dataViewByName(const QString &name)
{
    for (const auto &make : {d_detail_hgats, d_detail_wmats, d_option_hgats, d_option_wmats}) {
        DataViewDefinition view = make();
        if (view.name.compare(name, Qt::CaseInsensitive) == 0)
            return view;
    }
    return DataViewDefinition{};
}
