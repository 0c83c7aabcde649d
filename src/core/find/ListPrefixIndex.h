#pragma once

#include <QObject>
#include <QString>

#include <set>

class QAbstractItemModel;
class QModelIndex;

// Answers "does any entry of this list begin with a text?" without walking the list: the
// entries' texts (column 0, display role, top level) are kept in order, and the entries that
// begin with a text all sort at or after it, the first of them right at its lower bound. The
// index follows the model's inserts, removals, resets and changes, so it always holds
// exactly the list's texts, however the list is changed.
class ListPrefixIndex : public QObject
{
    Q_OBJECT
public:
    explicit ListPrefixIndex(QAbstractItemModel *model, QObject *parent = nullptr);

    bool anyBeginsWith(const QString &text) const;
    qsizetype size() const { return qsizetype(m_texts.size()); }

private:
    QString textAt(int row) const;
    void rebuild();
    void addRows(const QModelIndex &parent, int first, int last);
    void removeRows(const QModelIndex &parent, int first, int last);

    QAbstractItemModel *m_model;
    std::multiset<QString> m_texts;
};
