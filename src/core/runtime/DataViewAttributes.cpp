#include "core/runtime/DataViewAttributes.h"

#include <QRegularExpression>

#include <algorithm>

namespace runtime {

namespace {

const QString kView = QStringLiteral("datawindow");
const QString kHeadingSuffix = QStringLiteral("_t");

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

QString columnTypeText(const ColumnDefinition &c)
{
    switch (c.type) {
    case ColumnType::String:
        return c.width > 0 ? QStringLiteral("char(%1)").arg(c.width) : QStringLiteral("char");
    case ColumnType::Number:
        return QStringLiteral("number");
    case ColumnType::Long:
        return QStringLiteral("long");
    }
    return QString();
}

bool isWholeNumber(const QString &text)
{
    bool ok = false;
    text.trimmed().toInt(&ok);
    return ok;
}

QString errorAt(qsizetype position, const QString &message)
{
    return QStringLiteral("Line 1 Column %1: %2").arg(position + 1).arg(message);
}

} // namespace

void DataViewAttributes::reset(const DataViewDefinition &definition)
{
    m_objects.clear();
    QStringList shown = definition.shownColumns;
    if (shown.isEmpty()) {
        for (const ColumnDefinition &c : definition.columns)
            shown.append(c.name);
    }
    const bool grid = definition.presentation == Presentation::Grid;
    // Default geometry in layout units: a grid puts the shown columns side by side with
    // their headers above them, a form puts one labelled field per line.
    int gridX = 9;
    for (int i = 0; i < definition.columns.size(); ++i) {
        const ColumnDefinition &c = definition.columns.at(i);
        int place = -1;
        for (int k = 0; k < shown.size(); ++k) {
            if (shown.at(k).compare(c.name, Qt::CaseInsensitive) == 0) {
                place = k;
                break;
            }
        }
        const int chars = std::max({c.width, int(c.heading.size()) * 2, 6});
        const int width = std::min(chars * 32, 1600);
        int columnX = 0, columnY = 0, headingX = 0, headingY = 0;
        if (place >= 0 && grid) {
            columnX = headingX = gridX;
            columnY = headingY = 4;
            gridX += width + 9;
        } else if (place >= 0) {
            headingX = 37;
            columnX = 480;
            columnY = headingY = 16 + place * 88;
        }
        const QString visible = place >= 0 ? QStringLiteral("1") : QStringLiteral("0");

        Object column;
        column.kind = Kind::Column;
        column.column = i;
        column.values = {{QStringLiteral("x"), QString::number(columnX)},
                         {QStringLiteral("y"), QString::number(columnY)},
                         {QStringLiteral("width"), QString::number(width)},
                         {QStringLiteral("height"), QStringLiteral("72")},
                         {QStringLiteral("visible"), visible}};
        m_objects.insert(c.name.toLower(), column);

        Object heading;
        heading.kind = Kind::Heading;
        heading.column = i;
        heading.values = {{QStringLiteral("text"), c.heading},
                          {QStringLiteral("x"), QString::number(headingX)},
                          {QStringLiteral("y"), QString::number(headingY)},
                          {QStringLiteral("width"), QString::number(grid ? width : 420)},
                          {QStringLiteral("height"), QStringLiteral("64")},
                          {QStringLiteral("visible"), visible}};
        const QString headingName = (c.name + kHeadingSuffix).toLower();
        if (!m_objects.contains(headingName))
            m_objects.insert(headingName, heading);
    }
}

// ---- describe

QString DataViewAttributes::describe(const QString &attributes, const DataViewDefinition &definition,
                                     const QString &sortCriteria) const
{
    const QStringList items = attributes.split(QRegularExpression(QStringLiteral("\\s+")),
                                               Qt::SkipEmptyParts);
    if (items.isEmpty())
        return QStringLiteral("!");
    QStringList results;
    for (const QString &item : items) {
        bool known = false;
        const QString value = describeOne(item, definition, sortCriteria, &known);
        if (!known) {
            results.append(QStringLiteral("!"));
            break;
        }
        results.append(value);
    }
    return results.join(u'\n');
}

QString DataViewAttributes::describeOne(const QString &item, const DataViewDefinition &definition,
                                        const QString &sortCriteria, bool *known) const
{
    *known = false;
    const qsizetype dot = item.indexOf(u'.');
    if (dot <= 0 || dot == item.size() - 1)
        return QString();
    const QString object = item.left(dot).toLower();
    const QString attribute = item.mid(dot + 1).toLower();
    if (object == kView)
        return describeView(attribute, definition, sortCriteria, known);
    const auto it = m_objects.constFind(object);
    if (it == m_objects.cend())
        return QString();
    return describeObject(*it, attribute, definition, known);
}

QString DataViewAttributes::describeView(const QString &attribute, const DataViewDefinition &definition,
                                         const QString &sortCriteria, bool *known)
{
    *known = true;
    if (attribute == u"table.select")
        return definition.query.isEmpty() ? QStringLiteral("?") : definition.query;
    if (attribute == u"table.updatetable")
        return definition.updateTable.isEmpty() ? QStringLiteral("?") : definition.updateTable;
    if (attribute == u"table.sort")
        return sortCriteria.isEmpty() ? QStringLiteral("?") : sortCriteria;
    if (attribute == u"column.count")
        return QString::number(definition.columns.size());
    if (attribute == u"name")
        return definition.name.isEmpty() ? QStringLiteral("?") : definition.name;
    if (attribute == u"presentation")
        return definition.presentation == Presentation::Grid ? QStringLiteral("grid")
                                                             : QStringLiteral("form");
    *known = false;
    return QString();
}

QString DataViewAttributes::describeObject(const Object &object, const QString &attribute,
                                           const DataViewDefinition &definition, bool *known) const
{
    *known = true;
    const ColumnDefinition &c = definition.columns.at(object.column);
    const auto it = object.values.constFind(attribute);
    if (it != object.values.cend())
        return it->isEmpty() && attribute == u"text" ? QStringLiteral("?") : *it;
    if (attribute == u"tag")
        return QStringLiteral("?");
    if (attribute == u"name")
        return object.kind == Kind::Column ? c.name : c.name + kHeadingSuffix;
    if (attribute == u"type")
        return object.kind == Kind::Column ? QStringLiteral("column") : QStringLiteral("text");
    if (object.kind == Kind::Column) {
        if (attribute == u"coltype")
            return columnTypeText(c);
        if (attribute == u"dbname")
            return c.dbName.isEmpty() ? c.name : c.dbName;
        if (attribute == u"update")
            return c.updatable ? QStringLiteral("yes") : QStringLiteral("no");
        if (attribute == u"key") {
            const bool key = std::any_of(definition.keyColumns.cbegin(), definition.keyColumns.cend(),
                                         [&c](const QString &k) {
                                             return k.compare(c.name, Qt::CaseInsensitive) == 0;
                                         });
            return key ? QStringLiteral("yes") : QStringLiteral("no");
        }
        if (attribute == u"id")
            return QString::number(object.column + 1);
    }
    *known = false;
    return QString();
}

// ---- modify

QString DataViewAttributes::parse(const QString &text, QVector<Modification> *out)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (true) {
        while (i < n && isBlank(text.at(i)))
            ++i;
        if (i >= n)
            break;
        Modification m;
        m.position = i;
        const qsizetype nameStart = i;
        while (i < n && !isBlank(text.at(i)) && text.at(i) != u'=' && text.at(i) != u'\''
               && text.at(i) != u'"')
            ++i;
        const QString name = text.mid(nameStart, i - nameStart);
        const qsizetype dot = name.indexOf(u'.');
        if (dot <= 0 || dot == name.size() - 1)
            return errorAt(nameStart, QStringLiteral("incorrect syntax near '%1'").arg(name));
        m.object = name.left(dot);
        m.attribute = name.mid(dot + 1);
        while (i < n && isBlank(text.at(i)))
            ++i;
        if (i >= n || text.at(i) != u'=')
            return errorAt(i, QStringLiteral("'=' expected after '%1'").arg(name));
        ++i;
        while (i < n && isBlank(text.at(i)))
            ++i;
        if (i >= n)
            return errorAt(i, QStringLiteral("value expected for '%1'").arg(name));
        const QChar quote = text.at(i);
        if (quote == u'\'' || quote == u'"') {
            const qsizetype valueStart = i;
            ++i;
            bool closed = false;
            while (i < n) {
                const QChar c = text.at(i++);
                if (c == quote) {
                    closed = true;
                    break;
                }
                if (c == u'~') {
                    if (i >= n)
                        break;
                    const QChar e = text.at(i++);
                    if (e == u't')
                        m.value += u'\t';
                    else if (e == u'n')
                        m.value += u'\n';
                    else if (e == u'r')
                        m.value += u'\r';
                    else
                        m.value += e;
                    continue;
                }
                m.value += c;
            }
            if (!closed)
                return errorAt(valueStart, QStringLiteral("unterminated value"));
        } else {
            const qsizetype valueStart = i;
            while (i < n && !isBlank(text.at(i)))
                ++i;
            m.value = text.mid(valueStart, i - valueStart);
        }
        out->append(m);
    }
    return QString();
}

