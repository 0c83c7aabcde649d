#include "core/find/ListPrefixIndex.h"

#include <QAbstractItemModel>

ListPrefixIndex::ListPrefixIndex(QAbstractItemModel *model, QObject *parent)
    : QObject(parent)
    , m_model(model)
{
    connect(model, &QAbstractItemModel::rowsInserted, this, &ListPrefixIndex::addRows);
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this, &ListPrefixIndex::removeRows);
    connect(model, &QAbstractItemModel::modelReset, this, &ListPrefixIndex::rebuild);
    // A changed text: the old one is not known any more, so the index is made anew (a list
    // whose entries are edited is rare; appending is what has to be fast).
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex &, const QModelIndex &, const QList<int> &roles) {
                if (roles.isEmpty() || roles.contains(Qt::DisplayRole) || roles.contains(Qt::EditRole))
                    rebuild();
            });
    // Moves and sorting change only the order of the entries, which the index does not keep.
    rebuild();
}

bool ListPrefixIndex::anyBeginsWith(const QString &text) const
{
    // Every text that begins with `text` is >= it, and any text between `text` and such a
    // text begins with `text` too; so the lower bound is an entry beginning with it if any is.
    const auto first = m_texts.lower_bound(text);
    return first != m_texts.end() && first->startsWith(text);
}

QString ListPrefixIndex::textAt(int row) const
{
    return m_model->data(m_model->index(row, 0)).toString();
}

void ListPrefixIndex::rebuild()
{
    m_texts.clear();
    const int rows = m_model->rowCount();
    for (int row = 0; row < rows; ++row)
        m_texts.insert(textAt(row));
}

void ListPrefixIndex::addRows(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    for (int row = first; row <= last; ++row)
        m_texts.insert(textAt(row));
}

void ListPrefixIndex::removeRows(const QModelIndex &parent, int first, int last)
{
    if (parent.isValid())
        return;
    for (int row = first; row <= last; ++row) {
        const auto found = m_texts.find(textAt(row));
        if (found != m_texts.end())
            m_texts.erase(found);
    }
}
