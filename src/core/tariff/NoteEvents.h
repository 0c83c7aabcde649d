#pragma once

#include <QObject>
#include <QString>

namespace tariff {

// Says when a note changed in the database, for everything that shows notes (the trees'
// marks, the search index): the notes store announces each save, deletion and each colleague's
// change a save came upon.
class NoteEvents : public QObject
{
    Q_OBJECT
public:
    static NoteEvents *instance();

signals:
    void noteChanged(const QString &list, const QString &code);

private:
    NoteEvents() = default;
};

} // namespace tariff
