#pragma once

#include "core/runtime/DataViewDefinition.h"

#include <QHash>
#include <QString>
#include <QVector>

namespace runtime {

// The attributes of a data view's objects, read with describe and set with modify.
//
// Objects: every column (named like the column) with its header text (the column's name and
// "_t"), and "datawindow", the view itself. Column attributes: Tag, X, Y, Width, Height,
// Visible (writable) and Name, ColType, DbName, Update, Key, ID, Type (read only). Header
// texts: Text, Tag, X, Y, Width, Height, Visible (writable) and Name, Type. The view:
// Table.Select (writable), Table.UpdateTable, Table.Sort, Column.Count, Name, Presentation.
//
// Modifications read "object.attribute=value", several separated by blanks; a value is
// quoted with ' or " (with the escapes ~' ~" ~~ ~t ~n ~r) or written without blanks. A value
// "initial<tab>expression" binds the attribute to an expression: the initial value is
// kept, the expression is stored and not evaluated.
class DataViewAttributes
{
public:
    struct Modification {
        QString object;
        QString attribute;
        QString value;
        qsizetype position = 0; // 0-based offset in the modification text
    };

    // Builds the objects of a definition with their default attributes.
    void reset(const DataViewDefinition &definition);

    // describe: "obj.attr obj2.attr2" gives the values separated by newlines; "!" for an
    // unknown object or attribute (nothing after it is described), "?" for no value.
    QString describe(const QString &attributes, const DataViewDefinition &definition,
                     const QString &sortCriteria) const;

    // modify: all modifications are checked first; on an error nothing changes and the error
    // text is returned. On success "" is returned and *definition has the new query when
    // Table.Select was set. *changed tells whether any attribute was set.
    QString modify(const QString &modifications, DataViewDefinition *definition, bool *changed);

    // Parses a modification text; returns "" or an error text.
    static QString parse(const QString &text, QVector<Modification> *out);

    // The value of one attribute of one object (no "!"/"?"), for presentations.
    QString value(const QString &object, const QString &attribute) const;
    bool isColumnVisible(const QString &column) const;
    QString headingText(const QString &column) const;

private:
    enum class Kind { Column, Heading };
    struct Object {
        Kind kind = Kind::Column;
        int column = -1;                    // index in the definition
        QHash<QString, QString> values;     // lower-case attribute -> value
        QHash<QString, QString> expressions;
    };

    QString describeOne(const QString &item, const DataViewDefinition &definition,
                        const QString &sortCriteria, bool *known) const;
    static QString describeView(const QString &attribute, const DataViewDefinition &definition,
                                const QString &sortCriteria, bool *known);
    QString describeObject(const Object &object, const QString &attribute,
                           const DataViewDefinition &definition, bool *known) const;
    QString check(const Modification &m) const;

    QHash<QString, Object> m_objects; // lower-case object name -> object
};

} // namespace runtime
