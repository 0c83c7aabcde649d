#pragma once

#include <QObject>
#include <QPointer>

class w_kiv;
class w_sheet;

// Marks the tree items whose codes carry a note of the user's: read from the notes table
// when the trees are built, and again after each save in the sheet.
class NoteMarks : public QObject
{
    Q_OBJECT
public:
    static NoteMarks *install(w_kiv *window);
    // Marks follow the sheet's saves (once per sheet).
    static void follow(w_kiv *window, w_sheet *sheet);

    // Reads the noted codes of both lists and marks them.
    void refresh();

    // The accessible description of a marked item.
    static QString description() { return QStringLiteral("有备注"); }

private:
    explicit NoteMarks(w_kiv *window);
    QPointer<w_kiv> m_window;
};
