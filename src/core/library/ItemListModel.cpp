#include "core/library/ItemListModel.h"

#include <QCollator>

#include <QRegularExpression>
#include <QTimer>

#include <algorithm>
#include <numeric>
#include <vector>

namespace library {

ItemListModel::ItemListModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

QString ItemListModel::stateText(const Item &item)
{
    if (!item.needsReview())
        return QStringLiteral("正常");
    QString changes = item.reviewChanges;
    changes.replace(u'\n', QStringLiteral("；"));
    return QStringLiteral("待复核：") + changes;
}

ItemListModel::Entry ItemListModel::entryOf(const Item &item, const QString &tariffName)
{
    return Entry{item, tariffName, stateText(item), {}};
}

QString ItemListModel::haystackOf(const Entry &e)
{
    const QString *parts[] = {&e.item.partNumber, &e.item.name, &e.item.model, &e.item.code, &e.tariffName, &e.state};
    qsizetype length = 0;
    for (const QString *p : parts)
        length += p->size() + 1;
    QString haystack;
    haystack.reserve(length);
    for (const QString *p : parts) {
        haystack += *p;
        haystack += u'\t';
    }
    return std::move(haystack).toLower();
}

void ItemListModel::setItems(const QList<Item> &items, const QHash<QString, QString> &tariffNames)
{
    m_items.clear();
    m_items.reserve(items.size());
    for (const Item &item : items)
        m_items.append(entryOf(item, tariffNames.value(item.code)));
    reorder();
    m_prepared = 0;
    if (!m_preparing) {
        m_preparing = true;
        QTimer::singleShot(0, this, &ItemListModel::prepareSomeHaystacks);
    }
}

void ItemListModel::appendItems(const QList<Item> &items, const QHash<QString, QString> &tariffNames)
{
    if (items.isEmpty())
        return;
    const int first = int(m_items.size());
    for (const Item &item : items)
        m_items.append(entryOf(item, tariffNames.value(item.code)));
    // Listed by part number, the next page goes after everything there is.
    const bool atTheEnd = m_sortColumn == PartNumber && m_sortOrder == Qt::AscendingOrder
        && (first == 0 || m_items.at(first - 1).item.partNumber < m_items.at(first).item.partNumber);
    if (atTheEnd) {
        QVector<int> kept;
        for (int i = first; i < m_items.size(); ++i) {
            m_order.append(i);
            if (accepts(m_items.at(i)))
                kept.append(i);
        }
        if (!kept.isEmpty()) {
            beginInsertRows({}, int(m_shown.size()), int(m_shown.size() + kept.size() - 1));
            m_shown += kept;
            endInsertRows();
        }
    } else {
        reorder();
    }
    if (!m_preparing) {
        m_preparing = true;
        QTimer::singleShot(0, this, &ItemListModel::prepareSomeHaystacks);
    }
}

void ItemListModel::prepareSomeHaystacks()
{
    constexpr qsizetype kBatch = 5000; // a few milliseconds
    const qsizetype end = std::min(m_items.size(), m_prepared + kBatch);
    for (; m_prepared < end; ++m_prepared)
        if (const Entry &e = m_items.at(m_prepared); e.haystack.isEmpty())
            e.haystack = haystackOf(e);
    m_preparing = m_prepared < m_items.size();
    if (m_preparing)
        QTimer::singleShot(0, this, &ItemListModel::prepareSomeHaystacks);
}

void ItemListModel::putItem(const Item &item, const QString &tariffName)
{
    const auto found = std::find_if(m_items.begin(), m_items.end(),
                                    [&](const Entry &e) { return e.item.partNumber == item.partNumber; });
    if (found != m_items.end())
        *found = entryOf(item, tariffName);
    else
        m_items.append(entryOf(item, tariffName));
    reorder();
}

void ItemListModel::removeItem(const QString &partNumber)
{
    m_items.erase(std::remove_if(m_items.begin(), m_items.end(),
                                 [&](const Entry &e) { return e.item.partNumber == partNumber; }),
                  m_items.end());
    reorder();
}

void ItemListModel::setFilterText(const QString &text)
{
    if (text == m_filterText)
        return;
    // A text typed on from the last one keeps only items the last one kept: only those are looked at.
    const bool narrower = !m_filterText.isEmpty() && text.toLower().startsWith(m_filterText.toLower());
    m_filterText = text;
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    m_words = text.toLower().split(blanks, Qt::SkipEmptyParts);
    if (!narrower) {
        rebuild();
        return;
    }
    beginResetModel();
    m_shown.removeIf([this](int i) { return !accepts(m_items.at(i)); });
    endResetModel();
}

void ItemListModel::setOnlyReview(bool only)
{
    if (only == m_onlyReview)
        return;
    m_onlyReview = only;
    rebuild();
}

const Item *ItemListModel::itemAt(int row) const
{
    return row >= 0 && row < m_shown.size() ? &m_items.at(m_shown.at(row)).item : nullptr;
}

int ItemListModel::rowOf(const QString &partNumber) const
{
    for (int row = 0; row < m_shown.size(); ++row)
        if (m_items.at(m_shown.at(row)).item.partNumber == partNumber)
            return row;
    return -1;
}

int ItemListModel::reviewCount() const
{
    return int(std::count_if(m_items.cbegin(), m_items.cend(), [](const Entry &e) { return e.item.needsReview(); }));
}

int ItemListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_shown.size());
}

int ItemListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString ItemListModel::text(const Entry &entry, int column) const
{
    switch (column) {
    case PartNumber: return entry.item.partNumber;
    case Name: return entry.item.name;
    case Model: return entry.item.model;
    case Code: return entry.item.code;
    case TariffName: return entry.tariffName;
    case State: return entry.state;
    default: return {};
    }
}

QVariant ItemListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_shown.size())
        return {};
    const Entry &entry = m_items.at(m_shown.at(index.row()));
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return text(entry, index.column());
    case Qt::AccessibleTextRole:
        return headerData(index.column(), Qt::Horizontal).toString() + QStringLiteral("：")
            + text(entry, index.column());
    default:
        return {};
    }
}

QVariant ItemListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList captions{QStringLiteral("料号"),     QStringLiteral("品名"),
                                      QStringLiteral("规格型号"), QStringLiteral("商品编码"),
                                      QStringLiteral("税则名称"), QStringLiteral("状态")};
    return captions.value(section);
}

void ItemListModel::sort(int column, Qt::SortOrder order)
{
    m_sortColumn = column;
    m_sortOrder = order;
    reorder();
}

bool ItemListModel::accepts(const Entry &entry) const
{
    if (m_onlyReview && !entry.item.needsReview())
        return false;
    if (!m_words.isEmpty() && entry.haystack.isEmpty())
        entry.haystack = haystackOf(entry);
    for (const QString &word : m_words)
        if (!entry.haystack.contains(word))
            return false;
    return true;
}

void ItemListModel::reorder()
{
    // Ties in order of part number: the same list each time. The library is read in that order,
    // so mostly nothing moves here.
    m_order.resize(m_items.size());
    std::iota(m_order.begin(), m_order.end(), 0);
    const auto byPart = [this](int a, int b) { return m_items.at(a).item.partNumber < m_items.at(b).item.partNumber; };
    if (!std::is_sorted(m_order.begin(), m_order.end(), byPart))
        std::sort(m_order.begin(), m_order.end(), byPart);
    const int column = m_sortColumn;
    const bool ascending = m_sortOrder == Qt::AscendingOrder;
    if (column == PartNumber) {
        if (!ascending) // part numbers are unique: the reverse order is the descending one
            std::reverse(m_order.begin(), m_order.end());
    } else if (column == Code) {
        // Codes and part numbers: by their characters, digits as they stand.
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const int c = text(m_items.at(a), column).compare(text(m_items.at(b), column));
            return ascending ? c < 0 : c > 0;
        });
    } else {
        // Chinese texts in pinyin order, as a Chinese user sorts: one key per item, compared fast.
        QCollator collator(QLocale(QLocale::Chinese, QLocale::China));
        collator.setNumericMode(true);
        std::vector<QCollatorSortKey> keys;
        keys.reserve(m_items.size());
        for (const Entry &e : std::as_const(m_items))
            keys.push_back(collator.sortKey(text(e, column)));
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const int c = keys[size_t(a)].compare(keys[size_t(b)]);
            return ascending ? c < 0 : c > 0;
        });
    }
    rebuild();
}

void ItemListModel::rebuild()
{
    beginResetModel();
    m_shown.clear();
    m_shown.reserve(m_order.size());
    for (const int i : std::as_const(m_order))
        if (accepts(m_items.at(i)))
            m_shown.append(i);
    endResetModel();
}

} // namespace library
