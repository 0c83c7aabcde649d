#include "core/export/ResultSources.h"

namespace kivexport {

ResultSources::ResultSources(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("resultSources"));
}

void ResultSources::add(What what, QObject *owner, Keys keys)
{
    m_sources.removeIf([what](const Source &s) { return s.what == what || !s.owner; });
    m_sources.append({what, owner, std::move(keys)});
}

QList<ExportSource::Key> ResultSources::keys(What what) const
{
    for (const Source &s : m_sources)
        if (s.what == what && s.owner && s.keys)
            return s.keys();
    return {};
}

ResultSources *ResultSources::of(const QObject *window)
{
    return window ? window->findChild<ResultSources *>(QStringLiteral("resultSources"), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

} // namespace kivexport
