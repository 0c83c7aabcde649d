#pragma once

#include <QObject>

namespace runtime {
class Transaction;
}

namespace catalog {

class Catalog;

// Marks the tree items whose codes carry a note of the user's: read from the notes table
// when the trees are built, and again after each change of a note.
class NoteMarks : public QObject
{
    Q_OBJECT
public:
    // Follows the catalog's trees; goes with the catalog.
    static NoteMarks *install(Catalog *catalog, runtime::Transaction *trans);

    // Reads the noted codes of both lists and marks them.
    void refresh();

    // The accessible description of a marked item.
    static QString description() { return QStringLiteral("有备注"); }

private:
    NoteMarks(Catalog *catalog, runtime::Transaction *trans);
    Catalog *m_catalog;
    runtime::Transaction *m_trans;
};

} // namespace catalog
