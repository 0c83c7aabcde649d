#include "sheet/NoteMarks.h"

#include "app/globals.h"
#include "mainwin/u_tv.h"
#include "mainwin/w_kiv.h"
#include "runtime/TreeModel.h"
#include "sheet/w_sheet.h"
#include "tariff/NotesStore.h"

NoteMarks *NoteMarks::install(w_kiv *window)
{
    return new NoteMarks(window);
}

NoteMarks::NoteMarks(w_kiv *window)
    : QObject(window)
    , m_window(window)
{
    setObjectName(QStringLiteral("noteMarks"));
    connect(window, &w_kiv::treesBuilt, this, &NoteMarks::refresh);
}

void NoteMarks::follow(w_kiv *window, w_sheet *sheet)
{
    auto *marks = window->findChild<NoteMarks *>(QStringLiteral("noteMarks"), Qt::FindDirectChildrenOnly);
    if (marks && sheet)
        connect(sheet, &w_sheet::noteSaved, marks, &NoteMarks::refresh, Qt::UniqueConnection);
}

void NoteMarks::refresh()
{
    if (!m_window || !sqlca)
        return;
    tariff::NotesStore notes(sqlca);
    m_window->tv_1->treeModel()->setMarkedData(notes.codesWithNotes(tariff::NotesStore::hsList()), description());
    m_window->tv_2->treeModel()->setMarkedData(notes.codesWithNotes(tariff::NotesStore::jmwList()), description());
}