QString DataViewAttributes::check(const Modification &m) const
{
    const QString object = m.object.toLower();
    const QString attribute = m.attribute.toLower();
    const QString initial = m.value.section(u'\t', 0, 0);
    if (object == kView) {
        if (attribute == u"table.select")
            return QString();
        return errorAt(m.position, QStringLiteral("the attribute '%1' of datawindow cannot be set")
                                       .arg(m.attribute));
    }
    const auto it = m_objects.constFind(object);
    if (it == m_objects.cend())
        return errorAt(m.position, QStringLiteral("unknown object '%1'").arg(m.object));
    static const QStringList geometry = {QStringLiteral("x"), QStringLiteral("y"),
                                         QStringLiteral("width"), QStringLiteral("height")};
    if (geometry.contains(attribute)) {
        if (!isWholeNumber(initial))
            return errorAt(m.position, QStringLiteral("'%1' is not a number for %2.%3")
                                           .arg(initial, m.object, m.attribute));
        return QString();
    }
    if (attribute == u"visible") {
        if (initial.trimmed() != u"0" && initial.trimmed() != u"1")
            return errorAt(m.position, QStringLiteral("'%1' is not 0 or 1 for %2.%3")
                                           .arg(initial, m.object, m.attribute));
        return QString();
    }
    if (attribute == u"tag")
        return QString();
    if (attribute == u"text" && it->kind == Kind::Heading)
        return QString();
    return errorAt(m.position, QStringLiteral("the attribute '%1' of %2 cannot be set")
                                   .arg(m.attribute, m.object));
}

