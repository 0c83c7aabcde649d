#pragma once

#include "core/export/ExportRequest.h"
#include "core/export/ExportSource.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>

namespace kivexport {

// The result lists there are to export (the find dialog's, the search field's): each window that
// shows one is registered here, with how to read its codes in their order; export asks here
// instead of reading the windows.
class ResultSources : public QObject
{
    Q_OBJECT
public:
    using Keys = std::function<QList<ExportSource::Key>()>;

    explicit ResultSources(QObject *parent = nullptr);

    // The source of a kind of result (What::FindResults or What::SearchResults); it goes when
    // owner goes. A later one of the same kind takes the place of the earlier.
    void add(What what, QObject *owner, Keys keys);
    // The codes of a kind of result; none when no live source of that kind is registered.
    QList<ExportSource::Key> keys(What what) const;

    // The registry of a window (a child of it), or null.
    static ResultSources *of(const QObject *window);

private:
    struct Source {
        What what;
        QPointer<QObject> owner;
        Keys keys;
    };
    QList<Source> m_sources;
};

} // namespace kivexport
