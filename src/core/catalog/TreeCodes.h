#pragma once

#include <QList>
#include <QString>

namespace runtime {
class TreeModel;
}

// The codes of a built commodity tree. Every item below the tree's root holds its row's code
// as its data and "[code]name" as its label; the root holds the tree's own name.
namespace TreeCodes {

struct Entry {
    long handle = 0;
    QString code;
    QString name;
};

// Every code item, parents before their children, in the tree's order.
QList<Entry> entries(const runtime::TreeModel &tree);

// The item that holds a code; 0 when the tree has none.
long find(const runtime::TreeModel &tree, const QString &code);

// The first item, parents before their children, whose code begins with the prefix; 0 when
// none does.
long firstWithPrefix(const runtime::TreeModel &tree, const QString &prefix);

// The name part of an item's label ("[0101]Horses" gives "Horses").
QString nameOfLabel(const QString &label);

} // namespace TreeCodes