QString DataViewAttributes::modify(const QString &modifications, DataViewDefinition *definition,
                                   bool *changed)
{
    *changed = false;
    QVector<Modification> list;
    const QString error = parse(modifications, &list);
    if (!error.isEmpty())
        return error;
    for (const Modification &m : list) {
        const QString problem = check(m);
        if (!problem.isEmpty())
            return problem;
    }
    for (const Modification &m : list) {
        const QString object = m.object.toLower();
        const QString attribute = m.attribute.toLower();
        if (object == kView) {
            definition->query = m.value;
            continue;
        }
        Object &target = m_objects[object];
        const qsizetype tab = m.value.indexOf(u'\t');
        QString initial = tab >= 0 ? m.value.left(tab) : m.value;
        if (attribute != u"tag" && attribute != u"text")
            initial = initial.trimmed();
        target.values.insert(attribute, initial);
        if (tab >= 0)
            target.expressions.insert(attribute, m.value.mid(tab + 1));
        else
            target.expressions.remove(attribute);
    }
    *changed = !list.isEmpty();
    return QString();
}

// ---- presentation helpers

QString DataViewAttributes::value(const QString &object, const QString &attribute) const
{
    const auto it = m_objects.constFind(object.toLower());
    if (it == m_objects.cend())
        return QString();
    return it->values.value(attribute.toLower());
}

bool DataViewAttributes::isColumnVisible(const QString &column) const
{
    return value(column, QStringLiteral("visible")) == u"1";
}

QString DataViewAttributes::headingText(const QString &column) const
{
    return value(column + kHeadingSuffix, QStringLiteral("text"));
}

} // namespace runtime
