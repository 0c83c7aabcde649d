#pragma once

#include "core/library/Item.h"

#include <QList>
#include <QString>
#include <QVector>

namespace library {

// Finds the company's items by part number, name and model as the search field is typed:
// every word typed (blanks between words, case ignored) must stand in one of the three. A part
// number equal to the whole input comes first, then part numbers that begin with it, then the
// rest in part-number order.
class ItemSearch
{
public:
    struct Hit {
        QString partNumber;
        QString name;
        QString model;
        QString code;
    };

    void setItems(const QList<Item> &items);
    bool isEmpty() const { return m_rows.isEmpty(); }
    // At most `limit` hits; *total (when given) counts them all.
    QList<Hit> find(const QString &text, int limit, int *total = nullptr) const;

private:
    struct Row {
        Hit hit;
        QString part; // lower-cased
        QString haystack; // part number, name and model, lower-cased
    };
    QVector<Row> m_rows; // in part-number order
};

} // namespace library
