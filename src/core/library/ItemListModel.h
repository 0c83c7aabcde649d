#pragma once

#include "core/library/Item.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

namespace library {

// The company's items as the library window lists them: 料号, 品名, 规格型号, 编码, the code's
// tariff name and the state (正常, or 待复核 with what changed, old → new). Filtering keeps the
// items that hold every word typed (in any column, case ignored), optionally only those waiting
// for review; sorting orders by a column. No widgets: the window shows it in a table view.
class ItemListModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { PartNumber, Name, Model, Code, TariffName, State, ColumnCount };

    explicit ItemListModel(QObject *parent = nullptr);

    // All items with the names of their codes (code -> tariff name); the filter and the order stay.
    void setItems(const QList<Item> &items, const QHash<QString, QString> &tariffNames);
    // More items, read after those there are (the next page, in order of part number): shown in
    // the sort order and through the filter there is.
    void appendItems(const QList<Item> &items, const QHash<QString, QString> &tariffNames);
    // Replaces or adds one item (after a save), keeping the filter and the order.
    void putItem(const Item &item, const QString &tariffName);
    void removeItem(const QString &partNumber);

    void setFilterText(const QString &text);
    void setOnlyReview(bool only);
    QString filterText() const { return m_filterText; }

    // The item shown in a row; nullptr outside the rows.
    const Item *itemAt(int row) const;
    // The row that shows a part number; -1 when it is filtered out or unknown.
    int rowOf(const QString &partNumber) const;
    int totalCount() const { return int(m_items.size()); }
    int reviewCount() const;

    // The state column's text of an item.
    static QString stateText(const Item &item);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;
    // Every entry has its filter text (made while the program waits after a load).
    bool filterReady() const { return m_prepared >= m_items.size(); }

private:
    struct Entry {
        Item item;
        QString tariffName;
        QString state;
        // Every column's text, lower-cased, for the filter: made at the first filtering, so that
        // opening the list costs none of it.
        mutable QString haystack;
    };
    static Entry entryOf(const Item &item, const QString &tariffName);
    static QString haystackOf(const Entry &entry);
    // Makes the filter's texts a batch at a time while the program waits for the user, so
    // that neither opening the list nor the first key pays for all of them.
    void prepareSomeHaystacks();
    QString text(const Entry &entry, int column) const;
    bool accepts(const Entry &entry) const;
    // Orders all items by the sort column; then filters.
    void reorder();
    // Recomputes the shown rows from the filter, walking the order.
    void rebuild();

    qsizetype m_prepared = 0; // entries before this one have their filter text
    bool m_preparing = false; // a batch of filter texts is waiting for the event loop
    QVector<Entry> m_items;
    QVector<int> m_order; // indexes into m_items, all of them in the sort order
    QVector<int> m_shown; // the indexes of m_order the filter keeps
    QString m_filterText;
    QStringList m_words;
    bool m_onlyReview = false;
    int m_sortColumn = PartNumber;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};

} // namespace library
