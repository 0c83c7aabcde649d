#include "core/catalog/NoteMarks.h"

#include "core/catalog/Catalog.h"
#include "core/runtime/Transaction.h"
#include "core/runtime/TreeModel.h"
#include "core/tariff/NoteEvents.h"
#include "core/tariff/NotesStore.h"

namespace catalog {

NoteMarks *NoteMarks::install(Catalog *catalog, runtime::Transaction *trans)
{
    return new NoteMarks(catalog, trans);
}

NoteMarks::NoteMarks(Catalog *catalog, runtime::Transaction *trans)
    : QObject(catalog)
    , m_catalog(catalog)
    , m_trans(trans)
{
    setObjectName(QStringLiteral("noteMarks"));
    connect(catalog, &Catalog::rebuilt, this, &NoteMarks::refresh);
    connect(tariff::NoteEvents::instance(), &tariff::NoteEvents::noteChanged, this, &NoteMarks::refresh);
}

void NoteMarks::refresh()
{
    if (!m_trans || !m_trans->isConnected())
        return;
    tariff::NotesStore notes(m_trans);
    m_catalog->customsTree()->setMarkedData(notes.codesWithNotes(tariff::NotesStore::hsList()), description());
    m_catalog->tradeTree()->setMarkedData(notes.codesWithNotes(tariff::NotesStore::jmwList()), description());
}

} // namespace catalog
